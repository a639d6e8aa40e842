// The two run-wide file names the whole program consults, set once by the
// driver right after it forms the file names.
#ifndef QUILLARK_HELPMAIN_RUN_FILES_H_
#define QUILLARK_HELPMAIN_RUN_FILES_H_

#include <string>
#include <string_view>

namespace quillark {

void SetListingFileName(std::string_view path);  // keeps at most 255 characters
const std::string& GetListingFileName();
void SetOutputFileName(std::string_view path);  // keeps at most 255 characters
const std::string& GetOutputFileName();

}  // namespace quillark

#endif  // QUILLARK_HELPMAIN_RUN_FILES_H_
