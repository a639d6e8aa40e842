// Gathers the files that go into the help file: those [FILES] lists, the
// contents and index files, and every file a gathered page, sitemap or style
// sheet links to inside the project's folder (its style sheet and pictures),
// read into memory.
#ifndef QUILLARK_CHMWRITER_FILE_COLLECTOR_H_
#define QUILLARK_CHMWRITER_FILE_COLLECTOR_H_

#include <string>
#include <string_view>
#include <vector>

#include "chmwriter/project.h"

namespace quillark::chm {

struct StoredFile {
  std::string name;  // relative to the project's folder, "/" between folders
  std::string data;
};

struct CollectResult {
  bool ok = false;
  std::vector<StoredFile> files;  // in the order they were found
  std::string message;            // why not, naming the file (and line)
};

// A listed file that is missing, two names that differ only in case, and a
// linked file whose name cannot be stored are refused. Links to files that do
// not exist, and to other help files or projects, are passed over.
CollectResult CollectFiles(const ChmProject& project);

// The folders of paths on disk end at "/", on Windows also at "\\".
#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "/\\";
#else
inline constexpr std::string_view kPathSeparators = "/";
#endif

// The folder of the project file, with its final separator, or "" for the
// current one.
std::string ProjectFolder(const ChmProject& project);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_FILE_COLLECTOR_H_
