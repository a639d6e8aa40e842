// The lock a run holds on the folder of its source. Runs in one folder share
// files besides their own (the include and picture data files, the CHM page
// folder temp/), so two runs there take turns: the second waits until the
// first has finished.
#ifndef QUILLARK_RUNTIME_RUN_LOCK_H_
#define QUILLARK_RUNTIME_RUN_LOCK_H_

#include <functional>
#include <string>

namespace quillark::runtime {

class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Takes the lock on `folder` (with or without its final separator; empty
  // for the current folder). When another process holds it, `on_wait` is
  // called once and the call waits for the lock. A folder that cannot be
  // opened gives no lock: the run then fails on its source by itself.
  static FolderLock Take(const std::string& folder, const std::function<void()>& on_wait);

  bool held() const;
  void Release();

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

#ifdef _WIN32
// The file that stands for the folder's lock on Windows, where a folder
// itself cannot be locked. It exists only while a run holds the lock.
inline constexpr char kLockFileName[] = "quillark.lock";
#endif

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_RUN_LOCK_H_
