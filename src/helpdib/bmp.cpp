#include "helpdib/bmp.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace quillark {
namespace {

constexpr std::string_view kNoNames = "BMP error - Input file names were not specified";
constexpr std::string_view kMissingOrEmpty = "BMP error - Input file is missing or empty";
constexpr std::string_view kNotValid = "BMP error - Input file is not a valid BMP file";
constexpr std::string_view kNoMemory = "BMP error - Could not allocate memory for file";
// An image that exists but cannot be opened or read (no permission, a read error).
constexpr std::string_view kUnreadable = "BMP error - Input file could not be read";

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kWindowsHeaderSize = 40;
constexpr std::uint32_t kOs2HeaderSize = 12;
// The whole Windows header and the first pixel byte: anything shorter is no picture.
constexpr std::size_t kSmallestConvertible = 55;
// One hexadecimal line, its line end included, has to stay below the 8193
// characters of the converter's line buffer, so a scan line holds at most 4095 bytes.
constexpr std::int64_t kLargestScanLine = 4095;
constexpr std::size_t kErrorTextLimit = 255;

// Little-endian fields; callers check that the field lies inside `bytes`.
std::uint32_t ReadU16(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + 1])) << 8;
}

std::uint32_t ReadU32(std::string_view bytes, std::size_t offset) {
  return ReadU16(bytes, offset) | ReadU16(bytes, offset + 2) << 16;
}

std::int32_t ReadI32(std::string_view bytes, std::size_t offset) {
  return static_cast<std::int32_t>(ReadU32(bytes, offset));
}

// The 14-byte file header: the type "BM" and both reserved words 0.
bool HasBmpFileHeader(std::string_view bytes) {
  return bytes.size() >= kFileHeaderSize + 4 && bytes[0] == 'B' && bytes[1] == 'M' &&
         ReadU16(bytes, 6) == 0 && ReadU16(bytes, 8) == 0;
}

// Every scan line is padded to whole 32-bit words.
std::int64_t BytesPerLine(std::int64_t width, std::int64_t bits_per_pixel) {
  if (width < 1) return 0;
  return (width * bits_per_pixel + 31) / 32 * 4;
}

// Bytes of palette between the info header and the pixels of a converted picture.
std::int64_t PaletteSize(std::int64_t bits_per_pixel) {
  switch (bits_per_pixel) {
    case 1:
      return 8;
    case 4:
      return 64;
    case 8:
      return 1024;
    default:
      return 0;
  }
}

std::string ImageError(std::string_view image_file_name, std::string_view complaint) {
  std::string text = "BMP error - \"";
  text += image_file_name;
  text += "\" ";
  text += complaint;
  if (text.size() > kErrorTextLimit) text.resize(kErrorTextLimit);
  return text;
}

void AppendHexLine(std::string& hex, std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    hex += kDigits[value >> 4];
    hex += kDigits[value & 0x0F];
  }
  hex += "\r\n";
}

