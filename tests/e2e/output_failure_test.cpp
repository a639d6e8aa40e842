// A page the output pass cannot write ends the run at the line that first
// wrote to it. The pages are written behind the pass, so the failure is found
// later than it happens; what the user sees must not show it: the report
// names the failed line, nothing the pass did after that line shows (no
// later report, no later progress dot, no later page), and the pages of an
// earlier run that the pass had not reached go as they would have.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quillark::e2e {
namespace {

const char* const kTopics[] = {"One", "Two", "Three", "Four", "Five"};
// The first topic is long: the pages are written behind only for a source
// of a megabyte or more.
constexpr int kFirstTopicLines = 14000;
constexpr int kTextLines = 80;

// Five topics; with `missing_image`, "Four" ends with a picture that does not
// exist, which every pass reports.
std::string Source(bool missing_image) {
  std::string text;
  for (const char* name : kTopics) {
    text += std::string("<topic>") + name + "</topic>\n<head1>" + name + "</head1>\n";
    const int lines = std::string(name) == "One" ? kFirstTopicLines : kTextLines;
    for (int k = 0; k < lines; ++k) {
      text += "Line " + std::to_string(k) + " of " + name +
              " with <bold>some</bold> text and a <jump_topic>One</jump_topic> jump.\n";
    }
    if (missing_image && std::string(name) == "Four") text += "<img_left>missing.bmp</img_left>\n";
    text += "<endtopic/>\n";
  }
  return text;
}

// The number of the line of `source` that starts with `start`.
int LineOf(const std::string& source, const std::string& start) {
  const std::size_t at = source.find("\n" + start);
  return static_cast<int>(std::count(source.begin(), source.begin() + at + 1, '\n')) + 1;
}

// A line number as the listing shows it: at least five wide.
std::string ListedLine(int line) {
  std::string text = std::to_string(line);
  return std::string(text.size() < 5 ? 5 - text.size() : 0, ' ') + text;
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

class OutputFailure : public ::testing::TestWithParam<bool> {};

TEST_P(OutputFailure, EndsTheRunAtTheLineThatFirstWroteThePage) {
  const bool missing_image = GetParam();
  const std::string source = Source(missing_image);
  ASSERT_GE(source.size(), std::size_t{1} << 20) << "written behind from 1 MiB on";
  // Written behind without a failure, every dot shows.
  TempDir fresh;
  WriteFile(fresh.File("book.txt"), source);
  const RunResult good = RunQuillark({"-i", "book", "-g", "HTML"}, fresh.path());
  ASSERT_EQ(good.exit_status, 0);
  const auto lines = static_cast<std::size_t>(std::count(source.begin(), source.end(), '\n'));
  EXPECT_NE(good.out.find("Pass 4 (creating output files)" + std::string(lines / 100, '.') + "\n"),
            std::string::npos)
      << good.out;

  TempDir dir;
  WriteFile(dir.File("book.txt"), source);
  // The third page cannot be written: a folder has its name. The fourth and
  // fifth are pages of an earlier run.
  std::filesystem::create_directories(dir.File("book/THREE.html"));
  WriteFile(dir.File("book/FOUR.html"), "earlier");
  WriteFile(dir.File("book/FIVE.html"), "earlier");
  const RunResult run = RunQuillark({"-i", "book", "-g", "HTML"}, dir.path());

  EXPECT_EQ(run.exit_status, 1);
  // The page of "Three" is first written at its topic line; the output pass
  // shows the dots of the lines up to there and none after.
  const int failed_line = LineOf(source, "<topic>Three");
  const std::string last_pass = "Pass 4 (creating output files)";
  ASSERT_NE(run.out.rfind(last_pass), std::string::npos) << run.out;
  EXPECT_EQ(run.out.substr(run.out.rfind(last_pass)),
            last_pass + std::string(static_cast<std::size_t>(failed_line / 100), '.'));
  const std::string image = dir.File("missing.bmp");
  const std::string warning = dir.File("book.pp") + "(" + ListedLine(LineOf(source, "<img_left>")) +
                              "): Warning : File is empty or does not exist \"" + image + "\"\r\n";
  // Passes 2 and 3 reported the picture; the output pass never came to it.
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            (missing_image ? warning + warning : std::string()) + dir.File("book.pp") + "(" +
                ListedLine(failed_line) + "): Fatal : Cannot write \"" +
                dir.File("book/THREE.html") + "\": Is a directory\r\n");
  EXPECT_EQ(FilesIn(dir.File("book")), (std::set<std::string>{"ONE.html", "TWO.html", "THREE.html",
                                                              "_contents.html", "_index.html"}));
  for (const char* page : {"ONE.html", "TWO.html"}) {
    EXPECT_TRUE(ReadFile(dir.File(std::string("book/") + page)) ==
                ReadFile(fresh.File(std::string("book/") + page)))
        << page;
  }
}

INSTANTIATE_TEST_SUITE_P(LaterReport, OutputFailure, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "ReportAfterIt" : "NothingAfterIt";
                         });

