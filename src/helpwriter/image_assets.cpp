#include "helpwriter/image_assets.h"

#include <cstddef>
#include <utility>

#include "helpmain/report.h"
#include "runtime/files.h"
#include "runtime/output.h"
#include "runtime/process.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kNameLimit = 255;

bool HoldsAssets(const std::string& folder) {
  return runtime::FileExists(folder + std::string(kImageAssets[0]));
}

}  // namespace

std::string ImageAssetDirectory(std::string_view program_path) {
  const std::string folder = runtime::DirectoryPart(program_path);
  if (folder.empty() || HoldsAssets(folder)) return folder;
  const std::string parent =
      runtime::DirectoryPart(std::string_view(folder).substr(0, folder.size() - 1));
  const std::string shared =
      parent + "share" + runtime::kPathSeparator + "quillark" + runtime::kPathSeparator;
  return !parent.empty() && HoldsAssets(shared) ? shared : folder;
}

std::string ImageAssetList(OutputFormat format) {
  if (format != OutputFormat::kHtml) return {};
  const std::string folder = ImageAssetDirectory(runtime::ProgramPath());
  std::string list;
  for (std::string_view asset : kImageAssets) list += folder + std::string(asset) + "\n";
  return list;
}

void CopyImageAssets(std::string_view list, const std::string& project_file, BitmapTable& bitmaps,
                     Listing& listing) {
  while (!list.empty()) {
    const std::size_t end = list.find('\n');
    const std::string path = runtime::Truncate(list.substr(0, end), kNameLimit);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    if (path.empty()) break;
    BitmapRecord record;
    record.name = path;
    record.count = 1;
    record.copied = true;
    if (InsertEntry(bitmaps, std::move(record))) {
      ReportMessage(
          false, listing, kFatal,
          FormatReportLine("", 0, kFatal,
                           "Table \"BitmapTab\" is full up while adding \"" + path + "\""));
    }
  }
  // The copies go beside the project: the assets just recorded and the topic
  // images the image writer marked.
  const std::string folder = runtime::DirectoryPart(project_file);
  for (int row = 1; row <= TableCount(bitmaps); ++row) {
    const BitmapRecord& bitmap = EntryAt(bitmaps, row);
    if (!bitmap.copied) continue;
    const std::string destination = folder + runtime::FileNamePart(bitmap.name);
    // A picture that is not there was warned about where it was used; one that
    // is there and cannot be copied ends the run.
    if (destination == bitmap.name || !runtime::FileExists(bitmap.name)) continue;
    const std::string reason = runtime::CopyFileChecked(bitmap.name, destination);
    if (!reason.empty()) {
      throw runtime::OutputError{destination, "copying \"" + bitmap.name + "\" failed: " + reason};
    }
  }
}

}  // namespace quillark
