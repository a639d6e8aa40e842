#include "chmwriter/lzx_stream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace quillark::chm {
namespace {

// An LZX decoder for uncompressed blocks: 16-bit little-endian words read
// from their top bit, a call-translation bit after every reset, and after a
// block header the words up to the next boundary are skipped before the
// three offsets and the bytes.
struct BitReader {
  const std::string& in;
  std::size_t at = 0;
  std::uint32_t word = 0;
  int left = 0;
  std::uint32_t Read(int bits) {
    std::uint32_t value = 0;
    while (bits-- > 0) {
      if (left == 0) {
        word = static_cast<unsigned char>(in.at(at)) | static_cast<unsigned char>(in.at(at + 1))
                                                           << 8;
        at += 2;
        left = 16;
      }
      value = (value << 1) | ((word >> --left) & 1);
    }
    return value;
  }
};

std::string Decode(const LzxStream& stream, std::uint64_t frames) {
  std::string out;
  for (std::uint64_t frame = 0; frame < frames; ++frame) {
    BitReader bits{stream.content, stream.frame_offsets.at(frame)};
    if (frame % 2 == 0) {
      EXPECT_EQ(bits.Read(1), 0u) << "call translation, frame " << frame;
    }
    EXPECT_EQ(bits.Read(3), 3u) << "block type, frame " << frame;
    const std::uint32_t size = bits.Read(24);
    EXPECT_EQ(size, kFrameSize);
    EXPECT_GT(bits.left, 0) << "no padding bit before the offsets";
    std::size_t at = bits.at;
    for (int r = 0; r < 3; ++r, at += 4)
      EXPECT_EQ(stream.content.substr(at, 4), std::string("\1\0\0\0", 4));
    out += stream.content.substr(at, size);
  }
  return out;
}

// Three frames and a bit: the data crosses two frame boundaries and the
// reset after the second frame, and the last frame is padded with zeros.
TEST(EncodeUncompressedBlocks, DecodesAcrossFramesAndAReset) {
  std::string data;
  for (std::uint64_t i = 0; i < 3 * kFrameSize + 5; ++i)
    data.push_back(static_cast<char>(i * 7 + i / 251));
  const LzxStream stream = EncodeUncompressedBlocks(data);
  ASSERT_EQ(stream.frame_offsets.size(), 4u);
  for (std::uint64_t f = 0; f < 4; ++f) EXPECT_EQ(stream.frame_offsets[f], f * (kFrameSize + 16));
  EXPECT_EQ(stream.content.size(), 4 * (kFrameSize + 16));
  EXPECT_EQ(Decode(stream, 4), data + std::string(kFrameSize - 5, '\0'));
  // The headers of a frame after a reset and of one without.
  EXPECT_EQ(stream.content.substr(0, 4), std::string("\x08\x30\x00\x00", 4));
  EXPECT_EQ(stream.content.substr(kFrameSize + 16, 4), std::string("\x10\x60\x00\x00", 4));
  EXPECT_EQ(stream.content.substr(2 * (kFrameSize + 16), 4), std::string("\x08\x30\x00\x00", 4));
}

TEST(EncodeUncompressedBlocks, NoDataNoFrames) {
  const LzxStream stream = EncodeUncompressedBlocks("");
  EXPECT_TRUE(stream.content.empty());
  EXPECT_TRUE(stream.frame_offsets.empty());
}

}  // namespace
}  // namespace quillark::chm
