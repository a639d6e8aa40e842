// Every file a run reads, writes or deletes is named here from the input path
// (full, without extension) and the output format.
#ifndef QUILLARK_HELPWRITER_FILE_NAMES_H_
#define QUILLARK_HELPWRITER_FILE_NAMES_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "helpwriter/writer_state.h"

namespace quillark {

struct FileNames {
  std::string source;        // P ".txt"
  std::string preprocessor;  // P ".pp"
  std::string listing;       // P ".lst"
  std::string output;        // main output file, or page pattern for CHM and HTML
  std::string page_folder;   // CHM and HTML: the folder of the pages, with its separator
  std::string final_output;
  std::string project;
  std::string style_sheet;
  std::string contents;
  std::string index;
};

// The four frame-file names the tag processor and the writers pass around.
struct FrameFileNames {
  std::string project;
  std::string style_sheet;
  std::string contents;
  std::string index;
};

FileNames BuildFileNames(OutputFormat format, std::string_view input_path);
// The length of the longest name of the set.
std::size_t LongestName(const FileNames& names);
FrameFileNames FrameNamesOf(const FileNames& names);

enum class PageKind { kMain, kExample };

// The file a topic's text goes to: the output file for HLP and RTF; the
// topic's own page (or example page) in the output folder for CHM and HTML;
// empty for NONE, an empty output name, or a key that is not an identifier.
std::string TopicFileName(OutputFormat format, std::string_view output_name,
                          std::string_view topic_key, PageKind kind);

// The files of the CHM and HTML page folder that a run clears away: every
// file there that may be deleted, the `known` ones taken as such unasked. A
// run replaces them rather than deleting them at its start (see
// OutputFiles::ReplaceLater).
std::vector<std::string> EarlierPages(
    const FileNames& names, const std::function<bool(const std::string&)>& known = nullptr);

// Deletes the output file of HLP and RTF; the page folder of CHM and HTML
// is cleared through EarlierPages.
void DeleteOutputFile(const FileNames& names);

// The files of an earlier run that the pre-processor would meet: its output
// and the line-end copy it reads. They go first, before it starts.
void DeletePreprocessorFiles(const FileNames& names);

// The other files a run deletes as Pass 1 starts: the program's own
// temporary files beside the source and the named outputs. The earlier
// pages are replaced or deleted later in the run.
void DeleteEarlierResults(const FileNames& names);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_FILE_NAMES_H_
