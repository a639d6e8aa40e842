#include "helpmain/run_files.h"

#include "runtime/text.h"

namespace quillark {

namespace {

inline constexpr std::size_t kMaxRunFileName = 255;

std::string listing_file_name;
std::string output_file_name;

}  // namespace

void SetListingFileName(std::string_view path) {
  listing_file_name = runtime::Truncate(path, kMaxRunFileName);
}

const std::string& GetListingFileName() { return listing_file_name; }

void SetOutputFileName(std::string_view path) {
  output_file_name = runtime::Truncate(path, kMaxRunFileName);
}

const std::string& GetOutputFileName() { return output_file_name; }

}  // namespace quillark
