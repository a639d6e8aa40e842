#include "helpreader/tag_processor.h"

#include "helpreader/tag_families.h"
#include "helptags/tag_vocabulary.h"
#include "runtime/text.h"

namespace quillark {

bool OpenPairIfIdle(TagState& state, std::string_view open_as) {
  if (!runtime::IsBlank(state.open_tag)) return false;
  state.open_tag = open_as;
  state.savename.clear();
  return true;
}

void ClosePair(TagState& state) {
  state.open_tag.clear();
  state.savename.clear();
}

void ProcessTag(std::string_view line, std::size_t position, std::string_view tag, RunContext& run,
                TagState& state, TagStep& step) {
  TagCall call{line, position, tag, run, state, step};
  // Families in dispatch order; no tag belongs to two of them.
  if (tag == "<blob/>" || tag == "<bold>" || tag == "</bold>" || tag.starts_with("<clr_")) {
    ProcessFormatting(call);
  } else if (tag == "<code>" || tag == "</code>") {
    ProcessBlock(call);
  } else if (tag == "<comment>" || tag == "</comment>") {
    ProcessComment(call);
  } else if (tag.find("<diagrams") != std::string_view::npos ||
             tag.find("</diagrams") != std::string_view::npos) {
    ProcessBlock(call);
  } else if (tag == "<endtopic/>") {
    ProcessEndTopic(call);
  } else if (tag == "<example>" || tag == "</example>") {
    ProcessExample(call);
  } else if (HeadingLevelOf(tag) != 0) {
    ProcessHeading(call);
  } else if (tag == "<hline/>") {
    ProcessFormatting(call);
  } else if (TagsMatch(tag, "<img_center>") || TagsMatch(tag, "<img_left>")) {
    ProcessImage(call);
  } else if (tag == "<italic>" || tag == "</italic>") {
    ProcessFormatting(call);
  } else if (TagsMatch(tag, "<jump_popup>") || TagsMatch(tag, "<jump_topic>")) {
    ProcessJump(call);
  } else if (TagsMatch(tag, "<jump_web>")) {
    ProcessWebJump(call);
  } else if (TagsMatch(tag, "<keyword>")) {
    ProcessKeyword(call);
  } else if (tag == "<null/>") {
    step.step_text.clear();
  } else if (tag == "<page/>") {
    step.step_text = "<page/>";
  } else if (TagsMatch(tag, "<passthrough>")) {
    ProcessPassthrough(call);
  } else if (TagsMatch(tag, "<topic>") || TagsMatch(tag, "<popup>")) {
    ProcessTopicFamily(call);
  } else if (TagsMatch(tag, "<topic_include>") || TagsMatch(tag, "<popup_include>")) {
    ProcessIncludeFamily(call);
  } else if (TagsMatch(tag, "<replace>")) {
    ProcessReplace(call);
  } else if (TagsMatch(tag, "<subscript>")) {
    ProcessFormatting(call);
  } else if (TagsMatch(tag, "<syntax>")) {
    ProcessBlock(call);
  } else if (TagsMatch(tag, "<underline>")) {
    ProcessFormatting(call);
  }
}

}  // namespace quillark
