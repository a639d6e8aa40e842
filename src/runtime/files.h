// File and folder services on the names the program forms. On POSIX a full
// path begins with "/"; names written inside a source may use "\" between
// folders, which NormalizeSourcePath turns into "/".
#ifndef QUILLARK_RUNTIME_FILES_H_
#define QUILLARK_RUNTIME_FILES_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillark::runtime {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The longest path the system takes, in characters.
#ifdef _WIN32
inline constexpr std::size_t kMaxPathLength = 259;
#else
inline constexpr std::size_t kMaxPathLength = 4095;
#endif

// "/" between folders; on Windows "\" as well. On POSIX a "\" in a name is
// one of its characters (names written inside a source are made POSIX names
// by NormalizeSourcePath first).
bool IsSeparator(char c);

// A full path: "/..." on POSIX; a drive letter, a colon and a separator on Windows.
bool IsFullPath(std::string_view path);
// On POSIX every "\" becomes "/"; on Windows the name stays as written.
std::string NormalizeSourcePath(std::string_view path);

// Drive and directory including the final separator ("" when there is none).
std::string DirectoryPart(std::string_view path);
// What follows the last separator.
std::string FileNamePart(std::string_view path);
// The file name without its directory and without the extension after its last dot.
std::string BaseName(std::string_view path);
// True when the file name part has a dot followed by at least one character.
bool HasExtension(std::string_view path);
// Joins a directory and a name with exactly one separator between them.
std::string JoinPath(std::string_view directory, std::string_view name);
std::string CurrentDirectory();  // without a trailing separator

bool FileExists(const std::string& path);  // a regular file
bool DirectoryExists(const std::string& path);
// Size in bytes of a regular file, or -1 when there is none.
std::int64_t FileSize(const std::string& path);
std::optional<std::string> ReadWholeFile(const std::string& path);
// The same, with the system's reason in `reason` when the file cannot be read
// ("not a regular file" for a folder or a device).
std::optional<std::string> ReadWholeFile(const std::string& path, std::string& reason);
// At most `length` bytes of a regular file from byte `offset` (0-based);
// fewer when the file ends first.
std::optional<std::string> ReadFileRange(const std::string& path, std::int64_t offset,
                                         std::int64_t length);

// A whole file's bytes, read once and kept as they are: mapped into memory
// where the system can, else read into a buffer of their own.
class FileText {
 public:
  FileText() = default;
  ~FileText();
  FileText(const FileText&) = delete;
  FileText& operator=(const FileText&) = delete;
  FileText(FileText&& other) noexcept { *this = std::move(other); }
  FileText& operator=(FileText&& other) noexcept;

  // Reads `path`; returns an empty text and the system's reason when it
  // cannot (`reason` is left empty on success).
  static FileText Read(const std::string& path, std::string* reason);
  // The `size` bytes at `data`, inside `buffer`, which the text keeps.
  static FileText Adopt(std::unique_ptr<char[]> buffer, const char* data, std::size_t size);

  std::string_view view() const { return {data_, size_}; }

 private:
  void Release();

  const char* data_ = nullptr;
  std::size_t size_ = 0;
  bool mapped_ = false;
  std::unique_ptr<char[]> buffer_;
};

// Deletes the regular, writable files of `directory` (with its final
// separator; empty for the current directory) whose names match
// `name_pattern`, which may hold "*" and "?" ("*.*" takes every file, also one
// without a dot). The directory is taken as written, never as a pattern.
// Directories and read-only files are skipped; nothing is reported.
void DeleteMatching(const std::string& directory, std::string_view name_pattern);
// The files of `directory` whose names match `name_pattern`, as
// DeleteMatching finds them, each with the directory in front.
std::vector<std::string> FilesMatching(const std::string& directory, std::string_view name_pattern);
// Deletes `path` when it is a regular, writable file; its name is taken as
// written. Returns whether a file was deleted.
bool DeleteWritableFile(const std::string& path);
// Whether `path` is a regular file its owner may write: what deleting takes.
bool IsWritableRegularFile(const std::string& path);
bool DeleteFile(const std::string& path);
// Creates the directory of `file_path` when its directory part is absolute and
// missing (one level; a missing parent is not created).
void CreateDirectoryOf(const std::string& file_path);
bool CopyFileOver(const std::string& from, const std::string& to);
// Copies `from` over `to`; returns an empty text, or the system's reason after
// removing whatever part of `to` was written.
std::string CopyFileChecked(const std::string& from, const std::string& to);

// "*" and "?" wildcard match of a whole file name.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_FILES_H_
