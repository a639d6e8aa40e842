// Reading Windows bitmaps (BMP files): the header facts the bitmap table and
// the image writer need, and the conversion of a picture into the lines of
// hexadecimal digits that an RTF "\pict" group carries.
//
// Every reader here works on untrusted bytes: sizes are taken in 64-bit
// arithmetic and every access is checked against the end of the data, so a
// truncated, lying or hostile file gives an answer, never a stray read.
#ifndef QUILLARK_HELPDIB_BMP_H_
#define QUILLARK_HELPDIB_BMP_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillark {

// The facts of a BMP file's info header.
struct BmpImageInfo {
  std::int32_t width = 0;           // pixels; 16 bits unsigned in an OS/2 header
  std::int32_t height = 0;          // pixels; negative in a top-down Windows bitmap
  std::int32_t bits_per_pixel = 0;  // 16 bits unsigned in both headers
  // width x bits per pixel rounded up to whole 32-bit words, in bytes; 0 for
  // a width below 1.
  std::int64_t bytes_per_line = 0;
  char header_kind = 'W';  // 'W' for the 40-byte Windows header, 'O' for the 12-byte OS/2 one
};

// The header facts of the file `path`, or nothing when the file is missing,
// shorter than its header, not a BMP file, or has an info header of another
// size than 40 or 12 bytes.
std::optional<BmpImageInfo> BmpInfo(const std::string& path);
// The same on the first bytes of a file (30 are enough for either header).
std::optional<BmpImageInfo> BmpInfoFromBytes(std::string_view file_bytes);

// BmpInfo's width and height, or 0 when the file cannot be read as a BMP file.
std::int32_t BmpWidth(const std::string& path);
std::int32_t BmpHeight(const std::string& path);

// Converts the BMP file `image_path` into the hexadecimal lines of an RTF
// picture, written to `hex_path`: the 40-byte info header on one line, one
// line per palette entry, one line per scan line in file order. Returns an
// empty text on success, else the error text (at most 255 characters). Only
// Windows bitmaps convert; an old hex file is removed once the image has
// passed the header checks, and no hex file is left behind by a failure.
// With `hex` given, it also receives the lines written (empty on failure).
std::string BmpToHex(const std::string& image_path, const std::string& hex_path,
                     std::string* hex = nullptr);

// The conversion proper on the bytes of a whole BMP file; `image_file_name`
// (without directory) names the image in the error texts. On success returns
// an empty text and `hex` holds the lines; on failure returns the error text
// and `hex` is empty.
std::string BmpBytesToHex(std::string_view file_bytes, std::string_view image_file_name,
                          std::string& hex);

}  // namespace quillark

#endif  // QUILLARK_HELPDIB_BMP_H_
