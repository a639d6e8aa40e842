// Small text services: bounded appends, ASCII case folding, trimming and the
// identifier form of names. Texts are single-byte; only A-Z/a-z fold.
#ifndef QUILLARK_RUNTIME_TEXT_H_
#define QUILLARK_RUNTIME_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace quillark::runtime {

// Appends `src` to `dst` so that `dst` never holds more than capacity - 1
// bytes (a buffer of `capacity` bytes with its terminator); the rest is dropped.
inline void AppendBounded(std::string& dst, std::string_view src, std::size_t capacity) {
  // A buffer of `capacity` bytes keeps one byte for its terminator.
  if (src.empty() || capacity <= 1 || dst.size() >= capacity - 1) return;
  dst.append(src.substr(0, capacity - 1 - dst.size()));
}

// The first `max_length` bytes of `text`.
std::string Truncate(std::string_view text, std::size_t max_length);

// The case folds and character classes are inline: the line and table
// loops call them for every byte.
inline char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
inline char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

// Byte comparison after folding a-z to upper case; a prefix sorts first.
int CompareFoldUpper(std::string_view a, std::string_view b);
// Byte comparison after folding A-Z to lower case; a prefix sorts first.
int CompareFoldLower(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Removes bytes with codes 0 to 32 from both ends.
std::string_view TrimControl(std::string_view text);
// True when the trimmed text is empty: no byte above 32.
inline bool IsBlank(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) > 32) return false;
  }
  return true;
}

// Every byte other than a letter, a digit or '_' becomes '_'; the length stays.
std::string SanitizeIdent(std::string_view name);
// A letter or '_' followed by letters, digits and '_'.
bool IsIdentifier(std::string_view name);

inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Replaces every non-overlapping occurrence of `from` (case-sensitive).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_TEXT_H_
