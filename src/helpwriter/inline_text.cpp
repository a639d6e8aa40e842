#include "helpwriter/inline_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "helpwriter/rtf_frame.h"
#include "runtime/byte_scan.h"

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
std::string_view RtfHexEscape(unsigned char c) {
  static const std::array<std::array<char, 4>, 256> kEscapes = [] {
    constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    std::array<std::array<char, 4>, 256> escapes{};
    for (std::size_t i = 0; i < escapes.size(); ++i) {
      escapes[i] = {'\\', '\'', kHexDigits[i >> 4], kHexDigits[i & 0xF]};
    }
    return escapes;
  }();
  return {kEscapes[c].data(), 4};
}

// The byte itself as a text of one character.
std::string_view SingleByte(unsigned char c) {
  static const std::array<char, 256> kBytes = [] {
    std::array<char, 256> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i);
    return bytes;
  }();
  return {&kBytes[c], 1};
}

std::string_view ConvertRtfChar(unsigned char c, bool blank_line, std::string_view preceding_tag,
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
  if (c >= 32 && c <= 126) return SingleByte(c);
  if (c >= 176 && c <= 223) return syntax ? RtfHexEscape(c) : BoxSubstitute(c);
  return "";
}

std::string_view ConvertHtmlChar(unsigned char c, bool blank_line, std::string_view preceding_tag,
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
  if (c >= 33 && c <= 126) return SingleByte(c);
  if (c >= 176 && c <= 223) return BoxSubstitute(c);
  return "";
}

std::string_view ConvertedChar(OutputFormat format, unsigned char c, bool blank_line,
                               std::string_view preceding_tag, BlockFlags blocks) {
  if (IsRtfFamily(format)) return ConvertRtfChar(c, blank_line, preceding_tag, blocks.syntax);
  if (IsHtmlFamily(format)) return ConvertHtmlChar(c, blank_line, preceding_tag, AnyBlock(blocks));
  return "";
}

// The first of the bytes `kSpecial` in `text` from `from` on, or the text's size.
template <char... kSpecial>
std::size_t NextSpecial(std::string_view text, std::size_t from) {
  const std::size_t n = text.size();
#if defined(__SSE2__)
  // Sixteen bytes at a time, one bit for each byte that is special.
  const auto specials_at = [&](std::size_t at) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(kSpecial)))), ...);
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
  };
  from = runtime::FirstMarked(n, from, specials_at);
#endif
  while (from < n && ((text[from] != kSpecial) && ...)) ++from;
  return from;
}

