#include "helpdib/bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

namespace quillark {
namespace {

void PutU16(std::string& bytes, std::uint32_t value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& bytes, std::uint32_t value) {
  PutU16(bytes, value & 0xFFFF);
  PutU16(bytes, value >> 16);
}

// A Windows bitmap: palette entries 00 01 02 03, 04 05 06 07, ... and pixel
// bytes counting up from 0x10, `gap` bytes between palette and pixels.
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
  PutU32(bytes, offset + pixels);
  PutU32(bytes, 0);  // both reserved words
  PutU32(bytes, offset);
  PutU32(bytes, 40);
  PutU32(bytes, static_cast<std::uint32_t>(shape.width));
  PutU32(bytes, static_cast<std::uint32_t>(shape.height));
  PutU16(bytes, 1);
  PutU16(bytes, shape.bits_per_pixel);
  for (int i = 0; i < 6; ++i) PutU32(bytes, 0);
  for (std::uint32_t i = 0; i < shape.palette_bytes; ++i) bytes += static_cast<char>(i);
  bytes.append(shape.gap, '\0');
  for (std::uint32_t i = 0; i < pixels; ++i) bytes += static_cast<char>(0x10 + i);
  return bytes;
}

// An OS/2 bitmap of 5 x 7 pixels, 8 bits deep, with 16-bit header fields.
std::string BuildOs2Bmp() {
  std::string bytes = "BM";
  PutU32(bytes, 0);
  PutU32(bytes, 0);
  PutU32(bytes, 26);
  PutU32(bytes, 12);
  PutU16(bytes, 5);
  PutU16(bytes, 7);
  PutU16(bytes, 1);
  PutU16(bytes, 8);
  bytes.append(7 * 8, '\x33');
  return bytes;
}

class BmpFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("bmp_test_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string PathOf(const std::string& name) { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir_;
};

TEST(BmpInfoFromBytes, ReadsTheWindowsHeader) {
  const auto info = BmpInfoFromBytes(BuildBmp({}));
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->width, 3);
  EXPECT_EQ(info->height, 2);
  EXPECT_EQ(info->bits_per_pixel, 24);
  EXPECT_EQ(info->bytes_per_line, 12);  // 9 bytes padded to 12
  EXPECT_EQ(info->header_kind, 'W');
}

TEST(BmpInfoFromBytes, ReadsTheOs2Header) {
  const auto info = BmpInfoFromBytes(BuildOs2Bmp());
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->width, 5);
  EXPECT_EQ(info->height, 7);
  EXPECT_EQ(info->bits_per_pixel, 8);
  EXPECT_EQ(info->bytes_per_line, 8);
  EXPECT_EQ(info->header_kind, 'O');
}

TEST(BmpInfoFromBytes, LargeWidthTimesDepthDoesNotWrap) {
  std::string bytes = BuildBmp({.width = 1, .height = 1});
  bytes.replace(18, 4, "\xFF\xFF\xFF\x7F", 4);  // width 2^31 - 1
  bytes.replace(28, 2, "\xFF\xFF", 2);          // 65535 bits per pixel
  const auto info = BmpInfoFromBytes(bytes);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->bytes_per_line, (INT64_C(2147483647) * 65535 + 31) / 32 * 4);
}

struct Refusal {
  const char* label;
  std::string bytes;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.label; }

class BmpInfoRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(BmpInfoRefuses, GivesNothing) { EXPECT_FALSE(BmpInfoFromBytes(GetParam().bytes)); }

