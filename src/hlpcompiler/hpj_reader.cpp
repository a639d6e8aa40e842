#include "hlpcompiler/hpj_reader.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "runtime/files.h"

namespace quillark::hlpc {
namespace {

enum class Section { kNone, kOptions, kFiles, kBitmaps, kConfig, kMap, kWindows, kOther };

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string_view Unquote(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

Section SectionNamed(std::string_view name) {
  const std::string upper = Upper(name);
  if (upper == "OPTIONS") return Section::kOptions;
  if (upper == "FILES") return Section::kFiles;
  if (upper == "BITMAPS") return Section::kBitmaps;
  if (upper == "CONFIG" || upper.rfind("CONFIG:", 0) == 0) return Section::kConfig;
  if (upper == "MAP") return Section::kMap;
  if (upper == "WINDOWS") return Section::kWindows;
  return Section::kOther;
}

// Options a project may carry that change nothing in the file we write.
bool IsQuietOption(std::string_view upper) {
  static constexpr std::array<std::string_view, 17> kQuiet = {
      "COMPRESS",    "WARNING",  "OLDKEYPHRASE", "OPTCDROM", "REPORT",  "ERRORLOG",
      "LCID",        "HLP",      "CHARSET",      "DEFFONT",  "REPLACE", "FORCEFONT",
      "MAPFONTSIZE", "MULTIKEY", "NOTES",        "VERSION",  "HCW"};
  return std::find(kQuiet.begin(), kQuiet.end(), upper) != kQuiet.end();
}

// A path from the project, made absolute against the project's folder.
std::string Resolve(const HelpProject& project, std::string_view written) {
  const std::string path = runtime::NormalizeSourcePath(Unquote(Trim(written)));
  if (path.empty() || runtime::IsFullPath(path) || project.directory.empty()) return path;
  return runtime::JoinPath(project.directory, path);
}

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
  text = Trim(text);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Splits "a,(b,c),d" at the commas that are outside parentheses and quotes.
std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  int depth = 0;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    if (c == ',' && depth == 0) {
      fields.push_back(Trim(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  fields.push_back(Trim(text.substr(start)));
  return fields;
}

std::vector<std::uint32_t> NumbersInParentheses(std::string_view field) {
  std::vector<std::uint32_t> numbers;
  if (field.size() < 2 || field.front() != '(' || field.back() != ')') return numbers;
  for (std::string_view part : SplitFields(field.substr(1, field.size() - 2))) {
    numbers.push_back(ParseNumber(part).value_or(0));
  }
  return numbers;
}

std::optional<std::uint32_t> ColourField(std::string_view field) {
  const std::vector<std::uint32_t> rgb = NumbersInParentheses(field);
  if (rgb.size() != 3) return std::nullopt;
  return (rgb[0] & 0xFF) | ((rgb[1] & 0xFF) << 8) | ((rgb[2] & 0xFF) << 16);
}

// name="caption","type",(x,y,w,h),state,(r,g,b),(r,g,b)
WindowSpec ParseWindow(std::string_view name, std::string_view value) {
  WindowSpec window;
  window.name = std::string(name.substr(0, 8));
  const std::vector<std::string_view> fields = SplitFields(value);
  if (!fields.empty()) window.caption = std::string(Unquote(fields[0]));
  std::size_t next = 1;
  // The window type is a quoted field of its own in some projects.
  if (next < fields.size() && !fields[next].empty() && fields[next].front() == '"') ++next;
  if (next < fields.size()) {
    const std::vector<std::uint32_t> place = NumbersInParentheses(fields[next]);
    if (place.size() == 4) {
      window.x = static_cast<std::uint16_t>(place[0]);
      window.y = static_cast<std::uint16_t>(place[1]);
      window.width = static_cast<std::uint16_t>(place[2]);
      window.height = static_cast<std::uint16_t>(place[3]);
    }
  }
  if (next + 2 < fields.size()) window.background = ColourField(fields[next + 2]);
  if (next + 3 < fields.size()) window.non_scroll_background = ColourField(fields[next + 3]);
  return window;
}

class ProjectReader {
 public:
  explicit ProjectReader(const std::string& path) {
    result_.project.path = path;
    result_.project.directory = runtime::DirectoryPart(path);
  }

  void Line(std::string_view raw, int line) {
    line_ = line;
    const std::string_view text = Trim(raw);
    if (text.empty() || text.front() == ';') return;
    if (text.front() == '[') {
      const std::size_t close = text.find(']');
      if (close == std::string_view::npos) {
        Warn("section name without \"]\"");
        section_ = Section::kOther;
        return;
      }
      section_ = SectionNamed(Trim(text.substr(1, close - 1)));
      if (section_ == Section::kOther) {
        Warn("section [" + std::string(text.substr(1, close - 1)) + "] is not used");
      }
      return;
    }
    HelpProject& project = result_.project;
    switch (section_) {
      case Section::kNone:
        Warn("text before the first section is ignored");
        break;
      case Section::kOptions:
        Option(text);
        break;
      case Section::kFiles:
        project.topic_files.push_back(Resolve(project, text));
        break;
      case Section::kBitmaps:
        project.bitmaps.push_back(Resolve(project, text));
        break;
      case Section::kConfig:
        project.config_macros.emplace_back(text);
        break;
      case Section::kMap:
        MapLine(text);
        break;
      case Section::kWindows: {
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
          Warn("window definition without \"=\"");
        } else {
          project.windows.push_back(
              ParseWindow(Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))));
        }
        break;
      }
      case Section::kOther:
        break;
    }
  }

  HpjReadResult Finish() { return std::move(result_); }

 private:
  void Warn(const std::string& text) {
    result_.warnings.push_back({result_.project.path, line_, text});
  }

  void Option(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
      Warn("option without \"=\": " + std::string(text));
      return;
    }
    const std::string name = Upper(Trim(text.substr(0, equals)));
    const std::string_view value = Trim(text.substr(equals + 1));
    HelpProject& project = result_.project;
    if (name == "TITLE") {
      project.title = value;
    } else if (name == "COPYRIGHT") {
      project.copyright = value;
    } else if (name == "CONTENTS") {
      project.contents = value;
    } else if (name == "CNT") {
      project.cnt = value;
    } else if (name == "BMROOT" || name == "ROOT") {
      for (std::string_view folder : SplitFields(value)) {
        if (!folder.empty()) project.bitmap_folders.push_back(Resolve(project, folder));
      }
    } else if (!IsQuietOption(name)) {
      Warn("option " + name + " is not used");
    }
  }

