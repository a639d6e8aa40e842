#include "helpwriter/chm_repair.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/files.h"

namespace quillark {
namespace {

// The file header: signature "ITSF", its own length at 8, and the place and
// length of the directory section at 0x48 and 0x50.
constexpr std::string_view kFileSignature = "ITSF";
constexpr std::size_t kFileHeaderLengthField = 0x08;
constexpr std::size_t kDirectoryOffsetField = 0x48;
constexpr std::size_t kDirectoryLengthField = 0x50;
constexpr std::uint64_t kFileHeaderMinimum = 0x58;

// The directory header at the start of the directory section: signature
// "ITSP", its own length (the chunks follow it), the chunk size, the first and
// last listing chunk and the number of chunks.
constexpr std::string_view kDirectorySignature = "ITSP";
constexpr std::size_t kDirectoryHeaderLengthField = 0x08;
constexpr std::size_t kChunkSizeField = 0x10;
constexpr std::size_t kFirstListingField = 0x20;
constexpr std::size_t kLastListingField = 0x24;
constexpr std::size_t kChunkCountField = 0x2C;
constexpr std::uint64_t kDirectoryHeaderMinimum = 0x30;

// A listing chunk: signature "PMGL", then the numbers of the previous and the
// next listing chunk, -1 at either end of the chain. Index chunks carry
// another signature and are not part of the chain.
constexpr std::string_view kListingSignature = "PMGL";
constexpr std::size_t kPreviousChunkField = 0x0C;
constexpr std::size_t kNextChunkField = 0x10;
constexpr std::uint64_t kListingHeaderLength = 0x14;

constexpr std::uint64_t kNoChunk = 0xFFFFFFFF;

struct FieldFix {
  std::size_t offset;  // from the start of the file
  std::uint32_t value;
};

// A little-endian number of `width` bytes, or nothing when it lies outside.
std::optional<std::uint64_t> ReadNumber(std::string_view bytes, std::uint64_t offset,
                                        std::size_t width) {
  if (offset > bytes.size() || width > bytes.size() - offset) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = width; i > 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i - 1]);
  }
  return value;
}

bool HasSignature(std::string_view bytes, std::string_view signature) {
  return bytes.substr(0, signature.size()) == signature;
}

// The fields of the directory header that disagree with the chain of listing
// chunks; nothing when the file does not read as a well-formed directory with
// exactly one chain running through every listing chunk.
std::vector<FieldFix> ListingFixes(std::string_view bytes) {
  if (!HasSignature(bytes, kFileSignature)) return {};
  const auto file_header_length = ReadNumber(bytes, kFileHeaderLengthField, 4);
  const auto directory_offset = ReadNumber(bytes, kDirectoryOffsetField, 8);
  const auto directory_length = ReadNumber(bytes, kDirectoryLengthField, 8);
  if (!file_header_length || !directory_offset || !directory_length ||
      *file_header_length < kFileHeaderMinimum || *directory_offset > bytes.size() ||
      *directory_length > bytes.size() - *directory_offset) {
    return {};
  }
  const std::string_view directory = bytes.substr(*directory_offset, *directory_length);
  if (!HasSignature(directory, kDirectorySignature)) return {};
  const auto header_length = ReadNumber(directory, kDirectoryHeaderLengthField, 4);
  const auto chunk_size = ReadNumber(directory, kChunkSizeField, 4);
  const auto first = ReadNumber(directory, kFirstListingField, 4);
  const auto last = ReadNumber(directory, kLastListingField, 4);
  const auto chunk_count = ReadNumber(directory, kChunkCountField, 4);
  if (!header_length || !chunk_size || !first || !last || !chunk_count ||
      *header_length < kDirectoryHeaderMinimum || *header_length > directory.size() ||
      *chunk_size < kListingHeaderLength) {
    return {};
  }
  const std::uint64_t room = directory.size() - *header_length;
  if (*chunk_count == 0 || *chunk_size > room || *chunk_count > room / *chunk_size) return {};

  // Every chunk lies inside the directory section from here on.
  auto chunk = [&](std::uint64_t number) {
    return directory.substr(*header_length + number * *chunk_size, *chunk_size);
  };
  auto is_listing = [&](std::uint64_t number) {
    return HasSignature(chunk(number), kListingSignature);
  };

  // The chain starts at the one listing chunk without a predecessor.
  std::optional<std::uint64_t> head;
  std::uint64_t listing_chunks = 0;
  for (std::uint64_t number = 0; number < *chunk_count; ++number) {
    if (!is_listing(number)) continue;
    ++listing_chunks;
    if (ReadNumber(chunk(number), kPreviousChunkField, 4) != kNoChunk) continue;
    if (head) return {};
    head = number;
  }
  if (!head) return {};

  // Follow it to its end; each link must point back and no chunk may repeat.
  std::vector<bool> visited(*chunk_count, false);
  std::uint64_t current = *head;
  std::uint64_t previous = kNoChunk;
  std::uint64_t walked = 0;
  while (true) {
    if (current >= *chunk_count || visited[current] || !is_listing(current) ||
        ReadNumber(chunk(current), kPreviousChunkField, 4) != previous) {
      return {};
    }
    visited[current] = true;
    ++walked;
    const auto next = ReadNumber(chunk(current), kNextChunkField, 4);
    if (!next) return {};
    if (*next == kNoChunk) break;
    previous = current;
    current = *next;
  }
  if (walked != listing_chunks) return {};

  std::vector<FieldFix> fixes;
  if (*first != *head) {
    fixes.push_back({static_cast<std::size_t>(*directory_offset + kFirstListingField),
                     static_cast<std::uint32_t>(*head)});
  }
  if (*last != current) {
    fixes.push_back({static_cast<std::size_t>(*directory_offset + kLastListingField),
                     static_cast<std::uint32_t>(current)});
  }
  return fixes;
}

std::string LittleEndian(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (char& byte : bytes) {
    byte = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
  return bytes;
}

}  // namespace

bool RepairChmBytes(std::string& bytes) {
  const std::vector<FieldFix> fixes = ListingFixes(bytes);
  for (const FieldFix& fix : fixes) bytes.replace(fix.offset, 4, LittleEndian(fix.value));
  return !fixes.empty();
}

bool RepairChmFile(const std::string& path) {
  const std::optional<std::string> bytes = runtime::ReadWholeFile(path);
  if (!bytes) return false;
  const std::vector<FieldFix> fixes = ListingFixes(*bytes);
  if (fixes.empty()) return false;
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  for (const FieldFix& fix : fixes) {
    const std::string value = LittleEndian(fix.value);
    file.seekp(static_cast<std::streamoff>(fix.offset));
    file.write(value.data(), static_cast<std::streamsize>(value.size()));
  }
  file.close();
  return !file.fail();
}

}  // namespace quillark
