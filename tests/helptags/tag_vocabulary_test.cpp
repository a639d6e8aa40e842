#include "helptags/tag_vocabulary.h"

#include <gtest/gtest.h>

#include <string>

namespace quillark {
namespace {

using namespace std::string_literals;

TEST(TagAt, RecognisesExactLowerCaseTagsLongestFirst) {
  const std::string include = "<popup_include>x</popup_include>";
  EXPECT_EQ(TagAt(include, 0), "<popup_include>");
  EXPECT_EQ(TagAt(include, 16), "</popup_include>");
  EXPECT_EQ(TagAt("<popup>Name</popup>", 0), "<popup>");
  EXPECT_EQ(TagAt("text <bold>word", 5), "<bold>");
  EXPECT_EQ(TagAt("text <bold>word", 4), "");
  EXPECT_EQ(TagAt("<Topic>Name", 0), "");
  EXPECT_EQ(TagAt("<topic >", 0), "");
  EXPECT_EQ(TagAt("<bold", 0), "");
  EXPECT_EQ(TagAt("<bold>", 600), "");
  EXPECT_EQ(TagAt("<bo\0ld>"s, 0), "");
  EXPECT_EQ(TagAt("<bold>\0"s, 0), "<bold>");
}

TEST(TagEndingAt, RecognisesTheTagEndingAtAPosition) {
  const std::string line = "ab</popup_include><page/>";
  EXPECT_EQ(TagEndingAt(line, 17), "</popup_include>");
  EXPECT_EQ(TagEndingAt(line, 24), "<page/>");
  EXPECT_EQ(TagEndingAt(line, 16), "");
  EXPECT_EQ(TagEndingAt("<bold>", 99), "");
}

TEST(HeadingLevelOf, OneToSix) {
  EXPECT_EQ(HeadingLevelOf("<head1>"), 1);
  EXPECT_EQ(HeadingLevelOf("</head6>"), 6);
  EXPECT_EQ(HeadingLevelOf("<head7>"), 0);
  EXPECT_EQ(HeadingLevelOf("<head0>"), 0);
  EXPECT_EQ(HeadingLevelOf("<head12>"), 0);
}

TEST(TagsMatch, EqualOrClosingForms) {
  EXPECT_TRUE(TagsMatch("<bold>", "</bold>"));
  EXPECT_TRUE(TagsMatch("</bold>", "<bold>"));
  EXPECT_TRUE(TagsMatch("<topic>", "<topic>"));
  EXPECT_FALSE(TagsMatch("<diagrams>", "</diagrams_center>"));
  EXPECT_FALSE(TagsMatch("<img_center>", "</img_left>"));
  EXPECT_FALSE(TagsMatch("", "/"));
}

TEST(OnlyTagsFollow, SeesOnlyTagsToTheEnd) {
  EXPECT_TRUE(OnlyTagsFollow("x</keyword><bold></bold>\n", 1));
  EXPECT_FALSE(OnlyTagsFollow("x</keyword> ", 1));
  EXPECT_FALSE(OnlyTagsFollow("x</keyword>\r\n", 1));
  EXPECT_TRUE(OnlyTagsFollow("abc", 9));
  EXPECT_TRUE(OnlyTagsFollow("<bold>\0junk"s, 0));
}

TEST(IsBlankText, BlanksNullTagsAndOneFinalLineEnd) {
  for (std::string text : {" \t<null/>\r\n"s, ""s, "<null/><null/>"s, " \0x"s}) {
    EXPECT_TRUE(IsBlankText(text)) << text;
  }
  for (std::string text : {"\n\n"s, "\r"s, "\n "s, "<bold>"s, "<"s}) {
    EXPECT_FALSE(IsBlankText(text)) << text;
  }
}

TEST(TagBefore, PassesOverEmphasisAndWhiteSpace) {
  auto before = [](std::string_view line, std::size_t position) {
    return TagBefore(line, position, {"<bold>", "</bold>", "<italic>", "</italic>"});
  };
  EXPECT_EQ(before("</head1></bold> \t<italic>\n", 25), "</head1>");
  EXPECT_EQ(before("</head1>x</bold>\n", 16), "");
  EXPECT_EQ(before("<bold>\n", 6), "");
  EXPECT_EQ(before("<hline/>\n", 99), "");
  EXPECT_EQ(before("<hline/>\n", 8), "<hline/>");
}

using Values = std::array<std::string, 5>;

class SplitParametersTest : public ::testing::TestWithParam<std::pair<std::string, Values>> {};

TEST_P(SplitParametersTest, DeliversTheValues) {
  EXPECT_EQ(SplitParameters(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitParametersTest,
    ::testing::Values(std::pair{"\"my book.txt\", Old_name, New_name"s,
                                Values{"my book.txt", "Old_name", "New_name"}},
                      std::pair{"one;two;three"s, Values{"one", "two", "three"}},
                      std::pair{"-12, +3.5e-2, 0x1F"s, Values{"-12", "+3.5e-2", "0x1F"}},
                      std::pair{"book.txt, a, b"s, Values{"book", "txt", "a", "b"}},
                      std::pair{"\"say \"\"hi\"\"\",x"s, Values{"say \"\"hi\"\"", "x"}},
                      std::pair{"\"open, x"s, Values{"\"open, x"}},
                      std::pair{"a,b,c,d,e,f,g"s, Values{"a", "b", "c", "d", "e"}},
                      std::pair{"a b\tc"s, Values{"a", "c"}}, std::pair{"- 5"s, Values{"-"}},
                      std::pair{"0x, y"s, Values{"0", ","}}));

TEST(SplitParameters, CutsValuesToTheCapacity) {
  const Values values = SplitParameters("\"abcdef\", longname", 4);
  EXPECT_EQ(values[0], "abc");
  EXPECT_EQ(values[1], "lon");
}

}  // namespace
}  // namespace quillark
