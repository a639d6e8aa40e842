#include "helpwriter/bitmaps.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

namespace quillark {
namespace {

// A Windows bitmap of 3 x 2 pixels, 24 bits deep.
std::string Bmp3x2() {
  std::string bytes("BM\x4E\0\0\0\0\0\0\0\x36\0\0\0", 14);
  bytes += std::string("\x28\0\0\0\x03\0\0\0\x02\0\0\0\x01\0\x18\0", 16);
  bytes.append(24, '\0');
  for (int i = 0; i < 24; ++i) bytes += static_cast<char>(0xA0 + i);
  return bytes;
}

// An OS/2 bitmap of 2 x 1 pixels, 24 bits deep.
std::string Os2Bmp() {
  std::string bytes("BM\0\0\0\0\0\0\0\0\x1A\0\0\0\x0C\0\0\0\x02\0\x01\0\x01\0\x18\0", 26);
  bytes.append(60, '\x44');
  return bytes;
}

struct Case {
  const char* label;
  OutputFormat format;
  char alignment;
  bool own_paragraph;
  std::string before;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.label; }

class ReferencedImage : public ::testing::TestWithParam<Case> {};

TEST_P(ReferencedImage, WritesReference) {
  const Case& c = GetParam();
  const ImageText text =
      WriteImage(c.format, "/out/book.rtf", c.alignment, c.own_paragraph, "/src/pics/logo.bmp");
  EXPECT_EQ(text.before, c.before);
  EXPECT_EQ(text.hex_file, "");
  EXPECT_EQ(text.after, "");
  EXPECT_EQ(text.written, c.format == OutputFormat::kChm || c.format == OutputFormat::kHtml);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ReferencedImage,
    ::testing::Values(
        Case{"HlpLeftAlone", OutputFormat::kHlp, 'L', true,
             "\\par\\{bml logo.bmp\\}\\par\\pard\r\n"},
        Case{"HlpLeftInline", OutputFormat::kHlp, 'L', false, "\\{bml logo.bmp\\}"},
        Case{"HlpCenterAlone", OutputFormat::kHlp, 'C', true,
             "\\par\\qc\\{bmc logo.bmp\\}\\par\\pard\r\n"},
        Case{"HlpCenterInline", OutputFormat::kHlp, 'C', false, "\\{bmc logo.bmp\\}"},
        Case{
            "HtmlLeftAlone", OutputFormat::kHtml, 'L', true,
            "<br/><div align=\"left\"><img border=\"0\" src=\"logo.bmp\" alt=\"logo\"/></div>\r\n"},
        Case{"HtmlLeftInline", OutputFormat::kHtml, 'L', false,
             "<img border=\"0\" src=\"logo.bmp\" alt=\"logo\" align=\"left\" hspace=\"6\" "
             "vspace=\"4\"/>"},
        Case{"ChmCenterAlone", OutputFormat::kChm, 'C', true,
             "<br/><div align=\"center\"><img border=\"0\" src=\"logo.bmp\" "
             "alt=\"logo\"/></div>\r\n"},
        Case{"ChmCenterInline", OutputFormat::kChm, 'C', false,
             "<img border=\"0\" src=\"logo.bmp\" alt=\"logo\" align=\"bottom\"/>"},
        Case{"NoneFormat", OutputFormat::kNone, 'C', true, ""},
        Case{"HlpOtherAlignment", OutputFormat::kHlp, 'R', true, ""},
        Case{"HlpLowerCaseAlignment", OutputFormat::kHlp, 'c', false, ""}),
    [](const auto& info) { return std::string(info.param.label); });

class RtfImage : public ::testing::Test {
 protected:
  testing_support::TempDir temp_;
  void SetUp() override {
    // A folder of its own per test, so parallel test processes never share it.
    dir_ = temp_.path() + "/";
    std::filesystem::create_directories(dir_ + "pics");
    output_ = dir_ + "book.rtf";
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ + name, std::ios::binary) << bytes;
    return dir_ + name;
  }
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string dir_;
  std::string output_;
};

constexpr char kPictureHeader[] =
    "{\\pict\\dibitmap0\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes12\\picw3\\pich2"
    "\\picwgoal45\\pichgoal30\r\n";

TEST_F(RtfImage, EmbedsPictureOnItsOwnParagraph) {
  const std::string image = Write("pics/logo.bmp", Bmp3x2());
  const ImageText text = WriteImage(OutputFormat::kRtf, output_, 'C', true, image);
  EXPECT_EQ(text.before, std::string("\\par\\qc") + kPictureHeader);
  EXPECT_EQ(text.hex_file, dir_ + "logo_bmp.tmp");
  EXPECT_EQ(text.after, "}\\par\\pard\r\n");
  EXPECT_FALSE(text.written);
  EXPECT_EQ(Read(text.hex_file).substr(82),
            "A0A1A2A3A4A5A6A7A8A9AAAB\r\nACADAEAFB0B1B2B3B4B5B6B7\r\n");
}

TEST_F(RtfImage, LeftAlignedAloneAndInline) {
  const std::string image = Write("pics/logo.bmp", Bmp3x2());
  ImageText text = WriteImage(OutputFormat::kRtf, output_, 'L', true, image);
  EXPECT_EQ(text.before, std::string("\\par") + kPictureHeader);
  EXPECT_EQ(text.after, "}\\par\\pard\r\n");
  text = WriteImage(OutputFormat::kRtf, output_, 'L', false, image);
  EXPECT_EQ(text.before, kPictureHeader);
  EXPECT_EQ(text.after, "}");
}

TEST_F(RtfImage, MissingImageShowsErrorInLightRed) {
  const ImageText text = WriteImage(OutputFormat::kRtf, output_, 'C', true, dir_ + "gone.bmp");
  EXPECT_EQ(text.before,
            "\\par\\qc\\b\\i\\cf9 BMP error - Input file is missing or empty\\b0\\i0\\cf0 ");
  EXPECT_EQ(text.hex_file, "");
  EXPECT_EQ(text.after, "\\par\\pard\r\n");
}

TEST_F(RtfImage, Os2ImageIsRefused) {
  const std::string image = Write("old.bmp", Os2Bmp());
  const ImageText text = WriteImage(OutputFormat::kRtf, output_, 'L', false, image);
  EXPECT_EQ(text.before,
            "\\b\\i\\cf9 BMP error - Input file is not a valid BMP file\\b0\\i0\\cf0 ");
  EXPECT_EQ(text.after, "");
  EXPECT_FALSE(std::filesystem::exists(dir_ + "old_bmp.tmp"));
}

TEST(ImageHexFileName, UsesOutputDirectoryAndImageBaseName) {
  EXPECT_EQ(ImageHexFileName("/help/book.rtf", "/pics/logo.bmp"), "/help/logo_bmp.tmp");
  EXPECT_EQ(ImageHexFileName("book.rtf", "logo.bmp"), "logo_bmp.tmp");
}

TEST(PixelsToTwips, FifteenTwipsAPixel) {
  EXPECT_EQ(PixelsToTwipsX(3), 45);
  EXPECT_EQ(PixelsToTwipsY(2), 30);
  EXPECT_EQ(PixelsToTwipsX(7), 105);
  EXPECT_EQ(PixelsToTwipsX(2147483647), INT64_C(32212254705));
}

}  // namespace
}  // namespace quillark
