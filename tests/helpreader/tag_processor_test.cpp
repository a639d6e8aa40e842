// The tag processor driven line by line through the line processor, as a
// pass drives it, with reports collected in a listing file.
#include "helpreader/tag_processor.h"

#include <ostream>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "helpmain/run_files.h"
#include "helpreader/line_processor.h"
#include "helpreader/source_reader.h"
#include "helpreader/topic_registry.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

using testing_support::TempDir;

class TagProcessorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetListingFileName(dir_.File("book.lst"));
    SetOutputFileName("");
    context_.format = OutputFormat::kNone;
    context_.tables = &tables_;
  }
  void TearDown() override {
    CloseSources();
    SetListingFileName("");
  }

  // Runs `source` through one pass with a fresh state, as Pass 2 does.
  void Pass(const std::string& source) {
    OpenMainSource(dir_.Write("book.pp", source));
    state_ = TagState();
    std::string line;
    LineOutput output;
    while (!EndOfSource()) {
      ReadSourceLine(line, kLineText);
      ProcessLine(line, context_, state_, output);
    }
    CloseSources();
  }
  std::string Reports() { return dir_.Read("book.lst"); }
  std::string At(int line) {
    std::string number = std::to_string(line);
    return dir_.File("book.pp") + "(" + std::string(5 - number.size(), ' ') + number + "): ";
  }
  const TableEntry& Heading(int row) { return EntryAt(tables_.headings, row); }

  TempDir dir_;
  HelpTables tables_;
  PassContext context_;
  TagState state_;
};

TEST_F(TagProcessorTest, TopicIsRegisteredUnderItsUpperCaseKeyWithTitleKeyword) {
  Pass("before\n<topic> Getting started </topic> ignored\nbody\n<endtopic/>\n");
  ASSERT_EQ(TableCount(tables_.topics), 1);
  const TableEntry& topic = EntryAt(tables_.topics, 1);
  EXPECT_EQ(topic.name, "GETTING_STARTED");
  EXPECT_EQ(topic.line_numbers, 2);
  EXPECT_EQ(topic.abs_line, 2);
  EXPECT_EQ(topic.count, 1);
  ASSERT_EQ(TableCount(tables_.keywords), 1);
  EXPECT_EQ(EntryAt(tables_.keywords, 1).name, "Getting started");
  EXPECT_EQ(EntryAt(tables_.keywords, 1).files, "GETTING_STARTED");
  EXPECT_EQ(EntryAt(tables_.keywords, 1).flags, 8u);
  // A topic without headings is recorded under its name with level 0.
  ASSERT_EQ(TableCount(tables_.headings), 1);
  EXPECT_EQ(Heading(1).name, "Getting started");
  EXPECT_EQ(Heading(1).value, 0);
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
  EXPECT_EQ(Heading(1).value, GetParam().level);
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
  EXPECT_EXIT(Pass("<topic>T</topic>\n<head1>Title</head2>\n"), ::testing::ExitedWithCode(1), "");
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
  OpenMainSource(dir_.Write("book.pp", "<topic>T</topic>\n"));
  std::string line;
  LineOutput output;
  ReadSourceLine(line, kLineText);
  ProcessLine(line, context_, state_, output);
  EXPECT_TRUE(state_.output_on);
  ProcessLine("text <comment> more\n", context_, state_, output);
  EXPECT_FALSE(state_.output_on);
  ProcessLine("</comment>\n", context_, state_, output);
  EXPECT_TRUE(state_.output_on);
}

TEST_F(TagProcessorTest, MixedDefinitionWarnsAndFollowsTheOpeningForm) {
  Pass("<topic>T</popup>\n<endtopic/>\n");
  EXPECT_EQ(Reports(), At(1) + "Warning : Topic definition is mixed (<topic>...</popup>).\r\n");
  EXPECT_EQ(EntryAt(tables_.topics, 1).flags & kTopicIsPopup, 0u);
}

TEST_F(TagProcessorTest, PopupIsFlagged) {
  Pass("<popup>Note</popup>\n<endtopic/>\n");
  EXPECT_EQ(EntryAt(tables_.topics, 1).flags, kTopicIsPopup);
}