std::string FileNameOf(std::string_view path) {
  const std::size_t separator = path.find_last_of("/\\");
  return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace

std::optional<BmpImageInfo> BmpInfoFromBytes(std::string_view file_bytes) {
  if (!HasBmpFileHeader(file_bytes)) return std::nullopt;
  BmpImageInfo info;
  const std::uint32_t header_size = ReadU32(file_bytes, kFileHeaderSize);
  if (header_size == kWindowsHeaderSize && file_bytes.size() >= 30) {
    info.width = ReadI32(file_bytes, 18);
    info.height = ReadI32(file_bytes, 22);
    info.bits_per_pixel = static_cast<std::int32_t>(ReadU16(file_bytes, 28));
    info.header_kind = 'W';
  } else if (header_size == kOs2HeaderSize && file_bytes.size() >= 26) {
    info.width = static_cast<std::int32_t>(ReadU16(file_bytes, 18));
    info.height = static_cast<std::int32_t>(ReadU16(file_bytes, 20));
    info.bits_per_pixel = static_cast<std::int32_t>(ReadU16(file_bytes, 24));
    info.header_kind = 'O';
  } else {
    return std::nullopt;
  }
  info.bytes_per_line = BytesPerLine(info.width, info.bits_per_pixel);
  return info;
}

std::optional<BmpImageInfo> BmpInfo(const std::string& path) {
  // Every pass asks this of every picture: the C library reads the few bytes
  // without a C++ stream, whose first use sets up all of the locale's parts.
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  // The file header and the longer (Windows) info header up to the bit depth.
  char head[30];
  const std::size_t count = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  return BmpInfoFromBytes(std::string_view(head, count));
}

std::int32_t BmpWidth(const std::string& path) {
  const std::optional<BmpImageInfo> info = BmpInfo(path);
  return info ? info->width : 0;
}

std::int32_t BmpHeight(const std::string& path) {
  const std::optional<BmpImageInfo> info = BmpInfo(path);
  return info ? info->height : 0;
}

std::string BmpBytesToHex(std::string_view file_bytes, std::string_view image_file_name,
                          std::string& hex) {
  hex.clear();
  if (file_bytes.size() < kSmallestConvertible || !HasBmpFileHeader(file_bytes) ||
      ReadU32(file_bytes, kFileHeaderSize) != kWindowsHeaderSize) {
    return std::string(kNotValid);
  }
  const std::int64_t width = ReadI32(file_bytes, 18);
  const std::int64_t height = ReadI32(file_bytes, 22);
  if (width < 1 || height < 1) return std::string(kNotValid);
  const std::int64_t bits_per_pixel = ReadU16(file_bytes, 28);
  const std::int64_t palette_size = PaletteSize(bits_per_pixel);
  const std::int64_t bytes_per_line = BytesPerLine(width, bits_per_pixel);

  // The bytes are taken strictly in sequence from the info header on: header,
  // palette, then the rows bottom first, as stored. The file header's pixel
  // offset is not consulted, so the pixels have to follow the palette
  // directly and the file has to end with the last row. Both checks are made
  // on the layout before any line is written; they tell the same as writing
  // every line and then looking where the reading stopped, without writing a
  // huge file for a header that claims a huge picture.
  if (bytes_per_line > kLargestScanLine) {
    return ImageError(image_file_name, "has scanlines too large for the line buffer");
  }
  // Below 2^31 rows of below 2^12 bytes: no overflow.
  const std::int64_t bytes_consumed = static_cast<std::int64_t>(kFileHeaderSize) +
                                      kWindowsHeaderSize + palette_size + height * bytes_per_line;
  if (bytes_consumed != static_cast<std::int64_t>(file_bytes.size())) {
    return ImageError(image_file_name, "had the wrong number of pixels");
  }

  const auto palette_entries = static_cast<std::size_t>(palette_size / 4);
  const auto rows = static_cast<std::size_t>(height);
  const auto row_bytes = static_cast<std::size_t>(bytes_per_line);
  try {
    hex.reserve(2 * kWindowsHeaderSize + 2 + palette_entries * 10 + rows * (2 * row_bytes + 2));
  } catch (const std::bad_alloc&) {
    return std::string(kNoMemory);
  } catch (const std::length_error&) {
    return std::string(kNoMemory);
  }
  std::size_t next = kFileHeaderSize;
  AppendHexLine(hex, file_bytes.substr(next, kWindowsHeaderSize));
  next += kWindowsHeaderSize;
  for (std::size_t entry = 0; entry < palette_entries; ++entry, next += 4) {
    AppendHexLine(hex, file_bytes.substr(next, 4));
  }
  for (std::size_t row = 0; row < rows; ++row, next += row_bytes) {
    AppendHexLine(hex, file_bytes.substr(next, row_bytes));
  }
  return std::string();
}

std::string BmpToHex(const std::string& image_path, const std::string& hex_path,
                     std::string* hex_out) {
  if (hex_out != nullptr) hex_out->clear();
  if (image_path.empty() || hex_path.empty()) return std::string(kNoNames);
  std::error_code error;
  if (!std::filesystem::is_regular_file(image_path, error)) return std::string(kMissingOrEmpty);
  const std::uintmax_t file_size = std::filesystem::file_size(image_path, error);
  if (error || file_size == 0) return std::string(kMissingOrEmpty);
  if (file_size < kSmallestConvertible) return std::string(kNotValid);

  std::string file_bytes;
  try {
    file_bytes.resize(file_size);
  } catch (const std::bad_alloc&) {
    return std::string(kNoMemory);
  } catch (const std::length_error&) {
    return std::string(kNoMemory);
  }
  std::ifstream image(image_path, std::ios::binary);
  if (!image) return std::string(kUnreadable);
  image.read(file_bytes.data(), static_cast<std::streamsize>(file_bytes.size()));
  if (image.bad()) return std::string(kUnreadable);
  // A file that shrank since its size was taken is judged by what it still holds.
  file_bytes.resize(static_cast<std::size_t>(image.gcount()));
  image.close();

  std::string hex;
  const std::string result = BmpBytesToHex(file_bytes, FileNameOf(image_path), hex);
  // A picture refused by its header leaves an old hex file alone; from here on
  // the old file goes, and a failed conversion leaves none.
  if (result == kNotValid || result == kNoMemory) return result;
  RemoveFile(hex_path);
  if (!result.empty()) return result;
  file_bytes = std::string();  // the input is no longer needed while the output is written

  {
    std::ofstream out(hex_path, std::ios::binary | std::ios::trunc);
    out.write(hex.data(), static_cast<std::streamsize>(hex.size()));
  }
  const std::uintmax_t written = std::filesystem::file_size(hex_path, error);
  if (error || written != hex.size()) {
    RemoveFile(hex_path);
    return ImageError(FileNameOf(image_path),
                      "could not be converted, the output hex file was the wrong size");
  }
  if (hex_out != nullptr) *hex_out = std::move(hex);
  return std::string();
}

}  // namespace quillark
