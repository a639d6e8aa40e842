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
  ResetWriterState();
  InitFonts();
  const std::string plain = WriteRtfHeader(kRtf);
  SetOmitFirstPage(true);
  EXPECT_EQ(WriteRtfHeader(kRtf), plain);  // -op alone adds nothing
  SetFooter("<page/>");
  EXPECT_EQ(WriteRtfHeader(kRtf),
            plain +
                "{\\footer\\plain\\f0\\fs20 {\\field{\\*\\fldinst PAGE }{\\fldrslt}}\\par}\r\n"
                "\\sectd\\titlepg\r\n\r\n");
  SetHeader("Top");
  EXPECT_EQ(WriteRtfHeader(kHtml) + WriteRtfHeader(kNone), "");
  SetFooter("");
  SetOmitFirstPage(false);  // no title page of its own
  EXPECT_EQ(WriteRtfHeader(kRtf), plain + "{\\header\\plain\\f0\\fs20 Top\\par}\r\n\r\n");
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
