// quillark-chm: compiles an HTML Help project into the help file it names,
// with the writer built into Quillark, so that no outside compiler is needed.
#include <cstdio>
#include <string>

#include "chmwriter/chm_writer.h"
#include "chmwriter/project_reader.h"

namespace {

constexpr const char* kUsage =
    "Usage: quillark-chm PROJECT.hhp\n"
    "Compiles the HTML Help project into the .chm file its \"Compiled file=\"\n"
    "option names (else PROJECT.chm beside it).\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 2 || argv[1][0] == '\0') {
    std::fputs(kUsage, stderr);
    return 1;
  }
  const quillark::chm::ProjectReadResult read = quillark::chm::ReadProject(argv[1]);
  if (!read.project) {
    std::fprintf(stderr, "quillark-chm: %s\n", read.message.c_str());
    return 1;
  }
  const std::string chm_path = quillark::chm::CompiledFilePath(*read.project);
  const quillark::chm::ChmWriteResult result = quillark::chm::WriteChm(*read.project, chm_path);
  if (!result.ok) {
    std::fprintf(stderr, "quillark-chm: %s\n", result.message.c_str());
    return 1;
  }
  std::printf("%s: %zu files\n", chm_path.c_str(), result.file_count);
  return 0;
}
