// Topic registration and the checks that join topics, jumps and headings.
#ifndef QUILLARK_HELPREADER_TOPIC_REGISTRY_H_
#define QUILLARK_HELPREADER_TOPIC_REGISTRY_H_

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "helpmain/report.h"
#include "helpreader/run_context.h"
#include "helpreader/tag_state.h"
#include "helptables/help_table.h"

namespace quillark {

inline constexpr std::size_t kMaxTopicKey = 40;
// The popup pass keeps at most this much of a popup topic's text, counted
// from the topic's start in its page.
inline constexpr std::int64_t kPopupCaptureLimit = 8192;

// The first occurrence of `name` is inserted as the record `make` gives;
// later ones only add 1 to its Count. Returns the table-full flag of an
// insertion.
template <typename Record, typename Make>
bool AddOrCount(HelpTable<Record>& table, std::string_view name, Make make) {
  const int row = table.FindByName(name);
  if (row != kNotFound) {
    ++table.At(row).count;
    return false;
  }
  return table.Insert(make());
}

// Validates and records a topic definition whose pair `opening_tag` ...
// `closing_tag` just closed on `name`, at the reader's current line. Returns
// whether the topic has examples (found by an earlier pass).
bool RegisterTopic(RunContext& run, std::string_view name, std::string_view opening_tag,
                   std::string_view closing_tag);

// After Pass 2: undefined jump targets, invalid and duplicate topic names.
void CheckJumps(Listing& listing, const TopicTable& topics, const JumpTable& jumps);
// In Pass 4, with the headings in source order: topics without a heading
// (but for those the source ends inside, which were told of already), popup
// titles dropped, and no heading ranked above the first topic's.
void CheckHeadings(Listing& listing, const TopicTable& topics, HeadingTable& headings,
                   const std::set<std::string>& topics_without_end = {});

// At the end of the first pass: a source that ends inside a topic, or inside
// an open pair, says so at the line where the topic or the pair began.
void CheckEndOfSource(RunContext& run, const TagState& state);

// True when `row` (possibly kNotFound) is a popup topic of TopicTab.
inline bool IsPopupRow(const TopicTable& topics, int row) {
  return row != kNotFound && topics.At(row).is_popup;
}

// The identifier form of a topic name in upper case: the key of TopicTab,
// of page file names and of every link to the topic.
std::string TopicKey(std::string_view name);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_TOPIC_REGISTRY_H_
