// -gx with CHM: where no outside HTML Help compiler is installed the built-in
// writer compiles the project in process, and the same source always gives
// the same help file; where chmcmd is on PATH, it compiles instead.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

const std::vector<std::string> kOptions = {
    "-i", "book", "-g", "CHM", "-gx", "-c", "Sample Help", "-bc", "Home", "-bw", "www.example.com"};

// What #SYSTEM names as the compiler in the files the built-in writer makes.
constexpr const char* kBuiltInWriter = "Quillark CHM writer";

bool HasProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A folder holding gpp alone, to stand as PATH: no HTML Help compiler is found.
std::string PathWithoutCompilers(const TempDir& bin) {
  const std::string gpp = ToolOutput("command -v gpp");
  EXPECT_FALSE(gpp.empty());
  EXPECT_EQ(symlink(gpp.substr(0, gpp.find('\n')).c_str(), bin.File("gpp").c_str()), 0);
  return bin.path();
}

RunResult CompileBook(const TempDir& dir, const std::string* path) {
  CopyCase("html_family/book.txt", dir.File("book.txt"));
  CopyCase("html_family/logo.bmp", dir.File("logo.bmp"));
  return RunQuillark(kOptions, dir.path(), path);
}

TEST(ChmWriter, WithoutChmcmdTheBuiltInWriterFinishesTheRunReproducibly) {
  TempDir dir;
  TempDir bin;
  const std::string path = PathWithoutCompilers(bin);
  ASSERT_EQ(CompileBook(dir, &path).exit_status, 0);
  // The listing holds the source's own two warnings and nothing from -gx.
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            Expected("html_family/expected/chm/book.lst", dir.path(), true));
  const std::string chm = ReadFile(dir.File("book.chm"));
  ASSERT_EQ(chm.substr(0, 4), "ITSF");
  EXPECT_EQ(ReadFile(dir.File("temp/book.chm")), chm);
  EXPECT_NE(chm.find(kBuiltInWriter), std::string::npos);

  if (HasProgram("enum_chmLib")) {
    const std::string listing = ToolOutput("enum_chmLib '" + dir.File("book.chm") + "'");
    for (const char* page :
         {"GETTING_STARTED.html", "INSTALLING_example.xhtml", "_jump.html", "_link_options_3.html",
          "book.hhc", "book.hhk", "book.css", "logo.bmp"}) {
      EXPECT_NE(listing.find("\t/" + std::string(page) + "\n"), std::string::npos) << page;
    }
  }

  ASSERT_EQ(CompileBook(dir, &path).exit_status, 0);
  EXPECT_TRUE(ReadFile(dir.File("book.chm")) == chm) << "a second run gave other bytes";
}

TEST(ChmWriter, ChmcmdOnPathCompilesInstead) {
  if (!HasProgram("chmcmd")) GTEST_SKIP() << "chmcmd is not installed";
  TempDir dir;
  ASSERT_EQ(CompileBook(dir, nullptr).exit_status, 0);
  const std::string chm = ReadFile(dir.File("book.chm"));
  ASSERT_EQ(chm.substr(0, 4), "ITSF");
  EXPECT_EQ(chm.find(kBuiltInWriter), std::string::npos);
}

}  // namespace
}  // namespace quillark::e2e
