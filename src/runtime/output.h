// The one layer through which topic output and the listing file are written.
// Every call appends and leaves nothing open, so what was written is on disk
// at once; a failure comes back as the system's reason.
#ifndef QUILLARK_RUNTIME_OUTPUT_H_
#define QUILLARK_RUNTIME_OUTPUT_H_

#include <string>
#include <string_view>

namespace quillark::runtime {

// Appends `data` to `path`, creating the file when missing. Returns an empty
// text on success, else the system's reason.
std::string AppendToFile(const std::string& path, std::string_view data);
// Creates or truncates `path` and writes `data`. Same result as AppendToFile.
std::string WriteWholeFile(const std::string& path, std::string_view data);
// Writes `data` to a new file beside `path`, then renames it over `path`, so
// a failed write never loses the old contents.
std::string ReplaceFileSafely(const std::string& path, std::string_view data);

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_OUTPUT_H_
