#include "chmwriter/system_files.h"

#include "chmwriter/byte_writer.h"
#include "chmwriter/directory.h"

namespace quillark::chm {
namespace {

constexpr std::uint32_t kSystemVersion = 3;
constexpr std::size_t kStringsBlock = 4096;

// Which optional members of a window type carry a value.
constexpr std::uint32_t kValidProperties = 0x2;
constexpr std::uint32_t kValidStyles = 0x4;
constexpr std::uint32_t kValidExtendedStyles = 0x8;
constexpr std::uint32_t kValidPosition = 0x10;
constexpr std::uint32_t kValidNavigationWidth = 0x20;
constexpr std::uint32_t kValidShowState = 0x40;
constexpr std::uint32_t kValidButtons = 0x100;
constexpr std::uint32_t kValidExpansion = 0x200;
constexpr std::uint32_t kValidTabPosition = 0x400;
constexpr std::uint32_t kValidCurrentTab = 0x2000;

void AppendRecord(std::string& out, SystemCode code, std::string_view data) {
  AppendU16(out, static_cast<std::uint16_t>(code));
  AppendU16(out, static_cast<std::uint16_t>(data.size()));
  out += data;
}

// A text record carries its terminating NUL; an empty text is left out, and
// one too long for the record's 16-bit length is cut to fit.
void AppendTextRecord(std::string& out, SystemCode code, std::string_view text) {
  if (text.empty()) return;
  std::string data(text.substr(0, 0xFFFE));
  data.push_back('\0');
  AppendRecord(out, code, data);
}

void AppendNumberRecord(std::string& out, SystemCode code, std::uint32_t value) {
  std::string data;
  AppendU32(data, value);
  AppendRecord(out, code, data);
}

// The language, then whether the file uses double-byte text, has a full-text
// index, keyword links or associative links (none of them), then a file time
// and two unused words, all zero so that the same project gives the same bytes.
std::string LanguageData(std::uint32_t language) {
  std::string data;
  AppendU32(data, language);
  for (int i = 0; i < 4; ++i) AppendU32(data, 0);
  AppendU64(data, 0);
  AppendU32(data, 0);
  AppendU32(data, 0);
  return data;
}

// The title: the project's own, else the caption of its default window (the
// projects this program writes name the title only there).
std::string Title(const ChmProject& project) {
  if (!project.title.empty()) return project.title;
  for (const WindowType& window : project.windows) {
    if (window.name == project.default_window) return window.caption;
  }
  return project.windows.empty() ? "" : project.windows.front().caption;
}

std::string FileName(const std::optional<ListedFile>& file) { return file ? file->name : ""; }

}  // namespace

std::string SystemFile(const ChmProject& project, std::string_view compiled_stem) {
  std::string out;
  AppendU32(out, kSystemVersion);
  AppendTextRecord(out, SystemCode::kCompiler, kCompilerName);
  AppendRecord(out, SystemCode::kLanguage, LanguageData(project.language));
  AppendTextRecord(out, SystemCode::kDefaultTopic, project.default_topic);
  AppendTextRecord(out, SystemCode::kTitle, Title(project));
  AppendTextRecord(out, SystemCode::kDefaultFont, project.default_font);
  AppendTextRecord(out, SystemCode::kCompiledFile, FoldName(compiled_stem));
  AppendTextRecord(out, SystemCode::kDefaultWindow, project.default_window);
  AppendTextRecord(out, SystemCode::kContentsFile, FileName(project.contents_file));
  AppendTextRecord(out, SystemCode::kIndexFile, FileName(project.index_file));
  AppendNumberRecord(out, SystemCode::kInformationTypes, 0);
  AppendNumberRecord(out, SystemCode::kInformationTypeChecksum, 0);
  return out;
}

std::uint32_t AddString(StringsFile& strings, std::string_view text) {
  if (text.empty()) return 0;
  if (const auto found = strings.offsets.find(text); found != strings.offsets.end()) {
    return found->second;
  }
  const std::size_t used = strings.bytes.size() % kStringsBlock;
  if (text.size() + 1 <= kStringsBlock && used + text.size() + 1 > kStringsBlock) {
    strings.bytes.append(kStringsBlock - used, '\0');
  }
  const auto offset = static_cast<std::uint32_t>(strings.bytes.size());
  strings.bytes += text;
  strings.bytes.push_back('\0');
  strings.offsets.emplace(std::string(text), offset);
  return offset;
}

std::string WindowsFile(const std::vector<WindowType>& windows, StringsFile& strings) {
  std::string out;
  AppendU32(out, static_cast<std::uint32_t>(windows.size()));
  AppendU32(out, kWindowTypeSize);
  for (const WindowType& window : windows) {
    std::uint32_t valid = 0;
    auto number = [&valid](const std::optional<std::uint32_t>& value, std::uint32_t flag) {
      if (value) valid |= flag;
      return value.value_or(0);
    };
    const std::uint32_t navigation_style =
        number(window.navigation_style, kValidProperties) & ~kSearchTabs;
    const std::uint32_t style = number(window.style, kValidStyles);
    const std::uint32_t extended_style = number(window.extended_style, kValidExtendedStyles);
    const std::uint32_t show_state = number(window.show_state, kValidShowState);
    const std::uint32_t navigation_width = number(window.navigation_width, kValidNavigationWidth);
    const std::uint32_t buttons = number(window.buttons, kValidButtons);
    const std::uint32_t navigation_closed = number(window.navigation_closed, kValidExpansion);
    const std::uint32_t default_tab = number(window.default_tab, kValidCurrentTab);
    const std::uint32_t tab_position = number(window.tab_position, kValidTabPosition);
    if (window.position) valid |= kValidPosition;

    AppendU32(out, kWindowTypeSize);
    AppendU32(out, 0);  // the texts are single-byte
    AppendU32(out, AddString(strings, window.name));
    AppendU32(out, valid);
    AppendU32(out, navigation_style);
    AppendU32(out, AddString(strings, window.caption));
    AppendU32(out, style);
    AppendU32(out, extended_style);
    for (std::int32_t side : window.position.value_or(std::array<std::int32_t, 4>{})) {
      AppendU32(out, static_cast<std::uint32_t>(side));
    }
    AppendU32(out, show_state);
    for (int i = 0; i < 6; ++i) AppendU32(out, 0);  // handles the viewer fills in
    AppendU32(out, navigation_width);
    for (int i = 0; i < 4; ++i) AppendU32(out, 0);  // the topic pane's place
    AppendU32(out, AddString(strings, window.contents_file));
    AppendU32(out, AddString(strings, window.index_file));
    AppendU32(out, AddString(strings, window.default_file));
    AppendU32(out, AddString(strings, window.home_file));
    AppendU32(out, buttons);
    AppendU32(out, navigation_closed);
    AppendU32(out, default_tab);
    AppendU32(out, tab_position);
    AppendU32(out, number(window.notify_id, 0));
    out.append(20, '\0');  // tab order
    AppendU32(out, 0);     // history entries
    AppendU32(out, AddString(strings, window.jump1_text));
    AppendU32(out, AddString(strings, window.jump2_text));
    AppendU32(out, AddString(strings, window.jump1_url));
    AppendU32(out, AddString(strings, window.jump2_url));
    for (int i = 0; i < 4; ++i) AppendU32(out, 0);  // minimum size
    AppendU32(out, 0);                              // information types
    AppendU32(out, 0);                              // custom tabs
  }
  return out;
}

}  // namespace quillark::chm