// Appends `text` with every byte of `kSpecial` replaced by its own text and
// the bytes between copied in one piece.
template <char... kSpecial, typename Replace>
void AppendEscaped(std::string& out, std::string_view text, Replace replace) {
  std::size_t start = 0;
  for (std::size_t i = NextSpecial<kSpecial...>(text, 0); i < text.size();
       i = NextSpecial<kSpecial...>(text, i + 1)) {
    out.append(text.substr(start, i - start));
    out.append(replace(static_cast<unsigned char>(text[i])));
    start = i + 1;
  }
  out.append(text.substr(start));
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
std::string HalfPoints(const WriterState& writer, std::string_view key) {
  return std::to_string(std::int64_t{2} * FontSize(writer, key));
}

// Diagrams are set at three quarters of the text size: 1.5 times the size in
// points, as half-points, rounded to the nearest integer with ties to even.
std::string DiagramHalfPoints(const WriterState& writer) {
  std::int64_t thrice = std::int64_t{3} * FontSize(writer, "TEXT");
  std::int64_t half = thrice >> 1;  // rounds towards minus infinity
  if (thrice % 2 != 0 && half % 2 != 0) ++half;
  return std::to_string(half);
}

// "H1".."H6" give the level digit, anything else 0.
char HeadingDigit(std::string_view key) {
  if (key.size() == 2 && key[0] == 'H' && key[1] >= '1' && key[1] <= '6') return key[1];
  return 0;
}

std::string RtfBlockTag(OutputFormat format, const WriterState& writer, std::string_view key,
                        bool start, char alignment) {
  if (char digit = HeadingDigit(key); digit != 0) {
    if (start) return std::string("\\f") + digit + "\\fs" + HalfPoints(writer, key) + "\\b";
    return "\\f0\\fs" + HalfPoints(writer, "TEXT") + "\\b0";
  }
  bool monospaced = key == "CODE" || key == "EXAMPLE" || key == "SYNTAX";
  if (!monospaced && key != "DIAGRAMS") return "";
  if (!start) return "\\par\\pard\\f0\\fs" + HalfPoints(writer, "TEXT") + "\r\n";
  if (key == "DIAGRAMS") {
    std::string_view align = alignment == 'C' ? "\\qc" : alignment == 'R' ? "\\qr" : "\\ql";
    return "\\par" + std::string(align) + "\\f7\\fs" + DiagramHalfPoints(writer) + "\\keep\r\n";
  }
  // A heading end has already closed its paragraph.
  std::string text = IsHeadingEnd(writer.previous_tag) ? "" : "\\par";
  text += key == "SYNTAX" ? "\\pard\\f8\\fs" : "\\pard\\f7\\fs";
  text += HalfPoints(writer, "TEXT");
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
  return std::string(ConvertedChar(format, c, blank_line, preceding_tag, blocks));
}

void AppendConvertedChar(std::string& out, OutputFormat format, unsigned char c, bool blank_line,
                         std::string_view preceding_tag, BlockFlags blocks) {
  out.append(ConvertedChar(format, c, blank_line, preceding_tag, blocks));
}

void AppendConvertedText(std::string& out, OutputFormat format, std::string_view text) {
  // The bytes each family writes otherwise than as themselves.
  if (IsRtfFamily(format)) {
    AppendEscaped<'\\', '{', '}'>(
        out, text, [](unsigned char c) { return ConvertRtfChar(c, false, {}, false); });
  } else if (IsHtmlFamily(format)) {
    AppendEscaped<'&', '<', '>', '\'', '"'>(
        out, text, [](unsigned char c) { return ConvertHtmlChar(c, false, {}, false); });
  }
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

std::string SubscriptText(OutputFormat format, const WriterState& writer, bool on, char next,
                          BlockFlags blocks) {
  if (AnyBlock(blocks)) return "";
  // HLP has no subscript; it drops to 8 points and back to the text size.
  if (format == OutputFormat::kHlp) {
    return RtfControlWord(on ? "\\fs16" : "\\fs" + HalfPoints(writer, "TEXT"), next);
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

std::string HeadingText(OutputFormat format, const WriterState& writer, bool on, int level,
                        char next) {
  if (level < 1 || level > 6) return "";
  // Appended rather than "H" + number, which GCC 12 at -O3 flags as an overlap.
  std::string key = "H";
  key += std::to_string(level);
  std::string text = BlockTag(format, writer, key, on, ' ');
  if (!IsRtfFamily(format)) return text;
  if (!on) {
    if (format == OutputFormat::kRtf) text += "\\keep";
    // A half-height empty line under the heading, then back to the text size.
    text += "\\line\\fs" + std::to_string(FontSize(writer, "TEXT"));
    text += format == OutputFormat::kHlp ? "\\par\\fs" : "\\line\\fs";
    text += HalfPoints(writer, "TEXT");
  }
  return RtfControlWord(std::move(text), next);
}

std::string BlockTag(OutputFormat format, const WriterState& writer, std::string_view key,
                     bool start, char alignment) {
  if (IsRtfFamily(format)) return RtfBlockTag(format, writer, key, start, alignment);
  if (IsHtmlFamily(format)) return HtmlBlockTag(key, start, alignment);
  return "";
}

}  // namespace quillark
