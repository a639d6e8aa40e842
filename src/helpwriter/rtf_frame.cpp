#include "helpwriter/rtf_frame.h"

#include <array>
#include <cstddef>

#include "runtime/text.h"

namespace quillark {

namespace {

struct FaceFamily {
  std::string_view face;
  std::string_view family;
};

// First match wins; Courier faces are deliberately "decor", not "modern".
constexpr std::array<FaceFamily, 11> kFaceFamilies = {{
    {"Arial", "swiss"},
    {"Helv", "swiss"},
    {"Helvetica", "swiss"},
    {"Verdana", "swiss"},
    {"Roman", "roman"},
    {"Times Roman", "roman"},
    {"Times New Roman", "roman"},
    {"Courier", "decor"},
    {"Courier New", "decor"},
    {"Syntax Monospaced", "modern"},
    {"Symbol", "tech"},
}};

struct Rgb {
  int red;
  int green;
  int blue;
};

// Entries 1 to 15 of the document colour table. Dark grey is 64,64,64 and
// white is 254,254,254 on purpose.
constexpr std::array<Rgb, 15> kDocumentColours = {{
    {128, 0, 0},      // 1 dark red
    {0, 128, 0},      // 2 dark green
    {128, 128, 0},    // 3 dark yellow
    {0, 0, 128},      // 4 dark blue
    {128, 0, 128},    // 5 dark magenta
    {0, 128, 128},    // 6 dark cyan
    {192, 192, 192},  // 7 light grey
    {64, 64, 64},     // 8 dark grey
    {255, 0, 0},      // 9 light red
    {0, 255, 0},      // 10 light green
    {255, 255, 0},    // 11 light yellow
    {0, 0, 255},      // 12 light blue
    {255, 0, 255},    // 13 light magenta
    {0, 255, 255},    // 14 light cyan
    {254, 254, 254},  // 15 white
}};

// Font slots 0 to 6 of the document come from the writer state; 7 to 9 are fixed.
constexpr std::array<std::string_view, 7> kFontSlotKeys = {"TEXT", "H1", "H2", "H3",
                                                           "H4",   "H5", "H6"};
constexpr std::array<std::string_view, 3> kFixedFaces = {"Courier New", "Syntax monospaced",
                                                         "Symbol"};

void AppendHexByte(std::string& out, int value) {
  constexpr std::string_view kHexDigits = "0123456789ABCDEF";
  out += kHexDigits[(value >> 4) & 0xF];
  out += kHexDigits[value & 0xF];
}

void AppendFontLine(std::string& out, int index, std::string_view face) {
  out += "\\f" + std::to_string(index) + "\\f" + FontFamily(face) + " ";
  out += face;
  out += ";\r\n";
}

// The running header and footer of the RTF format, with the page-number field
// in place of every "<page/>". Nothing at all when both are empty.
void AppendRunningHeaderAndFooter(std::string& out, const WriterState& writer) {
  std::string header = HeaderWithPage(writer, kRtfPageField);
  std::string footer = FooterWithPage(writer, kRtfPageField);
  if (header.empty() && footer.empty()) return;
  if (!header.empty()) out += "{\\header\\plain\\f0\\fs20 " + header + "\\par}\r\n";
  if (!footer.empty()) out += "{\\footer\\plain\\f0\\fs20 " + footer + "\\par}\r\n";
  // A title page with no first-page header or footer leaves the first page bare.
  if (writer.omit_first_page) out += "\\sectd\\titlepg\r\n";
  out += "\r\n";
}

}  // namespace

std::string FontFamily(std::string_view face) {
  if (face.empty()) return "";
  for (const FaceFamily& entry : kFaceFamilies) {
    if (runtime::EqualsNoCase(face, entry.face)) return std::string(entry.family);
  }
  return "swiss";
}

std::string ColourEntry(OutputFormat format, int red, int green, int blue) {
  auto in_range = [](int value) { return value >= 0 && value <= 255; };
  if (!in_range(red) || !in_range(green) || !in_range(blue)) return "";
  if (IsRtfFamily(format)) {
    return "\\red" + std::to_string(red) + "\\green" + std::to_string(green) + "\\blue" +
           std::to_string(blue) + ";";
  }
  if (IsHtmlFamily(format)) {
    std::string entry = "#";
    AppendHexByte(entry, red);
    AppendHexByte(entry, green);
    AppendHexByte(entry, blue);
    return entry;
  }
  return "";
}

std::string DocumentColourEntry(OutputFormat format, int index) {
  if (index < 1 || index > static_cast<int>(kDocumentColours.size())) return "";
  const Rgb& colour = kDocumentColours[static_cast<std::size_t>(index - 1)];
  return ColourEntry(format, colour.red, colour.green, colour.blue);
}

std::string WriteRtfHeader(OutputFormat format, const WriterState& writer) {
  std::string out;
  if (!IsRtfFamily(format)) return out;

  out += "{\\rtf1\\ansi\\deff0\r\n\r\n";

  out += "{\\fonttbl\r\n";
  int index = 0;
  for (std::string_view key : kFontSlotKeys) AppendFontLine(out, index++, FontName(writer, key));
  for (std::string_view face : kFixedFaces) AppendFontLine(out, index++, face);
  out += "}\r\n\r\n";

  out += "{\\colortbl\r\n;\r\n";
  for (int colour = 1; colour <= static_cast<int>(kDocumentColours.size()); ++colour) {
    out += DocumentColourEntry(format, colour) + "\r\n";
  }
  out += "}\r\n\r\n";

  // A4 paper with 25.4 mm margins in twips; the margin conversion drops its
  // fraction and comes out at 1439.
  out += "\\noproof\\paperw11905\\paperh16837\\margl1439\\margr1439\\margt1439\\margb1439\r\n\r\n";

  // The HLP topic writer puts header and footer into each topic instead.
  if (format == OutputFormat::kRtf) AppendRunningHeaderAndFooter(out, writer);
  return out;
}

}  // namespace quillark
