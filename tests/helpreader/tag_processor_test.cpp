// The tag processor driven line by line through the line processor, as a
// pass drives it, with reports collected in a listing file.
#include "helpreader/tag_processor.h"

#include <ostream>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "helpreader/line_processor.h"
#include "helpreader/run_context.h"
#include "helpreader/topic_registry.h"

namespace quillark {
namespace {

// The source of a pass and its reports stay in memory.
constexpr const char* kSource = "/docs/book.pp";

class TagProcessorTest : public ::testing::Test {
 protected:
  // Runs `source` through one pass with a fresh state, as Pass 2 does.
  void Pass(const std::string& source) {
    run_.reader.OpenMainText(kSource, source);
    state_ = TagState();
    LineOutput output;
    while (!run_.reader.EndOfSource()) {
      bool overflow = false;
      ProcessLine(run_.reader.ReadSourceLine(kLineText, overflow), run_, state_, output);
    }
    run_.reader.CloseSources();
  }
  std::string Reports() { return listing_.memory_text(); }
  std::string At(int line) {
    std::string number = std::to_string(line);
    return std::string(kSource) + "(" + std::string(5 - number.size(), ' ') + number + "): ";
  }
  const HeadingRecord& Heading(int row) { return EntryAt(run_.tables.headings, row); }

