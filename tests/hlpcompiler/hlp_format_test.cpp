#include "hlpcompiler/hlp_format.h"

#include <gtest/gtest.h>

#include <string>

namespace quillark::hlpc {
namespace {

struct HashCase {
  const char* context;
  std::uint32_t hash;
};

class ContextHashTest : public ::testing::TestWithParam<HashCase> {};

// The worked values of the format, one of them negative as a signed number.
TEST_P(ContextHashTest, MatchesWorkedValue) {
  EXPECT_EQ(ContextHash(GetParam().context), GetParam().hash) << GetParam().context;
}

INSTANTIATE_TEST_SUITE_P(
    WorkedValues, ContextHashTest,
    ::testing::Values(HashCase{"intro", 0x053D9A5C}, HashCase{"other", 0x067D891C},
                      HashCase{"topic_two", 0x402AAE0E}, HashCase{"pop.up", 0x1EDDD232},
                      HashCase{"Quillark.Overview", 0xB703CB68}, HashCase{"INTRO", 0x053D9A5C},
                      HashCase{"a0", 17 * 43 + 10}, HashCase{"in-tro", 0x053D9A5C}));

TEST(ContextHash, PortableContextsAreLettersDigitsDotAndUnderscore) {
  EXPECT_TRUE(IsPortableContext("TOPIC_2.a"));
  EXPECT_FALSE(IsPortableContext("in-tro"));
  EXPECT_FALSE(IsPortableContext(""));
}

struct CompressedCase {
  const char* name;
  std::string (*encode)(std::int64_t);
  std::int64_t value;
  std::string bytes;
};

std::string UShort(std::int64_t v) {
  std::string out;
  PutCompressedUShort(out, static_cast<std::uint32_t>(v));
  return out;
}
std::string SShort(std::int64_t v) {
  std::string out;
  PutCompressedSShort(out, static_cast<std::int32_t>(v));
  return out;
}
std::string ULong(std::int64_t v) {
  std::string out;
  PutCompressedULong(out, static_cast<std::uint32_t>(v));
  return out;
}
std::string SLong(std::int64_t v) {
  std::string out;
  PutCompressedSLong(out, static_cast<std::int32_t>(v));
  return out;
}

class CompressedTest : public ::testing::TestWithParam<CompressedCase> {};

TEST_P(CompressedTest, EncodesShortestForm) {
  EXPECT_EQ(GetParam().encode(GetParam().value), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CompressedTest,
    ::testing::Values(CompressedCase{"ushort_small", UShort, 25, std::string("\x32", 1)},
                      CompressedCase{"ushort_largest_small", UShort, 127, std::string("\xFE", 1)},
                      CompressedCase{"ushort_long", UShort, 128, std::string("\x01\x01", 2)},
                      CompressedCase{"ushort_clamped", UShort, 40000, std::string("\xFF\xFF", 2)},
                      CompressedCase{"sshort_zero", SShort, 0, std::string("\x80", 1)},
                      CompressedCase{"sshort_negative", SShort, -72, std::string("\x71\x7F", 2)},
                      CompressedCase{"sshort_small_negative", SShort, -64, std::string("\x00", 1)},
                      CompressedCase{"ulong_small", ULong, 96, std::string("\xC0\x00", 2)},
                      CompressedCase{"ulong_long", ULong, 32768,
                                     std::string("\x01\x00\x01\x00", 4)},
                      CompressedCase{"slong_topic_size", SLong, 17, std::string("\x22\x80", 2)},
                      CompressedCase{"slong_picture_size", SLong, 4, std::string("\x08\x80", 2)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillark::hlpc