#ifndef _WIN32
// Runs quillark in `directory` with files limited to `limit` bytes: a write
// beyond it fails (the signal it would raise is ignored). Returns the exit
// status and standard error.
RunResult RunWithFileSizeLimit(const std::vector<std::string>& arguments,
                               const std::string& directory, rlim_t limit) {
  const std::string err_file = directory + "/.stderr";
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit size_limit{limit, limit};
    const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = open("/dev/null", O_WRONLY);
    if (setrlimit(RLIMIT_FSIZE, &size_limit) != 0 || chdir(directory.c_str()) != 0 || err < 0 ||
        null < 0 || dup2(null, 1) < 0 || dup2(err, 2) < 0) {
      _exit(127);
    }
    std::vector<std::string> argv_text = {QUILLARK_BINARY};
    argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : argv_text) argv.push_back(text.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.exit_status = WEXITSTATUS(status);
  }
  result.err = ReadFile(err_file);
  std::filesystem::remove(err_file);
  return result;
}

// The popup pass keeps only the text it cuts the popups' bodies from, yet a
// fatal report in it leaves on disk all the pass had written until then, as
// ever. Here the listing stops taking reports (a file size limit) while the
// popup pass reports a missing picture the first pass reported before.
TEST(PopupPassFailure, LeavesAllThePassHadWritten) {
  TempDir dir;
  std::string source =
      "<topic>One</topic>\n<head1>One</head1>\nFirst words of One.\n<endtopic/>\n"
      "<popup>Pop</popup>\nWords of the popup.\n<endtopic/>\n"
      "<topic>Two</topic>\n<head1>Two</head1>\n";
  constexpr int kFirstPictureLine = 10;
  constexpr int kPictures = 100;
  for (int line = kFirstPictureLine; line < kFirstPictureLine + kPictures; ++line) {
    source += "Words at line " + std::to_string(line) + ". <img_left>missing.bmp</img_left>\n";
  }
  source += "<endtopic/>\n<topic>Three</topic>\n<head1>Three</head1>\nLast words.\n<endtopic/>\n";
  WriteFile(dir.File("book.txt"), source);
  const std::string warning = dir.File("book.pp") + "(" + ListedLine(kFirstPictureLine) +
                              "): Warning : File is empty or does not exist \"" +
                              dir.File("missing.bmp") + "\"\r\n";
  // The first pass's reports fit, and half of the popup pass's.
  const auto limit = static_cast<rlim_t>(warning.size() * (kPictures + kPictures / 2));
  const RunResult run = RunWithFileSizeLimit({"-i", "book", "-g", "RTF"}, dir.path(), limit);

  EXPECT_EQ(run.exit_status, 1);
  const std::string failed = "(" + ListedLine(kFirstPictureLine + kPictures / 2) + "): Warning";
  ASSERT_NE(run.err.find("Cannot write the listing file"), std::string::npos) << run.err;
  ASSERT_NE(run.err.find(failed), std::string::npos) << run.err;
  const std::string document = ReadFile(dir.File("book.rtf"));
  EXPECT_LT(document.size(), limit);
  // Every line before the failed one, popup and topics alike, and nothing after.
  EXPECT_NE(document.find("First words of One."), std::string::npos) << document;
  EXPECT_NE(document.find("Words of the popup."), std::string::npos);
  const int failed_line = kFirstPictureLine + kPictures / 2;
  EXPECT_NE(document.find("Words at line " + std::to_string(failed_line - 1) + "."),
            std::string::npos);
  EXPECT_EQ(document.find("Words at line " + std::to_string(failed_line) + "."), std::string::npos);
  EXPECT_EQ(document.find("Last words."), std::string::npos);
}
#endif

}  // namespace
}  // namespace quillark::e2e
