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
  PictureFiles pictures;
  auto before = [&pictures](OutputFormat format, char alignment, bool own_paragraph) {
    return WriteImage(format, "/out/book.rtf", alignment, own_paragraph, "/src/pics/logo.bmp",
                      pictures)
        .text;
  };
  EXPECT_EQ(before(OutputFormat::kHlp, 'C', false), "\\{bmc logo.bmp\\}");
  EXPECT_EQ(before(OutputFormat::kHtml, 'L', true),
            "<br/><div align=\"left\"><img border=\"0\" src=\"logo.bmp\" alt=\"logo\"/></div>\r\n");
  EXPECT_EQ(before(OutputFormat::kHlp, 'R', true) + before(OutputFormat::kChm, 'c', false) +
                before(OutputFormat::kNone, 'C', true),
            "");
  EXPECT_TRUE(WriteImage(OutputFormat::kChm, "", 'C', true, "a.bmp", pictures).written);
}

// The picture text is in the whole-run files; its data file goes beside the
// output even when the image lies elsewhere, and is written again only when
// it holds another image.
TEST(WriteImage, RtfPictureDataIsConvertedOncePerDataFile) {
  testing_support::TempDir dir;
  std::filesystem::create_directories(dir.File("pics"));
  std::filesystem::create_directories(dir.File("other"));
  const std::string image = dir.Write("pics/logo.bmp", Bmp3x2());
  const std::string namesake = dir.Write("other/logo.bmp", Bmp3x2().replace(54, 1, "\x7f"));
  const std::string hex_file = dir.File("logo_bmp.tmp");
  PictureFiles pictures;
  const std::string first =
      WriteImage(OutputFormat::kRtf, dir.File("book.rtf"), 'L', false, image, pictures).text;
  EXPECT_TRUE(
      first.starts_with("{\\pict\\dibitmap0\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes12"
                        "\\picw3\\pich2\\picwgoal45\\pichgoal30\r\n"))
      << first;
  EXPECT_TRUE(first.ends_with("000000000000000000000000\r\n}")) << first;
  EXPECT_EQ(first.substr(first.find("\r\n") + 2, first.size() - first.find("\r\n") - 3),
            dir.Read("logo_bmp.tmp"));

  std::filesystem::remove(hex_file);
  EXPECT_EQ(WriteImage(OutputFormat::kRtf, dir.File("book.rtf"), 'L', false, image, pictures).text,
            first);
  EXPECT_FALSE(std::filesystem::exists(hex_file));  // the same image: nothing converted again
  EXPECT_NE(
      WriteImage(OutputFormat::kRtf, dir.File("book.rtf"), 'L', false, namesake, pictures).text,
      first);
  EXPECT_TRUE(std::filesystem::exists(hex_file));  // another image of the same name

  // A page header marks the data file instead, to insert it after its cut.
  const std::string marked =
      WriteImage(OutputFormat::kRtf, dir.File("book.rtf"), 'L', false, image, pictures, true).text;
  EXPECT_NE(marked.find("\t" + hex_file + "\t}"), std::string::npos) << marked;
}

TEST(WriteImage, RtfInlineErrorOpensNoParagraph) {
  PictureFiles pictures;
  const ImageText text = WriteImage(OutputFormat::kRtf, "/nowhere/book.rtf", 'C', false,
                                    "/nowhere/gone.bmp", pictures);
  EXPECT_EQ(text.text, "\\b\\i\\cf9 BMP error - Input file is missing or empty\\b0\\i0\\cf0 ");
}

TEST(PixelsToTwips, LargeWidthDoesNotOverflow) {
  EXPECT_EQ(PixelsToTwipsX(2147483647), INT64_C(32212254705));
}

}  // namespace
}  // namespace quillark
