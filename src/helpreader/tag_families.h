// The tag families the tag processor dispatches to, one handler per family,
// and the collected-content mechanism the pair families share.
#ifndef QUILLARK_HELPREADER_TAG_FAMILIES_H_
#define QUILLARK_HELPREADER_TAG_FAMILIES_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "helpreader/run_context.h"
#include "helpreader/tag_state.h"

namespace quillark {

// One tag being processed and everything its handler may touch.
struct TagCall {
  std::string_view line;
  std::size_t position;  // of the tag's '<'
  std::string_view tag;
  RunContext& run;
  TagState& state;
  TagStep& step;

  HelpTables& tables() const { return run.tables; }
  OutputFormat format() const { return run.format; }
  const WriterState& writer() const { return run.writer; }
  void Report(char kind, std::string_view message) const { run.ReportAtSource(kind, message); }
  // Whether the pass uses the step's text: the first pass only records, so
  // the writers that merely form text are not asked there.
  bool Renders() const { return run.writes_output && run.format != OutputFormat::kNone; }
  // The character right after the tag, or 0 when the tag ends the line.
  char Next() const {
    const std::size_t after = position + tag.size();
    return after < line.size() ? line[after] : '\0';
  }
};

// Opens a pair when nothing is being collected: OpenTag takes `open_as`
// (and the place it was opened) and Savename is emptied. Returns false when a
// pair was already open.
bool OpenPairIfIdle(TagCall& call, std::string_view open_as);
// Empties OpenTag and Savename after a pair has been acted on.
void ClosePair(TagState& state);

// Structural tags: topic and popup, end of topic, headings, comment, page, null.
void ProcessTopicFamily(TagCall& call);
// Starts the topic `name` whose opening pair (OpenTag ... the call's tag) has
// just closed: registers it, writes the topic's start, zeroes the state and
// turns output on for the body. The include family starts its topics so too.
void StartTopic(TagCall& call, const std::string& name);
void ProcessEndTopic(TagCall& call);
void ProcessHeading(TagCall& call);
void ProcessComment(TagCall& call);

// Formatting: bold, italic, underline, subscript, colours, bullet, horizontal
// line, and the code, syntax, example and diagram blocks.
void ProcessFormatting(TagCall& call);
void ProcessBlock(TagCall& call);
void ProcessExample(TagCall& call);

// Jumps to topics and popups, web jumps, keywords and images.
void ProcessJump(TagCall& call);
void ProcessWebJump(TagCall& call);
void ProcessKeyword(TagCall& call);
void ProcessImage(TagCall& call);

// Topics included from other files, replace pairs and passthrough files.
void ProcessIncludeFamily(TagCall& call);
void ProcessReplace(TagCall& call);
void ProcessPassthrough(TagCall& call);
// At the end of a topic: marks the topic's temporary include file as edited
// ("Replace=0" becomes "Replace=1").
void MarkIncludeReplaced(TagCall& call, const std::string& topic_name);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_TAG_FAMILIES_H_
