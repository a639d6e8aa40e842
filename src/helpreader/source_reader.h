// The source reader: the pre-processor file of a pass and up to two nested
// include files, read line by line. Each file is read into memory when it is
// opened and walked from there.
#ifndef QUILLARK_HELPREADER_SOURCE_READER_H_
#define QUILLARK_HELPREADER_SOURCE_READER_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace quillark {

enum class IncludeResult { kOpened, kTooDeep, kNotFound, kUnreadable };

class SourceReader {
 public:
  // Clears every name and counter and opens `path` as the main file. Returns
  // false when the file cannot be read (the reader then holds no lines).
  bool OpenMainSource(const std::string& path);
  // The same with the main file's text given in memory under the name `path`.
  void OpenMainText(const std::string& path, std::string text);
  // The same with text the caller keeps alive until CloseSources.
  void OpenMainView(const std::string& path, std::string_view text);
  // The main source's text has grown: `text` starts with the bytes it held.
  void ExtendMainView(std::string_view text) { main_.data = text; }

  // The next line: CR LF at its end becomes LF; the last line may have no
  // line end; an empty text at the end. At most capacity - 1 bytes are kept;
  // `overflow` is set when the line was longer and bytes were dropped. The
  // line stays valid until the next call.
  std::string_view ReadSourceLine(std::size_t capacity, bool& overflow);

  // True when the main file is at its end and no include file is open.
  bool EndOfSource() const;

  // Opens an include file at the next free level; a path that is not a full
  // path is taken relative to the main file's directory. A file that exists
  // but cannot be read gives kUnreadable with the system's reason.
  IncludeResult OpenIncludeFile(const std::string& path, std::string* reason = nullptr);

  void CloseSources();
  const std::string& MainSourceName() const { return main_.name; }
  const std::string& CurrentSourceName() const {
    return Innermost().name;
  }  // the innermost open file
  int CurrentLineNumber() const { return Innermost().line; }
  int AbsoluteLineNumber() const { return absolute_line_; }  // all lines read in this pass

  // A file name written in the source ("\" or "/" between folders), made
  // absolute against the folder of the main source file.
  std::string PathAgainstMainSource(std::string_view name) const;

 private:
  struct File {
    std::string name;  // empty when the level is not open
    std::string owned;
    std::string_view data;  // `owned`, or text the caller keeps
    std::size_t position = 0;
    int line = 0;

    bool IsOpen() const { return !name.empty(); }
    bool AtEnd() const { return position >= data.size(); }
  };

  const File& Innermost() const;
  std::string_view ReadLineFrom(File& file, std::size_t capacity, bool& overflow);

  File main_;
  File include1_;
  File include2_;
  int absolute_line_ = 0;
  std::string line_;  // a line whose CR had to be dropped
};

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_SOURCE_READER_H_
