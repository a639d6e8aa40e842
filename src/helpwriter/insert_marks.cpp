#include "helpwriter/insert_marks.h"

#include <optional>

#include "runtime/files.h"

namespace quillark {

std::string InsertMark(std::string_view path) {
  std::string mark = "\t";
  mark += path;
  mark += '\t';
  return mark;
}

std::string ExpandInsertMarks(std::string_view text) {
  std::string expanded;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t open = text.find('\t', start);
    if (open == std::string_view::npos) {
      expanded.append(text.substr(start));
      break;
    }
    expanded.append(text.substr(start, open - start));
    const std::size_t close = text.find('\t', open + 1);
    if (close == std::string_view::npos) break;
    const std::string path = runtime::NormalizeSourcePath(text.substr(open + 1, close - open - 1));
    if (std::optional<std::string> contents = runtime::ReadWholeFile(path)) expanded += *contents;
    start = close + 1;
  }
  return expanded;
}

}  // namespace quillark
