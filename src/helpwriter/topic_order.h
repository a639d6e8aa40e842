// Topic order: the non-popup topics of TopicTab in source order, as the walk
// "FIRST" then ">" over AbsLine (popups left out) visits them. Of several
// records with the same AbsLine only the first in table order is visited.
//
// The writers ask for the previous and next topic and the ordinal of every
// topic. The order is built from the table once and kept by the run until
// the table changes.
#ifndef QUILLARK_HELPWRITER_TOPIC_ORDER_H_
#define QUILLARK_HELPWRITER_TOPIC_ORDER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "helptables/help_table.h"
#include "helpwriter/writer_state.h"

namespace quillark {

// Where one topic stands in topic order.
struct TopicPlace {
  int row = kNotFound;  // TopicTab record of the key; -1 when the key is not in the table
  int previous = 0;     // previous topic's record; -1 when none; 0 when the key was not found
  int next = 0;         // next topic's record; -1 when none; 0 when the key was not found
  int ordinal = 0;      // 1-based position of the title in topic order
};

class TopicOrder {
 public:
  TopicOrder() = default;
  explicit TopicOrder(const TopicTable& topics) { Build(topics); }

  // Builds the order again when the table has changed since it was built.
  void Update(const TopicTable& topics) {
    if (!built_ || version_ != topics.version()) Build(topics);
  }

  // The records of topic order, first to last.
  const std::vector<int>& Rows() const { return walk_; }
  int First() const { return walk_.empty() ? kNotFound : walk_.front(); }
  int Last() const { return walk_.empty() ? kNotFound : walk_.back(); }

  // The non-popup topic with the largest AbsLine below `abs_line` (ties:
  // first in table order), or -1.
  int Previous(std::int32_t abs_line) const;
  // The non-popup topic with the smallest AbsLine above `abs_line`, or -1.
  int Next(std::int32_t abs_line) const;
  // 1 + the number of topics the walk passes before reaching the first topic
  // named like the identifier form of the upper-cased title; a title the walk
  // never reaches (a popup, a missing topic) counts all topics plus 1.
  int Ordinal(std::string_view title) const;

 private:
  void Build(const TopicTable& topics);

  bool built_ = false;
  std::uint64_t version_ = 0;
  // Every non-popup record as (AbsLine, row), sorted: the first of each
  // AbsLine is the one a positional search picks.
  std::vector<std::pair<std::int32_t, int>> candidates_;
  std::vector<int> walk_;
  std::unordered_map<std::string, int> ordinal_of_;  // upper-case name -> first ordinal
};

// The topic's record (looked up by key), its neighbours and its ordinal.
TopicPlace LocateTopic(const TopicOrder& order, const TopicTable& topics,
                       std::string_view topic_key, std::string_view topic_title);

// Every record of TopicTab, popups included, in source order (the first of
// each AbsLine only): the order of the project files' topic maps.
std::vector<int> SourceOrderRows(const TopicTable& topics);

// The page header (footer) a topic carries: the header text with the ordinal
// in place of "<page/>", or empty for a popup, or with the omit-first-page
// option for a topic that has no previous topic.
std::string PageHeaderText(const WriterState& writer, const TopicPlace& place, bool is_popup);
std::string PageFooterText(const WriterState& writer, const TopicPlace& place, bool is_popup);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_TOPIC_ORDER_H_
