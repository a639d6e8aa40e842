#include "runtime/output.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "runtime/files.h"

namespace quillark::runtime {

namespace {

// Disk files are written when this much text has gathered, and at most this
// many stay open at once (a page folder can hold thousands of pages). A block
// stays small enough to be reused while warm: a buffer grown to a megabyte
// costs hundreds of page faults, more than the writes it saves.
constexpr std::size_t kWriteBlock = 1 << 16;
constexpr std::size_t kMaxOpenFiles = 16;
// The text a memory pass keeps goes into chunks of this size, set on large
// pages where the system offers them: a pass at 2900 topics keeps 25 MB, and
// taking it page by page costs thousands of faults.
constexpr std::size_t kChunk = std::size_t{1} << 21;
// What a disk file gathers at first before it is written.
constexpr std::size_t kDiskBuffer = 1 << 14;
// Writing behind, the pass hands its text over in blocks of about this size.
constexpr std::size_t kHandOverBlock = 1 << 16;

std::string SystemReason(int error) { return std::strerror(error != 0 ? error : EIO); }

// The disk files of a pass are written straight through the system's
// descriptors: the text is already gathered in large blocks.
int OpenForAppending(const std::string& path) {
#ifdef _WIN32
  return ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
#endif
}

// Opens an earlier file for writing over it from its start, when that
// changes nothing but its text: a regular file of this user with one name
// and write permission. Anything else (a link, a file with other names) is
// deleted and made anew, as a fresh run would find it. The caller cuts the
// old tail off when it is done.
int OpenForRewriting(const std::string& path, std::int64_t& old_size) {
  old_size = 0;
#ifndef _WIN32
  const int handle = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (handle >= 0) {
    struct stat info {};
    // The owner and permissions a new file would get, asked once.
    static const uid_t owner = ::geteuid();
    static const mode_t fresh = [] {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      return static_cast<mode_t>(0666 & ~mask);
    }();
    if (::fstat(handle, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
        info.st_uid == owner && (info.st_mode & S_IWUSR) != 0 &&
        ((info.st_mode & 07777) == fresh || ::fchmod(handle, fresh) == 0)) {
      old_size = info.st_size;
      return handle;
    }
    ::close(handle);
  }
#endif
  DeleteFile(path);
  return OpenForAppending(path);
}

// Cuts a file off at `size`; false with errno set when the system refuses.
bool CutAt(int handle, std::int64_t size) {
#ifdef _WIN32
  return ::_chsize_s(handle, size) == 0;
#else
  return ::ftruncate(handle, static_cast<off_t>(size)) == 0;
#endif
}

// Writes all of `data`; false with errno set when the system refuses.
bool WriteAll(int handle, std::string_view data) {
  while (!data.empty()) {
#ifdef _WIN32
    const int chunk = static_cast<int>(std::min<std::size_t>(data.size(), 1 << 30));
    const int written = ::_write(handle, data.data(), static_cast<unsigned>(chunk));
#else
    const ssize_t written = ::write(handle, data.data(), data.size());
#endif
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool CloseDescriptor(int handle) {
#ifdef _WIN32
  return ::_close(handle) == 0;
#else
  return ::close(handle) == 0;
#endif
}

// Opens `path` in `mode`, writes all of `data` and closes it again.
std::string WriteWithMode(const std::string& path, std::string_view data, const char* mode) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (file == nullptr) return SystemReason(errno);
  std::string reason;
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), file) != data.size()) {
    reason = SystemReason(errno);
  }
  if (std::fclose(file) != 0 && reason.empty()) reason = SystemReason(errno);
  return reason;
}

}  // namespace

std::string AppendToFile(const std::string& path, std::string_view data) {
  return WriteWithMode(path, data, "ab");
}

std::string WriteWholeFile(const std::string& path, std::string_view data) {
  return WriteWithMode(path, data, "wb");
}

