// The output format model and the settings every writer reads: caption,
// copyright, fonts, button, header and footer, the omit-first-page flag and
// the tag the line processor handled last. One instance per run, filled by
// the driver before Pass 1; afterwards only the previous tag changes.
#ifndef QUILLARK_HELPWRITER_WRITER_STATE_H_
#define QUILLARK_HELPWRITER_WRITER_STATE_H_

#include <optional>
#include <string>
#include <string_view>

namespace quillark {

enum class OutputFormat { kNone = 0, kHlp = 1, kRtf = 2, kChm = 3, kHtml = 4 };

// "HLP", "RTF", "CHM", "HTML" in any case; anything else is kNone.
OutputFormat FormatFromName(std::string_view name);
bool IsRtfFamily(OutputFormat format);   // Hlp, Rtf
bool IsHtmlFamily(OutputFormat format);  // Chm, Html

void SetCaption(std::string_view text);
void SetCopyright(std::string_view text);
void SetButtonCaption(std::string_view text);
void SetButtonWebsite(std::string_view text);
void SetHeader(std::string_view converted_text);  // at most 1024 characters
void SetFooter(std::string_view converted_text);  // at most 1024 characters
void SetOmitFirstPage(bool omit);
const std::string& Caption();
const std::string& Copyright();
const std::string& ButtonCaption();
const std::string& ButtonWebsite();
bool OmitFirstPage();

// Loads the defaults: TEXT and CONTENTS Arial 10, H1..H6 Arial 24, 20, 18, 16, 14, 12.
void InitFonts();
// Parses "face,size" into the slot named by `key` (TEXT, CONTENTS, H1..H6, any
// case); an invalid value or an unknown key changes nothing.
void SetFont(std::string_view key, std::string_view value);
std::string FontName(std::string_view key);  // empty for an unknown key
int FontSize(std::string_view key);          // 1 for an unknown key

// The header (footer) with every "<page/>" replaced by `page`; without a
// replacement, the stored text.
std::string HeaderWithPage(std::optional<std::string_view> page);
std::string FooterWithPage(std::optional<std::string_view> page);

void SetPreviousTag(std::string_view tag);
const std::string& PreviousTag();

std::string LineBreakText(OutputFormat format);      // "\line" for the RTF family
std::string DocumentCloseText(OutputFormat format);  // "}\r\n" for the RTF family

// Empties every setting (sizes 0), as at the start of a run.
void ResetWriterState();

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_WRITER_STATE_H_
