// The help tables: TopicTab, HeadingTab, JumpTab, KeywordTab and BitmapTab.
// Each keeps its own kind of record and shares one set of operations.
// Records are numbered from 1 and kept in name order by InsertEntry; a table
// never holds more than 3000 records. The -v dump shows every record in the
// same nine columns whatever its kind.
#ifndef QUILLARK_HELPTABLES_HELP_TABLE_H_
#define QUILLARK_HELPTABLES_HELP_TABLE_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/text.h"

namespace quillark {

inline constexpr int kTableCapacity = 3000;
inline constexpr int kNotFound = -1;
inline constexpr std::size_t kMaxRecordName = 255;   // names and file texts
inline constexpr std::size_t kMaxRecordText = 8191;  // a topic's popup body

// A topic or popup definition. The name is the topic's key: its identifier
// form in upper case.
struct TopicRecord {
  std::string name = {};
  std::string file = {};  // the source file of the definition
  std::int32_t line = 0;
  std::int32_t abs_line = 0;
  std::int32_t count = 0;  // definitions met in this pass
  // Where the topic's text stands in its page in the popup pass: the 1-based
  // offset of its first byte and the offset its end reached.
  std::int32_t start_pos = 0;
  std::int32_t end_pos = 0;
  bool has_examples = false;
  bool is_popup = false;
  std::optional<std::string> popup_body = {};  // the rendered body of a popup topic
};

// The title heading of one topic, recorded when the topic ends.
struct HeadingRecord {
  std::string name = {};  // the heading text, or the topic name when it has none
  std::string file = {};
  std::int32_t line = 0;
  std::int32_t abs_line = 0;  // the topic's AbsLine
  std::int32_t count = 0;
  std::int32_t level = 0;  // 1..6, or 0 for a topic without heading
};

// The target of one or more jumps.
struct JumpRecord {
  std::string name = {};  // the target topic's key
  std::string file = {};
  std::int32_t line = 0;
  std::int32_t abs_line = 0;
  std::int32_t count = 0;
};

// One index keyword of a topic.
struct KeywordRecord {
  std::string name = {};   // the keyword as first met
  std::string topic = {};  // the key of the topic it belongs to
  std::int32_t line = 0;
  std::int32_t abs_line = 0;
  std::int32_t count = 0;
  bool is_topic_title = false;  // the keyword every topic gets from its own title
};

// One picture file the topics use, or one image the HTML pages need.
struct BitmapRecord {
  std::string name = {};  // the picture's path
  std::string file = {};  // the source file that used it first
  std::int32_t line = 0;
  std::int32_t abs_line = 0;
  std::int32_t count = 0;
  std::int32_t width = 0;  // pixels, 0 when the file cannot be read
  std::int32_t height = 0;
  bool copied = false;  // copied beside the pages after the output pass
};

enum class PositionMode { kAfter, kBefore, kEqual, kFirst, kLast };  // ">" "<" "=" FIRST LAST

// Names compare case-insensitively, ASCII letters folded to upper case.
inline int CompareNames(std::string_view a, std::string_view b) {
  return runtime::CompareFoldUpper(a, b);
}

// A table of one kind of record. The records stay where they were stored;
// the table keeps their order as a list of indexes, so an insertion moves
// indexes rather than records.
template <typename Record>
class HelpTable {
 public:
  int Count() const { return static_cast<int>(order_.size()); }
  // Record `number` (1-based, 1..Count). The caller keeps within range.
  Record& At(int number) { return records_[order_[static_cast<std::size_t>(number - 1)]]; }
  const Record& At(int number) const {
    return records_[order_[static_cast<std::size_t>(number - 1)]];
  }

  // Inserts in name order, before the first equal name the bisection meets.
  // An empty name inserts nothing. Returns true when the table is full: the
  // count after the insertion is 3000 or more. Names are cut to 255
  // characters, except the paths that name pictures.
  bool Insert(Record record) {
    const int n = Count();
    if (record.name.empty()) return n >= kTableCapacity;
    // A full table takes nothing more; the caller has already ended the run
    // when the last record was filled.
    if (n >= kTableCapacity) return true;
    CutTexts(record);
    const Bisection stop = Bisect(record.name);
    const int position = stop.equal != kNotFound ? stop.equal : stop.low;
    folded_.push_back(runtime::UpperAscii(record.name));
    records_.push_back(std::move(record));
    order_.insert(order_.begin() + (position - 1), records_.size() - 1);
    ++version_;
    return n + 1 >= kTableCapacity;
  }

  // The first record of the run of equal names around the record the
  // bisection meets, or kNotFound. The bisection takes its steps over the
  // records as they stand, so on a table sorted by another key it may miss a
  // name that is there.
  int FindByName(std::string_view name) const {
    const FoldedKey key(name);
    int number = BisectFolded(key.view()).equal;
    if (number == kNotFound) return kNotFound;
    while (number > 1 && FoldedAt(number - 1) == key.view()) --number;
    return number;
  }

