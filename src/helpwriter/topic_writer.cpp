#include "helpwriter/topic_writer.h"

#include "helpwriter/html_topic.h"
#include "helpwriter/rtf_topic.h"

namespace quillark {

namespace {

// The text between the first `open` and the first `close`, when that `close`
// comes after the whole `open`.
TopicBody FindBetween(std::string_view page, std::string_view open, std::string_view close) {
  const std::size_t start = page.find(open);
  const std::size_t end = page.find(close);
  if (start == std::string_view::npos || end == std::string_view::npos) return {};
  if (end < start + open.size()) return {};
  return {start + open.size(), end};
}

}  // namespace

std::string WriteTopicStart(OutputFormat format, const WriterState& writer, bool is_popup,
                            bool has_example, std::string_view topic_key,
                            std::string_view topic_title, const TopicPlace& place,
                            const HelpTables& tables, const FrameFileNames& names) {
  switch (format) {
    case OutputFormat::kHlp:
      return HlpTopicStart(writer, is_popup, has_example, topic_key, topic_title, place);
    case OutputFormat::kRtf:
      return RtfTopicStart(topic_title, place, tables.topics, tables.headings);
    case OutputFormat::kChm:
      return ChmTopicStart(writer, is_popup, topic_key, topic_title, place, names);
    case OutputFormat::kHtml:
      return HtmlTopicStart(writer, is_popup, has_example, topic_key, place, tables.topics, names);
    case OutputFormat::kNone:
      break;
  }
  return {};
}

std::string WriteTopicEnd(OutputFormat format, const WriterState& writer, bool is_popup,
                          const TopicPlace& place) {
  switch (format) {
    case OutputFormat::kHlp:
      return HlpTopicEnd(writer, is_popup, place);
    case OutputFormat::kRtf:
      return RtfTopicEnd();
    case OutputFormat::kChm:
    case OutputFormat::kHtml:
      return HtmlTopicEnd(writer, is_popup, place);
    case OutputFormat::kNone:
      break;
  }
  return {};
}

TopicBody FindTopicBody(OutputFormat format, std::string_view page_text) {
  if (IsRtfFamily(format)) {
    // A topic with an example has no such line, so its body is not found.
    return FindBetween(page_text, "DisableButton(btnExample)}\r\n", "\\page");
  }
  if (IsHtmlFamily(format)) {
    const TopicBody body = FindBetween(page_text, "<body>\r\n", "</body>");
    if (body.start != 0 || body.end != 0) return body;
    return FindBetween(page_text, "<body onload=\"load();\">\r\n", "</body>");
  }
  return {};
}

}  // namespace quillark
