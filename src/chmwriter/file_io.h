// Whole-file reads and writes for the writer, which keeps a project's files
// and the help file it makes in memory.
#ifndef QUILLARK_CHMWRITER_FILE_IO_H_
#define QUILLARK_CHMWRITER_FILE_IO_H_

#include <optional>
#include <string>

namespace quillark::chm {

// The bytes of a regular file, or nothing when there is none or it cannot be read.
std::optional<std::string> ReadBytes(const std::string& path);

// Writes `bytes` as the file `path`, creating its folder when missing. An
// empty text on success, else the message; a file left half written is
// removed.
std::string WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_FILE_IO_H_
