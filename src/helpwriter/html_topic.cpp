#include "helpwriter/html_topic.h"

#include "helpwriter/page_frame.h"
#include "helpwriter/writer_state.h"

namespace quillark {

namespace {

// The page of the topic at `row`, or `fallback` when there is none.
std::string NeighbourPage(const TopicTable& topics, int row, const std::string& fallback) {
  if (row < 1 || row > TableCount(topics)) return fallback;
  return EntryAt(topics, row).name;
}

}  // namespace

std::string ChmLoadScript(std::string_view topic_key) {
  std::string script =
      "<!-- window.name is set by the '_example.html' redirector to indicate\r\n"
      "     success or failure and is reported on here -->\r\n"
      "<script language=\"javascript\">\r\n"
      "function load()\r\n"
      "{\r\n"
      "  var TopicNotFound = 'There is no Example code for the topic ';\r\n"
      "  var TopicFound = 'Success! Copied code to the clipboard for the topic ';\r\n"
      "  if (window.name.substring(0,TopicNotFound.length) == TopicNotFound)\r\n"
      "    alert(window.name);\r\n"
      "  else if (window.name.substring(0,TopicFound.length) == TopicFound)\r\n"
      "    alert(window.name);\r\n";
  // The key line is never cut, so the script stays whole for any key.
  script += "  window.name = '";
  script += topic_key;
  script += "';\r\n";
  script +=
      "}\r\n"
      "</script>\r\n";
  return script;
}

std::string ChmTopicStart(const WriterState& writer, bool is_popup, std::string_view topic_key,
                          std::string_view topic_title, const TopicPlace& place,
                          const FrameFileNames& names) {
  return HtmlPageHead(writer, names.style_sheet, topic_title, ChmLoadScript(topic_key),
                      "onload=\"load();\"", PageHeaderText(writer, place, is_popup));
}

std::string HtmlTopicStart(const WriterState& writer, bool is_popup, bool has_example,
                           std::string_view topic_key, const TopicPlace& place,
                           const TopicTable& topics, const FrameFileNames& names) {
  std::string text = HtmlPageHead(writer, names.style_sheet, writer.caption, "", "",
                                  PageHeaderText(writer, place, is_popup));
  if (is_popup) return text;

  const std::string example_file = has_example ? std::string(topic_key) + "_example" : "";
  const std::string previous_file = NeighbourPage(topics, place.previous, names.contents);
  const std::string next_file = NeighbourPage(topics, place.next, names.index);
  text += ButtonBar(names.contents, names.index, previous_file, next_file, example_file,
                    writer.button_website, writer.button_caption);
  text += "\r\n";
  return text;
}

std::string HtmlTopicEnd(const WriterState& writer, bool is_popup, const TopicPlace& place) {
  std::string text;
  const std::string footer = PageFooterText(writer, place, is_popup);
  if (!footer.empty()) text += "<p>" + footer + "</p>\r\n";
  text += "</body>\r\n</html>\r\n\r\n";
  return text;
}

}  // namespace quillark
