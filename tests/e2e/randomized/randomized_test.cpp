// The whole program on a few hundred generated sources, well-formed and
// hostile, in every format, with the real gpp: whatever the source, the run
// ends with status 0 or 1 in time, reports a fatal stop exactly when it makes
// one, writes the files it names, and touches nothing it does not own.
//
// QUILLARK_RANDOM_SOURCES (default 240, 120 under the sanitizers) and
// QUILLARK_RANDOM_SEED (default 1) choose the sources, QUILLARK_RANDOM_ONLY
// one source number of them; QUILLARK_RANDOM_TIMEOUT is the time limit of one
// run in seconds (default 60); QUILLARK_RANDOM_KEEP names a folder that
// receives every failing case told (every case with QUILLARK_RANDOM_KEEP_ALL=1);
// QUILLARK_RANDOM_REPORT is how many failing runs a shard tells (default 40).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"
#include "e2e/randomized/guarded_run.h"
#include "e2e/randomized/random_source.h"
#include "e2e/randomized/run_checks.h"
#include "gtest/gtest.h"

extern char** environ;

namespace quillark::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kShards = 8;
const std::vector<std::string> kFormats = {"NONE", "HLP", "RTF", "CHM", "HTML"};

long Setting(const char* name, long fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::strtol(value, nullptr, 0) : fallback;
}

std::string SettingText(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// A folder holding only gpp, to serve as PATH: the runs find the real
// pre-processor and no outside HTML Help compiler, so -gx uses the built-in
// CHM writer.
std::string PreprocessorOnlyPath(const std::string& scratch) {
  const std::string path = SettingText("PATH");
  std::stringstream folders(path);
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::string candidate = (folder.empty() ? "." : folder) + "/gpp";
    if (access(candidate.c_str(), X_OK) == 0) {
      const std::string bin = scratch + "/bin";
      fs::create_directories(bin);
      fs::create_symlink(fs::canonical(candidate), bin + "/gpp");
      return bin;
    }
  }
  return "";
}

std::vector<std::string> RunEnvironment(const std::string& path) {
  const auto replaced = [](const std::string& text) {
    for (const char* name : {"PATH=", "ASAN_OPTIONS=", "UBSAN_OPTIONS=", "LSAN_OPTIONS="}) {
      if (text.rfind(name, 0) == 0) return true;
    }
    return false;
  };
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!replaced(*entry)) environment.push_back(*entry);
  }
  environment.push_back("PATH=" + path);
  // A sanitizer's report must not pass for the fatal status 1.
  environment.push_back("ASAN_OPTIONS=exitcode=86");
  environment.push_back("UBSAN_OPTIONS=exitcode=86:halt_on_error=1:print_stacktrace=1");
  environment.push_back("LSAN_OPTIONS=exitcode=86");
  return environment;
}

void Write(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  WriteFile(path, bytes);
}

// How one format's run of a source is made: the command line, where the
// source folder lies, from where the program is started.
struct RunSetup {
  RunPlan plan;
  std::string source_dir = "src";
  int invocation = 0;  // 0 bare name, 1 full path, 2 folder/name, 3 "-i=name"
};

RunSetup PlanRun(Random& rng, const GeneratedSource& source, const std::string& format) {
  RunSetup setup;
  setup.plan.format = format;
  setup.plan.compile = rng.Percent(format == "HLP" || format == "CHM" ? 50 : 30);
  setup.plan.verbose = rng.Percent(10);
  const int folder = rng.Below(100);
  if (folder < 12) {
    setup.source_dir = "my docs";
  } else if (folder < 17) {
    setup.source_dir = "v1.2";
  } else if (folder < 20) {
    setup.source_dir = "d\xC3\xA9j\xC3\xA0 vu";
  } else if (folder < 22 && !source.well_formed) {
    // The full path of the source around 255 characters.
    const int total = rng.Between(236, 300);
    const int used = 30 + static_cast<int>(source.name.size()) + 4;
    std::string deep;
    for (int left = total - used; left > 0; left -= 61) {
      deep += (deep.empty() ? "" : "/") +
              std::string(static_cast<std::size_t>(std::min(left, 60)), 'p');
    }
    setup.source_dir = deep.empty() ? "src" : deep;
    setup.plan.may_refuse = true;
  }
  if (source.name.find_first_of("*?\"\\") != std::string::npos) setup.plan.may_refuse = true;
  setup.invocation = rng.Below(4);
  std::vector<std::string>& options = setup.plan.options;
  static const std::vector<std::string> kBenignCaptions = {"My Help", "Help & more", "a\\b{c}",
                                                           "<bold>Tagged</bold> help"};
  static const std::vector<std::string> kOddCaptions = {
      "It\"s Help",
      "\xC3\x9C\x62\x65r \xE2\x80\x9C"
      "quotes\xE2\x80\x9D",
      std::string(300, 'C'), "semi;colon,comma=equals", "<topic>x</topic>"};
  if (rng.Percent(30)) {
    options.push_back("-c");
    options.push_back(source.well_formed || rng.OneIn(2) ? rng.Pick(kBenignCaptions)
                                                         : rng.Pick(kOddCaptions));
  }
  if (rng.Percent(15)) options.insert(options.end(), {"-co", "(c) 2024 <Me> & co"});
  if (rng.Percent(15)) {
    options.push_back("-f");
    options.push_back(rng.OneIn(2) ? "Verdana,11" : "Courier New,9");
  }
  if (rng.Percent(8)) options.insert(options.end(), {"-h1", "Arial,20", "-h3", "Times,12"});
  if (rng.Percent(10)) {
    options.insert(options.end(), {"-bc", "Home", "-bw", "http://www.example.com"});
  }
  if (rng.Percent(15)) {
    options.insert(options.end(), {"-header", "<italic>Head</italic> page <page/>\\nline two",
                                   "-footer", "Foot & <bold>bold</bold>"});
  }
  if (rng.Percent(10)) options.push_back("-op");
  if (!source.well_formed && rng.Percent(10)) {
    // Option values past the lengths the program keeps.
    options.insert(options.end(),
                   {"-header", std::string(2000, 'h') + "\\n" + std::string(600, '<'), "-f",
                    rng.OneIn(2) ? "," : "Font,-5", "-h2", std::string(300, 'F'), "-co",
                    std::string(400, '\xB0')});
  }
  if (setup.plan.verbose) options.push_back("-v");
  return setup;
}

