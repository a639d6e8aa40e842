#include "helpreader/topic_registry.h"

#include <string>

#include "helpmain/report.h"
#include "helpmain/run_files.h"
#include "helpreader/source_reader.h"
#include "helptags/tag_vocabulary.h"
#include "helpwriter/file_names.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace quillark {
namespace {

// Reports at a table record's own file and line.
void ReportAtRecord(const TableEntry& entry, char kind, std::string_view message) {
  ReportMessage(false, GetListingFileName(), kind,
                FormatReportLine(entry.files, entry.line_numbers, kind, message));
}

void FatalIfFull(bool full, std::string_view table_name, std::string_view name) {
  if (!full) return;
  ReportAtSource(kFatal, "Table \"" + std::string(table_name) + "\" is full up while adding \"" +
                             std::string(name) + "\"");
}

}  // namespace

std::string TopicKey(std::string_view name) {
  return runtime::UpperAscii(runtime::SanitizeIdent(name));
}

bool AddOrCount(HelpTable& table, std::string_view name, std::string_view files,
                std::int32_t line_numbers, std::int32_t abs_line, std::int32_t count,
                std::int32_t value, std::int32_t start_pos, std::int32_t end_pos,
                std::uint32_t flags) {
  const int row = FindByName(table, name);
  if (row != kNotFound) {
    ++EntryAt(table, row).count;
    return false;
  }
  return InsertEntry(table, name, files, line_numbers, abs_line, count, value, start_pos, end_pos,
                     flags);
}

bool RegisterTopic(std::string_view name, std::string_view opening_tag,
                   std::string_view closing_tag, OutputFormat format, HelpTables& tables) {
  const std::string_view trimmed = runtime::TrimControl(name);
  const std::string key = runtime::SanitizeIdent(trimmed);
  if (key.size() > kMaxTopicKey) {
    ReportAtSource(kFatal, "Topic string \"" + key + "\" too long, maximum length is " +
                               std::to_string(kMaxTopicKey));
  }
  if (!TagsMatch(opening_tag, closing_tag)) {
    ReportAtSource(kWarning, "Topic definition is mixed (" + std::string(opening_tag) + "..." +
                                 std::string(closing_tag) + ").");
  }
  if (!runtime::IsIdentifier(key)) {
    ReportAtSource(kWarning, "Invalid topic name \"" + key + "\", should be an identifier");
  }
  const std::string upper_key = runtime::UpperAscii(key);
  const std::string& file = CurrentSourceName();
  const int line = CurrentLineNumber();
  const int abs_line = AbsoluteLineNumber();
  FatalIfFull(AddOrCount(tables.topics, upper_key, file, line, abs_line, 1, 0, 0, 0, 0), "TopicTab",
              upper_key);

  bool has_examples = false;
  const int row = FindByName(tables.topics, upper_key);
  if (row != kNotFound) {
    TableEntry& topic = EntryAt(tables.topics, row);
    has_examples = (topic.flags & kTopicHasExamples) != 0;
    if (opening_tag == "<popup>" || opening_tag == "<popup_include>") topic.flags |= kTopicIsPopup;
  }

  // Every topic's name is also an index keyword of the topic, in the form the
  // keyword table first met it.
  std::string keyword(trimmed);
  const int known = FindByName(tables.keywords, keyword);
  if (known != kNotFound) keyword = EntryAt(tables.keywords, known).name;
  const int here = FindByNameAt(tables.keywords, keyword, abs_line);
  if (here == kNotFound) {
    FatalIfFull(InsertEntry(tables.keywords, keyword, upper_key, line, abs_line, 1, 0, 0, 0, 8),
                "KeywordTab", keyword);
  } else {
    ++EntryAt(tables.keywords, here).count;
  }

  if (row != kNotFound && EntryAt(tables.topics, row).start_pos == 0) {
    const std::string page = TopicFileName(format, GetOutputFileName(), upper_key, PageKind::kMain);
    const std::int64_t size = page.empty() ? -1 : runtime::FileSize(page);
    EntryAt(tables.topics, row).start_pos = size > 0 ? static_cast<std::int32_t>(size + 1) : 1;
  }
  return has_examples;
}

void CheckJumps(const HelpTable& topics, const HelpTable& jumps) {
  for (int row = 1; row <= TableCount(jumps); ++row) {
    const TableEntry& jump = EntryAt(jumps, row);
    if (FindByName(topics, jump.name) == kNotFound) {
      ReportAtRecord(
          jump, kWarning,
          "Ignoring " + std::to_string(jump.count) + " jump(s) to undefined topic " + jump.name);
    }
  }
  for (int row = 1; row <= TableCount(topics); ++row) {
    const TableEntry& topic = EntryAt(topics, row);
    if (!runtime::IsIdentifier(topic.name)) {
      ReportAtRecord(topic, kWarning,
                     "Invalid topic name \"" + topic.name + "\", should be an identifier");
    }
    if (topic.count != 1) ReportAtRecord(topic, kWarning, "Duplicate topic " + topic.name);
  }
}

void CheckHeadings(const HelpTable& topics, HelpTable& headings) {
  const int topic_count = TableCount(topics);
  for (int row = 1; row <= topic_count; ++row) {
    const TableEntry& topic = EntryAt(topics, row);
    if (FindByPosition(headings, topic.abs_line, kAllFlags, PositionMode::kEqual) == kNotFound) {
      ReportAtRecord(topic, kWarning, "Topic \"" + topic.name + "\" had no corresponding heading.");
    }
  }
  // Popup titles take no part in the level check.
  std::vector<TableEntry> kept;
  for (int row = 1; row <= TableCount(headings); ++row) {
    TableEntry& heading = EntryAt(headings, row);
    const int owner = FindByPosition(topics, heading.abs_line, kAllFlags, PositionMode::kEqual);
    if (owner != kNotFound && (EntryAt(topics, owner).flags & kTopicIsPopup) != 0) continue;
    kept.push_back(std::move(heading));
  }
  headings.entries = std::move(kept);

  for (std::size_t i = 0; i < headings.entries.size(); ++i) {
    if (headings.entries[i].value == 0) {
      headings.entries[i].value = i == 0 ? 1 : headings.entries[i - 1].value;
    }
  }
  if (headings.entries.size() < 2) return;
  const int first = headings.entries[0].value;
  for (std::size_t i = 1; i < headings.entries.size(); ++i) {
    const TableEntry& heading = headings.entries[i];
    if (heading.value < first) {
      ReportAtRecord(heading, kFatal,
                     "Heading \"" + heading.name +
                         "\" in the current topic is a lower heading level (less indented) than "
                         "the first topic.");
    }
  }
}

}  // namespace quillark
