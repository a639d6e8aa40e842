// The structural tags: topics and popups, the end of a topic, headings,
// comments.
#include <string>

#include "helpmain/report.h"
#include "helpmain/run_files.h"
#include "helpreader/source_reader.h"
#include "helpreader/tag_families.h"
#include "helpreader/topic_registry.h"
#include "helptags/tag_vocabulary.h"
#include "helpwriter/example_pages.h"
#include "helpwriter/file_names.h"
#include "helpwriter/inline_text.h"
#include "helpwriter/topic_writer.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace quillark {
namespace {

// Records the heading of the topic that just ended. In the output pass the
// heading table is in source order, where a search by name cannot work, and
// the popup pass has already recorded every topic's heading; there the step
// only counts the topic's own record, found by its position, so that each
// topic keeps finding its own heading.
void RecordTopicHeading(TagCall& call, std::int32_t topic_abs_line) {
  TagState& state = call.state;
  HelpTable& headings = call.tables().headings;
  const bool titled = !state.heading.empty();
  const std::string& name = titled ? state.heading : state.topic_name;
  if (call.context.headings_in_source_order) {
    const int row = FindByPosition(headings, topic_abs_line, kAllFlags, PositionMode::kEqual);
    if (row != kNotFound) ++EntryAt(headings, row).count;
    return;
  }
  if (AddOrCount(headings, name, CurrentSourceName(), CurrentLineNumber(), topic_abs_line, 1,
                 titled ? state.heading_level : 0, 0, 0, 0)) {
    ReportAtSource(kFatal, "Table \"HeadingTab\" is full up while adding \"" + name + "\"");
  }
}

}  // namespace

void ProcessTopicFamily(TagCall& call) {
  TagState& state = call.state;
  if (state.output_on) {
    ReportAtSource(kFatal, "Topic tag inside topic, previous <endtopic/> tag missing?");
  }
  if (OpenPairIfIdle(state, call.tag)) return;
  if (state.open_tag != "<topic>" && state.open_tag != "<popup>") {
    ReportAtSource(
        kFatal, "Unexpected topic or popup tag found while processing " + state.open_tag + " link");
  }
  StartTopic(call, std::string(runtime::TrimControl(state.savename)));
}

void StartTopic(TagCall& call, const std::string& name) {
  TagState& state = call.state;
  const bool has_examples =
      RegisterTopic(name, state.open_tag, call.tag, call.format(), call.tables());
  const bool is_popup =
      TagsMatch(state.open_tag, "<popup>") || TagsMatch(state.open_tag, "<popup_include>");
  call.step.step_text =
      WriteTopicStart(call.format(), is_popup, has_examples, TopicKey(name), name,
                      call.tables().topics, call.tables().headings, call.context.names);
  state = TagState();
  state.topic_name = name;
  state.output_on = true;
  call.step.stop_line = true;
}

void ProcessEndTopic(TagCall& call) {
  TagState& state = call.state;
  HelpTable& topics = call.tables().topics;
  const std::string key = TopicKey(state.topic_name);
  const bool is_popup = IsPopupRow(topics, FindByName(topics, key));
  if (!runtime::IsBlank(state.open_tag)) {
    ReportAtSource(kFatal, "<endtopic/> tag was not expected in " + state.open_tag + " link");
  }
  call.step.step_text +=
      WriteTopicEnd(call.format(), is_popup, key, state.topic_name, call.tables().topics);
  const int row = FindByName(topics, key);
  if (row == kNotFound) {
    ReportAtSource(kFatal, "Topic \"" + state.topic_name +
                               "\" could not be found at <endtopic/> after being added");
  }
  RecordTopicHeading(call, EntryAt(topics, row).abs_line);
  state.each_heading.clear();
  state.heading.clear();
  state.heading_level = 0;

  // The topic's text ends with what this step writes to its page.
  TableEntry& topic = EntryAt(topics, row);
  if (topic.end_pos == 0) {
    const std::string page =
        TopicFileName(call.format(), GetOutputFileName(), key, PageKind::kMain);
    const std::int64_t size = page.empty() ? -1 : runtime::FileSize(page);
    if (size >= 0) {
      topic.end_pos = static_cast<std::int32_t>(size + call.step.step_text.size());
    }
  }
  call.step.example_page_text =
      ExampleCodePage(call.format(), call.context.names.style_sheet, key, state.example_text);
  MarkIncludeReplaced(state.topic_name);
  state.topic_name.clear();
  call.step.stop_line = true;
  call.step.close_after_line = true;
}

void ProcessHeading(TagCall& call) {
  TagState& state = call.state;
  const int level = HeadingLevelOf(call.tag);
  if (!state.each_heading.empty()) {
    for (int other = 1; other <= 6; ++other) {
      if (other != level && state.head[other - 1]) {
        ReportAtSource(kFatal, "The heading ending with " + std::string(call.tag) +
                                   " was started at a different level. The opening and closing "
                                   "heading levels must match.");
      }
    }
  }
  if (!runtime::IsBlank(state.open_tag)) {
    ReportAtSource(kWarning, std::string(call.tag) + " heading tag in " + state.open_tag + " link");
  }
  const bool was_open = state.head[level - 1];
  call.step.step_text += HeadingText(call.format(), !was_open, level, call.Next());
  if (was_open) {
    // The title is the first heading of the lowest level number.
    if (state.heading_level == 0 || level < state.heading_level) {
      state.heading = state.each_heading;
      state.heading_level = level;
    }
    state.each_heading.clear();
  }
  state.head[level - 1] = !was_open;
}

void ProcessComment(TagCall& call) {
  TagState& state = call.state;
  if (!runtime::IsBlank(state.open_tag)) {
    ReportAtSource(kFatal, "<comment> tag was not expected in " + state.open_tag + " link");
  }
  if (state.topic_name.empty()) return;
  state.output_on = !state.output_on;
  call.step.stop_line = true;
}

}  // namespace quillark
