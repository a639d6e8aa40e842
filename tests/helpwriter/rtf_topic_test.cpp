#include "helpwriter/rtf_topic.h"

#include <gtest/gtest.h>

#include <string>

#include "helpwriter/topic_order.h"
#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

class RtfTopicTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    InitFonts();
  }
};

TopicPlace PlaceWithPrevious(int previous, int ordinal = 2) {
  TopicPlace place;
  place.row = 1;
  place.previous = previous;
  place.ordinal = ordinal;
  return place;
}

TEST_F(RtfTopicTest, HlpNormalTopicWritesTheFourFootnotesAndOpensTheText) {
  EXPECT_EQ(
      HlpTopicStart(false, false, "GETTING_STARTED", "Getting started", PlaceWithPrevious(-1)),
      "#{\\footnote # GETTING_STARTED}\r\n"
      "${\\footnote $ Getting started}\r\n"
      "+{\\footnote + 1}\r\n"
      "K{\\footnote K Getting started}\r\n"
      "!{\\footnote ! DisableButton(btnExample)}\r\n"
      "\\plain\\fs10\\line\\f0\\fs20\\pard\r\n");
}

TEST_F(RtfTopicTest, HlpPopupHasNoBrowseFootnoteAndNoHeader) {
  SetHeader("My header");
  EXPECT_EQ(HlpTopicStart(true, false, "NOTE", "Note", PlaceWithPrevious(3)),
            "#{\\footnote # NOTE}\r\n"
            "${\\footnote $ Note}\r\n"
            "K{\\footnote K Note}\r\n"
            "!{\\footnote ! DisableButton(btnExample)}\r\n"
            "\\plain\\fs10\\line\\f0\\fs20\\pard\r\n");
}

TEST_F(RtfTopicTest, HlpHeaderUsesTheTextFontAndTheOrdinal) {
  SetFont("TEXT", "Verdana,12");
  SetHeader("Page <page/>");
  EXPECT_EQ(HlpTopicStart(false, true, "INTRO", "Intro", PlaceWithPrevious(4, 3)),
            "#{\\footnote # INTRO}\r\n"
            "${\\footnote $ Intro}\r\n"
            "+{\\footnote + 1}\r\n"
            "K{\\footnote K Intro}\r\n"
            "!{\\footnote ! ChangeEnable(btnExample,\"JumpId(INTRO_example)\")}\r\n"
            "\\f0\\fs24Page 3\\line\r\n"
            "\\plain\\fs10\\line\\f0\\fs24\\pard\r\n");
}

// A title's backslashes and braces cannot end a footnote early, and a header
// that begins with a digit does not run on into the font size.
TEST_F(RtfTopicTest, HlpFootnotesEscapeTitlesAndHeaderDigitsStaySeparate) {
  SetHeader("2024 <page/>");
  EXPECT_EQ(HlpTopicStart(false, false, "A_B", "A\\B}", PlaceWithPrevious(1, 2)),
            "#{\\footnote # A_B}\r\n"
            "${\\footnote $ A\\'5CB\\'7D}\r\n"
            "+{\\footnote + 1}\r\n"
            "K{\\footnote K A\\'5CB\\'7D}\r\n"
            "!{\\footnote ! DisableButton(btnExample)}\r\n"
            "\\f0\\fs20 2024 2\\line\r\n"
            "\\plain\\fs10\\line\\f0\\fs20\\pard\r\n");
}

// Groups are never cut, however long the title.
TEST_F(RtfTopicTest, HlpLongTitleKeepsEveryFootnoteWhole) {
  const std::string title(300, 'T');
  const std::string text = HlpTopicStart(false, false, "T", title, PlaceWithPrevious(-1));
  EXPECT_NE(text.find("K{\\footnote K " + title + "}\r\n"), std::string::npos);
  EXPECT_NE(text.find("\\pard\r\n"), std::string::npos);
}

struct FootnoteCase {
  bool has_example;
  std::string key;
  std::string expected;
};

class ExampleButtonFootnoteTest : public testing::TestWithParam<FootnoteCase> {};

