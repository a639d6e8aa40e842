// The tag processor's state for one pass, zeroed at the start of Passes 2, 3
// and 4 and at every new topic, and the results of one processing step.
#ifndef QUILLARK_HELPREADER_TAG_STATE_H_
#define QUILLARK_HELPREADER_TAG_STATE_H_

#include <cstddef>
#include <string>

namespace quillark {

inline constexpr std::size_t kShortText = 256;  // 255 characters and a terminator
inline constexpr std::size_t kLineText = 8193;  // 8192 characters and a terminator

struct TagState {
  bool output_on = false;     // OutputOn: a step's text reaches the topic's output
  std::string open_tag;       // OpenTag: the pair whose content is being collected
  std::string open_tag_file;  // where that pair was opened
  int open_tag_line = 0;
  std::string savename;      // Savename: the collected content
  std::string topic_name;    // TopicName: the current topic as written, trimmed
  std::string each_heading;  // EachHeading: the heading text being read
  std::string heading;       // Heading: the topic's title heading so far
  int heading_level = 0;     // HeadingLevel
  std::string example_text;  // ExampleText: the topic's example blocks, converted
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool subscript = false;
  bool code = false;
  bool diagrams = false;
  bool example = false;
  bool syntax = false;
  bool head[6] = {};  // Head1..Head6

  bool AnyHeadingOpen() const {
    for (bool open : head) {
      if (open) return true;
    }
    return false;
  }
};

// What one step (one tag) produces; the line processor empties it before each step.
struct TagStep {
  std::string step_text;          // StepText, at most 8192 characters
  std::string example_page_text;  // ExamplePageText, filled at "<endtopic/>"
  std::string ended_topic;        // the TopicName that "<endtopic/>" ended
  bool stop_line = false;         // StopLine: ignore the rest of the source line
  bool close_after_line = false;  // CloseAfterLine: output off once the line is done
};

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_TAG_STATE_H_
