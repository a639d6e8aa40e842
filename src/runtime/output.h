// The one layer through which the program writes its files: whole files
// written at once, and the output files of a pass, whose text is gathered in
// memory and written in large blocks. A failure comes back as the system's
// reason, or is thrown as an OutputError naming the file.
#ifndef QUILLARK_RUNTIME_OUTPUT_H_
#define QUILLARK_RUNTIME_OUTPUT_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillark::runtime {

// Appends `data` to `path`, creating the file when missing. Returns an empty
// text on success, else the system's reason.
std::string AppendToFile(const std::string& path, std::string_view data);
// Creates or truncates `path` and writes `data`. Same result as AppendToFile.
std::string WriteWholeFile(const std::string& path, std::string_view data);
// Writes `data` to a new file beside `path`, then renames it over `path`, so
// a failed write never loses the old contents.
std::string ReplaceFileSafely(const std::string& path, std::string_view data);

// A file that could not be written, and the system's reason.
struct OutputError {
  std::string path;
  std::string reason;
  // Where the source stood when the failed text was handed over, for a
  // failure found later by a writer behind the pass (an empty source: no
  // line); unset for a failure thrown at once.
  struct Place {
    std::string source;
    int line = 0;
  };
  std::optional<Place> place = std::nullopt;
  std::uint64_t steps_before = 0;  // writing behind: the appends done before this one
};

// Thrown by an append beyond the limit set with OutputFiles::StopAtAppend.
struct AppendLimitReached {};

// The files one pass appends its text to. Sizes are counted as the text
// arrives, so a writer can ask how long a file is without asking the disk.
class OutputFiles {
 public:
  enum class Mode {
    kDiscard,  // the pass writes nothing and knows no file
    kMemory,   // the text stays in memory; the disk is touched only by WriteOutAfterFatal
    kDisk,     // the text goes to the files, each opened once and written in large blocks
  };

  explicit OutputFiles(Mode mode = Mode::kDiscard) : mode_(mode) {}
  ~OutputFiles();
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  Mode mode() const { return mode_; }
  // Starts over in `mode`, for the next pass; what is still open is
  // abandoned, so a pass closes its files first. A disk pass may write
  // behind: its files are opened, written and closed by a second thread, in
  // the order and blocks the pass would have used, while the pass goes on.
  void Restart(Mode mode, bool write_behind = false);

  // Appends `data` to `path`. The first append creates the file's folder
  // when missing and, on disk, opens the file for appending; a file that
  // cannot be opened or written throws OutputError. A discarding pass
  // ignores the call. Writing behind, a failure waits for Settle.
  void Append(const std::string& path, std::string_view data);

  // Where the source stands for the appends that follow, until ClearPlace:
  // what a failure found later by the writer behind reports.
  void SetPlace(const std::string& source, int line);
  void ClearPlace();
  // Waits until the writer behind has done everything handed to it. Returns
  // its failure, once, with the files as the failed step left them: what
  // was handed over after it is dropped, as if never appended. Before any
  // other step that others can see (a report, the console, another file),
  // a pass that writes behind settles. Nothing when not writing behind.
  std::optional<OutputError> Settle();
  bool WritesBehind() const { return write_behind_; }
  // Writing behind: the appends handed over so far, and those the writer has
  // done; a failure carries the number done before the failed one.
  std::uint64_t StepsAppended() const { return steps_appended_; }
  std::uint64_t StepsDone() const { return steps_done_.load(std::memory_order_acquire); }

  // The file's size as the pass has made it so far, or -1 when the file
  // does not exist. A file the pass has not appended to is asked on disk
  // (once); a discarding pass answers -1.
  std::int64_t Size(const std::string& path);

  // Up to `count` bytes of a file's text from `offset` on, when the pass
  // keeps the file in memory; nothing for a file it does not keep, nor for
  // a range it dropped (see KeepMarkedOnly).
  std::optional<std::string> TextRange(const std::string& path, std::int64_t offset,
                                       std::int64_t count) const;

  // A memory pass that will only ever read back a few known ranges keeps
  // those alone: after KeepMarkedOnly (right after Restart), it stores only
  // the bytes of the ranges marked by Mark and drops the rest, while sizes
  // count everything. A range may be marked before the file is written to;
  // bytes appended before their range was marked are dropped.
  void KeepMarkedOnly() { marked_only_ = mode_ == Mode::kMemory; }
  bool KeepsMarkedOnly() const { return marked_only_; }
  void Mark(const std::string& path, std::int64_t offset, std::int64_t count);
  // Whether the pass appended to `path` but dropped some of the bytes of
  // [offset, offset + count) that it holds.
  bool Dropped(const std::string& path, std::int64_t offset, std::int64_t count) const;

  // The appends the pass has taken so far. After StopAtAppend(n), the
  // append that would be the (n+1)th throws AppendLimitReached instead, so
  // that a pass run again stops where an earlier run of it had come to.
  std::uint64_t Appends() const { return appends_; }
  void StopAtAppend(std::uint64_t count) { append_limit_ = count; }

  // Tells the pass which files the folder `folder` (with its final
  // separator) holds as the pass starts, so that it need not ask the disk
  // about the others: a file there is absent unless listed or written.
  void KnowFolder(const std::string& folder, const std::vector<std::string>& present);

