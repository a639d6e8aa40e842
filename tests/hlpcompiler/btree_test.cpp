#include "hlpcompiler/btree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "hlpcompiler/hlp_format.h"
#include "hlpcompiler/help_file_walker.h"

namespace quillark::hlpc {
namespace {

using testing::WalkTree;

std::vector<BtreeEntry> HashEntries(int count) {
  std::vector<BtreeEntry> entries;
  for (int i = 0; i < count; ++i) {
    BtreeEntry entry;
    PutU32(entry.key, ContextHash("TOPIC_" + std::to_string(i)));
    PutU32(entry.value, static_cast<std::uint32_t>(i));
    entries.push_back(entry);
  }
  std::sort(entries.begin(), entries.end(), [](const BtreeEntry& a, const BtreeEntry& b) {
    auto signed_key = [](const std::string& k) {
      return static_cast<std::int32_t>(
          static_cast<std::uint8_t>(k[0]) | static_cast<std::uint8_t>(k[1]) << 8 |
          static_cast<std::uint8_t>(k[2]) << 16 |
          static_cast<std::uint32_t>(static_cast<std::uint8_t>(k[3])) << 24);
    };
    return signed_key(a.key) < signed_key(b.key);
  });
  return entries;
}

struct TreeCase {
  const char* name;
  int entries;
  std::uint16_t page_size;
  int levels;
};

class ContextTreeTest : public ::testing::TestWithParam<TreeCase> {};

// Every entry is on a leaf in order and is found again from the root.
TEST_P(ContextTreeTest, EveryKeyIsFoundFromTheRoot) {
  const TreeCase& c = GetParam();
  const std::vector<BtreeEntry> entries = HashEntries(c.entries);
  const BtreeImage image = BuildBtree({0x0002, c.page_size, "L4"}, entries);
  const testing::TreeWalk walk = WalkTree(image.bytes, 4, 4);
  EXPECT_TRUE(walk.errors.empty()) << walk.errors.front();
  EXPECT_EQ(walk.levels, c.levels);
  EXPECT_EQ(image.levels, c.levels);
  ASSERT_EQ(walk.leaf_keys.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(walk.leaf_keys[i], entries[i].key);
  EXPECT_TRUE(walk.every_key_found);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ContextTreeTest,
                         ::testing::Values(TreeCase{"empty", 0, 0x800, 1},
                                           TreeCase{"one_leaf", 255, 0x800, 1},
                                           TreeCase{"two_leaves", 256, 0x800, 2},
                                           TreeCase{"thousands", 3000, 0x800, 2},
                                           TreeCase{"three_levels", 400, 64, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Btree, OneLeafHeaderFieldsAndLinks) {
  const BtreeImage image = BuildBtree({0x0002, 0x800, "L4"}, HashEntries(2));
  const std::string& b = image.bytes;
  ASSERT_EQ(b.size(), 38u + 0x800);
  EXPECT_EQ(b.substr(0, 6), std::string("\x3B\x29\x02\x00\x00\x08", 6));
  EXPECT_EQ(b.substr(6, 3), std::string("L4\0", 3));
  // splits 0, root 0, -1, one page, one level, two entries
  EXPECT_EQ(b.substr(24, 14), std::string("\0\0\0\0\xFF\xFF\x01\0\x01\0\x02\0\0\0", 14));
  // leaf: 2024 bytes free, two entries, no neighbours
  EXPECT_EQ(b.substr(38, 8), std::string("\xE8\x07\x02\x00\xFF\xFF\xFF\xFF", 8));
}

// A directory with more pictures than one 1 KB page holds.
TEST(Btree, DirectoryOfManyPicturesNeedsAnIndex) {
  std::vector<BtreeEntry> entries;
  for (int i = 0; i < 120; ++i) {
    BtreeEntry entry;
    PutStringZ(entry.key, "|bm" + std::to_string(i));
    PutU32(entry.value, static_cast<std::uint32_t>(i * 100));
    entries.push_back(entry);
  }
  std::sort(entries.begin(), entries.end(),
            [](const BtreeEntry& a, const BtreeEntry& b) { return a.key < b.key; });
  const BtreeImage image = BuildBtree({0x0402, 0x400, "z4"}, entries);
  const testing::TreeWalk walk = WalkTree(image.bytes, 0, 4);
  EXPECT_TRUE(walk.errors.empty());
  EXPECT_EQ(walk.levels, 2);
  EXPECT_EQ(walk.leaf_keys.size(), 120u);
  EXPECT_TRUE(walk.every_key_found);
  ASSERT_GE(image.leaves.size(), 2u);
  EXPECT_EQ(image.leaves[1].first_entry, image.leaves[0].count);
}

}  // namespace
}  // namespace quillark::hlpc
