#include "helpwriter/links.h"

#include <algorithm>
#include <cstddef>

#include "helpwriter/escaping.h"
#include "helpwriter/rtf_topic.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kMaxShortText = 255;     // link texts and addresses
constexpr std::size_t kMaxPopupCopy = 8192;    // the part of a popup body that is measured
constexpr std::size_t kMaxReferenceName = 10;  // "&" name ";" of a character reference
constexpr std::int64_t kWidePopupWidth = 360;
constexpr std::int64_t kImageMargin = 10;
constexpr std::size_t kVeryLongLine = 300;
constexpr std::string_view kLineBreak = "<br/>";

// The link text with every blank made non-breaking, so an HTML link never
// wraps inside its text. It is not cut afterwards: a cut could split an
// "&nbsp;" and leave a broken entity in the page.
std::string NonBreakingText(std::string_view text) {
  return runtime::ReplaceAll(text, " ", "&nbsp;");
}

std::string FormatCloses(bool bold, bool italic, bool underline) {
  std::string text;
  if (bold) text += "</b>";
  if (italic) text += "</i>";
  if (underline) text += "</u>";
  return text;
}

std::string FormatOpens(bool bold, bool italic, bool underline) {
  std::string text;
  if (bold) text += "<b>";
  if (italic) text += "<i>";
  if (underline) text += "<u>";
  return text;
}

// The popup's body sits inside the anchor, in a table the style sheet keeps
// hidden until the pointer rests on the link. The open character formats are
// closed around the anchor and its table so the table does not inherit them,
// and reopened inside the link text and after the anchor.
std::string InlinePopup(const WriterState& writer, bool bold, bool italic, bool underline,
                        std::string_view key, std::string_view text, const std::string& body,
                        const BitmapTable& bitmaps) {
  const std::string closes = FormatCloses(bold, italic, underline);
  const std::string opens = FormatOpens(bold, italic, underline);
  std::string link = closes;
  link += "<a href=\"";
  link += key;
  link += ".html\" class=\"popuplink\">";
  link += opens;
  link += NonBreakingText(text);
  link += closes;
  link += "<table><tr><td width=\"";
  link += std::to_string(PopupWidth(writer, body, bitmaps));
  link += "\">";
  link += body;
  link += "</td></tr></table></a>";
  link += opens;
  return link;
}

std::string HtmlJumpLink(const WriterState& writer, bool is_popup, bool bold, bool italic,
                         bool underline, std::string_view key, std::string_view text,
                         const std::string* popup_body, const BitmapTable& bitmaps) {
  if (!is_popup)
    return "<a href=\"" + std::string(key) + ".html\">" + NonBreakingText(text) + "</a>";
  if (popup_body == nullptr || popup_body->empty()) {
    return "<a target=\"PopupWindow\" href=\"" + std::string(key) + ".html\" class=\"popuplink\">" +
           NonBreakingText(text) + "</a>";
  }
  return InlinePopup(writer, bold, italic, underline, key, text, *popup_body, bitmaps);
}

bool IsReferenceNameChar(char c) {
  return runtime::IsAsciiLetter(c) || runtime::IsAsciiDigit(c) || c == '#';
}

// The byte a character reference stands for. Which byte it is only matters
// for "<" and ">", which can form markup; a reference to anything outside a
// single byte counts as one character all the same.
char ReferencedChar(std::string_view name) {
  if (name == "lt") return '<';
  if (name == "gt") return '>';
  if (name == "amp") return '&';
  if (name == "quot") return '"';
  if (name == "apos") return '\'';
  if (name == "nbsp") return ' ';
  if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    unsigned value = 0;
    for (char c : name.substr(hex ? 2 : 1)) {
      unsigned digit = 0;
      if (runtime::IsAsciiDigit(c)) {
        digit = static_cast<unsigned>(c - '0');
      } else if (hex && runtime::LowerAscii(c) >= 'a' && runtime::LowerAscii(c) <= 'f') {
        digit = static_cast<unsigned>(runtime::LowerAscii(c) - 'a' + 10);
      } else {
        return '?';
      }
      value = value * (hex ? 16 : 10) + digit;
      if (value > 255) return '?';
    }
    return static_cast<char>(value);
  }
  return '?';
}

// Every character reference ("&name;", "&#123;", "&#x7B;") becomes the one
// character it stands for; a "&" that starts no reference stays.
std::string DecodeCharacterReferences(std::string_view text) {
  std::string decoded;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '&') {
      std::size_t end = i + 1;
      while (end < text.size() && end - i <= kMaxReferenceName && IsReferenceNameChar(text[end])) {
        ++end;
      }
      if (end > i + 1 && end < text.size() && text[end] == ';') {
        decoded += ReferencedChar(text.substr(i + 1, end - i - 1));
        i = end + 1;
        continue;
      }
    }
    decoded += text[i++];
  }
  return decoded;
}

