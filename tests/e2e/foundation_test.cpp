// The whole program on small sources: console, listing file and exit status.
#include <sys/stat.h>

#include <ostream>
#include <string>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

constexpr char kSmallSource[] =
    "Text before the first topic.\n"
    "A second line.\n";

std::string Banner(const TempDir& dir) {
  return "Input File = " + dir.File("book.txt") + "\n" +
         "PreProcessor File = " + dir.File("book.pp") + "\n" + "Output File = \n" +
         "Listing File = " + dir.File("book.lst") + "\n";
}

TEST(Foundation, CleanRunPrintsBannerAndPassesAndSummarises) {
  TempDir dir;
  WriteFile(dir.File("book.txt"), kSmallSource);
  const RunResult run = RunQuillark({"-i", "book", "-g", "none"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out, Banner(dir) +
                         "Pass 1 (run pre-processor)\n"
                         "Pass 2 (finding topics)\n"
                         "Pass 3 (adding the popups)\n"
                         "Pass 4 (creating output files)\n");
  EXPECT_EQ(ReadFile(dir.File("book.lst")), dir.File("book.txt") + ": 0 errors.\r\n");
  EXPECT_TRUE(Exists(dir.File("book.pp")));
}

TEST(Foundation, FullPathInputNeedsNoCurrentDirectory) {
  TempDir dir;
  TempDir elsewhere;
  WriteFile(dir.File("book.txt"), kSmallSource);
  const RunResult run = RunQuillark({"-i", dir.File("book"), "-g=NONE"}, elsewhere.path());
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), dir.File("book.txt") + ": 0 errors.\r\n");
}

TEST(Foundation, RelativePathWithFolderIsResolved) {
  TempDir dir;
  mkdir(dir.File("docs").c_str(), 0755);
  WriteFile(dir.File("docs/book.txt"), kSmallSource);
  const RunResult run = RunQuillark({"-i", "docs/book", "-g", "NONE"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("docs/book.lst")), dir.File("docs/book.txt") + ": 0 errors.\r\n");
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string first_line;
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, ExitsWithTwoAndSaysWhy) {
  TempDir dir;
  WriteFile(dir.File("book.txt"), kSmallSource);
  WriteFile(dir.File("empty.txt"), "");
  const RunResult run = RunQuillark(GetParam().arguments, dir.path());
  EXPECT_EQ(run.exit_status, 2);
  EXPECT_EQ(run.out, GetParam().first_line + "\nUse \"Quillark -h\" for help.\n");
  EXPECT_FALSE(Exists(dir.File("book.lst")));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Refusal,
    ::testing::Values(
        RefusalCase{"NoArguments", {}, "The input file or the output format was not specified."},
        RefusalCase{
            "NoFormat", {"-i", "book"}, "The input file or the output format was not specified."},
        RefusalCase{"EmptySource",
                    {"-i", "empty", "-g", "RTF"},
                    "The input file \"empty.txt\" is empty or cannot be found."},
        RefusalCase{"MissingSource",
                    {"-i", "nobook", "-g", "RTF"},
                    "The input file \"nobook.txt\" is empty or cannot be found."},
        RefusalCase{"UnknownFormat",
                    {"-i", "book", "-g", "PDF"},
                    "The -g option must be used to specify HLP, RTF, CHM, HTML or NONE."},
        RefusalCase{"NoNamePart",
                    {"-i", "docs/", "-g", "RTF"},
                    "The input file should be a full path including a drive letter, \n"
                    "or just as a filename on its own."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Foundation, UsageTextExitsWithZero) {
  TempDir dir;
  const RunResult run = RunQuillark({"/?"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out.substr(0, 55), "\nConverts text files into formatted help files. Usage:\n");
}

TEST(Foundation, MissingPreprocessorIsFatal) {
  TempDir dir;
  TempDir empty_bin;
  WriteFile(dir.File("book.txt"), kSmallSource);
  const std::string path = empty_bin.path();
  const RunResult run = RunQuillark({"-i", "book", "-g", "NONE"}, dir.path(), &path);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.out, Banner(dir) + "Pass 1 (run pre-processor)");
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            dir.File("book.txt") +
                ": Error : Cannot run pre-processor, the exe file is missing: \"gpp\"\r\n");
}

// A pre-processor that fails ends the run with its error number and leaves
// neither its own file nor anything the first pass made while it read that
// file as it was written: a picture converted for the RTF document before
// the failure leaves no data file, as none is made when the pass waits.
struct FailingPreprocessor {
  const char* name;
  const char* script;  // of the fake gpp; "$3" is the file it writes
  const char* format;
};

class FailingPreprocessorRun : public testing::TestWithParam<FailingPreprocessor> {};

TEST_P(FailingPreprocessorRun, IsFatalAndLeavesNoFileOfItsOwn) {
  TempDir dir;
  TempDir bin;
  WriteFile(dir.File("book.txt"), kSmallSource);
  CopyCase("rtf_family/pic.bmp", dir.File("pic.bmp"));
  WriteFile(bin.File("gpp"), std::string("#!/bin/sh\n") + GetParam().script);
  chmod(bin.File("gpp").c_str(), 0755);
  const std::string path = bin.path() + ":/usr/bin:/bin";
  const RunResult run = RunQuillark({"-i", "book", "-g", GetParam().format}, dir.path(), &path);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(
      ReadFile(dir.File("book.lst")),
      dir.File("book.txt") + ": Error : Cannot run pre-processor, it returned error number 3.\r\n");
  EXPECT_FALSE(Exists(dir.File("book.pp")));
  EXPECT_FALSE(Exists(dir.File("pic_bmp.tmp")));
}

INSTANTIATE_TEST_SUITE_P(
    Foundation, FailingPreprocessorRun,
    testing::Values(FailingPreprocessor{"PartOfItsFile", "echo partial > \"$3\"\nexit 3\n", "NONE"},
                    FailingPreprocessor{"AfterAPicture",
                                        "printf '<topic>One</topic>\\n<img_left>pic.bmp</img_left>"
                                        "\\n' > \"$3\"\nsleep 1\nexit 3\n",
                                        "RTF"}),
    [](const testing::TestParamInfo<FailingPreprocessor>& info) {
      return std::string(info.param.name);
    });

TEST(Foundation, OverlongLineIsFatalAtItsLine) {
  TempDir dir;
  const std::string fits(8191, 'a');  // with its line feed exactly 8192 characters
  WriteFile(dir.File("book.txt"), "one\n" + fits + "\n" + fits + "b\nfour\n");
  const RunResult run = RunQuillark({"-i", "book", "-g", "NONE"}, dir.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.out, Banner(dir) + "Pass 1 (run pre-processor)\nPass 2 (finding topics)");
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            dir.File("book.pp") + "(    3): Fatal : Line buffer overflowed\r\n");
}

