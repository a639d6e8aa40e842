#include "helpwriter/frame_file.h"

#include "helpmain/report.h"
#include "helpmain/run_files.h"
#include "runtime/files.h"
#include "runtime/output.h"

namespace quillark {
namespace {

void FatalIfFailed(const std::string& path, const std::string& failure) {
  if (failure.empty()) return;
  ReportMessage(false, GetListingFileName(), kFatal,
                FormatReportLine("", 0, kFatal, "Cannot write \"" + path + "\": " + failure));
}

}  // namespace

void WriteFrameFile(const std::string& path, std::string_view data) {
  runtime::CreateDirectoryOf(path);
  FatalIfFailed(path, runtime::WriteWholeFile(path, data));
}

void AppendFrameFile(const std::string& path, std::string_view data) {
  runtime::CreateDirectoryOf(path);
  FatalIfFailed(path, runtime::AppendToFile(path, data));
}

}  // namespace quillark
