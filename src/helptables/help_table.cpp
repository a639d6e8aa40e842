#include "helptables/help_table.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <utility>

#include "runtime/output.h"
#include "runtime/text.h"

namespace quillark {

namespace {

constexpr std::size_t kMaxShortText = 255;   // names and file texts
constexpr std::size_t kMaxEntryText = 8191;  // a record's long text
constexpr std::size_t kDumpExcerpt = 120;    // characters of Text shown in a dump
constexpr std::size_t kDumpLineLimit = 1024;
constexpr std::size_t kMinDumpColumn = 10;
constexpr std::int32_t kHighestBound = 2147483647;
constexpr std::int32_t kLowestBound = -2147483647;

int CompareNames(std::string_view a, std::string_view b) { return runtime::CompareFoldUpper(a, b); }

bool SameName(std::string_view a, std::string_view b) { return CompareNames(a, b) == 0; }

const std::string& NameAt(const HelpTable& table, int number) {
  return table.entries[static_cast<std::size_t>(number - 1)].name;
}

// Where the bisection over records 1..count stopped: `equal` is the record
// whose name equals the key, or -1 when the search ran out, and `low` is its
// final lower bound. The search takes its steps over the records as they
// stand, so on a table sorted by another key it may miss a name that is there.
struct Bisection {
  int equal = kNotFound;
  int low = 1;
};

Bisection Bisect(const HelpTable& table, int count, std::string_view key) {
  Bisection result;
  if (count <= 0) return result;
  int low = 1;
  int high = count;
  while (true) {
    int middle = (low + high) / 2;
    int order = CompareNames(key, NameAt(table, middle));
    if (order > 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
    }
    if (order == 0) {
      result.equal = middle;
      break;
    }
    if (low > high) break;
  }
  result.low = low;
  return result;
}

// The first record of the run of equal names around the record the bisection
// met, or -1.
int FirstEqualName(const HelpTable& table, int count, std::string_view name) {
  int number = Bisect(table, count, name).equal;
  if (number == kNotFound) return kNotFound;
  while (number > 1 && SameName(NameAt(table, number - 1), name)) --number;
  return number;
}

std::int32_t SortKeyField(const TableEntry& entry, char column) {
  switch (column) {
    case 'F':
      return entry.line_numbers;
    case 'A':
      return entry.abs_line;
    case 'C':
      return entry.count;
    case 'V':
      return entry.value;
    case 'S':
      return entry.start_pos;
    default:  // 'E'
      return entry.end_pos;
  }
}

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

std::string DumpLine(const TableEntry& entry, std::size_t name_width, std::size_t files_width) {
  std::string line;
  AppendPadded(line, entry.name, name_width);
  AppendPadded(line, entry.files, files_width);
  for (std::int32_t number : {entry.line_numbers, entry.abs_line, entry.count, entry.value,
                              entry.start_pos, entry.end_pos}) {
    AppendNumber(line, number);
  }
  AppendNumber(line, entry.flags);
  if (entry.text.has_value()) {
    line += ' ';
    line += DumpExcerpt(*entry.text);
  }
  if (line.size() > kDumpLineLimit) line.resize(kDumpLineLimit);
  line += "\r\n";
  return line;
}

}  // namespace

void ClearTable(HelpTable& table) { table.entries.clear(); }

void ClearAllTables(HelpTables& tables) {
  ClearTable(tables.topics);
  ClearTable(tables.headings);
  ClearTable(tables.jumps);
  ClearTable(tables.keywords);
  ClearTable(tables.bitmaps);
}

int TableCount(const HelpTable& table) {
  // The highest record whose name is not empty.
  std::size_t count = std::min(table.entries.size(), static_cast<std::size_t>(kTableCapacity));
  while (count > 0 && table.entries[count - 1].name.empty()) --count;
  return static_cast<int>(count);
}

TableEntry& EntryAt(HelpTable& table, int number) {
  return table.entries[static_cast<std::size_t>(number - 1)];
}

const TableEntry& EntryAt(const HelpTable& table, int number) {
  return table.entries[static_cast<std::size_t>(number - 1)];
}

bool InsertEntry(HelpTable& table, std::string_view name, std::string_view files,
                 std::int32_t line_numbers, std::int32_t abs_line, std::int32_t count,
                 std::int32_t value, std::int32_t start_pos, std::int32_t end_pos,
                 std::uint32_t flags) {
  int n = TableCount(table);
  if (name.empty()) return n >= kTableCapacity;
  // A full table takes nothing more; the caller has already ended the run
  // when the last record was filled.
  if (n >= kTableCapacity) return true;

  // The new name goes before an equal name the search met, else at its final
  // low bound.
  Bisection stop = Bisect(table, n, name);
  int position = stop.equal != kNotFound ? stop.equal : stop.low;

  if (table.entries.capacity() < static_cast<std::size_t>(kTableCapacity)) {
    table.entries.reserve(kTableCapacity);
  }
  table.entries.resize(static_cast<std::size_t>(n));  // drops records not in use
  TableEntry entry;
  entry.name = runtime::Truncate(name, kMaxShortText);
  entry.files = runtime::Truncate(files, kMaxShortText);
  entry.line_numbers = line_numbers;
  entry.abs_line = abs_line;
  entry.count = count;
  entry.value = value;
  entry.start_pos = start_pos;
  entry.end_pos = end_pos;
  entry.flags = flags;
  table.entries.insert(table.entries.begin() + (position - 1), std::move(entry));
  return n + 1 >= kTableCapacity;
}

int FindByName(const HelpTable& table, std::string_view name) {
  return FirstEqualName(table, TableCount(table), name);
}

int FindByNameAt(const HelpTable& table, std::string_view name, std::int32_t abs_line) {
  int count = TableCount(table);
  for (int number = FirstEqualName(table, count, name);
       number != kNotFound && number <= count && SameName(NameAt(table, number), name); ++number) {
    if (EntryAt(table, number).abs_line == abs_line) return number;
  }
  return kNotFound;
}

int CountByName(const HelpTable& table, std::string_view name) {
  int count = TableCount(table);
  int first = FirstEqualName(table, count, name);
  if (first == kNotFound) return kNotFound;
  int last = first;
  while (last < count && SameName(NameAt(table, last + 1), name)) ++last;
  return last - first + 1;
}

int FindByFileName(const HelpTable& table, std::string_view file_name, bool ignore_case) {
  int count = TableCount(table);
  for (int number = 1; number <= count; ++number) {
    std::string_view own = FileNamePart(NameAt(table, number));
    if (ignore_case ? runtime::EqualsNoCase(own, file_name) : own == file_name) return number;
  }
  return kNotFound;
}

int FindByPosition(const HelpTable& table, std::int32_t position, std::uint32_t mask,
                   PositionMode mode) {
  std::int32_t bound = 0;
  switch (mode) {
    case PositionMode::kAfter:
    case PositionMode::kFirst:
      bound = kHighestBound;
      break;
    case PositionMode::kBefore:
    case PositionMode::kLast:
      bound = kLowestBound;
      break;
    case PositionMode::kEqual:
      break;
    default:
      return kNotFound;
  }
  int count = TableCount(table);
  int found = kNotFound;
  // Strict comparisons leave a tie with the earlier record.
  for (int number = 1; number <= count; ++number) {
    const TableEntry& entry = EntryAt(table, number);
    if ((entry.flags & ~mask) != 0) continue;
    std::int32_t line = entry.abs_line;
    bool better = false;
    switch (mode) {
      case PositionMode::kAfter:
        better = line > position && line < bound;
        break;
      case PositionMode::kBefore:
        better = line < position && line > bound;
        break;
      case PositionMode::kEqual:
        if (line == position) return number;
        break;
      case PositionMode::kFirst:
        better = line < bound;
        break;
      case PositionMode::kLast:
        better = line > bound;
        break;
    }
    if (better) {
      bound = line;
      found = number;
    }
  }
  return found;
}

void SetEntryText(HelpTable& table, int number, std::string_view text) {
  if (number < 1 || number > kTableCapacity || text.empty()) return;
  if (static_cast<std::size_t>(number) > table.entries.size()) return;
  TableEntry& entry = EntryAt(table, number);
  if (entry.name.empty()) return;
  entry.text = runtime::Truncate(text, kMaxEntryText);
}

const std::string* GetEntryText(const HelpTable& table, int number) {
  if (number < 1 || number > kTableCapacity) return nullptr;
  if (static_cast<std::size_t>(number) > table.entries.size()) return nullptr;
  const TableEntry& entry = EntryAt(table, number);
  if (entry.name.empty() || !entry.text.has_value()) return nullptr;
  return &*entry.text;
}

void SortTable(HelpTable& table, char column) {
  char key = runtime::UpperAscii(column);
  if (std::string_view("NFACVSE").find(key) == std::string_view::npos) return;
  int count = TableCount(table);
  if (count < 2) return;
  auto less = [key](const TableEntry& a, const TableEntry& b) {
    if (key == 'N') return CompareNames(a.name, b.name) < 0;
    return SortKeyField(a, key) < SortKeyField(b, key);
  };
  // Insertion sort: each record moves back only past records with a strictly
  // greater key, so equal keys keep their order.
  auto begin = table.entries.begin();
  auto end = begin + count;
  for (auto next = begin + 1; next != end; ++next) {
    auto place = std::upper_bound(begin, next, *next, less);
    std::rotate(place, next, std::next(next));
  }
}

void ClearColumn(HelpTable& table, std::string_view column) {
  if (column.empty()) return;
  std::int32_t TableEntry::*field = nullptr;
  switch (runtime::UpperAscii(column.front())) {
    case 'C':
      field = &TableEntry::count;
      break;
    case 'S':
      field = &TableEntry::start_pos;
      break;
    case 'E':
      field = &TableEntry::end_pos;
      break;
    case 'A':
      field = &TableEntry::abs_line;
      break;
    case 'V':
      field = &TableEntry::value;
      break;
    case 'F':
      field = &TableEntry::line_numbers;
      break;
    default:
      return;
  }
  int count = TableCount(table);
  for (int number = 1; number <= count; ++number) EntryAt(table, number).*field = 0;
}

void DumpTable(const std::string& listing_file, std::string_view first_line,
               std::string_view header_line, std::string_view last_line, const HelpTable& table) {
  int count = TableCount(table);
  std::size_t name_width = kMinDumpColumn;
  std::size_t files_width = kMinDumpColumn;
  for (int number = 1; number <= count; ++number) {
    const TableEntry& entry = EntryAt(table, number);
    name_width = std::max(name_width, entry.name.size());
    files_width = std::max(files_width, entry.files.size());
  }

  std::string dump;
  for (std::string_view line : {first_line, header_line, last_line}) {
    if (line.empty()) continue;
    dump.append(line);
    dump += "\r\n";
  }
  for (int number = 1; number <= count; ++number) {
    dump += DumpLine(EntryAt(table, number), name_width, files_width);
  }
  dump += "\r\n";
  runtime::AppendToFile(listing_file, dump);
}

void DumpAllTables(const std::string& listing_file, const HelpTables& tables) {
  const std::string rule(80, '-');
  DumpTable(listing_file, rule,
            "Topics, Files, LineNumbers, AbsLine, Count, Value, StartPos, EndPos, Flags", rule,
            tables.topics);
  DumpTable(listing_file, rule,
            "Headings, Files, LineNumbers, TopicAbsLine, Count, HeadLevel, StartPos, EndPos, Flags",
            rule, tables.headings);
  DumpTable(listing_file, rule,
            "Jumps, Files, LineNumbers, AbsLine, Counts, Value, StartPos, EndPos, Flags", rule,
            tables.jumps);
  DumpTable(listing_file, rule,
            "Keywords, Topic, LineNumbers, AbsLine, Counts, Value, StartPos, EndPos, Flags", rule,
            tables.keywords);
  DumpTable(listing_file, rule,
            "Bitmaps, Files, LineNumbers, AbsLine, Counts, Value, Width, Height, Flags", rule,
            tables.bitmaps);
}

}  // namespace quillark
