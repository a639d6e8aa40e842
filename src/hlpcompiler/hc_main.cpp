// quillark-hc: compiles a WinHelp project into its .hlp file.
//
//   quillark-hc /x PROJECT.hpj     (also -x; the switch may be left out)
//
// Prints the warnings and a one-line summary; exits 0 when the help file was
// written and 1 when it was not, with the errors naming file and line.
#include <cstdio>
#include <string>
#include <string_view>

#include "hlpcompiler/hlp_compiler.h"

namespace {

int Usage() {
  std::fputs("usage: quillark-hc /x PROJECT.hpj\n", stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string project;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "/x" || argument == "-x" || argument == "/X" || argument == "-X") continue;
    if (!project.empty() || argument.empty()) return Usage();
    project = argument;
  }
  if (project.empty()) return Usage();

  const quillark::hlpc::HlpCompileResult result = quillark::hlpc::CompileHelpProject(project);
  for (const quillark::hlpc::Diagnostic& warning : result.warnings) {
    std::fprintf(stderr, "warning: %s\n", quillark::hlpc::FormatDiagnostic(warning).c_str());
  }
  for (const quillark::hlpc::Diagnostic& error : result.errors) {
    std::fprintf(stderr, "error: %s\n", quillark::hlpc::FormatDiagnostic(error).c_str());
  }
  if (!result.success) {
    std::fprintf(stderr, "%s was not written\n", result.help_file.c_str());
    return 1;
  }
  std::printf("%s: %zu topics, %zu keywords, %zu pictures, %lld bytes", result.help_file.c_str(),
              result.topics, result.keywords, result.pictures,
              static_cast<long long>(result.bytes));
  if (result.skipped_words > 0) {
    std::printf(" (%zu unknown control words skipped)", result.skipped_words);
  }
  std::printf("\n");
  return 0;
}
