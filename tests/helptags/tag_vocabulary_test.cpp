#include "helptags/tag_vocabulary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace quillark {
namespace {

using namespace std::string_literals;

std::size_t IndexOf(std::string_view tag) {
  return static_cast<std::size_t>(std::find(kTagTable.begin(), kTagTable.end(), tag) -
                                  kTagTable.begin());
}

TEST(TagTable, Holds78DistinctLowerCaseTagsInOrder) {
  std::set<std::string_view> distinct(kTagTable.begin(), kTagTable.end());
  EXPECT_EQ(distinct.size(), 78u);
  std::size_t longest = 0;
  for (std::string_view tag : kTagTable) {
    ASSERT_GE(tag.size(), 3u);
    EXPECT_EQ(tag.front(), '<') << tag;
    EXPECT_EQ(tag.back(), '>') << tag;
    EXPECT_EQ(tag.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ \t"), std::string_view::npos) << tag;
    longest = std::max(longest, tag.size());
  }
  EXPECT_EQ(longest, 20u);
  // Recognition order.
  EXPECT_EQ(kTagTable.front(), "<blob/>");
  EXPECT_EQ(kTagTable[3], "<clr_none/>");
  EXPECT_EQ(kTagTable[19], "<clr_white/>");
  EXPECT_EQ(IndexOf("<code>"), 20u);
  EXPECT_EQ(IndexOf("<head1>"), 31u);
  EXPECT_EQ(IndexOf("<null/>"), 58u);
  EXPECT_EQ(IndexOf("<popup>"), 62u);
  EXPECT_EQ(IndexOf("<popup_include>"), 64u);
  EXPECT_EQ(kTagTable.back(), "</underline>");
}

struct TagAtCase {
  std::string line;
  std::size_t position;
  std::string_view expected;
};

class TagAtTest : public ::testing::TestWithParam<TagAtCase> {};

TEST_P(TagAtTest, RecognisesExactLowerCaseTags) {
  const TagAtCase& c = GetParam();
  EXPECT_EQ(TagAt(c.line, c.position), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TagAtTest,
    ::testing::Values(TagAtCase{"<popup_include>x</popup_include>", 0, "<popup_include>"},
                      TagAtCase{"<popup_include>x</popup_include>", 16, "</popup_include>"},
                      TagAtCase{"<popup>Name</popup>", 0, "<popup>"},
                      TagAtCase{"text <bold>word", 5, "<bold>"},
                      TagAtCase{"text <bold>word", 4, ""}, TagAtCase{"<Topic>Name</Topic>", 0, ""},
                      TagAtCase{"< topic>", 0, ""}, TagAtCase{"<topic >", 0, ""},
                      TagAtCase{"a < b", 2, ""}, TagAtCase{"<div>", 0, ""},
                      TagAtCase{"<bold", 0, ""}, TagAtCase{"<bold>", 6, ""},
                      TagAtCase{"<bold>", 600, ""}, TagAtCase{"<bo\0ld>"s, 0, ""},
                      TagAtCase{"x\0<bold>"s, 2, ""}, TagAtCase{"<bold>\0"s, 0, "<bold>"}));

TEST(TagEndingAt, RecognisesTheTagEndingAtAPosition) {
  std::string line = "ab</popup_include><page/>";
  EXPECT_EQ(TagEndingAt(line, 17), "</popup_include>");
  EXPECT_EQ(TagEndingAt(line, 24), "<page/>");
  EXPECT_EQ(TagEndingAt(line, 16), "");
  EXPECT_EQ(TagEndingAt("bold>", 4), "");
  EXPECT_EQ(TagEndingAt("<bold>", 99), "");
  EXPECT_EQ(TagEndingAt("x\0<bold>"s, 7), "");
}

class HeadingLevelTest : public ::testing::TestWithParam<std::pair<std::string_view, int>> {};

TEST_P(HeadingLevelTest, GivesTheLevel) {
  EXPECT_EQ(HeadingLevelOf(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Tags, HeadingLevelTest,
                         ::testing::Values(std::pair{"<head1>", 1}, std::pair{"</head4>", 4},
                                           std::pair{"<head6>", 6}, std::pair{"<head7>", 0},
                                           std::pair{"<head0>", 0}, std::pair{"<head1", 0},
                                           std::pair{"<head12>", 0}, std::pair{"<bold>", 0},
                                           std::pair{"", 0}));

struct PairCase {
  std::string_view a;
  std::string_view b;
  bool expected;
};

class TagsMatchTest : public ::testing::TestWithParam<PairCase> {};

TEST_P(TagsMatchTest, MatchesEqualOrClosingForms) {
  const PairCase& c = GetParam();
  EXPECT_EQ(TagsMatch(c.a, c.b), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, TagsMatchTest,
    ::testing::Values(PairCase{"<bold>", "</bold>", true}, PairCase{"</bold>", "<bold>", true},
                      PairCase{"<bold>", "<bold>", true}, PairCase{"<topic>", "<topic>", true},
                      PairCase{"<diagrams>", "</diagrams_center>", false},
                      PairCase{"<img_center>", "</img_left>", false},
                      PairCase{"<bold>", "<italic>", false}, PairCase{"</bold>", "</bold>", true},
                      PairCase{"", "", true}, PairCase{"", "/", false}));

struct FollowCase {
  std::string line;
  std::size_t position;
  bool expected;
};

class OnlyTagsFollowTest : public ::testing::TestWithParam<FollowCase> {};

TEST_P(OnlyTagsFollowTest, SeesOnlyTagsToTheEnd) {
  const FollowCase& c = GetParam();
  EXPECT_EQ(OnlyTagsFollow(c.line, c.position), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, OnlyTagsFollowTest,
                         ::testing::Values(FollowCase{"x</keyword>", 1, true},
                                           FollowCase{"x</keyword><bold></bold>\n", 1, true},
                                           FollowCase{"x</keyword> ", 1, false},
                                           FollowCase{"x</keyword>\r\n", 1, false},
                                           FollowCase{"x</keyword>y", 1, false},
                                           FollowCase{"abc", 3, true}, FollowCase{"abc", 9, true},
                                           FollowCase{"<bold>\0junk"s, 0, true}));

class IsBlankTextTest : public ::testing::TestWithParam<std::pair<std::string, bool>> {};

TEST_P(IsBlankTextTest, AcceptsBlanksNullTagsAndOneFinalLineEnd) {
  EXPECT_EQ(IsBlankText(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Texts, IsBlankTextTest,
                         ::testing::Values(std::pair{" \t<null/>\r\n"s, true}, std::pair{""s, true},
                                           std::pair{"\n"s, true}, std::pair{"  \n"s, true},
                                           std::pair{"\n\n"s, false}, std::pair{"\r"s, false},
                                           std::pair{"\n "s, false}, std::pair{"\n\r"s, false},
                                           std::pair{"\r\n\r\n"s, false}, std::pair{"a"s, false},
                                           std::pair{"<bold>"s, false}, std::pair{"<"s, false},
                                           std::pair{"<null/><null/>"s, true},
                                           std::pair{" \0x"s, true}));

struct BeforeCase {
  std::string line;
  std::size_t position;
  std::string_view expected;
};

class TagBeforeTest : public ::testing::TestWithParam<BeforeCase> {};

TEST_P(TagBeforeTest, PassesOverEmphasisAndWhiteSpace) {
  const BeforeCase& c = GetParam();
  EXPECT_EQ(TagBefore(c.line, c.position, {"<bold>", "</bold>", "<italic>", "</italic>"}),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TagBeforeTest,
    ::testing::Values(BeforeCase{"</head1>\r\n", 9, "</head1>"},
                      BeforeCase{"</head1></bold> \t<italic>\n", 25, "</head1>"},
                      BeforeCase{"</head1>x</bold>\n", 16, ""}, BeforeCase{"<bold>\n", 6, ""},
                      BeforeCase{"word\n", 4, ""}, BeforeCase{"<page/>", 6, "<page/>"},
                      BeforeCase{"<hline/>\n", 99, ""}, BeforeCase{"<hline/>\n", 8, "<hline/>"}));

struct SplitCase {
  std::string text;
  std::array<std::string, 5> expected;
};

class SplitParametersTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitParametersTest, DeliversTheValues) {
  EXPECT_EQ(SplitParameters(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitParametersTest,
    ::testing::Values(
        SplitCase{"\"my book.txt\", Old_name, New_name", {"my book.txt", "Old_name", "New_name"}},
        SplitCase{"one;two;three", {"one", "two", "three"}},
        SplitCase{"-12, +3.5e-2, 0x1F", {"-12", "+3.5e-2", "0x1F"}},
        SplitCase{"book.txt, a, b", {"book", "txt", "a", "b"}},
        SplitCase{"\"say \"\"hi\"\"\",x", {"say \"\"hi\"\"", "x"}}, SplitCase{"\"\", x", {"", "x"}},
        SplitCase{"\"", {"\""}}, SplitCase{"\"open, x", {"\"open, x"}},
        SplitCase{"a,b,c,d,e,f,g", {"a", "b", "c", "d", "e"}}, SplitCase{"  \t\r\n", {}},
        SplitCase{"a b\tc", {"a", "c"}}, SplitCase{"a1_b 2x", {"a1_b", "x"}},
        SplitCase{"- 5", {"-"}}, SplitCase{"0x, y", {"0", ","}}));

TEST(SplitParameters, CutsValuesToTheCapacity) {
  std::array<std::string, 5> values = SplitParameters("\"abcdef\", longname", 4);
  EXPECT_EQ(values[0], "abc");
  EXPECT_EQ(values[1], "lon");
  EXPECT_EQ(SplitParameters("abc", 0)[0], "");
}

}  // namespace
}  // namespace quillark
