#include "helptables/help_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace quillark {
namespace {

TopicRecord Topic(std::string_view name, std::int32_t abs_line = 0, bool popup = false) {
  TopicRecord record;
  record.name = name;
  record.abs_line = abs_line;
  record.is_popup = popup;
  return record;
}

void Add(TopicTable& table, std::string_view name, std::int32_t abs_line = 0, bool popup = false) {
  table.Insert(Topic(name, abs_line, popup));
}

template <typename Record>
std::vector<std::string> Names(const HelpTable<Record>& table) {
  std::vector<std::string> names;
  for (int number = 1; number <= TableCount(table); ++number) {
    names.push_back(EntryAt(table, number).name);
  }
  return names;
}

TEST(InsertEntry, EqualNameGoesBeforeTheOneTheSearchMet) {
  TopicTable table;
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
  TopicTable table;
  char name[16];
  for (int i = 1; i < kTableCapacity; ++i) {
    std::snprintf(name, sizeof name, "t%05d", i);
    ASSERT_FALSE(InsertEntry(table, Topic(name, i))) << i;
  }
  EXPECT_TRUE(InsertEntry(table, Topic("t03000", 3000)));
  EXPECT_TRUE(InsertEntry(table, Topic("a")));  // a full table takes no more
  EXPECT_EQ(TableCount(table), 3000);
  EXPECT_EQ(FindByName(table, "a"), kNotFound);
  EXPECT_EQ(FindByName(table, "T01234"), 1234);
  EXPECT_EQ(EntryAt(table, 1234).abs_line, 1234);
}

TEST(NameSearch, StepsBackToTheFirstEqualName) {
  TopicTable table;
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

TEST(NameSearch, RecordsKeepTheirFieldsWhileOthersAreInsertedBeforeThem) {
  TopicTable table;
  for (int i = 0; i < 200; ++i) Add(table, "n" + std::to_string(1000 - i), i);
  for (int row = 1; row <= table.Count(); ++row) {
    const TopicRecord& record = table.At(row);
    EXPECT_EQ(record.name, "n" + std::to_string(1000 - record.abs_line));
  }
  EXPECT_EQ(table.At(1).name, "n1000");  // "1" sorts before "8"
}

TEST(FindByFileName, ComparesTheNameWithoutDriveAndFolder) {
  BitmapTable table;
  BitmapRecord record;
  record.name = "c:\\pics\\Logo.bmp";
  table.Insert(record);
  record.name = "art/Logo.BMP";
  table.Insert(record);
  EXPECT_EQ(FindByFileName(table, "Logo.BMP", false), 1);
  EXPECT_EQ(FindByFileName(table, "logo.bmp", true), 1);
  EXPECT_EQ(FindByFileName(table, "logo.bmp", false), kNotFound);
  EXPECT_EQ(FindByFileName(table, "pics\\Logo.bmp", true), kNotFound);
}

TEST(FindByPosition, ModesAndFilters) {
  TopicTable table;
  // In name order: 1 a(30) 2 b(10, popup) 3 c(20) 4 d(10) 5 e(40) 6 f(20)
  Add(table, "a", 30);
  Add(table, "b", 10, true);
  Add(table, "c", 20);
  Add(table, "d", 10);
  Add(table, "e", 40);
  Add(table, "f", 20);
  auto no_popups = [](const TopicRecord& topic) { return !topic.is_popup; };
  EXPECT_EQ(FindByPosition(table, 0, PositionMode::kFirst), 2);
  EXPECT_EQ(FindByPosition(table, 0, PositionMode::kFirst, no_popups), 4);
  EXPECT_EQ(FindByPosition(table, 10, PositionMode::kAfter), 3);  // of two equal lines the earlier
  EXPECT_EQ(FindByPosition(table, 40, PositionMode::kAfter), kNotFound);
  EXPECT_EQ(FindByPosition(table, 30, PositionMode::kBefore), 3);
  EXPECT_EQ(FindByPosition(table, 10, PositionMode::kBefore), kNotFound);
  EXPECT_EQ(FindByPosition(table, 20, PositionMode::kEqual), 3);
  EXPECT_EQ(FindByPosition(table, 10, PositionMode::kEqual, no_popups), 4);
  EXPECT_EQ(FindByPosition(table, 0, PositionMode::kLast), 5);
  EXPECT_EQ(FirstRowByLine(table).at(20), 3);
  EXPECT_EQ(FirstRowByLine(table).at(10), 2);
}

TEST(SortByPosition, StableAndKeepsBodies) {
  TopicTable table;
  for (auto [name, line] : {std::pair{"a", 3}, {"b", 1}, {"c", 3}, {"d", 1}, {"B", 2}}) {
    Add(table, name, line);
  }
  SetEntryText(table, FindByName(table, "c"), "text of c");
  const std::uint64_t before = table.version();
  table.SortByPosition();
  EXPECT_NE(table.version(), before);
  EXPECT_EQ(Names(table), (std::vector<std::string>{"b", "d", "B", "a", "c"}));
  ASSERT_NE(GetEntryText(table, 5), nullptr);
  EXPECT_EQ(*GetEntryText(table, 5), "text of c");
  table.Filter([](const TopicRecord& topic) { return topic.abs_line != 1; });
  EXPECT_EQ(Names(table), (std::vector<std::string>{"B", "a", "c"}));
}

TEST(InsertEntry, LimitsOfNamesAndTexts) {
  TopicTable table;
  EXPECT_FALSE(InsertEntry(table, Topic("")));
  EXPECT_EQ(TableCount(table), 0);
  TopicRecord long_one = Topic(std::string(300, 'n'));
  long_one.file = std::string(256, 'f');
  InsertEntry(table, long_one);
  ASSERT_EQ(TableCount(table), 1);
  EXPECT_EQ(EntryAt(table, 1).name, std::string(255, 'n'));
  // Paths stay whole: a cut one would name another file.
  EXPECT_EQ(EntryAt(table, 1).file, std::string(256, 'f'));
  BitmapTable pictures;
  const std::string picture = "/" + std::string(300, 'd') + "/pic.bmp";
  InsertEntry(pictures, BitmapRecord{.name = picture});
  EXPECT_EQ(EntryAt(pictures, 1).name, picture);
  EXPECT_EQ(pictures.FindByName(picture), 1);
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

TEST(DumpTable, EachKindShowsItsFieldsInTheCommonColumns) {
  TopicTable topics;
  TopicRecord topic = Topic("Getting_started", 34);
  topic.file = "main.txt";
  topic.line = 12;
  topic.count = 1;
  topic.start_pos = 100;
  topic.end_pos = 2000;
  topic.has_examples = true;
  topic.is_popup = true;
  topics.Insert(topic);
  TopicRecord plain = Topic("zz", 2);
  plain.file = "inc.txt";
  plain.line = 1;
  topics.Insert(plain);
  // 120 characters: the excerpt ends in "..." in place of "xyz".
  SetEntryText(topics, 1, "a\r\nb" + std::string(113, '-') + "xyz" + "beyond");
  SetEntryText(topics, 2, "short\n");
  EXPECT_EQ(DumpTable("", "H", "", topics),  // empty lines are left out
            "H\r\n"
            "Getting_started main.txt           12        34         1         0       100"
            "      2000         3 a\\r\\nb" +
                std::string(113, '-') +
                "...\r\n"
                "zz              inc.txt             1         2         0         0         0"
                "         0         0 short\\n\r\n"
                "\r\n");

  // A heading's level is the Value column, a picture's size StartPos and
  // EndPos, a title keyword flag 8 and a copied picture flag 4.
  HeadingTable headings;
  HeadingRecord heading;
  heading.name = "Intro";
  heading.level = 2;
  headings.Insert(heading);
  KeywordTable keywords;
  KeywordRecord keyword;
  keyword.name = "Intro";
  keyword.topic = "INTRO";
  keyword.is_topic_title = true;
  keywords.Insert(keyword);
  BitmapTable bitmaps;
  BitmapRecord bitmap;
  bitmap.name = "/p/logo.bmp";
  bitmap.width = 48;
  bitmap.height = 16;
  bitmap.copied = true;
  bitmaps.Insert(bitmap);
  const std::string zeros = "         0";
  EXPECT_EQ(DumpTable("", "", "", headings), "Intro                 " + zeros + zeros + zeros +
                                                 "         2" + zeros + zeros + zeros + "\r\n\r\n");
  EXPECT_EQ(DumpTable("", "", "", keywords), "Intro      INTRO      " + zeros + zeros + zeros +
                                                 zeros + zeros + zeros + "         8\r\n\r\n");
  EXPECT_EQ(DumpTable("", "", "", bitmaps), "/p/logo.bmp            " + zeros + zeros + zeros +
                                                zeros + "        48        16         4\r\n\r\n");
}

}  // namespace
}  // namespace quillark
