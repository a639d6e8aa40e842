// Files whose contents belong in the output text but must not count against
// a text's length limit (a picture in a page header, a file passed through):
// the text carries the file's name between two tab characters, and the
// contents replace the mark once the text has been cut. The converters never
// write a tab of their own, so every tab in such a text belongs to a mark.
#ifndef QUILLARK_HELPWRITER_INSERT_MARKS_H_
#define QUILLARK_HELPWRITER_INSERT_MARKS_H_

#include <string>
#include <string_view>

namespace quillark {

// The mark that stands for the contents of `path`.
std::string InsertMark(std::string_view path);

// Replaces every mark by the contents of its file (nothing when the file is
// missing or empty). A mark that lost its closing tab to a cut is dropped.
std::string ExpandInsertMarks(std::string_view text);

}  // namespace quillark

#endif  // QUILLARK_HELPWRITER_INSERT_MARKS_H_
