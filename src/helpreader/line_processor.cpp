#include "helpreader/line_processor.h"

#include <algorithm>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "helpmain/report.h"
#include "helpreader/tag_processor.h"
#include "helptags/tag_vocabulary.h"
#include "helpwriter/file_names.h"
#include "helpwriter/inline_text.h"
#include "helpwriter/insert_marks.h"
#include "runtime/byte_scan.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kMaxCollected = 255;

// The emphasis tags the converter looks through to find the structural tag
// that precedes a character.
std::string_view PrecedingTag(std::string_view line, std::size_t position) {
  return TagBeforeInLine(line, position, {"<bold>", "</bold>", "<italic>", "</italic>"});
}

bool IsAcceptedHighByte(unsigned char c) {
  return (c >= 176 && c <= 223) || (c >= 227 && c <= 253);
}

bool IsPrintable(unsigned char c) { return c >= 32 && c <= 126; }

bool IsLineSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

BlockFlags BlocksOf(const TagState& state) {
  return BlockFlags{state.code, state.example, state.syntax, state.diagrams};
}

// Collected characters go to a buffer of 255: the character that finds it
// full ends the run, with the buffer as that character saw it.
[[noreturn]] void CollectOverflow(RunContext& run, std::string& buffer, std::string_view text,
                                  std::string_view buffer_name) {
  buffer.append(text.substr(0, kMaxCollected - std::min(buffer.size(), kMaxCollected)));
  run.ReportAtSource(kFatal, "Identifier \"" + buffer.substr(0, 40) +
                                 "...\" overflowed the internal " + std::string(buffer_name) +
                                 " buffer.");
  throw FatalStop();  // not reached: a fatal report ends the run
}

// Where in `text` a buffer overflows, or npos when all of it fits.
std::size_t OverflowAt(const std::string& buffer, std::string_view text) {
  const std::size_t room = kMaxCollected - std::min(buffer.size(), kMaxCollected);
  return text.size() > room ? room : std::string_view::npos;
}

// What one walk over a line carries from step to step.
struct LineWalk {
  std::string_view line;
  bool blank_line = false;     // known only where the pass renders
  bool renders = false;        // the pass needs the converted text
  std::string& converted;      // a step's converted text, when it goes elsewhere too
  std::string* out = nullptr;  // where the step's conversion goes
  // Whether the line holds a popup link's end, asked once per line.
  enum class PopupLinkEnd { kUnknown, kAbsent, kPresent } popup_link_end = PopupLinkEnd::kUnknown;

  bool MayFollowPopupLink() {
    if (popup_link_end == PopupLinkEnd::kUnknown) {
      popup_link_end = line.find("</jump_popup>") == std::string_view::npos
                           ? PopupLinkEnd::kAbsent
                           : PopupLinkEnd::kPresent;
    }
    return popup_link_end == PopupLinkEnd::kPresent;
  }
};

// A run of printable bytes that are not tags, from `begin` to `end`: each is
// one character step. The steps differ only where a blank follows a tag (the
// HTML family writes a non-breaking space after a popup link), so the run is
// converted in one piece around those.
void PrintableRun(LineWalk& walk, std::size_t begin, std::size_t end, RunContext& run,
                  TagState& state) {
  const std::string_view text = walk.line.substr(begin, end - begin);
  const bool collecting = !runtime::IsBlank(state.open_tag);
  const bool heading = state.AnyHeadingOpen();
  if (collecting || heading) {
    // Character by character the argument is collected before the heading,
    // so of two buffers overflowing at the same character the argument's is told.
    const std::size_t saved_at = collecting ? OverflowAt(state.savename, text) : std::string::npos;
    const std::size_t heading_at =
        heading ? OverflowAt(state.each_heading, text) : std::string::npos;
    if (saved_at != std::string::npos && saved_at <= heading_at) {
      CollectOverflow(run, state.savename, text, "Savename");
    }
    if (heading_at != std::string::npos) {
      CollectOverflow(run, state.each_heading, text, "EachHeading");
    }
    if (collecting) state.savename.append(text);
    if (heading) state.each_heading.append(text);
  }
  if (text.find_first_not_of(' ') != std::string_view::npos) run.writer.previous_tag.clear();
  if (!walk.renders) return;

  std::size_t plain = 0;
  if (!collecting && IsHtmlFamily(run.format)) {
    // Only the blanks that lead the run can have a tag before them, and a
    // blank converts by that tag only when it is a popup link's end: on a
    // line without one, no blank needs to look.
    while (plain < text.size() && IsLineSpace(text[plain])) {
      const std::string_view before =
          walk.MayFollowPopupLink() ? PrecedingTag(walk.line, begin + plain) : std::string_view();
      AppendConvertedChar(*walk.out, run.format, static_cast<unsigned char>(text[plain]), false,
                          before, BlocksOf(state));
      ++plain;
    }
  }
  AppendConvertedText(*walk.out, run.format, text.substr(plain));
}

