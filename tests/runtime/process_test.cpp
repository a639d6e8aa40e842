#include "runtime/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "runtime/files.h"
#include "support/temp_dir.h"

namespace quillark::runtime {
namespace {

using testing_support::TempDir;

TEST(RunProgram, ExitCodesComeBack) {
  const ProgramRun failed = RunProgram("/bin/false", {});
  EXPECT_EQ(failed.start_code, kRunStarted);
  EXPECT_EQ(failed.exit_code, 1);
  EXPECT_EQ(RunProgram("/bin/sh", {"-c", "exit 3"}).exit_code, 3);
  EXPECT_EQ(RunProgram("/bin/sh", {"-c", "kill -9 $$"}).exit_code, 128 + 9);
  EXPECT_EQ(RunProgram("true", {}).exit_code, 0);  // found through PATH
}

// A program named by its path and one found through PATH start in different
// ways; both leave its standard output and error where the caller asked.
class ChildFiles : public testing::TestWithParam<const char*> {};

TEST_P(ChildFiles, GoWhereTheCallerAsked) {
  const std::string shell = GetParam();
  const std::string null_check =
      "test \"$(readlink /proc/$$/fd/1)\" = /dev/null && "
      "test \"$(readlink /proc/$$/fd/2)\" = /dev/null";
  EXPECT_EQ(RunProgram(shell, {"-c", null_check}, "", true).exit_code, 0);
  const ProgramRun captured =
      RunProgram(shell, {"-c", "echo out; echo err >&2; exit 5"}, "", true, true);
  EXPECT_EQ(captured.exit_code, 5);
  EXPECT_EQ(captured.error_text, "err\n");
  TempDir dir;
  EXPECT_EQ(RunProgram(shell, {"-c", "test -f here"}, dir.path(), true).exit_code, 1);
  dir.Write("here", "");
  EXPECT_EQ(RunProgram(shell, {"-c", "test -f here"}, dir.path(), true).exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(ByPathAndByName, ChildFiles, testing::Values("/bin/sh", "sh"));

// A child started without waiting runs beside the caller, which may look
// in on it; the result is the one RunProgram gives.
TEST(RunningProgram, RunsBesideTheCaller) {
  RunningProgram child =
      RunningProgram::Start("/bin/sh", {"-c", "echo early >&2; sleep 0.3; echo late >&2; exit 4"});
  ASSERT_TRUE(child.started());
  EXPECT_FALSE(child.WaitFor(1));
  int waits = 0;
  while (!child.WaitFor(10)) ++waits;
  EXPECT_GT(waits, 5);
  const ProgramRun run = child.Finish();
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.error_text, "early\nlate\n");
  EXPECT_EQ(RunningProgram::Start("quillark-no-such-program", {}).Finish().start_code,
            kRunNotFound);
  // One left running is waited for when it goes.
  { RunningProgram forgotten = RunningProgram::Start("/bin/sh", {"-c", "exit 0"}); }
}

// A child that closes its standard error early has not ended: it is waited
// for until it goes, and its status is still taken.
TEST(RunningProgram, EndsWhenItEndsNotWhenItsErrorsClose) {
  RunningProgram child =
      RunningProgram::Start("/bin/sh", {"-c", "echo gone >&2; exec 2>&-; sleep 0.3; exit 3"});
  ASSERT_TRUE(child.started());
  int waits = 0;
  while (!child.WaitFor(10)) ++waits;
  EXPECT_GT(waits, 5);
  EXPECT_TRUE(child.WaitFor(10));
  const ProgramRun run = child.Finish();
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.error_text, "gone\n");
}

TEST(RunProgram, RefusalsBeforeStarting) {
  TempDir dir;
  EXPECT_EQ(RunProgram("quillark-no-such-program", {}).start_code, kRunNotFound);
  EXPECT_EQ(RunProgram("/bin/true", {}, dir.File("missing")).start_code, kRunNotFound);
  const std::string plain = dir.Write("plain", "not a program");
  EXPECT_EQ(RunProgram(plain, {}).start_code, kRunNotExecutable);
  ASSERT_EQ(::chmod(plain.c_str(), 0755), 0);
  EXPECT_EQ(RunProgram(plain, {}).start_code, kRunNotExecutable);  // no shell fallback
  EXPECT_EQ(RunProgram("", {}).start_code, kRunBadArguments);
  EXPECT_EQ(RunProgram("/" + std::string(4095, 'x'), {}).start_code, kRunBadArguments);
  EXPECT_EQ(RunProgram("/" + std::string(254, 'x'), {}).start_code, kRunNotFound);
  // Arguments count with the blank between them; POSIX takes up to 128 KiB.
  EXPECT_EQ(RunProgram("/bin/true", {std::string(1023, 'a'), std::string(1024, 'b')}).start_code,
            kRunStarted);
  EXPECT_EQ(RunProgram("/bin/true", {std::string(65535, 'a'), std::string(65536, 'b')}).start_code,
            kRunBadArguments);
  EXPECT_EQ(RunProgram("/bin/true", {std::string(2047, 'a')}).start_code, kRunStarted);
}

TEST(RunProgram, ArgumentsArriveUnsplitInTheWorkingDirectory) {
  TempDir dir;
  const std::string path = std::filesystem::canonical(dir.path()).string();
  RunProgram("/bin/sh", {"-c", "pwd > out; printf '%s|' \"$@\" >> out", "sh", "a b", "$HOME", "*"},
             path);
  EXPECT_EQ(ReadWholeFile(path + "/out"), path + "\na b|$HOME|*|");
}

}  // namespace
}  // namespace quillark::runtime
