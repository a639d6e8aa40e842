#include "chmwriter/project_reader.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <vector>

#include "chmwriter/directory.h"
#include "chmwriter/stored_names.h"

namespace quillark::chm {
namespace {

enum class Section { kOther, kOptions, kWindows, kFiles };

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string LineMessage(const std::string& path, int line, const std::string& what) {
  return "\"" + path + "\" line " + std::to_string(line) + ": " + what;
}

// A number as projects write them: decimal, or hexadecimal after "0x"; a
// leading "-" is kept in the two's complement.
std::optional<std::uint32_t> ParseNumber(std::string_view text) {
  text = Trim(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return negative ? 0u - value : value;
}

// The fields of a window line, split at the commas that stand outside
// quotes and brackets.
std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  bool quoted = false;
  int brackets = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '[') ++brackets;
    if (c == ']' && brackets > 0) --brackets;
    if (c == ',' && brackets == 0) {
      fields.push_back(Trim(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  fields.push_back(Trim(text.substr(start)));
  return fields;
}

std::string Unquote(std::string_view field) {
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
    field = field.substr(1, field.size() - 2);
  }
  return std::string(field);
}

// Parses one [WINDOWS] line; an empty text on success, else what is wrong.
std::string ParseWindow(std::string_view name, std::string_view value, WindowType& window) {
  window.name = Unquote(Trim(name));
  const std::vector<std::string_view> fields = SplitFields(value);
  auto text = [&fields](std::size_t i) { return i < fields.size() ? Unquote(fields[i]) : ""; };
  window.caption = text(0);
  window.contents_file = text(1);
  window.index_file = text(2);
  window.default_file = text(3);
  window.home_file = text(4);
  window.jump1_url = text(5);
  window.jump1_text = text(6);
  window.jump2_url = text(7);
  window.jump2_text = text(8);

  std::string problem;
  auto number = [&](std::size_t i, std::optional<std::uint32_t>& member) {
    if (i >= fields.size() || fields[i].empty()) return;
    member = ParseNumber(fields[i]);
    if (!member && problem.empty()) {
      problem = "the window field \"" + std::string(fields[i]) + "\" is not a number";
    }
  };
  number(9, window.navigation_style);
  number(10, window.navigation_width);
  number(11, window.buttons);
  if (fields.size() > 12 && !fields[12].empty()) {
    std::string_view box = fields[12];
    std::vector<std::string_view> sides;
    if (box.size() >= 2 && box.front() == '[' && box.back() == ']') {
      sides = SplitFields(box.substr(1, box.size() - 2));
    }
    std::array<std::int32_t, 4> position{};
    bool valid = sides.size() == 4;
    for (std::size_t i = 0; valid && i < 4; ++i) {
      const std::optional<std::uint32_t> side = ParseNumber(sides[i]);
      valid = side.has_value();
      if (valid) position[i] = static_cast<std::int32_t>(*side);
    }
    if (!valid)
      return "the window position \"" + std::string(box) + "\" is not [left,top,right,bottom]";
    window.position = position;
  }
  number(13, window.style);
  number(14, window.extended_style);
  number(15, window.show_state);
  number(16, window.navigation_closed);
  number(17, window.default_tab);
  number(18, window.tab_position);
  number(19, window.notify_id);
  return problem;
}

std::string FoldKey(std::string_view key) { return FoldName(Trim(key)); }

}  // namespace

ProjectReadResult ParseProject(std::string_view text, const std::string& project_path) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  ChmProject project;
  project.project_path = project_path;
  Section section = Section::kOther;
  int line_number = 0;
  auto fail = [&](const std::string& what) {
    return ProjectReadResult{std::nullopt, LineMessage(project_path, line_number, what)};
  };
  // A file name of the project, normalized, or the reason it cannot be stored.
  auto listed = [&](std::string_view written, std::string& problem) {
    ListedFile file{NormalizeName(written), line_number};
    problem = CheckStoredName(file.name);
    return file;
  };

  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(text.substr(start, end - start));
    start = end + 1;
    ++line_number;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::string name = FoldKey(line.substr(1, line.find(']') - 1));
      section = name == "options"   ? Section::kOptions
                : name == "windows" ? Section::kWindows
                : name == "files"   ? Section::kFiles
                                    : Section::kOther;
      continue;
    }
    const std::size_t equals = line.find('=');
    switch (section) {
      case Section::kOptions: {
        if (equals == std::string_view::npos) break;
        const std::string key = FoldKey(line.substr(0, equals));
        const std::string value(Trim(line.substr(equals + 1)));
        std::string problem;
        if (key == "compiled file") {
          project.compiled_file = value;
        } else if (key == "contents file" && !value.empty()) {
          project.contents_file = listed(value, problem);
        } else if (key == "index file" && !value.empty()) {
          project.index_file = listed(value, problem);
        } else if (key == "default topic") {
          project.default_topic = NormalizeName(value);
        } else if (key == "title") {
          project.title = value;
        } else if (key == "default window") {
          project.default_window = value;
        } else if (key == "default font") {
          project.default_font = value;
        } else if (key == "language") {
          const std::optional<std::uint32_t> language =
              ParseNumber(value.substr(0, value.find_first_of(" \t")));
          if (!language) problem = "the language \"" + value + "\" does not begin with its number";
          project.language = language.value_or(kDefaultLanguage);
        }
        if (!problem.empty()) return fail(problem);
        break;
      }
      case Section::kWindows: {
        if (equals == std::string_view::npos) break;
        WindowType window;
        const std::string problem =
            ParseWindow(line.substr(0, equals), line.substr(equals + 1), window);
        if (!problem.empty()) return fail(problem);
        project.windows.push_back(std::move(window));
        break;
      }
      case Section::kFiles: {
        std::string problem;
        ListedFile file = listed(line, problem);
        if (!problem.empty()) return fail(problem);
        project.files.push_back(std::move(file));
        break;
      }
      case Section::kOther:
        break;
    }
  }
  return {std::move(project), ""};
}

ProjectReadResult ReadProject(const std::string& project_path) {
  std::ifstream file(project_path, std::ios::binary);
  std::ostringstream text;
  if (file) text << file.rdbuf();
  if (!file || file.bad())
    return {std::nullopt, "Cannot read the project file \"" + project_path + "\""};
  return ParseProject(text.str(), project_path);
}

}  // namespace quillark::chm
