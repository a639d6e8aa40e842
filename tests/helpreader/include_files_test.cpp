#include "helpreader/include_files.h"

#include <ostream>
#include <string>

#include "gtest/gtest.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

struct ReplaceCase {
  const char* name;
  const char* text;
  const char* search;
  const char* replacement;
  int flags;
  int count;
  int start;
  const char* expected;
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const ReplaceCase& c, std::ostream* os) { *os << c.name; }

class ReplaceInTextTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceInTextTest, GivesExactText) {
  const ReplaceCase& c = GetParam();
  EXPECT_EQ(ReplaceInText(c.text, c.search, c.replacement, c.flags, c.count, c.start), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replace, ReplaceInTextTest,
    ::testing::Values(
        ReplaceCase{"AllIgnoringCase", "Cat cat CAT", "cat", "dog", 1, -1, 1, "dog dog dog"},
        ReplaceCase{"Exact", "Cat cat CAT", "cat", "dog", 0, -1, 1, "Cat dog CAT"},
        ReplaceCase{"CountOneAfterStart", "a a a", "a", "b", 1, 1, 2, "a b a"},
        ReplaceCase{"WholeWords", "cat catalog cat_x (Cat)", "cat", "", 3, -1, 1,
                    " catalog cat_x ()"},
        ReplaceCase{"LeadingStarIsPlain", "a*b xb", "*b", "c", 1, -1, 1, "ac xb"},
        ReplaceCase{"WildcardSpans", "<b>x</b> and <B>y</b>", "<b>*</b>", "Z", 1, -1, 1, "Z and Z"},
        ReplaceCase{"WildcardToTheEnd", "keep; drop this", "; *", ".", 1, -1, 1, "keep."},
        ReplaceCase{"WildcardWithoutSuffixMatchStops", "<b>x", "<b>*</b>", "Z", 1, -1, 1, "<b>x"},
        ReplaceCase{"WildcardReplacementNotSearchedAgain", "ab", "a*b", "ab", 1, -1, 1, "ab"},
        ReplaceCase{"WildcardSuffixFollowsThePrefix", "ab cb", "ab*b", "X", 1, -1, 1, "X"},
        ReplaceCase{"WildcardSameMarkerBothEnds", "x'one' 'two'", "'*'", "Q", 1, -1, 1, "xQ Q"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FindCase {
  const char* name;
  const char* content;
  bool is_popup;
  const char* body;  // "none" when the topic is not found
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }

class FindTopicTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTopicTest, FindsTheBodyAfterTheHeaderLine) {
  testing_support::TempDir dir;
  const std::string content = GetParam().content;
  const TopicSpan span = FindTopicInFile(dir.Write("o.txt", content), "Intro", GetParam().is_popup);
  EXPECT_EQ(span.start == 0 && span.end == 0
                ? "none"
                : content.substr(span.start - 1, span.end - span.start),
            GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    Find, FindTopicTest,
    ::testing::Values(
        FindCase{"CrLf", "x\r\n<TOPIC>intro</topic>\r\nbody\r\n<endtopic/>\r\n", false, "body\r\n"},
        FindCase{"Lf", "<topic>Intro</topic>\n\nbody\n<endtopic/>", false, "\nbody\n"},
        FindCase{"Popup", "<topic>Intro</topic>\nt<endtopic/><popup>Intro</popup>p<endtopic/>",
                 true, "p"},
        FindCase{"PopupIsNoTopic", "<popup>Intro</popup>\np<endtopic/>", false, "none"},
        FindCase{"MissingEnd", "<topic>Intro</topic>\nbody\n", false, "none"},
        FindCase{"EndIsCaseSensitive", "<topic>Intro</topic>\nb<ENDTOPIC/>", false, "none"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillark
