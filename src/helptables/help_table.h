// The help tables: TopicTab, HeadingTab, JumpTab, KeywordTab and BitmapTab
// share one record layout and one set of operations. Records are numbered
// from 1; records in use occupy 1..n without gaps and are kept in name order
// by InsertEntry. A table never holds more than 3000 records.
#ifndef QUILLARK_HELPTABLES_HELP_TABLE_H_
#define QUILLARK_HELPTABLES_HELP_TABLE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillark {

inline constexpr int kTableCapacity = 3000;
inline constexpr int kNotFound = -1;

// Flag bits.
inline constexpr std::uint32_t kTopicHasExamples = 1;  // TopicTab
inline constexpr std::uint32_t kTopicIsPopup = 2;      // TopicTab
inline constexpr std::uint32_t kBitmapCopied = 4;      // BitmapTab: copied into the project folder
inline constexpr std::uint32_t kAllFlags = 0xFFFFFFFFu;
inline constexpr std::uint32_t kNoPopups = kAllFlags & ~kTopicIsPopup;

struct TableEntry {
  std::string name;   // at most 255 characters
  std::string files;  // at most 255 characters
  std::int32_t line_numbers = 0;
  std::int32_t abs_line = 0;
  std::int32_t count = 0;
  std::int32_t value = 0;
  std::int32_t start_pos = 0;
  std::int32_t end_pos = 0;
  std::uint32_t flags = 0;
  std::optional<std::string> text;  // at most 8191 characters
};

struct HelpTable {
  std::vector<TableEntry> entries;  // records 1..n are entries[0..n-1]
};

// The five tables of a run.
struct HelpTables {
  HelpTable topics;    // TopicTab
  HelpTable headings;  // HeadingTab
  HelpTable jumps;     // JumpTab
  HelpTable keywords;  // KeywordTab
  HelpTable bitmaps;   // BitmapTab
};

enum class PositionMode { kAfter, kBefore, kEqual, kFirst, kLast };  // ">" "<" "=" FIRST LAST

void ClearTable(HelpTable& table);
void ClearAllTables(HelpTables& tables);
int TableCount(const HelpTable& table);

// Record `number` (1-based, 1..TableCount). The caller keeps within range.
TableEntry& EntryAt(HelpTable& table, int number);
const TableEntry& EntryAt(const HelpTable& table, int number);

// Inserts in name order (before the first equal name the bisection meets).
// An empty name inserts nothing. Returns true when the table is full: the
// count after the insertion is 3000 or more.
bool InsertEntry(HelpTable& table, std::string_view name, std::string_view files,
                 std::int32_t line_numbers, std::int32_t abs_line, std::int32_t count,
                 std::int32_t value, std::int32_t start_pos, std::int32_t end_pos,
                 std::uint32_t flags);

int FindByName(const HelpTable& table, std::string_view name);
int FindByNameAt(const HelpTable& table, std::string_view name, std::int32_t abs_line);
int CountByName(const HelpTable& table, std::string_view name);  // -1 when absent
int FindByFileName(const HelpTable& table, std::string_view file_name, bool ignore_case);
int FindByPosition(const HelpTable& table, std::int32_t position, std::uint32_t mask,
                   PositionMode mode);

void SetEntryText(HelpTable& table, int number, std::string_view text);
// The record's text, or nullptr outside 1..3000, for a record not in use or
// one without text.
const std::string* GetEntryText(const HelpTable& table, int number);

// Stable insertion sort by the column letter N, F, A, C, V, S or E (either
// case); any other letter leaves the table alone.
void SortTable(HelpTable& table, char column);
// Zeroes one numeric column of every record in use, chosen by the first
// letter of `column`: Count, StartPos, EndPos, A(bsLine), V(alue), F(ile line).
void ClearColumn(HelpTable& table, std::string_view column);

// Appends the table's dump to the listing file.
void DumpTable(const std::string& listing_file, std::string_view first_line,
               std::string_view header_line, std::string_view last_line, const HelpTable& table);

// The five dumps in the order TopicTab, HeadingTab, JumpTab, KeywordTab,
// BitmapTab, each between lines of 80 "-".
void DumpAllTables(const std::string& listing_file, const HelpTables& tables);

}  // namespace quillark

#endif  // QUILLARK_HELPTABLES_HELP_TABLE_H_
