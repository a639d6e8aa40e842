#include "helpwriter/topic_writer.h"

#include "helpwriter/html_topic.h"
#include "helpwriter/rtf_topic.h"
#include "helpwriter/topic_order.h"

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

std::string WriteTopicStart(OutputFormat format, bool is_popup, bool has_example,
                            std::string_view topic_key, std::string_view topic_title,
                            const HelpTable& topics, const HelpTable& headings,
                            const FrameFileNames& names) {
  if (format == OutputFormat::kNone) return {};
  const TopicPlace place = LocateTopic(topics, topic_key, topic_title);
  if (IsRtfFamily(format)) {
    if (format == OutputFormat::kHlp) {
      return HlpTopicStart(is_popup, has_example, topic_key, topic_title, place);
    }
    return RtfTopicStart(topic_title, place, topics, headings);
  }
  if (format == OutputFormat::kChm) {
    return ChmTopicStart(is_popup, topic_key, topic_title, place, names);
  }
  return HtmlTopicStart(is_popup, has_example, topic_key, place, topics, names);
}

std::string WriteTopicEnd(OutputFormat format, bool is_popup, std::string_view topic_key,
                          std::string_view topic_title, const HelpTable& topics) {
  if (format == OutputFormat::kNone) return {};
  if (IsRtfFamily(format)) {
    if (format == OutputFormat::kRtf) return RtfTopicEnd();
    return HlpTopicEnd(is_popup, LocateTopic(topics, topic_key, topic_title));
  }
  return HtmlTopicEnd(is_popup, LocateTopic(topics, topic_key, topic_title));
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