std::string ReplaceFileSafely(const std::string& path, std::string_view data) {
  std::string new_path = path + ".new";
  std::string reason = WriteWholeFile(new_path, data);
  if (!reason.empty()) {
    std::remove(new_path.c_str());
    return reason;
  }
#ifdef _WIN32
  // rename() does not replace an existing file on Windows.
  std::remove(path.c_str());
#endif
  if (std::rename(new_path.c_str(), path.c_str()) != 0) {
    reason = SystemReason(errno);
    std::remove(new_path.c_str());
  }
  return reason;
}

OutputFiles::~OutputFiles() {
  StopWriter();
  for (File* file : open_) {
    CloseDescriptor(file->handle);
    file->handle = -1;
  }
}

OutputFiles::File& OutputFiles::Open(const std::string& path) {
  if (last_ != nullptr && last_->path == path) return *last_;
  auto [it, added] = files_.try_emplace(path);
  File& file = it->second;
  last_ = &file;
  if (!added) return file;
  file.path = path;
  // An earlier file this run replaces counts as absent; on disk its first
  // write takes it over.
  const bool replacing = mode_ == Mode::kDisk && replace_.erase(path) > 0;
  const bool known_absent =
      replacing || replace_.count(path) > 0 || absent_.erase(path) > 0 || KnownAbsent(path);
  if (mode_ == Mode::kMemory) {
    const std::string folder = DirectoryPart(path);
    if (folder != checked_folder_) {
      CreateDirectoryOf(path);
      checked_folder_ = folder;
    }
    if (!pending_marks_.empty()) {
      if (const auto marks = pending_marks_.find(path); marks != pending_marks_.end()) {
        file.marked = std::move(marks->second);
        pending_marks_.erase(marks);
      }
    }
    // A file already on disk is appended to, as the disk would do it.
    if (!known_absent) {
      if (std::optional<std::string> existing = ReadWholeFile(path)) {
        file.size = static_cast<std::int64_t>(existing->size());
        if (marked_only_) {
          KeepMarked(file, 0, *existing);
        } else {
          KeepInMemory(file, *existing);
        }
      }
    }
    return file;
  }
  // On disk the folder is made and the file opened by its first append.
  file.size = known_absent ? 0 : std::max<std::int64_t>(FileSize(path), 0);
  file.disk_size = file.size;
  file.replacing = replacing;
  file.rewriting = replacing;
  return file;
}

void OutputFiles::DiskAppend(File& file, std::string_view data) {
  if (!file.opened) {
    file.opened = true;
    const std::string folder = DirectoryPart(file.path);
    if (folder != checked_folder_) {
      CreateDirectoryOf(file.path);
      checked_folder_ = folder;
    }
    Reopen(file);
  }
  file.disk_size += static_cast<std::int64_t>(data.size());
  file.buffer.append(data);
  file.last_use = ++use_counter_;
  if (file.handle < 0) Reopen(file);
  if (file.buffer.size() >= kWriteBlock) WriteBuffer(file);
}

void OutputFiles::Reopen(File& file) {
  if (open_.size() >= kMaxOpenFiles) {
    // The file used longest ago makes room; a later append opens it again.
    File* oldest = *std::min_element(open_.begin(), open_.end(),
                                     [](File* a, File* b) { return a->last_use < b->last_use; });
    CloseHandle(*oldest);
  }
  errno = 0;
  file.handle =
      file.rewriting ? OpenForRewriting(file.path, file.old_size) : OpenForAppending(file.path);
  if (file.handle < 0) throw OutputError{file.path, SystemReason(errno)};
  if (file.buffer.capacity() < kDiskBuffer) file.buffer.reserve(kDiskBuffer);
  open_.push_back(&file);
}

void OutputFiles::WriteBuffer(File& file) {
  if (file.buffer.empty()) return;
  errno = 0;
  const bool written = WriteAll(file.handle, file.buffer);
  file.buffer.clear();
  if (!written) throw OutputError{file.path, SystemReason(errno)};
}

