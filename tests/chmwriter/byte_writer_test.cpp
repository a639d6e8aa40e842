#include "chmwriter/byte_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace quillark::chm {
namespace {

using std::string_literals::operator""s;

struct EncIntCase {
  std::uint64_t value;
  std::string bytes;
};

TEST(AppendEncInt, SevenBitGroupsMostSignificantFirst) {
  const EncIntCase cases[] = {
      {0, std::string(1, '\0')},
      {127, "\x7F"},
      {128, std::string("\x81\x00", 2)},
      {300, "\x82\x2C"},
      {0x8000, std::string("\x82\x80\x00", 3)},
      {0xFFFFFFFF, "\x8F\xFF\xFF\xFF\x7F"},
  };
  for (const EncIntCase& c : cases) {
    std::string out;
    AppendEncInt(out, c.value);
    EXPECT_EQ(out, c.bytes) << c.value;
    EXPECT_EQ(EncIntSize(c.value), c.bytes.size()) << c.value;
  }
}

TEST(AppendGuid, StoresTheFirstThreeGroupsLittleEndian) {
  std::string out;
  AppendGuid(out, "7C01FD10-7BAA-11D0-9E0C-00A0C922E6EC");
  EXPECT_EQ(out, "\x10\xFD\x01\x7C\xAA\x7B\xD0\x11\x9E\x0C\x00\xA0\xC9\x22\xE6\xEC"s);
}

}  // namespace
}  // namespace quillark::chm
