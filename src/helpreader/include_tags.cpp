// Topics borrowed from other source files, the replace pairs that edit the
// borrowed text, and files passed through verbatim into the output.
//
// A borrowed topic's body travels through its temporary include file: the
// first pass that meets the include pair writes the file (and applies the
// topic's replace pairs to it), every later pass reads it as a nested source.
// The "Replace=0" marker in its first line turns into "Replace=1" at the end
// of the topic, so the replacements are applied exactly once.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "helpmain/report.h"
#include "helpreader/include_files.h"
#include "helpreader/tag_families.h"
#include "helptags/tag_vocabulary.h"
#include "helpwriter/insert_marks.h"
#include "helpwriter/page_frame.h"
#include "runtime/files.h"
#include "runtime/output.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::string_view kUnreplacedMarker = "Replace=0";
constexpr std::string_view kReplacedMarker = "Replace=1";

std::string TemporaryFileOf(const TagCall& call, std::string_view topic_name) {
  return IncludeFileName(call.run.reader.MainSourceName(), topic_name);
}

void FatalIfNotWritten(const TagCall& call, const std::string& path, const std::string& failure) {
  if (!failure.empty()) call.Report(kFatal, "Cannot write \"" + path + "\": " + failure);
}

// Where the marker stands in `text`, compared without case.
std::size_t FindMarker(std::string_view text) {
  return runtime::UpperAscii(text).find(runtime::UpperAscii(kUnreplacedMarker));
}

// The header is a comment pair, so it produces nothing when the file is read
// inside the topic.
void WriteTemporaryFile(const TagCall& call, const std::string& path, std::string_view body) {
  call.run.BeforeWritingFiles();
  std::string data = "<comment>" + RunGeneratorText(call.writer()) + " " +
                     std::string(kUnreplacedMarker) + "\r\n</comment>\r\n";
  data += body;
  FatalIfNotWritten(call, path, runtime::WriteWholeFile(path, data));
  call.run.include_files.insert(path);
}

// The reader takes a name that is not a full path against the main source's
// folder, where the temporary file already is.
std::string NameForReader(const std::string& temp) {
  return runtime::IsFullPath(temp) ? temp : runtime::FileNamePart(temp);
}

// An optional sign and digits give a number; any other value (or one out of
// range) keeps the default.
int IntegerOr(std::string_view value, int fallback) {
  const bool negative = !value.empty() && value.front() == '-';
  if (!value.empty() && (value.front() == '-' || value.front() == '+')) value.remove_prefix(1);
  if (value.empty()) return fallback;
  for (char c : value) {
    if (!runtime::IsAsciiDigit(c)) return fallback;
  }
  long long number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size()) return fallback;
  if (negative) number = -number;
  if (number < INT32_MIN || number > INT32_MAX) return fallback;
  return static_cast<int>(number);
}

// Tags may be written with braces in the replace parameters.
std::string BracesToAngles(std::string text) {
  for (char& c : text) {
    if (c == '{') c = '<';
    if (c == '}') c = '>';
  }
  return text;
}

// The contents of a file the run depends on; one that cannot be read ends
// the run, naming the file and the reason.
std::string ReadOrFatal(const TagCall& call, const std::string& path) {
  std::string reason;
  std::optional<std::string> data = runtime::ReadWholeFile(path, reason);
  if (!data) call.Report(kFatal, "Cannot read \"" + path + "\": " + reason);
  return data ? std::move(*data) : std::string();
}

// Only a temporary file whose first line still carries the marker is edited.
bool AwaitsReplacement(const TagCall& call, const std::string& temp) {
  const std::string data = ReadOrFatal(call, temp);
  const std::string_view first_line =
      std::string_view(data).substr(0, std::min(data.find('\n'), std::size_t{256}));
  return FindMarker(first_line) != std::string::npos;
}

}  // namespace

