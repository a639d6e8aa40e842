// Sources made from the tag vocabulary with a fixed seed, for the randomized
// whole-run test: well-formed ones, whose every topic must reach the output,
// and hostile ones (cut-off tags, deep nesting, huge arguments, missing files,
// stray closing tags, binary bytes, odd line ends) that may fail but must fail
// cleanly.
#ifndef QUILLARK_TESTS_E2E_RANDOMIZED_RANDOM_SOURCE_H_
#define QUILLARK_TESTS_E2E_RANDOMIZED_RANDOM_SOURCE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace quillark::e2e {

// A small generator of our own (splitmix64), so that a seed gives the same
// sources with every compiler and standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  int Below(int n);                // 0 to n - 1; 0 when n <= 0
  int Between(int low, int high);  // low to high, both included
  bool OneIn(int n) { return Below(n) == 0; }
  bool Percent(int percent) { return Below(100) < percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
  }

 private:
  std::uint64_t state_;
};

// The seed of source `number` of a run seeded with `seed`.
std::uint64_t SourceSeed(std::uint64_t seed, int number);

// Which outputs must carry a word: a bit per format, in the order of kFormats.
enum FormatBit : unsigned { kHlpBit = 1, kRtfBit = 2, kChmBit = 4, kHtmlBit = 8 };
inline constexpr unsigned kAllWritten = kHlpBit | kRtfBit | kChmBit | kHtmlBit;

// A word placed in a well-formed source. Formats in `shown_in` must carry it
// (in the page of `page_key` for CHM and HTML, in the Rich Text file for HLP
// and RTF); every other format must carry it nowhere.
struct Marker {
  std::string word;
  std::string page_key;  // upper-case identifier form of its topic's name
  unsigned shown_in = kAllWritten;
};

struct SideFile {
  std::string path;  // relative to the source folder
  std::string bytes;
  bool directory = false;
};

struct GeneratedSource {
  std::string name = "book";  // the input name, without ".txt"
  std::string text;           // the bytes of the source
  std::vector<SideFile> files;
  bool well_formed = false;
  std::vector<Marker> markers;  // well-formed sources only
  std::string traits;           // what went into it, for messages
};

GeneratedSource GenerateSource(std::uint64_t source_seed);

// A 24-, 8-, 4- or 1-bit Windows bitmap, bottom-up.
std::string Bitmap(int width, int height, int bits, int shade);

}  // namespace quillark::e2e

#endif  // QUILLARK_TESTS_E2E_RANDOMIZED_RANDOM_SOURCE_H_
