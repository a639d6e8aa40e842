// The tag processor gives every tag its meaning: it changes the pass's
// TagState, records topics, headings, jumps, keywords and images in the help
// tables, reports problems, and appends the step's output text.
#ifndef QUILLARK_HELPREADER_TAG_PROCESSOR_H_
#define QUILLARK_HELPREADER_TAG_PROCESSOR_H_

#include <cstddef>
#include <string_view>

#include "helpreader/run_context.h"
#include "helpreader/tag_state.h"

namespace quillark {

// `tag` is what TagAt found at `position` of `line`.
void ProcessTag(std::string_view line, std::size_t position, std::string_view tag, RunContext& run,
                TagState& state, TagStep& step);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_TAG_PROCESSOR_H_
