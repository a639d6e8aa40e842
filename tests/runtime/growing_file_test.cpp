#include "runtime/growing_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/output.h"
#include "support/temp_dir.h"

namespace quillark::runtime {
namespace {

using testing_support::TempDir;

#ifndef _WIN32
// The reader is handed whole lines only; a file not yet made is waited for,
// a text that outgrows its room or a file replaced meanwhile is given up.
TEST(GrowingFile, HandsOnWholeLinesAsTheyArrive) {
  TempDir dir;
  const std::string path = dir.File("book.pp");
  GrowingFile text(32);
  EXPECT_TRUE(text.ReadMore(path));  // not made yet
  EXPECT_EQ(text.Lines(), "");
  ASSERT_EQ(AppendToFile(path, "one\ntw"), "");
  EXPECT_TRUE(text.ReadMore(path));
  EXPECT_EQ(text.Lines(), "one\n");
  const char* start = text.Lines().data();
  ASSERT_EQ(AppendToFile(path, "o\nthree"), "");
  EXPECT_TRUE(text.ReadMore(path));
  EXPECT_EQ(text.Lines(), "one\ntwo\n");
  EXPECT_EQ(text.Text(), "one\ntwo\nthree");
  EXPECT_EQ(text.Lines().data(), start);  // the text never moves
  EXPECT_TRUE(text.HoldsAllOf(path));
  ASSERT_EQ(AppendToFile(path, std::string(32 - text.Text().size(), 'x')), "");
  EXPECT_TRUE(text.ReadMore(path));  // exactly full still fits
  EXPECT_EQ(text.Text().size(), 32u);
  ASSERT_EQ(AppendToFile(path, "y"), "");
  EXPECT_FALSE(text.ReadMore(path));
  EXPECT_FALSE(text.HoldsAllOf(path));

  GrowingFile replaced(64);
  ASSERT_EQ(WriteWholeFile(path, "a\n"), "");
  EXPECT_TRUE(replaced.ReadMore(path));
  ASSERT_EQ(std::remove(path.c_str()), 0);
  ASSERT_EQ(WriteWholeFile(path, "a\n"), "");
  EXPECT_TRUE(replaced.ReadMore(path));
  EXPECT_FALSE(replaced.HoldsAllOf(path));
  EXPECT_EQ(replaced.Take().view(), "a\n");
}
#endif

}  // namespace
}  // namespace quillark::runtime
