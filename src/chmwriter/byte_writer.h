// The little-endian numbers and ENCINTs that every structure of a compiled
// help file is made of, appended to a byte buffer held in a std::string.
#ifndef QUILLARK_CHMWRITER_BYTE_WRITER_H_
#define QUILLARK_CHMWRITER_BYTE_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillark::chm {

void AppendU16(std::string& out, std::uint16_t value);
void AppendU32(std::string& out, std::uint32_t value);
void AppendU64(std::string& out, std::uint64_t value);

// Overwrites four bytes at `offset` (which must lie inside `out`).
void PutU32(std::string& out, std::size_t offset, std::uint32_t value);
void PutU16(std::string& out, std::size_t offset, std::uint16_t value);

// A variable-length number: 7-bit groups, most significant first, every byte
// but the last with its top bit set (0 -> 00, 128 -> 81 00).
void AppendEncInt(std::string& out, std::uint64_t value);
std::size_t EncIntSize(std::uint64_t value);

// A GUID in its stored form: u32, u16, u16 little-endian, then 8 bytes as
// written. `text` is "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" without braces.
void AppendGuid(std::string& out, std::string_view text);

// ASCII text as UTF-16LE code units, without a terminator.
void AppendUtf16(std::string& out, std::string_view ascii);

}  // namespace quillark::chm

#endif  // QUILLARK_CHMWRITER_BYTE_WRITER_H_
