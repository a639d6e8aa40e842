#include "helpwriter/rtf_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

using enum OutputFormat;

// Header and footer with -op, and HLP without either, are in the whole-run
// documents; here each alone.
TEST(RtfHeader, HeaderAndFooterCombinations) {
  WriterState writer;
  InitFonts(writer);
  const std::string plain = WriteRtfHeader(kRtf, writer);
  writer.omit_first_page = true;
  EXPECT_EQ(WriteRtfHeader(kRtf, writer), plain);  // -op alone adds nothing
  SetFooter(writer, "<page/>");
  EXPECT_EQ(WriteRtfHeader(kRtf, writer),
            plain +
                "{\\footer\\plain\\f0\\fs20 {\\field{\\*\\fldinst PAGE }{\\fldrslt}}\\par}\r\n"
                "\\sectd\\titlepg\r\n\r\n");
  SetHeader(writer, "Top");
  EXPECT_EQ(WriteRtfHeader(kHtml, writer) + WriteRtfHeader(kNone, writer), "");
  SetFooter(writer, "");
  writer.omit_first_page = false;  // no title page of its own
  EXPECT_EQ(WriteRtfHeader(kRtf, writer), plain + "{\\header\\plain\\f0\\fs20 Top\\par}\r\n\r\n");
}

// Only whole known names, in any case, choose a family other than swiss.
TEST(FontFamily, OfFace) {
  std::string families;
  for (const char* face :
       {"HELV", "times roman", "courier", "SYMBOL", "Times", "Courier New ", ""}) {
    families += std::string(FontFamily(face)) + ",";
  }
  EXPECT_EQ(families, "swiss,roman,decor,tech,swiss,swiss,,");
}

}  // namespace
}  // namespace quillark
