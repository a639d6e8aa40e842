#include "helpwriter/topic_order.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "helpwriter/writer_state.h"
#include "runtime/text.h"

namespace quillark {
namespace {

void AddTopic(HelpTable& topics, std::string_view name, std::int32_t abs_line,
              std::uint32_t flags = 0) {
  InsertEntry(topics, name, "book.txt", abs_line, abs_line, 1, 0, 0, 0, flags);
}

// The answers as the table operations give them, one positional search per
// step: what the cached order has to reproduce.
std::vector<int> LiteralWalk(const HelpTable& topics) {
  std::vector<int> rows;
  for (int row = FindByPosition(topics, 0, kNoPopups, PositionMode::kFirst); row != kNotFound;
       row =
           FindByPosition(topics, EntryAt(topics, row).abs_line, kNoPopups, PositionMode::kAfter)) {
    rows.push_back(row);
  }
  return rows;
}

TopicPlace LiteralPlace(const HelpTable& topics, std::string_view key, std::string_view title) {
  TopicPlace place;
  place.row = FindByName(topics, key);
  if (place.row > 0) {
    const std::int32_t abs_line = EntryAt(topics, place.row).abs_line;
    place.previous = FindByPosition(topics, abs_line, kNoPopups, PositionMode::kBefore);
    place.next = FindByPosition(topics, abs_line, kNoPopups, PositionMode::kAfter);
  }
  const std::string target = runtime::SanitizeIdent(runtime::UpperAscii(title));
  place.ordinal = 1;
  int row = FindByPosition(topics, 0, kNoPopups, PositionMode::kFirst);
  while (row != kNotFound && !runtime::EqualsNoCase(EntryAt(topics, row).name, target)) {
    row = FindByPosition(topics, EntryAt(topics, row).abs_line, kNoPopups, PositionMode::kAfter);
    ++place.ordinal;
  }
  return place;
}

void ExpectSamePlace(const HelpTable& topics, std::string_view key, std::string_view title) {
  const TopicPlace expected = LiteralPlace(topics, key, title);
  const TopicPlace actual = LocateTopic(topics, key, title);
  EXPECT_EQ(actual.row, expected.row) << key << " / " << title;
  EXPECT_EQ(actual.previous, expected.previous) << key << " / " << title;
  EXPECT_EQ(actual.next, expected.next) << key << " / " << title;
  EXPECT_EQ(actual.ordinal, expected.ordinal) << key << " / " << title;
  EXPECT_EQ(TopicOrdinal(topics, title), expected.ordinal) << title;
}

TEST(TopicOrder, WalksNonPopupTopicsBySourcePosition) {
  HelpTable topics;
  AddTopic(topics, "ZETA", 10);
  AddTopic(topics, "ALPHA", 30);
  AddTopic(topics, "POP", 20, kTopicIsPopup);
  AddTopic(topics, "MID", 20);
  // Table order: ALPHA 1, MID 2, POP 3, ZETA 4.
  EXPECT_EQ(TopicOrderRows(topics), (std::vector<int>{4, 2, 1}));

  TopicPlace mid = LocateTopic(topics, "MID", "Mid");
  EXPECT_EQ(mid.row, 2);
  EXPECT_EQ(mid.previous, 4);
  EXPECT_EQ(mid.next, 1);
  EXPECT_EQ(mid.ordinal, 2);

  // A popup sits between its neighbours but is never counted.
  TopicPlace pop = LocateTopic(topics, "POP", "pop");
  EXPECT_EQ(pop.row, 3);
  EXPECT_EQ(pop.previous, 4);
  EXPECT_EQ(pop.next, 1);
  EXPECT_EQ(pop.ordinal, 4);

  TopicPlace first = LocateTopic(topics, "ZETA", "Zeta");
  EXPECT_EQ(first.previous, kNotFound);
  EXPECT_EQ(first.ordinal, 1);
  EXPECT_EQ(LocateTopic(topics, "ALPHA", "Alpha").next, kNotFound);
}

TEST(TopicOrder, MissingTopicHasRowZeroNeighboursAndCountsPastTheEnd) {
  HelpTable topics;
  AddTopic(topics, "ONE", 1);
  AddTopic(topics, "TWO", 2);
  TopicPlace place = LocateTopic(topics, "NOPE", "Nope");
  EXPECT_EQ(place.row, kNotFound);
  EXPECT_EQ(place.previous, 0);
  EXPECT_EQ(place.next, 0);
  EXPECT_EQ(place.ordinal, 3);
}

TEST(TopicOrder, OfTiedRecordsOnlyTheFirstInTableOrderIsWalked) {
  HelpTable topics;
  AddTopic(topics, "B", 5);
  AddTopic(topics, "A", 5);
  AddTopic(topics, "C", 7);
  EXPECT_EQ(TopicOrderRows(topics), (std::vector<int>{1, 3}));
  TopicPlace b = LocateTopic(topics, "B", "b");
  EXPECT_EQ(b.previous, kNotFound);
  EXPECT_EQ(b.next, 3);
  EXPECT_EQ(b.ordinal, 3);  // the walk never reaches B
}

TEST(TopicOrder, TitleIsMatchedInItsUpperCaseIdentifierForm) {
  HelpTable topics;
  AddTopic(topics, "INTRO", 1);
  AddTopic(topics, "GETTING_STARTED", 2);
  EXPECT_EQ(TopicOrdinal(topics, "Getting started"), 2);
  EXPECT_EQ(TopicOrdinal(topics, "getting-started"), 2);
  EXPECT_EQ(TopicOrdinal(topics, "Getting started "), 3);
}

TEST(TopicOrder, FollowsEveryChangeOfTheTable) {
  HelpTable topics;
  AddTopic(topics, "ONE", 10);
  AddTopic(topics, "TWO", 20);
  ExpectSamePlace(topics, "TWO", "Two");

  AddTopic(topics, "HALF", 15);  // a record added
  ExpectSamePlace(topics, "TWO", "Two");
  EXPECT_EQ(TopicOrdinal(topics, "Two"), 3);

  EntryAt(topics, FindByName(topics, "HALF")).flags |= kTopicIsPopup;  // a popup flag set
  EXPECT_EQ(TopicOrdinal(topics, "Two"), 2);
  ExpectSamePlace(topics, "HALF", "Half");

  EntryAt(topics, FindByName(topics, "ONE")).abs_line = 30;  // a position moved
  EXPECT_EQ(TopicOrdinal(topics, "Two"), 1);
  ExpectSamePlace(topics, "ONE", "One");

  EntryAt(topics, FindByName(topics, "ONE")).name = "UNO";  // a name changed in place
  EXPECT_EQ(TopicOrdinal(topics, "Uno"), 2);
  ExpectSamePlace(topics, "UNO", "Uno");

  // Another table of the same shape with other names.
  HelpTable other;
  AddTopic(other, "HALF", 15, kTopicIsPopup);
  AddTopic(other, "TWO", 20);
  AddTopic(other, "XXX", 30);
  EXPECT_EQ(TopicOrdinal(other, "Xxx"), 2);
  EXPECT_EQ(TopicOrdinal(other, "Uno"), 3);

  ClearTable(topics);
  EXPECT_TRUE(TopicOrderRows(topics).empty());
  EXPECT_EQ(TopicOrdinal(topics, "Two"), 1);
}

// Random tables with duplicate names, mixed case, ties, popups, other flag
// bits and the extreme positions, changed between queries.
TEST(TopicOrder, MatchesTheLiteralWalkOnRandomTables) {
  const std::vector<std::string> pool = {"ALPHA",  "Beta", "GAMMA", "delta", "EPSILON",
                                         "ZETA",   "ETA",  "THETA", "IOTA",  "KAPPA",
                                         "LAMBDA", "MU",   "NU_1",  "XI_2",  "OMICRON"};
  const std::vector<std::int32_t> extremes = {std::numeric_limits<std::int32_t>::max(),
                                              std::numeric_limits<std::int32_t>::min(), -2147483647,
                                              -2147483646, 0};
  const std::vector<std::uint32_t> flag_choices = {0, 0, 0, 1, 2, 3, 4, 8, 2 | 8};
  std::mt19937 random(20240521);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };

