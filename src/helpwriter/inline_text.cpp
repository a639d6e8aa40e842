#include "helpwriter/inline_text.h"

#include <array>
#include <cstdint>
#include <utility>

#include "helpwriter/rtf_frame.h"

namespace quillark {

namespace {

bool AnyBlock(BlockFlags blocks) {
  return blocks.code || blocks.example || blocks.syntax || blocks.diagrams;
}

// "</head1>" .. "</head6>": the heading end already ended the line.
bool IsHeadingEnd(std::string_view tag) {
  return tag.size() == 8 && tag.substr(0, 6) == "</head" && tag[6] >= '1' && tag[6] <= '6' &&
         tag[7] == '>';
}

// Plain-text stand-ins for the box-drawing block 176 to 223.
std::string_view BoxSubstitute(unsigned char c) {
  switch (c) {
    case 176:
      return ":";
    case 179:
    case 180:
    case 181:
    case 186:
    case 195:
    case 198:
      return "|";
    case 191:
    case 192:
    case 197:
    case 208:
    case 210:
    case 215:
    case 216:
    case 217:
    case 218:
      return "+";
    case 193:
    case 194:
    case 196:
      return "-";
    case 205:
      return "=";
    case 219:
    case 221:
    case 222:
      return "X";
    case 220:
    case 223:
      return "x";
    default:
      return "*";
  }
}

// "\'" and the byte as two upper-case hexadecimal digits; syntax blocks use
// font 8, which draws these codes itself.
std::string RtfHexEscape(unsigned char c) {
  constexpr std::string_view kHexDigits = "0123456789ABCDEF";
  std::string text = "\\'";
  text += kHexDigits[c >> 4];
  text += kHexDigits[c & 0xF];
  return text;
}

std::string ConvertRtfChar(unsigned char c, bool blank_line, std::string_view preceding_tag,
                           bool syntax) {
  switch (c) {
    case '\\':
      return "\\'5C";
    case '{':
      return "\\'7B";
    case '}':
      return "\\'7D";
    case 7:
      return "{\\f9\\'B7}";
    case 9:
      return "\\tab ";
    case 10:
      if (IsHeadingEnd(preceding_tag)) return "\r\n";
      return blank_line ? "\\par \r\n" : "\\line \r\n";
    case 16:
    case 17:
    case 30:
    case 31:
      if (syntax) return RtfHexEscape(c);
      return c == 16 ? ">" : c == 17 ? "<" : c == 30 ? "^" : "V";
    case 227:
      return "{\\f9\\'70}";
    case 241:
      return "\\'B1";
    case 242:
      return "{\\f9\\'B3}";
    case 243:
      return "{\\f9\\'A3}";
    case 248:
      return "\\'B0";
    case 253:
      return "\\'B2";
    default:
      break;
  }
  if (c >= 32 && c <= 126) return std::string(1, static_cast<char>(c));
  if (c >= 176 && c <= 223) return syntax ? RtfHexEscape(c) : std::string(BoxSubstitute(c));
  return "";
}

std::string ConvertHtmlChar(unsigned char c, bool blank_line, std::string_view preceding_tag,
                            bool in_block) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '\'':
      return "&#39;";
    case '"':
      return "&quot;";
    case ' ':
      return preceding_tag == "</jump_popup>" ? "&nbsp;" : " ";
    case 7:
      return "&bull;";
    case 9:
      return "&nbsp;&nbsp;&nbsp;";
    case 10:
      if (in_block || IsHeadingEnd(preceding_tag) || preceding_tag == "<hline/>") return "\r\n";
      // "<p/>" would open a paragraph that never closes in an HTML page, so a
      // blank line writes a complete empty paragraph.
      return blank_line ? "<p></p>\r\n" : "<br/>\r\n";
    case 16:
      return "&gt;";
    case 17:
      return "&lt;";
    case 30:
      return "^";
    case 31:
      return "V";
    case 227:
      return "&pi;";
    case 241:
      return "&plusmn;";
    case 242:
      return "&ge;";
    case 243:
      return "&le;";
    case 248:
      return "&deg;";
    case 253:
      return "&sup2";  // written without its semicolon
    default:
      break;
  }
  if (c >= 33 && c <= 126) return std::string(1, static_cast<char>(c));
  if (c >= 176 && c <= 223) return std::string(BoxSubstitute(c));
  return "";
}

