// The frame of the one Rich Text file that the HLP and RTF formats write: the
// document header with its font table, colour table, page set-up and (RTF
// only) running header and footer, plus the font-family and colour-entry
// lookups that other writers share.
#ifndef QUILLARK_HELPWRITER_RTF_FRAME_H_
#define QUILLARK_HELPWRITER_RTF_FRAME_H_

#include <string>
#include <string_view>

#include "helpwriter/writer_state.h"

namespace quillark {

// The page-number field that stands for "<page/>" in the running header and footer.
inline constexpr std::string_view kRtfPageField = "{\\field{\\*\\fldinst PAGE }{\\fldrslt}}";

// The document header for the HLP and RTF formats, empty for every other
// format. It reads the fonts, header, footer and omit-first-page flag of the
// writer state and stays far below 8192 characters (faces are at most 255
// characters, header and footer at most 1024 each).
std::string WriteRtfHeader(OutputFormat format, const WriterState& writer);

// The family word of a face name ("swiss", "roman", "decor", "modern",
// "tech"), matched case-insensitively; an unknown face is "swiss", an empty
// face gives empty text.
std::string FontFamily(std::string_view face);

// One colour entry: "\red128\green0\blue0;" for the RTF family, "#800000" for
// the HTML family; empty for format None or any component outside 0 to 255.
std::string ColourEntry(OutputFormat format, int red, int green, int blue);

// ColourEntry of entry `index` (1 to 15) of the document colour table; empty
// for any other index (entry 0 is the automatic colour and has no values).
std::string DocumentColourEntry(OutputFormat format, int index);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_RTF_FRAME_H_
