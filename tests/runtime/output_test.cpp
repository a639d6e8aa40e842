#include "runtime/output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "runtime/files.h"

namespace quillark::runtime {
namespace {

class OutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillark_output_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string dir_;
};

TEST_F(OutputTest, AppendCreatesThenAppends) {
  std::string path = dir_ + "/out.rtf";
  EXPECT_EQ(AppendToFile(path, "one\r\n"), "");
  EXPECT_EQ(AppendToFile(path, std::string_view("t\0o\r\n", 5)), "");
  EXPECT_EQ(ReadWholeFile(path), std::string("one\r\nt\0o\r\n", 10));
}

TEST_F(OutputTest, WriteWholeFileTruncates) {
  std::string path = dir_ + "/page.html";
  EXPECT_EQ(WriteWholeFile(path, "long old contents"), "");
  EXPECT_EQ(WriteWholeFile(path, "new"), "");
  EXPECT_EQ(ReadWholeFile(path), "new");
  EXPECT_EQ(WriteWholeFile(path, ""), "");
  EXPECT_EQ(FileSize(path), 0);
}

TEST_F(OutputTest, ReplaceFileSafelyLeavesNoSideFile) {
  std::string path = dir_ + "/book.lst";
  ASSERT_EQ(WriteWholeFile(path, "b\r\na\r\n"), "");
  EXPECT_EQ(ReplaceFileSafely(path, "a\r\nb\r\n"), "");
  EXPECT_EQ(ReadWholeFile(path), "a\r\nb\r\n");
  EXPECT_FALSE(FileExists(path + ".new"));
}

TEST_F(OutputTest, FailureGivesTheSystemReason) {
  std::string path = dir_ + "/missing/out.rtf";
  EXPECT_EQ(AppendToFile(path, "x"), "No such file or directory");
  EXPECT_EQ(WriteWholeFile(path, "x"), "No such file or directory");
  EXPECT_EQ(ReplaceFileSafely(path, "x"), "No such file or directory");
  EXPECT_FALSE(AppendToFile(dir_, "x").empty());  // a directory
}

}  // namespace
}  // namespace quillark::runtime
