#include "runtime/text.h"

#include <gtest/gtest.h>

#include <string>

namespace quillark::runtime {
namespace {

struct BoundedCase {
  std::string start;
  std::string added;
  std::size_t capacity;
  std::string expected;
};

class AppendBoundedTest : public ::testing::TestWithParam<BoundedCase> {};

TEST_P(AppendBoundedTest, KeepsAtMostCapacityLessOne) {
  std::string dst = GetParam().start;
  AppendBounded(dst, GetParam().added, GetParam().capacity);
  EXPECT_EQ(dst, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppendBoundedTest,
    ::testing::Values(BoundedCase{"", "abc", 0, ""}, BoundedCase{"", "abc", 1, ""},
                      BoundedCase{"", "abc", 2, "a"}, BoundedCase{"ab", "cde", 4, "abc"},
                      BoundedCase{"ab", "cde", 6, "abcde"}, BoundedCase{"ab", "cde", 100, "abcde"},
                      // Text already at the limit is left as it is.
                      BoundedCase{"abcdef", "x", 4, "abcdef"}));

TEST(CompareFold, UnderscoreSitsBetweenTheFoldedCases) {
  // "_" lies between "Z" and "a": upper folding puts letters first, lower after.
  EXPECT_LT(CompareFoldUpper("a", "_"), 0);
  EXPECT_GT(CompareFoldLower("a", "_"), 0);
  EXPECT_EQ(CompareFoldUpper("Topic", "TOPIC"), 0);
  EXPECT_EQ(CompareFoldLower("Topic", "tOPIC"), 0);
}

TEST(CompareFold, PrefixFirstAndHighBytesLast) {
  EXPECT_LT(CompareFoldLower("ab", "ABC"), 0);
  EXPECT_GT(CompareFoldUpper("abc", "AB"), 0);
  EXPECT_GT(CompareFoldLower("\xe9", "z"), 0);
  EXPECT_GT(CompareFoldUpper("\x80", "Z"), 0);
  // Only A-Z fold: accented bytes stay as they are.
  EXPECT_NE(CompareFoldLower("\xc9", "\xe9"), 0);
}

TEST(EqualsNoCase, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(EqualsNoCase("Intro_1", "INTRO_1"));
  EXPECT_FALSE(EqualsNoCase("Intro", "Intro "));
  EXPECT_FALSE(EqualsNoCase("\xc9", "\xe9"));
}

TEST(TrimControl, DropsControlBytesAndBlanksAtBothEnds) {
  EXPECT_EQ(TrimControl(std::string_view("\t \r\n a b\x01 \0", 12)), "a b");
  EXPECT_EQ(TrimControl("\xa0x\xa0"), "\xa0x\xa0");
  EXPECT_TRUE(IsBlank(" \t\r\n"));
  EXPECT_FALSE(IsBlank(" . "));
}

TEST(SanitizeIdent, EveryOtherByteBecomesUnderscore) {
  EXPECT_EQ(SanitizeIdent("2nd topic-\xe9!"), "2nd_topic___");
  EXPECT_EQ(SanitizeIdent("Plain_9"), "Plain_9");
  EXPECT_EQ(SanitizeIdent(""), "");
}

TEST(IsIdentifier, LetterOrUnderscoreFirst) {
  EXPECT_TRUE(IsIdentifier("_x1"));
  EXPECT_TRUE(IsIdentifier("Intro"));
  EXPECT_FALSE(IsIdentifier("2nd"));
  EXPECT_FALSE(IsIdentifier(""));
  EXPECT_FALSE(IsIdentifier("a-b"));
  EXPECT_FALSE(IsIdentifier("a\xe9"));
}

TEST(ReplaceAll, NonOverlappingAndCaseSensitive) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("Cat cat", "cat", "dog"), "Cat dog");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("a\\b\\c", "\\", "/"), "a/b/c");
}

}  // namespace
}  // namespace quillark::runtime