std::string CommandText(const std::vector<std::string>& argv) {
  std::string text;
  for (std::size_t i = 1; i < argv.size(); ++i) {
    if (i > 1) text += ' ';
    text.append(1, '\'').append(argv[i]).append(1, '\'');
  }
  return text;
}

std::string Tail(const std::string& text, std::size_t lines) {
  const std::vector<std::string> all = ListingLines(text);
  std::string tail;
  for (std::size_t i = all.size() > lines ? all.size() - lines : 0; i < all.size(); ++i) {
    tail += "      " + all[i].substr(0, 300) + "\n";
  }
  return tail;
}

void WriteInputs(const GeneratedSource& source, const std::string& folder) {
  Write(folder + "/" + source.name + ".txt", source.text);
  for (const SideFile& file : source.files) {
    if (file.directory) {
      fs::create_directories(folder + "/" + file.path);
    } else {
      Write(folder + "/" + file.path, file.bytes);
    }
  }
}

class RandomizedRuns : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "quillark_random_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratch_ = pattern;
    path_ = PreprocessorOnlyPath(scratch_);
    ASSERT_FALSE(path_.empty()) << "gpp is not on PATH (scripts/bootstrap installs it)";
    environment_ = RunEnvironment(path_);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!scratch_.empty()) fs::remove_all(scratch_, ignored);
  }

  // Compiles `source` in one format in a fresh folder and reports what went
  // wrong.
  void RunOne(const GeneratedSource& source, int number, std::uint64_t seed,
              const std::string& format, Random& rng);

  std::string scratch_;
  std::string path_;
  std::vector<std::string> environment_;
  int failures_ = 0;
  int runs_ = 0;
  std::map<std::string, int> kinds_;  // failing runs by kind of violation
  double slowest_ = 0;                // seconds
};

