#include "runtime/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

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

// On POSIX only "/" separates folders: a "\" is part of a name, which
// NormalizeSourcePath turns into "/" for names written inside a source.
TEST(PathParts, SlashSeparatesAndOneSeparatorWhenJoining) {
  EXPECT_EQ(DirectoryPart("sub\\dir\\x.bmp"), "");
  EXPECT_EQ(FileNamePart("/docs/a\\b"), "a\\b");
  EXPECT_EQ(DirectoryPart(NormalizeSourcePath("sub\\dir\\x.bmp")), "sub/dir/");
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
  const std::string folder = dir.path() + "/";
  DeleteMatching(folder, "*.tmp");
  DeleteMatching(folder, "a?.html");
  EXPECT_FALSE(FileExists(dir.File("a.tmp")));
  EXPECT_TRUE(FileExists(dir.File("locked.tmp")));
  EXPECT_TRUE(DirectoryExists(dir.File("folder.tmp")));
  EXPECT_FALSE(FileExists(dir.File("a1.html")));
  EXPECT_TRUE(FileExists(dir.File("a22.html")));

  DeleteMatching(folder, "*.*");  // every file, also one without a dot
  EXPECT_FALSE(FileExists(dir.File("README")));
  EXPECT_FALSE(FileExists(dir.File("a22.html")));
}

// A name is taken as written: its "*" and "?" are characters, and a folder
// named like a pattern is only that folder.
TEST(DeleteMatching, UserNamesAreNeverPatterns) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("p*").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(dir.File("pq").c_str(), 0755), 0);
  for (const char* name : {"x*.rtf", "xy.rtf", "b?ok.rtf", "book.rtf", "p*/a.html"}) {
    dir.Write(name, "x");
  }
  dir.Write("pq/b.html", "x");
  EXPECT_TRUE(DeleteWritableFile(dir.File("x*.rtf")));
  EXPECT_FALSE(DeleteWritableFile(dir.File("b?ak.rtf")));  // there is no such file
  DeleteMatching(dir.File("p*/"), "*.*");
  EXPECT_TRUE(FileExists(dir.File("xy.rtf")));
  EXPECT_TRUE(FileExists(dir.File("book.rtf")));
  EXPECT_FALSE(FileExists(dir.File("p*/a.html")));
  EXPECT_TRUE(FileExists(dir.File("pq/b.html")));
}

#ifndef _WIN32
// A copy that the system stops half-way (here a file size limit, as a full
// disk would) says why and leaves no part of the file behind.
TEST(CopyFileChecked, CopyCutShortLeavesNothing) {
  TempDir dir;
  const std::string from = dir.Write("book.rtf", std::string(200000, 'r'));
  const std::string to = dir.File("book_out.rtf");
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{65536, 65536};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool reported = !CopyFileChecked(from, to).empty();
    _exit(reported ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the cut copy was not reported";
  EXPECT_FALSE(FileExists(to)) << "a part of the copy was left behind";
  EXPECT_EQ(CopyFileChecked(from, to), "");
  EXPECT_EQ(FileSize(to), 200000);
}
#endif

}  // namespace
}  // namespace quillark::runtime
