#include "chmwriter/link_scanner.h"

#include <utility>

#include "chmwriter/directory.h"

namespace quillark::chm {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == ':';
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The position of `needle` (lower case) at or after `from` without regard to
// case, or npos.
std::size_t FindFolded(std::string_view text, std::string_view needle, std::size_t from) {
  for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
    std::size_t matched = 0;
    while (matched < needle.size() && Folded(text[i + matched]) == needle[matched]) ++matched;
    if (matched == needle.size()) return i;
  }
  return std::string_view::npos;
}

using Attributes = std::vector<std::pair<std::string, std::string>>;

// Reads the attributes of the tag whose name ends at `at`, up to its ">";
// `at` is left after it.
Attributes ReadAttributes(std::string_view text, std::size_t& at) {
  Attributes attributes;
  while (at < text.size() && text[at] != '>') {
    if (!IsNameChar(text[at])) {
      ++at;
      continue;
    }
    const std::size_t name_start = at;
    while (at < text.size() && IsNameChar(text[at])) ++at;
    std::string name = FoldName(text.substr(name_start, at - name_start));
    std::size_t look = at;
    while (look < text.size() && IsBlank(text[look])) ++look;
    if (look >= text.size() || text[look] != '=') {
      attributes.emplace_back(std::move(name), "");
      continue;
    }
    at = look + 1;
    while (at < text.size() && IsBlank(text[at])) ++at;
    std::size_t value_start = at;
    std::size_t value_end;
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
      const char quote = text[at];
      value_start = at + 1;
      value_end = text.find(quote, value_start);
      if (value_end == std::string_view::npos) value_end = text.size();
      at = value_end + 1;
    } else {
      while (at < text.size() && !IsBlank(text[at]) && text[at] != '>') ++at;
      value_end = at;
    }
    attributes.emplace_back(std::move(name),
                            std::string(text.substr(value_start, value_end - value_start)));
  }
  if (at < text.size()) ++at;
  return attributes;
}

std::vector<std::string> PageLinks(std::string_view text) {
  std::vector<std::string> links;
  std::size_t at = 0;
  while ((at = text.find('<', at)) != std::string_view::npos) {
    if (text.substr(at, 4) == "<!--") {
      const std::size_t end = text.find("-->", at + 4);
      at = end == std::string_view::npos ? text.size() : end + 3;
      continue;
    }
    ++at;
    const std::size_t name_start = at;
    while (at < text.size() && IsNameChar(text[at])) ++at;
    const std::string tag = FoldName(text.substr(name_start, at - name_start));
    if (tag.empty()) continue;
    const Attributes attributes = ReadAttributes(text, at);
    if (tag == "param") {
      bool local = false;
      std::string value;
      for (const auto& [name, content] : attributes) {
        if (name == "name") local = FoldName(content) == "local";
        if (name == "value") value = content;
      }
      if (local) links.push_back(value);
    } else {
      for (const auto& [name, content] : attributes) {
        if (name == "src" || name == "href" || name == "background") links.push_back(content);
      }
    }
    // A script's text is not markup; its "<" compares numbers.
    if (tag == "script") {
      const std::size_t end = FindFolded(text, "</script", at);
      at = end == std::string_view::npos ? text.size() : end;
    }
  }
  return links;
}

std::vector<std::string> StyleSheetLinks(std::string_view text) {
  std::vector<std::string> links;
  std::size_t at = 0;
  while ((at = FindFolded(text, "url(", at)) != std::string_view::npos) {
    at += 4;
    const std::size_t end = text.find(')', at);
    if (end == std::string_view::npos) break;
    std::string_view value = text.substr(at, end - at);
    while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
    while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    links.emplace_back(value);
    at = end + 1;
  }
  return links;
}

}  // namespace

LinkSource LinkSourceOf(std::string_view name) {
  const std::string folded = FoldName(name);
  for (std::string_view extension : {".htm", ".html", ".xhtml", ".hhc", ".hhk"}) {
    if (EndsWith(folded, extension)) return LinkSource::kPage;
  }
  return EndsWith(folded, ".css") ? LinkSource::kStyleSheet : LinkSource::kNone;
}

std::vector<std::string> FindLinks(std::string_view text, LinkSource source) {
  switch (source) {
    case LinkSource::kPage:
      return PageLinks(text);
    case LinkSource::kStyleSheet:
      return StyleSheetLinks(text);
    case LinkSource::kNone:
      break;
  }
  return {};
}

}  // namespace quillark::chm
