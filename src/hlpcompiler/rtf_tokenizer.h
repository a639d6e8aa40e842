// Cuts Rich Text into its tokens: group braces, control words with their
// numbers, control symbols and runs of plain text, each with its line.
#ifndef QUILLARK_HLPCOMPILER_RTF_TOKENIZER_H_
#define QUILLARK_HLPCOMPILER_RTF_TOKENIZER_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace quillark::hlpc {

enum class TokenKind { kGroupOpen, kGroupClose, kControlWord, kControlSymbol, kText, kEnd };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string word;  // control word without "\"; for a control symbol its one character
  bool has_parameter = false;
  std::int32_t parameter = 0;
  std::string text;  // plain text, or the one byte of a "\'hh" escape
  int line = 1;
};

class RtfTokenizer {
 public:
  explicit RtfTokenizer(std::string_view data) : data_(data) {}

  // The next token; kEnd at the end of the data, and from then on. Line ends
  // are not text in Rich Text and are skipped; a "\" before a line end is the
  // control word "par", as word processors read it.
  Token Next();
  // Skips raw bytes (the data of a "\bin" word).
  void SkipBytes(std::int64_t count);
  int line() const { return line_; }

 private:
  Token ControlAfterBackslash();

  std::string_view data_;
  std::size_t position_ = 0;
  int line_ = 1;
};

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_RTF_TOKENIZER_H_