  // Files on disk from an earlier run that this run replaces. Every pass
  // takes them as absent; the first write of one on disk rewrites the old
  // file in place, which costs far less than deleting it and making a new
  // one. The list outlives Restart.
  void ReplaceLater(const std::vector<std::string>& paths);
  bool Replaces(const std::string& path) const { return replace_.count(path) > 0; }
  // Deletes the files still to be replaced, except those in `keep`, and
  // forgets them; the kept ones stay to be replaced.
  void DeleteUnreplaced(const std::unordered_set<std::string>& keep = {});
  // The files the pass has appended to so far.
  std::vector<std::string> Paths() const;
  // Appends `data` to `path` at once, opening and closing the file (and
  // creating its folder when missing), whatever the pass's mode: for a file
  // written outside the pass. An earlier file the run replaces is rewritten
  // instead. Throws OutputError.
  void AppendNow(const std::string& path, std::string_view data);

  // Writes what is still buffered and closes every file; throws OutputError
  // (writing behind, the first failure, with its place). A memory pass
  // forgets its text.
  void Close();

  // After a fatal report: leaves on disk what the pass had written so far -
  // the buffered text of a disk pass, every file of a memory pass - as far
  // as the disk takes it, never throwing.
  void WriteOutAfterFatal();

 private:
  // A range of a file marked to keep: [begin, end), and its bytes from
  // `from` on, as far as they have come.
  struct MarkedRange {
    std::int64_t begin = 0;
    std::int64_t end = 0;
    std::int64_t from = -1;
    std::string bytes;
  };
  struct File {
    std::string path;
    // The pass's side.
    std::int64_t size = 0;  // what the pass has appended
    // Memory: the whole text, as pieces of the pass's chunks.
    std::vector<std::string_view> pieces;
    // Memory, marked ranges only: the ranges, each with the bytes it got,
    // and the first range that may still grow.
    std::vector<MarkedRange> marked;
    std::size_t marked_filled = 0;
    bool replacing = false;  // its first append took it from the files to replace
    // The disk's side: touched by the writer behind while it runs.
    bool opened = false;         // the first open was tried
    std::string buffer;          // what is not yet written
    std::int64_t disk_size = 0;  // what reached the buffer
    int handle = -1;             // an open file descriptor, or -1
    // Rewriting an earlier file in place: its old tail is cut off when the
    // handle closes.
    bool rewriting = false;
    std::int64_t old_size = 0;  // of the earlier file rewritten
    std::uint64_t last_use = 0;
  };

  // A batch of appends handed to the writer behind: each names its file,
  // its bytes in `bytes` and the place it was appended at.
  struct Batch {
    struct Step {
      File* file;
      std::size_t offset;
      std::size_t length;
      std::uint32_t source;  // an index into place_sources_, or kNoPlace
      int line;
    };
    std::string bytes;
    std::vector<Step> steps;
  };

  File& Open(const std::string& path);
  void KeepInMemory(File& file, std::string_view data);
  // Keeps what of `data`, appended at `at`, falls into the file's marked ranges.
  static void KeepMarked(File& file, std::int64_t at, std::string_view data);
  bool KnownAbsent(const std::string& path) const;
  // The disk's side of an append, done at once or by the writer behind.
  void DiskAppend(File& file, std::string_view data);
  void Reopen(File& file);
  void WriteBuffer(File& file);
  void CloseHandle(File& file);
  // The writer behind.
  void StartWriter();
  void StopWriter();
  void HandOver();
  void WriterLoop();
  void TakeBackAfterFailure();

  Mode mode_;
  std::unordered_map<std::string, File> files_;
  std::unordered_set<std::string> absent_;  // asked on disk and not there
  std::string checked_folder_;              // the folder made sure of last
  std::string known_folder_;                // a folder whose files are all known
  std::unordered_set<std::string> known_present_;
  std::unordered_set<std::string> replace_;  // earlier files this run replaces
  // Memory: the text of all the pass's files, in chunks never moved once
  // filled, each file's text following on where the last append ended.
  std::vector<std::unique_ptr<char[]>> chunks_;
  char* chunk_free_ = nullptr;  // the free part of the last chunk
  std::size_t chunk_room_ = 0;
  File* last_ = nullptr;     // the file appended to last, for the common case
  std::vector<File*> open_;  // disk files with an open handle
  std::uint64_t use_counter_ = 0;
  bool marked_only_ = false;
  // Marked ranges of files the pass has not appended to yet.
  std::unordered_map<std::string, std::vector<MarkedRange>> pending_marks_;
  std::uint64_t appends_ = 0;
  std::uint64_t append_limit_ = UINT64_MAX;

  // Writing behind: the pass fills `filling_`, hands it over to `queue_`,
  // and the writer returns emptied batches to `spare_`. The places are the
  // pass's; a failure names one by its index.
  static constexpr std::uint32_t kNoPlace = 0xffffffff;
  bool write_behind_ = false;
  std::vector<std::string> place_sources_;
  std::uint32_t place_source_ = 0;
  int place_line_ = 0;
  bool place_set_ = false;
  Batch filling_;
  std::thread writer_;
  std::mutex mutex_;
  std::condition_variable wake_writer_;
  std::condition_variable wake_pass_;
  std::deque<Batch> queue_;
  std::vector<Batch> spare_;
  bool writer_busy_ = false;
  bool stop_writer_ = false;
  std::uint64_t steps_appended_ = 0;
  std::atomic<std::uint64_t> steps_done_{0};
  std::optional<OutputError> failure_;
  std::uint32_t failure_source_ = kNoPlace;  // the failed step's place
  int failure_line_ = 0;
  bool failure_told_ = false;
};

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_OUTPUT_H_
