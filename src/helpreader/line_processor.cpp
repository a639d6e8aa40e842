#include "helpreader/line_processor.h"

#include <string>

#include "helpmain/report.h"
#include "helpmain/run_files.h"
#include "helpreader/source_reader.h"
#include "helpreader/tag_processor.h"
#include "helptags/tag_vocabulary.h"
#include "helpwriter/inline_text.h"
#include "runtime/files.h"
#include "runtime/output.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kMaxCollected = 255;

// The emphasis tags the converter looks through to find the structural tag
// that precedes a character.
std::string_view PrecedingTag(std::string_view line, std::size_t position) {
  return TagBefore(line, position, {"<bold>", "</bold>", "<italic>", "</italic>"});
}

bool IsAcceptedHighByte(unsigned char c) {
  return (c >= 176 && c <= 223) || (c >= 227 && c <= 253);
}

// Appends a collected character, ending the run when the buffer is full.
void Collect(std::string& buffer, char c, std::string_view buffer_name) {
  if (buffer.size() >= kMaxCollected) {
    ReportAtSource(kFatal, "Identifier \"" + buffer.substr(0, 40) +
                               "...\" overflowed the internal " + std::string(buffer_name) +
                               " buffer.");
  }
  buffer.push_back(c);
}

BlockFlags BlocksOf(const TagState& state) {
  return BlockFlags{state.code, state.example, state.syntax, state.diagrams};
}

}  // namespace

void ProcessLine(std::string_view line, const PassContext& context, TagState& state,
                 LineOutput& output) {
  output.text1.clear();
  output.text2.clear();
  output.file1.clear();
  output.file2.clear();
  // The line ends at its first NUL byte, as a zero-terminated text would.
  line = line.substr(0, line.find('\0'));
  const std::size_t n = line.size();
  const bool blank_line = IsBlankText(line);

  TagStep step;
  std::string noted_topic;
  std::size_t p = 0;
  while (p < n && !step.stop_line) {
    step.step_text.clear();
    step.example_page_text.clear();
    noted_topic = state.topic_name;

    const std::string_view tag = TagAt(line, p);
    const unsigned char c = static_cast<unsigned char>(line[p]);
    if (!tag.empty()) {
      ProcessTag(line, p, tag, context, state, step);
      if (tag != "<null/>") SetPreviousTag(tag);
      p += tag.size();
    } else if (c < 32) {
      step.step_text +=
          ConvertChar(context.format, c, blank_line, PrecedingTag(line, p), BlocksOf(state));
      if (c != '\r' && c != '\n' && c != '\t') SetPreviousTag("");
      ++p;
    } else if (c <= 126) {
      const bool collecting = !runtime::IsBlank(state.open_tag);
      const std::string_view preceding = collecting ? std::string_view() : PrecedingTag(line, p);
      step.step_text += ConvertChar(context.format, c, false, preceding, BlocksOf(state));
      if (collecting) Collect(state.savename, static_cast<char>(c), "Savename");
      if (state.AnyHeadingOpen()) Collect(state.each_heading, static_cast<char>(c), "EachHeading");
      if (c != ' ') SetPreviousTag("");
      ++p;
    } else if (IsAcceptedHighByte(c)) {
      step.step_text += ConvertChar(context.format, c, false, "", BlocksOf(state));
      SetPreviousTag("");
      ++p;
    } else {
      if (state.output_on) {
        ReportAtSource(kWarning, "Unconverted character Chr(" + std::to_string(c) +
                                     ") at character position " + std::to_string(p));
      }
      SetPreviousTag("");
      ++p;
    }

    if (tag.empty() && state.example) state.example_text += step.step_text;
    if (state.output_on) {
      runtime::AppendBounded(output.text1, step.step_text, output.capacity);
      runtime::AppendBounded(output.text2, step.example_page_text, output.capacity);
    }
  }
  if (step.close_after_line) state.output_on = false;

  if (output.text1.empty() && output.text2.empty()) return;
  // The line that ends a topic still belongs to that topic's files.
  const std::string& name = state.topic_name.empty() ? noted_topic : state.topic_name;
  const std::string key = runtime::UpperAscii(runtime::SanitizeIdent(name));
  if (!output.text1.empty()) {
    output.file1 = TopicFileName(context.format, GetOutputFileName(), key, PageKind::kMain);
  }
  if (!output.text2.empty()) {
    output.file2 = TopicFileName(context.format, GetOutputFileName(), key, PageKind::kExample);
  }
}

void WriteOutputText(const std::string& file_name, std::string_view text) {
  if (file_name.empty()) return;
  std::size_t tabs = 0;
  for (char c : text) tabs += c == '\t';
  std::string data;
  if (tabs == 0) {
    data = text;
  } else if (tabs == 2) {
    // The text between the two tabs names a file whose contents stand in its place.
    const std::size_t first = text.find('\t');
    const std::size_t second = text.find('\t', first + 1);
    const std::string passed =
        runtime::NormalizeSourcePath(text.substr(first + 1, second - first - 1));
    data = text.substr(0, first);
    if (std::optional<std::string> contents = runtime::ReadWholeFile(passed)) data += *contents;
    data += text.substr(second + 1);
  } else {
    ReportAtSource(kFatal,
                   "Internal error, the output format of the passthrough command is wrong.");
  }
  const std::string failure = runtime::AppendToFile(file_name, data);
  if (!failure.empty()) {
    ReportAtSource(kFatal, "Cannot write \"" + file_name + "\": " + failure);
  }
}

std::string ConvertHeaderText(std::string_view text, OutputFormat format, std::size_t capacity) {
  std::string result;
  std::string lines = runtime::ReplaceAll(text, "\\n", "\n");
  if (!lines.empty() && lines.back() != '\n') lines.push_back('\n');

  HelpTables tables;
  PassContext context;
  context.format = format;
  context.tables = &tables;
  TagState state;
  state.output_on = true;
  LineOutput output;
  output.capacity = capacity;

  std::size_t start = 0;
  while (start < lines.size()) {
    const std::size_t end = lines.find('\n', start);
    std::string_view line = std::string_view(lines).substr(start, end - start + 1);
    start = end + 1;
    if (start >= lines.size()) line.remove_suffix(1);  // the last line loses its line end
    ProcessLine(line, context, state, output);
    runtime::AppendBounded(result, output.text1, capacity);
  }
  return result;
}

}  // namespace quillark