void ProcessIncludeFamily(TagCall& call) {
  call.run.includes_topics = true;
  call.run.SettleOutput();  // the tag reads and writes files beside the output
  TagState& state = call.state;
  if (state.output_on) {
    call.Report(kFatal, "Topic tag inside topic, previous <endtopic/> tag missing?");
  }
  if (OpenPairIfIdle(call, call.tag)) return;
  if (state.open_tag != "<topic_include>" && state.open_tag != "<popup_include>") {
    call.Report(kFatal,
                "Unexpected topic or popup tag found while processing " + state.open_tag + " link");
  }
  const std::array<std::string, 5> values = SplitParameters(state.savename);
  const std::string file = call.run.reader.PathAgainstMainSource(values[0]);
  const std::string& old_name = values[1];
  const std::string new_name(runtime::TrimControl(values[2]));
  if (!runtime::IsIdentifier(runtime::SanitizeIdent(old_name))) {
    call.Report(kFatal, "Old topic name \"" + old_name +
                            "\" is missing or invalid, should be an identifier");
  }
  if (!runtime::IsIdentifier(runtime::SanitizeIdent(new_name))) {
    call.Report(kFatal, "New topic name \"" + new_name +
                            "\" is missing or invalid, should be an identifier");
  }
  const std::string temp = TemporaryFileOf(call, new_name);
  const bool temp_existed = call.run.include_files.count(temp) > 0;
  if (!temp_existed) {
    // This pass only writes the temporary file; the body is read from it in
    // the passes that follow.
    // A missing file has no such topic; one that is there but cannot be
    // read ends the run.
    const std::string data = runtime::FileExists(file) ? ReadOrFatal(call, file) : std::string();
    const TopicSpan span = FindTopicInText(data, old_name, TagsMatch(call.tag, "<popup_include>"));
    if (span.start > 0 && span.end > span.start && span.end - 1 <= data.size()) {
      WriteTemporaryFile(call, temp,
                         std::string_view(data).substr(span.start - 1, span.end - span.start));
    } else {
      call.Report(kWarning,
                  "The included topic \"" + old_name + "\" does not exist in the included file.");
    }
  }
  // The topic is registered at the include pair's own line, before the
  // reader descends into the temporary file.
  StartTopic(call, new_name);
  if (!temp_existed) return;
  std::string reason;
  switch (call.run.reader.OpenIncludeFile(NameForReader(temp), &reason)) {
    case IncludeResult::kUnreadable:
      call.Report(kFatal, "Cannot read \"" + temp + "\": " + reason);
      break;
    case IncludeResult::kTooDeep:
      call.Report(kFatal, "Include files too deeply nested");
      break;
    case IncludeResult::kNotFound:
      call.Report(kWarning, "Include file \"" + temp + "\" not found");
      break;
    case IncludeResult::kOpened:
      break;
  }
}

void ProcessReplace(TagCall& call) {
  call.run.SettleOutput();
  TagState& state = call.state;
  if (runtime::IsBlank(state.open_tag)) {
    // Replace pairs open only inside a topic body with output on.
    if (state.output_on) {
      OpenPairIfIdle(call, call.tag);
      state.output_on = false;
    }
    return;
  }
  if (state.open_tag != "<replace>") {
    call.Report(kFatal,
                "Unexpected replace tag found while processing " + state.open_tag + " link");
  }
  const std::string temp = TemporaryFileOf(call, state.topic_name);
  if (call.run.include_files.count(temp) > 0 && AwaitsReplacement(call, temp)) {
    const std::array<std::string, 5> values = SplitParameters(state.savename, 257);
    const int start = IntegerOr(values[2], 1);
    const int count = IntegerOr(runtime::Truncate(values[3], 34), -1);
    const int flags = IntegerOr(runtime::Truncate(values[4], 34), kReplaceIgnoreCase);
    call.run.BeforeWritingFiles();
    FatalIfNotWritten(call, temp,
                      ReplaceInFile(temp, BracesToAngles(values[0]), BracesToAngles(values[1]),
                                    flags, count, start));
  }
  ClosePair(state);
  state.output_on = true;
  call.step.stop_line = true;
}

void ProcessPassthrough(TagCall& call) {
  call.run.SettleOutput();
  TagState& state = call.state;
  const bool in_topic = !state.topic_name.empty();
  if (OpenPairIfIdle(call, call.tag)) {
    if (in_topic) state.output_on = false;
    return;
  }
  if (!TagsMatch(state.open_tag, "<passthrough>")) {
    call.Report(kFatal, "<passthrough> tag was not expected in " + state.open_tag + " link");
  }
  const std::string name(runtime::TrimControl(state.savename));
  const std::string path = call.run.reader.PathAgainstMainSource(name);
  if (!runtime::HasExtension(path)) {
    call.Report(kWarning, "Invalid file name \"" + name + "\"");
  } else if (runtime::FileSize(path) <= 0) {
    call.Report(kWarning, "File is empty or does not exist \"" + path + "\"");
  } else if (call.run.defer_inserts) {
    call.step.step_text += InsertMark(path);
  } else if (call.run.writes_output && call.format() != OutputFormat::kNone) {
    // The file's contents stand in the text in place of the tags.
    call.step.step_text += ReadOrFatal(call, path);
  }
  ClosePair(state);
  if (in_topic) state.output_on = true;
}

void MarkIncludeReplaced(TagCall& call, const std::string& topic_name) {
  // Most sources include no topic: no name is formed for them.
  if (call.run.include_files.empty()) return;
  const std::string temp = TemporaryFileOf(call, topic_name);
  if (call.run.include_files.count(temp) == 0) return;
  call.run.SettleOutput();
  if (runtime::FileSize(temp) <= 0) return;
  std::string data = ReadOrFatal(call, temp);
  const std::size_t marker = FindMarker(data);
  if (marker == std::string::npos) return;
  data.replace(marker, kUnreplacedMarker.size(), kReplacedMarker);
  call.run.BeforeWritingFiles();
  FatalIfNotWritten(call, temp, runtime::ReplaceFileSafely(temp, data));
}

}  // namespace quillark