// Removes the markup that takes no room in a popup line: the character
// formats, subscripts, anchors and font changes. An "<a" or "<font" without a
// closing ">" is kept as text.
std::string RemoveMarkup(std::string_view text) {
  static constexpr std::string_view kMarkup[] = {"<b>",  "</b>",  "<i>",    "</i>", "<u>",
                                                 "</u>", "<sub>", "</sub>", "</a>", "</font>"};
  std::string kept;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::string_view rest = text.substr(i);
    if (rest.front() == '<') {
      const auto* markup = std::find_if(std::begin(kMarkup), std::end(kMarkup),
                                        [rest](std::string_view m) { return rest.starts_with(m); });
      if (markup != std::end(kMarkup)) {
        i += markup->size();
        continue;
      }
      if (rest.starts_with("<a") || rest.starts_with("<font")) {
        const std::size_t close = rest.find('>');
        if (close != std::string_view::npos) {
          i += close + 1;
          continue;
        }
      }
    }
    kept += text[i++];
  }
  return kept;
}

// The file named by the src attribute of one image tag, empty when it has none.
std::string ImageSource(std::string_view image_tag) {
  constexpr std::string_view kSrc = "src=\"";
  const std::size_t start = image_tag.find(kSrc);
  if (start == std::string_view::npos) return {};
  const std::size_t value = start + kSrc.size();
  const std::size_t end = image_tag.find('"', value);
  if (end == std::string_view::npos) return {};
  return FileNameOfUrl(image_tag.substr(value, end - value));
}

// The widest image of the popup plus a margin, the images' sizes taken from
// BitmapTab; the margin is added only when the images also have a height.
std::int64_t ImageWidth(std::string_view text, const BitmapTable& bitmaps) {
  std::int64_t widest = 0;
  std::int64_t tallest = 0;
  std::size_t start = text.find("<img");
  while (start != std::string_view::npos) {
    const std::size_t end = text.find("/>", start + 4);
    if (end == std::string_view::npos) break;
    const std::string source = ImageSource(text.substr(start, end - start));
    const int row = source.empty() ? kNotFound : FindByFileName(bitmaps, source, true);
    if (row >= 1) {
      widest = std::max<std::int64_t>(widest, EntryAt(bitmaps, row).width);
      tallest = std::max<std::int64_t>(tallest, EntryAt(bitmaps, row).height);
    }
    start = text.find("<img", end + 2);
  }
  return widest >= 1 && tallest >= 1 ? widest + kImageMargin : widest;
}

// The widest line of the popup's preformatted blocks. A block without its
// closing tag runs to the end of the text.
std::int64_t PreformattedWidth(const WriterState& writer, std::string_view text) {
  constexpr std::string_view kOpen = "<pre>";
  constexpr std::string_view kClose = "</pre>";
  std::int64_t widest = 0;
  std::size_t open = text.find(kOpen);
  while (open != std::string_view::npos) {
    const std::size_t begin = open + kOpen.size();
    const std::size_t close = text.find(kClose, begin);
    std::string block(text.substr(begin, close == std::string_view::npos ? close : close - begin));
    if (block.empty() || block.back() != '\n') block += '\n';
    std::size_t line = 0;
    while (line < block.size()) {
      const std::size_t line_end = block.find('\n', line) + 1;
      widest = std::max(
          widest, PopupLineWidth(writer, std::string_view(block).substr(line, line_end - line)));
      line = line_end;
    }
    if (close == std::string_view::npos) break;
    open = text.find(kOpen, close + kClose.size());
  }
  return widest;
}

// The characters a text line shows; a line with an image or a preformatted
// block is measured by those instead.
std::size_t ShownLength(std::string_view piece) {
  const std::string decoded = DecodeCharacterReferences(piece);
  if (decoded.find("<img") != std::string::npos || decoded.find("<pre>") != std::string::npos) {
    return 0;
  }
  return RemoveMarkup(decoded).size();
}

// A line is long when its characters, at half the font size each, need more
// than 180 pixels: more than 36 characters at 10 points.
bool IsLongLine(std::size_t length, int font_size) {
  if (font_size == 0) return false;
  if (font_size < 0) return true;
  return static_cast<std::int64_t>(length) * font_size > 2 * kMinPopupWidth;
}

