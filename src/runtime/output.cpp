#include "runtime/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quillark::runtime {

namespace {

std::string SystemReason(int error) { return std::strerror(error); }

// Opens `path` in `mode`, writes all of `data` and closes it again, so nothing
// stays open between writes.
std::string WriteWithMode(const std::string& path, std::string_view data, const char* mode) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (file == nullptr) return SystemReason(errno != 0 ? errno : EIO);
  std::string reason;
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), file) != data.size()) {
    reason = SystemReason(errno != 0 ? errno : EIO);
  }
  if (std::fclose(file) != 0 && reason.empty()) reason = SystemReason(errno != 0 ? errno : EIO);
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

}  // namespace quillark::runtime
