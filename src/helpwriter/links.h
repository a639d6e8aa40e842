// The output of the link tags: jumps to topics and popups, links to web
// addresses and keywords. A topic jump is a WinHelp hot spot, plain text in
// the printable RTF document, or an HTML anchor; an HTML popup link carries
// the popup's whole body inline, in a table whose width is estimated from
// the body. Every writer returns empty text for format None; the caller
// appends the result to its step text.
#ifndef QUILLARK_HELPWRITER_LINKS_H_
#define QUILLARK_HELPWRITER_LINKS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "helptables/help_table.h"
#include "helpwriter/writer_state.h"

namespace quillark {

// The popup width never falls below this many pixels.
inline constexpr std::int64_t kMinPopupWidth = 180;

// A jump to the topic `target_key` (the topic's upper-case key; it is
// upper-cased again here so the link always names the written page) showing
// `link_text`. `target_row` is the target's TopicTab row, or kNotFound (any
// row below 1) when no topic has that key: the link is then its bare text.
// `bold`, `italic` and `underline` are the formats open at the link; an HTML
// inline popup closes them around its table and reopens them. `popup_body`
// is the target's stored body (GetEntryText), nullptr when it has none; a
// non-empty body is embedded whole, never cut. `bitmaps` is BitmapTab, read
// for the width of the popup's images.
std::string JumpLink(OutputFormat format, const WriterState& writer, bool is_popup, bool bold,
                     bool italic, bool underline, int target_row, std::string_view target_key,
                     std::string_view link_text, const std::string* popup_body,
                     const BitmapTable& bitmaps);

// The width in pixels of the table that shows `popup_body` inline: at least
// 180, wider for large images, preformatted text and long text lines; 0 for
// an empty body.
std::int64_t PopupWidth(const WriterState& writer, std::string_view popup_body,
                        const BitmapTable& bitmaps);

// The estimated width of one line of popup text: its characters without
// markup, each character reference counted once, times the TEXT font size.
std::int64_t PopupLineWidth(const WriterState& writer, std::string_view line);

// A link to `address` showing `link_text`: an ExecFile macro hot spot (HLP,
// the address as given), the bare text (RTF) or an anchor to WebAddress of
// the address (CHM in the external window, HTML in the same window).
std::string WebLink(OutputFormat format, std::string_view link_text, std::string_view address);

// Whether `address` names its scheme: a letter, then letters, digits, "+",
// "-" or ".", then "://" ("https://", "HTTP://", "ftp://"); or "mailto:" in
// any case. Such an address is used exactly as written.
bool NamesScheme(std::string_view address);

// `address` with "http://" in front unless it names its scheme; at most 255
// characters.
std::string WebAddress(std::string_view address);

// The index entry of a keyword: a "K" footnote (HLP), a hidden index field
// for a keyword starting with a capital (RTF), or a named anchor (CHM,
// HTML). `only_tags_follow` is true when nothing but tags follows the
// keyword on its source line; a non-empty entry then ends with one more
// space.
std::string KeywordText(OutputFormat format, std::string_view keyword, bool only_tags_follow);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_LINKS_H_
