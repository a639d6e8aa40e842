#include "helpwriter/topic_order.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

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
  for (int row : LiteralWalk(topics)) {
    if (runtime::EqualsNoCase(EntryAt(topics, row).name, target)) break;
    ++place.ordinal;
  }
  return place;
}

void ExpectSamePlace(const HelpTable& topics, std::string_view key, std::string_view title) {
  const TopicPlace expected = LiteralPlace(topics, key, title);
  const TopicPlace actual = LocateTopic(topics, key, title);
  EXPECT_EQ(std::vector({actual.row, actual.previous, actual.next, actual.ordinal}),
            std::vector({expected.row, expected.previous, expected.next, expected.ordinal}))
      << key << " / " << title;
  EXPECT_EQ(TopicOrdinal(topics, title), expected.ordinal) << title;
}

// Random tables with duplicate names, mixed case, ties, popups, other flag
// bits and the extreme positions, changed between queries.
TEST(TopicOrder, MatchesTheLiteralWalkOnRandomTables) {
  const std::vector<std::string> pool = {"ALPHA",  "Beta", "GAMMA", "delta", "EPSILON",
                                         "ZETA",   "ETA",  "THETA", "IOTA",  "KAPPA",
                                         "LAMBDA", "MU",   "NU_1",  "XI_2",  "OMICRON"};
  const std::vector<std::int32_t> extremes = {2147483647, -2147483647 - 1, -2147483647, -2147483646,
                                              0};
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
      for (const std::string& name : pool) ExpectSamePlace(topics, name, runtime::LowerAscii(name));
      ExpectSamePlace(topics, "MISSING", "Missing");
      for (std::int32_t position : {-1, 0, 5, 15, 29, 30, 2147483647, -2147483647}) {
        EXPECT_EQ(PreviousTopicRow(topics, position),
                  FindByPosition(topics, position, kNoPopups, PositionMode::kBefore));
        EXPECT_EQ(NextTopicRow(topics, position),
                  FindByPosition(topics, position, kNoPopups, PositionMode::kAfter));
      }
      // Change the table the ways a pass can, and a few more.
      const int count = TableCount(topics);
      if (count == 0 || pick(5) == 0) {
        AddTopic(topics, pool[pick(pool.size())], static_cast<std::int32_t>(pick(30)));
        continue;
      }
      TableEntry& entry = EntryAt(topics, 1 + static_cast<int>(pick(count)));
      const std::size_t change = pick(4);
      if (change == 0) entry.flags ^= kTopicIsPopup;
      if (change == 1) entry.abs_line = static_cast<std::int32_t>(pick(30));
      if (change == 2) entry.name = pool[pick(pool.size())];  // a name changed in place
      if (change == 3) entry.start_pos += 7;
    }
  }
}

}  // namespace
}  // namespace quillark
