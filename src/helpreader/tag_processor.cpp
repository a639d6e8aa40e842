#include "helpreader/tag_processor.h"

#include <unordered_map>

#include "helpreader/tag_families.h"
#include "helptags/tag_vocabulary.h"
#include "runtime/text.h"

namespace quillark {

bool OpenPairIfIdle(TagCall& call, std::string_view open_as) {
  TagState& state = call.state;
  if (!runtime::IsBlank(state.open_tag)) return false;
  state.open_tag = open_as;
  state.open_tag_file = call.run.reader.CurrentSourceName();
  state.open_tag_line = call.run.reader.CurrentLineNumber();
  state.savename.clear();
  return true;
}

void ClosePair(TagState& state) {
  state.open_tag.clear();
  state.savename.clear();
}

namespace {

using FamilyHandler = void (*)(TagCall&);

void ProcessNull(TagCall& call) { call.step.step_text.clear(); }
void ProcessPage(TagCall& call) { call.step.step_text = "<page/>"; }

// The family that handles `tag`: the families in dispatch order, no tag
// belonging to two of them; nullptr for a text outside the vocabulary.
FamilyHandler FamilyOf(std::string_view tag) {
  if (tag == "<blob/>" || tag == "<bold>" || tag == "</bold>" || tag.starts_with("<clr_")) {
    return ProcessFormatting;
  }
  if (tag == "<code>" || tag == "</code>") return ProcessBlock;
  if (tag == "<comment>" || tag == "</comment>") return ProcessComment;
  if (tag.find("<diagrams") != std::string_view::npos ||
      tag.find("</diagrams") != std::string_view::npos) {
    return ProcessBlock;
  }
  if (tag == "<endtopic/>") return ProcessEndTopic;
  if (tag == "<example>" || tag == "</example>") return ProcessExample;
  if (HeadingLevelOf(tag) != 0) return ProcessHeading;
  if (tag == "<hline/>") return ProcessFormatting;
  if (TagsMatch(tag, "<img_center>") || TagsMatch(tag, "<img_left>")) return ProcessImage;
  if (tag == "<italic>" || tag == "</italic>") return ProcessFormatting;
  if (TagsMatch(tag, "<jump_popup>") || TagsMatch(tag, "<jump_topic>")) return ProcessJump;
  if (TagsMatch(tag, "<jump_web>")) return ProcessWebJump;
  if (TagsMatch(tag, "<keyword>")) return ProcessKeyword;
  if (tag == "<null/>") return ProcessNull;
  if (tag == "<page/>") return ProcessPage;
  if (TagsMatch(tag, "<passthrough>")) return ProcessPassthrough;
  if (TagsMatch(tag, "<topic>") || TagsMatch(tag, "<popup>")) return ProcessTopicFamily;
  if (TagsMatch(tag, "<topic_include>") || TagsMatch(tag, "<popup_include>")) {
    return ProcessIncludeFamily;
  }
  if (TagsMatch(tag, "<replace>")) return ProcessReplace;
  if (TagsMatch(tag, "<subscript>")) return ProcessFormatting;
  if (TagsMatch(tag, "<syntax>")) return ProcessBlock;
  if (TagsMatch(tag, "<underline>")) return ProcessFormatting;
  return nullptr;
}

struct KnownTag {
  std::size_t size;
  FamilyHandler handler;
};

// The family of every tag of the vocabulary, found once; the line processor
// hands over the table's own texts, so a tag is known by where it lies.
const std::unordered_map<const char*, KnownTag>& FamiliesOfTable() {
  static const std::unordered_map<const char*, KnownTag> families = [] {
    std::unordered_map<const char*, KnownTag> map;
    for (std::string_view tag : kTagTable)
      map.emplace(tag.data(), KnownTag{tag.size(), FamilyOf(tag)});
    return map;
  }();
  return families;
}

}  // namespace

void ProcessTag(std::string_view line, std::size_t position, std::string_view tag, RunContext& run,
                TagState& state, TagStep& step) {
  TagCall call{line, position, tag, run, state, step};
  const auto& families = FamiliesOfTable();
  const auto known = families.find(tag.data());
  const FamilyHandler handler = known != families.end() && known->second.size == tag.size()
                                    ? known->second.handler
                                    : FamilyOf(tag);
  if (handler != nullptr) handler(call);
}

}  // namespace quillark
