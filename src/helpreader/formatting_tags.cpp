// Character formatting, colours, bullets, horizontal lines and the four
// monospaced blocks.
#include <string>

#include "helpmain/report.h"
#include "helpreader/tag_families.h"
#include "helpreader/topic_registry.h"
#include "helptags/tag_vocabulary.h"
#include "helpwriter/inline_text.h"
#include "runtime/text.h"

namespace quillark {
namespace {

BlockFlags BlocksOf(const TagState& state) {
  return BlockFlags{state.code, state.example, state.syntax, state.diagrams};
}

// A formatting toggle: warned about inside an open pair, but it still works.
void Toggle(TagCall& call, bool& flag, std::string_view word) {
  TagState& state = call.state;
  if (!runtime::IsBlank(state.open_tag)) {
    call.Report(kWarning, std::string(word) + " tag in " + state.open_tag + " link");
  }
  flag = !flag;
}

bool OnlyBlanks(std::string_view text, bool line_feed_too) {
  for (char c : text) {
    if (c != ' ' && c != '\t' && !(line_feed_too && c == '\n')) return false;
  }
  return true;
}

// A closing block tag after text on its line ends that line itself, since
// the rest of the line, with its line end, is skipped.
void BreakBeforeClosingTag(TagCall& call) {
  const bool before = OnlyBlanks(call.line.substr(0, call.position), false);
  const bool after = OnlyBlanks(call.line.substr(call.position + call.tag.size()), true);
  if (call.tag.substr(0, 2) == "</" && !before && after) {
    call.step.step_text.insert(0, LineBreakText(call.format()));
  }
}

void FatalIfInOtherBlock(TagCall& call, bool other_block) {
  if (other_block) {
    call.Report(kFatal,
                "Monospaced tag " + std::string(call.tag) + " found within other monospaced tag");
  }
}

}  // namespace

void ProcessFormatting(TagCall& call) {
  TagState& state = call.state;
  const std::string_view tag = call.tag;
  const OutputFormat format = call.format();
  // The text is only formed where the pass renders it.
  const bool renders = call.Renders();
  std::string& out = call.step.step_text;
  if (tag == "<bold>" || tag == "</bold>") {
    Toggle(call, state.bold, "Bold");
    if (renders) out += BoldText(format, state.bold, call.Next());
  } else if (tag == "<italic>" || tag == "</italic>") {
    Toggle(call, state.italic, "Italics");
    if (renders) out += ItalicText(format, state.italic, call.Next());
  } else if (tag == "<underline>" || tag == "</underline>") {
    Toggle(call, state.underline, "Underline");
    if (renders) out += UnderlineText(format, state.underline, call.Next());
  } else if (tag == "<subscript>" || tag == "</subscript>") {
    Toggle(call, state.subscript, "Subscript");
    if (renders) {
      out += SubscriptText(format, call.writer(), state.subscript, call.Next(), BlocksOf(state));
    }
  } else if (tag == "<blob/>") {
    if (renders) out += BulletText(format);
  } else if (tag == "<hline/>") {
    if (renders) out += HorizontalLine(format, 1);
    call.step.stop_line = true;
  } else if (tag.substr(0, 5) == "<clr_") {
    if (renders) out += ColourText(format, tag);
  }
}

void ProcessBlock(TagCall& call) {
  TagState& state = call.state;
  const std::string_view tag = call.tag;
  bool* flag = nullptr;
  bool other_block = false;
  std::string_view key;
  char alignment = ' ';
  if (tag == "<code>" || tag == "</code>") {
    flag = &state.code;
    other_block = state.diagrams || state.example || state.syntax;
    key = "CODE";
  } else if (tag == "<syntax>" || tag == "</syntax>") {
    flag = &state.syntax;
    other_block = state.code || state.diagrams || state.example;
    key = "SYNTAX";
  } else {
    flag = &state.diagrams;
    other_block = state.code || state.example || state.syntax;
    key = "DIAGRAMS";
    alignment = tag.find("_center") != std::string_view::npos ? 'C' : 'L';
  }
  FatalIfInOtherBlock(call, other_block);
  BreakBeforeClosingTag(call);
  *flag = !*flag;
  const bool start = tag.substr(0, 2) != "</";
  if (call.Renders()) {
    call.step.step_text += BlockTag(call.format(), call.writer(), key, start, alignment);
  }
  call.step.stop_line = true;
}

// Example blocks follow the state, not the tag's form: a block in force
// ends at either form, and either form starts one.
void ProcessExample(TagCall& call) {
  TagState& state = call.state;
  FatalIfInOtherBlock(call, state.code || state.diagrams || state.syntax);
  if (state.example) {
    BreakBeforeClosingTag(call);
    state.example = false;
    call.step.step_text += BlockTag(call.format(), call.writer(), "EXAMPLE", false, ' ');
    // Consecutive example blocks of a topic are separated by a line end.
    if (state.example_text.empty() || state.example_text.back() != '\n') {
      state.example_text += "\r\n";
    }
  } else {
    state.example = true;
    call.step.step_text += BlockTag(call.format(), call.writer(), "EXAMPLE", true, ' ');
    TopicTable& topics = call.tables().topics;
    const std::string key = runtime::SanitizeIdent(state.topic_name);
    const int row = topics.FindByName(key);
    if (row != kNotFound) {
      TopicRecord& topic = topics.At(row);
      // The example page is written at the end of the topic: a topic the
      // file ends inside has none to offer.
      topic.has_examples = call.run.topics_without_end.count(topic.name) == 0;
      if (topic.is_popup) {
        call.Report(kWarning, "The popup topic " + key + " should not contain example tags");
      }
    }
  }
  call.step.stop_line = true;
}

}  // namespace quillark
