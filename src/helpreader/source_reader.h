// The source reader: the pre-processor file of a pass and up to two nested
// include files, read line by line. One reader is active at a time.
#ifndef QUILLARK_HELPREADER_SOURCE_READER_H_
#define QUILLARK_HELPREADER_SOURCE_READER_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace quillark {

// Clears every name and counter and opens `path` as the main file.
void OpenMainSource(const std::string& path);

// Reads the next line, keeping at most capacity - 1 bytes (CR LF becomes LF;
// the last line may have no line end; an empty text at the end). Returns true
// when the line was longer and bytes were dropped.
bool ReadSourceLine(std::string& line, std::size_t capacity);

// True when the main file is at its end and no include file is open.
bool EndOfSource();

enum class IncludeResult { kOpened, kTooDeep, kNotFound };
// Opens an include file at the next free level; a path that is not a full
// path is taken relative to the main file's directory.
IncludeResult OpenIncludeFile(const std::string& path);

void CloseSources();
const std::string& MainSourceName();
const std::string& CurrentSourceName();  // the innermost open file
int CurrentLineNumber();                 // the innermost open file's line counter
int AbsoluteLineNumber();                // all lines read in this pass

// A file name written in the source ("\" or "/" between folders), made
// absolute against the folder of the main source file.
std::string PathAgainstMainSource(std::string_view name);

// Reports `message` at the current file and line.
void ReportAtSource(char kind, std::string_view message);

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_SOURCE_READER_H_
