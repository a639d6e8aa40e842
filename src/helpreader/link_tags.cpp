// Jumps to topics and popups, web jumps, keywords and images: pairs used
// inside running text, whose collected content becomes a link, an index
// keyword or a picture.
#include <algorithm>
#include <string>
#include <utility>

#include "helpdib/bmp.h"
#include "helpmain/report.h"
#include "helpreader/tag_families.h"
#include "helpreader/topic_registry.h"
#include "helptags/tag_vocabulary.h"
#include "helpwriter/bitmaps.h"
#include "helpwriter/links.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace quillark {
namespace {

// Jumps, web jumps and images open only inside a topic body with output on,
// and silence the collected text while they are open.
bool OpenSilencingPair(TagCall& call, std::string_view tag) {
  TagState& state = call.state;
  if (!runtime::IsBlank(state.open_tag)) return false;
  if (state.output_on) {
    OpenPairIfIdle(call, tag);
    state.output_on = false;
  }
  return true;
}

void FinishLinkPair(TagState& state) {
  ClosePair(state);
  state.output_on = true;
}

}  // namespace

void ProcessJump(TagCall& call) {
  TagState& state = call.state;
  if (OpenSilencingPair(call, call.tag)) return;
  if (state.open_tag != "<jump_popup>" && state.open_tag != "<jump_topic>") {
    call.Report(kFatal, "Unexpected " + std::string(call.tag) + " tag found while processing " +
                            state.open_tag + " link");
  }
  HelpTables& tables = call.tables();
  const std::string text(runtime::TrimControl(state.savename));
  const std::string key = TopicKey(text);
  const SourceReader& reader = call.run.reader;
  if (AddOrCount(tables.jumps, key, [&] {
        return JumpRecord{.name = key,
                          .file = reader.CurrentSourceName(),
                          .line = reader.CurrentLineNumber(),
                          .abs_line = reader.AbsoluteLineNumber(),
                          .count = 1};
      })) {
    call.Report(kFatal, "Table \"JumpTab\" is full up while adding \"" + key + "\"");
  }
  // The tag that closes the pair decides the kind of jump.
  const bool popup_jump = TagsMatch(call.tag, "</jump_popup>");
  const int row = FindByName(tables.topics, key);
  if (row != kNotFound && popup_jump != IsPopupRow(tables.topics, row)) {
    call.Report(kWarning, "A " + std::string(call.tag) +
                              " jump occurred to the opposite type of topic, they should "
                              "match instead.");
  }
  if (row != kNotFound && popup_jump && IsPopupRow(tables.topics, row) &&
      IsPopupRow(tables.topics, FindByName(tables.topics, TopicKey(state.topic_name)))) {
    call.Report(kWarning, "Popup topic \"" + state.topic_name +
                              "\" should not contain a jump to another popup topic \"" +
                              runtime::SanitizeIdent(text) + "\".");
  }
  if (call.Renders()) {
    const std::string* popup_body = row == kNotFound ? nullptr : GetEntryText(tables.topics, row);
    call.step.step_text +=
        JumpLink(call.format(), call.writer(), popup_jump, state.bold, state.italic,
                 state.underline, row, key, text, popup_body, tables.bitmaps);
  }
  FinishLinkPair(state);
}

void ProcessWebJump(TagCall& call) {
  TagState& state = call.state;
  if (OpenSilencingPair(call, call.tag)) return;
  if (state.open_tag != "<jump_web>") {
    call.Report(kFatal,
                "Unexpected web jump tag found while processing " + state.open_tag + " link");
  }
  const std::string text(runtime::TrimControl(state.savename));
  if (call.Renders()) call.step.step_text += WebLink(call.format(), text, text);
  FinishLinkPair(state);
}