void OutputFiles::CloseHandle(File& file) {
  if (file.handle < 0) return;
  open_.erase(std::find(open_.begin(), open_.end(), &file));
  std::string reason;
  try {
    WriteBuffer(file);
  } catch (const OutputError& error) {
    reason = error.reason;
  }
  errno = 0;
  if (file.rewriting) {
    // The old text's tail goes; a later append adds to the new text.
    if (file.disk_size < file.old_size && !CutAt(file.handle, file.disk_size) && reason.empty()) {
      reason = SystemReason(errno);
    }
    file.rewriting = false;
  }
  errno = 0;
  if (!CloseDescriptor(file.handle) && reason.empty()) reason = SystemReason(errno);
  file.handle = -1;
  // A closed file keeps no buffer: a page is rarely written to again.
  std::string().swap(file.buffer);
  if (!reason.empty()) throw OutputError{file.path, reason};
}

void OutputFiles::Restart(Mode mode, bool write_behind) {
  StopWriter();
  for (File* file : open_) CloseDescriptor(file->handle);
  open_.clear();
  files_.clear();
  chunks_.clear();
  chunk_free_ = nullptr;
  chunk_room_ = 0;
  absent_.clear();
  checked_folder_.clear();
  known_folder_.clear();
  known_present_.clear();
  last_ = nullptr;
  mode_ = mode;
  marked_only_ = false;
  pending_marks_.clear();
  appends_ = 0;
  append_limit_ = UINT64_MAX;
  if (mode == Mode::kDisk && write_behind) StartWriter();
}

void OutputFiles::Append(const std::string& path, std::string_view data) {
  if (mode_ == Mode::kDiscard) return;
  if (appends_ == append_limit_) throw AppendLimitReached{};
  File& file = Open(path);
  ++appends_;
  if (mode_ == Mode::kMemory) {
    const std::int64_t at = file.size;
    file.size += static_cast<std::int64_t>(data.size());
    if (!marked_only_) {
      KeepInMemory(file, data);
    } else if (!file.marked.empty()) {
      KeepMarked(file, at, data);
    }
    return;
  }
  if (!write_behind_) {
    DiskAppend(file, data);
    file.size += static_cast<std::int64_t>(data.size());
    return;
  }
  file.size += static_cast<std::int64_t>(data.size());
  ++steps_appended_;
  filling_.steps.push_back(Batch::Step{&file, filling_.bytes.size(), data.size(),
                                       place_set_ ? place_source_ : kNoPlace, place_line_});
  filling_.bytes.append(data);
  // The text goes over in blocks: a hand-over may have to wake the writer,
  // which costs more than the append itself.
  if (filling_.bytes.size() >= kHandOverBlock) HandOver();
}

void OutputFiles::KeepInMemory(File& file, std::string_view data) {
  while (!data.empty()) {
    if (chunk_room_ == 0) {
      // A chunk starts on a large page's edge: the room before it is never touched.
      constexpr std::uintptr_t kLargePage = kChunk;
      chunks_.emplace_back(new char[kChunk + kLargePage]);
      const auto start = reinterpret_cast<std::uintptr_t>(chunks_.back().get());
      chunk_free_ = reinterpret_cast<char*>((start + kLargePage - 1) & ~(kLargePage - 1));
      chunk_room_ = kChunk;
#if !defined(_WIN32) && defined(MADV_HUGEPAGE)
      ::madvise(chunk_free_, kChunk, MADV_HUGEPAGE);
#endif
    }
    const std::size_t count = std::min(data.size(), chunk_room_);
    std::memcpy(chunk_free_, data.data(), count);
    std::vector<std::string_view>& pieces = file.pieces;
    if (!pieces.empty() && pieces.back().data() + pieces.back().size() == chunk_free_) {
      pieces.back() = std::string_view(pieces.back().data(), pieces.back().size() + count);
    } else {
      pieces.emplace_back(chunk_free_, count);
    }
    chunk_free_ += count;
    chunk_room_ -= count;
    data.remove_prefix(count);
  }
}

