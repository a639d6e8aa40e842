// The line processor walks one source line: tags go to the tag processor,
// every other byte is converted for the output format and, inside an open
// pair or heading, collected. At the end of the line it names the files its
// two output texts belong to.
#ifndef QUILLARK_HELPREADER_LINE_PROCESSOR_H_
#define QUILLARK_HELPREADER_LINE_PROCESSOR_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "helpreader/run_context.h"
#include "helpreader/tag_state.h"
#include "helpwriter/writer_state.h"

namespace quillark {

struct LineOutput {
  std::string text1;  // the topic's page (or the RTF file)
  std::string text2;  // the topic's example page
  std::string file1;
  std::string file2;
  std::size_t capacity = kLineText;
  // The topic whose file names were formed last, kept from line to line.
  bool names_formed = false;
  std::string named_topic;
  std::string named_page;
  std::string named_example_page;
  // Room the line processor uses afresh for every line, kept so that its
  // texts keep their buffers.
  std::string converted;
  TagStep step;
};

void ProcessLine(std::string_view line, RunContext& run, TagState& state, LineOutput& output);

// Appends `text` to `file_name` through the pass's output files; an empty
// file name writes nothing.
void WriteOutputText(RunContext& run, const std::string& file_name, std::string_view text);

// Converts a -header or -footer text ("\n" for line breaks, tags allowed)
// into output text, cut to capacity - 1 characters. Pictures and files passed
// through are inserted after the cut, so they never count against it.
// The run gives the format, the writer state, the output name (beside which
// a picture's data file goes) and the listing for reports.
std::string ConvertHeaderText(std::string_view text, const RunContext& run, std::size_t capacity);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_LINE_PROCESSOR_H_