void ProcessKeyword(TagCall& call) {
  TagState& state = call.state;
  if (runtime::IsBlank(state.open_tag)) {
    // The keyword's text stays visible: output is left on.
    if (state.output_on) OpenPairIfIdle(call, "<keyword>");
    return;
  }
  if (state.open_tag != "<keyword>") {
    call.Report(kFatal,
                "Unexpected keyword tag found while processing " + state.open_tag + " link");
  }
  std::string keyword(runtime::TrimControl(state.savename));
  const bool allowed = !keyword.empty() && std::all_of(keyword.begin(), keyword.end(), [](char c) {
    return runtime::IsAsciiLetter(c) || runtime::IsAsciiDigit(c) ||
           std::string_view(" #*+-./<>_").find(c) != std::string_view::npos;
  });
  if (!allowed) {
    call.Report(kWarning,
                "The keyword \"" + keyword + "\" is empty or has characters that are not allowed.");
  }
  HelpTables& tables = call.tables();
  const std::string owner = TopicKey(state.topic_name);
  if (FindByName(tables.topics, owner) == kNotFound) {
    call.Report(kFatal, "Topic \"" + state.topic_name +
                            "\" could not be found at <keyword> after being added");
  }
  const int known = FindByName(tables.keywords, keyword);
  if (known != kNotFound) keyword = EntryAt(tables.keywords, known).name;
  const int abs_line = call.run.reader.AbsoluteLineNumber();
  const int here = FindByNameAt(tables.keywords, keyword, abs_line);
  KeywordRecord record;
  record.name = keyword;
  record.topic = owner;
  record.line = call.run.reader.CurrentLineNumber();
  record.abs_line = abs_line;
  record.count = 1;
  if (here != kNotFound) {
    ++EntryAt(tables.keywords, here).count;
  } else if (InsertEntry(tables.keywords, std::move(record))) {
    call.Report(kFatal, "Table \"KeywordTab\" is full up while adding \"" + keyword + "\"");
  }
  if (call.Renders()) {
    call.step.step_text +=
        KeywordText(call.format(), keyword, OnlyTagsFollow(call.line, call.position));
  }
  ClosePair(state);
}

void ProcessImage(TagCall& call) {
  TagState& state = call.state;
  if (OpenSilencingPair(call, call.tag)) return;
  if (state.open_tag != "<img_center>" && state.open_tag != "<img_left>") {
    call.Report(kFatal, "Unexpected image tag found while processing " + state.open_tag + " link");
  }
  if (!TagsMatch(state.open_tag, call.tag)) {
    call.Report(kWarning, "Bitmap file definition is mixed (" + state.open_tag + "..." +
                              std::string(call.tag) + ").");
  }
  const std::string name(runtime::TrimControl(state.savename));
  const std::string path = call.run.reader.PathAgainstMainSource(name);
  std::int32_t width = 0;
  std::int32_t height = 0;
  if (!runtime::HasExtension(path)) {
    call.Report(kWarning, "Invalid file name \"" + name + "\"");
  } else if (const PictureFiles::Facts& facts = call.run.pictures.FactsOf(path); facts.size <= 0) {
    call.Report(kWarning, "File is empty or does not exist \"" + path + "\"");
  } else if (facts.info) {
    width = facts.info->width;
    height = facts.info->height;
  }

  // The image stands alone when its opening tag, its file name and its
  // closing tag fill the line between blanks. A pair that spans lines has its
  // opening tag on an earlier line and never stands alone.
  const std::size_t opening_length = TagsMatch(call.tag, "<img_center>") ? 12 : 10;
  const std::size_t after_closing = call.position + call.tag.size();
  bool alone = false;
  if (call.position >= state.savename.size() + opening_length) {
    const std::size_t opening = call.position - state.savename.size() - opening_length;
    alone =
        IsBlankText(call.line.substr(0, opening)) && IsBlankText(call.line.substr(after_closing));
  }
  const std::string_view rest = call.line.substr(after_closing);
  const bool after = rest.find_first_not_of(" \t\n") == std::string_view::npos;
  const bool own_paragraph = alone && after;

  const char alignment = state.open_tag == "<img_center>" ? 'C' : 'L';
  ImageText image = WriteImage(call.format(), call.run.names.output, alignment, own_paragraph, path,
                               call.run.pictures, call.run.defer_inserts);
  // A picture's text (in RTF its whole data) is handed over rather than copied.
  if (call.step.step_text.empty()) {
    call.step.step_text = std::move(image.text);
  } else {
    call.step.step_text += image.text;
  }

  if (AddOrCount(call.tables().bitmaps, path, [&] {
        return BitmapRecord{.name = path,
                            .file = call.run.reader.CurrentSourceName(),
                            .line = call.run.reader.CurrentLineNumber(),
                            .count = 1,
                            .width = width,
                            .height = height,
                            .copied = image.written};
      })) {
    call.Report(kFatal, "Table \"BitmapTab\" is full up while adding \"" + path + "\"");
  }
  FinishLinkPair(state);
  if (own_paragraph) call.step.stop_line = true;
}

}  // namespace quillark
