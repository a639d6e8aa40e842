#include "helpreader/include_files.h"

#include <optional>
#include <string>

#include "runtime/files.h"
#include "runtime/output.h"
#include "runtime/text.h"

namespace quillark {
namespace {

bool IsWordChar(char c) {
  return runtime::IsAsciiLetter(c) || runtime::IsAsciiDigit(c) || c == '_';
}

bool MatchesAt(std::string_view text, std::string_view pattern, std::size_t pos, bool ignore_case) {
  if (pattern.size() > text.size() - pos) return false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char a = text[pos + i];
    const char b = pattern[i];
    if (ignore_case ? runtime::UpperAscii(a) != runtime::UpperAscii(b) : a != b) return false;
  }
  return true;
}

// The first match of `pattern` at or after `from`. With whole words a match
// touching a letter, digit or '_' on either side does not count.
std::size_t FindMatch(std::string_view text, std::string_view pattern, std::size_t from,
                      int flags) {
  if (pattern.empty()) return std::string_view::npos;
  for (std::size_t pos = from; pos < text.size(); ++pos) {
    if (!MatchesAt(text, pattern, pos, (flags & kReplaceIgnoreCase) != 0)) continue;
    if ((flags & kReplaceWholeWords) != 0) {
      const std::size_t end = pos + pattern.size();
      if (pos > 0 && IsWordChar(text[pos - 1])) continue;
      if (end < text.size() && IsWordChar(text[end])) continue;
    }
    return pos;
  }
  return std::string_view::npos;
}

bool CountReached(int made, int count) { return count >= 0 && made >= count; }

}  // namespace

std::string IncludeFileName(std::string_view main_source, std::string_view topic_name) {
  const std::string ident = runtime::SanitizeIdent(topic_name);
  if (!runtime::IsIdentifier(ident)) return "";
  return runtime::DirectoryPart(main_source) + "include_" + ident + ".tmp";
}

TopicSpan FindTopicInFile(const std::string& file, std::string_view name, bool is_popup) {
  const std::optional<std::string> data = runtime::ReadWholeFile(file);
  return data ? FindTopicInText(*data, name, is_popup) : TopicSpan{};
}

TopicSpan FindTopicInText(std::string_view text, std::string_view name, bool is_popup) {
  if (name.empty() || text.empty()) return {};
  const std::string header = is_popup ? "<popup>" + std::string(name) + "</popup>"
                                      : "<topic>" + std::string(name) + "</topic>";
  const std::size_t found = FindMatch(text, header, 0, kReplaceIgnoreCase);
  if (found == std::string_view::npos) return {};
  // The body starts on the line after the header.
  std::size_t body = found + header.size();
  if (text.substr(body, 2) == "\r\n") {
    body += 2;
  } else if (body < text.size() && text[body] == '\n') {
    body += 1;
  }
  const std::size_t end = text.find("<endtopic/>", body);
  if (end == std::string_view::npos) return {};
  return {body + 1, end + 1};
}

std::string ReplaceInText(std::string_view text, std::string_view search,
                          std::string_view replacement, int flags, int count, int start) {
  std::size_t pos = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
  const std::size_t star = search.find('*');
  int made = 0;
  if (search.size() < 2 || star == 0 || star == std::string_view::npos) {
    std::string result;
    std::size_t copied = 0;
    while (!CountReached(made, count)) {
      const std::size_t match = FindMatch(text, search, pos, flags);
      if (match == std::string_view::npos) break;
      result.append(text.substr(copied, match - copied)).append(replacement);
      copied = pos = match + search.size();
      ++made;
    }
    return result.append(text.substr(copied));
  }
  // A span from the text before the '*' to the text after it. The second part
  // is looked for after the end of the first, so that "a*a" spans from one
  // "a" to the next rather than matching a single "a" twice.
  const std::string_view prefix = search.substr(0, star);
  const std::string_view suffix = search.substr(star + 1);
  std::string result(text);
  while (!CountReached(made, count)) {
    const std::size_t first = FindMatch(result, prefix, pos, flags);
    if (first == std::string::npos) break;
    std::size_t end = result.size();
    if (!suffix.empty()) {
      const std::size_t second = FindMatch(result, suffix, first + prefix.size(), flags);
      if (second == std::string::npos) break;
      end = second + suffix.size();
    }
    result.replace(first, end - first, replacement);
    pos = first + replacement.size();
    ++made;
  }
  return result;
}

std::string ReplaceInFile(const std::string& file, std::string_view search,
                          std::string_view replacement, int flags, int count, int start) {
  if (search.empty()) return "";
  const std::optional<std::string> data = runtime::ReadWholeFile(file);
  if (!data || data->empty()) return "";
  return runtime::ReplaceFileSafely(file,
                                    ReplaceInText(*data, search, replacement, flags, count, start));
}

}  // namespace quillark
