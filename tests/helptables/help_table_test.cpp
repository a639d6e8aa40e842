#include "helptables/help_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/temp_dir.h"

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

TEST(InsertEntry, EqualNameGoesBeforeTheOneTheSearchMet) {
  HelpTable table;
  Add(table, "beta");
  Add(table, "Alpha");
  Add(table, "alpha");
  EXPECT_EQ(Names(table), (std::vector<std::string>{"alpha", "Alpha", "beta"}));
  EXPECT_EQ(FindByName(table, "ALPHA"), 1);
  EXPECT_EQ(CountByName(table, "ALPHA"), 2);
  EXPECT_EQ(CountByName(table, "alph"), kNotFound);
  EXPECT_EQ(CountByName(table, "alphas"), kNotFound);
}

TEST(InsertEntry, FlagsFullWhenTheInsertionReaches3000Records) {
  HelpTable table;
  char name[16];
  for (int i = 1; i < kTableCapacity; ++i) {
    std::snprintf(name, sizeof name, "t%05d", i);
    ASSERT_FALSE(InsertEntry(table, name, "", 0, i, 0, 0, 0, 0, 0)) << i;
  }
  EXPECT_TRUE(InsertEntry(table, "t03000", "", 0, 3000, 0, 0, 0, 0, 0));
  EXPECT_TRUE(InsertEntry(table, "a", "", 0, 0, 0, 0, 0, 0, 0));  // a full table takes no more
  EXPECT_EQ(TableCount(table), 3000);
  EXPECT_EQ(FindByName(table, "a"), kNotFound);
  EXPECT_EQ(FindByName(table, "T01234"), 1234);
}

