#include "hlpcompiler/hlp_pictures.h"

#include <gtest/gtest.h>

#include <string>

#include "hlpcompiler/hlp_format.h"

namespace quillark::hlpc {
namespace {

// A BMP file with a Windows header; `height` negative for top-down rows.
std::string Bmp(int width, int height, int bits, const std::string& palette,
                const std::string& pixels, std::uint32_t compression = 0) {
  std::string info;
  PutU32(info, 40);
  PutU32(info, static_cast<std::uint32_t>(width));
  PutU32(info, static_cast<std::uint32_t>(height));
  PutU16(info, 1);
  PutU16(info, static_cast<std::uint32_t>(bits));
  PutU32(info, compression);
  PutU32(info, static_cast<std::uint32_t>(pixels.size()));
  PutU32(info, 3780);  // 96 dpi
  PutU32(info, 3780);
  PutU32(info, static_cast<std::uint32_t>(palette.size() / 4));
  PutU32(info, 0);
  std::string file = "BM";
  PutU32(file, static_cast<std::uint32_t>(14 + info.size() + palette.size() + pixels.size()));
  PutU32(file, 0);
  PutU32(file, static_cast<std::uint32_t>(14 + info.size() + palette.size()));
  return file + info + palette + pixels;
}

TEST(MakePictureFile, TwentyFourBitBitmapKeepsItsRows) {
  const std::string rows(
      "\x01\x02\x03\x04\x05\x06\x07\x08\x09\0\0\0"
      "\x11\x12\x13\x14\x15\x16\x17\x18\x19\0\0\0",
      24);
  const PictureFile picture = MakePictureFile(Bmp(3, 2, 24, "", rows));
  ASSERT_TRUE(picture.error.empty());
  // header; DIB, unpacked, 96 x 96 dpi, 1 plane, 24 bits, 3 x 2, no palette,
  // 24 bytes of pixels at offset 26 from the type byte
  const std::string expected = std::string("\x6C\x70\x01\x00\x08\x00\x00\x00", 8) +
                               std::string(
                                   "\x06\x00\xC0\x00\xC0\x00\x02\x30\x06\x00\x04\x00"
                                   "\x00\x00\x00\x00\x30\x00\x00\x00\x1C\x00\x00\x00"
                                   "\x00\x00\x00\x00",
                                   28) +
                               rows;
  EXPECT_EQ(picture.data, expected);
}

TEST(MakePictureFile, PaletteAndTopDownRows) {
  const std::string palette("\xFF\xFF\xFF\0\x00\x00\xFF\0", 8);
  const std::string rows("\x80\0\0\0\x40\0\0\0", 8);  // top row first
  const PictureFile picture = MakePictureFile(Bmp(2, -2, 1, palette, rows));
  ASSERT_TRUE(picture.error.empty());
  EXPECT_EQ(picture.data.substr(picture.data.size() - 16),
            palette + std::string("\x40\0\0\0\x80\0\0\0", 8));
}

TEST(MakePictureFile, ThirtyTwoBitPixelsBecomeTwentyFour) {
  const PictureFile picture =
      MakePictureFile(Bmp(1, 1, 32, "", std::string("\x01\x02\x03\xFF", 4)));
  ASSERT_TRUE(picture.error.empty());
  EXPECT_EQ(picture.data.substr(picture.data.size() - 4), std::string("\x01\x02\x03\0", 4));
}

struct RefusedCase {
  const char* name;
  std::string bytes;
};

class RefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedTest, GivesAReasonAndNoData) {
  const PictureFile picture = MakePictureFile(GetParam().bytes);
  EXPECT_TRUE(picture.data.empty());
  EXPECT_FALSE(picture.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedTest,
    ::testing::Values(RefusedCase{"not_bmp", "GIF89a........................................"},
                      RefusedCase{"rle", Bmp(2, 2, 8, std::string(8, '\0'), "\x00\x01", 1)},
                      RefusedCase{"truncated_pixels", Bmp(4, 4, 24, "", std::string(10, 'x'))},
                      RefusedCase{"two_bits", Bmp(4, 1, 2, "", std::string(4, '\0'))}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillark::hlpc
