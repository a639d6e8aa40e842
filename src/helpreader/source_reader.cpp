#include "helpreader/source_reader.h"

#include <cstring>
#include <optional>
#include <string>

#include "runtime/files.h"

namespace quillark {

bool SourceReader::OpenMainSource(const std::string& path) {
  std::optional<std::string> data = runtime::ReadWholeFile(path);
  OpenMainText(path, data ? std::move(*data) : std::string());
  return data.has_value();
}

void SourceReader::OpenMainText(const std::string& path, std::string text) {
  CloseSources();
  main_.name = path;
  main_.owned = std::move(text);
  main_.data = main_.owned;
}

void SourceReader::OpenMainView(const std::string& path, std::string_view text) {
  CloseSources();
  main_.name = path;
  main_.data = text;
}

const SourceReader::File& SourceReader::Innermost() const {
  if (include2_.IsOpen()) return include2_;
  if (include1_.IsOpen()) return include1_;
  return main_;
}

// One line of `file`: bytes up to and including its end, at most capacity - 1
// of them kept. A line ends with LF, CR LF or a CR alone (as old Macintosh
// files have it); CR LF and a lone CR become LF.
std::string_view SourceReader::ReadLineFrom(File& file, std::size_t capacity, bool& overflow) {
  const std::size_t keep = capacity > 0 ? capacity - 1 : 0;
  const char* start = file.data.data() + file.position;
  const std::size_t rest = file.data.size() - file.position;
  const char* newline = static_cast<const char*>(std::memchr(start, '\n', rest));
  std::size_t length = newline == nullptr ? rest : static_cast<std::size_t>(newline - start) + 1;
  const char* cr = static_cast<const char*>(std::memchr(start, '\r', length));
  const bool lone_cr = cr != nullptr && cr + 1 != newline;
  if (lone_cr) length = static_cast<std::size_t>(cr - start) + 1;
  file.position += length;
  overflow = length > keep;
  std::string_view line(start, overflow ? keep : length);
  const std::size_t n = line.size();
  if (lone_cr && !overflow) {
    line_.assign(line.data(), n - 1);
    line_.push_back('\n');
    return line_;
  }
  if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n') {
    line_.assign(line.data(), n - 2);
    line_.push_back('\n');
    return line_;
  }
  return line;
}

std::string_view SourceReader::ReadSourceLine(std::size_t capacity, bool& overflow) {
  overflow = false;
  for (File* include : {&include2_, &include1_}) {
    if (!include->IsOpen()) continue;
    if (include->AtEnd()) {
      *include = File();
      continue;
    }
    ++include->line;
    ++absolute_line_;
    return ReadLineFrom(*include, capacity, overflow);
  }
  ++main_.line;
  ++absolute_line_;
  return ReadLineFrom(main_, capacity, overflow);
}

bool SourceReader::EndOfSource() const {
  return main_.AtEnd() && !include1_.IsOpen() && !include2_.IsOpen();
}

IncludeResult SourceReader::OpenIncludeFile(const std::string& path, std::string* reason) {
  std::string full = runtime::NormalizeSourcePath(path);
  if (!runtime::IsFullPath(full)) full = runtime::DirectoryPart(main_.name) + full;
  if (!runtime::FileExists(full)) return IncludeResult::kNotFound;
  if (include2_.IsOpen()) return IncludeResult::kTooDeep;
  std::string why;
  std::optional<std::string> data = runtime::ReadWholeFile(full, why);
  if (!data) {
    if (reason != nullptr) *reason = why;
    return IncludeResult::kUnreadable;
  }
  File& file = include1_.IsOpen() ? include2_ : include1_;
  file = File();
  file.name = full;
  file.owned = std::move(*data);
  file.data = file.owned;
  return IncludeResult::kOpened;
}

void SourceReader::CloseSources() {
  main_ = File();
  include1_ = File();
  include2_ = File();
  absolute_line_ = 0;
}

std::string SourceReader::PathAgainstMainSource(std::string_view name) const {
  std::string path = runtime::NormalizeSourcePath(name);
  if (!runtime::IsFullPath(path)) path = runtime::DirectoryPart(main_.name) + path;
  return path;
}

}  // namespace quillark
