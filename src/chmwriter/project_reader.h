// Reads an HTML Help project (.hhp): [OPTIONS], [WINDOWS] and [FILES]; other
// sections are for the help viewer's context ids and are passed over.
#ifndef QUILLARK_CHMWRITER_PROJECT_READER_H_
#define QUILLARK_CHMWRITER_PROJECT_READER_H_

#include <optional>
#include <string>
#include <string_view>

#include "chmwriter/project.h"

namespace quillark::chm {

struct ProjectReadResult {
  std::optional<ChmProject> project;
  std::string message;  // why there is no project, naming the file and line
};

// Parses the text of the project file `project_path`. File names are
// normalized and refused when they cannot be stored.
ProjectReadResult ParseProject(std::string_view text, const std::string& project_path);

ProjectReadResult ReadProject(const std::string& project_path);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_PROJECT_READER_H_
