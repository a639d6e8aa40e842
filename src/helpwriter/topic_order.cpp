#include "helpwriter/topic_order.h"

#include <algorithm>
#include <cstring>
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

// A list of names kept in one block, so that taking a snapshot of TopicTab
// costs one copy and comparing it costs one memory comparison per name.
struct NameList {
  std::string bytes;
  std::vector<std::size_t> ends;  // end of each name in `bytes`

  void Clear() {
    bytes.clear();
    ends.clear();
  }
  void Add(std::string_view name) {
    bytes.append(name);
    ends.push_back(bytes.size());
  }
  void AddUpper(std::string_view name) {
    for (char c : name) bytes.push_back(runtime::UpperAscii(c));
    ends.push_back(bytes.size());
  }
  std::string_view At(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(bytes).substr(begin, ends[i] - begin);
  }
};

// What the order depends on, per TopicTab record when the order was built.
struct SeenRecord {
  std::int32_t abs_line = 0;
  bool popup = false;
};

struct TopicOrder {
  bool built = false;
  std::vector<SeenRecord> seen;
  NameList seen_names;
  std::vector<int> rows;          // the walk's records, first to last
  std::vector<std::int32_t> abs;  // their AbsLine, strictly ascending
  NameList upper_names;           // their names in upper case, in walk order
};

// One TopicTab per run, so one cached order.
TopicOrder& Cached() {
  static TopicOrder order;
  return order;
}

bool IsPopup(const TableEntry& entry) { return (entry.flags & kTopicIsPopup) != 0; }

bool SameBytes(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

bool StillMatches(const HelpTable& topics, const TopicOrder& order) {
  if (!order.built) return false;
  const int count = TableCount(topics);
  if (static_cast<std::size_t>(count) != order.seen.size()) return false;
  for (std::size_t i = 0; i < order.seen.size(); ++i) {
    const TableEntry& entry = EntryAt(topics, static_cast<int>(i) + 1);
    const SeenRecord& seen = order.seen[i];
    if (entry.abs_line != seen.abs_line || IsPopup(entry) != seen.popup ||
        !SameBytes(entry.name, order.seen_names.At(i))) {
      return false;
    }
  }
  return true;
}

void Rebuild(const HelpTable& topics, TopicOrder& order) {
  const auto count = static_cast<std::size_t>(TableCount(topics));
  order.seen.clear();
  order.seen_names.Clear();
  std::vector<std::pair<std::int32_t, int>> candidates;
  candidates.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const int row = static_cast<int>(i) + 1;
    const TableEntry& entry = EntryAt(topics, row);
    order.seen.push_back({entry.abs_line, IsPopup(entry)});
    order.seen_names.Add(entry.name);
    if (!IsPopup(entry) && entry.abs_line != kUpperBound) {
      candidates.emplace_back(entry.abs_line, row);
    }
  }
  // Sorting by (AbsLine, row) puts the record a positional search picks for
  // each AbsLine first; the walk never visits the others.
  std::sort(candidates.begin(), candidates.end());
  order.rows.clear();
  order.abs.clear();
  order.upper_names.Clear();
  for (const auto& [abs_line, row] : candidates) {
    if (!order.abs.empty() && order.abs.back() == abs_line) continue;
    order.abs.push_back(abs_line);
    order.rows.push_back(row);
    order.upper_names.AddUpper(EntryAt(topics, row).name);
  }
  order.built = true;
}

const TopicOrder& CurrentOrder(const HelpTable& topics) {
  TopicOrder& order = Cached();
  if (!StillMatches(topics, order)) Rebuild(topics, order);
  return order;
}

int PreviousIn(const TopicOrder& order, std::int32_t abs_line) {
  auto it = std::lower_bound(order.abs.begin(), order.abs.end(), abs_line);
  if (it == order.abs.begin()) return kNotFound;
  --it;
  if (*it <= kLowerBound) return kNotFound;
  return order.rows[static_cast<std::size_t>(it - order.abs.begin())];
}

int NextIn(const TopicOrder& order, std::int32_t abs_line) {
  auto it = std::upper_bound(order.abs.begin(), order.abs.end(), abs_line);
  if (it == order.abs.end()) return kNotFound;
  return order.rows[static_cast<std::size_t>(it - order.abs.begin())];
}

// The walk stops at the first topic named like the title; names compare
// case-insensitively, so both sides are compared in upper case.
int OrdinalIn(const TopicOrder& order, std::string_view title) {
  const std::string target = runtime::SanitizeIdent(runtime::UpperAscii(title));
  const std::size_t count = order.rows.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (SameBytes(order.upper_names.At(i), target)) return static_cast<int>(i) + 1;
  }
  return static_cast<int>(count) + 1;
}

// The header and footer rule: never on popups, and with the omit-first-page
// option not on a topic without a previous one.
bool CarriesPageText(const TopicPlace& place, bool is_popup) {
  if (is_popup) return false;
  return !OmitFirstPage() || place.previous > 0;
}

}  // namespace

const std::vector<int>& TopicOrderRows(const HelpTable& topics) {
  return CurrentOrder(topics).rows;
}

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