TEST(NameSearch, StepsBackToTheFirstEqualName) {
  HelpTable table;
  for (int line : {10, 20, 30, 40, 50}) Add(table, "same", line);
  Add(table, "aaa");
  // Each equal name goes before the one the search met, which need not be the
  // first: the lines stand as 30, 50, 40, 20, 10 after "aaa".
  EXPECT_EQ(FindByName(table, "SAME"), 2);
  EXPECT_EQ(CountByName(table, "same"), 5);
  EXPECT_EQ(FindByNameAt(table, "same", 50), 3);
  EXPECT_EQ(FindByNameAt(table, "same", 10), 6);
  EXPECT_EQ(FindByNameAt(table, "same", 15), kNotFound);
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

TEST(FindByPosition, ModesAndMasks) {
  HelpTable table;
  // In name order: 1 a(30) 2 b(10, popup) 3 c(20) 4 d(10) 5 e(40, examples) 6 f(20)
  Add(table, "a", 30);
  Add(table, "b", 10, kTopicIsPopup);
  Add(table, "c", 20);
  Add(table, "d", 10);
  Add(table, "e", 40, kTopicHasExamples);
  Add(table, "f", 20);
  auto find = [&table](PositionMode mode, std::int32_t position, std::uint32_t mask = kAllFlags) {
    return FindByPosition(table, position, mask, mode);
  };
  EXPECT_EQ(find(PositionMode::kFirst, 0), 2);
  EXPECT_EQ(find(PositionMode::kFirst, 0, kNoPopups), 4);
  EXPECT_EQ(find(PositionMode::kAfter, 10), 3);  // of two equal lines the earlier record
  EXPECT_EQ(find(PositionMode::kAfter, 40), kNotFound);
  EXPECT_EQ(find(PositionMode::kBefore, 30), 3);
  EXPECT_EQ(find(PositionMode::kBefore, 10), kNotFound);
  EXPECT_EQ(find(PositionMode::kEqual, 20), 3);
  EXPECT_EQ(find(PositionMode::kEqual, 10, kNoPopups), 4);
  EXPECT_EQ(find(PositionMode::kLast, 0), 5);
  EXPECT_EQ(find(PositionMode::kLast, 0, kAllFlags & ~kTopicHasExamples), 1);

  // The extreme lines lie outside the search bounds.
  HelpTable extremes;
  Add(extremes, "high", 2147483647);
  Add(extremes, "low", -2147483647);
  EXPECT_EQ(FindByPosition(extremes, 0, kAllFlags, PositionMode::kFirst), 2);
  EXPECT_EQ(FindByPosition(extremes, 0, kAllFlags, PositionMode::kAfter), kNotFound);
  EXPECT_EQ(FindByPosition(extremes, 0, kAllFlags, PositionMode::kLast), 1);
  EXPECT_EQ(FindByPosition(extremes, 0, kAllFlags, PositionMode::kBefore), kNotFound);
}

TEST(SortTable, StableFoldingCaseAndMovingTexts) {
  HelpTable table;
  for (auto [name, line] : {std::pair{"a", 3}, {"b", 1}, {"c", 3}, {"d", 1}, {"B", 2}}) {
    Add(table, name, line);
  }
  SetEntryText(table, FindByName(table, "c"), "text of c");
  SortTable(table, 'a');
  EXPECT_EQ(Names(table), (std::vector<std::string>{"b", "d", "B", "a", "c"}));
  ASSERT_NE(GetEntryText(table, 5), nullptr);
  EXPECT_EQ(*GetEntryText(table, 5), "text of c");
  SortTable(table, 'n');
  EXPECT_EQ(Names(table), (std::vector<std::string>{"a", "b", "B", "c", "d"}));
}

TEST(ClearColumn, ZeroesOnlyTheNamedField) {
  HelpTable table;
  InsertEntry(table, "one", "f", 1, 2, 3, 4, 5, 6, 7);
  auto fields = [&table](std::string_view column) {
    ClearColumn(table, column);
    const TableEntry& e = EntryAt(table, 1);
    return std::vector{e.line_numbers, e.abs_line, e.count, e.value, e.start_pos, e.end_pos};
  };
  EXPECT_EQ(fields("Name"), (std::vector{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(fields("Count"), (std::vector{1, 2, 0, 4, 5, 6}));
  EXPECT_EQ(fields("StartPos"), (std::vector{1, 2, 0, 4, 0, 6}));
  EXPECT_EQ(fields("EndPos"), (std::vector{1, 2, 0, 4, 0, 0}));
  EXPECT_EQ(fields("AbsLine"), (std::vector{1, 0, 0, 4, 0, 0}));
  EXPECT_EQ(fields("Value"), (std::vector{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(fields("FileLine"), (std::vector{0, 0, 0, 0, 0, 0}));
}

TEST(InsertEntry, LimitsOfNamesAndTexts) {
  HelpTable table;
  EXPECT_FALSE(InsertEntry(table, "", "file", 1, 2, 3, 4, 5, 6, 7));
  InsertEntry(table, std::string(300, 'n'), std::string(256, 'f'), 1, 2, 3, 4, 5, 6, 7);
  ASSERT_EQ(TableCount(table), 1);
  EXPECT_EQ(EntryAt(table, 1).name, std::string(255, 'n'));
  EXPECT_EQ(EntryAt(table, 1).files, std::string(255, 'f'));
  // Texts only for records in use, and an empty text changes nothing.
  SetEntryText(table, 2, "no record");
  EXPECT_EQ(GetEntryText(table, 2), nullptr);
  EXPECT_EQ(GetEntryText(table, 1), nullptr);
  SetEntryText(table, 1, "first");
  SetEntryText(table, 1, "");
  EXPECT_EQ(*GetEntryText(table, 1), "first");
  SetEntryText(table, 1, std::string(9000, 'x'));
  EXPECT_EQ(*GetEntryText(table, 1), std::string(8191, 'x'));
}

TEST(DumpTable, RecordLinesAlignColumnsAndShowTextExcerpt) {
  testing_support::TempDir dir;
  HelpTable table;
  InsertEntry(table, "Getting_started", "main.txt", 12, 34, 1, -2, 100, 2000, 3);
  InsertEntry(table, "zz", "inc.txt", 1, 2, 0, 0, 0, 0, 0);
  // 120 characters: the excerpt ends in "..." in place of "xyz".
  SetEntryText(table, 1, "a\r\nb" + std::string(113, '-') + "xyz" + "beyond");
  SetEntryText(table, 2, "short\n");
  DumpTable(dir.File("book.lst"), "", "H", "", table);  // empty lines are left out
  EXPECT_EQ(dir.Read("book.lst"),
            "H\r\n"
            "Getting_started main.txt           12        34         1        -2       100"
            "      2000         3 a\\r\\nb" +
                std::string(113, '-') +
                "...\r\n"
                "zz              inc.txt             1         2         0         0         0"
                "         0         0 short\\n\r\n"
                "\r\n");
}

}  // namespace
}  // namespace quillark
