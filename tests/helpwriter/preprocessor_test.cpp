#include "helpwriter/preprocessor.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/process.h"

namespace quillark {
namespace {

TEST(PreprocessorArguments, ExactArgv) {
  const std::vector<std::string> expected = {"/d/my book.txt",
                                             "-o",
                                             "/d/my book.pp",
                                             "+c",
                                             "<comment>",
                                             "</comment>",
                                             "+z",
                                             "-U",
                                             "<",
                                             "/>",
                                             "\\B",
                                             "=",
                                             "/>",
                                             "<",
                                             ">",
                                             "#",
                                             "",
                                             "-D",
                                             "now=2024-01-02 03:04:05.0060",
                                             "-D",
                                             "format=HTML"};
  EXPECT_EQ(
      PreprocessorArguments("HTML", "/d/my book.txt", "/d/my book.pp", "2024-01-02 03:04:05.0060"),
      expected);
  EXPECT_EQ(PreprocessorProgram(), "gpp");
}

// A scratch folder with a source in it; PATH is put back after each test.
class RunPreprocessorTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillark_pp_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    source_ = folder_ + "/book.txt";
    pp_ = folder_ + "/book.pp";
    if (const char* path = getenv("PATH")) saved_path_ = path;
  }
  void TearDown() override {
    if (saved_path_) {
      setenv("PATH", saved_path_->c_str(), 1);
    } else {
      unsetenv("PATH");
    }
    const std::string command = "rm -rf '" + folder_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  static void Write(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  static void RequireGpp() {
    ASSERT_NE(runtime::FindInPath("gpp"), "") << "gpp must be installed (scripts/bootstrap)";
  }

  std::string folder_;
  std::string source_;
  std::string pp_;
  std::optional<std::string> saved_path_;
};

TEST_F(RunPreprocessorTest, EmptyNames) {
  EXPECT_EQ(RunPreprocessor("HLP", "", pp_),
            "Cannot run pre-processor, the input file is missing or invalid");
  EXPECT_EQ(RunPreprocessor("HLP", source_, ""),
            "Cannot run pre-processor, the pre-processor file is missing or invalid");
}

TEST_F(RunPreprocessorTest, MissingProgramRemovesOldOutput) {
  Write(source_, "text\n");
  Write(pp_, "old\n");
  const std::string empty_folder = folder_ + "/bin";
  ASSERT_EQ(mkdir(empty_folder.c_str(), 0755), 0);
  setenv("PATH", empty_folder.c_str(), 1);
  EXPECT_EQ(RunPreprocessor("HLP", source_, pp_),
            "Cannot run pre-processor, the exe file is missing: \"gpp\"");
  EXPECT_FALSE(runtime::FileExists(pp_));
}

TEST_F(RunPreprocessorTest, RealGppWritesThePreprocessedFile) {
  RequireGpp();
  Write(source_, "a <format/> b<comment> hidden </comment>\n");
  EXPECT_EQ(RunPreprocessor("HLP", source_, pp_), "");
  EXPECT_EQ(runtime::ReadWholeFile(pp_), "a HLP b\n");
}

TEST_F(RunPreprocessorTest, FailingRunLeavesNoOutput) {
  RequireGpp();
  EXPECT_EQ(RunPreprocessor("HLP", folder_ + "/missing.txt", pp_),
            "Cannot run pre-processor, it returned error number 1.");
  EXPECT_FALSE(runtime::FileExists(pp_));
}

TEST_F(RunPreprocessorTest, EmptyOutputIsAFailure) {
  RequireGpp();
  Write(source_, "");
  EXPECT_EQ(RunPreprocessor("RTF", source_, pp_),
            "Cannot run pre-processor, the output file \"" + pp_ + "\" could not be created.");
  EXPECT_FALSE(runtime::FileExists(pp_));
}

TEST_F(RunPreprocessorTest, OverlongArgumentsAreRefused) {
  RequireGpp();
  const std::string long_source = folder_ + "/" + std::string(1000, 's') + ".txt";
  EXPECT_EQ(RunPreprocessor("HLP", long_source, pp_),
            "Cannot run pre-processor, Exec() caused error 906.");
}

}  // namespace
}  // namespace quillark