INSTANTIATE_TEST_SUITE_P(
    Headers, BmpInfoRefuses,
    ::testing::Values(Refusal{"Empty", ""}, Refusal{"Short", BuildBmp({}).substr(0, 17)},
                      Refusal{"NotBm", "BA" + BuildBmp({}).substr(2)},
                      Refusal{"Reserved", BuildBmp({}).replace(8, 1, "\x01")},
                      Refusal{"HeaderSize56", BuildBmp({}).replace(14, 1, "\x38")},
                      Refusal{"WindowsHeaderCut", BuildBmp({}).substr(0, 29)},
                      Refusal{"Os2HeaderCut", BuildOs2Bmp().substr(0, 25)}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(BmpFiles, WidthAndHeightOfFiles) {
  const std::string os2 = Write("old.bmp", BuildOs2Bmp());
  EXPECT_EQ(BmpWidth(os2), 5);
  EXPECT_EQ(BmpHeight(os2), 7);
  EXPECT_EQ(BmpWidth(PathOf("missing.bmp")), 0);
  EXPECT_EQ(BmpHeight(PathOf("missing.bmp")), 0);
}

TEST_F(BmpFiles, Converts24BitPicture) {
  const std::string image = Write("logo.bmp", BuildBmp({}));
  const std::string hex = PathOf("logo_bmp.tmp");
  ASSERT_EQ(BmpToHex(image, hex), "");
  EXPECT_EQ(Read(hex),
            "28000000030000000200000001001800000000000000000000000000000000000000000000000000\r\n"
            "101112131415161718191A1B\r\n"
            "1C1D1E1F2021222324252627\r\n");
}

TEST_F(BmpFiles, Converts8BitPictureWithPaletteLines) {
  const std::string image = Write(
      "pal.bmp", BuildBmp({.width = 4, .height = 1, .bits_per_pixel = 8, .palette_bytes = 1024}));
  const std::string hex = PathOf("pal_bmp.tmp");
  ASSERT_EQ(BmpToHex(image, hex), "");
  const std::string text = Read(hex);
  ASSERT_EQ(text.size(), 82u + 256 * 10 + 10);
  EXPECT_EQ(text.substr(82, 20), "00010203\r\n04050607\r\n");
  EXPECT_EQ(text.substr(82 + 255 * 10), "FCFDFEFF\r\n10111213\r\n");
}

TEST_F(BmpFiles, ScanLineOf4092BytesStillConverts) {
  const std::string image = Write(
      "wide.bmp", BuildBmp({.width = 32736, .height = 1, .bits_per_pixel = 1, .palette_bytes = 8}));
  ASSERT_EQ(BmpToHex(image, PathOf("wide_bmp.tmp")), "");
  EXPECT_EQ(Read(PathOf("wide_bmp.tmp")).size(), 82u + 2 * 10 + 4092 * 2 + 2);
}

TEST_F(BmpFiles, FailedConversionRemovesOldHexFile) {
  const std::string hex = Write("gap_bmp.tmp", "old");
  const std::string image = Write("gap.bmp", BuildBmp({.gap = 2}));
  EXPECT_EQ(BmpToHex(image, hex), "BMP error - \"gap.bmp\" had the wrong number of pixels");
  EXPECT_FALSE(std::filesystem::exists(hex));
}

TEST_F(BmpFiles, HeaderRefusalKeepsOldHexFile) {
  const std::string hex = Write("old_bmp.tmp", "old");
  EXPECT_EQ(BmpToHex(Write("old.bmp", BuildOs2Bmp()), hex),
            "BMP error - Input file is not a valid BMP file");
  EXPECT_EQ(Read(hex), "old");
}

TEST_F(BmpFiles, UnwritableHexFileIsWrongSize) {
  const std::string image = Write("logo.bmp", BuildBmp({}));
  EXPECT_EQ(
      BmpToHex(image, PathOf("no_such_dir/logo_bmp.tmp")),
      "BMP error - \"logo.bmp\" could not be converted, the output hex file was the wrong size");
}

TEST_F(BmpFiles, MissingAndEmptyInputs) {
  EXPECT_EQ(BmpToHex("", PathOf("x.tmp")), "BMP error - Input file names were not specified");
  EXPECT_EQ(BmpToHex(PathOf("x.bmp"), ""), "BMP error - Input file names were not specified");
  EXPECT_EQ(BmpToHex(PathOf("missing.bmp"), PathOf("x.tmp")),
            "BMP error - Input file is missing or empty");
  EXPECT_EQ(BmpToHex(Write("empty.bmp", ""), PathOf("x.tmp")),
            "BMP error - Input file is missing or empty");
  EXPECT_EQ(BmpToHex(dir_.string(), PathOf("x.tmp")), "BMP error - Input file is missing or empty");
}

// In-memory conversions that fail, each with its error text; the file name is "p.bmp".
struct Failure {
  const char* label;
  std::string bytes;
  std::string error;
};

void PrintTo(const Failure& failure, std::ostream* out) { *out << failure.label; }

std::string WithField(std::string bytes, std::size_t offset, std::uint32_t value) {
  std::string field;
  PutU32(field, value);
  return bytes.replace(offset, 4, field);
}

const std::string kNotValid = "BMP error - Input file is not a valid BMP file";
const std::string kWrongPixels = "BMP error - \"p.bmp\" had the wrong number of pixels";
const std::string kTooWide = "BMP error - \"p.bmp\" has scanlines too large for the line buffer";

class BmpBytesFail : public ::testing::TestWithParam<Failure> {};

TEST_P(BmpBytesFail, ReportsError) {
  std::string hex = "stale";
  EXPECT_EQ(BmpBytesToHex(GetParam().bytes, "p.bmp", hex), GetParam().error);
  EXPECT_EQ(hex, "");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BmpBytesFail,
    ::testing::Values(
        Failure{"Only54Bytes", BuildBmp({}).substr(0, 54), kNotValid},
        Failure{"Os2Header", BuildOs2Bmp(), kNotValid},
        Failure{"NotBm", "MB" + BuildBmp({}).substr(2), kNotValid},
        Failure{"ReservedWord", BuildBmp({}).replace(6, 1, "\x01"), kNotValid},
        Failure{"WidthZero", WithField(BuildBmp({}), 18, 0), kNotValid},
        Failure{"HeightNegative", WithField(BuildBmp({}), 22, 0xFFFFFFFE), kNotValid},
        Failure{"GapAfterPalette", BuildBmp({.bits_per_pixel = 8, .palette_bytes = 1024, .gap = 4}),
                kWrongPixels},
        Failure{"Truncated", BuildBmp({}).substr(0, 70), kWrongPixels},
        Failure{"TrailingByte", BuildBmp({}) + "x", kWrongPixels},
        Failure{"HugeHeight", WithField(BuildBmp({}), 22, 0x7FFFFFFF), kWrongPixels},
        Failure{"ZeroDepth", BuildBmp({}).replace(28, 2, "\0\0", 2), kWrongPixels},
        Failure{"ScanLine4096",
                BuildBmp({.width = 32768, .height = 1, .bits_per_pixel = 1, .palette_bytes = 8}),
                kTooWide},
        Failure{"WidthTimesDepthWraps32Bits",
                BuildBmp({}).replace(18, 4, "\x00\x00\x00\x40", 4).replace(28, 2, "\x00\x01", 2),
                kTooWide}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(BmpBytesToHex, LongImageNameIsCutTo255) {
  std::string hex;
  const std::string error = BmpBytesToHex(BuildBmp({}) + "x", std::string(300, 'n') + ".bmp", hex);
  EXPECT_EQ(error.size(), 255u);
  EXPECT_EQ(error.substr(0, 14), "BMP error - \"n");
}

}  // namespace
}  // namespace quillark
