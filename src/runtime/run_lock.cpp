#include "runtime/run_lock.h"

#include <cerrno>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "runtime/files.h"

namespace quillark::runtime {

namespace {

std::string FolderOrCurrent(const std::string& folder) {
  if (folder.empty()) return ".";
  // "/" alone is a folder; any other final separator can go.
  std::string result = folder;
  while (result.size() > 1 && IsSeparator(result.back())) result.pop_back();
  return result;
}

}  // namespace

FolderLock::FolderLock(FolderLock&& other) noexcept {
#ifdef _WIN32
  handle_ = std::exchange(other.handle_, nullptr);
#else
  fd_ = std::exchange(other.fd_, -1);
#endif
}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    Release();
#ifdef _WIN32
    handle_ = std::exchange(other.handle_, nullptr);
#else
    fd_ = std::exchange(other.fd_, -1);
#endif
  }
  return *this;
}

FolderLock::~FolderLock() { Release(); }

#ifdef _WIN32

bool FolderLock::held() const { return handle_ != nullptr; }

void FolderLock::Release() {
  // The file goes with its last handle.
  if (handle_ != nullptr) ::CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

FolderLock FolderLock::Take(const std::string& folder, const std::function<void()>& on_wait) {
  FolderLock lock;
  if (!DirectoryExists(FolderOrCurrent(folder))) return lock;
  const std::string path = JoinPath(folder.empty() ? "." : folder, kLockFileName);
  bool told = false;
  while (true) {
    // No sharing: a second run's open fails until the first closes its handle.
    HANDLE handle =
        ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      lock.handle_ = handle;
      return lock;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return lock;
    if (!told && on_wait) on_wait();
    told = true;
    ::Sleep(100);
  }
}

#else

bool FolderLock::held() const { return fd_ >= 0; }

void FolderLock::Release() {
  // Closing the folder's descriptor releases the lock.
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

FolderLock FolderLock::Take(const std::string& folder, const std::function<void()>& on_wait) {
  FolderLock lock;
  const std::string path = FolderOrCurrent(folder);
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return lock;
  lock.fd_ = fd;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return lock;
  if (errno != EWOULDBLOCK) {
    // A file system without locks: run as before.
    lock.Release();
    return lock;
  }
  if (on_wait) on_wait();
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      lock.Release();
      return lock;
    }
  }
  return lock;
}

#endif

}  // namespace quillark::runtime
