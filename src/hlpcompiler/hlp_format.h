// The small encodings every part of a help file shares: little-endian fields,
// the compressed integers of topic records and pictures, and the hash that
// names a topic by its context string.
#ifndef QUILLARK_HLPCOMPILER_HLP_FORMAT_H_
#define QUILLARK_HLPCOMPILER_HLP_FORMAT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace quillark::hlpc {

// Appends little-endian fields to a byte buffer.
void PutU8(std::string& out, std::uint32_t value);
void PutU16(std::string& out, std::uint32_t value);
void PutU32(std::string& out, std::uint32_t value);
// Writes a u32 over four bytes already in the buffer.
void SetU32(std::string& out, std::size_t offset, std::uint32_t value);
// A zero-terminated copy of `text`.
void PutStringZ(std::string& out, std::string_view text);

// Compressed integers: one or two bytes (shorts), two or four bytes (longs);
// bit 0 of the first byte tells readers which form follows. Values outside a
// form's range are clamped to it, so a caller never writes a torn number.
void PutCompressedUShort(std::string& out, std::uint32_t value);  // 0..32767
void PutCompressedSShort(std::string& out, std::int32_t value);   // -16384..16383
void PutCompressedULong(std::string& out, std::uint32_t value);   // 0..2^31-1
// Only the two-byte form is written (-16384..16383): its long form is read in
// two different ways by the viewers.
void PutCompressedSLong(std::string& out, std::int32_t value);

// The hash under which a context string is stored and jumped to. Letters
// count case-insensitively; characters outside letters, digits, "." and "_"
// add nothing, as the viewers skip them too.
std::uint32_t ContextHash(std::string_view context);
// True when every character is a letter, a digit, "." or "_" (and there is one).
bool IsPortableContext(std::string_view context);

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_HLP_FORMAT_H_
