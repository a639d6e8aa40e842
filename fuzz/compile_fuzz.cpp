// Compiles one source in process, as the command line would, in a fresh
// folder of its own. The first input byte chooses the run:
//   bits 0-2  the format, taken modulo 5: NONE, HLP, RTF, CHM, HTML
//   bit 3     -gx: our own WinHelp compiler and CHM writer run in process
//             (no outside program is found, PATH names an empty folder)
//   bit 6     -v: the table dumps
//   bit 7     the first line of the rest holds option values split by "|":
//             -c, -co, -header, -footer, -bc, -bw, -f, -h1; -op is on
// The rest is the source, used as the pre-processor file as it stands: the
// fuzzer tests our passes, not the pre-processor. So "3" starts a CHM seed
// and ";" a CHM seed with -gx.
//
// Besides the sanitizers' checks, every run must end with status 0 or 1,
// with a fatal report ending its listing exactly when the status is 1, leave
// the companion files beside the source as they were, and write or delete
// nothing in the folders around its own.
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "helpreader/compilation.h"
#include "helpwriter/preprocessor.h"
#include "quillark/command_line.h"

namespace {

namespace fs = std::filesystem;

// The companions that sources refer to (images, topic includes,
// passthrough files), written beside every source.
struct Companion {
  std::string name;
  std::string bytes;
};

struct Watch {
  int descriptor;
  std::string folder;
  // The working folder and the program's folder hold libFuzzer's files and
  // whatever else is written there: only names a run would form count.
  bool only_run_names;
};

struct FuzzSetup {
  std::string root;   // this process's folder: outer/ and no_programs/
  std::string outer;  // holds the run's folder and nothing else
  std::string run;    // the run's folder, made afresh for every input
  std::vector<Companion> companions;
  int inotify = -1;
  std::vector<Watch> watches;
};

constexpr std::string_view kRootPrefix = "quillark_compile_fuzz_";
constexpr std::string_view kRunName = "run";
constexpr std::string_view kFormats[5] = {"NONE", "HLP", "RTF", "CHM", "HTML"};
constexpr std::string_view kOptionSwitches[] = {"-c",  "-co", "-header", "-footer",
                                                "-bc", "-bw", "-f",      "-h1"};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "compile_fuzz: %s\n", message.c_str());
  std::fflush(stderr);
  std::abort();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

bool WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A tmpfs keeps the many small files of every run off the disk.
fs::path ScratchBase() {
  std::error_code error;
  if (fs::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return fs::temp_directory_path();
}

// Folders of earlier fuzzing processes that died without cleaning up.
void RemoveStaleRoots(const fs::path& base) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(base, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(kRootPrefix)) continue;
    const std::string pid = name.substr(kRootPrefix.size());
    if (pid.empty() || fs::exists("/proc/" + pid, error)) continue;
    fs::remove_all(entry.path(), error);
  }
}

std::vector<Companion> LoadCompanions() {
  const std::string source_dir = QUILLARK_SOURCE_DIR;
  const std::pair<const char*, const char*> files[] = {
      {"quill.bmp", "samples/quill.bmp"},
      {"more.txt", "samples/more.txt"},
      {"pass_html.txt", "samples/pass_html.txt"},
      {"pass_rtf.txt", "samples/pass_rtf.txt"},
      {"other.txt", "tests/e2e/finishing/other.txt"},
      {"logo.bmp", "tests/e2e/html_family/logo.bmp"},
      {"pic.bmp", "tests/e2e/rtf_family/pic.bmp"},
  };
  std::vector<Companion> companions;
  for (const auto& [name, path] : files) {
    std::string bytes = ReadFile(source_dir + "/" + path);
    if (bytes.empty()) {
      std::fprintf(stderr, "compile_fuzz: no companion %s/%s, runs go without it\n",
                   source_dir.c_str(), path);
      continue;
    }
    companions.push_back({name, std::move(bytes)});
  }
  return companions;
}

