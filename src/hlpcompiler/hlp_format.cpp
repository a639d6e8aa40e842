#include "hlpcompiler/hlp_format.h"

#include <algorithm>

namespace quillark::hlpc {

void PutU8(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
}

void PutU16(std::string& out, std::uint32_t value) {
  PutU8(out, value);
  PutU8(out, value >> 8);
}

void PutU32(std::string& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

void SetU32(std::string& out, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutStringZ(std::string& out, std::string_view text) {
  out.append(text);
  out.push_back('\0');
}

void PutCompressedUShort(std::string& out, std::uint32_t value) {
  value = std::min<std::uint32_t>(value, 32767);
  if (value < 128) {
    PutU8(out, value * 2);
  } else {
    PutU16(out, value * 2 + 1);
  }
}

void PutCompressedSShort(std::string& out, std::int32_t value) {
  value = std::clamp<std::int32_t>(value, -16384, 16383);
  if (value >= -64 && value <= 63) {
    PutU8(out, static_cast<std::uint32_t>(value + 64) * 2);
  } else {
    PutU16(out, static_cast<std::uint32_t>(value + 16384) * 2 + 1);
  }
}

void PutCompressedULong(std::string& out, std::uint32_t value) {
  value = std::min<std::uint32_t>(value, 0x7FFFFFFF);
  if (value <= 32767) {
    PutU16(out, value * 2);
  } else {
    PutU32(out, value * 2 + 1);
  }
}

void PutCompressedSLong(std::string& out, std::int32_t value) {
  value = std::clamp<std::int32_t>(value, -16384, 16383);
  PutU16(out, static_cast<std::uint32_t>(value + 16384) * 2);
}

namespace {

// The value a character adds to the hash; 0 for one that adds nothing.
std::uint32_t HashValue(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<std::uint32_t>(c - 'A') + 17;
  if (c >= 'a' && c <= 'z') return static_cast<std::uint32_t>(c - 'a') + 17;
  if (c >= '1' && c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c == '0') return 10;
  if (c == '.') return 12;
  if (c == '_') return 13;
  return 0;
}

}  // namespace

std::uint32_t ContextHash(std::string_view context) {
  std::uint32_t hash = 0;
  for (char c : context) {
    const std::uint32_t value = HashValue(c);
    if (value != 0) hash = hash * 43 + value;
  }
  return hash;
}

bool IsPortableContext(std::string_view context) {
  return !context.empty() &&
         std::all_of(context.begin(), context.end(), [](char c) { return HashValue(c) != 0; });
}

}  // namespace quillark::hlpc
