// Our WinHelp compiler: turns a help project (.hpj), its Rich Text topic
// files and its bitmaps into a .hlp file beside the project.
#ifndef QUILLARK_HLPCOMPILER_HLP_COMPILER_H_
#define QUILLARK_HLPCOMPILER_HLP_COMPILER_H_

#include <cstdint>
#include <string>

#include "hlpcompiler/diagnostics.h"

namespace quillark::hlpc {

struct HlpCompileResult {
  bool success = false;
  std::string help_file;  // the .hlp written (or that would have been)
  // Empty on success; otherwise the first error, naming file and line.
  std::string message;
  Diagnostics warnings;
  Diagnostics errors;
  std::size_t topics = 0;
  std::size_t contexts = 0;
  std::size_t keywords = 0;
  std::size_t pictures = 0;
  std::size_t skipped_words = 0;  // Rich Text control words skipped as unknown
  std::int64_t bytes = 0;
};

// Compiles `project_file` into the .hlp of the same name beside it. The file
// is the same byte for byte on every run. On failure no .hlp is left behind,
// not even one from an earlier run, so that nobody mistakes it for the result.
HlpCompileResult CompileHelpProject(const std::string& project_file);

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_HLP_COMPILER_H_
