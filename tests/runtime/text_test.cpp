#include "runtime/text.h"

#include <gtest/gtest.h>

#include <string>

namespace quillark::runtime {
namespace {

TEST(AppendBounded, KeepsAtMostCapacityLessOne) {
  auto append = [](std::string dst, std::size_t capacity) {
    AppendBounded(dst, "cde", capacity);
    return dst;
  };
  EXPECT_EQ(append("", 0), "");
  EXPECT_EQ(append("", 1), "");
  EXPECT_EQ(append("ab", 4), "abc");
  EXPECT_EQ(append("ab", 6), "abcde");
  EXPECT_EQ(append("abcdef", 4), "abcdef");  // already past the limit: left alone
}

TEST(CompareFold, UnderscoreSitsBetweenTheFoldedCases) {
  // "_" lies between "Z" and "a": upper folding puts letters first, lower after.
  EXPECT_LT(CompareFoldUpper("a", "_"), 0);
  EXPECT_GT(CompareFoldLower("a", "_"), 0);
  EXPECT_EQ(CompareFoldUpper("Topic", "TOPIC"), 0);
  EXPECT_LT(CompareFoldLower("ab", "ABC"), 0);
  EXPECT_GT(CompareFoldLower("\xe9", "z"), 0);  // bytes compare unsigned
  EXPECT_FALSE(EqualsNoCase("\xc9", "\xe9"));   // only A-Z fold
}

TEST(Text, TrimSanitizeIdentifyReplace) {
  EXPECT_EQ(TrimControl(std::string_view("\t \r\n a b\x01 \0", 12)), "a b");
  EXPECT_EQ(TrimControl("\xa0x\xa0"), "\xa0x\xa0");
  EXPECT_EQ(SanitizeIdent("2nd topic-\xe9!"), "2nd_topic___");
  EXPECT_TRUE(IsIdentifier("_x1"));
  EXPECT_FALSE(IsIdentifier("2nd"));
  EXPECT_FALSE(IsIdentifier("a\xe9"));
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

}  // namespace
}  // namespace quillark::runtime
