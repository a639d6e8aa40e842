// The keyword index of every format: the Rich Text INDEX field, the HTML Help
// index sitemap with its link pages, and the index page of the HTML format
// with its letter bar. WinHelp keywords travel in the topic footnotes.
#ifndef QUILLARK_HELPWRITER_INDEX_H_
#define QUILLARK_HELPWRITER_INDEX_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "helptables/help_table.h"
#include "helpwriter/file_names.h"
#include "helpwriter/writer_state.h"
#include "runtime/output.h"

namespace quillark {

// The whole index file of the RTF format: a two-column field with a letter
// heading before each letter group.
inline constexpr std::string_view kRtfIndexField =
    "{\\field {\\*\\fldinst { INDEX \\\\c \"2\" \\\\h \"\\line - A -\" }}\r\n"
    "{\\fldrslt\r\n"
    "{\\b <<Index goes here, right-click to update!!>>}\r\n"
    "}}\r\n";

// Writes the index file `names.index` from the keyword records in table
// order. For CHM a keyword that belongs to several topics is listed once per
// record, each entry pointing to a link page beside the index file that
// forwards to the keyword's place and carries "{keyword} (in topic {Title})"
// as its title. The HTML page also links the style sheet and the contents
// page. Nothing is written for HLP, None or an empty index name. A keyword
// that is a topic's own title links to the top of the topic page.
//
// Returns the link page names ("_link_{keyword anchor}_{position}.html") in
// the order of the index entries, one per entry (so a name that two entries
// share appears twice). The HTML Help project lists them at the end of its
// [FILES] section.
//
// With `run_files`, a link page goes through the run's output files, so
// that one left by an earlier run is rewritten rather than added to.
std::vector<std::string> WriteIndex(OutputFormat format, const WriterState& writer,
                                    const FrameFileNames& names, const KeywordTable& keywords,
                                    const TopicTable& topics,
                                    runtime::OutputFiles* run_files = nullptr);

// Whether the file `path` names is one of the index's link pages, which
// WriteIndex adds to rather than writes anew.
bool IsIndexLinkPage(std::string_view path);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_INDEX_H_