void OutputFiles::KeepMarked(File& file, std::int64_t at, std::string_view data) {
  const std::int64_t end = at + static_cast<std::int64_t>(data.size());
  std::vector<MarkedRange>& ranges = file.marked;
  while (file.marked_filled < ranges.size() && ranges[file.marked_filled].end <= at) {
    ++file.marked_filled;
  }
  for (std::size_t i = file.marked_filled; i < ranges.size(); ++i) {
    MarkedRange& range = ranges[i];
    const std::int64_t from = std::max(at, range.begin);
    const std::int64_t to = std::min(end, range.end);
    if (from >= to) continue;
    if (range.from < 0) range.from = from;
    // The appends follow on from each other: a range, once begun, grows
    // with each of them until it is full.
    if (range.from + static_cast<std::int64_t>(range.bytes.size()) != from) continue;
    range.bytes.append(
        data.substr(static_cast<std::size_t>(from - at), static_cast<std::size_t>(to - from)));
  }
}

void OutputFiles::Mark(const std::string& path, std::int64_t offset, std::int64_t count) {
  if (!marked_only_ || count <= 0 || offset < 0) return;
  MarkedRange range;
  range.begin = offset;
  range.end = offset + count;
  const auto it = files_.find(path);
  if (it != files_.end()) {
    it->second.marked.push_back(range);
  } else {
    pending_marks_[path].push_back(range);
  }
}

namespace {

// [offset, offset + count) cut to a file of `size` bytes: the count left.
std::int64_t CountWithin(std::int64_t size, std::int64_t offset, std::int64_t count) {
  return std::max<std::int64_t>(std::min(count, size - offset), 0);
}

}  // namespace

bool OutputFiles::Dropped(const std::string& path, std::int64_t offset, std::int64_t count) const {
  if (!marked_only_) return false;
  const auto it = files_.find(path);
  if (it == files_.end()) return false;
  return !TextRange(path, offset, count).has_value();
}

bool OutputFiles::KnownAbsent(const std::string& path) const {
  return !known_folder_.empty() && known_present_.count(path) == 0 &&
         DirectoryPart(path) == known_folder_;
}

void OutputFiles::KnowFolder(const std::string& folder, const std::vector<std::string>& present) {
  known_folder_ = folder;
  known_present_.clear();
  known_present_.insert(present.begin(), present.end());
}

std::int64_t OutputFiles::Size(const std::string& path) {
  if (mode_ == Mode::kDiscard) return -1;
  if (last_ != nullptr && last_->path == path) return last_->size;
  const auto it = files_.find(path);
  if (it != files_.end()) return it->second.size;
  if (replace_.count(path) > 0 || absent_.count(path) > 0 || KnownAbsent(path)) return -1;
  const std::int64_t size = FileSize(path);
  if (size < 0) absent_.insert(path);
  return size;
}

std::optional<std::string> OutputFiles::TextRange(const std::string& path, std::int64_t offset,
                                                  std::int64_t count) const {
  if (mode_ != Mode::kMemory) return std::nullopt;
  const auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  if (marked_only_) {
    const File& file = it->second;
    count = CountWithin(file.size, offset, count);
    if (count == 0) return std::string();
    for (const MarkedRange& range : file.marked) {
      if (range.from >= 0 && range.from <= offset &&
          offset + count <= range.from + static_cast<std::int64_t>(range.bytes.size())) {
        return range.bytes.substr(static_cast<std::size_t>(offset - range.from),
                                  static_cast<std::size_t>(count));
      }
    }
    return std::nullopt;
  }
  std::string text;
  std::int64_t start = 0;  // of the block in the file
  for (const std::string_view block : it->second.pieces) {
    const std::int64_t end = start + static_cast<std::int64_t>(block.size());
    const std::int64_t from = std::max(offset, start);
    const std::int64_t to = std::min(offset + count, end);
    if (from < to) {
      text.append(block, static_cast<std::size_t>(from - start),
                  static_cast<std::size_t>(to - from));
    }
    start = end;
  }
  return text;
}

