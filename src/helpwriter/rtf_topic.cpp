#include "helpwriter/rtf_topic.h"

#include "helpwriter/writer_state.h"
#include "runtime/text.h"

namespace quillark {

namespace {

// Index and Contents topics start a new page but get no entries of their own.
bool IsIndexOrContents(std::string_view title) {
  const std::string upper = runtime::UpperAscii(runtime::TrimControl(title));
  return upper == "INDEX" || upper == "CONTENTS";
}

}  // namespace

TopicHeadingInfo TopicHeading(const TopicTable& topics, int topic_row,
                              const HeadingTable& headings) {
  TopicHeadingInfo info;
  if (topic_row < 1 || topic_row > TableCount(topics)) return info;
  const std::int32_t abs_line = EntryAt(topics, topic_row).abs_line;
  const int count = TableCount(headings);
  for (int row = 1; row <= count; ++row) {
    const HeadingRecord& heading = EntryAt(headings, row);
    if (heading.abs_line == abs_line) {
      info.level = heading.level;
      info.text = heading.name;
      break;
    }
  }
  return info;
}

std::string TextFormat(const WriterState& writer) {
  return "\\f0\\fs" + std::to_string(2 * FontSize(writer, "TEXT"));
}

std::string ExampleButtonFootnote(bool has_example, std::string_view topic_key) {
  if (!has_example) return "!{\\footnote ! DisableButton(btnExample)}";
  std::string footnote = "!{\\footnote ! ChangeEnable(btnExample,\"JumpId(";
  footnote += topic_key;
  footnote += "_example)\")}";
  return footnote;
}

std::string RtfEscaped(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\'5C";
        break;
      case '{':
        escaped += "\\'7B";
        break;
      case '}':
        escaped += "\\'7D";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string RtfIndexEntry(std::string_view title) {
  constexpr std::string_view kCapitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (title.empty() || kCapitals.find(title.front()) == std::string_view::npos) return {};
  std::string entry = "{\\pard\\plain\\v{\\xe ";
  entry += RtfEscaped(title);
  entry += "}}";
  return entry;
}

std::string RtfTocEntry(std::string_view heading_text, int level) {
  const std::string text = RtfEscaped(runtime::TrimControl(heading_text));
  const std::string tcl = "{\\tcl" + std::to_string(level) + "}}}";
  if (level == 1 || level == 2) {
    return "{\\pard\\plain\\v{\\tc {\\b " + text + "} " + tcl;
  }
  if (level == 3) return "{\\pard\\plain\\v{\\tc " + text + " " + tcl;
  return {};
}

std::string HlpTopicStart(const WriterState& writer, bool is_popup, bool has_example,
                          std::string_view topic_key, std::string_view topic_title,
                          const TopicPlace& place) {
  // The footnote block is never cut: a cut inside a footnote group would
  // leave the rest of the file inside it.
  std::string text;
  text += "#{\\footnote # ";
  text += topic_key;
  text += "}\r\n";
  text += "${\\footnote $ ";
  text += RtfEscaped(topic_title);
  text += "}\r\n";
  // Every browsable topic is in browse sequence 1; popups are not browsed.
  if (!is_popup) text += "+{\\footnote + 1}\r\n";
  text += "K{\\footnote K ";
  text += RtfEscaped(topic_title);
  text += "}\r\n";

  text += ExampleButtonFootnote(has_example, topic_key);
  text += "\r\n";

  const std::string header = PageHeaderText(writer, place, is_popup);
  // A header beginning with a digit would otherwise run on into the font
  // size; the blank only ends the control word.
  const bool digit_first = !header.empty() && runtime::IsAsciiDigit(header.front());
  if (!header.empty())
    text += TextFormat(writer) + (digit_first ? " " : "") + header + "\\line\r\n";

  text += "\\plain\\fs10\\line" + TextFormat(writer) + "\\pard\r\n";
  return text;
}

std::string RtfTopicStart(std::string_view topic_title, const TopicPlace& place,
                          const TopicTable& topics, const HeadingTable& headings) {
  const TopicHeadingInfo heading = TopicHeading(topics, place.row, headings);
  const bool index_or_contents = IsIndexOrContents(topic_title);
  // The first topic in order starts the document: no page break, no entries.
  const bool follows_a_topic = place.previous >= 0;

  std::string text;
  if (follows_a_topic) {
    text +=
        (heading.level == 1 || heading.level == 2 || index_or_contents) ? "\\page\r\n\r\n" : "\r\n";
  }
  if (follows_a_topic && !index_or_contents) {
    text += RtfIndexEntry(topic_title);
    text += RtfTocEntry(heading.text, heading.level);
  }
  text += "\\pard\r\n";
  return text;
}

std::string HlpTopicEnd(const WriterState& writer, bool is_popup, const TopicPlace& place) {
  std::string text;
  const std::string footer = PageFooterText(writer, place, is_popup);
  if (!footer.empty()) {
    // A horizontal line and the end of an example block already end their
    // paragraph, so the footer follows them directly.
    const std::string& previous_tag = writer.previous_tag;
    if (previous_tag != "<hline/>" && previous_tag != "</example>") text += "\\line\r\n";
    text += footer;
    text += "\\line\r\n";
  }
  text += "\\page\r\n\r\n";
  return text;
}

std::string RtfTopicEnd() { return "\\par\r\n"; }

}  // namespace quillark
