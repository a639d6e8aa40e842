// Reports: one line each in the listing file. A fatal report ends the run:
// once its line is written the report unwinds to the driver, which ends the
// run with exit status 1; warnings and errors never stop it.
#ifndef QUILLARK_HELPMAIN_REPORT_H_
#define QUILLARK_HELPMAIN_REPORT_H_

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillark {

inline constexpr char kWarning = 'W';
inline constexpr char kError = 'E';
inline constexpr char kFatal = 'F';

inline constexpr int kExitFinished = 0;
inline constexpr int kExitFatal = 1;
inline constexpr int kExitRefused = 2;

// Thrown once a fatal report has been written (or the listing itself could
// not be written). Nothing catches it but the driver, which ends the run.
struct FatalStop {};

// "Warning" for W/w, "Fatal" for F/f, "Error" for anything else.
std::string_view KindWord(char kind);
bool IsFatalKind(char kind);

// "{file}({line:5}): {Kind} : ", the "({line})" part only for line > 0, cut
// to 255 characters; a file name over 155 characters widens the line by as
// much, so that a long path never crowds out the message.
std::string FormatMessagePrefix(std::string_view file, int line, char kind);

// Prefix plus message, cut to 255 characters (widened as above): one report line.
std::string FormatReportLine(std::string_view file, int line, char kind, std::string_view message);

// The listing file of a run. It is opened at the first report and kept open
// until Close, every line going to the file as it is reported. Without a
// file name the lines go to standard error; a listing in memory keeps them
// for the caller to read.
class Listing {
 public:
  Listing() = default;
  explicit Listing(std::string path) : path_(std::move(path)) {}
  ~Listing();
  Listing(const Listing&) = delete;
  Listing& operator=(const Listing&) = delete;

  // A listing that keeps its lines in memory (for tests and scratch runs).
  static Listing InMemory() { return Listing(MemoryTag()); }

  const std::string& path() const { return path_; }
  const std::string& memory_text() const { return memory_text_; }

  // Appends `text` as it is. A listing file that cannot be written is itself
  // a fatal failure: the reason and the text go to standard error and
  // FatalStop is thrown.
  void Append(std::string_view text);
  void Close();

  // Called before any text is appended (a step that may end the run).
  void SetBeforeAppend(std::function<void()> hook) { before_append_ = std::move(hook); }

  // While held, appended text waits in memory: Release appends it as it
  // would have been, Discard drops it.
  void Hold() { held_ = std::string(); }
  void Release();
  void Discard() { held_.reset(); }

 private:
  struct MemoryTag {};
  explicit Listing(MemoryTag) : in_memory_(true) {}

  std::string path_;
  std::FILE* file_ = nullptr;
  bool in_memory_ = false;
  std::string memory_text_;
  std::optional<std::string> held_;
  std::function<void()> before_append_;
};

// Reports `text` unless `condition` holds: appends it (with CR LF unless it
// already ends with a line feed) to the listing, or writes it to standard
// error when no listing file is named. A fatal kind then throws FatalStop.
void ReportMessage(bool condition, Listing& listing, char kind, std::string_view text);

// The end of a run: the "{source}: 0 errors." line when the listing file is
// missing or empty, else its lines sorted case-insensitively with adjacent
// duplicates removed. The listing is closed first.
void FinishListing(Listing& listing, const std::string& source_file);
// Sorts the lines of a listing file in place (shell sort, folding A-Z to
// lower case, duplicates removed, the first line's line end kept).
void SortListingFile(const std::string& listing_file);

}  // namespace quillark

#endif  // QUILLARK_HELPMAIN_REPORT_H_
