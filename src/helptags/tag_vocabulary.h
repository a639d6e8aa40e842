// The 78 tags of the source language and the small operations on them that
// the line processor and the tag processor share. Positions are 0-based byte
// indexes; a line ends at its end or at its first NUL byte.
#ifndef QUILLARK_HELPTAGS_TAG_VOCABULARY_H_
#define QUILLARK_HELPTAGS_TAG_VOCABULARY_H_

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quillark {

inline constexpr int kTagCount = 78;
// Recognition order: the first entry that matches wins.
extern const std::array<std::string_view, kTagCount> kTagTable;

// The tag that begins at `position`, or an empty view.
std::string_view TagAt(std::string_view line, std::size_t position);
// The same on a line already cut at its first NUL byte.
std::string_view TagAtInLine(std::string_view line, std::size_t position);
// The tag whose closing '>' is at `position`, or an empty view.
std::string_view TagEndingAt(std::string_view line, std::size_t position);
// 1..6 for the opening and closing heading tags, 0 otherwise.
int HeadingLevelOf(std::string_view tag);
// Equal, or one is the closing form of the other.
bool TagsMatch(std::string_view a, std::string_view b);
// From `position` the line holds only consecutive tags up to its end or line feed.
bool OnlyTagsFollow(std::string_view line, std::size_t position);
// Only blanks, tabs and "<null/>" tags, with at most one final line end.
bool IsBlankText(std::string_view text);
// The nearest tag before `position`, passing over the tags in `pass_over` and
// white space; empty when another character comes first.
std::string_view TagBefore(std::string_view line, std::size_t position,
                           std::initializer_list<std::string_view> pass_over);
// The same on a line already cut at its first NUL byte.
std::string_view TagBeforeInLine(std::string_view line, std::size_t position,
                                 std::initializer_list<std::string_view> pass_over);

// The first five values of a comma-separated parameter list; each value is
// cut to capacity - 1 characters and loses its outer double quotes.
std::array<std::string, 5> SplitParameters(std::string_view text, std::size_t capacity = 256);

}  // namespace quillark

#endif  // QUILLARK_HELPTAGS_TAG_VOCABULARY_H_
