#include "runtime/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace quillark::runtime {
namespace {

using testing_support::TempDir;

TEST(WildcardMatch, MatchesTheWholeNameCaseSensitively) {
  EXPECT_TRUE(WildcardMatch("*.tmp", "include_Intro.tmp"));
  EXPECT_FALSE(WildcardMatch("*.tmp", "a.tmpx"));
  EXPECT_FALSE(WildcardMatch("?.txt", ".txt"));
  EXPECT_FALSE(WildcardMatch("", "a"));
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_TRUE(WildcardMatch("*a*a", "aaa"));
  EXPECT_FALSE(WildcardMatch("a*b*c", "aXbYcZ"));
  EXPECT_FALSE(WildcardMatch("*.html", "Intro.HTML"));
}

TEST(PathParts, EitherSeparatorAndOneSeparatorWhenJoining) {
  EXPECT_EQ(DirectoryPart("sub\\dir\\x.bmp"), "sub\\dir\\");
  EXPECT_EQ(BaseName("/a.b/book.v2.txt"), "book.v2");
  EXPECT_EQ(BaseName("/a.b/book"), "book");
  EXPECT_EQ(JoinPath("/docs/", "/book.txt"), "/docs/book.txt");
  EXPECT_EQ(JoinPath("", "book.txt"), "book.txt");
}

TEST(DeleteMatching, SkipsDirectoriesAndReadOnlyFiles) {
  TempDir dir;
  for (const char* name : {"a.tmp", "locked.tmp", "a1.html", "a22.html", "README"}) {
    dir.Write(name, "x");
  }
  ASSERT_EQ(::chmod(dir.File("locked.tmp").c_str(), 0444), 0);
  ASSERT_EQ(::mkdir(dir.File("folder.tmp").c_str(), 0755), 0);
  DeleteMatching(dir.File("*.tmp"));
  DeleteMatching(dir.File("a?.html"));
  EXPECT_FALSE(FileExists(dir.File("a.tmp")));
  EXPECT_TRUE(FileExists(dir.File("locked.tmp")));
  EXPECT_TRUE(DirectoryExists(dir.File("folder.tmp")));
  EXPECT_FALSE(FileExists(dir.File("a1.html")));
  EXPECT_TRUE(FileExists(dir.File("a22.html")));

  DeleteMatching(dir.File("*.*"));  // every file, also one without a dot
  EXPECT_FALSE(FileExists(dir.File("README")));
  EXPECT_FALSE(FileExists(dir.File("a22.html")));
}

}  // namespace
}  // namespace quillark::runtime
