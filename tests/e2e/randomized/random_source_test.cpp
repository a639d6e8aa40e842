// The source generator: the same seed gives the same bytes, and a
// well-formed source keeps the promises its markers make.
#include "e2e/randomized/random_source.h"

#include <set>
#include <string>

#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

TEST(RandomSource, SameSeedSameSource) {
  for (int number = 0; number < 40; ++number) {
    const GeneratedSource a = GenerateSource(SourceSeed(7, number));
    const GeneratedSource b = GenerateSource(SourceSeed(7, number));
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.traits, b.traits);
    ASSERT_EQ(a.files.size(), b.files.size());
    for (std::size_t i = 0; i < a.files.size(); ++i) EXPECT_EQ(a.files[i].bytes, b.files[i].bytes);
  }
  EXPECT_NE(GenerateSource(SourceSeed(7, 0)).text, GenerateSource(SourceSeed(8, 0)).text);
}

TEST(RandomSource, RandomStaysInRange) {
  Random rng(3);
  for (int i = 0; i < 1000; ++i) {
    const int value = rng.Between(-2, 5);
    EXPECT_GE(value, -2);
    EXPECT_LE(value, 5);
  }
  EXPECT_EQ(rng.Below(0), 0);
}

// Every marker word is in the source or a file beside it, once per place it
// is promised, and no source is empty (an empty one is refused, not compiled).
TEST(RandomSource, MarkersAreInTheInputs) {
  int well_formed = 0;
  int hostile = 0;
  for (int number = 0; number < 200; ++number) {
    const GeneratedSource source = GenerateSource(SourceSeed(1, number));
    EXPECT_FALSE(source.text.empty());
    if (!source.well_formed) {
      ++hostile;
      EXPECT_TRUE(source.markers.empty());
      continue;
    }
    ++well_formed;
    std::string inputs = source.text;
    for (const SideFile& file : source.files) inputs += file.bytes;
    std::set<std::string> words;
    for (const Marker& marker : source.markers) {
      EXPECT_NE(inputs.find(marker.word), std::string::npos) << marker.word;
      words.insert(marker.word);
    }
    EXPECT_GE(words.size(), 2u);
  }
  EXPECT_GT(well_formed, 20);
  EXPECT_GT(hostile, 100);
}

TEST(RandomSource, BitmapHeaderTellsItsSize) {
  for (int bits : {1, 4, 8, 24}) {
    const std::string bitmap = Bitmap(13, 7, bits, 5);
    ASSERT_GT(bitmap.size(), 54u);
    EXPECT_EQ(bitmap.substr(0, 2), "BM");
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bitmap[i]); };
    const std::size_t size = byte(2) | byte(3) << 8 | byte(4) << 16 | byte(5) << 24;
    EXPECT_EQ(size, bitmap.size());
    const std::size_t row = (13 * bits + 31) / 32 * 4;
    const std::size_t offset = byte(10) | byte(11) << 8;
    EXPECT_EQ(bitmap.size() - offset, row * 7);
  }
}

}  // namespace
}  // namespace quillark::e2e
