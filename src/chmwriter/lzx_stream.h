// The compressed section of a help file holds an LZX stream. The writer does
// not compress: every 32 KiB frame becomes one LZX block of the uncompressed
// kind, which every LZX decoder reads, at a cost of 16 bytes a frame.
#ifndef QUILLARK_CHMWRITER_LZX_STREAM_H_
#define QUILLARK_CHMWRITER_LZX_STREAM_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillark::chm {

inline constexpr std::uint64_t kFrameSize = 0x8000;
// The decoder starts afresh every two frames (64 KiB), the window size.
inline constexpr std::uint64_t kFramesPerReset = 2;

struct LzxStream {
  std::string content;                       // the stream as stored
  std::vector<std::uint64_t> frame_offsets;  // where each frame starts in `content`
};

// Encodes `data`, padded with zeros to whole frames.
LzxStream EncodeUncompressedBlocks(std::string_view data);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_LZX_STREAM_H_
