#include "chmwriter/directory.h"

#include <algorithm>

#include "chmwriter/byte_writer.h"

namespace quillark::chm {
namespace {

constexpr std::size_t kListingHeaderSize = 0x14;
constexpr std::size_t kIndexHeaderSize = 0x08;
// Quick-reference density 2: every fifth entry of a chunk gets a word at the
// chunk's end giving its offset, for readers that search a chunk by halves.
constexpr std::uint32_t kQuickrefDensity = 2;
constexpr std::size_t kQuickrefSpacing = 1 + (1u << kQuickrefDensity);
constexpr std::uint32_t kNoChunk = 0xFFFFFFFF;
constexpr std::uint32_t kDirectoryLanguage = 0x0409;

std::size_t QuickrefWords(std::size_t entry_count) {
  return entry_count == 0 ? 0 : (entry_count - 1) / kQuickrefSpacing;
}

// How many of the encoded entries go into each chunk: an entry joins the
// current chunk only while the entries, the quick-reference words and the
// entry count still fit behind the header.
std::vector<std::size_t> SplitIntoChunks(const std::vector<std::string>& encoded,
                                         std::size_t header_size) {
  std::vector<std::size_t> counts;
  std::size_t used = 0;
  std::size_t count = 0;
  for (const std::string& entry : encoded) {
    const std::size_t needed = header_size + used + entry.size() + 2 + 2 * QuickrefWords(count + 1);
    if (count > 0 && needed > kChunkSize) {
      counts.push_back(count);
      used = 0;
      count = 0;
    }
    used += entry.size();
    ++count;
  }
  if (count > 0 || counts.empty()) counts.push_back(count);
  return counts;
}

// Completes a chunk that holds its header and entries: the length of what
// follows the entries, zeros, the quick-reference words stored backwards from
// the end, and the entry count in the last two bytes.
void FinishChunk(std::string& chunk, std::size_t header_size,
                 const std::vector<std::size_t>& entry_offsets) {
  PutU32(chunk, 4, static_cast<std::uint32_t>(kChunkSize - chunk.size()));
  chunk.resize(kChunkSize, '\0');
  for (std::size_t i = kQuickrefSpacing; i < entry_offsets.size(); i += kQuickrefSpacing) {
    PutU16(chunk, kChunkSize - 2 - 2 * (i / kQuickrefSpacing),
           static_cast<std::uint16_t>(entry_offsets[i] - header_size));
  }
  PutU16(chunk, kChunkSize - 2, static_cast<std::uint16_t>(entry_offsets.size()));
}

struct IndexEntry {
  std::string name;  // the first name of the chunk below
  std::uint32_t chunk = 0;
};

}  // namespace

std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool NameLess(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    auto fold = [](char c) {
      const auto byte = static_cast<unsigned char>(c);
      return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
    };
    if (fold(a[i]) != fold(b[i])) return fold(a[i]) < fold(b[i]);
  }
  return a.size() < b.size();
}

Directory BuildDirectory(std::vector<DirectoryEntry> entries) {
  std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
    return NameLess(a.name, b.name);
  });
  std::vector<std::string> encoded;
  encoded.reserve(entries.size());
  for (const DirectoryEntry& entry : entries) {
    std::string bytes;
    AppendEncInt(bytes, entry.name.size());
    bytes += entry.name;
    AppendEncInt(bytes, entry.section);
    AppendEncInt(bytes, entry.offset);
    AppendEncInt(bytes, entry.length);
    encoded.push_back(std::move(bytes));
  }

  Directory directory;
  const std::vector<std::size_t> counts = SplitIntoChunks(encoded, kListingHeaderSize);
  directory.listing_chunks = static_cast<std::uint32_t>(counts.size());
  std::vector<IndexEntry> level;
  std::size_t next_entry = 0;
  for (std::size_t number = 0; number < counts.size(); ++number) {
    std::string chunk = "PMGL";
    AppendU32(chunk, 0);  // the length after the entries, filled in last
    AppendU32(chunk, 0);
    AppendU32(chunk, number == 0 ? kNoChunk : static_cast<std::uint32_t>(number - 1));
    AppendU32(chunk,
              number + 1 == counts.size() ? kNoChunk : static_cast<std::uint32_t>(number + 1));
    std::vector<std::size_t> offsets;
    if (counts[number] > 0) {
      level.push_back({entries[next_entry].name, static_cast<std::uint32_t>(number)});
    }
    for (std::size_t i = 0; i < counts[number]; ++i, ++next_entry) {
      offsets.push_back(chunk.size());
      chunk += encoded[next_entry];
    }
    FinishChunk(chunk, kListingHeaderSize, offsets);
    directory.chunks += chunk;
  }

  // Each index level names the first entry of every chunk below it, until a
  // level fits one chunk: that chunk is the root.
  std::uint32_t chunk_number = directory.listing_chunks;
  while (level.size() > 1) {
    std::vector<std::string> index_encoded;
    for (const IndexEntry& entry : level) {
      std::string bytes;
      AppendEncInt(bytes, entry.name.size());
      bytes += entry.name;
      AppendEncInt(bytes, entry.chunk);
      index_encoded.push_back(std::move(bytes));
    }
    std::vector<IndexEntry> upper;
    std::size_t next = 0;
    for (std::size_t count : SplitIntoChunks(index_encoded, kIndexHeaderSize)) {
      upper.push_back({level[next].name, chunk_number++});
      std::string chunk = "PMGI";
      AppendU32(chunk, 0);
      std::vector<std::size_t> offsets;
      for (std::size_t i = 0; i < count; ++i, ++next) {
        offsets.push_back(chunk.size());
        chunk += index_encoded[next];
      }
      FinishChunk(chunk, kIndexHeaderSize, offsets);
      directory.chunks += chunk;
    }
    ++directory.depth;
    level = std::move(upper);
  }
  directory.chunk_count = chunk_number;
  if (directory.depth > 1) directory.root = static_cast<std::int32_t>(chunk_number - 1);
  return directory;
}

std::string DirectoryHeader(const Directory& directory) {
  std::string header = "ITSP";
  AppendU32(header, 1);  // version
  AppendU32(header, kDirectoryHeaderSize);
  AppendU32(header, 10);
  AppendU32(header, kChunkSize);
  AppendU32(header, kQuickrefDensity);
  AppendU32(header, directory.depth);
  AppendU32(header, static_cast<std::uint32_t>(directory.root));
  // The listing chunks come first, so the chain starts at chunk 0.
  AppendU32(header, 0);
  AppendU32(header, directory.listing_chunks - 1);
  AppendU32(header, kNoChunk);
  AppendU32(header, directory.chunk_count);
  AppendU32(header, kDirectoryLanguage);
  AppendGuid(header, "5D02926A-212E-11D0-9DF9-00A0C922E6EC");
  AppendU32(header, kDirectoryHeaderSize);
  AppendU32(header, kNoChunk);
  AppendU32(header, kNoChunk);
  AppendU32(header, kNoChunk);
  return header;
}

}  // namespace quillark::chm
