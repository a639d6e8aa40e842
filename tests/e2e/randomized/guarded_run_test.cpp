// The guarded start of a program and the pictures of folder trees, on small
// shell commands and a scratch folder.
#include "e2e/randomized/guarded_run.h"

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

GuardedResult Shell(const std::string& script, double timeout, const TempDir& dir) {
  return RunGuarded({"/bin/sh", "-c", script}, dir.path(), {"PATH=/usr/bin:/bin"}, timeout,
                    dir.path());
}

TEST(GuardedRun, TellsStatusOutputAndError) {
  TempDir dir;
  const GuardedResult result = Shell("echo out; echo err >&2; exit 3", 10, dir);
  EXPECT_TRUE(result.started);
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.exit_status, 3);
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.out, "out\n");
  EXPECT_EQ(result.err, "err\n");
}

TEST(GuardedRun, TellsTheSignalThatEndedIt) {
  TempDir dir;
  const GuardedResult result = Shell("kill -SEGV $$", 10, dir);
  EXPECT_EQ(result.signal, 11);
  EXPECT_EQ(result.exit_status, -1);
}

// A hang is killed with everything it started, and the call returns soon.
TEST(GuardedRun, KillsAHangWithItsChildren) {
  TempDir dir;
  const GuardedResult result = Shell("sleep 30 & sleep 30; wait", 0.3, dir);
  EXPECT_TRUE(result.timed_out);
  EXPECT_LT(result.seconds, 10);
}

TEST(GuardedRun, RunsInTheGivenFolderWithNoInput) {
  TempDir dir;
  const GuardedResult result = Shell("pwd; cat; echo end", 10, dir);
  EXPECT_EQ(result.out, std::filesystem::canonical(dir.path()).string() + "\nend\n");
}

TEST(TreePictures, TellWhatWentCameAndChanged) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("keep/inner"));
  std::filesystem::create_directories(dir.File("skip"));
  WriteFile(dir.File("a.txt"), "a");
  WriteFile(dir.File("b.txt"), "b");
  WriteFile(dir.File("skip/x.txt"), "");
  const TreePicture before = PictureOf(dir.path(), "skip");
  EXPECT_EQ(before.count("skip/x.txt"), 0u);
  EXPECT_EQ(before.at("a.txt"), "f:a");
  EXPECT_EQ(before.at("keep/inner"), "d");

  std::filesystem::remove(dir.File("a.txt"));
  WriteFile(dir.File("b.txt"), "bb");
  WriteFile(dir.File("keep/c.txt"), "c");
  WriteFile(dir.File("skip/y.txt"), "");
  EXPECT_EQ(TreeChanges(before, PictureOf(dir.path(), "skip")),
            (std::vector<std::string>{"\"a.txt\" is gone", "\"b.txt\" changed",
                                      "\"keep/c.txt\" appeared"}));
}

}  // namespace
}  // namespace quillark::e2e
