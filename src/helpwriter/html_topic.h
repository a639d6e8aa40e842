// The HTML side of the topic writers: for CHM and HTML every topic is its own
// page. The start opens the page (head, body tag, page header and, for HTML,
// the navigation buttons); the end closes it (page footer, body and html).
#ifndef QUILLARK_HELPWRITER_HTML_TOPIC_H_
#define QUILLARK_HELPWRITER_HTML_TOPIC_H_

#include <string>
#include <string_view>

#include "helptables/help_table.h"
#include "helpwriter/file_names.h"
#include "helpwriter/topic_order.h"

namespace quillark {

// The CHM page's script: it shows once what the example redirector left in
// the window name, then names the window after the topic key.
std::string ChmLoadScript(std::string_view topic_key);

// A CHM page: titled with the topic, loading its script from the body tag.
std::string ChmTopicStart(const WriterState& writer, bool is_popup, std::string_view topic_key,
                          std::string_view topic_title, const TopicPlace& place,
                          const FrameFileNames& names);
// An HTML page: titled with the help caption, with the button bar unless it
// is a popup. Previous and next fall back to the contents and index pages.
std::string HtmlTopicStart(const WriterState& writer, bool is_popup, bool has_example,
                           std::string_view topic_key, const TopicPlace& place,
                           const TopicTable& topics, const FrameFileNames& names);

// The end of a CHM or HTML page.
std::string HtmlTopicEnd(const WriterState& writer, bool is_popup, const TopicPlace& place);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_HTML_TOPIC_H_
