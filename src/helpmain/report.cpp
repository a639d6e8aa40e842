#include "helpmain/report.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "runtime/files.h"
#include "runtime/output.h"
#include "runtime/text.h"

namespace quillark {

namespace {

inline constexpr std::size_t kMaxReportLine = 255;
inline constexpr std::size_t kMaxListingLine = 1024;
// A report line holds 255 characters. A file name longer than this takes
// more, so that a long path never leaves its message out.
inline constexpr std::size_t kLongFileName = 155;

std::size_t PrefixRoom(std::string_view file) {
  return file.size() > kLongFileName ? file.size() - kLongFileName : 0;
}

// The console line for a report: its own line end dropped, "\n" added.
void WriteToConsole(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
}

// A listing file that cannot be written ends the run; the reason and the line
// that was to be written go to standard error instead.
[[noreturn]] void FailListingWrite(const std::string& listing_file, const std::string& reason,
                                   std::string_view line) {
  std::fflush(stdout);
  WriteToConsole("Cannot write the listing file \"" + listing_file + "\": " + reason);
  if (!line.empty()) WriteToConsole(line);
  throw FatalStop();
}

std::string SystemReason(int error) { return std::strerror(error != 0 ? error : EIO); }

// The first line's line end is kept for the whole file: CR LF when the first
// line ends so, LF for any other ending (or none).
std::string_view FirstLineEnd(std::string_view contents) {
  std::size_t newline = contents.find('\n');
  if (newline != std::string_view::npos && newline > 0 && contents[newline - 1] == '\r' &&
      (newline < 2 || contents[newline - 2] != '\r')) {
    return "\r\n";
  }
  return "\n";
}

// Every line without its CR and LF characters, each at most 1024 characters.
std::vector<std::string> SplitListingLines(std::string_view contents) {
  std::vector<std::string> lines;
  while (!contents.empty()) {
    std::size_t newline = contents.find('\n');
    std::string_view line = contents.substr(0, newline);
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(runtime::Truncate(line, kMaxListingLine));
    if (newline == std::string_view::npos) break;
    contents.remove_prefix(newline + 1);
  }
  return lines;
}

// Shell sort with the gaps ..., 40, 13, 4, 1; not stable, so lines that differ
// only in case keep the order these exact gaps give them.
void ShellSortListing(std::vector<std::string>& lines) {
  std::size_t count = lines.size();
  std::size_t gap = 1;
  while (gap <= count) gap = gap * 3 + 1;
  do {
    gap /= 3;
    for (std::size_t i = gap; i < count; ++i) {
      std::string moving = std::move(lines[i]);
      std::size_t j = i;
      while (j >= gap && runtime::CompareFoldLower(lines[j - gap], moving) > 0) {
        lines[j] = std::move(lines[j - gap]);
        j -= gap;
      }
      lines[j] = std::move(moving);
    }
  } while (gap > 1);
}

}  // namespace

std::string_view KindWord(char kind) {
  if (kind == 'W' || kind == 'w') return "Warning";
  if (kind == 'F' || kind == 'f') return "Fatal";
  return "Error";
}

bool IsFatalKind(char kind) { return kind == 'F' || kind == 'f'; }

std::string FormatMessagePrefix(std::string_view file, int line, char kind) {
  std::string prefix(file);
  if (line > 0) {
    // Short numbers are padded to five places so a plain sort keeps line order.
    std::string number = std::to_string(line);
    prefix += '(';
    if (number.size() < 5) prefix.append(5 - number.size(), ' ');
    prefix += number;
    prefix += ')';
  }
  prefix += ": ";
  prefix += KindWord(kind);
  prefix += " : ";
  return runtime::Truncate(prefix, kMaxReportLine + PrefixRoom(file));
}

std::string FormatReportLine(std::string_view file, int line, char kind, std::string_view message) {
  std::string report = FormatMessagePrefix(file, line, kind);
  report += message;
  return runtime::Truncate(report, kMaxReportLine + PrefixRoom(file));
}

Listing::~Listing() { Close(); }

void Listing::Release() {
  if (!held_) return;
  const std::string text = std::move(*held_);
  held_.reset();
  if (!text.empty()) Append(text);
}

void Listing::Append(std::string_view text) {
  if (before_append_) before_append_();
  if (held_) {
    held_->append(text);
    return;
  }
  if (in_memory_) {
    memory_text_.append(text);
    return;
  }
  if (path_.empty()) {
    WriteToConsole(text);
    return;
  }
  if (file_ == nullptr) {
    errno = 0;
    file_ = std::fopen(path_.c_str(), "ab");
    if (file_ == nullptr) FailListingWrite(path_, SystemReason(errno), text);
  }
  // Each line reaches the file at once, so a run that ends early leaves its
  // reports behind.
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0) {
    const std::string reason = SystemReason(errno);
    Close();
    FailListingWrite(path_, reason, text);
  }
}

void Listing::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

void ReportMessage(bool condition, Listing& listing, char kind, std::string_view text) {
  if (condition) return;
  std::string line = text.empty() ? std::string("Assert failure") : std::string(text);
  if (line.back() != '\n') line += "\r\n";
  listing.Append(line);
  if (IsFatalKind(kind)) throw FatalStop();
}

void FinishListing(Listing& listing, const std::string& source_file) {
  listing.Close();
  if (listing.path().empty()) return;
  if (runtime::FileSize(listing.path()) <= 0) {
    listing.Append(source_file + ": 0 errors.\r\n");
    listing.Close();
    return;
  }
  SortListingFile(listing.path());
}

void SortListingFile(const std::string& listing_file) {
  std::string reason;
  std::optional<std::string> contents = runtime::ReadWholeFile(listing_file, reason);
  if (!contents.has_value()) {
    // A listing that cannot be read back cannot be sorted: the run fails.
    std::fflush(stdout);
    WriteToConsole("Cannot read the listing file \"" + listing_file + "\": " + reason);
    throw FatalStop();
  }
  if (contents->empty()) return;
  std::string_view line_end = FirstLineEnd(*contents);
  std::vector<std::string> lines = SplitListingLines(*contents);
  ShellSortListing(lines);

  std::string sorted;
  sorted.reserve(contents->size());
  const std::string* previous = nullptr;
  for (const std::string& line : lines) {
    // Of adjacent lines equal but for case only the first is kept.
    if (previous != nullptr && runtime::EqualsNoCase(*previous, line)) continue;
    previous = &line;
    sorted += runtime::Truncate(line, kMaxListingLine - line_end.size());
    sorted += line_end;
  }
  reason = runtime::ReplaceFileSafely(listing_file, sorted);
  if (!reason.empty()) FailListingWrite(listing_file, reason, "");
}

}  // namespace quillark
