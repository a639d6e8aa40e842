// Writes the help file from the topics: lays the topic records out in 4 KB
// blocks and builds the tables that find topics by context string, title,
// keyword and map number.
#ifndef QUILLARK_HLPCOMPILER_HLP_WRITER_H_
#define QUILLARK_HLPCOMPILER_HLP_WRITER_H_

#include <string>
#include <vector>

#include "hlpcompiler/diagnostics.h"
#include "hlpcompiler/hlp_records.h"
#include "hlpcompiler/hpj_reader.h"
#include "hlpcompiler/topic_model.h"

namespace quillark::hlpc {

struct HelpFileInput {
  const HelpProject* project = nullptr;  // title, copyright, contents, macros, windows, map
  const std::vector<Topic>* topics = nullptr;
  PictureLookup pictures;                 // picture name in a topic to its number
  std::vector<std::string> picture_data;  // the |bmN files, by number
};

struct HelpFileOutput {
  std::string bytes;  // empty when there are errors
  Diagnostics warnings;
  Diagnostics errors;
  std::size_t contexts = 0;
  std::size_t keywords = 0;
};

// Two different context strings with the same hash, and a help file with no
// topic, are errors. A context string given twice, a jump to a context string
// no topic has, and a contents topic or map entry that names none are
// warnings.
HelpFileOutput WriteHelpFile(const HelpFileInput& input);

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_HLP_WRITER_H_