// A control word followed by its delimiting space, which a comma makes unnecessary.
std::string RtfControlWord(std::string text, char next) {
  if (next != ',') text += ' ';
  return text;
}

std::string SwitchText(OutputFormat format, bool on, char next, std::string_view rtf_on,
                       std::string_view rtf_off, std::string_view html_on,
                       std::string_view html_off) {
  if (IsRtfFamily(format)) return RtfControlWord(std::string(on ? rtf_on : rtf_off), next);
  if (IsHtmlFamily(format)) return std::string(on ? html_on : html_off);
  return "";
}

// Twice a slot's size in points: the half-points of "\fs". Sizes are 32-bit,
// so the doubling is done in 64 bits.
std::string HalfPoints(std::string_view key) {
  return std::to_string(std::int64_t{2} * FontSize(key));
}

// Diagrams are set at three quarters of the text size: 1.5 times the size in
// points, as half-points, rounded to the nearest integer with ties to even.
std::string DiagramHalfPoints() {
  std::int64_t thrice = std::int64_t{3} * FontSize("TEXT");
  std::int64_t half = thrice >> 1;  // rounds towards minus infinity
  if (thrice % 2 != 0 && half % 2 != 0) ++half;
  return std::to_string(half);
}

// "H1".."H6" give the level digit, anything else 0.
char HeadingDigit(std::string_view key) {
  if (key.size() == 2 && key[0] == 'H' && key[1] >= '1' && key[1] <= '6') return key[1];
  return 0;
}

std::string RtfBlockTag(OutputFormat format, std::string_view key, bool start, char alignment) {
  if (char digit = HeadingDigit(key); digit != 0) {
    if (start) return std::string("\\f") + digit + "\\fs" + HalfPoints(key) + "\\b";
    return "\\f0\\fs" + HalfPoints("TEXT") + "\\b0";
  }
  bool monospaced = key == "CODE" || key == "EXAMPLE" || key == "SYNTAX";
  if (!monospaced && key != "DIAGRAMS") return "";
  if (!start) return "\\par\\pard\\f0\\fs" + HalfPoints("TEXT") + "\r\n";
  if (key == "DIAGRAMS") {
    std::string_view align = alignment == 'C' ? "\\qc" : alignment == 'R' ? "\\qr" : "\\ql";
    return "\\par" + std::string(align) + "\\f7\\fs" + DiagramHalfPoints() + "\\keep\r\n";
  }
  // A heading end has already closed its paragraph.
  std::string text = IsHeadingEnd(PreviousTag()) ? "" : "\\par";
  text += key == "SYNTAX" ? "\\pard\\f8\\fs" : "\\pard\\f7\\fs";
  text += HalfPoints("TEXT");
  if (format == OutputFormat::kHlp) text += "\\keep";
  text += "\r\n";
  return text;
}

std::string HtmlBlockTag(std::string_view key, bool start, char alignment) {
  if (char digit = HeadingDigit(key); digit != 0) {
    return std::string(start ? "<h" : "</h") + digit + ">";
  }
  if (key == "CODE" || key == "EXAMPLE" || key == "SYNTAX") return start ? "<pre>" : "</pre>";
  if (key != "DIAGRAMS") return "";
  if (!start) return "<big/></pre></div>";
  if (alignment == 'C') return "<div align=\"center\"><pre><small/>";
  if (alignment == 'R') return "<div align=\"right\"><pre><small/>";
  return "<div align=\"left\"><pre><small/>";
}

struct ColourTag {
  std::string_view tag;
  int index;
};

// Black selects the automatic colour in the RTF family.
constexpr std::array<ColourTag, 17> kColourTags = {{
    {"<clr_none/>", 0},
    {"<clr_black/>", 0},
    {"<clr_dark_red/>", 1},
    {"<clr_dark_green/>", 2},
    {"<clr_dark_yellow/>", 3},
    {"<clr_dark_blue/>", 4},
    {"<clr_dark_magenta/>", 5},
    {"<clr_dark_cyan/>", 6},
    {"<clr_light_grey/>", 7},
    {"<clr_dark_grey/>", 8},
    {"<clr_light_red/>", 9},
    {"<clr_light_green/>", 10},
    {"<clr_light_yellow/>", 11},
    {"<clr_light_blue/>", 12},
    {"<clr_light_magenta/>", 13},
    {"<clr_light_cyan/>", 14},
    {"<clr_white/>", 15},
}};

}  // namespace

