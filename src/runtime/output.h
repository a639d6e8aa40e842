// The one layer through which the program writes its files: whole files
// written at once, and the output files of a pass, whose text is gathered in
// memory and written in large blocks. A failure comes back as the system's
// reason, or is thrown as an OutputError naming the file.
#ifndef QUILLARK_RUNTIME_OUTPUT_H_
#define QUILLARK_RUNTIME_OUTPUT_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
};

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
  // abandoned, so a pass closes its files first.
  void Restart(Mode mode);

  // Appends `data` to `path`. The first append creates the file's folder
  // when missing and, on disk, opens the file for appending; a file that
  // cannot be opened or written throws OutputError. A discarding pass
  // ignores the call.
  void Append(const std::string& path, std::string_view data);

  // The file's size as the pass has made it so far, or -1 when the file
  // does not exist. A file the pass has not appended to is asked on disk
  // (once); a discarding pass answers -1.
  std::int64_t Size(const std::string& path);

  // Up to `count` bytes of a file's text from `offset` on, when the pass
  // keeps the file in memory; nothing for a file it does not keep.
  std::optional<std::string> TextRange(const std::string& path, std::int64_t offset,
                                       std::int64_t count) const;

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

  // Writes what is still buffered and closes every file; throws OutputError.
  // A memory pass forgets its text.
  void Close();

  // After a fatal report: leaves on disk what the pass had written so far -
  // the buffered text of a disk pass, every file of a memory pass - as far
  // as the disk takes it, never throwing.
  void WriteOutAfterFatal();

 private:
  struct File {
    std::string path;
    // Memory: the whole text, as pieces of the pass's chunks.
    std::vector<std::string_view> pieces;
    std::string buffer;  // disk: what is not yet written
    std::int64_t size = 0;
    int handle = -1;  // an open file descriptor, or -1
    // Rewriting an earlier file in place: its old tail is cut off when the
    // handle closes.
    bool rewriting = false;
    std::int64_t old_size = 0;  // of the earlier file rewritten
    std::uint64_t last_use = 0;
  };

  File& Open(const std::string& path);
  void KeepInMemory(File& file, std::string_view data);
  bool KnownAbsent(const std::string& path) const;
  void Reopen(File& file);
  void WriteBuffer(File& file);
  void CloseHandle(File& file);

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
};

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_OUTPUT_H_