void AddWatch(FuzzSetup& setup, const std::string& folder, bool only_run_names) {
  for (const Watch& watch : setup.watches) {
    if (watch.folder == folder) return;
  }
  const int descriptor = inotify_add_watch(
      setup.inotify, folder.c_str(),
      IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB);
  if (descriptor < 0) Fail("cannot watch " + folder + ": " + std::strerror(errno));
  setup.watches.push_back({descriptor, folder, only_run_names});
}

FuzzSetup& Setup() {
  static FuzzSetup* const setup = [] {
    auto* s = new FuzzSetup;
    const fs::path base = ScratchBase();
    RemoveStaleRoots(base);
    const fs::path root = base / (std::string(kRootPrefix) + std::to_string(getpid()));
    s->root = root.string();
    s->outer = (root / "outer").string();
    s->run = (root / "outer" / kRunName).string();
    std::error_code error;
    fs::create_directories(s->outer, error);
    fs::create_directories(root / "no_programs", error);
    if (!fs::is_directory(s->outer, error) || !fs::is_directory(root / "no_programs", error)) {
      Fail("cannot make the folders in " + s->root);
    }
    s->companions = LoadCompanions();

    // Two levels around the run's folder, wholly; the working folder and the
    // program's folder (its image assets are copied from there), which others
    // write to as well, for the names a run forms.
    s->inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (s->inotify < 0) Fail(std::string("no inotify: ") + std::strerror(errno));
    AddWatch(*s, fs::current_path().string(), true);
    AddWatch(*s, s->outer, false);
    AddWatch(*s, s->root, false);
    AddWatch(*s, fs::read_symlink("/proc/self/exe").parent_path().string(), true);

    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(Setup().root, ignored);
    });
    return s;
  }();
  return *setup;
}

// The names a run forms beside its source: the source's own name with other
// extensions, the temporary include files, the CHM page folder and the image
// assets.
bool IsRunName(std::string_view name) {
  return name.starts_with("book") || name.starts_with("include_") || name == "temp" ||
         name.starts_with("quillark_");
}

// Everything the run did in the watched folders besides making and removing
// its own folder is a fault.
void CheckNothingTouchedOutside(FuzzSetup& setup) {
  alignas(struct inotify_event) char buffer[16384];
  while (true) {
    const ssize_t length = read(setup.inotify, buffer, sizeof buffer);
    if (length <= 0) return;
    for (ssize_t offset = 0; offset < length;) {
      const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + offset);
      offset += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
      if ((event->mask & IN_Q_OVERFLOW) != 0) Fail("inotify queue overflowed");
      const std::string_view name = event->len > 0 ? std::string_view(event->name) : "";
      for (const Watch& watch : setup.watches) {
        if (watch.descriptor != event->wd) continue;
        if (watch.folder == setup.outer && name == kRunName) break;
        if (watch.only_run_names && !IsRunName(name)) break;
        Fail("the run touched \"" + watch.folder + "/" + std::string(name) +
             "\" outside its folder (inotify mask " + std::to_string(event->mask) + ")");
      }
    }
  }
}

// The kind of a report line: the first kind word on it. What follows the
// kind is the message, which may quote source text that looks like one.
std::string_view KindOf(std::string_view line) {
  std::string_view kind;
  std::size_t first = std::string_view::npos;
  for (std::string_view mark : {": Fatal : ", ": Error : ", ": Warning : "}) {
    const std::size_t at = line.find(mark);
    if (at < first) {
      first = at;
      kind = mark;
    }
  }
  return kind;
}

