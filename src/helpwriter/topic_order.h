// Topic order: the non-popup topics of TopicTab in source order, as the walk
// "FIRST" then ">" over AbsLine (popups masked out) visits them. Of several
// records with the same AbsLine only the first in table order is visited.
//
// The writers ask for the previous and next topic and the ordinal of every
// topic. The order is built once and kept until TopicTab changes: every query
// first compares the table with the snapshot the order was built from (record
// count, and per record the name, AbsLine and popup flag). That costs one
// linear pass and needs no call from the code that changes the table. A table
// that gained one record (a pass registering its next topic) has the record
// merged into the order; any other change builds the order again.
#ifndef QUILLARK_HELPWRITER_TOPIC_ORDER_H_
#define QUILLARK_HELPWRITER_TOPIC_ORDER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "helptables/help_table.h"

namespace quillark {

// Where one topic stands in topic order.
struct TopicPlace {
  int row = kNotFound;  // TopicTab record of the key; -1 when the key is not in the table
  int previous = 0;     // previous topic's record; -1 when none; 0 when the key was not found
  int next = 0;         // next topic's record; -1 when none; 0 when the key was not found
  int ordinal = 0;      // 1-based position of the title in topic order
};

// The records of topic order, first to last.
std::vector<int> TopicOrderRows(const HelpTable& topics);

// The non-popup topic with the largest AbsLine below `abs_line` (ties: first
// in table order), or -1: what FindByPosition "<" gives with popups masked out.
int PreviousTopicRow(const HelpTable& topics, std::int32_t abs_line);
// The non-popup topic with the smallest AbsLine above `abs_line`, or -1.
int NextTopicRow(const HelpTable& topics, std::int32_t abs_line);

// 1 + the number of topics the walk passes before reaching the first topic
// named like the identifier form of the upper-cased title; a title the walk
// never reaches (a popup, a missing topic) counts all topics plus 1.
int TopicOrdinal(const HelpTable& topics, std::string_view title);

// The topic's record (looked up by key), its neighbours and its ordinal.
TopicPlace LocateTopic(const HelpTable& topics, std::string_view topic_key,
                       std::string_view topic_title);

// The page header (footer) a topic carries: the header text with the ordinal
// in place of "<page/>", or empty for a popup, or with the omit-first-page
// option for a topic that has no previous topic.
std::string PageHeaderText(const TopicPlace& place, bool is_popup);
std::string PageFooterText(const TopicPlace& place, bool is_popup);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_TOPIC_ORDER_H_
