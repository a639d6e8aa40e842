// The help project file: which topic files and bitmaps make up the help file,
// its title, copyright, contents topic, start-up macros, window and the
// numbers that programs use to open topics.
#ifndef QUILLARK_HLPCOMPILER_HPJ_READER_H_
#define QUILLARK_HLPCOMPILER_HPJ_READER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hlpcompiler/diagnostics.h"

namespace quillark::hlpc {

struct ContextMapEntry {
  std::string context;
  std::uint32_t id = 0;
  int line = 0;
};

// The main window of a [WINDOWS] line; only the fields that were given are set.
struct WindowSpec {
  std::string name;  // at most 8 characters
  std::string caption;
  std::optional<std::uint16_t> x, y, width, height;
  std::optional<std::uint32_t> background;  // 0x00BBGGRR
  std::optional<std::uint32_t> non_scroll_background;
};

struct HelpProject {
  std::string path;       // the project file as named
  std::string directory;  // its folder, with a trailing separator, or empty
  std::string title;
  std::string copyright;
  std::string contents;                     // context string of the contents topic
  std::string cnt;                          // CNT= as given
  std::vector<std::string> topic_files;     // resolved against the project's folder
  std::vector<std::string> bitmaps;         // resolved likewise
  std::vector<std::string> bitmap_folders;  // BMROOT and ROOT folders, resolved
  std::vector<std::string> config_macros;
  std::vector<ContextMapEntry> map;
  std::vector<WindowSpec> windows;
};

struct HpjReadResult {
  HelpProject project;
  Diagnostics warnings;
  Diagnostics errors;  // a project with errors is not compiled
};

// Reads the text of a project file. Section and option names are matched
// case-insensitively; comment lines start with ";"; unknown sections and
// options are skipped with a warning.
HpjReadResult ReadHelpProject(std::string_view text, const std::string& path);

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_HPJ_READER_H_
