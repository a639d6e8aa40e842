#include "runtime/files.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "runtime/text.h"

namespace quillark::runtime {

namespace {

#ifdef _WIN32
// Length of a leading drive ("C:"), 0 when there is none.
std::size_t DriveLength(std::string_view path) {
  return (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') ? 2 : 0;
}
#else
std::size_t DriveLength(std::string_view) { return 0; }
#endif

// Index just past the directory part: after the last separator, or after the
// drive when there is no separator.
std::size_t DirectoryEnd(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) return i;
  }
  return DriveLength(path);
}

bool StatPath(const std::string& path, struct stat& info) {
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool NamesMatch(std::string_view pattern, std::string_view name) {
  // "*.*" means every file, also one whose name has no dot.
  if (pattern == "*.*") return true;
  return WildcardMatch(pattern, name);
}

}  // namespace

// A read-only file is one whose owner may not write it; the owner bit is
// checked rather than access(), which always says yes to the superuser.
bool IsWritableRegularFile(const std::string& path) {
  struct stat info {};
  if (!StatPath(path, info)) return false;
  if ((info.st_mode & S_IFMT) != S_IFREG) return false;
#ifdef _WIN32
  return (info.st_mode & _S_IWRITE) != 0;
#else
  return (info.st_mode & S_IWUSR) != 0;
#endif
}

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

bool IsFullPath(std::string_view path) {
#ifdef _WIN32
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return true;  // \\server
  return path.size() >= 3 && DriveLength(path) == 2 && IsSeparator(path[2]);
#else
  return !path.empty() && path[0] == '/';
#endif
}

std::string NormalizeSourcePath(std::string_view path) {
#ifdef _WIN32
  return std::string(path);
#else
  return ReplaceAll(path, "\\", "/");
#endif
}

std::string DirectoryPart(std::string_view path) {
  return std::string(path.substr(0, DirectoryEnd(path)));
}

std::string FileNamePart(std::string_view path) {
  return std::string(path.substr(DirectoryEnd(path)));
}

std::string BaseName(std::string_view path) {
  std::string name = FileNamePart(path);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

bool HasExtension(std::string_view path) {
  const std::string file = FileNamePart(path);
  const std::size_t dot = file.rfind('.');
  return dot != std::string::npos && dot + 1 < file.size();
}

std::string JoinPath(std::string_view directory, std::string_view name) {
  if (directory.empty()) return std::string(name);
  while (!name.empty() && IsSeparator(name.front())) name.remove_prefix(1);
  std::string result(directory);
  if (!IsSeparator(result.back())) result += kPathSeparator;
  result.append(name);
  return result;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(256);
  while (true) {
#ifdef _WIN32
    if (_getcwd(buffer.data(), static_cast<int>(buffer.size())) != nullptr) return buffer.data();
#else
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) return buffer.data();
#endif
    if (errno != ERANGE) return "";
    buffer.resize(buffer.size() * 2);
  }
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return StatPath(path, info) && (info.st_mode & S_IFMT) == S_IFREG;
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return StatPath(path, info) && (info.st_mode & S_IFMT) == S_IFDIR;
}

std::int64_t FileSize(const std::string& path) {
  struct stat info {};
  if (!StatPath(path, info) || (info.st_mode & S_IFMT) != S_IFREG) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

std::optional<std::string> ReadFileRange(const std::string& path, std::int64_t offset,
                                         std::int64_t length) {
  const std::int64_t size = FileSize(path);
  if (size < 0 || offset < 0 || length < 0) return std::nullopt;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  // The file's size is known, so the text is read straight into its place;
  // a file that grew since is read on in chunks.
  std::string contents;
  bool failed = offset > 0 && std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0;
  const std::int64_t expected = std::max<std::int64_t>(0, std::min(length, size - offset));
  if (!failed && expected > 0) {
    contents.resize(static_cast<std::size_t>(expected));
    contents.resize(std::fread(contents.data(), 1, contents.size(), file));
  }
  char chunk[65536];
  while (!failed && static_cast<std::int64_t>(contents.size()) < length &&
         static_cast<std::int64_t>(contents.size()) >= expected) {
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::int64_t>(sizeof chunk, length - static_cast<std::int64_t>(contents.size())));
    const std::size_t got = std::fread(chunk, 1, wanted, file);
    if (got == 0) break;
    contents.append(chunk, got);
  }
  failed = failed || std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return contents;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  return ReadFileRange(path, 0, std::numeric_limits<std::int64_t>::max());
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string& reason) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) {
    reason = std::strerror(path.empty() ? ENOENT : errno);
    return std::nullopt;
  }
  if ((info.st_mode & S_IFMT) != S_IFREG) {
    reason = "not a regular file";
    return std::nullopt;
  }
  errno = 0;
  std::optional<std::string> contents = ReadWholeFile(path);
  if (!contents) reason = std::strerror(errno != 0 ? errno : EIO);
  return contents;
}