void OutputFiles::ReplaceLater(const std::vector<std::string>& paths) {
  replace_.insert(paths.begin(), paths.end());
}

void OutputFiles::DeleteUnreplaced(const std::unordered_set<std::string>& keep) {
  for (auto it = replace_.begin(); it != replace_.end();) {
    if (keep.count(*it) > 0) {
      ++it;
    } else {
      DeleteFile(*it);
      it = replace_.erase(it);
    }
  }
}

void OutputFiles::AppendNow(const std::string& path, std::string_view data) {
  if (std::optional<OutputError> failure = Settle()) throw std::move(*failure);
  const std::string folder = DirectoryPart(path);
  if (folder != checked_folder_) {
    CreateDirectoryOf(path);
    checked_folder_ = folder;
  }
  const bool rewriting = replace_.erase(path) > 0;
  errno = 0;
  std::int64_t old_size = 0;
  const int handle = rewriting ? OpenForRewriting(path, old_size) : OpenForAppending(path);
  if (handle < 0) throw OutputError{path, SystemReason(errno)};
  errno = 0;
  std::string reason;
  const auto size = static_cast<std::int64_t>(data.size());
  if (!WriteAll(handle, data) || (size < old_size && !CutAt(handle, size))) {
    reason = SystemReason(errno);
  }
  errno = 0;
  if (!CloseDescriptor(handle) && reason.empty()) reason = SystemReason(errno);
  if (!reason.empty()) throw OutputError{path, reason};
}

std::vector<std::string> OutputFiles::Paths() const {
  std::vector<std::string> paths;
  paths.reserve(files_.size());
  for (const auto& entry : files_) paths.push_back(entry.first);
  return paths;
}

void OutputFiles::Close() {
  if (write_behind_) {
    // The writer's failure stops the pass where it happened: the files stay
    // open for WriteOutAfterFatal, as they were then.
    std::optional<OutputError> failure = Settle();
    StopWriter();
    if (failure) throw std::move(*failure);
  }
  std::string failed_path;
  std::string reason;
  while (!open_.empty()) {
    try {
      CloseHandle(*open_.back());
    } catch (const OutputError& error) {
      if (failed_path.empty()) {
        failed_path = error.path;
        reason = error.reason;
      }
    }
  }
  files_.clear();
  chunks_.clear();
  chunk_free_ = nullptr;
  chunk_room_ = 0;
  pending_marks_.clear();
  absent_.clear();
  checked_folder_.clear();
  last_ = nullptr;
  if (!failed_path.empty()) throw OutputError{failed_path, reason};
}

void OutputFiles::WriteOutAfterFatal() {
  // A pass that kept marked ranges only has no whole text to leave: the
  // pass runs again keeping all of it first.
  if (mode_ == Mode::kMemory && !marked_only_) {
    for (auto& [path, file] : files_) {
      std::string text;
      for (const std::string_view piece : file.pieces) text += piece;
      // An earlier file of that name goes first: the text never goes
      // through a link to somewhere else.
      if (replace_.erase(path) > 0) DeleteFile(path);
      WriteWholeFile(path, text);
    }
  } else {
    // The writer behind finishes what it was handed; had it failed, the
    // failure was reported (the pass settles before any report).
    Settle();
    StopWriter();
    try {
      Close();
    } catch (const OutputError&) {
      // The run is ending with its fatal report already written.
    }
  }
  files_.clear();
  chunks_.clear();
  chunk_free_ = nullptr;
  chunk_room_ = 0;
  open_.clear();
  absent_.clear();
  checked_folder_.clear();
  last_ = nullptr;
}

