#include "helpwriter/bitmaps.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace quillark {
namespace {

// A Windows bitmap of 3 x 2 pixels, 24 bits deep.
std::string Bmp3x2() {
  std::string bytes("BM\x4E\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x03\0\0\0\x02\0\0\0\x01\0\x18\0", 30);
  return bytes.append(48, '\0');
}

// Placements the whole-run files do not show; the reference formats never
// read the image.
TEST(WriteImage, ReferencesByFileName) {
  auto before = [](OutputFormat format, char alignment, bool own_paragraph) {
    return WriteImage(format, "/out/book.rtf", alignment, own_paragraph, "/src/pics/logo.bmp")
        .before;
  };
  EXPECT_EQ(before(OutputFormat::kHlp, 'C', false), "\\{bmc logo.bmp\\}");
  EXPECT_EQ(before(OutputFormat::kHtml, 'L', true),
            "<br/><div align=\"left\"><img border=\"0\" src=\"logo.bmp\" alt=\"logo\"/></div>\r\n");
  EXPECT_EQ(before(OutputFormat::kHlp, 'R', true) + before(OutputFormat::kChm, 'c', false) +
                before(OutputFormat::kNone, 'C', true),
            "");
  EXPECT_TRUE(WriteImage(OutputFormat::kChm, "", 'C', true, "a.bmp").written);
}

// The picture text is in the whole-run files; its data file goes beside the
// output even when the image lies elsewhere.
TEST(WriteImage, RtfHexFileGoesBesideTheOutput) {
  testing_support::TempDir dir;
  std::filesystem::create_directories(dir.File("pics"));
  const std::string image = dir.Write("pics/logo.bmp", Bmp3x2());
  const ImageText text = WriteImage(OutputFormat::kRtf, dir.File("book.rtf"), 'L', true, image);
  EXPECT_EQ(text.hex_file, dir.File("logo_bmp.tmp"));
  EXPECT_TRUE(std::filesystem::exists(text.hex_file));
}

TEST(WriteImage, RtfInlineErrorOpensNoParagraph) {
  const ImageText text =
      WriteImage(OutputFormat::kRtf, "/nowhere/book.rtf", 'C', false, "/nowhere/gone.bmp");
  EXPECT_EQ(text.before, "\\b\\i\\cf9 BMP error - Input file is missing or empty\\b0\\i0\\cf0 ");
  EXPECT_EQ(text.hex_file, "");
  EXPECT_EQ(text.after, "");
}

TEST(PixelsToTwips, LargeWidthDoesNotOverflow) {
  EXPECT_EQ(PixelsToTwipsX(2147483647), INT64_C(32212254705));
}

}  // namespace
}  // namespace quillark
