// What the help compiler tells its caller about a place in its input.
#ifndef QUILLARK_HLPCOMPILER_DIAGNOSTICS_H_
#define QUILLARK_HLPCOMPILER_DIAGNOSTICS_H_

#include <string>
#include <vector>

namespace quillark::hlpc {

struct Diagnostic {
  std::string file;
  int line = 0;  // 1-based; 0 when the message concerns the file as a whole
  std::string text;
};

// "file(line): text", or "file: text" without a line.
// Built by appending: GCC 12 sees a false overlap in "(" + text.
inline std::string FormatDiagnostic(const Diagnostic& diagnostic) {
  std::string text = diagnostic.file;
  if (diagnostic.line > 0) {
    text += '(';
    text += std::to_string(diagnostic.line);
    text += ')';
  }
  text += ": ";
  text += diagnostic.text;
  return text;
}

using Diagnostics = std::vector<Diagnostic>;

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_DIAGNOSTICS_H_