  Listing listing_ = Listing::InMemory();
  RunContext run_{listing_};
  HelpTables& tables_ = run_.tables;
  TagState state_;
};

TEST_F(TagProcessorTest, TopicIsRegisteredUnderItsUpperCaseKeyWithTitleKeyword) {
  Pass("before\n<topic> Getting started </topic> ignored\nbody\n<endtopic/>\n");
  ASSERT_EQ(TableCount(tables_.topics), 1);
  const TopicRecord& topic = EntryAt(tables_.topics, 1);
  EXPECT_EQ(topic.name, "GETTING_STARTED");
  EXPECT_EQ(topic.line, 2);
  EXPECT_EQ(topic.abs_line, 2);
  EXPECT_EQ(topic.count, 1);
  ASSERT_EQ(TableCount(tables_.keywords), 1);
  EXPECT_EQ(EntryAt(tables_.keywords, 1).name, "Getting started");
  EXPECT_EQ(EntryAt(tables_.keywords, 1).topic, "GETTING_STARTED");
  EXPECT_TRUE(EntryAt(tables_.keywords, 1).is_topic_title);
  // A topic without headings is recorded under its name with level 0.
  ASSERT_EQ(TableCount(tables_.headings), 1);
  EXPECT_EQ(Heading(1).name, "Getting started");
  EXPECT_EQ(Heading(1).level, 0);
  EXPECT_EQ(Heading(1).abs_line, 2);
  EXPECT_EQ(Reports(), "");
}

struct TitleCase {
  const char* name;
  const char* body;
  const char* title;
  int level;
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const TitleCase& c, std::ostream* os) { *os << c.name; }

class TitleHeading : public TagProcessorTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(TitleHeading, IsTheFirstHeadingOfTheLowestLevelNumber) {
  Pass(std::string("<topic>T</topic>\n") + GetParam().body + "<endtopic/>\n");
  ASSERT_EQ(TableCount(tables_.headings), 1);
  EXPECT_EQ(Heading(1).name, GetParam().title);
  EXPECT_EQ(Heading(1).level, GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(
    Headings, TitleHeading,
    ::testing::Values(
        TitleCase{"FirstOfTwoLevelOnes", "<head1>One</head1>\n<head1>Two</head1>\n", "One", 1},
        TitleCase{"LaterLevelOneWins", "<head2>Sub</head2>\n<head1>Main</head1>\n", "Main", 1},
        TitleCase{"SameLevelDoesNotReplace", "<head3>A</head3><head3>B</head3>\n", "A", 3},
        TitleCase{"EmptyFirstHeadingBlocksLaterOnes", "<head1></head1>\n<head1>Later</head1>\n",
                  "T", 0},
        TitleCase{"ClosingFormOpensToo", "</head2>Odd<head2>\n", "Odd", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TagProcessorTest, HeadingLevelMismatchIsFatal) {
  EXPECT_THROW(Pass("<topic>T</topic>\n<head1>Title</head2>\n"), FatalStop);
  EXPECT_EQ(Reports(), At(2) +
                           "Fatal : The heading ending with </head2> was started at a different "
                           "level. The opening and closing heading levels must match.\r\n");
}

TEST_F(TagProcessorTest, CommentInsideTopicSilencesOutputButNotOutside) {
  Pass("<comment>\n<topic>T</topic>\n<comment> rest\nhidden\n</comment>\nshown\n<endtopic/>\n");
  EXPECT_FALSE(state_.output_on);
  EXPECT_EQ(Reports(), "");
}

TEST_F(TagProcessorTest, CommentStopsTheLineAndTogglesOutput) {
  run_.reader.OpenMainText(kSource, "<topic>T</topic>\n");
  bool overflow = false;
  LineOutput output;
  ProcessLine(run_.reader.ReadSourceLine(kLineText, overflow), run_, state_, output);
  EXPECT_TRUE(state_.output_on);
  ProcessLine("text <comment> more\n", run_, state_, output);
  EXPECT_FALSE(state_.output_on);
  ProcessLine("</comment>\n", run_, state_, output);
  EXPECT_TRUE(state_.output_on);
}

TEST_F(TagProcessorTest, MixedDefinitionWarnsAndFollowsTheOpeningForm) {
  Pass("<topic>T</popup>\n<endtopic/>\n");
  EXPECT_EQ(Reports(), At(1) + "Warning : Topic definition is mixed (<topic>...</popup>).\r\n");
  EXPECT_FALSE(EntryAt(tables_.topics, 1).is_popup);
}

TEST_F(TagProcessorTest, PopupIsFlagged) {
  Pass("<popup>Note</popup>\n<endtopic/>\n");
  EXPECT_TRUE(EntryAt(tables_.topics, 1).is_popup);
  EXPECT_FALSE(EntryAt(tables_.topics, 1).has_examples);
}

TEST_F(TagProcessorTest, ClosingTopicTagOpensAPairNobodyCanClose) {
  EXPECT_THROW(Pass("</topic>T</topic>\n"), FatalStop);
  EXPECT_EQ(Reports(), At(1) +
                           "Fatal : Unexpected topic or popup tag found while processing </topic> "
                           "link\r\n");
}

TEST_F(TagProcessorTest, TopicInsideTopicIsFatal) {
  EXPECT_THROW(Pass("<topic>A</topic>\n<topic>B</topic>\n"), FatalStop);
  EXPECT_EQ(Reports(),
            At(2) + "Fatal : Topic tag inside topic, previous <endtopic/> tag missing?\r\n");
}

TEST_F(TagProcessorTest, StrayEndTopicIsFatal) {
  EXPECT_THROW(Pass("text\n<endtopic/>\n"), FatalStop);
  EXPECT_EQ(Reports(), At(2) +
                           "Fatal : Topic \"\" could not be found at <endtopic/> after being "
                           "added\r\n");
}

TEST_F(TagProcessorTest, EndTopicInsideOpenPairIsFatal) {
  EXPECT_THROW(Pass("<topic>A\n<endtopic/>\n"), FatalStop);
  EXPECT_EQ(Reports(), At(2) + "Fatal : <endtopic/> tag was not expected in <topic> link\r\n");
}

TEST_F(TagProcessorTest, HeadingInsideOpenPairWarns) {
  Pass("<topic>A<head1>\n");
  EXPECT_EQ(Reports(), At(1) + "Warning : <head1> heading tag in <topic> link\r\n");
}

TEST_F(TagProcessorTest, EndTopicIgnoresTheRestOfItsLine) {
  Pass("<topic>A</topic>\n<endtopic/> <topic>B</topic>\n");
  EXPECT_EQ(TableCount(tables_.topics), 1);
  EXPECT_FALSE(state_.output_on);
  EXPECT_EQ(Reports(), "");
}

struct NameCase {
  const char* name;
  std::string topic;
  std::string report;  // after the position prefix; empty for none
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class TopicNames : public TagProcessorTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(TopicNames, AreCheckedAtTheirDefinition) {
  Pass("<topic>" + GetParam().topic + "</topic>\n<endtopic/>\n");
  EXPECT_EQ(Reports(), GetParam().report.empty() ? "" : At(1) + GetParam().report + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Registration, TopicNames,
    ::testing::Values(NameCase{"FortyCharacters", std::string(40, 'a'), ""},
                      NameCase{
                          "DigitFirst", "2nd step",
                          "Warning : Invalid topic name \"2nd_step\", should be an identifier"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TagProcessorTest, EmptyNameIsWarnedAndNeverRegistered) {
  EXPECT_THROW(Pass("<topic> </topic>\n<endtopic/>\n"), FatalStop);
  EXPECT_EQ(Reports(), At(1) + "Warning : Invalid topic name \"\", should be an identifier\r\n" +
                           At(2) +
                           "Fatal : Topic \"\" could not be found at <endtopic/> after being "
                           "added\r\n");
}

TEST_F(TagProcessorTest, FortyOneCharacterNameIsFatal) {
  EXPECT_THROW(Pass("<topic>" + std::string(41, 'a') + "</topic>\n"), FatalStop);
  EXPECT_EQ(Reports(), At(1) + "Fatal : Topic string \"" + std::string(41, 'a') +
                           "\" too long, maximum length is 40\r\n");
}

TEST_F(TagProcessorTest, CheckJumpsWarnsOncePerUndefinedNameAndAboutDuplicates) {
  Pass(
      "<topic>A</topic>\n<endtopic/>\n<topic>a</topic>\n<endtopic/>\n<topic>B</topic>\n"
      "<endtopic/>\n");
  InsertEntry(tables_.jumps, JumpRecord{"MISSING", kSource, 9, 9, 3});
  InsertEntry(tables_.jumps, JumpRecord{"B", kSource, 8, 8, 1});
  CheckJumps(listing_, tables_.topics, tables_.jumps);
  EXPECT_EQ(Reports(), At(9) + "Warning : Ignoring 3 jump(s) to undefined topic MISSING\r\n" +
                           At(1) + "Warning : Duplicate topic A\r\n");
}

TEST_F(TagProcessorTest, CheckHeadingsFindsTopicsSharingATitle) {
  Pass(
      "<topic>A</topic>\n<head1>Same</head1>\n<endtopic/>\n"
      "<topic>B</topic>\n<head1>Same</head1>\n<endtopic/>\n");
  tables_.headings.SortByPosition();
  CheckHeadings(listing_, tables_.topics, tables_.headings);
  EXPECT_EQ(Reports(), At(4) + "Warning : Topic \"B\" had no corresponding heading.\r\n");
}

TEST_F(TagProcessorTest, CheckHeadingsLetsNoTopicOutrankTheFirst) {
  Pass(
      "<topic>A</topic>\n<head2>Two</head2>\n<endtopic/>\n"
      "<popup>P</popup>\n<head1>Popup title</head1>\n<endtopic/>\n"
      "<topic>B</topic>\n<endtopic/>\n"
      "<topic>C</topic>\n<head1>One</head1>\n<endtopic/>\n");
  tables_.headings.SortByPosition();
  EXPECT_THROW(CheckHeadings(listing_, tables_.topics, tables_.headings), FatalStop);
  EXPECT_EQ(Reports(), At(11) +
                           "Fatal : Heading \"One\" in the current topic is a lower heading level "
                           "(less indented) than the first topic.\r\n");
}

TEST_F(TagProcessorTest, CheckHeadingsDropsPopupTitlesAndInheritsLevels) {
  Pass(
      "<topic>A</topic>\n<head2>Two</head2>\n<endtopic/>\n"
      "<popup>P</popup>\n<head1>Popup title</head1>\n<endtopic/>\n"
      "<topic>B</topic>\n<endtopic/>\n");
  tables_.headings.SortByPosition();
  CheckHeadings(listing_, tables_.topics, tables_.headings);
  EXPECT_EQ(Reports(), "");
  ASSERT_EQ(TableCount(tables_.headings), 2);
  EXPECT_EQ(Heading(1).name, "Two");
  EXPECT_EQ(Heading(2).name, "B");
  EXPECT_EQ(Heading(2).level, 2);
}

TEST_F(TagProcessorTest, OutputPassCountsHeadingsWithoutReordering) {
  Pass("<topic>Zed</topic>\n<endtopic/>\n<topic>Alpha</topic>\n<endtopic/>\n");
  tables_.headings.SortByPosition();
  run_.headings_in_source_order = true;
  tables_.headings.ClearCounts();
  Pass("<topic>Zed</topic>\n<endtopic/>\n<topic>Alpha</topic>\n<endtopic/>\n");
  ASSERT_EQ(TableCount(tables_.headings), 2);
  EXPECT_EQ(Heading(1).name, "Zed");
  EXPECT_EQ(Heading(1).count, 1);
  EXPECT_EQ(Heading(2).name, "Alpha");
  EXPECT_EQ(Heading(2).count, 1);
}

}  // namespace
}  // namespace quillark