// The popup is made wide by one very long line or by two long ones. Only text
// followed by a line break is a line.
std::int64_t TextWidth(const WriterState& writer, std::string_view text) {
  const int font_size = FontSize(writer, "TEXT");
  std::int64_t width = 0;
  int long_lines = 0;
  std::size_t start = 0;
  for (std::size_t br = text.find(kLineBreak); br != std::string_view::npos;
       br = text.find(kLineBreak, start)) {
    const std::size_t length = ShownLength(text.substr(start, br - start));
    if (length > 0) {
      if (IsLongLine(length, font_size)) ++long_lines;
      if (length > kVeryLongLine) width = kWidePopupWidth;
    }
    start = br + kLineBreak.size();
    while (start < text.size() && (text[start] == '\r' || text[start] == '\n')) ++start;
  }
  if (long_lines > 1) width = kWidePopupWidth;
  return width;
}

}  // namespace

std::string JumpLink(OutputFormat format, const WriterState& writer, bool is_popup, bool bold,
                     bool italic, bool underline, int target_row, std::string_view target_key,
                     std::string_view link_text, const std::string* popup_body,
                     const BitmapTable& bitmaps) {
  const std::string text = runtime::Truncate(link_text, kMaxShortText);
  const std::string key = runtime::UpperAscii(target_key);
  if (IsRtfFamily(format)) {
    // The printable document has no links; a missing target leaves the text.
    if (format == OutputFormat::kRtf || target_row < 1) return text;
    if (is_popup) return "\\ul " + text + "\\ul0 {\\v " + key + "}";
    return "\\uldb " + text + "\\uldb0 {\\v " + key + "}";
  }
  if (!IsHtmlFamily(format)) return {};
  if (target_row < 1) return text;
  return HtmlJumpLink(writer, is_popup, bold, italic, underline, key, text, popup_body, bitmaps);
}

std::int64_t PopupWidth(const WriterState& writer, std::string_view popup_body,
                        const BitmapTable& bitmaps) {
  if (popup_body.empty()) return 0;
  std::string copy = runtime::Truncate(popup_body, kMaxPopupCopy);
  if (copy.back() != '\n') copy += '\n';
  return std::max({kMinPopupWidth, ImageWidth(copy, bitmaps), PreformattedWidth(writer, copy),
                   TextWidth(writer, copy)});
}

std::int64_t PopupLineWidth(const WriterState& writer, std::string_view line) {
  line = line.substr(0, std::min(line.size(), kMaxPopupCopy));
  if (line.ends_with("\r\n")) {
    line.remove_suffix(2);
  } else if (line.ends_with('\n')) {
    line.remove_suffix(1);
  }
  const std::size_t length = DecodeCharacterReferences(RemoveMarkup(line)).size();
  return static_cast<std::int64_t>(length) * FontSize(writer, "TEXT");
}

std::string WebLink(OutputFormat format, std::string_view link_text, std::string_view address) {
  const std::string text = runtime::Truncate(link_text, kMaxShortText);
  if (IsRtfFamily(format)) {
    if (format == OutputFormat::kRtf) return text;
    // The help viewer hands the address to the system, which opens the browser.
    return "\\uldb " + text + "\\uldb0 {\\v *!ExecFile(\"" +
           runtime::Truncate(address, kMaxShortText) + "\",\"\",SW_RESTORE)}";
  }
  if (!IsHtmlFamily(format)) return {};
  const std::string_view open =
      format == OutputFormat::kChm ? "<a target=\"ExternalWindow\" href=\"" : "<a href=\"";
  return std::string(open) + WebAddress(address) + "\">" + text + "</a>";
}

bool NamesScheme(std::string_view address) {
  if (runtime::EqualsNoCase(address.substr(0, 7), "mailto:")) return true;
  if (address.empty() || !runtime::IsAsciiLetter(address.front())) return false;
  std::size_t i = 1;
  while (i < address.size() &&
         (runtime::IsAsciiLetter(address[i]) || runtime::IsAsciiDigit(address[i]) ||
          address[i] == '+' || address[i] == '-' || address[i] == '.')) {
    ++i;
  }
  return address.substr(i, 3) == "://";
}

std::string WebAddress(std::string_view address) {
  if (NamesScheme(address)) return runtime::Truncate(address, kMaxShortText);
  return runtime::Truncate("http://" + std::string(address), kMaxShortText);
}

std::string KeywordText(OutputFormat format, std::string_view keyword, bool only_tags_follow) {
  if (IsRtfFamily(format)) {
    std::string entry = format == OutputFormat::kHlp
                            ? "{K{\\footnote K " + RtfEscaped(keyword) + "}} "
                            : RtfIndexEntry(keyword);
    if (only_tags_follow && !entry.empty()) entry += ' ';
    return entry;
  }
  if (!IsHtmlFamily(format)) return {};
  return "<a name=\"" + runtime::SanitizeIdent(keyword) + "\"></a>";
}

}  // namespace quillark
