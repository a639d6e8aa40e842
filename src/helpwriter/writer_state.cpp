#include "helpwriter/writer_state.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kShortTextLimit = 255;
constexpr std::size_t kHeaderLimit = 1024;
constexpr std::string_view kPageMarker = "<page/>";

// The slot keys in slot order, lower case as they are compared.
constexpr std::array<std::string_view, 8> kFontKeys = {"text", "contents", "h1", "h2",
                                                       "h3",   "h4",       "h5", "h6"};

int FindSlot(std::string_view key) {
  const std::string folded = runtime::LowerAscii(key);
  for (std::size_t i = 0; i < kFontKeys.size(); ++i) {
    if (folded == kFontKeys[i]) return static_cast<int>(i);
  }
  return -1;
}

bool IsSizeBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

// A point size: optional blanks, an optional sign, digits, then the end or a
// blank. Anything else, and a number outside the 32-bit range, reads as 0.
std::int32_t ParseFontSize(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSizeBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t first_digit = i;
  std::int64_t value = 0;
  while (i < text.size() && runtime::IsAsciiDigit(text[i])) {
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{INT32_MAX} + 1) return 0;
    ++i;
  }
  if (i == first_digit) return 0;
  if (i < text.size() && !IsSizeBlank(text[i])) return 0;
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return 0;
  return static_cast<std::int32_t>(value);
}

std::string WithPage(const std::string& text, std::optional<std::string_view> page) {
  if (!page.has_value()) return text;
  return runtime::Truncate(runtime::ReplaceAll(text, kPageMarker, *page), kHeaderLimit);
}

}  // namespace

OutputFormat FormatFromName(std::string_view name) {
  const std::string upper = runtime::UpperAscii(name);
  if (upper == "HLP") return OutputFormat::kHlp;
  if (upper == "RTF") return OutputFormat::kRtf;
  if (upper == "CHM") return OutputFormat::kChm;
  if (upper == "HTML") return OutputFormat::kHtml;
  return OutputFormat::kNone;
}

bool IsRtfFamily(OutputFormat format) {
  return format == OutputFormat::kHlp || format == OutputFormat::kRtf;
}

bool IsHtmlFamily(OutputFormat format) {
  return format == OutputFormat::kChm || format == OutputFormat::kHtml;
}

void SetCaption(WriterState& writer, std::string_view text) {
  writer.caption = runtime::Truncate(text, kShortTextLimit);
}
void SetCopyright(WriterState& writer, std::string_view text) {
  writer.copyright = runtime::Truncate(text, kShortTextLimit);
}
void SetButtonCaption(WriterState& writer, std::string_view text) {
  writer.button_caption = runtime::Truncate(text, kShortTextLimit);
}
void SetButtonWebsite(WriterState& writer, std::string_view text) {
  writer.button_website = runtime::Truncate(text, kShortTextLimit);
}
void SetHeader(WriterState& writer, std::string_view converted_text) {
  writer.header = runtime::Truncate(converted_text, kHeaderLimit);
}
void SetFooter(WriterState& writer, std::string_view converted_text) {
  writer.footer = runtime::Truncate(converted_text, kHeaderLimit);
}

void InitFonts(WriterState& writer) {
  static constexpr std::array<std::int32_t, 8> kDefaultSizes = {10, 10, 24, 20, 18, 16, 14, 12};
  for (std::size_t i = 0; i < kDefaultSizes.size(); ++i) {
    writer.fonts[i] = FontSlot{"Arial", kDefaultSizes[i]};
  }
}

void SetFont(WriterState& writer, std::string_view key, std::string_view value) {
  const std::size_t comma = value.find(',');
  if (comma == std::string_view::npos || comma == 0 || comma + 1 == value.size()) return;
  const std::string_view face = runtime::TrimControl(value.substr(0, comma));
  const std::string_view size_text = runtime::TrimControl(value.substr(comma + 1));
  if (face.empty() || size_text.empty()) return;
  const int slot = FindSlot(key);
  if (slot < 0) return;
  writer.fonts[static_cast<std::size_t>(slot)].face = runtime::Truncate(face, kShortTextLimit);
  writer.fonts[static_cast<std::size_t>(slot)].size = ParseFontSize(size_text);
}

std::string FontName(const WriterState& writer, std::string_view key) {
  const int slot = FindSlot(key);
  return slot < 0 ? std::string() : writer.fonts[static_cast<std::size_t>(slot)].face;
}

int FontSize(const WriterState& writer, std::string_view key) {
  const int slot = FindSlot(key);
  return slot < 0 ? 1 : writer.fonts[static_cast<std::size_t>(slot)].size;
}

std::string HeaderWithPage(const WriterState& writer, std::optional<std::string_view> page) {
  return WithPage(writer.header, page);
}

std::string FooterWithPage(const WriterState& writer, std::optional<std::string_view> page) {
  return WithPage(writer.footer, page);
}

std::string LineBreakText(OutputFormat format) { return IsRtfFamily(format) ? "\\line" : ""; }

std::string DocumentCloseText(OutputFormat format) { return IsRtfFamily(format) ? "}\r\n" : ""; }

}  // namespace quillark
