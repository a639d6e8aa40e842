#include "chmwriter/directory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quillark::chm {
namespace {

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}
std::uint16_t U16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}
std::uint64_t EncInt(const std::string& bytes, std::size_t& at) {
  std::uint64_t value = 0;
  while (static_cast<unsigned char>(bytes[at]) & 0x80) {
    value = (value << 7) | (static_cast<unsigned char>(bytes[at++]) & 0x7F);
  }
  return (value << 7) | static_cast<unsigned char>(bytes[at++]);
}

struct ReadEntry {
  std::string name;
  std::uint64_t number;  // the length (listing) or chunk number (index)
};

// Reads a chunk the way readers do: the entries end where the length after
// them says; the count word and every quick-reference word must agree.
std::vector<ReadEntry> ReadChunk(const std::string& chunk, bool listing) {
  const std::size_t header = listing ? 0x14 : 0x08;
  const std::size_t end = kChunkSize - U32(chunk, 4);
  std::vector<ReadEntry> entries;
  std::vector<std::size_t> starts;
  for (std::size_t at = header; at < end;) {
    starts.push_back(at - header);
    const std::uint64_t length = EncInt(chunk, at);
    ReadEntry entry{chunk.substr(at, length), 0};
    at += length;
    if (listing) {
      EXPECT_LE(EncInt(chunk, at), 1u);
      EncInt(chunk, at);  // offset
    }
    entry.number = EncInt(chunk, at);
    EXPECT_LE(at, end);
    entries.push_back(entry);
  }
  EXPECT_EQ(U16(chunk, kChunkSize - 2), entries.size());
  for (std::size_t i = 5; i < starts.size(); i += 5) {
    EXPECT_EQ(U16(chunk, kChunkSize - 2 - 2 * (i / 5)), starts[i]) << "quickref of entry " << i;
  }
  // Nothing but zeros lies between the entries and the quick-reference area.
  const std::size_t quickref =
      kChunkSize - 2 - 2 * (entries.empty() ? 0 : (entries.size() - 1) / 5);
  EXPECT_EQ(chunk.find_first_not_of('\0', end),
            std::min(quickref, chunk.find_first_not_of('\0', end)));
  return entries;
}

std::vector<DirectoryEntry> Entries(int count, std::size_t name_length) {
  std::vector<DirectoryEntry> entries;
  for (int i = count - 1; i >= 0; --i) {  // backwards: the builder sorts
    std::string name = "/PAGE_" + std::to_string(100000 + i);
    name.resize(name_length, 'x');
    entries.push_back(
        {name, 1, static_cast<std::uint64_t>(i) * 1000, static_cast<std::uint64_t>(i)});
  }
  return entries;
}

struct Shape {
  int entries;
  std::size_t name_length;
  std::uint32_t listing_chunks, chunk_count, depth;
};

class BuildDirectoryShape : public testing::TestWithParam<Shape> {};

