// A file read while another program is still writing it, for a reader that
// takes whole lines. The text gathers in a buffer that never moves, so the
// views handed out stay good while it grows.
#ifndef QUILLARK_RUNTIME_GROWING_FILE_H_
#define QUILLARK_RUNTIME_GROWING_FILE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/files.h"

namespace quillark::runtime {

// Whether files in `folder` sit on a local file system of a kind known to
// show a reader at once what a writer on the same machine has written.
// Anything else (a network share, a user-space file system) is read only
// once its writer has ended.
bool ShowsWritesAtOnce(const std::string& folder);

class GrowingFile {
 public:
  // Room for `capacity` bytes of text.
  explicit GrowingFile(std::size_t capacity);
  ~GrowingFile();
  GrowingFile(const GrowingFile&) = delete;
  GrowingFile& operator=(const GrowingFile&) = delete;

  // Reads what has reached `path` since the last call, opening the file once
  // it exists. Returns false when the text outgrows its room or the file
  // cannot be read (and always on Windows, which reads files whole).
  bool ReadMore(const std::string& path);
  // The text up to its last line feed.
  std::string_view Lines() const;
  // All the text read.
  std::string_view Text() const { return {text_, size_}; }
  // Whether everything at `path` has been read: the file is still the one
  // opened, and no longer than the text.
  bool HoldsAllOf(const std::string& path) const;
  // Hands the text over.
  FileText Take();

 private:
  std::unique_ptr<char[]> buffer_;
  char* text_ = nullptr;  // the room's start, inside buffer_
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  std::size_t lines_ = 0;  // the length of the complete lines
  int handle_ = -1;
};

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_GROWING_FILE_H_
