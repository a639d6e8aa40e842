#include "chmwriter/byte_writer.h"

namespace quillark::chm {
namespace {

void AppendLittleEndian(std::string& out, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) {
    out.push_back(static_cast<char>(value & 0xFF));
    value >>= 8;
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// The number of `digits` hexadecimal digits at `text`, skipping dashes.
std::uint64_t HexNumber(std::string_view text, std::size_t& at, int digits) {
  std::uint64_t value = 0;
  while (digits > 0 && at < text.size()) {
    if (text[at] != '-') {
      value = (value << 4) | static_cast<std::uint64_t>(HexDigit(text[at]));
      --digits;
    }
    ++at;
  }
  return value;
}

}  // namespace

void AppendU16(std::string& out, std::uint16_t value) { AppendLittleEndian(out, value, 2); }
void AppendU32(std::string& out, std::uint32_t value) { AppendLittleEndian(out, value, 4); }
void AppendU64(std::string& out, std::uint64_t value) { AppendLittleEndian(out, value, 8); }

void PutU32(std::string& out, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i)
    out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutU16(std::string& out, std::size_t offset, std::uint16_t value) {
  out[offset] = static_cast<char>(value & 0xFF);
  out[offset + 1] = static_cast<char>(value >> 8);
}

std::size_t EncIntSize(std::uint64_t value) {
  std::size_t size = 1;
  while (value >= 0x80) {
    value >>= 7;
    ++size;
  }
  return size;
}

void AppendEncInt(std::string& out, std::uint64_t value) {
  for (std::size_t group = EncIntSize(value); group > 0; --group) {
    const auto bits = static_cast<unsigned>((value >> (7 * (group - 1))) & 0x7F);
    out.push_back(static_cast<char>(group > 1 ? (bits | 0x80) : bits));
  }
}

void AppendGuid(std::string& out, std::string_view text) {
  std::size_t at = 0;
  AppendU32(out, static_cast<std::uint32_t>(HexNumber(text, at, 8)));
  AppendU16(out, static_cast<std::uint16_t>(HexNumber(text, at, 4)));
  AppendU16(out, static_cast<std::uint16_t>(HexNumber(text, at, 4)));
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(HexNumber(text, at, 2)));
}

void AppendUtf16(std::string& out, std::string_view ascii) {
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
}

}  // namespace quillark::chm
