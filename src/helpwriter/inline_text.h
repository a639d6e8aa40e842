// The small writers that turn topic text into output text: the character
// converter, which the line processor calls for every byte that is not part
// of a tag, and the switch texts of the formatting tags (bold, italic,
// underline, subscript, colours, bullet, horizontal line, headings and the
// monospaced blocks). The tag processor keeps the on/off state; these writers
// only produce the text of one transition. Every writer returns empty text
// for format None.
#ifndef QUILLARK_HELPWRITER_INLINE_TEXT_H_
#define QUILLARK_HELPWRITER_INLINE_TEXT_H_

#include <string>
#include <string_view>

#include "helpwriter/writer_state.h"

namespace quillark {

// The four monospaced-block states of the tag processor; true between the
// block's start and end tags.
struct BlockFlags {
  bool code = false;
  bool example = false;
  bool syntax = false;
  bool diagrams = false;
};

// The output text of one source byte (code page 437). `blank_line` is true
// when the source line holds only blanks and "<null/>" tags; `preceding_tag`
// is the nearest tag before the byte as the line processor finds it (empty
// when there is none). Bytes the converter does not know give empty text.
std::string ConvertChar(OutputFormat format, unsigned char c, bool blank_line,
                        std::string_view preceding_tag, BlockFlags blocks);
// The same, appended to `out`.
void AppendConvertedChar(std::string& out, OutputFormat format, unsigned char c, bool blank_line,
                         std::string_view preceding_tag, BlockFlags blocks);
// Appends the output text of a run of bytes 32 to 126 in which no byte
// follows a tag: ConvertChar of each with no preceding tag. The HTML family's
// non-breaking space after a popup link is the caller's to handle.
void AppendConvertedText(std::string& out, OutputFormat format, std::string_view text);

// "<blob/>": the bullet.
std::string BulletText(OutputFormat format);

// "<hline/>": style 1 is a single line, style 2 a double one; any other style
// gives empty text.
std::string HorizontalLine(OutputFormat format, int style);

// Switch texts of the character formats. `next` is the source byte right
// after the tag, or 0 at the end of the line; in the RTF family a comma there
// keeps the control word's delimiting space away.
std::string BoldText(OutputFormat format, bool on, char next);
std::string ItalicText(OutputFormat format, bool on, char next);
std::string UnderlineText(OutputFormat format, bool on, char next);
// Empty inside any monospaced block.
std::string SubscriptText(OutputFormat format, const WriterState& writer, bool on, char next,
                          BlockFlags blocks);

// The switch text of one of the 17 colour tags, given as written
// ("<clr_dark_red/>"); any other tag gives empty text.
std::string ColourText(OutputFormat format, std::string_view colour_tag);

// Start (`on`) or end of a heading of `level` 1 to 6; any other level gives
// empty text. The RTF end also writes the half-height line under the heading.
std::string HeadingText(OutputFormat format, const WriterState& writer, bool on, int level,
                        char next);

// Start or end of a block: `key` is "H1".."H6", "CODE", "EXAMPLE", "SYNTAX"
// or "DIAGRAMS" (any other key gives empty text); `alignment` 'C' centres and
// 'R' right-aligns a diagram, anything else left-aligns it. A monospaced block
// that starts right after a heading end opens no paragraph of its own.
std::string BlockTag(OutputFormat format, const WriterState& writer, std::string_view key,
                     bool start, char alignment);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_INLINE_TEXT_H_
