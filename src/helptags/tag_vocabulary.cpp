#include "helptags/tag_vocabulary.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/text.h"

namespace quillark {

const std::array<std::string_view, kTagCount> kTagTable = {
    "<blob/>",
    "<bold>",
    "</bold>",
    "<clr_none/>",
    "<clr_black/>",
    "<clr_dark_red/>",
    "<clr_dark_green/>",
    "<clr_dark_yellow/>",
    "<clr_dark_blue/>",
    "<clr_dark_magenta/>",
    "<clr_dark_cyan/>",
    "<clr_light_grey/>",
    "<clr_dark_grey/>",
    "<clr_light_red/>",
    "<clr_light_green/>",
    "<clr_light_yellow/>",
    "<clr_light_blue/>",
    "<clr_light_magenta/>",
    "<clr_light_cyan/>",
    "<clr_white/>",
    "<code>",
    "</code>",
    "<comment>",
    "</comment>",
    "<diagrams>",
    "</diagrams>",
    "<diagrams_center>",
    "</diagrams_center>",
    "<endtopic/>",
    "<example>",
    "</example>",
    "<head1>",
    "</head1>",
    "<head2>",
    "</head2>",
    "<head3>",
    "</head3>",
    "<head4>",
    "</head4>",
    "<head5>",
    "</head5>",
    "<head6>",
    "</head6>",
    "<hline/>",
    "<img_center>",
    "</img_center>",
    "<img_left>",
    "</img_left>",
    "<italic>",
    "</italic>",
    "<jump_popup>",
    "</jump_popup>",
    "<jump_topic>",
    "</jump_topic>",
    "<jump_web>",
    "</jump_web>",
    "<keyword>",
    "</keyword>",
    "<null/>",
    "<page/>",
    "<passthrough>",
    "</passthrough>",
    "<popup>",
    "</popup>",
    "<popup_include>",
    "</popup_include>",
    "<replace>",
    "</replace>",
    "<subscript>",
    "</subscript>",
    "<syntax>",
    "</syntax>",
    "<topic>",
    "</topic>",
    "<topic_include>",
    "</topic_include>",
    "<underline>",
    "</underline>",
};

namespace {

constexpr std::string_view kNullTag = "<null/>";
constexpr std::size_t kSplitValues = 5;

// A line, or any text here, ends at its first NUL byte.
std::string_view UpToNul(std::string_view text) {
  std::size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

bool HasNulBefore(std::string_view line, std::size_t position) {
  return line.substr(0, position).find('\0') != std::string_view::npos;
}

// Recognition on a line already known to hold no NUL before `position`. The
// tags never contain a NUL, so one inside the compared bytes fails the match.
// The tags grouped by the byte after their "<" (for a closing tag, the byte
// after its "</"), and by the byte before their ">", in table order within
// each group. No tag is the beginning of another, so at most one can match
// at a "<"; at a ">", the first in table order wins.
struct TagGroups {
  std::array<std::vector<std::string_view>, 256> opening_by_byte;
  std::array<std::vector<std::string_view>, 256> closing_by_byte;
  std::array<std::vector<std::string_view>, 256> by_last_byte;
};

const TagGroups& Groups() {
  static const TagGroups groups = [] {
    TagGroups g;
    for (std::string_view tag : kTagTable) {
      if (tag[1] == '/') {
        g.closing_by_byte[static_cast<unsigned char>(tag[2])].push_back(tag);
      } else {
        g.opening_by_byte[static_cast<unsigned char>(tag[1])].push_back(tag);
      }
      g.by_last_byte[static_cast<unsigned char>(tag[tag.size() - 2])].push_back(tag);
    }
    return g;
  }();
  return groups;
}

std::string_view TagStartingAt(std::string_view line, std::size_t position) {
  if (position + 1 >= line.size() || line[position] != '<') return {};
  std::string_view rest = line.substr(position);
  const TagGroups& groups = Groups();
  const std::vector<std::string_view>* group = nullptr;
  if (rest[1] != '/') {
    group = &groups.opening_by_byte[static_cast<unsigned char>(rest[1])];
  } else if (rest.size() > 2) {
    group = &groups.closing_by_byte[static_cast<unsigned char>(rest[2])];
  } else {
    return {};
  }
  // A candidate longer than the rest, or whose last byte is not there, is
  // passed over before the rest of its bytes are compared.
  for (std::string_view tag : *group) {
    if (tag.size() <= rest.size() && rest[tag.size() - 1] == tag.back() &&
        std::memcmp(rest.data(), tag.data(), tag.size() - 1) == 0) {
      return tag;
    }
  }
  return {};
}

std::string_view TagEndingAtUnchecked(std::string_view line, std::size_t position) {
  if (position == 0 || position >= line.size() || line[position] != '>') return {};
  std::string_view upto = line.substr(0, position + 1);
  for (std::string_view tag :
       Groups().by_last_byte[static_cast<unsigned char>(upto[position - 1])]) {
    if (upto.ends_with(tag)) return tag;
  }
  return {};
}

bool IsSpaceOrLineEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsIdentStart(char c) { return runtime::IsAsciiLetter(c) || c == '_'; }

bool IsIdentChar(char c) { return IsIdentStart(c) || runtime::IsAsciiDigit(c); }

bool IsHexDigit(char c) {
  return runtime::IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool DigitAt(std::string_view text, std::size_t i) {
  return i < text.size() && runtime::IsAsciiDigit(text[i]);
}

// The end of a number starting at `i`: an optional sign, then a "0x" number
// or digits with an optional fraction and exponent. The caller has checked
// that a digit follows the sign.
std::size_t NumberEnd(std::string_view text, std::size_t i) {
  if (text[i] == '+' || text[i] == '-') ++i;
  if (text[i] == '0' && i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      IsHexDigit(text[i + 2])) {
    i += 2;
    while (i < text.size() && IsHexDigit(text[i])) ++i;
    return i;
  }
  while (DigitAt(text, i)) ++i;
  if (i < text.size() && text[i] == '.' && DigitAt(text, i + 1)) {
    ++i;
    while (DigitAt(text, i)) ++i;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (DigitAt(text, j)) {
      i = j;
      while (DigitAt(text, i)) ++i;
    }
  }
  return i;
}

// The end of a double-quoted string starting at `i`; a doubled quote inside
// does not end it, and an unterminated string runs to the end of the text.
std::size_t QuotedEnd(std::string_view text, std::size_t i) {
  ++i;
  while (i < text.size()) {
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return i;
}

// The scanner: the next token from `pos` on, or an empty view at the end.
std::string_view NextToken(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsSpaceOrLineEnd(text[pos])) ++pos;
  if (pos >= text.size()) return {};
  std::size_t start = pos;
  char c = text[pos];
  if (c == '"') {
    pos = QuotedEnd(text, pos);
  } else if (IsIdentStart(c)) {
    while (pos < text.size() && IsIdentChar(text[pos])) ++pos;
  } else if (runtime::IsAsciiDigit(c) || ((c == '+' || c == '-') && DigitAt(text, pos + 1))) {
    pos = NumberEnd(text, pos);
  } else {
    ++pos;  // any other byte is a token of its own
  }
  return text.substr(start, pos - start);
}

}  // namespace

std::string_view TagAt(std::string_view line, std::size_t position) {
  if (position >= line.size() || line[position] != '<' || HasNulBefore(line, position)) return {};
  return TagStartingAt(line, position);
}

std::string_view TagAtInLine(std::string_view line, std::size_t position) {
  return TagStartingAt(line, position);
}

std::string_view TagEndingAt(std::string_view line, std::size_t position) {
  if (position >= line.size() || line[position] != '>' || HasNulBefore(line, position)) return {};
  return TagEndingAtUnchecked(line, position);
}

int HeadingLevelOf(std::string_view tag) {
  if (tag.starts_with("</head")) {
    tag.remove_prefix(6);
  } else if (tag.starts_with("<head")) {
    tag.remove_prefix(5);
  } else {
    return 0;
  }
  if (tag.size() != 2 || tag[0] < '1' || tag[0] > '6' || tag[1] != '>') return 0;
  return tag[0] - '0';
}

bool TagsMatch(std::string_view a, std::string_view b) {
  if (a == b) return true;
  auto closes = [](std::string_view open, std::string_view close) {
    return close.size() == open.size() + 1 && open.starts_with("<") && close.starts_with("</") &&
           open.substr(1) == close.substr(2);
  };
  return closes(a, b) || closes(b, a);
}

bool OnlyTagsFollow(std::string_view line, std::size_t position) {
  line = UpToNul(line);
  while (true) {
    std::string_view tag = TagStartingAt(line, position);
    if (tag.empty()) break;
    position += tag.size();
  }
  // A position past the end sees nothing but the end.
  return position >= line.size() || line[position] == '\n';
}

bool IsBlankText(std::string_view text) {
  int carriage_returns = 0;
  int line_feeds = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\0') {
      text = text.substr(0, i);  // the text ends at its first NUL
      break;
    }
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (c == '\r') {
      ++carriage_returns;
      ++i;
    } else if (c == '\n') {
      ++line_feeds;
      ++i;
    } else if (c == '<' && TagStartingAt(text, i) == kNullTag) {
      i += kNullTag.size();
    } else {
      return false;
    }
  }
  if (carriage_returns == 0 && line_feeds == 0) return true;
  if (carriage_returns == 0 && line_feeds == 1) return text.ends_with('\n');
  if (carriage_returns == 1 && line_feeds == 1) return text.ends_with("\r\n");
  return false;
}

std::string_view TagBefore(std::string_view line, std::size_t position,
                           std::initializer_list<std::string_view> pass_over) {
  return TagBeforeInLine(UpToNul(line), position, pass_over);
}

std::string_view TagBeforeInLine(std::string_view line, std::size_t position,
                                 std::initializer_list<std::string_view> pass_over) {
  if (position >= line.size()) return {};
  std::size_t next = position + 1;  // one past the character under examination
  while (next > 0) {
    std::size_t at = next - 1;
    std::string_view tag = TagEndingAtUnchecked(line, at);
    if (!tag.empty()) {
      if (std::find(pass_over.begin(), pass_over.end(), tag) == pass_over.end()) return tag;
      next -= tag.size();
    } else if (IsSpaceOrLineEnd(line[at])) {
      --next;
    } else {
      return {};
    }
  }
  return {};
}

std::array<std::string, 5> SplitParameters(std::string_view text, std::size_t capacity) {
  text = UpToNul(text);
  std::array<std::string, kSplitValues> values;
  std::size_t pos = 0;
  for (std::size_t index = 0; index < kSplitValues; ++index) {
    // After the first value every value follows a separator token, whatever
    // that token is.
    if (index > 0 && NextToken(text, pos).empty()) break;
    std::string_view value = NextToken(text, pos);
    if (value.empty()) break;
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (capacity > 0) runtime::AppendBounded(values[index], value, capacity);
  }
  return values;
}

}  // namespace quillark