FileText::~FileText() { Release(); }

FileText& FileText::operator=(FileText&& other) noexcept {
  if (this == &other) return *this;
  Release();
  data_ = std::exchange(other.data_, nullptr);
  size_ = std::exchange(other.size_, 0);
  mapped_ = std::exchange(other.mapped_, false);
  buffer_ = std::move(other.buffer_);
  return *this;
}

void FileText::Release() {
#ifndef _WIN32
  if (mapped_) ::munmap(const_cast<char*>(data_), size_);
#endif
  data_ = nullptr;
  size_ = 0;
  mapped_ = false;
  buffer_.reset();
}

FileText FileText::Adopt(std::unique_ptr<char[]> buffer, const char* data, std::size_t size) {
  FileText text;
  text.buffer_ = std::move(buffer);
  text.data_ = data;
  text.size_ = size;
  return text;
}

FileText FileText::Read(const std::string& path, std::string* reason) {
  FileText text;
  errno = 0;
#ifndef _WIN32
  // Mapped, the text is not copied at all; the pages are brought in at once.
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    if (reason != nullptr) *reason = std::strerror(errno);
    return text;
  }
  struct stat info {};
  if (::fstat(fd, &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG && info.st_size > 0) {
    int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
    flags |= MAP_POPULATE;
#endif
    void* map = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, flags, fd, 0);
    if (map != MAP_FAILED) {
      text.data_ = static_cast<const char*>(map);
      text.size_ = static_cast<std::size_t>(info.st_size);
      text.mapped_ = true;
      ::close(fd);
      return text;
    }
  }
  ::close(fd);
#endif
  std::string why;
  std::optional<std::string> contents = ReadWholeFile(path, why);
  if (!contents) {
    if (reason != nullptr) *reason = why;
    return text;
  }
  text.buffer_ = std::make_unique<char[]>(contents->size());
  std::memcpy(text.buffer_.get(), contents->data(), contents->size());
  text.data_ = text.buffer_.get();
  text.size_ = contents->size();
  return text;
}

std::vector<std::string> FilesMatching(const std::string& directory,
                                       std::string_view name_pattern) {
  std::vector<std::string> matches;
  if (name_pattern.empty()) return matches;
#ifdef _WIN32
  const std::string search = JoinPath(directory, "*");
  _finddata_t found{};
  intptr_t handle = _findfirst(search.c_str(), &found);
  if (handle == -1) return matches;
  do {
    if ((found.attrib & _A_SUBDIR) == 0 && NamesMatch(name_pattern, found.name)) {
      matches.push_back(directory + found.name);
    }
  } while (_findnext(handle, &found) == 0);
  _findclose(handle);
#else
  DIR* listing = ::opendir(directory.empty() ? "." : directory.c_str());
  if (listing == nullptr) return matches;
  while (const dirent* entry = ::readdir(listing)) {
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (NamesMatch(name_pattern, name)) matches.push_back(directory + std::string(name));
  }
  ::closedir(listing);
#endif
  return matches;
}

void DeleteMatching(const std::string& directory, std::string_view name_pattern) {
  // The names are gathered first so that deleting never disturbs the listing.
  for (const std::string& path : FilesMatching(directory, name_pattern)) DeleteWritableFile(path);
}

bool DeleteWritableFile(const std::string& path) {
  return IsWritableRegularFile(path) && DeleteFile(path);
}

bool DeleteFile(const std::string& path) { return !path.empty() && std::remove(path.c_str()) == 0; }

void CreateDirectoryOf(const std::string& file_path) {
  std::string_view path = file_path;
  std::size_t drive = DriveLength(path);
  std::size_t end = DirectoryEnd(path);
  // Only a directory written from its root, holding a named file, is created.
  if (end <= drive || !IsSeparator(path[drive]) || end == path.size()) return;
  std::string directory(path.substr(0, end - 1));
  if (directory.size() <= drive || DirectoryExists(directory)) return;
#ifdef _WIN32
  _mkdir(directory.c_str());
#else
  ::mkdir(directory.c_str(), 0777);
#endif
}

bool CopyFileOver(const std::string& from, const std::string& to) {
  std::error_code error;
  return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                                    error) &&
         !error;
}

std::string CopyFileChecked(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  if (!error) return "";
  std::error_code ignored;
  // A copy cut short by a full disk must not pass for the file.
  if (std::filesystem::is_regular_file(to, ignored)) std::filesystem::remove(to, ignored);
  return error.message();
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
#ifdef _WIN32
  auto same = [](char a, char b) { return LowerAscii(a) == LowerAscii(b); };
#else
  auto same = [](char a, char b) { return a == b; };
#endif
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::string_view::npos;  // position of the last "*" seen
  std::size_t star_name = 0;                  // name position that "*" is tried from
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_name = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace quillark::runtime
