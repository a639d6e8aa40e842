#include "chmwriter/chm_writer.h"

#include <filesystem>
#include <vector>

#include "chmwriter/container.h"
#include "chmwriter/file_collector.h"
#include "chmwriter/file_io.h"
#include "chmwriter/project_reader.h"
#include "chmwriter/system_files.h"

namespace quillark::chm {
namespace {

std::string FileNamePart(std::string_view path) {
  const std::size_t slash = path.find_last_of(kPathSeparators);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Stem(std::string_view path) {
  std::string name = FileNamePart(path);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace

ChmBuildResult BuildChm(const ChmProject& project, std::string_view compiled_stem) {
  ChmBuildResult build;
  CollectResult collected = CollectFiles(project);
  if (!collected.ok) {
    build.result.message = std::move(collected.message);
    return build;
  }
  StringsFile strings;
  std::vector<ContainerFile> stream_files;
  stream_files.push_back({"/#WINDOWS", WindowsFile(project.windows, strings)});
  stream_files.push_back({"/#STRINGS", strings.bytes});
  for (StoredFile& file : collected.files) {
    stream_files.push_back({"/" + file.name, std::move(file.data)});
  }
  const std::vector<ContainerFile> plain_files = {{"/#SYSTEM", SystemFile(project, compiled_stem)}};
  build.bytes = BuildContainer(plain_files, stream_files, project.language);
  build.result.ok = true;
  build.result.file_count = collected.files.size();
  return build;
}

ChmWriteResult WriteChm(const ChmProject& project, const std::string& chm_path) {
  ChmBuildResult build = BuildChm(project, Stem(chm_path));
  if (!build.result.ok) return build.result;
  build.result.message = WriteBytes(chm_path, build.bytes);
  build.result.ok = build.result.message.empty();
  return build.result;
}

ChmWriteResult WriteChmFromProject(const std::string& hhp_path, const std::string& chm_path) {
  const ProjectReadResult read = ReadProject(hhp_path);
  if (!read.project) return {false, read.message, 0};
  return WriteChm(*read.project, chm_path);
}

std::string CompiledFilePath(const ChmProject& project) {
  std::string compiled = project.compiled_file;
#ifndef _WIN32
  // Projects written on Windows separate folders with "\\".
  for (char& c : compiled) {
    if (c == '\\') c = '/';
  }
#endif
  if (compiled.empty()) {
    return ProjectFolder(project) + Stem(project.project_path) + ".chm";
  }
  return std::filesystem::path(compiled).is_absolute() ? compiled
                                                       : ProjectFolder(project) + compiled;
}

}  // namespace quillark::chm
