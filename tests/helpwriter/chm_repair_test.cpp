#include "helpwriter/chm_repair.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quillark {
namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::uint32_t kChunkSize = 0x20;

struct Chunk {
  const char* signature;
  std::uint32_t previous, next;
};

void Put(std::string& bytes, std::size_t offset, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

// A file header, a directory header naming `first` and `last`, and the chunks.
std::string MakeChm(std::uint32_t first, std::uint32_t last, const std::vector<Chunk>& chunks) {
  std::string bytes(0x60 + 0x54 + chunks.size() * kChunkSize, '\0');
  bytes.replace(0, 4, "ITSF");
  bytes.replace(0x60, 4, "ITSP");
  // {offset, value, width} in the file header and the directory header at 0x60.
  const std::uint64_t fields[][3] = {
      {0x08, 0x60, 4}, {0x48, 0x60, 8},         {0x50, bytes.size() - 0x60, 8},
      {0x68, 0x54, 4}, {0x70, kChunkSize, 4},   {0x80, first, 4},
      {0x84, last, 4}, {0x8C, chunks.size(), 4}};
  for (const auto& field : fields) Put(bytes, field[0], field[1], static_cast<int>(field[2]));
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    const std::size_t at = 0x60 + 0x54 + i * kChunkSize;
    bytes.replace(at, 4, chunks[i].signature);
    Put(bytes, at + 0x0C, chunks[i].previous, 4);
    Put(bytes, at + 0x10, chunks[i].next, 4);
  }
  return bytes;
}

struct RepairCase {
  const char* name;
  std::uint32_t first, last;              // as written
  std::uint32_t fixed_first, fixed_last;  // as they must read afterwards
  std::vector<Chunk> chunks;
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const RepairCase& c, std::ostream* os) { *os << c.name; }

class RepairChmBytesTest : public testing::TestWithParam<RepairCase> {};

TEST_P(RepairChmBytesTest, HeaderFollowsTheChain) {
  const RepairCase& c = GetParam();
  std::string bytes = MakeChm(c.first, c.last, c.chunks);
  const std::string expected = MakeChm(c.fixed_first, c.fixed_last, c.chunks);
  EXPECT_EQ(RepairChmBytes(bytes), expected != MakeChm(c.first, c.last, c.chunks));
  EXPECT_EQ(bytes, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, RepairChmBytesTest,
    testing::Values(
        RepairCase{
            "WrongFirst", 1, 1, 0, 1, {{"PMGL", kNone, 1}, {"PMGL", 0, kNone}, {"PMGI", 0, 0}}},
        RepairCase{"Correct", 0, 1, 0, 1, {{"PMGL", kNone, 1}, {"PMGL", 0, kNone}}},
        RepairCase{"SingleChunk", 0, 0, 0, 0, {{"PMGL", kNone, kNone}, {"PMGI", 0, 0}}},
        RepairCase{"ChainNotInNumberOrder", 0, 0, 1, 0, {{"PMGL", 1, kNone}, {"PMGL", kNone, 0}}},
        RepairCase{"TwoHeads", 1, 1, 1, 1, {{"PMGL", kNone, kNone}, {"PMGL", kNone, kNone}}},
        RepairCase{"BrokenBackLink", 1, 1, 1, 1, {{"PMGL", kNone, 1}, {"PMGL", 5, kNone}}},
        RepairCase{"ChunkOffChain", 1, 1, 1, 1, {{"PMGL", kNone, kNone}, {"PMGL", 0, kNone}}}),
    [](const testing::TestParamInfo<RepairCase>& info) { return std::string(info.param.name); });

TEST(RepairChmBytes, TruncatedFileIsLeftAlone) {
  const std::string whole = MakeChm(1, 1, {{"PMGL", kNone, 1}, {"PMGL", 0, kNone}});
  for (std::size_t length = 0; length < whole.size(); ++length) {
    std::string part = whole.substr(0, length);
    EXPECT_FALSE(RepairChmBytes(part)) << length;
    EXPECT_EQ(part, whole.substr(0, length));
  }
}

}  // namespace
}  // namespace quillark
