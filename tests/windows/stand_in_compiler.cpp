// A stand-in for the outside programs quillark.exe starts on Windows (the
// help compilers hcrtf.exe and hhc.exe, and a failing gpp.exe): it is NOT the
// real compiler. Copied to the fixed path the program looks at, it records
// how it was started and writes the file the real program would, so that the
// start, the waiting, the exit code handling and the copying of the result
// are tested without the real compilers.
//
// Its settings are read from "<own path>.cfg", one "key value" a line:
//   output .hlp   write the last argument with this extension (else nothing)
//   delay 500     wait this many milliseconds before writing
//   exit 3        end with this exit code (default 0)
// It appends to "<own path>.log": the raw command line, the working folder
// and each argument as its start-up code split it, one a line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string OwnPath() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t dot = path.rfind('.');
  const bool has_dot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (has_dot ? path.substr(0, dot) : path) + extension;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string self = OwnPath();
  std::string output_extension;
  int delay = 0;
  int exit_code = 0;
  std::ifstream settings(self + ".cfg");
  for (std::string key; settings >> key;) {
    if (key == "output") settings >> output_extension;
    if (key == "delay") settings >> delay;
    if (key == "exit") settings >> exit_code;
  }

  char folder[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  std::ofstream log(self + ".log", std::ios::binary | std::ios::app);
  log << "line " << GetCommandLineA() << "\n";
  log << "folder " << folder << "\n";
  for (int i = 1; i < argc; ++i) log << "arg " << argv[i] << "\n";
  log.close();

  if (delay > 0) Sleep(static_cast<DWORD>(delay));
  if (!output_extension.empty() && argc > 1) {
    std::ofstream(ReplaceExtension(argv[argc - 1], output_extension), std::ios::binary)
        << "written by the stand-in compiler\r\n";
  }
  return exit_code;
}