// One character step for a byte that is not printable.
void OtherCharacter(LineWalk& walk, std::size_t p, RunContext& run, TagState& state) {
  const unsigned char c = static_cast<unsigned char>(walk.line[p]);
  if (c < 32) {
    if (walk.renders) {
      // Of the control bytes only a line feed converts by the tag before it.
      AppendConvertedChar(*walk.out, run.format, c, walk.blank_line,
                          c == '\n' ? PrecedingTag(walk.line, p) : std::string_view(),
                          BlocksOf(state));
    }
    if (c != '\r' && c != '\n' && c != '\t') run.writer.previous_tag.clear();
  } else if (IsAcceptedHighByte(c)) {
    if (walk.renders) AppendConvertedChar(*walk.out, run.format, c, false, "", BlocksOf(state));
    run.writer.previous_tag.clear();
  } else {
    if (state.output_on) {
      run.ReportAtSource(kWarning, "Unconverted character Chr(" + std::to_string(c) +
                                       ") at character position " + std::to_string(p));
    }
    run.writer.previous_tag.clear();
  }
}

// The end of the printable bytes from `from`, before the next "<" after it
// (where a tag may begin).
std::size_t PrintableEnd(std::string_view line, std::size_t from) {
  const std::size_t n = line.size();
  if (from >= n || !IsPrintable(static_cast<unsigned char>(line[from]))) return from;
  ++from;
#if defined(__SSE2__)
  // Sixteen bytes at a time: a byte below 32 or above 126 (as signed bytes,
  // the high half is below 32 too) or a "<" ends the run.
  const __m128i below = _mm_set1_epi8(32);
  const __m128i above = _mm_set1_epi8(126);
  const __m128i open = _mm_set1_epi8('<');
  // One bit for each of the sixteen bytes at `at` that ends the run.
  const auto stops_at = [&](std::size_t at) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at));
    const __m128i stops =
        _mm_or_si128(_mm_or_si128(_mm_cmplt_epi8(bytes, below), _mm_cmpgt_epi8(bytes, above)),
                     _mm_cmpeq_epi8(bytes, open));
    return static_cast<unsigned>(_mm_movemask_epi8(stops));
  };
  from = runtime::FirstMarked(n, from, stops_at);
#endif
  while (from < n && line[from] != '<' && IsPrintable(static_cast<unsigned char>(line[from]))) {
    ++from;
  }
  return from;
}

// The page and example page of the topic `name`, formed once per topic.
void NameFiles(RunContext& run, const std::string& name, LineOutput& output) {
  if (!output.names_formed || name != output.named_topic) {
    output.names_formed = true;
    const std::string key = runtime::UpperAscii(runtime::SanitizeIdent(name));
    output.named_topic = name;
    output.named_page = TopicFileName(run.format, run.names.output, key, PageKind::kMain);
    output.named_example_page =
        TopicFileName(run.format, run.names.output, key, PageKind::kExample);
  }
  if (!output.text1.empty()) output.file1 = output.named_page;
  if (!output.text2.empty()) output.file2 = output.named_example_page;
}

}  // namespace

