// The compilation driver: forms the file names, clears earlier results, runs
// the four passes and finishes the listing file.
#ifndef QUILLARK_HELPREADER_COMPILATION_H_
#define QUILLARK_HELPREADER_COMPILATION_H_

#include <functional>
#include <string>
#include <string_view>

#include "helpwriter/preprocessor.h"

namespace quillark {

// The option values handed from the command line to the driver.
struct CompilerOptions {
  std::string input;  // full path without extension
  std::string caption;
  std::string copyright;
  std::string font;
  std::string heading_fonts[6];
  std::string button_caption;
  std::string button_website;
  std::string header;
  std::string footer;
  bool omit_first_page = false;
  std::string format;  // as typed after -g
  bool compile = false;
  bool verbose = false;
};

// Pass 1: makes the pre-processor file from the source for the format (its
// name in capitals); an empty message on success.
using PreprocessStep = std::function<PreprocessResult(
    std::string_view format_upper, const std::string& source, const std::string& preprocessed)>;

// Runs a whole compilation. Returns the exit status: 0 when the run finished
// (warnings included), 1 when a fatal report ended it. Pass 1 runs the
// pre-processor unless another step is given (the fuzzer takes the source as
// it is).
int RunCompilation(const CompilerOptions& options);
int RunCompilation(const CompilerOptions& options, const PreprocessStep& preprocess);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_COMPILATION_H_
