// What an HTML Help project says: the options, the window types and the files
// it lists, as read from its .hhp file.
#ifndef QUILLARK_CHMWRITER_PROJECT_H_
#define QUILLARK_CHMWRITER_PROJECT_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillark::chm {

// One line of [WINDOWS]: name="caption","contents","index","default","home",
// "jump 1 URL","jump 1 text","jump 2 URL","jump 2 text",navigation style,
// navigation width,buttons,[left,top,right,bottom],style,extended style,
// show state,navigation closed,default tab,tab position,notify id. Empty
// fields stay unset.
struct WindowType {
  std::string name;
  std::string caption;
  std::string contents_file;
  std::string index_file;
  std::string default_file;
  std::string home_file;
  std::string jump1_url;
  std::string jump1_text;
  std::string jump2_url;
  std::string jump2_text;
  std::optional<std::uint32_t> navigation_style;
  std::optional<std::uint32_t> navigation_width;
  std::optional<std::uint32_t> buttons;
  std::optional<std::array<std::int32_t, 4>> position;
  std::optional<std::uint32_t> style;
  std::optional<std::uint32_t> extended_style;
  std::optional<std::uint32_t> show_state;
  std::optional<std::uint32_t> navigation_closed;
  std::optional<std::uint32_t> default_tab;
  std::optional<std::uint32_t> tab_position;
  std::optional<std::uint32_t> notify_id;
};

// A file name as the project writes it, relative to the project's folder,
// and the line that names it (0 when none does).
struct ListedFile {
  std::string name;
  int line = 0;
};

inline constexpr std::uint32_t kDefaultLanguage = 0x0409;

struct ChmProject {
  std::string project_path;   // the .hhp file
  std::string compiled_file;  // "Compiled file=", empty when not given
  std::optional<ListedFile> contents_file;
  std::optional<ListedFile> index_file;
  std::string default_topic;
  std::string title;
  std::string default_window;
  std::string default_font;
  std::uint32_t language = kDefaultLanguage;
  std::vector<WindowType> windows;
  std::vector<ListedFile> files;  // [FILES], in order
};

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_PROJECT_H_
