#include "helptables/help_table.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "runtime/text.h"

namespace quillark {

namespace {

constexpr std::size_t kDumpExcerpt = 120;  // characters of Text shown in a dump
constexpr std::size_t kDumpLineLimit = 1024;
constexpr std::size_t kMinDumpColumn = 10;

// The flag numbers the dump shows for each kind of record.
constexpr std::int64_t kHasExamplesFlag = 1;
constexpr std::int64_t kPopupFlag = 2;
constexpr std::int64_t kCopiedFlag = 4;
constexpr std::int64_t kTopicTitleFlag = 8;

// The file name and extension of a path: everything after its last drive or
// directory separator.
std::string_view FileNamePart(std::string_view path) {
  std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

// The Text column of a dump: the first 120 characters, the last three of them
// replaced by "..." when the text was cut there, with line ends made visible.
std::string DumpExcerpt(std::string_view text) {
  std::string excerpt(text.substr(0, kDumpExcerpt));
  if (excerpt.size() == kDumpExcerpt) excerpt.replace(kDumpExcerpt - 3, 3, "...");
  std::string escaped;
  escaped.reserve(excerpt.size() + 8);
  for (char c : excerpt) {
    if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\r') {
      escaped += "\\r";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

void AppendPadded(std::string& line, std::string_view text, std::size_t width) {
  line.append(text);
  line.append(width - text.size() + 1, ' ');
}

void AppendNumber(std::string& line, long long number) {
  char field[32];
  std::snprintf(field, sizeof field, "%10lld", number);
  line.append(field);
}

std::string DumpLine(const DumpRow& row, std::size_t name_width, std::size_t files_width) {
  std::string line;
  AppendPadded(line, row.name, name_width);
  AppendPadded(line, row.files, files_width);
  for (std::int64_t number : row.numbers) AppendNumber(line, number);
  if (row.text != nullptr) {
    line += ' ';
    line += DumpExcerpt(*row.text);
  }
  if (line.size() > kDumpLineLimit) line.resize(kDumpLineLimit);
  line += "\r\n";
  return line;
}

}  // namespace

void ClearAllTables(HelpTables& tables) {
  tables.topics.Clear();
  tables.headings.Clear();
  tables.jumps.Clear();
  tables.keywords.Clear();
  tables.bitmaps.Clear();
}

int FindByFileName(const BitmapTable& table, std::string_view file_name, bool ignore_case) {
  for (int number = 1; number <= table.Count(); ++number) {
    std::string_view own = FileNamePart(table.At(number).name);
    if (ignore_case ? runtime::EqualsNoCase(own, file_name) : own == file_name) return number;
  }
  return kNotFound;
}

const std::string* GetEntryText(const TopicTable& table, int number) {
  if (number < 1 || number > table.Count()) return nullptr;
  const TopicRecord& record = table.At(number);
  return record.popup_body.has_value() ? &*record.popup_body : nullptr;
}

void SetEntryText(TopicTable& table, int number, std::string_view text) {
  if (number < 1 || number > table.Count() || text.empty()) return;
  table.At(number).popup_body = runtime::Truncate(text, kMaxRecordText);
}

DumpRow RowOf(const TopicRecord& record) {
  const std::int64_t flags =
      (record.has_examples ? kHasExamplesFlag : 0) | (record.is_popup ? kPopupFlag : 0);
  DumpRow row{
      record.name,
      record.file,
      {record.line, record.abs_line, record.count, 0, record.start_pos, record.end_pos, flags}};
  if (record.popup_body.has_value()) row.text = &*record.popup_body;
  return row;
}

DumpRow RowOf(const HeadingRecord& record) {
  return {record.name, record.file, {record.line, record.abs_line, record.count, record.level}};
}

DumpRow RowOf(const JumpRecord& record) {
  return {record.name, record.file, {record.line, record.abs_line, record.count}};
}

DumpRow RowOf(const KeywordRecord& record) {
  return {record.name,
          record.topic,
          {record.line, record.abs_line, record.count, 0, 0, 0,
           record.is_topic_title ? kTopicTitleFlag : 0}};
}

DumpRow RowOf(const BitmapRecord& record) {
  // The picture's width and height stand in the StartPos and EndPos columns.
  return {record.name,
          record.file,
          {record.line, record.abs_line, record.count, 0, record.width, record.height,
           record.copied ? kCopiedFlag : 0}};
}

std::string DumpRows(std::string_view first_line, std::string_view header_line,
                     std::string_view last_line, const std::vector<DumpRow>& rows) {
  std::size_t name_width = kMinDumpColumn;
  std::size_t files_width = kMinDumpColumn;
  for (const DumpRow& row : rows) {
    name_width = std::max(name_width, row.name.size());
    files_width = std::max(files_width, row.files.size());
  }
  std::string dump;
  for (std::string_view line : {first_line, header_line, last_line}) {
    if (line.empty()) continue;
    dump.append(line);
    dump += "\r\n";
  }
  for (const DumpRow& row : rows) dump += DumpLine(row, name_width, files_width);
  dump += "\r\n";
  return dump;
}

std::string DumpAllTables(const HelpTables& tables) {
  const std::string rule(80, '-');
  std::string dump;
  dump +=
      DumpTable(rule, "Topics, Files, LineNumbers, AbsLine, Count, Value, StartPos, EndPos, Flags",
                rule, tables.topics);
  dump += DumpTable(
      rule, "Headings, Files, LineNumbers, TopicAbsLine, Count, HeadLevel, StartPos, EndPos, Flags",
      rule, tables.headings);
  dump +=
      DumpTable(rule, "Jumps, Files, LineNumbers, AbsLine, Counts, Value, StartPos, EndPos, Flags",
                rule, tables.jumps);
  dump += DumpTable(rule,
                    "Keywords, Topic, LineNumbers, AbsLine, Counts, Value, StartPos, EndPos, Flags",
                    rule, tables.keywords);
  dump +=
      DumpTable(rule, "Bitmaps, Files, LineNumbers, AbsLine, Counts, Value, Width, Height, Flags",
                rule, tables.bitmaps);
  return dump;
}

}  // namespace quillark
