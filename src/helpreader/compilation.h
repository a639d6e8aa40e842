// The compilation driver: forms the file names, clears earlier results, runs
// the four passes and finishes the listing file.
#ifndef QUILLARK_HELPREADER_COMPILATION_H_
#define QUILLARK_HELPREADER_COMPILATION_H_

#include <string>

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

// Runs a whole compilation. Returns the exit status: 0 when the run finished
// (warnings included), 1 when a fatal report ended it.
int RunCompilation(const CompilerOptions& options);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_COMPILATION_H_
