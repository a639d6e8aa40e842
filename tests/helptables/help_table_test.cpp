#include "helptables/help_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quillark {
namespace {

void Add(HelpTable& table, std::string_view name, std::int32_t abs_line = 0,
         std::uint32_t flags = 0) {
  InsertEntry(table, name, "", 0, abs_line, 0, 0, 0, 0, flags);
}

std::vector<std::string> Names(const HelpTable& table) {
  std::vector<std::string> names;
  for (int number = 1; number <= TableCount(table); ++number) {
    names.push_back(EntryAt(table, number).name);
  }
  return names;
}

// A listing file of its own for each test, empty at the start.
std::string FreshListing() {
  std::string path = ::testing::TempDir() + "help_table_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".lst";
  std::remove(path.c_str());
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(InsertEntry, EqualNameGoesBeforeTheOneTheSearchMet) {
  HelpTable table;
  Add(table, "beta");
  Add(table, "Alpha");
  Add(table, "alpha");
  EXPECT_EQ(Names(table), (std::vector<std::string>{"alpha", "Alpha", "beta"}));
  EXPECT_EQ(FindByName(table, "ALPHA"), 1);
  EXPECT_EQ(CountByName(table, "ALPHA"), 2);
}

TEST(InsertEntry, CutsNameAndFilesTo255CharactersAndSkipsEmptyNames) {
  HelpTable table;
  EXPECT_FALSE(InsertEntry(table, "", "file", 1, 2, 3, 4, 5, 6, 7));
  EXPECT_EQ(TableCount(table), 0);
  InsertEntry(table, std::string(300, 'n'), std::string(256, 'f'), 1, 2, 3, 4, 5, 6, 7);
  const TableEntry& entry = EntryAt(table, 1);
  EXPECT_EQ(entry.name, std::string(255, 'n'));
  EXPECT_EQ(entry.files, std::string(255, 'f'));
  EXPECT_EQ(entry.end_pos, 6);
  EXPECT_EQ(entry.flags, 7u);
}

TEST(InsertEntry, FlagsFullWhenTheInsertionReaches3000Records) {
  HelpTable table;
  char name[16];
  for (int i = 1; i < kTableCapacity; ++i) {
    std::snprintf(name, sizeof name, "t%05d", i);
    ASSERT_FALSE(InsertEntry(table, name, "", 0, i, 0, 0, 0, 0, 0)) << i;
  }
  EXPECT_TRUE(InsertEntry(table, "t03000", "", 0, 3000, 0, 0, 0, 0, 0));
  EXPECT_EQ(TableCount(table), 3000);
  // A full table takes no more records.
  EXPECT_TRUE(InsertEntry(table, "a", "", 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(TableCount(table), 3000);
  EXPECT_EQ(FindByName(table, "a"), kNotFound);
  EXPECT_EQ(FindByName(table, "T01234"), 1234);
}

TEST(NameSearch, StepsBackToTheFirstEqualName) {
  HelpTable table;
  for (int line : {10, 20, 30, 40, 50}) Add(table, "same", line);
  Add(table, "aaa");
  Add(table, "zzz");
  // An equal name goes before the one the search met, which need not be the
  // first: the lines stand as 30, 50, 40, 20, 10 after "aaa".
  EXPECT_EQ(FindByName(table, "SAME"), 2);
  EXPECT_EQ(CountByName(table, "same"), 5);
  EXPECT_EQ(FindByNameAt(table, "same", 30), 2);
  EXPECT_EQ(FindByNameAt(table, "same", 50), 3);
  EXPECT_EQ(FindByNameAt(table, "same", 10), 6);
  EXPECT_EQ(FindByNameAt(table, "same", 15), kNotFound);
  EXPECT_EQ(FindByNameAt(table, "zzz", 10), kNotFound);
}

TEST(NameSearch, AbsentNameCountsMinusOne) {
  HelpTable table;
  EXPECT_EQ(CountByName(table, "x"), kNotFound);
  EXPECT_EQ(FindByName(table, "x"), kNotFound);
  Add(table, "ab");
  EXPECT_EQ(CountByName(table, "a"), kNotFound);
  EXPECT_EQ(CountByName(table, "abc"), kNotFound);
}

TEST(NameSearch, TableSortedByAnotherKeyCanMissAName) {
  HelpTable table;
  Add(table, "a", 5);
  Add(table, "b", 4);
  Add(table, "c", 3);
  Add(table, "d", 2);
  Add(table, "e", 1);
  SortTable(table, 'A');
  ASSERT_EQ(Names(table), (std::vector<std::string>{"e", "d", "c", "b", "a"}));
  EXPECT_EQ(FindByName(table, "c"), 3);
  EXPECT_EQ(FindByName(table, "a"), kNotFound);
  // The new record lands where its bisection ends.
  Add(table, "b2");
  EXPECT_EQ(Names(table), (std::vector<std::string>{"b2", "e", "d", "c", "b", "a"}));
}

TEST(FindByFileName, ComparesTheNameWithoutDriveAndFolder) {
  HelpTable table;
  Add(table, "c:\\pics\\Logo.bmp");
  Add(table, "art/Logo.BMP");
  EXPECT_EQ(FindByFileName(table, "Logo.BMP", false), 1);
  EXPECT_EQ(FindByFileName(table, "logo.bmp", true), 1);
  EXPECT_EQ(FindByFileName(table, "logo.bmp", false), kNotFound);
  EXPECT_EQ(FindByFileName(table, "pics\\Logo.bmp", true), kNotFound);
}

struct PositionCase {
  const char* label;
  PositionMode mode;
  std::int32_t position;
  std::uint32_t mask;
  int expected;
};

// Records in name order: 1 a(30) 2 b(10, popup) 3 c(20) 4 d(10) 5 e(40) 6 f(20)
class FindByPositionTest : public ::testing::TestWithParam<PositionCase> {
 protected:
  void SetUp() override {
    Add(table_, "a", 30);
    Add(table_, "b", 10, kTopicIsPopup);
    Add(table_, "c", 20);
    Add(table_, "d", 10);
    Add(table_, "e", 40, kTopicHasExamples);
    Add(table_, "f", 20);
  }
  HelpTable table_;
};

TEST_P(FindByPositionTest, FindsTheExpectedRecord) {
  const PositionCase& c = GetParam();
  EXPECT_EQ(FindByPosition(table_, c.position, c.mask, c.mode), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FindByPositionTest,
    ::testing::Values(
        PositionCase{"FirstAll", PositionMode::kFirst, 0, kAllFlags, 2},
        PositionCase{"FirstNoPopups", PositionMode::kFirst, 0, kNoPopups, 4},
        PositionCase{"AfterTieGoesEarlier", PositionMode::kAfter, 10, kAllFlags, 3},
        PositionCase{"AfterLast", PositionMode::kAfter, 40, kAllFlags, -1},
        PositionCase{"AfterSkipsPopup", PositionMode::kAfter, 5, kNoPopups, 4},
        PositionCase{"BeforeTieGoesEarlier", PositionMode::kBefore, 30, kAllFlags, 3},
        PositionCase{"BeforeFirst", PositionMode::kBefore, 10, kAllFlags, -1},
        PositionCase{"BeforeWithPopup", PositionMode::kBefore, 20, kAllFlags, 2},
        PositionCase{"EqualFirstInTableOrder", PositionMode::kEqual, 20, kAllFlags, 3},
        PositionCase{"EqualSkipsPopup", PositionMode::kEqual, 10, kNoPopups, 4},
        PositionCase{"EqualAbsent", PositionMode::kEqual, 25, kAllFlags, -1},
        PositionCase{"LastAll", PositionMode::kLast, 0, kAllFlags, 5},
        PositionCase{"LastMaskWithoutExamplesBit", PositionMode::kLast, 0,
                     kAllFlags & ~kTopicHasExamples, 1},
        PositionCase{"ZeroMaskSeesOnlyFlaglessRecords", PositionMode::kLast, 0, 0, 1}),
    [](const ::testing::TestParamInfo<PositionCase>& info) { return info.param.label; });

TEST(FindByPosition, BoundsExcludeTheExtremeLines) {
  HelpTable table;
  Add(table, "high", 2147483647);
  Add(table, "low", -2147483647);
  EXPECT_EQ(FindByPosition(table, 0, kAllFlags, PositionMode::kFirst), 2);
  EXPECT_EQ(FindByPosition(table, 0, kAllFlags, PositionMode::kAfter), kNotFound);
  EXPECT_EQ(FindByPosition(table, 0, kAllFlags, PositionMode::kLast), 1);
  EXPECT_EQ(FindByPosition(table, 0, kAllFlags, PositionMode::kBefore), kNotFound);
}

TEST(FindByPosition, WalkInSourceOrderLeavesPopupsOut) {
  HelpTable table;
  Add(table, "zeta", 1);
  Add(table, "popup", 2, kTopicIsPopup);
  Add(table, "alpha", 3);
  Add(table, "mid", 3);
  std::vector<std::string> walked;
  int number = FindByPosition(table, 0, kNoPopups, PositionMode::kFirst);
  while (number != kNotFound) {
    walked.push_back(EntryAt(table, number).name);
    number =
        FindByPosition(table, EntryAt(table, number).abs_line, kNoPopups, PositionMode::kAfter);
  }
  // Two records on one line: the walk takes the earlier and steps past the other.
  EXPECT_EQ(walked, (std::vector<std::string>{"zeta", "alpha"}));
}

TEST(SortTable, KeepsEqualKeysInOrderAndMovesTexts) {
  HelpTable table;
  Add(table, "a", 3);
  Add(table, "b", 1);
  Add(table, "c", 3);
  Add(table, "d", 1);
  Add(table, "e", 2);
  SetEntryText(table, 3, "text of c");
  SortTable(table, 'X');  // not a column: nothing moves
  EXPECT_EQ(Names(table), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  SortTable(table, 'a');
  EXPECT_EQ(Names(table), (std::vector<std::string>{"b", "d", "e", "a", "c"}));
  ASSERT_NE(GetEntryText(table, 5), nullptr);
  EXPECT_EQ(*GetEntryText(table, 5), "text of c");
  SortTable(table, 'N');
  EXPECT_EQ(Names(table), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
}

TEST(SortTable, NameSortFoldsCaseAndKeepsEqualNamesInOrder) {
  HelpTable table;
  Add(table, "B", 1);
  Add(table, "x", 2);
  Add(table, "a", 3);
  Add(table, "b", 4);
  SortTable(table, 'A');
  SortTable(table, 'n');
  std::vector<std::int32_t> lines;
  for (int number = 1; number <= 4; ++number) lines.push_back(EntryAt(table, number).abs_line);
  EXPECT_EQ(lines, (std::vector<std::int32_t>{3, 1, 4, 2}));
}

class ClearColumnTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ClearColumnTest, ZeroesOnlyTheNamedField) {
  HelpTable table;
  InsertEntry(table, "one", "f", 1, 2, 3, 4, 5, 6, 7);
  InsertEntry(table, "two", "f", 1, 2, 3, 4, 5, 6, 7);
  std::string column = GetParam();
  ClearColumn(table, column);
  for (int number = 1; number <= 2; ++number) {
    const TableEntry& e = EntryAt(table, number);
    EXPECT_EQ(e.line_numbers, column[0] == 'F' ? 0 : 1);
    EXPECT_EQ(e.abs_line, column[0] == 'A' ? 0 : 2);
    EXPECT_EQ(e.count, column[0] == 'C' ? 0 : 3);
    EXPECT_EQ(e.value, column[0] == 'V' ? 0 : 4);
    EXPECT_EQ(e.start_pos, column[0] == 'S' ? 0 : 5);
    EXPECT_EQ(e.end_pos, column[0] == 'E' ? 0 : 6);
    EXPECT_EQ(e.flags, 7u);
  }
}

INSTANTIATE_TEST_SUITE_P(Columns, ClearColumnTest,
                         ::testing::Values("Count", "StartPos", "EndPos", "AbsLine", "Value",
                                           "FileLine", "Name", ""));

TEST(EntryText, StoredOnlyForRecordsInUseAndNonEmptyText) {
  HelpTable table;
  Add(table, "a");
  SetEntryText(table, 2, "no record");
  SetEntryText(table, 0, "no record");
  SetEntryText(table, 3001, "no record");
  EXPECT_EQ(GetEntryText(table, 2), nullptr);
  EXPECT_EQ(GetEntryText(table, 1), nullptr);
  SetEntryText(table, 1, "first");
  SetEntryText(table, 1, "");
  ASSERT_NE(GetEntryText(table, 1), nullptr);
  EXPECT_EQ(*GetEntryText(table, 1), "first");
  SetEntryText(table, 1, std::string(9000, 'x'));
  EXPECT_EQ(*GetEntryText(table, 1), std::string(8191, 'x'));
  EXPECT_EQ(GetEntryText(table, -5), nullptr);
}

TEST(DumpTable, EmptyTableWritesItsThreeLinesAndAnEmptyLine) {
  std::string listing = FreshListing();
  HelpTable table;
  DumpTable(listing, "first", "header", "last", table);
  DumpTable(listing, "", "header", "", table);  // empty lines are left out
  EXPECT_EQ(ReadAll(listing), "first\r\nheader\r\nlast\r\n\r\nheader\r\n\r\n");
  std::remove(listing.c_str());
}

TEST(DumpTable, RecordLinesAlignColumnsAndShowTextExcerpt) {
  std::string listing = FreshListing();
  HelpTable table;
  InsertEntry(table, "Getting_started", "main.txt", 12, 34, 1, -2, 100, 2000, 3);
  InsertEntry(table, "zz", "inc.txt", 1, 2, 0, 0, 0, 0, 0);
  // 120 characters: the excerpt ends in "..." in place of "xyz".
  SetEntryText(table, 1, "a\r\nb" + std::string(113, '-') + "xyz" + "beyond");
  SetEntryText(table, 2, "short\n");
  DumpTable(listing, "", "H", "", table);
  std::string expected =
      "H\r\n"
      "Getting_started main.txt           12        34         1        -2       100      2000"
      "         3 a\\r\\nb" +
      std::string(113, '-') +
      "...\r\n"
      "zz              inc.txt             1         2         0         0         0         0"
      "         0 short\\n\r\n"
      "\r\n";
  EXPECT_EQ(ReadAll(listing), expected);
  std::remove(listing.c_str());
}

TEST(DumpAllTables, FramesEachTableWithRules) {
  std::string listing = FreshListing();
  HelpTables tables;
  InsertEntry(tables.keywords, "kw", "Topic_a", 0, 0, 0, 0, 0, 0, 0);
  DumpAllTables(listing, tables);
  std::string rule(80, '-');
  std::string expected =
      rule + "\r\nTopics, Files, LineNumbers, AbsLine, Count, Value, StartPos, EndPos, Flags\r\n" +
      rule + "\r\n\r\n" + rule +
      "\r\nHeadings, Files, LineNumbers, TopicAbsLine, Count, HeadLevel, StartPos, EndPos, "
      "Flags\r\n" +
      rule + "\r\n\r\n" + rule +
      "\r\nJumps, Files, LineNumbers, AbsLine, Counts, Value, StartPos, EndPos, Flags\r\n" + rule +
      "\r\n\r\n" + rule +
      "\r\nKeywords, Topic, LineNumbers, AbsLine, Counts, Value, StartPos, EndPos, Flags\r\n" +
      rule +
      "\r\nkw         Topic_a             0         0         0         0         0"
      "         0         0\r\n\r\n" +
      rule + "\r\nBitmaps, Files, LineNumbers, AbsLine, Counts, Value, Width, Height, Flags\r\n" +
      rule + "\r\n\r\n";
  EXPECT_EQ(ReadAll(listing), expected);
  std::remove(listing.c_str());
}

}  // namespace
}  // namespace quillark
