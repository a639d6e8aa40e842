// Compiles an HTML Help project into a compiled help file (.chm) in process:
// the project's files go into the compressed section as uncompressed LZX
// blocks, with the viewer's system files for its title, default topic,
// contents and index files, language and window types. The viewer builds its
// Contents and Index tabs from the project's own .hhc and .hhk files, which
// are stored as they are; no binary contents, index or full-text search are
// written. The same project always gives the same bytes.
#ifndef QUILLARK_CHMWRITER_CHM_WRITER_H_
#define QUILLARK_CHMWRITER_CHM_WRITER_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "chmwriter/project.h"

namespace quillark::chm {

struct ChmWriteResult {
  bool ok = false;
  std::string message;         // on failure: what went wrong, naming the file
  std::size_t file_count = 0;  // the project's files stored
};

// Reads the project `hhp_path` and the files it names and writes `chm_path`.
ChmWriteResult WriteChmFromProject(const std::string& hhp_path, const std::string& chm_path);

// The same for a project already read.
ChmWriteResult WriteChm(const ChmProject& project, const std::string& chm_path);

// The bytes of the help file; `compiled_stem` is its file name without
// folder and extension. `bytes` is empty on failure.
struct ChmBuildResult {
  ChmWriteResult result;
  std::string bytes;
};
ChmBuildResult BuildChm(const ChmProject& project, std::string_view compiled_stem);

// Where the project asks for its help file: "Compiled file=" relative to the
// project's folder, else the project's name with ".chm" beside it.
std::string CompiledFilePath(const ChmProject& project);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_CHM_WRITER_H_
