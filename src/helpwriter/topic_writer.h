// The topic writers the tag processor calls when a topic or popup topic
// begins and ends, for every output format, and the body locator the popup
// pass uses to cut a written topic's body out of its page.
#ifndef QUILLARK_HELPWRITER_TOPIC_WRITER_H_
#define QUILLARK_HELPWRITER_TOPIC_WRITER_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "helptables/help_table.h"
#include "helpwriter/file_names.h"
#include "helpwriter/topic_order.h"
#include "helpwriter/writer_state.h"

namespace quillark {

// The text that opens a topic: `topic_key` is the identifier form of the
// title (the TopicTab name), `topic_title` the title as written, `place` where
// the topic stands in topic order. Empty for the format None.
std::string WriteTopicStart(OutputFormat format, const WriterState& writer, bool is_popup,
                            bool has_example, std::string_view topic_key,
                            std::string_view topic_title, const TopicPlace& place,
                            const HelpTables& tables, const FrameFileNames& names);

// The text that closes a topic. Empty for the format None.
std::string WriteTopicEnd(OutputFormat format, const WriterState& writer, bool is_popup,
                          const TopicPlace& place);

// Offsets into a written page: the body runs from `start` up to `end`.
// Both are 0 when the body was not found.
struct TopicBody {
  std::size_t start = 0;
  std::size_t end = 0;
};
TopicBody FindTopicBody(OutputFormat format, std::string_view page_text);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_TOPIC_WRITER_H_
