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
void AppendBounded(std::string& dst, std::string_view src, std::size_t capacity);

// The first `max_length` bytes of `text`.
std::string Truncate(std::string_view text, std::size_t max_length);

char UpperAscii(char c);
char LowerAscii(char c);
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

// Byte comparison after folding a-z to upper case; a prefix sorts first.
int CompareFoldUpper(std::string_view a, std::string_view b);
// Byte comparison after folding A-Z to lower case; a prefix sorts first.
int CompareFoldLower(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Removes bytes with codes 0 to 32 from both ends.
std::string_view TrimControl(std::string_view text);
// True when the trimmed text is empty.
bool IsBlank(std::string_view text);

// Every byte other than a letter, a digit or '_' becomes '_'; the length stays.
std::string SanitizeIdent(std::string_view name);
// A letter or '_' followed by letters, digits and '_'.
bool IsIdentifier(std::string_view name);

bool IsAsciiLetter(char c);
bool IsAsciiDigit(char c);

// Replaces every non-overlapping occurrence of `from` (case-sensitive).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_TEXT_H_
