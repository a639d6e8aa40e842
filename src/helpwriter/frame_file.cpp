#include "helpwriter/frame_file.h"

#include "runtime/files.h"
#include "runtime/output.h"

namespace quillark {
namespace {

void ThrowIfFailed(const std::string& path, const std::string& failure) {
  if (!failure.empty()) throw runtime::OutputError{path, failure};
}

}  // namespace

void WriteFrameFile(const std::string& path, std::string_view data) {
  runtime::CreateDirectoryOf(path);
  ThrowIfFailed(path, runtime::WriteWholeFile(path, data));
}

void AppendFrameFile(const std::string& path, std::string_view data) {
  runtime::CreateDirectoryOf(path);
  ThrowIfFailed(path, runtime::AppendToFile(path, data));
}

}  // namespace quillark
