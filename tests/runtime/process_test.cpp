#include "runtime/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "runtime/files.h"
#include "runtime/output.h"

namespace quillark::runtime {
namespace {

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillark_process_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = std::filesystem::canonical(pattern).string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string dir_;
};

TEST_F(ProcessTest, ExitCodesComeBack) {
  ProgramRun ok = RunProgram("/bin/true", {});
  EXPECT_EQ(ok.start_code, kRunStarted);
  EXPECT_EQ(ok.exit_code, 0);
  ProgramRun failed = RunProgram("/bin/false", {});
  EXPECT_EQ(failed.start_code, kRunStarted);
  EXPECT_EQ(failed.exit_code, 1);
  EXPECT_EQ(RunProgram("/bin/sh", {"-c", "exit 3"}).exit_code, 3);
}

TEST_F(ProcessTest, SignalDeathIsNonZero) {
  EXPECT_EQ(RunProgram("/bin/sh", {"-c", "kill -9 $$"}).exit_code, 128 + 9);
}

TEST_F(ProcessTest, NameWithoutDirectoryIsFoundThroughPath) {
  EXPECT_EQ(RunProgram("true", {}).exit_code, 0);
  EXPECT_EQ(RunProgram("quillark-no-such-program", {}).start_code, kRunNotFound);
  EXPECT_EQ(RunProgram(dir_ + "/missing", {}).start_code, kRunNotFound);
}

TEST_F(ProcessTest, ArgumentsArriveUnsplitWithoutShell) {
  std::string out = dir_ + "/args";
  RunProgram("/bin/sh", {"-c", "printf '%s|' \"$@\" > \"$0\"", out, "a b", "$HOME", "*"});
  EXPECT_EQ(ReadWholeFile(out), "a b|$HOME|*|");
}

TEST_F(ProcessTest, RunsInTheWorkingDirectory) {
  ProgramRun run = RunProgram("/bin/sh", {"-c", "pwd > out"}, dir_);
  EXPECT_EQ(run.start_code, kRunStarted);
  EXPECT_EQ(ReadWholeFile(dir_ + "/out"), dir_ + "\n");
  EXPECT_EQ(RunProgram("/bin/true", {}, dir_ + "/missing").start_code, kRunNotFound);
}

TEST_F(ProcessTest, FileThatIsNoProgram) {
  std::string plain = dir_ + "/plain";
  ASSERT_EQ(WriteWholeFile(plain, "not a program"), "");
  EXPECT_EQ(RunProgram(plain, {}).start_code, kRunNotExecutable);
  ASSERT_EQ(::chmod(plain.c_str(), 0755), 0);
  EXPECT_EQ(RunProgram(plain, {}).start_code, kRunNotExecutable);
}

TEST_F(ProcessTest, RefusesBadNamesAndLongArguments) {
  EXPECT_EQ(RunProgram("", {}).start_code, kRunBadArguments);
  EXPECT_EQ(RunProgram("/" + std::string(254, 'x'), {}).start_code, kRunBadArguments);
  EXPECT_EQ(RunProgram("/bin/true", {std::string(2048, 'a')}).start_code, kRunBadArguments);
  // Two arguments count with the blank between them: 1023 + 1 + 1024.
  EXPECT_EQ(RunProgram("/bin/true", {std::string(1023, 'a'), std::string(1024, 'b')}).start_code,
            kRunBadArguments);
  EXPECT_EQ(RunProgram("/bin/true", {std::string(2047, 'a')}).start_code, kRunStarted);
}

TEST(FindInPath, FindsExecutablesOnly) {
  std::string sh = FindInPath("sh");
  ASSERT_FALSE(sh.empty());
  EXPECT_EQ(FileNamePart(sh), "sh");
  EXPECT_EQ(FindInPath("quillark-no-such-program"), "");
  EXPECT_EQ(FindInPath("/bin/sh"), "/bin/sh");
  EXPECT_EQ(FindInPath(""), "");
}

}  // namespace
}  // namespace quillark::runtime
