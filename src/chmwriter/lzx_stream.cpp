#include "chmwriter/lzx_stream.h"

#include "chmwriter/byte_writer.h"

namespace quillark::chm {
namespace {

constexpr std::uint32_t kUncompressedBlock = 3;

// LZX reads its bits from 16-bit little-endian words, most significant bit
// first.
struct BitWriter {
  std::string& out;
  std::uint32_t word = 0;
  int bits_in_word = 0;

  void Put(std::uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      word = (word << 1) | ((value >> i) & 1);
      if (++bits_in_word == 16) Flush();
    }
  }
  // Pads with zeros to the next word boundary.
  void Align() {
    if (bits_in_word > 0) Put(0, 16 - bits_in_word);
  }
  void Flush() {
    AppendU16(out, static_cast<std::uint16_t>(word));
    word = 0;
    bits_in_word = 0;
  }
};

}  // namespace

LzxStream EncodeUncompressedBlocks(std::string_view data) {
  LzxStream stream;
  const std::uint64_t frames = (data.size() + kFrameSize - 1) / kFrameSize;
  stream.content.reserve(frames * (kFrameSize + 16));
  for (std::uint64_t frame = 0; frame < frames; ++frame) {
    stream.frame_offsets.push_back(stream.content.size());
    BitWriter bits{stream.content};
    // After each reset the decoder first reads whether call translation is
    // on; it is off.
    if (frame % kFramesPerReset == 0) bits.Put(0, 1);
    bits.Put(kUncompressedBlock, 3);
    bits.Put(static_cast<std::uint32_t>(kFrameSize), 24);
    // The block's header ends at a word boundary; the decoder always skips
    // at least one padding bit there, which the 27 or 28 bits above leave.
    bits.Align();
    // The three repeated-match offsets the block starts with.
    AppendU32(stream.content, 1);
    AppendU32(stream.content, 1);
    AppendU32(stream.content, 1);
    const std::uint64_t start = frame * kFrameSize;
    const std::string_view bytes = data.substr(start, kFrameSize);
    stream.content += bytes;
    stream.content.append(kFrameSize - bytes.size(), '\0');
  }
  return stream;
}

}  // namespace quillark::chm
