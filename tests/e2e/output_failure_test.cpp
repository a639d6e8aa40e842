// A page the output pass cannot write ends the run at the line that first
// wrote to it. The pages are written behind the pass, so the failure is found
// later than it happens; what the user sees must not show it: the report
// names the failed line, nothing the pass did after that line shows (no
// later report, no later progress dot, no later page), and the pages of an
// earlier run that the pass had not reached go as they would have.
#include <filesystem>
#include <set>
#include <string>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

const char* const kTopics[] = {"One", "Two", "Three", "Four", "Five"};
constexpr int kTextLines = 80;

// Five topics of 83 lines each, "Three" starting at line 167; with
// `missing_image`, "Four" ends with a picture that does not exist, which
// every pass reports at line 332.
std::string Source(bool missing_image) {
  std::string text;
  for (const char* name : kTopics) {
    text += std::string("<topic>") + name + "</topic>\n<head1>" + name + "</head1>\n";
    for (int k = 0; k < kTextLines; ++k) {
      text += "Line " + std::to_string(k) + " of " + name +
              " with <bold>some</bold> text and a <jump_topic>One</jump_topic> jump.\n";
    }
    if (missing_image && std::string(name) == "Four") text += "<img_left>missing.bmp</img_left>\n";
    text += "<endtopic/>\n";
  }
  return text;
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
  TempDir fresh;
  WriteFile(fresh.File("book.txt"), Source(missing_image));
  ASSERT_EQ(RunQuillark({"-i", "book", "-g", "HTML"}, fresh.path()).exit_status, 0);

  TempDir dir;
  WriteFile(dir.File("book.txt"), Source(missing_image));
  // The third page cannot be written: a folder has its name. The fourth and
  // fifth are pages of an earlier run.
  std::filesystem::create_directories(dir.File("book/THREE.html"));
  WriteFile(dir.File("book/FOUR.html"), "earlier");
  WriteFile(dir.File("book/FIVE.html"), "earlier");
  const RunResult run = RunQuillark({"-i", "book", "-g", "HTML"}, dir.path());

  EXPECT_EQ(run.exit_status, 1);
  // One dot in the output pass: line 100; lines 200 and 300 were never reached.
  const std::string last_pass = "Pass 4 (creating output files)";
  ASSERT_NE(run.out.rfind(last_pass), std::string::npos) << run.out;
  EXPECT_EQ(run.out.substr(run.out.rfind(last_pass)), last_pass + ".");
  const std::string image = dir.File("missing.bmp");
  const std::string warning = dir.File("book.pp") +
                              "(  332): Warning : File is empty or does not exist \"" + image +
                              "\"\r\n";
  // Passes 2 and 3 reported the picture; the output pass never came to it.
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            (missing_image ? warning + warning : std::string()) + dir.File("book.pp") +
                "(  167): Fatal : Cannot write \"" + dir.File("book/THREE.html") +
                "\": Is a directory\r\n");
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

}  // namespace
}  // namespace quillark::e2e
