#include "helpwriter/topic_order.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>

#include "helpwriter/writer_state.h"
#include "runtime/text.h"

namespace quillark {

namespace {

// FindByPosition starts its bounds here: ">" and "FIRST" never find a record
// at the top value, "<" never finds one at or below the bottom value.
constexpr std::int32_t kUpperBound = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kLowerBound = -2147483647;

// One TopicTab record as the order last saw it.
struct SeenRecord {
  std::int32_t abs_line = 0;
  bool popup = false;
  bool has_lower_case = false;
  std::size_t name_begin = 0;  // the name's bytes in TopicOrder::names
  std::size_t name_size = 0;
};

// (AbsLine, row) of a record a positional search can find.
using Candidate = std::pair<std::int32_t, int>;

struct TopicOrder {
  bool built = false;
  std::vector<SeenRecord> seen;  // TopicTab record by record
  std::string names;             // the names' bytes, in no particular order
  // Every non-popup record below the top bound, sorted by (AbsLine, row): the
  // first of each AbsLine is the one a positional search picks, and the
  // others are never visited by the walk.
  std::vector<Candidate> candidates;
};

// One TopicTab per run, so one cached order.
TopicOrder& Cached() {
  static TopicOrder order;
  return order;
}

bool IsPopup(const TableEntry& entry) { return (entry.flags & kTopicIsPopup) != 0; }

bool HasLowerCase(std::string_view name) {
  return std::any_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::string_view SeenName(const TopicOrder& order, const SeenRecord& seen) {
  return std::string_view(order.names).substr(seen.name_begin, seen.name_size);
}

bool SameRecord(const TableEntry& entry, const SeenRecord& seen, const char* names) {
  return entry.abs_line == seen.abs_line && IsPopup(entry) == seen.popup &&
         entry.name.size() == seen.name_size &&
         std::memcmp(entry.name.data(), names + seen.name_begin, seen.name_size) == 0;
}

// Whether entries[first_entry..] and seen[first_seen..] agree for `count` records.
bool SameRecords(const TableEntry* entries, std::size_t first_entry, const TopicOrder& order,
                 std::size_t first_seen, std::size_t count) {
  const char* names = order.names.data();
  for (std::size_t i = 0; i < count; ++i) {
    if (!SameRecord(entries[first_entry + i], order.seen[first_seen + i], names)) return false;
  }
  return true;
}

SeenRecord Remember(TopicOrder& order, const TableEntry& entry) {
  SeenRecord seen{entry.abs_line, IsPopup(entry), HasLowerCase(entry.name), order.names.size(),
                  entry.name.size()};
  order.names.append(entry.name);
  return seen;
}

bool IsCandidate(const TableEntry& entry) {
  return !IsPopup(entry) && entry.abs_line != kUpperBound;
}

void Rebuild(const TableEntry* entries, std::size_t count, TopicOrder& order) {
  order.seen.clear();
  order.names.clear();
  order.candidates.clear();
  for (std::size_t i = 0; i < count; ++i) {
    order.seen.push_back(Remember(order, entries[i]));
    if (IsCandidate(entries[i])) {
      order.candidates.emplace_back(entries[i].abs_line, static_cast<int>(i) + 1);
    }
  }
  std::sort(order.candidates.begin(), order.candidates.end());
  order.built = true;
}

// A pass adds topics one at a time: the records from `index` on move up one
// row and the new record joins the order, without sorting again.
void InsertRecord(const TableEntry& entry, std::size_t index, TopicOrder& order) {
  const int row = static_cast<int>(index) + 1;
  for (Candidate& candidate : order.candidates) {
    if (candidate.second >= row) ++candidate.second;
  }
  if (IsCandidate(entry)) {
    const Candidate added(entry.abs_line, row);
    order.candidates.insert(
        std::lower_bound(order.candidates.begin(), order.candidates.end(), added), added);
  }
  order.seen.insert(order.seen.begin() + static_cast<std::ptrdiff_t>(index),
                    Remember(order, entry));
}

const TopicOrder& CurrentOrder(const HelpTable& topics) {
  TopicOrder& order = Cached();
  const auto count = static_cast<std::size_t>(TableCount(topics));
  const TableEntry* entries = topics.entries.data();
  const std::size_t seen_count = order.seen.size();
  if (order.built && count == seen_count && SameRecords(entries, 0, order, 0, count)) {
    return order;
  }
  if (order.built && count == seen_count + 1) {
    std::size_t index = 0;
    while (index < seen_count &&
           SameRecord(entries[index], order.seen[index], order.names.data())) {
      ++index;
    }
    if (SameRecords(entries, index + 1, order, index, seen_count - index)) {
      InsertRecord(entries[index], index, order);
      return order;
    }
  }
  Rebuild(entries, count, order);
  return order;
}

// Comparisons of a candidate's AbsLine with a line, for the binary searches.
bool IsBelow(const Candidate& candidate, std::int32_t abs_line) {
  return candidate.first < abs_line;
}

bool IsAbove(std::int32_t abs_line, const Candidate& candidate) {
  return abs_line < candidate.first;
}

// The row a search picks among the records at `abs_line`: the first in table order.
int PickedAt(const TopicOrder& order, std::int32_t abs_line) {
  return std::lower_bound(order.candidates.begin(), order.candidates.end(), abs_line, IsBelow)
      ->second;
}

int PreviousIn(const TopicOrder& order, std::int32_t abs_line) {
  auto it = std::lower_bound(order.candidates.begin(), order.candidates.end(), abs_line, IsBelow);
  if (it == order.candidates.begin()) return kNotFound;
  const std::int32_t before = std::prev(it)->first;
  if (before <= kLowerBound) return kNotFound;
  return PickedAt(order, before);
}

int NextIn(const TopicOrder& order, std::int32_t abs_line) {
  auto it = std::upper_bound(order.candidates.begin(), order.candidates.end(), abs_line, IsAbove);
  if (it == order.candidates.end()) return kNotFound;
  return it->second;
}

// The walk visits the first candidate of every AbsLine.
std::vector<int> WalkRows(const TopicOrder& order) {
  std::vector<int> rows;
  for (std::size_t i = 0; i < order.candidates.size(); ++i) {
    if (i > 0 && order.candidates[i].first == order.candidates[i - 1].first) continue;
    rows.push_back(order.candidates[i].second);
  }
  return rows;
}

// The walk stops at the first topic named like the title. Names compare
// case-insensitively; the target is upper case, so a name without lower-case
// letters compares byte for byte.
int OrdinalIn(const TopicOrder& order, std::string_view title) {
  const std::string target = runtime::SanitizeIdent(runtime::UpperAscii(title));
  int ordinal = 1;
  for (std::size_t i = 0; i < order.candidates.size(); ++i) {
    if (i > 0 && order.candidates[i].first == order.candidates[i - 1].first) continue;
    const SeenRecord& seen = order.seen[static_cast<std::size_t>(order.candidates[i].second - 1)];
    if (seen.name_size == target.size()) {
      const std::string_view name = SeenName(order, seen);
      if (seen.has_lower_case ? runtime::EqualsNoCase(name, target) : name == target) {
        return ordinal;
      }
    }
    ++ordinal;
  }
  return ordinal;
}

// The header and footer rule: never on popups, and with the omit-first-page
// option not on a topic without a previous one.
bool CarriesPageText(const TopicPlace& place, bool is_popup) {
  if (is_popup) return false;
  return !OmitFirstPage() || place.previous > 0;
}

}  // namespace

std::vector<int> TopicOrderRows(const HelpTable& topics) { return WalkRows(CurrentOrder(topics)); }

int PreviousTopicRow(const HelpTable& topics, std::int32_t abs_line) {
  return PreviousIn(CurrentOrder(topics), abs_line);
}

int NextTopicRow(const HelpTable& topics, std::int32_t abs_line) {
  return NextIn(CurrentOrder(topics), abs_line);
}

int TopicOrdinal(const HelpTable& topics, std::string_view title) {
  return OrdinalIn(CurrentOrder(topics), title);
}

TopicPlace LocateTopic(const HelpTable& topics, std::string_view topic_key,
                       std::string_view topic_title) {
  const TopicOrder& order = CurrentOrder(topics);
  TopicPlace place;
  place.row = FindByName(topics, topic_key);
  if (place.row > 0) {
    const std::int32_t abs_line = EntryAt(topics, place.row).abs_line;
    place.previous = PreviousIn(order, abs_line);
    place.next = NextIn(order, abs_line);
  }
  place.ordinal = OrdinalIn(order, topic_title);
  return place;
}

std::string PageHeaderText(const TopicPlace& place, bool is_popup) {
  if (!CarriesPageText(place, is_popup)) return {};
  return HeaderWithPage(std::to_string(place.ordinal));
}

std::string PageFooterText(const TopicPlace& place, bool is_popup) {
  if (!CarriesPageText(place, is_popup)) return {};
  return FooterWithPage(std::to_string(place.ordinal));
}

}  // namespace quillark