TEST(Foundation, ProgressDotsEveryHundredLines) {
  TempDir dir;
  std::string source;
  for (int i = 0; i < 250; ++i) source += "line\n";
  WriteFile(dir.File("book.txt"), source);
  const RunResult run = RunQuillark({"-i", "book", "-g", "NONE"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_NE(run.out.find("Pass 2 (finding topics)..\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Pass 4 (creating output files)..\n"), std::string::npos) << run.out;
}

TEST(Foundation, VerboseDumpsTheTablesAfterTheSummary) {
  TempDir dir;
  WriteFile(dir.File("book.txt"), kSmallSource);
  const RunResult run = RunQuillark({"-i", "book", "-g", "NONE", "-v"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            Expected("foundation/empty_tables.lst", dir.path(), true));
}

TEST(Foundation, SecondRunStartsFromScratchAndKeepsUnrelatedFiles) {
  TempDir dir;
  WriteFile(dir.File("book.txt"), kSmallSource);
  WriteFile(dir.File("notes.tmp"), "mine");
  WriteFile(dir.File("include_OLD.tmp"), "stale");
  ASSERT_EQ(RunQuillark({"-i", "book", "-g", "NONE"}, dir.path()).exit_status, 0);
  const std::string first = ReadFile(dir.File("book.lst"));
  ASSERT_EQ(RunQuillark({"-i", "book", "-g", "NONE"}, dir.path()).exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), first);
  EXPECT_EQ(ReadFile(dir.File("notes.tmp")), "mine");
  EXPECT_FALSE(Exists(dir.File("include_OLD.tmp")));
}

}  // namespace
}  // namespace quillark::e2e
