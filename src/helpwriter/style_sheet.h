// The one style sheet every page of the CHM and HTML formats links: the fonts
// of the run, the look of code blocks, the tree-view contents table, the
// navigation buttons and the pop-up links.
#ifndef QUILLARK_HELPWRITER_STYLE_SHEET_H_
#define QUILLARK_HELPWRITER_STYLE_SHEET_H_

#include <string>

#include "helpwriter/writer_state.h"

namespace quillark {

// Writes the style sheet for the caption and fonts of the writer state to
// `path` for Chm and Html; nothing for the other formats or an empty path.
void WriteStyleSheet(OutputFormat format, const WriterState& writer, const std::string& path);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_STYLE_SHEET_H_
