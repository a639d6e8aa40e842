// The project file of each format and its companions: the WinHelp project
// (Hlp), a note file (Rtf, Html), the HTML Help project with its jump and
// example redirectors (Chm), and the start page beside the web pages (Html).
#ifndef QUILLARK_HELPWRITER_PROJECT_FILES_H_
#define QUILLARK_HELPWRITER_PROJECT_FILES_H_

#include <string>
#include <vector>

#include "helptables/help_table.h"
#include "helpwriter/writer_state.h"

namespace quillark {

// Writes the files of `format` after the topics. `topics_file` is the run's
// output name (the RTF file for Hlp, the page pattern for Html);
// `index_link_pages` are the link page names the CHM index wrote, in the order
// of its entries, listed last in [FILES]. Nothing is written for an empty
// project file or the format None.
void WriteProjectFiles(OutputFormat format, const WriterState& writer,
                       const std::string& project_file, const std::string& topics_file,
                       const std::string& index_file, const std::string& contents_file,
                       const TopicTable& topics, const BitmapTable& bitmaps,
                       const std::vector<std::string>& index_link_pages);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_PROJECT_FILES_H_