TEST_P(ExampleButtonFootnoteTest, EnablesOrDisablesTheButton) {
  EXPECT_EQ(ExampleButtonFootnote(GetParam().has_example, GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    RtfTopic, ExampleButtonFootnoteTest,
    testing::Values(
        FootnoteCase{
            true, "GETTING_STARTED",
            "!{\\footnote ! ChangeEnable(btnExample,\"JumpId(GETTING_STARTED_example)\")}"},
        FootnoteCase{false, "GETTING_STARTED", "!{\\footnote ! DisableButton(btnExample)}"}));

struct EntryCase {
  std::string text;
  int level;
  std::string expected;
};

class RtfIndexEntryTest : public testing::TestWithParam<EntryCase> {};

TEST_P(RtfIndexEntryTest, OnlyForTitlesWithACapitalFirst) {
  EXPECT_EQ(RtfIndexEntry(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(RtfTopic, RtfIndexEntryTest,
                         testing::Values(EntryCase{"Overview", 0,
                                                   "{\\pard\\plain\\v{\\xe Overview}}"},
                                         EntryCase{"Z", 0, "{\\pard\\plain\\v{\\xe Z}}"},
                                         EntryCase{"zebra", 0, ""}, EntryCase{"2nd step", 0, ""},
                                         EntryCase{" Padded", 0, ""}, EntryCase{"", 0, ""},
                                         EntryCase{"Dir C:\\temp {x}", 0,
                                                   "{\\pard\\plain\\v{\\xe Dir "
                                                   "C:\\'5Ctemp \\'7Bx\\'7D}}"}));

class RtfTocEntryTest : public testing::TestWithParam<EntryCase> {};

TEST_P(RtfTocEntryTest, BoldForTheTopLevelsPlainForLevelThree) {
  EXPECT_EQ(RtfTocEntry(GetParam().text, GetParam().level), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    RtfTopic, RtfTocEntryTest,
    testing::Values(EntryCase{"Overview", 1, "{\\pard\\plain\\v{\\tc {\\b Overview} {\\tcl1}}}"},
                    EntryCase{" Setup\t", 2, "{\\pard\\plain\\v{\\tc {\\b Setup} {\\tcl2}}}"},
                    EntryCase{"Details ", 3, "{\\pard\\plain\\v{\\tc Details {\\tcl3}}}"},
                    EntryCase{"Deeper", 4, ""}, EntryCase{"None", 0, ""},
                    EntryCase{"C:\\temp", 3, "{\\pard\\plain\\v{\\tc C:\\'5Ctemp {\\tcl3}}}"}));

// Topics in source order with their title headings.
class RtfTopicStartTest : public RtfTopicTest {
 protected:
  void SetUp() override {
    RtfTopicTest::SetUp();
    AddTopic("FIRST", 1, "First", 1);
    AddTopic("OVERVIEW", 10, "Overview", 1);
    AddTopic("DETAILS", 20, "Details", 4);
    AddTopic("INDEX", 30, "Index", 0);
    AddTopic("ZEBRA", 40, "zebra notes", 3);
    AddTopic("CONTENTS", 50, "Contents", 2);
  }
  void AddTopic(std::string_view key, int abs_line, std::string_view heading, int level) {
    InsertEntry(topics_, key, "book.txt", abs_line, abs_line, 1, 0, 0, 0, 0);
    InsertEntry(headings_, heading, "book.txt", abs_line, abs_line, 1, level, 0, 0, 0);
  }
  std::string Start(std::string_view key, std::string_view title) {
    return RtfTopicStart(title, LocateTopic(topics_, key, title), topics_, headings_);
  }
  HelpTable topics_;
  HelpTable headings_;
};

TEST_F(RtfTopicStartTest, FirstTopicHasNoPageBreakAndNoEntries) {
  EXPECT_EQ(Start("FIRST", "First"), "\\pard\r\n");
}

TEST_F(RtfTopicStartTest, LevelOneTopicStartsAPageWithBothEntries) {
  EXPECT_EQ(Start("OVERVIEW", "Overview"),
            "\\page\r\n\r\n"
            "{\\pard\\plain\\v{\\xe Overview}}{\\pard\\plain\\v{\\tc {\\b Overview} {\\tcl1}}}"
            "\\pard\r\n");
}

TEST_F(RtfTopicStartTest, DeepTopicFlowsOnWithItsIndexEntryOnly) {
  EXPECT_EQ(Start("DETAILS", "Details"), "\r\n{\\pard\\plain\\v{\\xe Details}}\\pard\r\n");
}

TEST_F(RtfTopicStartTest, LowerCaseTitleGetsNoIndexEntry) {
  EXPECT_EQ(Start("ZEBRA", "zebra"), "\r\n{\\pard\\plain\\v{\\tc zebra notes {\\tcl3}}}\\pard\r\n");
}

TEST_F(RtfTopicStartTest, IndexAndContentsStartAPageWithoutEntries) {
  EXPECT_EQ(Start("INDEX", " index "), "\\page\r\n\r\n\\pard\r\n");
  EXPECT_EQ(Start("CONTENTS", "Contents"), "\\page\r\n\r\n\\pard\r\n");
}

TEST_F(RtfTopicStartTest, MissingTopicCountsAsFollowingOne) {
  EXPECT_EQ(Start("LOST", "Lost"), "\r\n{\\pard\\plain\\v{\\xe Lost}}\\pard\r\n");
}

TEST_F(RtfTopicStartTest, TopicHeadingTakesTheFirstHeadingAtTheTopicsLine) {
  InsertEntry(headings_, "Another", "book.txt", 10, 10, 1, 2, 0, 0, 0);  // sorts before "Overview"
  const TopicHeadingInfo heading =
      TopicHeading(topics_, FindByName(topics_, "OVERVIEW"), headings_);
  EXPECT_EQ(heading.level, 2);
  EXPECT_EQ(heading.text, "Another");
  EXPECT_EQ(TopicHeading(topics_, 0, headings_).level, 0);
  EXPECT_EQ(TopicHeading(topics_, TableCount(topics_) + 1, headings_).text, "");
}

struct TopicEndCase {
  std::string previous_tag;
  bool is_popup;
  int previous;
  std::string expected;
};

class HlpTopicEndTest : public RtfTopicTest, public testing::WithParamInterface<TopicEndCase> {};

TEST_P(HlpTopicEndTest, FooterThenPageBreak) {
  SetFooter("Page <page/>");
  SetOmitFirstPage(true);
  SetPreviousTag(GetParam().previous_tag);
  EXPECT_EQ(HlpTopicEnd(GetParam().is_popup, PlaceWithPrevious(GetParam().previous, 5)),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    RtfTopic, HlpTopicEndTest,
    testing::Values(TopicEndCase{"<b>", false, 2, "\\line\r\nPage 5\\line\r\n\\page\r\n\r\n"},
                    TopicEndCase{"", false, 2, "\\line\r\nPage 5\\line\r\n\\page\r\n\r\n"},
                    // A horizontal line and an example end their own paragraph.
                    TopicEndCase{"<hline/>", false, 2, "Page 5\\line\r\n\\page\r\n\r\n"},
                    TopicEndCase{"</example>", false, 2, "Page 5\\line\r\n\\page\r\n\r\n"},
                    TopicEndCase{"<b>", true, 2, "\\page\r\n\r\n"},
                    TopicEndCase{"<b>", false, -1, "\\page\r\n\r\n"}));

TEST_F(RtfTopicTest, HlpLongFooterIsNotCut) {
  const std::string footer = "{\\b " + std::string(400, 'F') + "}";
  SetFooter(footer);
  EXPECT_EQ(HlpTopicEnd(false, PlaceWithPrevious(1)),
            "\\line\r\n" + footer + "\\line\r\n\\page\r\n\r\n");
}

TEST_F(RtfTopicTest, RtfTopicEndIsAParagraphMark) { EXPECT_EQ(RtfTopicEnd(), "\\par\r\n"); }

}  // namespace
}  // namespace quillark