void ProcessLine(std::string_view line, RunContext& run, TagState& state, LineOutput& output) {
  output.text1.clear();
  output.text2.clear();
  output.file1.clear();
  output.file2.clear();
  // The line ends at its first NUL byte, as a zero-terminated text would.
  if (const void* nul = std::memchr(line.data(), '\0', line.size())) {
    line = line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
  }
  LineWalk walk{.line = line, .converted = output.converted};
  // A pass that writes nothing has no use for converted text, nor for
  // whether the line is blank, which only the conversion asks.
  walk.renders = run.writes_output && run.format != OutputFormat::kNone;
  walk.blank_line = walk.renders && IsBlankText(line);

  // The step starts the line afresh; its texts keep their buffers.
  TagStep& step = output.step;
  step.step_text.clear();
  step.example_page_text.clear();
  step.ended_topic.clear();
  step.stop_line = false;
  step.close_after_line = false;
  bool last_step_was_tag = false;
  const std::size_t n = line.size();
  std::size_t p = 0;
  while (p < n && !step.stop_line) {
    const std::string_view tag = line[p] == '<' ? TagAtInLine(line, p) : std::string_view();
    if (!tag.empty()) {
      step.step_text.clear();
      step.example_page_text.clear();
      step.ended_topic.clear();
      ProcessTag(line, p, tag, run, state, step);
      if (tag != "<null/>") SetPreviousTag(run.writer, tag);
      p += tag.size();
      last_step_was_tag = true;
      if (state.output_on) runtime::AppendBounded(output.text1, step.step_text, output.capacity);
      // The example page is a file of its own, which the topic's button
      // already names: a stray comment tag that turned the page's text off
      // does not take it away.
      runtime::AppendBounded(output.text2, step.example_page_text, output.capacity);
      continue;
    }
    // Character steps up to the next tag: runs of printable bytes in one go.
    // Their text goes straight onto the page when nothing else takes it.
    const bool straight = state.output_on && !state.example && output.capacity == std::string::npos;
    walk.out = straight ? &output.text1 : &walk.converted;
    walk.converted.clear();
    std::size_t end = PrintableEnd(line, p);
    if (end > p) {
      PrintableRun(walk, p, end, run, state);
    } else {
      OtherCharacter(walk, p, run, state);
      end = p + 1;
    }
    p = end;
    last_step_was_tag = false;
    if (straight || !walk.renders || walk.converted.empty()) continue;
    if (state.example) state.example_text += walk.converted;
    if (state.output_on) runtime::AppendBounded(output.text1, walk.converted, output.capacity);
  }
  if (step.close_after_line) state.output_on = false;

  if (output.text1.empty() && output.text2.empty()) return;
  // The line that ends a topic still belongs to that topic's files.
  const std::string& name =
      state.topic_name.empty() && last_step_was_tag ? step.ended_topic : state.topic_name;
  NameFiles(run, name, output);
}

void WriteOutputText(RunContext& run, const std::string& file_name, std::string_view text) {
  if (file_name.empty()) return;
  run.output.Append(file_name, text);
}

std::string ConvertHeaderText(std::string_view text, const RunContext& run, std::size_t capacity) {
  std::string lines = runtime::ReplaceAll(text, "\\n", "\n");
  if (!lines.empty() && lines.back() != '\n') lines.push_back('\n');

  // A run of its own with tables of its own; only the output name and the
  // listing are shared.
  RunContext header_run(run.listing);
  header_run.format = run.format;
  header_run.writer = run.writer;
  header_run.names.output = run.names.output;
  header_run.writes_output = true;
  header_run.defer_inserts = true;
  TagState state;
  state.output_on = true;
  LineOutput output;
  output.capacity = capacity;

  std::string result;
  std::size_t start = 0;
  while (start < lines.size()) {
    const std::size_t end = lines.find('\n', start);
    std::string_view line = std::string_view(lines).substr(start, end - start + 1);
    start = end + 1;
    if (start >= lines.size()) line.remove_suffix(1);  // the last line loses its line end
    ProcessLine(line, header_run, state, output);
    runtime::AppendBounded(result, output.text1, capacity);
  }
  return ExpandInsertMarks(result);
}

}  // namespace quillark
