// The files behind an included topic: the temporary include file that carries
// a topic borrowed from another source file, finding that topic's body, and
// the search-and-replace that edits the borrowed body.
#ifndef QUILLARK_HELPREADER_INCLUDE_FILES_H_
#define QUILLARK_HELPREADER_INCLUDE_FILES_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace quillark {

// The temporary include file of the topic `topic_name`: beside the main
// source file, "include_" + the name's identifier form + ".tmp" (the case is
// kept). Empty when the identifier form is not an identifier.
std::string IncludeFileName(std::string_view main_source, std::string_view topic_name);

// 1-based offsets of a topic body in a file: `start` is its first byte, `end`
// the '<' of the "<endtopic/>" that ends it. Both 0 when there is none.
struct TopicSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};

// Finds the body of the topic (or popup) `name`, written exactly so in the
// file's header line, compared without case.
TopicSpan FindTopicInFile(const std::string& file, std::string_view name, bool is_popup);
// The same in a file's text.
TopicSpan FindTopicInText(std::string_view text, std::string_view name, bool is_popup);

// Flags of a search-and-replace.
inline constexpr int kReplaceIgnoreCase = 1;
inline constexpr int kReplaceWholeWords = 2;

// Replaces up to `count` matches of `search` (all when `count` is negative)
// from the 1-based position `start` on. A search with a '*' after its first
// character matches from the text before the '*' to the text after it (to the
// end of the text when nothing follows the '*').
std::string ReplaceInText(std::string_view text, std::string_view search,
                          std::string_view replacement, int flags, int count, int start);

// ReplaceInText on the whole contents of `file`, written back without risking
// the old contents. A missing or empty file and an empty search change
// nothing. Returns an empty text, or the system's reason when writing failed.
std::string ReplaceInFile(const std::string& file, std::string_view search,
                          std::string_view replacement, int flags, int count, int start);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_INCLUDE_FILES_H_
