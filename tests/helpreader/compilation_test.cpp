// Whole compilations in process, with the pre-processor step given by the
// test: the source is taken as it is, or the step leaves a file the passes
// cannot read.
#include "helpreader/compilation.h"

#include <filesystem>
#include <string>

#include "gtest/gtest.h"
#include "runtime/files.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

using testing_support::TempDir;

// Copies the source to the pre-processor file, as gpp would with nothing to expand.
PreprocessResult CopySource(std::string_view, const std::string& source, const std::string& pp) {
  std::filesystem::copy_file(source, pp, std::filesystem::copy_options::overwrite_existing);
  return {};
}

class CompilationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("book.txt", "<topic>Intro</topic>\n<head1>Intro</head1>\nText.\n<endtopic/>\n");
    options_.input = dir_.File("book");
  }
  TempDir dir_;
  CompilerOptions options_;
};

TEST_F(CompilationTest, RunsTheSourceAsItIs) {
  options_.format = "HTML";
  EXPECT_EQ(RunCompilation(options_, CopySource), 0);
  EXPECT_EQ(dir_.Read("book.lst"), dir_.File("book.txt") + ": 0 errors.\r\n");
  EXPECT_NE(dir_.Read("book/INTRO.html").find("Text.<br/>"), std::string::npos);
}

// A pre-processor file the passes cannot read ends the run: never an empty
// help with "0 errors.".
TEST_F(CompilationTest, UnreadablePreprocessorFileIsFatal) {
  options_.format = "RTF";
  auto leave_a_folder = [](std::string_view, const std::string&, const std::string& pp) {
    std::filesystem::create_directory(pp);
    return PreprocessResult{};
  };
  EXPECT_EQ(RunCompilation(options_, leave_a_folder), 1);
  EXPECT_EQ(dir_.Read("book.lst"), dir_.File("book.txt") + ": Fatal : Cannot read \"" +
                                       dir_.File("book.pp") + "\": not a regular file\r\n");
  EXPECT_FALSE(runtime::FileExists(dir_.File("book.rtf")));
}

// The step's failure and its own messages reach the listing, and end the run.
TEST_F(CompilationTest, PreprocessorFailureIsFatalWithItsMessages) {
  options_.format = "NONE";
  auto fail = [](std::string_view, const std::string&, const std::string&) {
    return PreprocessResult{"Cannot run pre-processor, it returned error number 2.", {"why"}};
  };
  EXPECT_EQ(RunCompilation(options_, fail), 1);
  const std::string source = dir_.File("book.txt");
  EXPECT_EQ(dir_.Read("book.lst"),
            source + ": Error : gpp: why\r\n" + source +
                ": Error : Cannot run pre-processor, it returned error number 2.\r\n");
}

// The pages of an earlier run go even when the run ends before any pass
// has written a page.
TEST_F(CompilationTest, FailedRunLeavesNoEarlierPage) {
  options_.format = "HTML";
  std::filesystem::create_directory(dir_.File("book"));
  dir_.Write("book/INTRO.html", "earlier");
  dir_.Write("book/GONE.html", "earlier");
  auto fail = [](std::string_view, const std::string&, const std::string&) {
    return PreprocessResult{"Cannot run pre-processor, it returned error number 2.", {}};
  };
  EXPECT_EQ(RunCompilation(options_, fail), 1);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.File("book")));
}

}  // namespace
}  // namespace quillark
