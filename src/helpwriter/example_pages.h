// The example page of a topic with example code: a page (or, for HLP, an
// extra topic) whose only job is to put the code on the clipboard.
#ifndef QUILLARK_HELPWRITER_EXAMPLE_PAGES_H_
#define QUILLARK_HELPWRITER_EXAMPLE_PAGES_H_

#include <string>
#include <string_view>

#include "helpwriter/writer_state.h"

namespace quillark {

// The whole text of the example page of the topic `topic_key` (its page-name
// key), holding `example_text`, already converted for the format. The CHM and
// HTML pages link `style_sheet_path` by its file name. Empty when the example
// text is empty or the format is neither HLP, CHM nor HTML.
std::string ExampleCodePage(OutputFormat format, const WriterState& writer,
                            std::string_view style_sheet_path, std::string_view topic_key,
                            std::string_view example_text);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_EXAMPLE_PAGES_H_
