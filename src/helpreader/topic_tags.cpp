// The structural tags: topics and popups, the end of a topic, headings,
// comments.
#include <algorithm>
#include <string>

#include "helpmain/report.h"
#include "helpreader/tag_families.h"
#include "helpreader/topic_registry.h"
#include "helptags/tag_vocabulary.h"
#include "helpwriter/example_pages.h"
#include "helpwriter/file_names.h"
#include "helpwriter/inline_text.h"
#include "helpwriter/topic_writer.h"
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
  HeadingTable& headings = call.tables().headings;
  const bool titled = !state.heading.empty();
  const std::string& name = titled ? state.heading : state.topic_name;
  if (call.run.headings_in_source_order) {
    // Sorted by AbsLine: the first record of the line is found by bisection.
    int low = 1;
    int high = headings.Count() + 1;
    while (low < high) {
      const int middle = (low + high) / 2;
      if (headings.At(middle).abs_line < topic_abs_line) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    if (low <= headings.Count() && headings.At(low).abs_line == topic_abs_line) {
      ++headings.At(low).count;
    }
    return;
  }
  const SourceReader& reader = call.run.reader;
  if (AddOrCount(headings, name, [&] {
        return HeadingRecord{.name = name,
                             .file = reader.CurrentSourceName(),
                             .line = reader.CurrentLineNumber(),
                             .abs_line = topic_abs_line,
                             .count = 1,
                             .level = titled ? state.heading_level : 0};
      })) {
    call.Report(kFatal, "Table \"HeadingTab\" is full up while adding \"" + name + "\"");
  }
}

}  // namespace

void ProcessTopicFamily(TagCall& call) {
  TagState& state = call.state;
  if (state.output_on) {
    call.Report(kFatal, "Topic tag inside topic, previous <endtopic/> tag missing?");
  }
  if (OpenPairIfIdle(call, call.tag)) return;
  if (state.open_tag != "<topic>" && state.open_tag != "<popup>") {
    call.Report(kFatal,
                "Unexpected topic or popup tag found while processing " + state.open_tag + " link");
  }
  StartTopic(call, std::string(runtime::TrimControl(state.savename)));
}

void StartTopic(TagCall& call, const std::string& name) {
  TagState& state = call.state;
  const bool has_examples = RegisterTopic(call.run, name, state.open_tag, call.tag);
  const bool is_popup =
      TagsMatch(state.open_tag, "<popup>") || TagsMatch(state.open_tag, "<popup_include>");
  // Only a pass that renders needs the topic's start; topic order would
  // otherwise be formed again for every topic the first pass adds, and the
  // format None writes no topic text at all.
  if (call.Renders()) {
    const std::string key = TopicKey(name);
    const TopicPlace place = LocateTopic(call.run.Order(), call.tables().topics, key, name);
    call.step.step_text = WriteTopicStart(call.format(), call.writer(), is_popup, has_examples, key,
                                          name, place, call.tables(), call.run.frame_names);
  }
  state = TagState();
  state.topic_name = name;
  state.output_on = true;
  call.step.stop_line = true;
}

void ProcessEndTopic(TagCall& call) {
  TagState& state = call.state;
  TopicTable& topics = call.tables().topics;
  const std::string key = TopicKey(state.topic_name);
  const int row = topics.FindByName(key);
  const bool is_popup = IsPopupRow(topics, row);
  if (!runtime::IsBlank(state.open_tag)) {
    call.Report(kFatal, "<endtopic/> tag was not expected in " + state.open_tag + " link");
  }
  if (call.Renders()) {
    const TopicPlace place = LocateTopic(call.run.Order(), topics, key, state.topic_name);
    call.step.step_text += WriteTopicEnd(call.format(), call.writer(), is_popup, place);
  }
  if (row == kNotFound) {
    call.Report(kFatal, "Topic \"" + state.topic_name +
                            "\" could not be found at <endtopic/> after being added");
  }
  RecordTopicHeading(call, topics.At(row).abs_line);
  state.each_heading.clear();
  state.heading.clear();
  state.heading_level = 0;

  // The topic's text ends with what this step writes to its page.
  TopicRecord& topic = topics.At(row);
  if (topic.end_pos == 0) {
    const std::string page =
        TopicFileName(call.format(), call.run.names.output, key, PageKind::kMain);
    const std::int64_t size = page.empty() ? -1 : call.run.output.Size(page);
    if (size >= 0) {
      topic.end_pos = static_cast<std::int32_t>(size + call.step.step_text.size());
    }
  }
  // A block that gathered no text writes no example page, so the topic
  // offers none; the output pass reads this from the popup pass.
  if (call.Renders() && state.example_text.empty()) topic.has_examples = false;
  if (call.Renders()) {
    call.step.example_page_text = ExampleCodePage(
        call.format(), call.writer(), call.run.frame_names.style_sheet, key, state.example_text);
  }
  MarkIncludeReplaced(call, state.topic_name);
  call.step.ended_topic = std::move(state.topic_name);
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
        call.Report(kFatal, "The heading ending with " + std::string(call.tag) +
                                " was started at a different level. The opening and closing "
                                "heading levels must match.");
      }
    }
  }
  if (!runtime::IsBlank(state.open_tag)) {
    call.Report(kWarning, std::string(call.tag) + " heading tag in " + state.open_tag + " link");
  }
  const bool was_open = state.head[level - 1];
  if (call.Renders()) {
    call.step.step_text += HeadingText(call.format(), call.writer(), !was_open, level, call.Next());
  }
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
    call.Report(kFatal, "<comment> tag was not expected in " + state.open_tag + " link");
  }
  if (state.topic_name.empty()) return;
  state.output_on = !state.output_on;
  call.step.stop_line = true;
}

}  // namespace quillark
