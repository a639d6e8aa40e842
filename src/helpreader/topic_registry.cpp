#include "helpreader/topic_registry.h"

#include <string>
#include <unordered_map>

#include "helptags/tag_vocabulary.h"
#include "helpwriter/file_names.h"
#include "runtime/text.h"

namespace quillark {
namespace {

// Reports at a table record's own file and line.
void ReportAtRecord(Listing& listing, const std::string& file, int line, char kind,
                    std::string_view message) {
  ReportMessage(false, listing, kind, FormatReportLine(file, line, kind, message));
}

void FatalIfFull(RunContext& run, bool full, std::string_view table_name, std::string_view name) {
  if (!full) return;
  run.ReportAtSource(kFatal, "Table \"" + std::string(table_name) +
                                 "\" is full up while adding \"" + std::string(name) + "\"");
}

}  // namespace

std::string TopicKey(std::string_view name) {
  // The identifier form, upper-cased, in one pass over the name.
  std::string key(name);
  for (char& c : key) {
    c = runtime::IsAsciiLetter(c) || runtime::IsAsciiDigit(c) || c == '_' ? runtime::UpperAscii(c)
                                                                          : '_';
  }
  return key;
}

bool RegisterTopic(RunContext& run, std::string_view name, std::string_view opening_tag,
                   std::string_view closing_tag) {
  const std::string_view trimmed = runtime::TrimControl(name);
  const std::string key = runtime::SanitizeIdent(trimmed);
  if (key.size() > kMaxTopicKey) {
    run.ReportAtSource(kFatal, "Topic string \"" + key + "\" too long, maximum length is " +
                                   std::to_string(kMaxTopicKey));
  }
  if (!TagsMatch(opening_tag, closing_tag)) {
    run.ReportAtSource(kWarning, "Topic definition is mixed (" + std::string(opening_tag) + "..." +
                                     std::string(closing_tag) + ").");
  }
  if (!runtime::IsIdentifier(key)) {
    run.ReportAtSource(kWarning, "Invalid topic name \"" + key + "\", should be an identifier");
  }
  const std::string upper_key = runtime::UpperAscii(key);
  const std::string& file = run.reader.CurrentSourceName();
  const int line = run.reader.CurrentLineNumber();
  const int abs_line = run.reader.AbsoluteLineNumber();
  TopicTable& topics = run.tables.topics;
  const bool full = AddOrCount(topics, upper_key, [&] {
    return TopicRecord{
        .name = upper_key, .file = file, .line = line, .abs_line = abs_line, .count = 1};
  });
  FatalIfFull(run, full, "TopicTab", upper_key);

  bool has_examples = false;
  const int row = topics.FindByName(upper_key);
  if (row != kNotFound) {
    TopicRecord& topic = topics.At(row);
    has_examples = topic.has_examples;
    if ((opening_tag == "<popup>" || opening_tag == "<popup_include>") && !topic.is_popup) {
      topic.is_popup = true;
      topics.TouchKind();
    }
  }

  // Every topic's name is also an index keyword of the topic, in the form the
  // keyword table first met it.
  KeywordTable& keywords = run.tables.keywords;
  std::string keyword(trimmed);
  const int known = keywords.FindByName(keyword);
  if (known != kNotFound) keyword = keywords.At(known).name;
  const int here = keywords.FindByNameAt(keyword, abs_line);
  if (here == kNotFound) {
    KeywordRecord keyword_record;
    keyword_record.name = keyword;
    keyword_record.topic = upper_key;
    keyword_record.line = line;
    keyword_record.abs_line = abs_line;
    keyword_record.count = 1;
    keyword_record.is_topic_title = true;
    FatalIfFull(run, keywords.Insert(std::move(keyword_record)), "KeywordTab", keyword);
  } else {
    ++keywords.At(here).count;
  }

  // The topic's text starts where its page ends now.
  if (row != kNotFound && topics.At(row).start_pos == 0) {
    const std::string page =
        TopicFileName(run.format, run.names.output, upper_key, PageKind::kMain);
    const std::int64_t size = page.empty() ? -1 : run.output.Size(page);
    topics.At(row).start_pos = size > 0 ? static_cast<std::int32_t>(size + 1) : 1;
    // A popup pass that drops text keeps what it will cut a popup's body from.
    if (topics.At(row).is_popup && !page.empty()) {
      run.output.Mark(page, topics.At(row).start_pos - 1, kPopupCaptureLimit);
    }
  }
  return has_examples;
}

void CheckJumps(Listing& listing, const TopicTable& topics, const JumpTable& jumps) {
  for (int row = 1; row <= jumps.Count(); ++row) {
    const JumpRecord& jump = jumps.At(row);
    if (topics.FindByName(jump.name) == kNotFound) {
      ReportAtRecord(
          listing, jump.file, jump.line, kWarning,
          "Ignoring " + std::to_string(jump.count) + " jump(s) to undefined topic " + jump.name);
    }
  }
  for (int row = 1; row <= topics.Count(); ++row) {
    const TopicRecord& topic = topics.At(row);
    if (!runtime::IsIdentifier(topic.name)) {
      ReportAtRecord(listing, topic.file, topic.line, kWarning,
                     "Invalid topic name \"" + topic.name + "\", should be an identifier");
    }
    if (topic.count != 1) {
      ReportAtRecord(listing, topic.file, topic.line, kWarning, "Duplicate topic " + topic.name);
    }
  }
}

void CheckEndOfSource(RunContext& run, const TagState& state) {
  if (!state.topic_name.empty()) {
    const int row = run.tables.topics.FindByName(TopicKey(state.topic_name));
    if (row != kNotFound) {
      const TopicRecord& topic = run.tables.topics.At(row);
      ReportAtRecord(
          run.listing, topic.file, topic.line, kError,
          "Topic \"" + state.topic_name + "\" has no <endtopic/>: the file ends inside it.");
      run.topics_without_end.insert(topic.name);
    }
  }
  if (!runtime::IsBlank(state.open_tag)) {
    ReportAtRecord(run.listing, state.open_tag_file, state.open_tag_line, kError,
                   "The " + state.open_tag +
                       " pair opened here is not closed: the file ends "
                       "inside it.");
  }
  // A help needs a page to open on; the writers then open on none.
  if (run.format != OutputFormat::kNone && run.Order().First() == kNotFound) {
    ReportMessage(false, run.listing, kWarning,
                  FormatReportLine(run.names.source, 0, kWarning,
                                   "The source has no topic outside popups: the help has no page "
                                   "to open on."));
  }
}

void CheckHeadings(Listing& listing, const TopicTable& topics, HeadingTable& headings,
                   const std::set<std::string>& topics_without_end) {
  const std::unordered_map<std::int32_t, int> heading_at_line = FirstRowByLine(headings);
  for (int row = 1; row <= topics.Count(); ++row) {
    const TopicRecord& topic = topics.At(row);
    if (topics_without_end.count(topic.name) > 0) continue;
    if (heading_at_line.find(topic.abs_line) == heading_at_line.end()) {
      ReportAtRecord(listing, topic.file, topic.line, kWarning,
                     "Topic \"" + topic.name + "\" had no corresponding heading.");
    }
  }
  // Popup titles take no part in the level check.
  const std::unordered_map<std::int32_t, int> topic_at_line = FirstRowByLine(topics);
  headings.Filter([&](const HeadingRecord& heading) {
    const auto owner = topic_at_line.find(heading.abs_line);
    return owner == topic_at_line.end() || !topics.At(owner->second).is_popup;
  });

  for (int row = 1; row <= headings.Count(); ++row) {
    HeadingRecord& heading = headings.At(row);
    if (heading.level == 0) heading.level = row == 1 ? 1 : headings.At(row - 1).level;
  }
  if (headings.Count() < 2) return;
  const int first = headings.At(1).level;
  for (int row = 2; row <= headings.Count(); ++row) {
    const HeadingRecord& heading = headings.At(row);
    if (heading.level < first) {
      ReportAtRecord(listing, heading.file, heading.line, kFatal,
                     "Heading \"" + heading.name +
                         "\" in the current topic is a lower heading level (less indented) than "
                         "the first topic.");
    }
  }
}

}  // namespace quillark