  // The record of that name recorded at `abs_line`, or kNotFound.
  int FindByNameAt(std::string_view name, std::int32_t abs_line) const {
    const int count = Count();
    const FoldedKey key(name);
    for (int number = FindByName(name);
         number != kNotFound && number <= count && FoldedAt(number) == key.view(); ++number) {
      if (At(number).abs_line == abs_line) return number;
    }
    return kNotFound;
  }

  // How many records carry the name, or kNotFound when none does.
  int CountByName(std::string_view name) const {
    const int first = FindByName(name);
    if (first == kNotFound) return kNotFound;
    const FoldedKey key(name);
    int last = first;
    while (last < Count() && FoldedAt(last + 1) == key.view()) ++last;
    return last - first + 1;
  }

  void Clear() {
    records_.clear();
    folded_.clear();
    order_.clear();
    ++version_;
  }

  // Each pass counts definitions, jumps and uses afresh.
  void ClearCounts() {
    for (Record& record : records_) record.count = 0;
  }

  // Keeps the records `keep` accepts, in table order.
  template <typename Keep>
  void Filter(Keep keep) {
    std::vector<std::size_t> kept;
    for (std::size_t index : order_) {
      if (keep(static_cast<const Record&>(records_[index]))) kept.push_back(index);
    }
    order_ = std::move(kept);
    ++version_;
  }

  // Stable sort by AbsLine: records with equal lines keep their order.
  void SortByPosition() {
    std::stable_sort(order_.begin(), order_.end(), [this](std::size_t a, std::size_t b) {
      return records_[a].abs_line < records_[b].abs_line;
    });
    ++version_;
  }

  // Changes with every insertion, removal and reordering, and with Touch:
  // what a cache built from the table compares to know it is still right.
  std::uint64_t version() const { return version_; }
  // Tells the table that a record's kind (not its name) was changed in place.
  void TouchKind() { ++version_; }
  // Tells the table that a record's name or position was changed in place.
  void Touch() {
    for (std::size_t i = 0; i < records_.size(); ++i)
      folded_[i] = runtime::UpperAscii(records_[i].name);
    ++version_;
  }

 private:
  // Where the bisection over records 1..count stopped: `equal` is the record
  // whose name equals the key, or kNotFound when the search ran out, and
  // `low` is its final lower bound.
  struct Bisection {
    int equal = kNotFound;
    int low = 1;
  };

  // A name folded to upper case, the form the records' names are compared
  // in: folded names compare byte for byte.
  class FoldedKey {
   public:
    explicit FoldedKey(std::string_view name) {
      if (name.size() > sizeof buffer_) {
        long_ = runtime::UpperAscii(name);
        view_ = long_;
        return;
      }
      for (std::size_t i = 0; i < name.size(); ++i) buffer_[i] = runtime::UpperAscii(name[i]);
      view_ = std::string_view(buffer_, name.size());
    }
    std::string_view view() const { return view_; }

   private:
    char buffer_[kMaxRecordName + 1];
    std::string long_;
    std::string_view view_;
  };

  std::string_view FoldedAt(int number) const {
    return folded_[order_[static_cast<std::size_t>(number - 1)]];
  }

  Bisection Bisect(std::string_view name) const {
    const FoldedKey key(name);
    return BisectFolded(key.view());
  }