  for (int round = 0; round < 300; ++round) {
    HelpTable topics;
    const int size = static_cast<int>(pick(40));
    for (int i = 0; i < size; ++i) {
      std::int32_t abs_line =
          pick(10) == 0 ? extremes[pick(extremes.size())] : static_cast<std::int32_t>(pick(30));
      AddTopic(topics, pool[pick(pool.size())], abs_line, flag_choices[pick(flag_choices.size())]);
    }
    for (int step = 0; step < 6; ++step) {
      ASSERT_EQ(TopicOrderRows(topics), LiteralWalk(topics)) << "round " << round;
      for (const std::string& name : pool) {
        ExpectSamePlace(topics, name, runtime::LowerAscii(name));
      }
      ExpectSamePlace(topics, "MISSING", "Missing");
      for (std::int32_t position : {-1, 0, 5, 15, 29, 30, 2147483647, -2147483647}) {
        EXPECT_EQ(PreviousTopicRow(topics, position),
                  FindByPosition(topics, position, kNoPopups, PositionMode::kBefore));
        EXPECT_EQ(NextTopicRow(topics, position),
                  FindByPosition(topics, position, kNoPopups, PositionMode::kAfter));
      }
      // Change the table the ways a pass can, and a few more.
      const int count = TableCount(topics);
      switch (pick(4)) {
        case 0:
          AddTopic(topics, pool[pick(pool.size())], static_cast<std::int32_t>(pick(30)));
          break;
        case 1:
          if (count > 0) EntryAt(topics, 1 + static_cast<int>(pick(count))).flags ^= kTopicIsPopup;
          break;
        case 2:
          if (count > 0) {
            EntryAt(topics, 1 + static_cast<int>(pick(count))).abs_line =
                static_cast<std::int32_t>(pick(30));
          }
          break;
        default:
          if (count > 0) EntryAt(topics, 1 + static_cast<int>(pick(count))).start_pos += 7;
          break;
      }
    }
  }
}

// The header rule: never on popups; with -op not on a topic without a
// previous topic (the first in order, or one missing from the table).
struct PageTextCase {
  bool omit_first_page;
  bool is_popup;
  int previous;
  std::string expected;
};

class PageTextTest : public testing::TestWithParam<PageTextCase> {
 protected:
  void SetUp() override {
    ResetWriterState();
    SetHeader("Page <page/>");
    SetFooter("<page/> of many");
    SetOmitFirstPage(GetParam().omit_first_page);
  }
};

TEST_P(PageTextTest, FollowsTheHeaderRule) {
  TopicPlace place;
  place.previous = GetParam().previous;
  place.ordinal = 3;
  const std::string& expected = GetParam().expected;
  EXPECT_EQ(PageHeaderText(place, GetParam().is_popup), expected.empty() ? "" : "Page " + expected);
  EXPECT_EQ(PageFooterText(place, GetParam().is_popup),
            expected.empty() ? "" : expected + " of many");
}

INSTANTIATE_TEST_SUITE_P(
    TopicOrder, PageTextTest,
    testing::Values(PageTextCase{false, false, -1, "3"}, PageTextCase{false, false, 2, "3"},
                    PageTextCase{false, true, 2, ""}, PageTextCase{true, false, -1, ""},
                    PageTextCase{true, false, 0, ""}, PageTextCase{true, false, 2, "3"},
                    PageTextCase{true, true, 2, ""}));

TEST(TopicOrder, NoPageTextWithoutHeaderOrFooter) {
  ResetWriterState();
  TopicPlace place;
  place.previous = 4;
  EXPECT_EQ(PageHeaderText(place, false), "");
  EXPECT_EQ(PageFooterText(place, false), "");
}

}  // namespace
}  // namespace quillark