// Every entry comes back once, in order, through the chain of listing
// chunks; each index level names the first entry of every chunk below it.
TEST_P(BuildDirectoryShape, ChainsListingChunksAndIndexesThem) {
  const Shape& shape = GetParam();
  const Directory directory = BuildDirectory(Entries(shape.entries, shape.name_length));
  EXPECT_EQ(directory.listing_chunks, shape.listing_chunks);
  EXPECT_EQ(directory.chunk_count, shape.chunk_count);
  EXPECT_EQ(directory.depth, shape.depth);
  EXPECT_EQ(directory.root,
            shape.depth == 1 ? -1 : static_cast<std::int32_t>(shape.chunk_count - 1));
  ASSERT_EQ(directory.chunks.size(), shape.chunk_count * kChunkSize);
  auto chunk = [&](std::size_t n) { return directory.chunks.substr(n * kChunkSize, kChunkSize); };

  std::vector<ReadEntry> firsts;  // the first entry of each chunk of the level below
  std::vector<std::uint64_t> lengths;
  for (std::uint32_t n = 0; n < directory.listing_chunks; ++n) {
    ASSERT_EQ(chunk(n).substr(0, 4), "PMGL");
    EXPECT_EQ(U32(chunk(n), 0x0C), n == 0 ? 0xFFFFFFFF : n - 1);
    EXPECT_EQ(U32(chunk(n), 0x10), n + 1 == directory.listing_chunks ? 0xFFFFFFFF : n + 1);
    const std::vector<ReadEntry> entries = ReadChunk(chunk(n), true);
    firsts.push_back({entries.front().name, n});
    for (const ReadEntry& entry : entries) lengths.push_back(entry.number);
  }
  ASSERT_EQ(lengths.size(), static_cast<std::size_t>(shape.entries));
  for (std::size_t i = 0; i < lengths.size(); ++i) EXPECT_EQ(lengths[i], i);

  std::uint32_t n = directory.listing_chunks;
  for (std::uint32_t level = 1; level < directory.depth; ++level) {
    std::vector<ReadEntry> named;
    std::vector<ReadEntry> upper;
    while (named.size() < firsts.size()) {
      ASSERT_LT(n, directory.chunk_count);
      ASSERT_EQ(chunk(n).substr(0, 4), "PMGI");
      const std::vector<ReadEntry> entries = ReadChunk(chunk(n), false);
      upper.push_back({entries.front().name, n++});
      named.insert(named.end(), entries.begin(), entries.end());
    }
    ASSERT_EQ(named.size(), firsts.size());
    for (std::size_t i = 0; i < named.size(); ++i) {
      EXPECT_EQ(named[i].name, firsts[i].name);
      EXPECT_EQ(named[i].number, firsts[i].number);
    }
    firsts = upper;
  }
  EXPECT_EQ(n, directory.chunk_count);
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, BuildDirectoryShape,
    testing::Values(Shape{1, 12, 1, 1, 1},         // one listing chunk, no index
                    Shape{150, 12, 1, 1, 1},       // still one
                    Shape{250, 12, 2, 3, 2},       // two listing chunks and the first index chunk
                    Shape{2027, 30, 19, 20, 2},    // the size of a 1000-topic project
                    Shape{8000, 200, 422, 447, 4}  // index chunks indexed in turn
                    ),
    [](const auto& info) { return std::to_string(info.param.entries) + "Entries"; });

// An entry joins a chunk only while it, the quick-reference words and the
// count still fit. Forty 97-byte entries (1-byte length, 93 name bytes,
// section, offset, length) take 3880 bytes and 41 entries 8 quick-reference
// words: a last entry of 178 bytes fills the chunk exactly, one more byte
// starts a second chunk.
TEST(BuildDirectory, FillsAChunkToTheLastByte) {
  auto make = [](std::size_t last_name_length) {
    std::vector<DirectoryEntry> entries;
    for (int i = 0; i < 40; ++i) {
      std::string name = "/" + std::to_string(10 + i);
      name.resize(93, 'x');
      entries.push_back({name, 0, 0, 0});
    }
    entries.push_back({"/z" + std::string(last_name_length - 2, 'x'), 0, 0, 0});
    return entries;
  };
  EXPECT_EQ(BuildDirectory(make(173)).listing_chunks, 1u);
  EXPECT_EQ(BuildDirectory(make(174)).listing_chunks, 2u);
}

// Readers walk the listing chunks from the first one the header names and
// look names up from its root.
TEST(DirectoryHeader, NamesTheChainAndTheRoot) {
  const std::string header = DirectoryHeader(BuildDirectory(Entries(250, 12)));
  ASSERT_EQ(header.size(), kDirectoryHeaderSize);
  EXPECT_EQ(header.substr(0, 4), "ITSP");
  const std::uint32_t expected[][2] = {{0x04, 1}, {0x08, 0x54}, {0x10, 4096},      {0x14, 2},
                                       {0x18, 2}, {0x1C, 2},    {0x20, 0},         {0x24, 1},
                                       {0x2C, 3}, {0x44, 0x54}, {0x48, 0xFFFFFFFF}};
  for (const auto& [at, value] : expected) EXPECT_EQ(U32(header, at), value) << at;
  EXPECT_EQ(U32(DirectoryHeader(BuildDirectory(Entries(3, 12))), 0x1C), 0xFFFFFFFF);
}

TEST(NameLess, FoldsAsciiLettersAndPutsPrefixesFirst) {
  const char* sorted[] = {
      "/",       "/#ITBITS",  "/#SYSTEM", "/_example.html", "/a.html",
      "/B.html", "/b.html.x", "/images/", "/images/q.png",  "::DataSpace/NameList"};
  for (std::size_t i = 0; i + 1 < std::size(sorted); ++i) {
    EXPECT_TRUE(NameLess(sorted[i], sorted[i + 1])) << sorted[i] << " < " << sorted[i + 1];
    EXPECT_FALSE(NameLess(sorted[i + 1], sorted[i])) << sorted[i + 1] << " < " << sorted[i];
  }
  EXPECT_FALSE(NameLess("/A.html", "/a.html"));
}

}  // namespace
}  // namespace quillark::chm
