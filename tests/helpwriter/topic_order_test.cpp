#include "helpwriter/topic_order.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "runtime/text.h"

namespace quillark {
namespace {

void AddTopic(TopicTable& topics, std::string_view name, std::int32_t abs_line,
              bool popup = false) {
  InsertEntry(topics,
              TopicRecord{.name = std::string(name), .abs_line = abs_line, .is_popup = popup});
}

bool NoPopups(const TopicRecord& topic) { return !topic.is_popup; }

// The answers as the table operations give them, one positional search per
// step: what the cached order has to reproduce.
std::vector<int> LiteralWalk(const TopicTable& topics) {
  std::vector<int> rows;
  for (int row = FindByPosition(topics, 0, PositionMode::kFirst, NoPopups); row != kNotFound;
       row =
           FindByPosition(topics, EntryAt(topics, row).abs_line, PositionMode::kAfter, NoPopups)) {
    rows.push_back(row);
  }
  return rows;
}

TopicPlace LiteralPlace(const TopicTable& topics, std::string_view key, std::string_view title) {
  TopicPlace place;
  place.row = FindByName(topics, key);
  if (place.row > 0) {
    const std::int32_t abs_line = EntryAt(topics, place.row).abs_line;
    place.previous = FindByPosition(topics, abs_line, PositionMode::kBefore, NoPopups);
    place.next = FindByPosition(topics, abs_line, PositionMode::kAfter, NoPopups);
  }
  const std::string target = runtime::SanitizeIdent(runtime::UpperAscii(title));
  place.ordinal = 1;
  for (int row : LiteralWalk(topics)) {
    if (runtime::EqualsNoCase(EntryAt(topics, row).name, target)) break;
    ++place.ordinal;
  }
  return place;
}

void ExpectSamePlace(const TopicOrder& order, const TopicTable& topics, std::string_view key,
                     std::string_view title) {
  const TopicPlace expected = LiteralPlace(topics, key, title);
  const TopicPlace actual = LocateTopic(order, topics, key, title);
  EXPECT_EQ(std::vector({actual.row, actual.previous, actual.next, actual.ordinal}),
            std::vector({expected.row, expected.previous, expected.next, expected.ordinal}))
      << key << " / " << title;
}

// Random tables with duplicate names, mixed case, ties, popups and the
// extreme positions, changed between queries; one order follows the table
// through all its changes.
TEST(TopicOrder, MatchesTheLiteralWalkOnRandomTables) {
  const std::vector<std::string> pool = {"ALPHA",  "Beta", "GAMMA", "delta", "EPSILON",
                                         "ZETA",   "ETA",  "THETA", "IOTA",  "KAPPA",
                                         "LAMBDA", "MU",   "NU_1",  "XI_2",  "OMICRON"};
  const std::vector<std::int32_t> extremes = {2147483647, -2147483647 - 1, -2147483647, -2147483646,
                                              0};
  std::mt19937 random(20240521);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };

  for (int round = 0; round < 300; ++round) {
    TopicTable topics;
    TopicOrder order;
    const int size = static_cast<int>(pick(40));
    for (int i = 0; i < size; ++i) {
      std::int32_t abs_line =
          pick(10) == 0 ? extremes[pick(extremes.size())] : static_cast<std::int32_t>(pick(30));
      AddTopic(topics, pool[pick(pool.size())], abs_line, pick(4) == 0);
    }
    for (int step = 0; step < 6; ++step) {
      order.Update(topics);
      ASSERT_EQ(order.Rows(), LiteralWalk(topics)) << "round " << round;
      for (const std::string& name : pool) {
        ExpectSamePlace(order, topics, name, runtime::LowerAscii(name));
      }
      ExpectSamePlace(order, topics, "MISSING", "Missing");
      for (std::int32_t position : {-1, 0, 5, 15, 29, 30, 2147483647, -2147483647}) {
        EXPECT_EQ(order.Previous(position),
                  FindByPosition(topics, position, PositionMode::kBefore, NoPopups));
        EXPECT_EQ(order.Next(position),
                  FindByPosition(topics, position, PositionMode::kAfter, NoPopups));
      }
      const std::vector<int> rows = order.Rows();
      EXPECT_EQ(order.First(), rows.empty() ? kNotFound : rows.front());
      EXPECT_EQ(order.Last(), rows.empty() ? kNotFound : rows.back());
      // Change the table the ways a pass can, and a few more.
      const int count = TableCount(topics);
      if (count == 0 || pick(5) == 0) {
        AddTopic(topics, pool[pick(pool.size())], static_cast<std::int32_t>(pick(30)));
        continue;
      }
      TopicRecord& entry = EntryAt(topics, 1 + static_cast<int>(pick(count)));
      const std::size_t change = pick(4);
      if (change == 0) entry.is_popup = !entry.is_popup;
      if (change == 1) entry.abs_line = static_cast<std::int32_t>(pick(30));
      if (change == 2) entry.name = pool[pick(pool.size())];  // a name changed in place
      if (change == 0) {
        topics.TouchKind();
      } else if (change == 3) {
        entry.start_pos += 7;  // nothing the order depends on
      } else {
        topics.Touch();
      }
    }
  }
}

}  // namespace
}  // namespace quillark
