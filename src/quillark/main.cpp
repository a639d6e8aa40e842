// Quillark: compiles one tagged text source into a help system.
#include <string>
#include <vector>

#include "quillark/command_line.h"
#include "runtime/memory.h"

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
  quillark::runtime::UseLargeHeapPages();
#ifdef _WIN32
  (void)argc;
  (void)argv;
  // The raw line keeps the quotes and "=" as typed, which the splitter reads.
  return quillark::RunCommandLine(
      quillark::SplitCommandLine(quillark::SkipProgramName(GetCommandLineA())));
#else
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return quillark::RunCommandLine(arguments);
#endif
}
