#include "helpwriter/file_names.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>

#include "helpwriter/preprocessor.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace quillark {
namespace {

#ifdef _WIN32
constexpr std::string_view kSeparator = "\\";
bool IsNameSeparator(char c) { return c == '\\' || c == '/'; }
#else
constexpr std::string_view kSeparator = "/";
bool IsNameSeparator(char c) { return c == '/'; }
#endif

// Where the file name starts: just after the last separator (or a drive's colon
// on Windows), 0 when the path has no directory.
std::size_t FileNameStart(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
#ifdef _WIN32
    if (c == ':' && i == 2) return i;
#endif
    if (IsNameSeparator(c)) return i;
  }
  return 0;
}

// The drive and directory including the final separator.
std::string_view DirectoryOf(std::string_view path) { return path.substr(0, FileNameStart(path)); }

// The file name without directory and without the extension after its last dot.
std::string_view BaseNameOf(std::string_view path) {
  std::string_view name = path.substr(FileNameStart(path));
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

// Names are never cut: a cut could make two of a run's names the same file.
// A name too long for the system is refused with the command line.
std::string Name(std::initializer_list<std::string_view> pieces) {
  std::string name;
  for (std::string_view piece : pieces) name.append(piece);
  return name;
}

// A name the run formed is deleted as written: a "*" or "?" in the user's
// name is a character of the name, never a pattern.
void DeleteNamed(const std::string& path) {
  if (!path.empty()) runtime::DeleteWritableFile(path);
}

}  // namespace

FileNames BuildFileNames(OutputFormat format, std::string_view input_path) {
  const std::string_view p = input_path;
  const std::string_view d = DirectoryOf(p);
  const std::string_view n = BaseNameOf(p);
  const std::string temp = Name({d, "temp", kSeparator});

  FileNames names;
  names.source = Name({p, ".txt"});
  names.preprocessor = Name({p, ".pp"});
  names.listing = Name({p, ".lst"});
  switch (format) {
    case OutputFormat::kNone:
      break;
    case OutputFormat::kHlp:
      names.output = Name({p, ".rtf"});
      names.final_output = Name({p, ".hlp"});
      names.project = Name({p, ".hpj"});
      names.contents = Name({p, ".cnt"});
      break;
    case OutputFormat::kRtf:
      names.output = Name({p, ".rtf"});
      names.final_output = Name({p, "_out", ".rtf"});
      names.project = Name({p, "_project", ".tmp"});
      names.contents = Name({p, "_toc", ".tmp"});
      names.index = Name({p, "_idx", ".tmp"});
      break;
    case OutputFormat::kChm:
      names.page_folder = temp;
      names.output = Name({temp, "*", ".html"});
      names.final_output = Name({p, ".chm"});
      names.project = Name({temp, n, ".hhp"});
      names.style_sheet = Name({temp, n, ".css"});
      names.contents = Name({temp, n, ".hhc"});
      names.index = Name({temp, n, ".hhk"});
      break;
    case OutputFormat::kHtml:
      names.page_folder = Name({p, kSeparator});
      names.output = Name({p, kSeparator, "*", ".html"});
      names.final_output = Name({p, ".html"});
      names.project = Name({p, kSeparator, n, ".txt"});
      names.style_sheet = Name({p, kSeparator, n, ".css"});
      names.contents = Name({p, kSeparator, "_contents", ".html"});
      names.index = Name({p, kSeparator, "_index", ".html"});
      break;
  }
  return names;
}

std::size_t LongestName(const FileNames& names) {
  std::size_t longest = 0;
  for (const std::string* name :
       {&names.source, &names.preprocessor, &names.listing, &names.output, &names.final_output,
        &names.project, &names.style_sheet, &names.contents, &names.index}) {
    longest = std::max(longest, name->size());
  }
  // The longest page name adds a topic key of up to 40 characters and its ending.
  if (!names.page_folder.empty()) longest = std::max(longest, names.page_folder.size() + 54);
  return longest;
}

FrameFileNames FrameNamesOf(const FileNames& names) {
  return FrameFileNames{names.project, names.style_sheet, names.contents, names.index};
}

std::string TopicFileName(OutputFormat format, std::string_view output_name,
                          std::string_view topic_key, PageKind kind) {
  if (output_name.empty() || !runtime::IsIdentifier(topic_key)) return "";
  switch (format) {
    case OutputFormat::kHlp:
    case OutputFormat::kRtf:
      return std::string(output_name);
    case OutputFormat::kChm:
    case OutputFormat::kHtml: {
      const std::string_view folder = DirectoryOf(output_name);
      if (kind == PageKind::kMain) return Name({folder, topic_key, ".html"});
      return Name(
          {folder, topic_key, "_example", format == OutputFormat::kChm ? ".xhtml" : ".html"});
    }
    case OutputFormat::kNone:
      break;
  }
  return "";
}

std::vector<std::string> EarlierPages(const FileNames& names,
                                      const std::function<bool(const std::string&)>& known) {
  // The page folder of CHM and HTML is the program's own: all of it goes.
  std::vector<std::string> pages;
  if (names.page_folder.empty()) return pages;
  for (std::string& path : runtime::FilesMatching(names.page_folder, "*.*")) {
    if ((known && known(path)) || runtime::IsWritableRegularFile(path)) {
      pages.push_back(std::move(path));
    }
  }
  return pages;
}

void DeleteOutputFile(const FileNames& names) {
  if (names.page_folder.empty()) DeleteNamed(names.output);
}

void DeletePreprocessorFiles(const FileNames& names) {
  DeleteNamed(names.preprocessor);
  DeleteNamed(LineEndCopyName(names.source));
}

void DeleteEarlierResults(const FileNames& names) {
  // Only the temporary files this program makes beside the source go: the
  // include files, the RTF frame files of any earlier format and the picture
  // data files. Other ".tmp" files there belong to the user.
  std::string_view stem = names.source;
  if (stem.ends_with(".txt")) stem.remove_suffix(4);
  const std::string folder(DirectoryOf(names.source));
  runtime::DeleteMatching(folder, "include_*.tmp");
  DeleteNamed(Name({stem, "_project.tmp"}));
  DeleteNamed(Name({stem, "_toc.tmp"}));
  DeleteNamed(Name({stem, "_idx.tmp"}));
  runtime::DeleteMatching(folder, "*_bmp.tmp");

  DeleteNamed(names.listing);
  DeleteOutputFile(names);
  DeleteNamed(names.final_output);
  DeleteNamed(names.project);
  DeleteNamed(names.style_sheet);
  DeleteNamed(names.contents);
  DeleteNamed(names.index);
}

}  // namespace quillark
