#include "hlpcompiler/hlp_pictures.h"

#include <cstdint>
#include <optional>

#include "helpdib/bmp.h"
#include "hlpcompiler/hlp_format.h"

namespace quillark::hlpc {
namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::int64_t kLargestSide = 32767;

std::uint32_t ReadU32(std::string_view bytes, std::size_t at) {
  if (at + 4 > bytes.size()) return 0;
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

std::uint32_t ReadU16(std::string_view bytes, std::size_t at) {
  if (at + 2 > bytes.size()) return 0;
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8;
}

std::uint32_t DotsPerInch(std::uint32_t pixels_per_metre) {
  if (pixels_per_metre == 0) return 96;
  return static_cast<std::uint32_t>((pixels_per_metre * 254ULL + 5000) / 10000);
}

PictureFile Failure(const std::string& error) { return {"", error}; }

// One pixel row of 16 or 32 bits as 24-bit pixels, padded to 4 bytes.
std::string RowTo24(std::string_view row, std::int64_t width, int bits) {
  std::string out;
  for (std::int64_t x = 0; x < width; ++x) {
    if (bits == 32) {
      out.append(row.substr(static_cast<std::size_t>(x) * 4, 3));
    } else {
      const std::uint32_t pixel = ReadU16(row, static_cast<std::size_t>(x) * 2);
      const auto scale = [](std::uint32_t five) {
        return static_cast<char>(five << 3 | five >> 2);
      };
      out.push_back(scale(pixel & 0x1F));
      out.push_back(scale((pixel >> 5) & 0x1F));
      out.push_back(scale((pixel >> 10) & 0x1F));
    }
  }
  out.resize((out.size() + 3) / 4 * 4, '\0');
  return out;
}

}  // namespace

PictureFile MakePictureFile(std::string_view bytes) {
  const std::optional<BmpImageInfo> info = BmpInfoFromBytes(bytes);
  if (!info) return Failure("not a Windows bitmap (BMP) file");
  const bool os2 = info->header_kind == 'O';
  const std::uint32_t header_size = os2 ? 12 : 40;
  const std::int64_t width = info->width;
  const std::int64_t height =
      info->height < 0 ? -static_cast<std::int64_t>(info->height) : info->height;
  const int bits = info->bits_per_pixel;
  if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) {
    return Failure("the bitmap's size of " + std::to_string(width) + " x " +
                   std::to_string(height) + " pixels cannot be stored");
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return Failure("bitmaps of " + std::to_string(bits) + " bits per pixel are not supported");
  }
  if (!os2 && ReadU32(bytes, kFileHeader + 16) != 0) {
    return Failure("compressed bitmaps (RLE or bit fields) are not supported");
  }
  // The palette follows the info header.
  std::uint32_t colours = 0;
  if (bits <= 8) {
    colours = os2 ? 0 : ReadU32(bytes, kFileHeader + 32);
    if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
  }
  const std::size_t entry_size = os2 ? 3 : 4;
  const std::size_t palette_start = kFileHeader + header_size;
  if (palette_start + colours * entry_size > bytes.size()) {
    return Failure("the file ends inside the bitmap's palette");
  }
  std::string palette;
  for (std::uint32_t i = 0; i < colours; ++i) {
    palette.append(bytes.substr(palette_start + i * entry_size, 3));
    palette.push_back('\0');
  }
  // The pixels start where the file header says, or right after the palette.
  std::size_t pixel_start = ReadU32(bytes, 10);
  if (pixel_start < palette_start + colours * entry_size) {
    pixel_start = palette_start + colours * entry_size;
  }
  const auto row_size = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
  if (pixel_start > bytes.size() ||
      bytes.size() - pixel_start < row_size * static_cast<std::size_t>(height)) {
    return Failure("the file ends inside the bitmap's pixels");
  }
  const bool top_down = info->height < 0;
  const int stored_bits = bits > 24 || bits == 16 ? 24 : bits;
  std::string pixels;
  for (std::int64_t y = 0; y < height; ++y) {
    const std::int64_t source = top_down ? height - 1 - y : y;
    const std::string_view row =
        bytes.substr(pixel_start + static_cast<std::size_t>(source) * row_size, row_size);
    pixels += stored_bits == bits ? std::string(row) : RowTo24(row, width, bits);
  }

  std::string picture;
  PutU8(picture, 6);  // device-independent bitmap
  PutU8(picture, 0);  // not packed
  PutCompressedULong(picture, DotsPerInch(os2 ? 0 : ReadU32(bytes, kFileHeader + 24)));
  PutCompressedULong(picture, DotsPerInch(os2 ? 0 : ReadU32(bytes, kFileHeader + 28)));
  PutCompressedUShort(picture, 1);
  PutCompressedUShort(picture, static_cast<std::uint32_t>(stored_bits));
  PutCompressedULong(picture, static_cast<std::uint32_t>(width));
  PutCompressedULong(picture, static_cast<std::uint32_t>(height));
  PutCompressedULong(picture, colours);
  PutCompressedULong(picture, 0);  // 1 here would mark a transparent bitmap
  PutCompressedULong(picture, static_cast<std::uint32_t>(pixels.size()));
  PutCompressedULong(picture, 0);
  const auto pixel_offset = static_cast<std::uint32_t>(picture.size() + 8 + palette.size());
  PutU32(picture, pixel_offset);
  PutU32(picture, 0);
  picture += palette;
  picture += pixels;

  PictureFile file;
  PutU16(file.data, 0x706C);
  PutU16(file.data, 1);
  PutU32(file.data, 8);
  file.data += picture;
  return file;
}

}  // namespace quillark::hlpc
