#include "helpwriter/preprocessor.h"

#include <cstddef>

#include "runtime/clock.h"
#include "runtime/files.h"
#include "runtime/process.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kArgumentLimit = 1024;
#ifdef _WIN32
constexpr bool kWindowsArguments = true;
#else
constexpr bool kWindowsArguments = false;
#endif
constexpr std::size_t kMessageLimit = 1024;

// The pre-processor's own file, or empty when it is missing or empty.
std::string LocatePreprocessor() {
#ifdef _WIN32
  const std::string path = PreprocessorProgram();
#else
  const std::string path = runtime::FindInPath(PreprocessorProgram());
#endif
  if (path.empty() || runtime::FileSize(path) <= 0) return "";
  return path;
}

std::string Preprocess(std::string_view format_upper, const std::string& source_path,
                       const std::string& pp_path) {
  if (source_path.empty()) return "Cannot run pre-processor, the input file is missing or invalid";
  if (pp_path.empty()) {
    return "Cannot run pre-processor, the pre-processor file is missing or invalid";
  }
  const std::string program = LocatePreprocessor();
  if (program.empty()) {
    return "Cannot run pre-processor, the exe file is missing: \"" + PreprocessorProgram() + "\"";
  }

  const std::vector<std::string> arguments =
      PreprocessorArguments(format_upper, source_path, pp_path, runtime::NowText());
  std::size_t argument_length = 0;
  for (const std::string& argument : arguments) argument_length += argument.size();
  runtime::ProgramRun run;
  // Windows passes one argument text of a bounded length; POSIX an array.
  if (kWindowsArguments && argument_length > kArgumentLimit) {
    run.start_code = runtime::kRunBadArguments;
  } else {
    run = runtime::RunProgram(program, arguments);
  }
  if (run.start_code != runtime::kRunStarted) {
    return "Cannot run pre-processor, Exec() caused error " + std::to_string(run.start_code) + ".";
  }
  if (run.exit_code != 0) {
    return "Cannot run pre-processor, it returned error number " + std::to_string(run.exit_code) +
           ".";
  }
  if (runtime::FileSize(pp_path) <= 0) {
    return "Cannot run pre-processor, the output file \"" + pp_path + "\" could not be created.";
  }
  return "";
}

}  // namespace

std::string PreprocessorProgram() {
#ifdef _WIN32
  return "C:\\Windows\\gpp.exe";
#else
  return "gpp";
#endif
}

std::vector<std::string> PreprocessorArguments(std::string_view format_upper,
                                               const std::string& source_path,
                                               const std::string& pp_path,
                                               const std::string& now_text) {
  // The source's comments are <comment>...</comment> and a macro is called like
  // an empty tag, <format/>; "now" and "format" are defined for every source.
  return {source_path,
          "-o",
          pp_path,
          "+c",
          "<comment>",
          "</comment>",
          "+z",
          "-U",
          "<",
          "/>",
          "\\B",
          "=",
          "/>",
          "<",
          ">",
          "#",
          "",
          "-D",
          "now=" + now_text,
          "-D",
          "format=" + std::string(format_upper)};
}

std::string RunPreprocessor(std::string_view format_upper, const std::string& source_path,
                            const std::string& pp_path) {
  std::string message = Preprocess(format_upper, source_path, pp_path);
  if (!message.empty() && !pp_path.empty()) runtime::DeleteFile(pp_path);
  return runtime::Truncate(message, kMessageLimit);
}

}  // namespace quillark