  Bisection BisectFolded(std::string_view key) const {
    Bisection result;
    const int count = Count();
    if (count <= 0) return result;
    int low = 1;
    int high = count;
    while (true) {
      const int middle = (low + high) / 2;
      const int order = key.compare(FoldedAt(middle));
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

  // Names and topic keys are cut; paths are kept whole, since a cut path
  // names another file: the source file of every record and the picture
  // that is a bitmap record's name.
  static void CutTexts(TopicRecord& r) { Cut(r.name); }
  static void CutTexts(HeadingRecord& r) { Cut(r.name); }
  static void CutTexts(JumpRecord& r) { Cut(r.name); }
  static void CutTexts(KeywordRecord& r) {
    Cut(r.name);
    Cut(r.topic);
  }
  static void CutTexts(BitmapRecord&) {}
  static void Cut(std::string& text) {
    if (text.size() > kMaxRecordName) text.resize(kMaxRecordName);
  }

  std::vector<Record> records_;      // in the order they were stored
  std::vector<std::string> folded_;  // each record's name folded to upper case
  std::vector<std::size_t> order_;   // record n is records_[order_[n - 1]]
  std::uint64_t version_ = 0;
};

using TopicTable = HelpTable<TopicRecord>;
using HeadingTable = HelpTable<HeadingRecord>;
using JumpTable = HelpTable<JumpRecord>;
using KeywordTable = HelpTable<KeywordRecord>;
using BitmapTable = HelpTable<BitmapRecord>;

// The five tables of a run.
struct HelpTables {
  TopicTable topics;      // TopicTab
  HeadingTable headings;  // HeadingTab
  JumpTable jumps;        // JumpTab
  KeywordTable keywords;  // KeywordTab
  BitmapTable bitmaps;    // BitmapTab
};

// The operations under the names the rest of the program uses.
template <typename Record>
int TableCount(const HelpTable<Record>& table) {
  return table.Count();
}
template <typename Record>
Record& EntryAt(HelpTable<Record>& table, int number) {
  return table.At(number);
}
template <typename Record>
const Record& EntryAt(const HelpTable<Record>& table, int number) {
  return table.At(number);
}
template <typename Record>
bool InsertEntry(HelpTable<Record>& table, Record record) {
  return table.Insert(std::move(record));
}
template <typename Record>
int FindByName(const HelpTable<Record>& table, std::string_view name) {
  return table.FindByName(name);
}
template <typename Record>
int FindByNameAt(const HelpTable<Record>& table, std::string_view name, std::int32_t abs_line) {
  return table.FindByNameAt(name, abs_line);
}
template <typename Record>
int CountByName(const HelpTable<Record>& table, std::string_view name) {
  return table.CountByName(name);
}
template <typename Record>
void ClearTable(HelpTable<Record>& table) {
  table.Clear();
}
void ClearAllTables(HelpTables& tables);

// The record whose AbsLine is nearest to `position` in the direction `mode`
// names (kAfter: the smallest above, kBefore: the largest below, kEqual: the
// first equal, kFirst: the smallest, kLast: the largest), among the records
// `keep` accepts; of several with the same AbsLine the first in table order
// wins. kNotFound when there is none.
template <typename Record, typename Keep>
int FindByPosition(const HelpTable<Record>& table, std::int32_t position, PositionMode mode,
                   Keep keep) {
  int found = kNotFound;
  std::int32_t bound = 0;
  for (int number = 1; number <= table.Count(); ++number) {
    const Record& record = table.At(number);
    if (!keep(record)) continue;
    const std::int32_t line = record.abs_line;
    bool better = false;
    switch (mode) {
      case PositionMode::kAfter:
        better = line > position && (found == kNotFound || line < bound);
        break;
      case PositionMode::kBefore:
        better = line < position && (found == kNotFound || line > bound);
        break;
      case PositionMode::kEqual:
        if (line == position) return number;
        break;
      case PositionMode::kFirst:
        better = found == kNotFound || line < bound;
        break;
      case PositionMode::kLast:
        better = found == kNotFound || line > bound;
        break;
    }
    if (better) {
      bound = line;
      found = number;
    }
  }
  return found;
}
template <typename Record>
int FindByPosition(const HelpTable<Record>& table, std::int32_t position, PositionMode mode) {
  return FindByPosition(table, position, mode, [](const Record&) { return true; });
}

// For many positional look-ups at once: the first record in table order of
// every AbsLine, what FindByPosition with kEqual gives for that line.
template <typename Record>
std::unordered_map<std::int32_t, int> FirstRowByLine(const HelpTable<Record>& table) {
  std::unordered_map<std::int32_t, int> rows;
  for (int number = 1; number <= table.Count(); ++number) {
    rows.try_emplace(table.At(number).abs_line, number);
  }
  return rows;
}

// The record whose file name (without drive and folder) is `file_name`.
int FindByFileName(const BitmapTable& table, std::string_view file_name, bool ignore_case);

// The popup body of topic record `number`, or nullptr when the record has none.
const std::string* GetEntryText(const TopicTable& table, int number);
// Keeps a popup body, cut to 8191 characters; an empty body is not kept.
void SetEntryText(TopicTable& table, int number, std::string_view text);

// One record as the dump shows it: name, second text column, seven numbers
// and the text excerpt.
struct DumpRow {
  std::string_view name;
  std::string_view files;
  std::int64_t numbers[7] = {};  // LineNumbers, AbsLine, Count, Value, StartPos, EndPos, Flags
  const std::string* text = nullptr;
};
DumpRow RowOf(const TopicRecord& record);
DumpRow RowOf(const HeadingRecord& record);
DumpRow RowOf(const JumpRecord& record);
DumpRow RowOf(const KeywordRecord& record);
DumpRow RowOf(const BitmapRecord& record);

// The dump of one table: the non-empty heading lines, one line per record
// with the columns aligned, and an empty line.
std::string DumpRows(std::string_view first_line, std::string_view header_line,
                     std::string_view last_line, const std::vector<DumpRow>& rows);
template <typename Record>
std::string DumpTable(std::string_view first_line, std::string_view header_line,
                      std::string_view last_line, const HelpTable<Record>& table) {
  std::vector<DumpRow> rows;
  for (int number = 1; number <= table.Count(); ++number) rows.push_back(RowOf(table.At(number)));
  return DumpRows(first_line, header_line, last_line, rows);
}

// The five dumps in the order TopicTab, HeadingTab, JumpTab, KeywordTab,
// BitmapTab, each between lines of 80 "-".
std::string DumpAllTables(const HelpTables& tables);

}  // namespace quillark

#endif  // QUILLARK_HELPTABLES_HELP_TABLE_H_
