// The table of contents of every format, built from the headings: the
// WinHelp contents file, the Rich Text TOC field, the HTML Help contents
// sitemap and the tree-view contents page of the HTML format.
#ifndef QUILLARK_HELPWRITER_CONTENTS_H_
#define QUILLARK_HELPWRITER_CONTENTS_H_

#include <string_view>

#include "helptables/help_table.h"
#include "helpwriter/file_names.h"
#include "helpwriter/writer_state.h"

namespace quillark {

// The whole contents file of the RTF format: a field the word processor fills in.
inline constexpr std::string_view kRtfContentsField =
    "{\\field {\\*\\fldinst { TOC \\\\l 1-6 }}\r\n"
    "{\\fldrslt\r\n"
    "{\\b <<Contents goes here, right-click to update!!>>}\r\n"
    "}}\r\n";

// Writes the contents file `names.contents` from the headings in table order
// (each linked to the topic whose AbsLine it carries). The HTML page also
// links the style sheet and the index page. Nothing is written for format
// None or an empty contents name.
void WriteContents(OutputFormat format, const WriterState& writer, const FrameFileNames& names,
                   const TopicTable& topics, const HeadingTable& headings);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_CONTENTS_H_