void OutputFiles::SetPlace(const std::string& source, int line) {
  if (!write_behind_) return;
  if (place_sources_.empty() || place_sources_[place_source_] != source) {
    const auto known = std::find(place_sources_.begin(), place_sources_.end(), source);
    place_source_ = static_cast<std::uint32_t>(known - place_sources_.begin());
    if (known == place_sources_.end()) place_sources_.push_back(source);
  }
  place_line_ = line;
  place_set_ = true;
}

void OutputFiles::ClearPlace() { place_set_ = false; }

void OutputFiles::StartWriter() {
#ifndef _WIN32
  steps_appended_ = 0;
  steps_done_.store(0, std::memory_order_relaxed);
  failure_.reset();
  failure_told_ = false;
  stop_writer_ = false;
  try {
    writer_ = std::thread([this] { WriterLoop(); });
    write_behind_ = true;
  } catch (const std::system_error&) {
    // No second thread: the pass writes as it goes.
  }
#endif
}

void OutputFiles::StopWriter() {
  if (!writer_.joinable()) {
    write_behind_ = false;
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_writer_ = true;
  }
  wake_writer_.notify_one();
  writer_.join();
  // What was never written is dropped with the pass.
  queue_.clear();
  filling_.bytes.clear();
  filling_.steps.clear();
  write_behind_ = false;
}

void OutputFiles::HandOver() {
  if (filling_.steps.empty()) return;
  Batch next;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(filling_));
    if (!spare_.empty()) {
      next = std::move(spare_.back());
      spare_.pop_back();
    }
  }
  wake_writer_.notify_one();
  filling_ = std::move(next);
}

void OutputFiles::WriterLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    wake_writer_.wait(lock, [this] { return stop_writer_ || !queue_.empty(); });
    if (stop_writer_) return;
    Batch batch = std::move(queue_.front());
    queue_.pop_front();
    writer_busy_ = true;
    // After a failure nothing more reaches the disk: the pass stops there.
    const bool failed = failure_.has_value();
    lock.unlock();
    std::optional<OutputError> error;
    std::uint64_t done = steps_done_.load(std::memory_order_relaxed);
    for (const Batch::Step& step : batch.steps) {
      if (failed) break;
      try {
        DiskAppend(*step.file, std::string_view(batch.bytes).substr(step.offset, step.length));
      } catch (OutputError& thrown) {
        error = std::move(thrown);
        error->steps_before = done;
        failure_source_ = step.source;
        failure_line_ = step.line;
        break;
      }
      ++done;
    }
    steps_done_.store(done, std::memory_order_release);
    batch.bytes.clear();
    batch.steps.clear();
    lock.lock();
    if (error) failure_ = std::move(error);
    spare_.push_back(std::move(batch));
    writer_busy_ = false;
    if (queue_.empty()) wake_pass_.notify_all();
  }
}

std::optional<OutputError> OutputFiles::Settle() {
  if (!write_behind_) return std::nullopt;
  HandOver();
  std::unique_lock<std::mutex> lock(mutex_);
  wake_pass_.wait(lock, [this] { return queue_.empty() && !writer_busy_; });
  if (!failure_ || failure_told_) return std::nullopt;
  failure_told_ = true;
  OutputError failure = *failure_;
  failure.place = OutputError::Place{};
  if (failure_source_ != kNoPlace) {
    failure.place->source = place_sources_[failure_source_];
    failure.place->line = failure_line_;
  }
  lock.unlock();
  TakeBackAfterFailure();
  return failure;
}

void OutputFiles::TakeBackAfterFailure() {
  // A file the pass took from the earlier files to replace, but which the
  // writer never came to, is still to be replaced: the pass had not reached it.
  for (auto& [path, file] : files_) {
    if (file.replacing && !file.opened) replace_.insert(path);
  }
}

}  // namespace quillark::runtime
