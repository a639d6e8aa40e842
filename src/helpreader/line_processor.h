// The line processor walks one source line byte by byte: tags go to the tag
// processor, every other byte is converted for the output format and, inside
// an open pair or heading, collected. At the end of the line it names the
// files its two output texts belong to.
#ifndef QUILLARK_HELPREADER_LINE_PROCESSOR_H_
#define QUILLARK_HELPREADER_LINE_PROCESSOR_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "helpreader/tag_state.h"
#include "helptables/help_table.h"
#include "helpwriter/file_names.h"
#include "helpwriter/writer_state.h"

namespace quillark {

// What a pass hands down to the line and tag processors.
struct PassContext {
  OutputFormat format = OutputFormat::kNone;
  FrameFileNames names;
  HelpTables* tables = nullptr;
  // Set in the output pass, where the heading table is in source order.
  bool headings_in_source_order = false;
};

struct LineOutput {
  std::string text1;  // the topic's page (or the RTF file)
  std::string text2;  // the topic's example page
  std::string file1;
  std::string file2;
  std::size_t capacity = kLineText;
};

void ProcessLine(std::string_view line, const PassContext& context, TagState& state,
                 LineOutput& output);

// Appends `text` to `file_name`. A text holding exactly two tabs names the
// file between them, whose contents are passed through in its place.
void WriteOutputText(const std::string& file_name, std::string_view text);

// Converts a -header or -footer text ("\n" for line breaks, tags allowed)
// into output text, cut to capacity - 1 characters.
std::string ConvertHeaderText(std::string_view text, OutputFormat format, std::size_t capacity);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_LINE_PROCESSOR_H_
