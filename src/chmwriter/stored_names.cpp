#include "chmwriter/stored_names.h"

#include <vector>

#include "chmwriter/directory.h"

namespace quillark::chm {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string DecodePercent(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      decoded.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

}  // namespace

std::string NormalizeName(std::string_view written) {
  std::string text(Trim(written));
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  const bool full_path = !text.empty() && text.front() == '/';
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('/', start);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(start, end - start);
    if (part == "..") {
      if (!folders.empty() && folders.back() != "..") {
        folders.pop_back();
      } else {
        folders.push_back(part);
      }
    } else if (!part.empty() && part != ".") {
      folders.push_back(part);
    }
    start = end + 1;
  }
  std::string name = full_path ? "/" : "";
  for (std::size_t i = 0; i < folders.size(); ++i) {
    if (i > 0) name.push_back('/');
    name += folders[i];
  }
  return name;
}

std::string CheckStoredName(std::string_view name) {
  const std::string quoted = "the file name \"" + std::string(name) + "\"";
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E) {
      return quoted + " is not plain ASCII; a compiled help file stores ASCII names only";
    }
  }
  if (name.empty()) return "an empty file name";
  if (name.size() > kMaxNameLength) {
    return quoted + " is longer than " + std::to_string(kMaxNameLength) + " characters";
  }
  if (name.front() == '/' || name == ".." || name.substr(0, 3) == "../") {
    return quoted + " lies outside the project's folder";
  }
  if (name.front() == '#' || name.front() == '$' || name.find(':') != std::string_view::npos) {
    return quoted + " has the form of the help file's own names";
  }
  return "";
}

std::optional<std::string> ResolveReference(std::string_view from, std::string_view reference) {
  std::string_view link = Trim(reference);
  link = link.substr(0, link.find_first_of("#?"));
  if (link.empty() || link.find(':') != std::string_view::npos || link.front() == '/' ||
      link.front() == '\\') {
    return std::nullopt;
  }
  const std::size_t slash = from.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? "" : from.substr(0, slash + 1);
  std::string name = NormalizeName(std::string(folder) + DecodePercent(link));
  if (name.empty() || name == ".." || name.substr(0, 3) == "../") return std::nullopt;
  return name;
}

}  // namespace quillark::chm
