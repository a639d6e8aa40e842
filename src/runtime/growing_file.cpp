#include "runtime/growing_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#endif

namespace quillark::runtime {

bool ShowsWritesAtOnce([[maybe_unused]] const std::string& folder) {
#ifdef _WIN32
  return false;
#else
  struct statfs info {};
  if (::statfs(folder.empty() ? "." : folder.c_str(), &info) != 0) return false;
  switch (static_cast<unsigned long>(info.f_type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x58465342:  // xfs
    case 0x9123683E:  // btrfs
    case 0x01021994:  // tmpfs
    case 0x794C7630:  // overlayfs
    case 0xF2F52010:  // f2fs
    case 0x2FC12FC1:  // zfs
      return true;
    default:
      return false;
  }
#endif
}

namespace {

#if !defined(_WIN32) && defined(MADV_HUGEPAGE)
// Large pages where the system offers them: taking even a small text page by
// page costs a fault for every 4 KiB, which in a virtual machine costs more
// than the text's whole reading. The room starts on a large page's edge.
constexpr std::size_t kLargePage = std::size_t{1} << 21;
#else
constexpr std::size_t kLargePage = 0;
#endif

// The room rounded up to whole large pages, and one more to find an edge in.
std::size_t AllocationFor(std::size_t capacity) {
  capacity = std::max<std::size_t>(capacity, 1);
  if (kLargePage == 0) return capacity;
  return ((capacity + kLargePage - 1) & ~(kLargePage - 1)) + kLargePage;
}

}  // namespace

GrowingFile::GrowingFile(std::size_t capacity)
    // Left uninitialised: the pages of a large buffer are only taken as the
    // text fills them.
    : buffer_(new char[AllocationFor(capacity)]), text_(buffer_.get()), capacity_(capacity) {
#if !defined(_WIN32) && defined(MADV_HUGEPAGE)
  const auto start = reinterpret_cast<std::uintptr_t>(buffer_.get());
  const std::uintptr_t first = (start + kLargePage - 1) & ~std::uintptr_t{kLargePage - 1};
  text_ = buffer_.get() + (first - start);
  ::madvise(text_, AllocationFor(capacity) - kLargePage, MADV_HUGEPAGE);
#endif
}

GrowingFile::~GrowingFile() {
#ifndef _WIN32
  if (handle_ >= 0) ::close(handle_);
#endif
}

bool GrowingFile::ReadMore([[maybe_unused]] const std::string& path) {
#ifdef _WIN32
  return false;
#else
  if (handle_ < 0) {
    handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle_ < 0) return errno == ENOENT;  // not made yet
  }
  while (true) {
    if (size_ == capacity_) {
      // Full: only a file that has come to its end still fits.
      char probe = 0;
      const ssize_t got = ::read(handle_, &probe, 1);
      if (got < 0 && errno == EINTR) continue;
      return got == 0;
    }
    const ssize_t got = ::read(handle_, text_ + size_, capacity_ - size_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    const char* start = text_ + size_;
    size_ += static_cast<std::size_t>(got);
    // The last line feed of what arrived ends the complete lines.
    for (const char* p = text_ + size_; p > start; --p) {
      if (p[-1] == '\n') {
        lines_ = static_cast<std::size_t>(p - text_);
        break;
      }
    }
  }
  return true;
#endif
}

std::string_view GrowingFile::Lines() const { return {text_, lines_}; }

bool GrowingFile::HoldsAllOf([[maybe_unused]] const std::string& path) const {
#ifdef _WIN32
  return false;
#else
  struct stat opened {};
  struct stat named {};
  return handle_ >= 0 && ::fstat(handle_, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino && opened.st_size >= 0 &&
         static_cast<std::size_t>(opened.st_size) == size_;
#endif
}

FileText GrowingFile::Take() {
  const std::size_t size = std::exchange(size_, 0);
  lines_ = 0;
  return FileText::Adopt(std::move(buffer_), text_, size);
}

}  // namespace quillark::runtime