void RandomizedRuns::RunOne(const GeneratedSource& source, int number, std::uint64_t seed,
                            const std::string& format, Random& rng) {
  const RunSetup setup = PlanRun(rng, source, format);
  const std::string root = scratch_ + "/run";
  std::error_code ignored;
  fs::remove_all(root, ignored);
  fs::create_directories(root);
  const std::string folder = root + "/" + setup.source_dir;
  // Decoys beside the source folder: files of the same names as the run's.
  const std::string& name = source.name;
  for (const std::string& decoy :
       {std::string("sibling.txt"), name + ".lst", name + ".html", name + ".txt",
        std::string("temp/keep.html"), name + "/keep.html"}) {
    Write(root + "/" + decoy, "decoy " + decoy + "\r\n");
  }
  WriteInputs(source, folder);
  // Bystanders beside the source.
  for (const std::string& bystander :
       {std::string("notes.tmp"), std::string("other.html"), std::string("sub/keep.txt"),
        name + ".txt.bak", std::string("other.rtf"), std::string("other.lst"),
        std::string("other_toc.tmp")}) {
    if (!fs::exists(folder + "/" + bystander)) Write(folder + "/" + bystander, "keep " + bystander);
  }

  RunLayout layout{root, setup.source_dir, folder + "/" + name};
  std::vector<std::string> argv = {QUILLARK_BINARY};
  std::string directory = folder;
  switch (setup.invocation) {
    case 1:
      argv.insert(argv.end(), {"-i", layout.input_path});
      directory = root;
      break;
    case 2:
      argv.insert(argv.end(), {"-i", setup.source_dir + "/" + name});
      directory = root;
      break;
    case 3:
      argv.push_back("-i=" + name);
      break;
    default:
      argv.insert(argv.end(), {"-i", name});
      break;
  }
  argv.insert(argv.end(), {"-g", format});
  if (setup.plan.compile) argv.push_back("-gx");
  argv.insert(argv.end(), setup.plan.options.begin(), setup.plan.options.end());

  RunEvidence evidence;
  evidence.parent_before = PictureOf(root, setup.source_dir);
  evidence.folder_before = PictureOf(folder);
  const std::string io = scratch_ + "/io";
  fs::create_directories(io);
  evidence.result = RunGuarded(argv, directory, environment_,
                               static_cast<double>(Setting("QUILLARK_RANDOM_TIMEOUT", 60)), io);
  evidence.parent_after = PictureOf(root, setup.source_dir);
  evidence.folder_after = PictureOf(folder);
  ++runs_;
  slowest_ = std::max(slowest_, evidence.result.seconds);

  const std::vector<Violation> violations = CheckRun(source, setup.plan, layout, evidence);
  const bool keep_all = Setting("QUILLARK_RANDOM_KEEP_ALL", 0) != 0;
  if (violations.empty() && !keep_all) return;
  std::set<std::string> kinds;
  for (const Violation& violation : violations) kinds.insert(violation.kind);
  for (const std::string& kind : kinds) ++kinds_[kind];
  // Every failing run is counted; the first ones of a shard are told whole.
  if (!violations.empty() && ++failures_ > Setting("QUILLARK_RANDOM_REPORT", 40)) return;
  const std::string case_name =
      "seed" + std::to_string(seed) + "-source" + std::to_string(number) + "-" + format;
  std::string message = "source " + std::to_string(number) + " of seed " + std::to_string(seed) +
                        " (" + source.traits + "), " + format + (setup.plan.compile ? " -gx" : "") +
                        ", run in \"" + fs::relative(directory, root).string() + "\" as " +
                        CommandText(argv) + ", " +
                        std::to_string(evidence.result.seconds).substr(0, 5) + " s\n";
  constexpr std::size_t kShown = 12;
  for (std::size_t i = 0; i < violations.size() && i < kShown; ++i) {
    message += "    [" + violations[i].kind + "] " + violations[i].detail + "\n";
  }
  if (violations.size() > kShown) {
    message += "    and " + std::to_string(violations.size() - kShown) + " more\n";
  }
  const std::string listing = ReadFile(layout.input_path + ".lst");
  if (!listing.empty()) message += "    listing ends:\n" + Tail(listing, 4);
  if (!evidence.result.err.empty())
    message += "    standard error:\n" + Tail(evidence.result.err, 4);
  const std::string keep = SettingText("QUILLARK_RANDOM_KEEP");
  if (!keep.empty()) {
    const std::string kept = keep + "/" + case_name;
    fs::remove_all(kept, ignored);
    WriteInputs(source, kept + "/inputs/" + setup.source_dir);
    fs::create_directories(kept + "/after");
    fs::copy(root, kept + "/after", fs::copy_options::recursive, ignored);
    Write(kept + "/command", "cd " + fs::relative(directory, root).string() + " && quillark " +
                                 CommandText(argv) + "\n" + message);
    message += "    kept in " + kept + "\n";
  }
  if (!violations.empty()) ADD_FAILURE() << message;
}

TEST_P(RandomizedRuns, EveryFormatEndsCleanly) {
  const int shard = GetParam();
  const std::uint64_t seed = static_cast<std::uint64_t>(Setting("QUILLARK_RANDOM_SEED", 1));
  const int sources =
      static_cast<int>(Setting("QUILLARK_RANDOM_SOURCES", QUILLARK_RANDOM_DEFAULT_SOURCES));
  const int only = static_cast<int>(Setting("QUILLARK_RANDOM_ONLY", -1));
  int well_formed = 0;
  int count = 0;
  for (int number = shard; number < sources; number += kShards) {
    if (only >= 0 && number != only) continue;
    const std::uint64_t source_seed = SourceSeed(seed, number);
    const GeneratedSource source = GenerateSource(source_seed);
    well_formed += source.well_formed ? 1 : 0;
    ++count;
    Random rng(source_seed ^ 0x5EED);
    for (const std::string& format : kFormats) RunOne(source, number, seed, format, rng);
  }
  const long reported = Setting("QUILLARK_RANDOM_REPORT", 40);
  if (failures_ > reported) ADD_FAILURE() << failures_ - reported << " more failing runs not shown";
  std::string by_kind;
  for (const auto& [kind, runs] : kinds_) by_kind += " " + kind + "=" + std::to_string(runs);
  std::printf("shard %d: %d sources (%d well-formed), %d runs (slowest %.2f s), %d failing%s\n",
              shard, count, well_formed, runs_, slowest_, failures_, by_kind.c_str());
}

INSTANTIATE_TEST_SUITE_P(Shards, RandomizedRuns, ::testing::Range(0, kShards),
                         [](const auto& info) { return "Shard" + std::to_string(info.param); });

}  // namespace
}  // namespace quillark::e2e
