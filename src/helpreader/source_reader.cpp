#include "helpreader/source_reader.h"

#include <string>

#include "helpmain/report.h"
#include "helpmain/run_files.h"
#include "runtime/files.h"

namespace quillark {
namespace {

// One open file of the reader. Files are small text sources, so each is read
// into memory when it is opened and walked from there.
struct SourceFile {
  std::string name;  // empty when the level is not open
  std::string data;
  std::size_t position = 0;
  int line = 0;

  bool IsOpen() const { return !name.empty(); }
  bool AtEnd() const { return position >= data.size(); }
  void Close() { *this = SourceFile(); }
};

SourceFile main_file;
SourceFile include1;
SourceFile include2;
int absolute_line = 0;

bool OpenFile(SourceFile& file, const std::string& path) {
  file.Close();
  std::optional<std::string> data = runtime::ReadWholeFile(path);
  file.name = path.substr(0, 255);
  if (data) file.data = std::move(*data);
  return data.has_value();
}

// Reads one line of `file`: bytes up to and including a line feed, at most
// capacity - 1 of them kept; CR LF at the end becomes LF.
bool ReadLineFrom(SourceFile& file, std::string& line, std::size_t capacity) {
  line.clear();
  const std::size_t keep = capacity > 0 ? capacity - 1 : 0;
  bool overflow = false;
  while (file.position < file.data.size()) {
    const char c = file.data[file.position++];
    if (line.size() < keep) {
      line.push_back(c);
    } else {
      overflow = true;
    }
    if (c == '\n') break;
  }
  const std::size_t n = line.size();
  if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n') {
    line.erase(n - 2, 1);
  }
  return overflow;
}

}  // namespace

void OpenMainSource(const std::string& path) {
  include1.Close();
  include2.Close();
  absolute_line = 0;
  OpenFile(main_file, path);
}

bool ReadSourceLine(std::string& line, std::size_t capacity) {
  for (SourceFile* include : {&include2, &include1}) {
    if (!include->IsOpen()) continue;
    if (include->AtEnd()) {
      include->Close();
      continue;
    }
    const bool overflow = ReadLineFrom(*include, line, capacity);
    ++include->line;
    ++absolute_line;
    return overflow;
  }
  const bool overflow = ReadLineFrom(main_file, line, capacity);
  ++main_file.line;
  ++absolute_line;
  return overflow;
}

bool EndOfSource() { return main_file.AtEnd() && !include1.IsOpen() && !include2.IsOpen(); }

IncludeResult OpenIncludeFile(const std::string& path) {
  std::string full = runtime::NormalizeSourcePath(path);
  if (!runtime::IsFullPath(full)) {
    full = runtime::DirectoryPart(main_file.name) + full;
  }
  if (!runtime::FileExists(full)) return IncludeResult::kNotFound;
  if (include2.IsOpen()) return IncludeResult::kTooDeep;
  OpenFile(include1.IsOpen() ? include2 : include1, full);
  return IncludeResult::kOpened;
}

void CloseSources() {
  main_file.Close();
  include1.Close();
  include2.Close();
  absolute_line = 0;
}

const std::string& MainSourceName() { return main_file.name; }

const std::string& CurrentSourceName() {
  if (include2.IsOpen()) return include2.name;
  if (include1.IsOpen()) return include1.name;
  return main_file.name;
}

int CurrentLineNumber() {
  if (include2.IsOpen()) return include2.line;
  if (include1.IsOpen()) return include1.line;
  return main_file.line;
}

int AbsoluteLineNumber() { return absolute_line; }

std::string PathAgainstMainSource(std::string_view name) {
  std::string path = runtime::NormalizeSourcePath(name);
  if (!runtime::IsFullPath(path)) path = runtime::DirectoryPart(main_file.name) + path;
  return path;
}

void ReportAtSource(char kind, std::string_view message) {
  ReportMessage(false, GetListingFileName(), kind,
                FormatReportLine(CurrentSourceName(), CurrentLineNumber(), kind, message));
}

}  // namespace quillark
