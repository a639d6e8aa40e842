// Feeds arbitrary bytes to the BMP reader: the header reader, the in-memory
// conversion and the file-based conversion around it. Besides the sanitizers'
// checks, a successful conversion must have exactly the shape its header
// announces.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "helpdib/bmp.h"

namespace {

// One folder per process for the file-based round; it outlives every static
// destructor so that the exit handler can still remove it.
const std::string& ScratchDirectory() {
  static const std::string* const directory = [] {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("bmp_fuzz_" + std::to_string(static_cast<long>(getpid())));
    std::filesystem::create_directories(path);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchDirectory(), ignored);
    });
    return new std::string(path.string() + "/");
  }();
  return *directory;
}

void CheckShape(std::string_view bytes, const std::string& hex) {
  const std::optional<quillark::BmpImageInfo> info = quillark::BmpInfoFromBytes(bytes);
  if (!info || info->header_kind != 'W' || info->width < 1 || info->height < 1) __builtin_trap();
  const std::int64_t palette = info->bits_per_pixel == 1   ? 2
                               : info->bits_per_pixel == 4 ? 16
                               : info->bits_per_pixel == 8 ? 256
                                                           : 0;
  const std::int64_t expected = 82 + palette * 10 + info->height * (2 * info->bytes_per_line + 2);
  if (static_cast<std::int64_t>(hex.size()) != expected) __builtin_trap();
  if (static_cast<std::int64_t>(bytes.size()) !=
      54 + palette * 4 + info->height * info->bytes_per_line) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  quillark::BmpInfoFromBytes(bytes);

  std::string hex;
  const std::string error = quillark::BmpBytesToHex(bytes, "fuzz.bmp", hex);
  if (error.size() > 255) __builtin_trap();
  if (error.empty()) CheckShape(bytes, hex);

  // The file-based entry points must agree with the in-memory ones.
  const std::string image = ScratchDirectory() + "fuzz.bmp";
  const std::string hex_file = ScratchDirectory() + "fuzz_bmp.tmp";
  std::ofstream(image, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  const std::optional<quillark::BmpImageInfo> info = quillark::BmpInfo(image);
  const std::optional<quillark::BmpImageInfo> memory_info = quillark::BmpInfoFromBytes(bytes);
  if (info.has_value() != memory_info.has_value()) __builtin_trap();
  if (info && (info->width != memory_info->width || info->height != memory_info->height ||
               info->bytes_per_line != memory_info->bytes_per_line)) {
    __builtin_trap();
  }
  const std::string file_error = quillark::BmpToHex(image, hex_file);
  if (size > 0 && file_error != error) __builtin_trap();
  if (file_error.empty()) {
    std::ifstream written(hex_file, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(written)), {});
    if (content != hex) __builtin_trap();
  }
  return 0;
}