TEST_F(TagProcessorTest, ClosingTopicTagOpensAPairNobodyCanClose) {
  EXPECT_EXIT(Pass("</topic>T</topic>\n"), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(Reports(), At(1) +
                           "Fatal : Unexpected topic or popup tag found while processing </topic> "
                           "link\r\n");
}

TEST_F(TagProcessorTest, TopicInsideTopicIsFatal) {
  EXPECT_EXIT(Pass("<topic>A</topic>\n<topic>B</topic>\n"), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(Reports(),
            At(2) + "Fatal : Topic tag inside topic, previous <endtopic/> tag missing?\r\n");
}

TEST_F(TagProcessorTest, StrayEndTopicIsFatal) {
  EXPECT_EXIT(Pass("text\n<endtopic/>\n"), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(Reports(), At(2) +
                           "Fatal : Topic \"\" could not be found at <endtopic/> after being "
                           "added\r\n");
}

TEST_F(TagProcessorTest, EndTopicInsideOpenPairIsFatal) {
  EXPECT_EXIT(Pass("<topic>A\n<endtopic/>\n"), ::testing::ExitedWithCode(1), "");
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
  EXPECT_EXIT(Pass("<topic> </topic>\n<endtopic/>\n"), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(Reports(), At(1) + "Warning : Invalid topic name \"\", should be an identifier\r\n" +
                           At(2) +
                           "Fatal : Topic \"\" could not be found at <endtopic/> after being "
                           "added\r\n");
}

TEST_F(TagProcessorTest, FortyOneCharacterNameIsFatal) {
  EXPECT_EXIT(Pass("<topic>" + std::string(41, 'a') + "</topic>\n"), ::testing::ExitedWithCode(1),
              "");
  EXPECT_EQ(Reports(), At(1) + "Fatal : Topic string \"" + std::string(41, 'a') +
                           "\" too long, maximum length is 40\r\n");
}

TEST_F(TagProcessorTest, CheckJumpsWarnsOncePerUndefinedNameAndAboutDuplicates) {
  Pass(
      "<topic>A</topic>\n<endtopic/>\n<topic>a</topic>\n<endtopic/>\n<topic>B</topic>\n"
      "<endtopic/>\n");
  InsertEntry(tables_.jumps, "MISSING", dir_.File("book.pp"), 9, 9, 3, 0, 0, 0, 0);
  InsertEntry(tables_.jumps, "B", dir_.File("book.pp"), 8, 8, 1, 0, 0, 0, 0);
  CheckJumps(tables_.topics, tables_.jumps);
  EXPECT_EQ(Reports(), At(9) + "Warning : Ignoring 3 jump(s) to undefined topic MISSING\r\n" +
                           At(1) + "Warning : Duplicate topic A\r\n");
}

TEST_F(TagProcessorTest, CheckHeadingsFindsTopicsSharingATitle) {
  Pass(
      "<topic>A</topic>\n<head1>Same</head1>\n<endtopic/>\n"
      "<topic>B</topic>\n<head1>Same</head1>\n<endtopic/>\n");
  SortTable(tables_.headings, 'A');
  CheckHeadings(tables_.topics, tables_.headings);
  EXPECT_EQ(Reports(), At(4) + "Warning : Topic \"B\" had no corresponding heading.\r\n");
}

TEST_F(TagProcessorTest, CheckHeadingsLetsNoTopicOutrankTheFirst) {
  Pass(
      "<topic>A</topic>\n<head2>Two</head2>\n<endtopic/>\n"
      "<popup>P</popup>\n<head1>Popup title</head1>\n<endtopic/>\n"
      "<topic>B</topic>\n<endtopic/>\n"
      "<topic>C</topic>\n<head1>One</head1>\n<endtopic/>\n");
  SortTable(tables_.headings, 'A');
  EXPECT_EXIT(CheckHeadings(tables_.topics, tables_.headings), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(Reports(), At(11) +
                           "Fatal : Heading \"One\" in the current topic is a lower heading level "
                           "(less indented) than the first topic.\r\n");
}

TEST_F(TagProcessorTest, CheckHeadingsDropsPopupTitlesAndInheritsLevels) {
  Pass(
      "<topic>A</topic>\n<head2>Two</head2>\n<endtopic/>\n"
      "<popup>P</popup>\n<head1>Popup title</head1>\n<endtopic/>\n"
      "<topic>B</topic>\n<endtopic/>\n");
  SortTable(tables_.headings, 'A');
  CheckHeadings(tables_.topics, tables_.headings);
  EXPECT_EQ(Reports(), "");
  ASSERT_EQ(TableCount(tables_.headings), 2);
  EXPECT_EQ(Heading(1).name, "Two");
  EXPECT_EQ(Heading(2).name, "B");
  EXPECT_EQ(Heading(2).value, 2);
}

TEST_F(TagProcessorTest, OutputPassCountsHeadingsWithoutReordering) {
  Pass("<topic>Zed</topic>\n<endtopic/>\n<topic>Alpha</topic>\n<endtopic/>\n");
  SortTable(tables_.headings, 'A');
  context_.headings_in_source_order = true;
  ClearColumn(tables_.headings, "Count");
  Pass("<topic>Zed</topic>\n<endtopic/>\n<topic>Alpha</topic>\n<endtopic/>\n");
  ASSERT_EQ(TableCount(tables_.headings), 2);
  EXPECT_EQ(Heading(1).name, "Zed");
  EXPECT_EQ(Heading(1).count, 1);
  EXPECT_EQ(Heading(2).name, "Alpha");
  EXPECT_EQ(Heading(2).count, 1);
}

}  // namespace
}  // namespace quillark
