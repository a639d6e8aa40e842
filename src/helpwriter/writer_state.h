// The output format model and the writer state: the settings every writer
// reads (caption, copyright, fonts, button, header and footer, the
// omit-first-page flag) and the tag the line processor handled last.
#ifndef QUILLARK_HELPWRITER_WRITER_STATE_H_
#define QUILLARK_HELPWRITER_WRITER_STATE_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillark {

enum class OutputFormat { kNone = 0, kHlp = 1, kRtf = 2, kChm = 3, kHtml = 4 };

// "HLP", "RTF", "CHM", "HTML" in any case; anything else is kNone.
OutputFormat FormatFromName(std::string_view name);
bool IsRtfFamily(OutputFormat format);   // Hlp, Rtf
bool IsHtmlFamily(OutputFormat format);  // Chm, Html

// The settings every writer reads and the tag the line processor handled
// last. The driver fills one per run before Pass 1; afterwards only the
// previous tag changes.
struct FontSlot {
  std::string face;
  std::int32_t size = 0;
};

struct WriterState {
  std::string caption;
  std::string copyright;
  std::array<FontSlot, 8> fonts;  // TEXT, CONTENTS, H1..H6
  std::string button_caption;
  std::string button_website;
  std::string header;  // converted output text
  std::string footer;
  bool omit_first_page = false;
  // The generator identification with the run's date, as the pages and the
  // temporary files carry it; formed once when the run starts.
  std::string generator;
  std::string previous_tag;
};

void SetCaption(WriterState& writer, std::string_view text);  // keeps at most 255 characters
void SetCopyright(WriterState& writer, std::string_view text);
void SetButtonCaption(WriterState& writer, std::string_view text);
void SetButtonWebsite(WriterState& writer, std::string_view text);
void SetHeader(WriterState& writer, std::string_view converted_text);  // at most 1024 characters
void SetFooter(WriterState& writer, std::string_view converted_text);  // at most 1024 characters

// Loads the defaults: TEXT and CONTENTS Arial 10, H1..H6 Arial 24, 20, 18, 16, 14, 12.
void InitFonts(WriterState& writer);
// Parses "face,size" into the slot named by `key` (TEXT, CONTENTS, H1..H6, any
// case); an invalid value or an unknown key changes nothing.
void SetFont(WriterState& writer, std::string_view key, std::string_view value);
std::string FontName(const WriterState& writer, std::string_view key);  // empty for an unknown key
int FontSize(const WriterState& writer, std::string_view key);          // 1 for an unknown key

// The header (footer) with every "<page/>" replaced by `page`; without a
// replacement, the stored text.
std::string HeaderWithPage(const WriterState& writer, std::optional<std::string_view> page);
std::string FooterWithPage(const WriterState& writer, std::optional<std::string_view> page);

// The tag is kept whole: tags are short, and the line processor sets it for
// every tag it meets.
inline void SetPreviousTag(WriterState& writer, std::string_view tag) {
  writer.previous_tag.assign(tag.substr(0, 255));
}

std::string LineBreakText(OutputFormat format);      // "\line" for the RTF family
std::string DocumentCloseText(OutputFormat format);  // "}\r\n" for the RTF family

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_WRITER_STATE_H_
