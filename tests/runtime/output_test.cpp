#include "runtime/output.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/files.h"
#include "support/temp_dir.h"

namespace quillark::runtime {
namespace {

using testing_support::TempDir;

TEST(Output, WritesBytesExactlyOrSaysWhyNot) {
  TempDir dir;
  const std::string path = dir.File("out.rtf");
  EXPECT_EQ(WriteWholeFile(path, "long old contents"), "");
  EXPECT_EQ(WriteWholeFile(path, "one\r\n"), "");
  EXPECT_EQ(AppendToFile(path, std::string_view("t\0o\xff", 4)), "");
  EXPECT_EQ(ReadWholeFile(path), std::string("one\r\nt\0o\xff", 9));
  EXPECT_EQ(ReplaceFileSafely(path, "a\r\n"), "");
  EXPECT_EQ(ReadWholeFile(path), "a\r\n");
  EXPECT_FALSE(FileExists(path + ".new"));
  // A failure gives the system's reason.
  const std::string bad = dir.File("missing/out.rtf");
  EXPECT_EQ(AppendToFile(bad, "x"), "No such file or directory");
  EXPECT_EQ(WriteWholeFile(bad, "x"), "No such file or directory");
  EXPECT_EQ(ReplaceFileSafely(bad, "x"), "No such file or directory");
  EXPECT_FALSE(AppendToFile(dir.path(), "x").empty());  // a directory
  EXPECT_FALSE(ReadWholeFile(dir.path()).has_value());
  EXPECT_EQ(FileSize(dir.path()), -1);
}

}  // namespace
}  // namespace quillark::runtime
