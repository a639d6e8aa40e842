// Reads a WinHelp topic file (Rich Text) into topics: the footnotes that name
// and index each topic, and its paragraphs of formatted text, line breaks,
// tabs, hotspots and picture references.
#ifndef QUILLARK_HLPCOMPILER_RTF_READER_H_
#define QUILLARK_HLPCOMPILER_RTF_READER_H_

#include <string>
#include <string_view>
#include <vector>

#include "hlpcompiler/diagnostics.h"
#include "hlpcompiler/topic_model.h"

namespace quillark::hlpc {

struct RtfReadResult {
  std::vector<Topic> topics;
  Diagnostics warnings;
  Diagnostics errors;
  int skipped_words = 0;  // control words this reader does not know
};

// Reads the topic file `data`, named `file` in the messages. A topic ends at
// "\page"; its footnotes "#", "$", "K", "+" and "!" give its context strings,
// title, keywords, browse sequence and entry macros. Underlined (popup) or
// double-underlined (jump) text followed by hidden text becomes a hotspot to
// the context string (or "!" macro) that the hidden text names. "\{bmc f\}",
// "\{bml f\}" and "\{bmr f\}" in the text place a picture. Control words this
// reader does not know are skipped and counted; nothing in the data stops it.
RtfReadResult ReadTopicFile(std::string_view data, const std::string& file);

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_RTF_READER_H_
