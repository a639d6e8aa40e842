// The Rich Text side of the topic writers. HLP topics carry the help
// footnotes and end with a page break; RTF topics flow on in one printable
// document, level 1 and 2 topics start a new page, and each topic carries
// hidden index and contents entries.
#ifndef QUILLARK_HELPWRITER_RTF_TOPIC_H_
#define QUILLARK_HELPWRITER_RTF_TOPIC_H_

#include <string>
#include <string_view>

#include "helptables/help_table.h"
#include "helpwriter/topic_order.h"

namespace quillark {

// The topic's title heading: the first HeadingTab record whose AbsLine is the
// topic record's AbsLine. Level 0 and empty text when there is none or the
// row is not a record of the topic table.
struct TopicHeadingInfo {
  int level = 0;
  std::string text;
};
TopicHeadingInfo TopicHeading(const TopicTable& topics, int topic_row,
                              const HeadingTable& headings);

// "\f0\fs" and twice the TEXT font size: the format of ordinary topic text.
std::string TextFormat(const WriterState& writer);

// The "!" footnote that enables the example button on "{key}_example", or
// disables it when the topic has no example.
std::string ExampleButtonFootnote(bool has_example, std::string_view topic_key);

// A hidden index entry for a title that begins with a capital A-Z, else empty.
// Backslashes and braces as hexadecimal escapes, so that a title or heading
// taken into a footnote or a hidden entry cannot end its group early.
std::string RtfEscaped(std::string_view text);
std::string RtfIndexEntry(std::string_view title);
// A hidden contents entry for a heading of level 1 or 2 (bold) or 3, else empty.
std::string RtfTocEntry(std::string_view heading_text, int level);

// The topic start of an HLP topic: the footnote block, the example button
// footnote, the page header and the opening of the topic text.
std::string HlpTopicStart(const WriterState& writer, bool is_popup, bool has_example,
                          std::string_view topic_key, std::string_view topic_title,
                          const TopicPlace& place);
// The topic start of an RTF topic: the page break or blank line before it and
// its index and contents entries.
std::string RtfTopicStart(std::string_view topic_title, const TopicPlace& place,
                          const TopicTable& topics, const HeadingTable& headings);

// The HLP topic end: the page footer, then the page break.
std::string HlpTopicEnd(const WriterState& writer, bool is_popup, const TopicPlace& place);
// The RTF topic end: a paragraph mark.
std::string RtfTopicEnd();

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_RTF_TOPIC_H_
