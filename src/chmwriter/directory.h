// The directory of a compiled help file: every stored name with its section,
// offset and length, sorted and packed into 4 KiB listing chunks that are
// chained in order, with index chunks over them once there is more than one
// listing chunk (readers look names up only through the index).
#ifndef QUILLARK_CHMWRITER_DIRECTORY_H_
#define QUILLARK_CHMWRITER_DIRECTORY_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillark::chm {

inline constexpr std::size_t kChunkSize = 4096;
// Longer names are refused before they reach the directory, so that every
// entry fits a chunk many times over.
inline constexpr std::size_t kMaxNameLength = 255;
// The directory header that precedes the chunks.
inline constexpr std::size_t kDirectoryHeaderSize = 0x54;

struct DirectoryEntry {
  std::string name;  // "/WELCOME.html", "/#SYSTEM", "::DataSpace/NameList", "/" ...
  std::uint32_t section = 0;
  std::uint64_t offset = 0;  // within the section (section 1: the uncompressed stream)
  std::uint64_t length = 0;
};

// The ASCII letters in lower case; the form names are compared and sorted in.
std::string FoldName(std::string_view name);
// Directory order: byte by byte after folding, a prefix before its longer names.
bool NameLess(std::string_view a, std::string_view b);

struct Directory {
  // kChunkSize bytes per chunk: the listing chunks first, then the index
  // chunks level by level, the root last.
  std::string chunks;
  std::uint32_t listing_chunks = 0;
  std::uint32_t chunk_count = 0;
  std::uint32_t depth = 1;  // 1 + the number of index levels
  std::int32_t root = -1;   // the top index chunk, -1 without an index
};

// Sorts `entries` into directory order and packs them. Names must be unique
// after folding and at most kMaxNameLength bytes long.
Directory BuildDirectory(std::vector<DirectoryEntry> entries);

// The header that precedes the chunks (kDirectoryHeaderSize bytes).
std::string DirectoryHeader(const Directory& directory);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_DIRECTORY_H_
