// The help viewer's own files inside a compiled help file: #SYSTEM (contents
// and index files, default topic, title, window, language), #WINDOWS (the
// window types) and #STRINGS (the texts #WINDOWS points into).
#ifndef QUILLARK_CHMWRITER_SYSTEM_FILES_H_
#define QUILLARK_CHMWRITER_SYSTEM_FILES_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "chmwriter/project.h"

namespace quillark::chm {

// #SYSTEM record codes.
enum class SystemCode : std::uint16_t {
  kContentsFile = 0,
  kIndexFile = 1,
  kDefaultTopic = 2,
  kTitle = 3,
  kLanguage = 4,
  kDefaultWindow = 5,
  kCompiledFile = 6,
  kCompiler = 9,
  kInformationTypes = 12,
  kInformationTypeChecksum = 15,
  kDefaultFont = 16,
};

inline constexpr std::string_view kCompilerName = "Quillark CHM writer";

// Version 3, then one record (code, length, data) per value the project has.
// `compiled_stem` is the compiled file's name without folder and extension.
std::string SystemFile(const ChmProject& project, std::string_view compiled_stem);

// #STRINGS: a NUL, then NUL-terminated texts, none crossing a 4 KiB block.
struct StringsFile {
  std::string bytes = std::string(1, '\0');
  std::map<std::string, std::uint32_t, std::less<>> offsets;
};
// The offset of `text` in `strings`, added when new; 0 for the empty text.
std::uint32_t AddString(StringsFile& strings, std::string_view text);

// The navigation-pane bits of the search tabs, which the writer clears: it
// writes no full-text index for them to search.
inline constexpr std::uint32_t kSearchTabs = 0x400 | 0x20000;
inline constexpr std::uint32_t kWindowTypeSize = 196;

// #WINDOWS: the count and size of the entries, then one entry per window
// type, its texts added to `strings`.
std::string WindowsFile(const std::vector<WindowType>& windows, StringsFile& strings);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_SYSTEM_FILES_H_