// A run that a fatal report ended says so in the last line of its listing;
// a finished run has no fatal line.
void CheckListing(const FuzzSetup& setup, int status) {
  constexpr std::string_view kFatalMark = ": Fatal : ";
  const std::string listing = ReadFile(setup.run + "/book.lst");
  std::string_view text = listing;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  if (status == 1) {
    const std::size_t line_start = text.find_last_of("\r\n");
    const std::string_view last =
        line_start == std::string_view::npos ? text : text.substr(line_start + 1);
    if (KindOf(last) != kFatalMark) {
      Fail("status 1 without a fatal report at the end of the listing:\n" + listing);
    }
    return;
  }
  // The reports end where the table dump of -v begins; a name in the dump
  // may read like a report.
  const std::size_t dump = text.find(std::string(80, '-'));
  if (dump != std::string_view::npos) text = text.substr(0, dump);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (KindOf(text.substr(0, end)) == kFatalMark)
      Fail("status 0 after a fatal report:\n" + listing);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

void CheckCompanionsKept(const FuzzSetup& setup) {
  for (const Companion& companion : setup.companions) {
    if (ReadFile(setup.run + "/" + companion.name) != companion.bytes) {
      Fail("the run changed or removed the companion file " + companion.name);
    }
  }
}

// Option values from the first line: at most one per switch, cut at a NUL
// as a command line would be.
std::vector<std::string> OptionArguments(std::string_view line) {
  std::vector<std::string> arguments;
  for (std::string_view name : kOptionSwitches) {
    const std::size_t bar = line.find('|');
    std::string_view value = line.substr(0, bar);
    value = value.substr(0, value.find('\0'));
    if (!value.empty()) arguments.push_back(std::string(name) + "=" + std::string(value));
    if (bar == std::string_view::npos) break;
    line.remove_prefix(bar + 1);
  }
  arguments.push_back("-op");
  return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The program's console lines would drown the fuzzer's own.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) Fail("cannot silence stdout");
  FuzzSetup& setup = Setup();
  // No outside help compiler may be found; the built-in ones run instead.
  setenv("PATH", (setup.root + "/no_programs").c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  FuzzSetup& setup = Setup();
  const std::uint8_t choice = data[0];
  std::string_view source(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::vector<std::string> arguments = {"-i", setup.run + "/book", "-g",
                                        std::string(kFormats[(choice & 7) % 5])};
  if ((choice & 0x08) != 0) arguments.push_back("-gx");
  if ((choice & 0x40) != 0) arguments.push_back("-v");
  if ((choice & 0x80) != 0) {
    const std::size_t line_end = source.find('\n');
    for (std::string& argument : OptionArguments(source.substr(0, line_end))) {
      arguments.push_back(std::move(argument));
    }
    source = line_end == std::string_view::npos ? std::string_view() : source.substr(line_end + 1);
  }

  std::error_code error;
  fs::create_directory(setup.run, error);
  if (error) Fail("cannot make " + setup.run + ": " + error.message());
  for (const Companion& companion : setup.companions) {
    WriteFile(setup.run + "/" + companion.name, companion.bytes);
  }
  WriteFile(setup.run + "/book.txt", source);

  const quillark::CommandLineOutcome outcome =
      quillark::ReadCommandLine(quillark::SplitArguments(arguments));
  if (outcome.options.has_value()) {
    const quillark::PreprocessStep copy_source = [source](std::string_view, const std::string&,
                                                          const std::string& preprocessed) {
      quillark::PreprocessResult result;
      if (!WriteFile(preprocessed, source))
        result.message = "cannot write \"" + preprocessed + "\"";
      return result;
    };
    const int status = quillark::RunCompilation(*outcome.options, copy_source);
    if (status != 0 && status != 1) Fail("exit status " + std::to_string(status));
    CheckListing(setup, status);
    CheckCompanionsKept(setup);
  } else if (outcome.exit_status != 2 || outcome.console_text.empty()) {
    Fail("a refusal without its status or its message: " + outcome.console_text);
  } else if (!source.empty() && (choice & 0x80) == 0) {
    // Without option values from the input, only an empty source may be refused.
    Fail("refused: " + outcome.console_text);
  }

  fs::remove_all(setup.run, error);
  if (error) Fail("cannot remove " + setup.run + ": " + error.message());
  CheckNothingTouchedOutside(setup);
  return 0;
}
