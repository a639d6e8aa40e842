// Writing the files around the topics (project, contents, index, style
// sheet, pages of their own). A file that cannot be written throws an
// OutputError naming it and the system's reason, which ends the run.
#ifndef QUILLARK_HELPWRITER_FRAME_FILE_H_
#define QUILLARK_HELPWRITER_FRAME_FILE_H_

#include <string>
#include <string_view>

namespace quillark {

// Creates (or truncates) `path`, creating its folder when missing, and writes `data`.
void WriteFrameFile(const std::string& path, std::string_view data);
// Appends `data` to `path`, creating it (and its folder) when missing.
void AppendFrameFile(const std::string& path, std::string_view data);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_FRAME_FILE_H_
