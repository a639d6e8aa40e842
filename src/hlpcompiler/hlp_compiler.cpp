#include "hlpcompiler/hlp_compiler.h"

#ifndef _WIN32
#include <dirent.h>
#endif

#include <map>
#include <optional>

#include "hlpcompiler/hlp_pictures.h"
#include "hlpcompiler/hlp_writer.h"
#include "hlpcompiler/hpj_reader.h"
#include "hlpcompiler/rtf_reader.h"
#include "runtime/files.h"
#include "runtime/output.h"
#include "runtime/text.h"

namespace quillark::hlpc {
namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// `path` itself, or on a case-sensitive file system the one file in its folder
// whose name differs only in case (names written on Windows rarely match).
std::optional<std::string> FindFile(const std::string& path) {
  if (runtime::FileExists(path)) return path;
#ifndef _WIN32
  const std::string directory = runtime::DirectoryPart(path);
  const std::string name = runtime::FileNamePart(path);
  DIR* folder = opendir(directory.empty() ? "." : directory.c_str());
  if (folder == nullptr) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = readdir(folder)) {
    if (SameNoCase(entry->d_name, name)) {
      const std::string candidate = directory + entry->d_name;
      if (runtime::FileExists(candidate)) {
        found = candidate;
        break;
      }
    }
  }
  closedir(folder);
  return found;
#else
  return std::nullopt;
#endif
}

// The key that tells one picture file from another: Windows file names
// ignore the case of ASCII letters, so "pic.bmp" and "PIC.BMP" are one file.
std::string PathKey(const std::string& path) {
#ifdef _WIN32
  return runtime::UpperAscii(path);
#else
  return path;
#endif
}

// The help file is named after the project, beside it.
std::string HelpFileOf(const std::string& project_file) {
  std::string path = project_file;
  const std::string name = runtime::FileNamePart(path);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) path.resize(path.size() - (name.size() - dot));
  return path + ".hlp";
}

class Compilation {
 public:
  explicit Compilation(const std::string& project_file) : project_file_(project_file) {
    result_.help_file = HelpFileOf(project_file);
  }

  HlpCompileResult Run() {
    if (ReadProject() && ReadTopics()) {
      LoadPictures();
      Write();
    }
    return Finish();
  }

 private:
  void Error(const std::string& file, int line, const std::string& text) {
    result_.errors.push_back({file, line, text});
  }

  bool ReadProject() {
    const std::optional<std::string> text = runtime::ReadWholeFile(project_file_);
    if (!text) {
      Error(project_file_, 0, "cannot read the project file");
      return false;
    }
    HpjReadResult read = ReadHelpProject(*text, project_file_);
    project_ = std::move(read.project);
    Take(read.warnings, read.errors);
    return read.errors.empty();
  }

  bool ReadTopics() {
    for (const std::string& file : project_.topic_files) {
      const std::optional<std::string> found = FindFile(file);
      const std::optional<std::string> data = found ? runtime::ReadWholeFile(*found) : std::nullopt;
      if (!data) {
        Error(project_file_, 0, "cannot read the topic file \"" + file + "\"");
        continue;
      }
      RtfReadResult read = ReadTopicFile(*data, file);
      Take(read.warnings, read.errors);
      result_.skipped_words += static_cast<std::size_t>(read.skipped_words);
      for (Topic& topic : read.topics) topics_.push_back(std::move(topic));
    }
    return result_.errors.empty();
  }

  // The file of a picture a topic names: an entry of [BITMAPS] with that
  // file name, else the name in the bitmap folders, the topic file's folder
  // and the project's folder.
  std::optional<std::string> PictureFileOf(const std::string& name, const std::string& topic_file) {
    const std::string written = runtime::NormalizeSourcePath(name);
    const std::string file_name = runtime::FileNamePart(written);
    for (const std::string& bitmap : project_.bitmaps) {
      if (SameNoCase(runtime::FileNamePart(bitmap), file_name)) {
        if (std::optional<std::string> found = FindFile(bitmap)) return found;
      }
    }
    if (runtime::IsFullPath(written)) return FindFile(written);
    std::vector<std::string> folders = project_.bitmap_folders;
    folders.push_back(runtime::DirectoryPart(topic_file));
    folders.push_back(project_.directory);
    for (const std::string& folder : folders) {
      if (std::optional<std::string> found = FindFile(runtime::JoinPath(folder, written))) {
        return found;
      }
    }
    return std::nullopt;
  }

