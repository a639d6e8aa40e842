#include "runtime/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "runtime/output.h"

namespace quillark::runtime {
namespace {

struct MatchCase {
  const char* pattern;
  const char* name;
  bool matches;
};

class WildcardMatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(WildcardMatchTest, MatchesWholeName) {
  EXPECT_EQ(WildcardMatch(GetParam().pattern, GetParam().name), GetParam().matches)
      << GetParam().pattern << " vs " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WildcardMatchTest,
    ::testing::Values(MatchCase{"*.tmp", "include_Intro.tmp", true},
                      MatchCase{"*.tmp", "a.tmpx", false}, MatchCase{"*.tmp", ".tmp", true},
                      MatchCase{"?.txt", "a.txt", true}, MatchCase{"?.txt", "ab.txt", false},
                      MatchCase{"?.txt", ".txt", false}, MatchCase{"*", "", true},
                      MatchCase{"", "", true}, MatchCase{"", "a", false},
                      MatchCase{"a*b*c", "aXbYbZc", true}, MatchCase{"a*b*c", "aXbYcZ", false},
                      MatchCase{"*a*a", "aaa", true}, MatchCase{"**x", "x", true},
                      MatchCase{"*.html", "Intro.HTML", false},
                      MatchCase{"book.lst", "book.lst", true}));

TEST(PathParts, SplitsAtEitherSeparator) {
  EXPECT_EQ(DirectoryPart("/docs/book.txt"), "/docs/");
  EXPECT_EQ(DirectoryPart("book.txt"), "");
  EXPECT_EQ(DirectoryPart("sub\\dir\\x.bmp"), "sub\\dir\\");
  EXPECT_EQ(FileNamePart("/docs/book/*.html"), "*.html");
  EXPECT_EQ(FileNamePart("/docs/"), "");
  EXPECT_EQ(BaseName("/a.b/book.v2.txt"), "book.v2");
  EXPECT_EQ(BaseName("/a.b/book"), "book");
  EXPECT_EQ(NormalizeSourcePath("inc\\parts\\a.txt"), "inc/parts/a.txt");
  EXPECT_TRUE(IsFullPath("/docs"));
  EXPECT_FALSE(IsFullPath("docs/book"));
  EXPECT_FALSE(IsFullPath(""));
}

TEST(PathParts, JoinPutsOneSeparatorBetween) {
  EXPECT_EQ(JoinPath("/docs/", "/book.txt"), "/docs/book.txt");
  EXPECT_EQ(JoinPath("/docs", "book.txt"), "/docs/book.txt");
  EXPECT_EQ(JoinPath("", "book.txt"), "book.txt");
  EXPECT_EQ(JoinPath("/", "book.txt"), "/book.txt");
}

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillark_files_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir_);
  }
  void Make(const std::string& name, std::string_view data = "x") {
    ASSERT_EQ(WriteWholeFile(dir_ + "/" + name, data), "");
  }
  bool Exists(const std::string& name) { return std::filesystem::exists(dir_ + "/" + name); }
  std::string dir_;
};

TEST_F(FilesTest, DeleteMatchingSkipsDirectoriesAndReadOnlyFiles) {
  Make("a.tmp");
  Make("include_Intro.tmp");
  Make("keep.txt");
  Make("locked.tmp");
  ASSERT_EQ(::chmod((dir_ + "/locked.tmp").c_str(), 0444), 0);
  ASSERT_EQ(::mkdir((dir_ + "/folder.tmp").c_str(), 0755), 0);

  DeleteMatching(dir_ + "/*.tmp");

  EXPECT_FALSE(Exists("a.tmp"));
  EXPECT_FALSE(Exists("include_Intro.tmp"));
  EXPECT_TRUE(Exists("keep.txt"));
  EXPECT_TRUE(Exists("locked.tmp"));
  EXPECT_TRUE(Exists("folder.tmp"));
}

TEST_F(FilesTest, DeleteMatchingPlainNameAndQuestionMark) {
  Make("book.lst");
  Make("a1.html");
  Make("a22.html");
  DeleteMatching(dir_ + "/book.lst");
  DeleteMatching(dir_ + "/a?.html");
  EXPECT_FALSE(Exists("book.lst"));
  EXPECT_FALSE(Exists("a1.html"));
  EXPECT_TRUE(Exists("a22.html"));
  DeleteMatching(dir_ + "/missing.lst");  // nothing to do, nothing reported
  DeleteMatching(dir_ + "/nowhere/*.tmp");
}

TEST_F(FilesTest, StarDotStarTakesEveryFile) {
  Make("Intro.html");
  Make("README");
  DeleteMatching(dir_ + "/*.*");
  EXPECT_FALSE(Exists("Intro.html"));
  EXPECT_FALSE(Exists("README"));
}

TEST_F(FilesTest, DeleteMatchingResolvesBareNameInCurrentDirectory) {
  Make("x.pp");
  Make("y.txt");
  std::string before = CurrentDirectory();
  ASSERT_EQ(::chdir(dir_.c_str()), 0);
  DeleteMatching("*.pp");
  ASSERT_EQ(::chdir(before.c_str()), 0);
  EXPECT_FALSE(Exists("x.pp"));
  EXPECT_TRUE(Exists("y.txt"));
}

TEST_F(FilesTest, CreateDirectoryOfMakesOneLevel) {
  CreateDirectoryOf(dir_ + "/book/_index.html");
  EXPECT_TRUE(DirectoryExists(dir_ + "/book"));
  CreateDirectoryOf(dir_ + "/deep/er/page.html");
  EXPECT_FALSE(DirectoryExists(dir_ + "/deep"));
  CreateDirectoryOf(dir_ + "/noname/");
  EXPECT_FALSE(DirectoryExists(dir_ + "/noname"));
}

TEST_F(FilesTest, SizesAndContents) {
  Make("data.bin", std::string_view("a\0\r\n\xff", 5));
  EXPECT_EQ(FileSize(dir_ + "/data.bin"), 5);
  EXPECT_EQ(FileSize(dir_), -1);
  EXPECT_EQ(FileSize(dir_ + "/none"), -1);
  EXPECT_EQ(ReadWholeFile(dir_ + "/data.bin"), std::string("a\0\r\n\xff", 5));
  EXPECT_FALSE(ReadWholeFile(dir_).has_value());
  EXPECT_TRUE(FileExists(dir_ + "/data.bin"));
  EXPECT_FALSE(FileExists(dir_));
  EXPECT_TRUE(DirectoryExists(dir_));
}

TEST_F(FilesTest, CopyFileOverReplacesAndDeleteRemoves) {
  Make("from.png", "new bytes");
  Make("to.png", "old old old bytes");
  EXPECT_TRUE(CopyFileOver(dir_ + "/from.png", dir_ + "/to.png"));
  EXPECT_EQ(ReadWholeFile(dir_ + "/to.png"), "new bytes");
  EXPECT_FALSE(CopyFileOver(dir_ + "/none.png", dir_ + "/to2.png"));
  EXPECT_TRUE(DeleteFile(dir_ + "/to.png"));
  EXPECT_FALSE(DeleteFile(dir_ + "/to.png"));
}

}  // namespace
}  // namespace quillark::runtime
