#include "hlpcompiler/rtf_tokenizer.h"

#include <algorithm>

namespace quillark::hlpc {
namespace {

constexpr std::size_t kLongestWord = 32;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Token RtfTokenizer::Next() {
  while (position_ < data_.size()) {
    const char c = data_[position_];
    Token token;
    token.line = line_;
    if (c == '\n') {
      ++line_;
      ++position_;
      continue;
    }
    if (c == '\r' || c == '\0') {
      ++position_;
      continue;
    }
    if (c == '{' || c == '}') {
      ++position_;
      token.kind = c == '{' ? TokenKind::kGroupOpen : TokenKind::kGroupClose;
      return token;
    }
    if (c == '\\') {
      ++position_;
      return ControlAfterBackslash();
    }
    token.kind = TokenKind::kText;
    while (position_ < data_.size()) {
      const char t = data_[position_];
      if (t == '{' || t == '}' || t == '\\' || t == '\n' || t == '\r' || t == '\0') break;
      token.text.push_back(t);
      ++position_;
    }
    return token;
  }
  Token end;
  end.line = line_;
  return end;
}

Token RtfTokenizer::ControlAfterBackslash() {
  Token token;
  token.line = line_;
  if (position_ >= data_.size()) {
    // A lone "\" at the very end stands for itself.
    token.kind = TokenKind::kText;
    token.text.assign(1, '\\');
    return token;
  }
  const char c = data_[position_];
  if (IsLetter(c)) {
    token.kind = TokenKind::kControlWord;
    while (position_ < data_.size() && IsLetter(data_[position_]) &&
           token.word.size() < kLongestWord) {
      token.word.push_back(data_[position_++]);
    }
    // Letters beyond the longest word belong to nothing; they are dropped.
    while (position_ < data_.size() && IsLetter(data_[position_])) ++position_;
    bool negative = false;
    if (position_ + 1 < data_.size() && data_[position_] == '-' && IsDigit(data_[position_ + 1])) {
      negative = true;
      ++position_;
    }
    std::int64_t value = 0;
    while (position_ < data_.size() && IsDigit(data_[position_])) {
      token.has_parameter = true;
      value = std::min<std::int64_t>(value * 10 + (data_[position_] - '0'), 0x7FFFFFFF);
      ++position_;
    }
    token.parameter = static_cast<std::int32_t>(negative ? -value : value);
    if (position_ < data_.size() && data_[position_] == ' ') ++position_;
    return token;
  }
  if (c == '\'') {
    token.kind = TokenKind::kText;
    ++position_;
    const int high = position_ < data_.size() ? HexDigit(data_[position_]) : -1;
    const int low = position_ + 1 < data_.size() ? HexDigit(data_[position_ + 1]) : -1;
    if (high < 0 || low < 0) {
      token.word.assign(1, '\'');  // a broken escape: no byte; the caller counts it
      token.kind = TokenKind::kControlSymbol;
      return token;
    }
    position_ += 2;
    token.text.push_back(static_cast<char>(high * 16 + low));
    return token;
  }
  ++position_;
  if (c == '\n' || c == '\r') {
    if (c == '\r' && position_ < data_.size() && data_[position_] == '\n') ++position_;
    ++line_;
    token.kind = TokenKind::kControlWord;
    token.word = "par";
    return token;
  }
  token.kind = TokenKind::kControlSymbol;
  token.word = std::string(1, c);
  return token;
}

void RtfTokenizer::SkipBytes(std::int64_t count) {
  while (count-- > 0 && position_ < data_.size()) {
    if (data_[position_] == '\n') ++line_;
    ++position_;
  }
}

}  // namespace quillark::hlpc