  // Every picture is stored once, numbered in the order of first use.
  void LoadPictures() {
    for (const Topic& topic : topics_) {
      for (const Paragraph& paragraph : topic.paragraphs) {
        for (const Item& item : paragraph.items) {
          if (item.kind != ItemKind::kPicture || number_of_name_.count(item.text) > 0) continue;
          number_of_name_[item.text] = LoadPicture(item.text, topic.file, paragraph.line);
        }
      }
    }
  }

  std::optional<std::uint16_t> LoadPicture(const std::string& name, const std::string& file,
                                           int line) {
    const std::optional<std::string> path = PictureFileOf(name, file);
    if (!path) {
      result_.warnings.push_back({file, line, "bitmap \"" + name + "\" not found; left out"});
      return std::nullopt;
    }
    const auto known = number_of_path_.find(PathKey(*path));
    if (known != number_of_path_.end()) return known->second;
    const std::optional<std::string> bytes = runtime::ReadWholeFile(*path);
    PictureFile picture = bytes ? MakePictureFile(*bytes) : PictureFile{"", "cannot be read"};
    if (picture.data.empty()) {
      result_.warnings.push_back(
          {file, line, "bitmap \"" + *path + "\": " + picture.error + "; left out"});
      return std::nullopt;
    }
    const auto number = static_cast<std::uint16_t>(picture_data_.size());
    picture_data_.push_back(std::move(picture.data));
    number_of_path_[PathKey(*path)] = number;
    return number;
  }

  void Write() {
    HelpFileInput input;
    input.project = &project_;
    input.topics = &topics_;
    input.pictures = [this](const std::string& name) -> std::optional<std::uint16_t> {
      const auto found = number_of_name_.find(name);
      return found == number_of_name_.end() ? std::nullopt : found->second;
    };
    input.picture_data = picture_data_;
    HelpFileOutput output = WriteHelpFile(input);
    Take(output.warnings, output.errors);
    result_.topics = topics_.size();
    result_.contexts = output.contexts;
    result_.keywords = output.keywords;
    result_.pictures = picture_data_.size();
    if (!output.errors.empty()) return;
    const std::string problem = runtime::WriteWholeFile(result_.help_file, output.bytes);
    if (!problem.empty()) {
      Error(result_.help_file, 0, "cannot write the help file: " + problem);
      return;
    }
    result_.bytes = static_cast<std::int64_t>(output.bytes.size());
  }

  void Take(Diagnostics& warnings, Diagnostics& errors) {
    result_.warnings.insert(result_.warnings.end(), warnings.begin(), warnings.end());
    result_.errors.insert(result_.errors.end(), errors.begin(), errors.end());
  }

  HlpCompileResult Finish() {
    result_.success = result_.errors.empty();
    if (!result_.success) {
      result_.message = FormatDiagnostic(result_.errors.front());
      runtime::DeleteFile(result_.help_file);
      result_.bytes = 0;
    }
    return std::move(result_);
  }

  std::string project_file_;
  HlpCompileResult result_;
  HelpProject project_;
  std::vector<Topic> topics_;
  std::map<std::string, std::optional<std::uint16_t>> number_of_name_;
  std::map<std::string, std::uint16_t> number_of_path_;
  std::vector<std::string> picture_data_;
};

}  // namespace

HlpCompileResult CompileHelpProject(const std::string& project_file) {
  Compilation compilation(project_file);
  return compilation.Run();
}

}  // namespace quillark::hlpc