std::string ConvertChar(OutputFormat format, unsigned char c, bool blank_line,
                        std::string_view preceding_tag, BlockFlags blocks) {
  if (IsRtfFamily(format)) return ConvertRtfChar(c, blank_line, preceding_tag, blocks.syntax);
  if (IsHtmlFamily(format)) {
    return ConvertHtmlChar(c, blank_line, preceding_tag, AnyBlock(blocks));
  }
  return "";
}

std::string BulletText(OutputFormat format) {
  if (IsRtfFamily(format)) return "{\\f9\\'B7}";
  if (IsHtmlFamily(format)) return "&bull;";
  return "";
}

std::string HorizontalLine(OutputFormat format, int style) {
  if (style != 1 && style != 2) return "";
  bool single = style == 1;
  switch (format) {
    case OutputFormat::kHlp:
      return single ? "\\par\\brdrs\\brdrt\\par\\pard\r\n" : "\\par\\brdrdb\\brdrt\\par\\pard\r\n";
    case OutputFormat::kRtf:
      return single ? "\\par\\li0\\ri0\\brdrt\\brdrs\\brdrw20\\brsp20\\par\\pard\r\n"
                    : "\\par\\li0\\ri0\\brdrt\\brdrdb\\brdrw20\\brsp20\\par\\pard\r\n";
    case OutputFormat::kChm:
    case OutputFormat::kHtml:
      return single ? "<p><hr noshade size=\"0\" color=\"black\"></p>\r\n"
                    : "<p><hr noshade size=\"1\" color=\"black\"><hr noshade size=\"1\" "
                      "color=\"black\"></p>\r\n";
    case OutputFormat::kNone:
      break;
  }
  return "";
}

std::string BoldText(OutputFormat format, bool on, char next) {
  return SwitchText(format, on, next, "\\b", "\\b0", "<b>", "</b>");
}

std::string ItalicText(OutputFormat format, bool on, char next) {
  return SwitchText(format, on, next, "\\i", "\\i0", "<i>", "</i>");
}

std::string UnderlineText(OutputFormat format, bool on, char next) {
  return SwitchText(format, on, next, "\\ul", "\\ul0", "<u>", "</u>");
}

std::string SubscriptText(OutputFormat format, bool on, char next, BlockFlags blocks) {
  if (AnyBlock(blocks)) return "";
  // HLP has no subscript; it drops to 8 points and back to the text size.
  if (format == OutputFormat::kHlp) {
    return RtfControlWord(on ? "\\fs16" : "\\fs" + HalfPoints("TEXT"), next);
  }
  return SwitchText(format, on, next, "\\sub", "\\nosupersub", "<sub>", "</sub>");
}

std::string ColourText(OutputFormat format, std::string_view colour_tag) {
  for (const ColourTag& entry : kColourTags) {
    if (entry.tag != colour_tag) continue;
    if (IsRtfFamily(format)) return "\\cf" + std::to_string(entry.index) + " ";
    if (!IsHtmlFamily(format)) return "";
    // Each colour opens a new font element; only "<clr_none/>" closes one.
    if (colour_tag == "<clr_none/>") return "</font>";
    if (colour_tag == "<clr_black/>") return "<font color=\"#000000\">";
    return "<font color=\"" + DocumentColourEntry(format, entry.index) + "\">";
  }
  return "";
}

std::string HeadingText(OutputFormat format, bool on, int level, char next) {
  if (level < 1 || level > 6) return "";
  // Appended rather than "H" + number, which GCC 12 at -O3 flags as an overlap.
  std::string key = "H";
  key += std::to_string(level);
  std::string text = BlockTag(format, key, on, ' ');
  if (!IsRtfFamily(format)) return text;
  if (!on) {
    if (format == OutputFormat::kRtf) text += "\\keep";
    // A half-height empty line under the heading, then back to the text size.
    text += "\\line\\fs" + std::to_string(FontSize("TEXT"));
    text += format == OutputFormat::kHlp ? "\\par\\fs" : "\\line\\fs";
    text += HalfPoints("TEXT");
  }
  return RtfControlWord(std::move(text), next);
}

std::string BlockTag(OutputFormat format, std::string_view key, bool start, char alignment) {
  if (IsRtfFamily(format)) return RtfBlockTag(format, key, start, alignment);
  if (IsHtmlFamily(format)) return HtmlBlockTag(key, start, alignment);
  return "";
}

}  // namespace quillark
