#include "helpwriter/preprocessor.h"

#include <cstddef>
#include <cstdio>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/clock.h"
#include "runtime/files.h"
#include "runtime/output.h"
#include "runtime/process.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kArgumentLimit = 1024;
#ifdef _WIN32
constexpr bool kWindowsArguments = true;
constexpr bool kStartsBeforeLooking = false;
#else
constexpr bool kWindowsArguments = false;
constexpr bool kStartsBeforeLooking = true;
#endif
constexpr std::size_t kMessageLimit = 1024;

// The pre-processor's own file, or empty when it is missing or empty.
std::string LocatePreprocessor() {
#ifdef _WIN32
  const std::string path = PreprocessorProgram();
#else
  const std::string path = runtime::FindInPath(PreprocessorProgram());
#endif
  if (path.empty() || runtime::FileSize(path) <= 0) return "";
  return path;
}

// Its standard error, line by line, at most this many lines.
constexpr std::size_t kMaxProgramMessages = 20;

std::vector<std::string> MessageLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty() && lines.size() < kMaxProgramMessages) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (!line.empty()) lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// Whether `text` has a CR that is not followed by an LF. A source with CR LF
// line ends has a CR on every line, so the text is taken 16 bytes at a time:
// the bytes that follow them are the 16 loaded one byte further on.
bool HasLoneCarriageReturn(std::string_view text) {
  const char* bytes = text.data();
  const std::size_t size = text.size();
  std::size_t at = 0;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; at + 17 <= size; at += 16) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
    const int crs = _mm_movemask_epi8(_mm_cmpeq_epi8(here, cr));
    if (crs == 0) continue;
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + 1));
    if ((crs & ~_mm_movemask_epi8(_mm_cmpeq_epi8(next, lf))) != 0) return true;
  }
#endif
  for (; at < size; ++at) {
    if (bytes[at] == '\r' && (at + 1 >= size || bytes[at + 1] != '\n')) return true;
  }
  return false;
}

}  // namespace

// The file is read in blocks: the common source has no lone CR, and the
// pre-processor is running beside the look. The blocks are small enough to
// stay in the processor's cache and live on the stack, whose pages are
// already there; a fresh buffer on the heap costs more in page faults than
// the look itself.
bool FileHasLoneCarriageReturn(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char block[std::size_t{1} << 14];
  bool found = false;
  bool after_cr = false;  // the last block ended in a CR
  while (!found) {
    const std::size_t count = std::fread(block, 1, sizeof block, file);
    if (count == 0) break;
    const std::string_view text(block, count);
    if (after_cr && text.front() != '\n') found = true;
    after_cr = text.back() == '\r';
    // A CR at the block's end is settled by the next block.
    if (HasLoneCarriageReturn(after_cr ? text.substr(0, count - 1) : text)) found = true;
  }
  std::fclose(file);
  return found || after_cr;
}

namespace {

// Writes the source with every lone CR made an LF to `copy`, when the source
// has one; returns whether it did.
bool WriteLineEndCopy(const std::string& source_path, const std::string& copy) {
  if (!FileHasLoneCarriageReturn(source_path)) return false;
  const std::optional<std::string> text = runtime::ReadWholeFile(source_path);
  if (!text) return false;
  std::string converted;
  converted.reserve(text->size());
  for (std::size_t i = 0; i < text->size(); ++i) {
    const char c = (*text)[i];
    const bool lone_cr = c == '\r' && (i + 1 >= text->size() || (*text)[i + 1] != '\n');
    converted += lone_cr ? '\n' : c;
  }
  return runtime::WriteWholeFile(copy, converted).empty();
}

}  // namespace

std::string LineEndCopyName(const std::string& source_path) {
  std::string_view stem = source_path;
  if (stem.ends_with(".txt")) stem.remove_suffix(4);
  return std::string(stem) + "_lines.tmp";
}

std::string PreprocessorProgram() {
#ifdef _WIN32
  return "C:\\Windows\\gpp.exe";
#else
  return "gpp";
#endif
}

std::vector<std::string> PreprocessorArguments(std::string_view format_upper,
                                               const std::string& source_path,
                                               const std::string& pp_path,
                                               const std::string& now_text) {
  // The source's comments are <comment>...</comment> and a macro is called like
  // an empty tag, <format/>; "now" and "format" are defined for every source.
  return {source_path,
          "-o",
          pp_path,
          "+c",
          "<comment>",
          "</comment>",
          "+z",
          "-U",
          "<",
          "/>",
          "\\B",
          "=",
          "/>",
          "<",
          ">",
          "#",
          "",
          "-D",
          "now=" + now_text,
          "-D",
          "format=" + std::string(format_upper)};
}

