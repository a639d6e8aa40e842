// Topic registration and the checks that join topics, jumps and headings.
#ifndef QUILLARK_HELPREADER_TOPIC_REGISTRY_H_
#define QUILLARK_HELPREADER_TOPIC_REGISTRY_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "helptables/help_table.h"
#include "helpwriter/writer_state.h"

namespace quillark {

inline constexpr std::size_t kMaxTopicKey = 40;

// The first occurrence of a name is inserted with the given fields; later
// ones only add 1 to its Count. Returns the table-full flag of an insertion.
bool AddOrCount(HelpTable& table, std::string_view name, std::string_view files,
                std::int32_t line_numbers, std::int32_t abs_line, std::int32_t count,
                std::int32_t value, std::int32_t start_pos, std::int32_t end_pos,
                std::uint32_t flags);

// Validates and records a topic definition whose pair `opening_tag` ...
// `closing_tag` just closed on `name`. Returns whether the topic has examples
// (found by an earlier pass).
bool RegisterTopic(std::string_view name, std::string_view opening_tag,
                   std::string_view closing_tag, OutputFormat format, HelpTables& tables);

// After Pass 2: undefined jump targets, invalid and duplicate topic names.
void CheckJumps(const HelpTable& topics, const HelpTable& jumps);
// In Pass 4, with the headings in source order: topics without a heading,
// popup titles dropped, and no heading ranked above the first topic's.
void CheckHeadings(const HelpTable& topics, HelpTable& headings);

// True when `row` (possibly kNotFound) is a popup topic of TopicTab.
inline bool IsPopupRow(const HelpTable& topics, int row) {
  return row != kNotFound && (EntryAt(topics, row).flags & kTopicIsPopup) != 0;
}

// The identifier form of a topic name in upper case: the key of TopicTab,
// of page file names and of every link to the topic.
std::string TopicKey(std::string_view name);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_TOPIC_REGISTRY_H_
