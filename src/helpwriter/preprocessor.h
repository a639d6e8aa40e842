// Pass 1: the pre-processor gpp, found through PATH, turns the source into
// the ".pp" file the later passes read.
#ifndef QUILLARK_HELPWRITER_PREPROCESSOR_H_
#define QUILLARK_HELPWRITER_PREPROCESSOR_H_

#include <string>
#include <string_view>
#include <vector>

#include "runtime/process.h"

namespace quillark {

// The temporary copy of a source whose lines end in a lone CR, which the
// pre-processor reads instead (P + "_lines.tmp"); it is deleted when the
// pre-processor ends, and by the next run should a run stop before.
std::string LineEndCopyName(const std::string& source_path);
// Whether the file holds a CR that is not followed by an LF (the source
// then reaches the pre-processor through its line-end copy).
bool FileHasLoneCarriageReturn(const std::string& path);

// The program name looked up for the pre-processor.
std::string PreprocessorProgram();

// The arguments gpp is started with, one element each.
std::vector<std::string> PreprocessorArguments(std::string_view format_upper,
                                               const std::string& source_path,
                                               const std::string& pp_path,
                                               const std::string& now_text);

// What a run of the pre-processor left to report.
struct PreprocessResult {
  std::string message;  // empty on success, else at most 1024 characters
  // The pre-processor's own messages (its standard error, a bounded amount,
  // line by line) when it failed.
  std::vector<std::string> program_messages;
};

// Runs the pre-processor. On failure the ".pp" file is deleted.
PreprocessResult RunPreprocessor(std::string_view format_upper, const std::string& source_path,
                                 const std::string& pp_path);

// The pre-processor under way, for a caller that reads the ".pp" file while
// it is written. Finish gives what RunPreprocessor would have given.
class PreprocessorRun {
 public:
  PreprocessorRun(std::string_view format_upper, const std::string& source_path,
                  const std::string& pp_path);

  // Waits at most `milliseconds`; returns whether the pre-processor has
  // ended (or never started).
  bool WaitFor(int milliseconds) { return program_.WaitFor(milliseconds); }
  // Waits for the end; on failure the ".pp" file is deleted.
  PreprocessResult Finish();

 private:
  // Starts the pre-processor on `read_path`; false when it did not start.
  bool Start(const std::string& program, std::string_view format_upper,
             const std::string& read_path, const std::string& now_text);

  std::string source_path_;
  std::string pp_path_;
  std::string refusal_;                       // why it was not started
  int start_refusal_ = runtime::kRunStarted;  // a start refused before asking the system
  std::string lines_copy_;
  bool copied_ = false;
  runtime::RunningProgram program_;
};

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_PREPROCESSOR_H_