  // "#define NAME 12", "NAME 12" or "NAME=12".
  void MapLine(std::string_view text) {
    if (Upper(text.substr(0, 7)) == "#DEFINE") text = Trim(text.substr(7));
    std::size_t split = text.find_first_of(" \t=");
    if (split == std::string_view::npos) {
      Warn("map entry without a number: " + std::string(text));
      return;
    }
    const std::string_view name = Trim(text.substr(0, split));
    std::string_view number = Trim(text.substr(split));
    if (!number.empty() && number.front() == '=') number = Trim(number.substr(1));
    const std::optional<std::uint32_t> id = ParseNumber(number);
    if (!id || name.empty()) {
      Warn("map entry is not a name and a number: " + std::string(text));
      return;
    }
    result_.project.map.push_back({std::string(name), *id, line_});
  }

  HpjReadResult result_;
  Section section_ = Section::kNone;
  int line_ = 0;
};

}  // namespace

HpjReadResult ReadHelpProject(std::string_view text, const std::string& path) {
  ProjectReader reader(path);
  int line = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    reader.Line(text.substr(0, end), ++line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  HpjReadResult result = reader.Finish();
  if (result.project.topic_files.empty()) {
    result.errors.push_back({path, 0, "the project names no topic file in [FILES]"});
  }
  return result;
}

}  // namespace quillark::hlpc
