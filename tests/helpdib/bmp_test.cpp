#include "helpdib/bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace quillark {
namespace {

using testing_support::TempDir;

void PutU16(std::string& bytes, std::uint32_t value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& bytes, std::uint32_t value) {
  PutU16(bytes, value & 0xFFFF);
  PutU16(bytes, value >> 16);
}

std::string WithU32(std::string bytes, std::size_t offset, std::uint32_t value) {
  std::string field;
  PutU32(field, value);
  return bytes.replace(offset, 4, field);
}

// A Windows bitmap at 96 dpi: palette bytes 00 01 02 ..., pixel bytes counting
// up from 0x10, `gap` bytes between palette and pixels.
struct BmpShape {
  std::int32_t width = 3;
  std::int32_t height = 2;
  std::uint16_t bits_per_pixel = 24;
  std::uint32_t palette_bytes = 0;
  std::uint32_t gap = 0;
};

std::string BuildBmp(const BmpShape& shape) {
  const std::int64_t row =
      (static_cast<std::int64_t>(shape.width) * shape.bits_per_pixel + 31) / 32 * 4;
  const std::uint32_t offset = 54 + shape.palette_bytes + shape.gap;
  const auto pixels = static_cast<std::uint32_t>(row * shape.height);
  std::string bytes = "BM";
  for (std::uint32_t field : {offset + pixels, 0u, offset, 40u}) PutU32(bytes, field);
  PutU32(bytes, static_cast<std::uint32_t>(shape.width));
  PutU32(bytes, static_cast<std::uint32_t>(shape.height));
  PutU16(bytes, 1);
  PutU16(bytes, shape.bits_per_pixel);
  for (std::uint32_t field : {0u, 0u, 3780u, 3780u, 0u, 0u}) PutU32(bytes, field);
  for (std::uint32_t i = 0; i < shape.palette_bytes; ++i) bytes += static_cast<char>(i);
  bytes.append(shape.gap, '\0');
  for (std::uint32_t i = 0; i < pixels; ++i) bytes += static_cast<char>(0x10 + i);
  return bytes;
}

// An OS/2 bitmap of 5 x 7 pixels, 8 bits deep, with 16-bit header fields.
std::string BuildOs2Bmp() {
  std::string bytes = "BM";
  for (std::uint32_t field : {0u, 0u, 26u, 12u}) PutU32(bytes, field);
  for (std::uint32_t field : {5u, 7u, 1u, 8u}) PutU16(bytes, field);
  return bytes + std::string(7 * 8, '\x33');
}

TEST(BmpInfo, ReadsBothHeadersAndRefusesBrokenOnes) {
  TempDir dir;
  const std::string os2 = dir.Write("old.bmp", BuildOs2Bmp());
  EXPECT_EQ(BmpWidth(os2), 5);
  EXPECT_EQ(BmpHeight(os2), 7);
  EXPECT_EQ(BmpInfo(os2)->header_kind, 'O');
  EXPECT_EQ(BmpWidth(dir.File("missing.bmp")), 0);
  EXPECT_EQ(BmpInfoFromBytes(BuildBmp({}))->bytes_per_line, 12);  // 9 bytes padded to 12
  // Width 2^31 - 1 at 65535 bits per pixel.
  const std::string huge =
      BuildBmp({}).replace(18, 4, "\xFF\xFF\xFF\x7F", 4).replace(28, 2, "\xFF\xFF", 2);
  EXPECT_EQ(BmpInfoFromBytes(huge)->bytes_per_line, (INT64_C(2147483647) * 65535 + 31) / 32 * 4);
  EXPECT_FALSE(BmpInfoFromBytes(BuildBmp({}).substr(0, 17)));
  EXPECT_FALSE(BmpInfoFromBytes("BA" + BuildBmp({}).substr(2)));
  EXPECT_FALSE(BmpInfoFromBytes(BuildBmp({}).replace(8, 1, "\x01")));   // reserved word
  EXPECT_FALSE(BmpInfoFromBytes(BuildBmp({}).replace(14, 1, "\x38")));  // header size 56
  EXPECT_FALSE(BmpInfoFromBytes(BuildBmp({}).substr(0, 29)));
  EXPECT_FALSE(BmpInfoFromBytes(BuildOs2Bmp().substr(0, 25)));
}

TEST(BmpToHex, WritesHeaderPaletteAndRowLines) {
  TempDir dir;
  ASSERT_EQ(BmpToHex(dir.Write("logo.bmp", BuildBmp({})), dir.File("logo_bmp.tmp")), "");
  EXPECT_EQ(dir.Read("logo_bmp.tmp"),
            "280000000300000002000000010018000000000000000000C40E0000C40E00000000000000000000\r\n"
            "101112131415161718191A1B\r\n"
            "1C1D1E1F2021222324252627\r\n");

  const BmpShape shape{.width = 4, .height = 1, .bits_per_pixel = 8, .palette_bytes = 1024};
  ASSERT_EQ(BmpToHex(dir.Write("pal.bmp", BuildBmp(shape)), dir.File("pal_bmp.tmp")), "");
  const std::string text = dir.Read("pal_bmp.tmp");
  ASSERT_EQ(text.size(), 82u + 256 * 10 + 10);
  EXPECT_EQ(text.substr(82, 20), "00010203\r\n04050607\r\n");
  EXPECT_EQ(text.substr(82 + 255 * 10), "FCFDFEFF\r\n10111213\r\n");
  // 4092 bytes per scan line is the widest that converts.
  const BmpShape wide{.width = 32736, .height = 1, .bits_per_pixel = 1, .palette_bytes = 8};
  ASSERT_EQ(BmpToHex(dir.Write("wide.bmp", BuildBmp(wide)), dir.File("wide_bmp.tmp")), "");
  EXPECT_EQ(dir.Read("wide_bmp.tmp").size(), 82u + 2 * 10 + 4092 * 2 + 2);
}

TEST(BmpToHex, OldHexFileGoesOnlyWhenTheHeaderWasAccepted) {
  TempDir dir;
  const std::string hex = dir.Write("x_bmp.tmp", "old");
  EXPECT_EQ(BmpToHex(dir.Write("old.bmp", BuildOs2Bmp()), hex),
            "BMP error - Input file is not a valid BMP file");
  EXPECT_EQ(dir.Read("x_bmp.tmp"), "old");
  EXPECT_EQ(BmpToHex(dir.Write("gap.bmp", BuildBmp({.gap = 2})), hex),
            "BMP error - \"gap.bmp\" had the wrong number of pixels");
  EXPECT_FALSE(std::filesystem::exists(hex));
}

TEST(BmpToHex, MissingEmptyAndUnwritable) {
  TempDir dir;
  const std::string hex = dir.File("x.tmp");
  EXPECT_EQ(BmpToHex(dir.File("missing.bmp"), hex), "BMP error - Input file is missing or empty");
  EXPECT_EQ(BmpToHex(dir.Write("empty.bmp", ""), hex),
            "BMP error - Input file is missing or empty");
  EXPECT_EQ(BmpToHex(dir.path(), hex), "BMP error - Input file is missing or empty");
  EXPECT_EQ(
      BmpToHex(dir.Write("logo.bmp", BuildBmp({})), dir.File("no_such_dir/logo_bmp.tmp")),
      "BMP error - \"logo.bmp\" could not be converted, the output hex file was the wrong size");
}

TEST(BmpBytesToHex, HostileLayoutsFailWithoutOutput) {
  auto convert = [](const std::string& bytes) {
    std::string hex = "stale";
    std::string error = BmpBytesToHex(bytes, "p.bmp", hex);
    return hex.empty() ? error : "output left: " + hex;
  };
  const std::string not_valid = "BMP error - Input file is not a valid BMP file";
  const std::string wrong_pixels = "BMP error - \"p.bmp\" had the wrong number of pixels";
  const std::string too_wide = "BMP error - \"p.bmp\" has scanlines too large for the line buffer";
  EXPECT_EQ(convert(BuildBmp({}).substr(0, 54)), not_valid);
  EXPECT_EQ(convert(BuildOs2Bmp()), not_valid);
  EXPECT_EQ(convert(WithU32(BuildBmp({}), 18, 0)), not_valid);           // width 0
  EXPECT_EQ(convert(WithU32(BuildBmp({}), 22, 0xFFFFFFFE)), not_valid);  // height -2
  EXPECT_EQ(convert(BuildBmp({.bits_per_pixel = 8, .palette_bytes = 1024, .gap = 4})),
            wrong_pixels);
  EXPECT_EQ(convert(BuildBmp({}).substr(0, 70)), wrong_pixels);
  EXPECT_EQ(convert(BuildBmp({}) + "x"), wrong_pixels);
  EXPECT_EQ(convert(WithU32(BuildBmp({}), 22, 0x7FFFFFFF)), wrong_pixels);
  EXPECT_EQ(convert(BuildBmp({}).replace(28, 2, "\0\0", 2)), wrong_pixels);  // depth 0
  EXPECT_EQ(
      convert(BuildBmp({.width = 32768, .height = 1, .bits_per_pixel = 1, .palette_bytes = 8})),
      too_wide);  // 4096 bytes per scan line
  // Width 2^30 at 256 bits per pixel wraps a 32-bit product to 0.
  EXPECT_EQ(
      convert(BuildBmp({}).replace(18, 4, "\x00\x00\x00\x40", 4).replace(28, 2, "\x00\x01", 2)),
      too_wide);
  std::string hex;
  EXPECT_EQ(BmpBytesToHex(BuildBmp({}) + "x", std::string(300, 'n') + ".bmp", hex),
            "BMP error - \"" + std::string(255 - 13, 'n'));
}

}  // namespace
}  // namespace quillark
