#include "chmwriter/file_collector.h"

#include <map>
#include <optional>

#include "chmwriter/directory.h"
#include "chmwriter/file_io.h"
#include "chmwriter/link_scanner.h"
#include "chmwriter/stored_names.h"

namespace quillark::chm {
namespace {

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Another help file or project is linked to, never stored.
bool IsHelpFileOrProject(std::string_view name) {
  const std::string folded = FoldName(name);
  return EndsWith(folded, ".chm") || EndsWith(folded, ".hhp");
}

}  // namespace

std::string ProjectFolder(const ChmProject& project) {
  const std::size_t slash = project.project_path.find_last_of(kPathSeparators);
  return slash == std::string::npos ? "" : project.project_path.substr(0, slash + 1);
}

CollectResult CollectFiles(const ChmProject& project) {
  CollectResult result;
  const std::string folder = ProjectFolder(project);
  std::map<std::string, std::size_t> by_folded_name;

  std::vector<ListedFile> listed = project.files;
  if (project.contents_file) listed.push_back(*project.contents_file);
  if (project.index_file) listed.push_back(*project.index_file);
  for (const ListedFile& file : listed) {
    const std::string where = "\"" + project.project_path + "\" line " + std::to_string(file.line);
    const auto known = by_folded_name.find(FoldName(file.name));
    if (known != by_folded_name.end()) {
      const std::string& other = result.files[known->second].name;
      if (other == file.name) continue;
      result.message = where + ": the file names \"" + other + "\" and \"" + file.name +
                       "\" differ only in case; a compiled help file cannot hold both";
      return result;
    }
    std::optional<std::string> data = ReadBytes(folder + file.name);
    if (!data) {
      result.message = "Cannot find \"" + folder + file.name + "\" named in " + where;
      return result;
    }
    by_folded_name.emplace(FoldName(file.name), result.files.size());
    result.files.push_back({file.name, std::move(*data)});
  }

  // The list grows while it is walked: a linked page is scanned in its turn.
  for (std::size_t i = 0; i < result.files.size(); ++i) {
    const LinkSource source = LinkSourceOf(result.files[i].name);
    if (source == LinkSource::kNone) continue;
    for (const std::string& link : FindLinks(result.files[i].data, source)) {
      const std::optional<std::string> name = ResolveReference(result.files[i].name, link);
      if (!name || IsHelpFileOrProject(*name) || by_folded_name.count(FoldName(*name)) > 0) {
        continue;
      }
      std::optional<std::string> data = ReadBytes(folder + *name);
      if (!data) continue;
      const std::string problem = CheckStoredName(*name);
      if (!problem.empty()) {
        result.message = "\"" + folder + result.files[i].name + "\" links to \"" + link +
                         "\", which cannot be stored: " + problem;
        return result;
      }
      by_folded_name.emplace(FoldName(*name), result.files.size());
      result.files.push_back({*name, std::move(*data)});
    }
  }
  result.ok = true;
  return result;
}

}  // namespace quillark::chm