PreprocessResult RunPreprocessor(std::string_view format_upper, const std::string& source_path,
                                 const std::string& pp_path) {
  return PreprocessorRun(format_upper, source_path, pp_path).Finish();
}

PreprocessorRun::PreprocessorRun(std::string_view format_upper, const std::string& source_path,
                                 const std::string& pp_path)
    : source_path_(source_path), pp_path_(pp_path) {
  if (source_path.empty()) {
    refusal_ = "Cannot run pre-processor, the input file is missing or invalid";
    return;
  }
  if (pp_path.empty()) {
    refusal_ = "Cannot run pre-processor, the pre-processor file is missing or invalid";
    return;
  }
  const std::string program = LocatePreprocessor();
  if (program.empty()) {
    refusal_ =
        "Cannot run pre-processor, the exe file is missing: \"" + PreprocessorProgram() + "\"";
    return;
  }
  // The pre-processor drops every CR, so a source whose lines end in a CR
  // alone would reach the passes as one line: it reads a copy with LF line
  // ends instead, beside the source, and its messages name the source.
  // Looking for a lone CR reads the whole source, so on POSIX the
  // pre-processor starts on the source first and the look runs beside it;
  // the rare source that has one stops that run and starts again on the
  // copy. Windows starts a program only to wait for its end: it looks first.
  lines_copy_ = LineEndCopyName(source_path);
  const std::string now_text = runtime::NowText();
  if (!kStartsBeforeLooking) copied_ = WriteLineEndCopy(source_path, lines_copy_);
  if (!Start(program, format_upper, copied_ ? lines_copy_ : source_path, now_text)) return;
  if (kStartsBeforeLooking && FileHasLoneCarriageReturn(source_path)) {
    program_.Stop();
    runtime::DeleteFile(pp_path);
    copied_ = WriteLineEndCopy(source_path, lines_copy_);
    Start(program, format_upper, copied_ ? lines_copy_ : source_path, now_text);
  }
}

bool PreprocessorRun::Start(const std::string& program, std::string_view format_upper,
                            const std::string& read_path, const std::string& now_text) {
  const std::vector<std::string> arguments =
      PreprocessorArguments(format_upper, read_path, pp_path_, now_text);
  std::size_t argument_length = 0;
  for (const std::string& argument : arguments) argument_length += argument.size();
  // Windows passes one argument text of a bounded length; POSIX an array.
  if (kWindowsArguments && argument_length > kArgumentLimit) {
    start_refusal_ = runtime::kRunBadArguments;
    return false;
  }
  program_ = runtime::RunningProgram::Start(program, arguments);
  return program_.started();
}

PreprocessResult PreprocessorRun::Finish() {
  PreprocessResult result;
  if (!refusal_.empty()) {
    result.message = refusal_;
  } else {
    runtime::ProgramRun run;
    run.start_code = start_refusal_;
    if (start_refusal_ == runtime::kRunStarted) run = program_.Finish();
    if (copied_) runtime::DeleteFile(lines_copy_);
    if (run.start_code != runtime::kRunStarted) {
      result.message =
          "Cannot run pre-processor, Exec() caused error " + std::to_string(run.start_code) + ".";
    } else {
      result.program_messages =
          MessageLines(copied_ ? runtime::ReplaceAll(run.error_text, lines_copy_, source_path_)
                               : run.error_text);
      if (run.signal != 0) {
        result.message = "Cannot run pre-processor, it was ended by signal " +
                         std::to_string(run.signal) + " (" + runtime::SignalName(run.signal) + ").";
      } else if (run.exit_code != 0) {
        result.message = "Cannot run pre-processor, it returned error number " +
                         std::to_string(run.exit_code) + ".";
      } else if (runtime::FileSize(pp_path_) <= 0) {
        result.message =
            "Cannot run pre-processor, the output file \"" + pp_path_ + "\" could not be created.";
      }
    }
  }
  if (!result.message.empty() && !pp_path_.empty()) runtime::DeleteFile(pp_path_);
  if (result.message.empty()) result.program_messages.clear();
  result.message = runtime::Truncate(result.message, kMessageLimit);
  return result;
}

}  // namespace quillark
