#include "helpwriter/file_names.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <set>
#include <string>

namespace quillark {
namespace {

struct NamesCase {
  OutputFormat format;
  FileNames expected;
};

class BuildFileNamesTest : public testing::TestWithParam<NamesCase> {};

TEST_P(BuildFileNamesTest, FormsAllNine) {
  const FileNames names = BuildFileNames(GetParam().format, "/docs/book");
  const FileNames& expected = GetParam().expected;
  EXPECT_EQ(names.source, "/docs/book.txt");
  EXPECT_EQ(names.preprocessor, "/docs/book.pp");
  EXPECT_EQ(names.listing, "/docs/book.lst");
  EXPECT_EQ(names.output, expected.output);
  EXPECT_EQ(names.final_output, expected.final_output);
  EXPECT_EQ(names.project, expected.project);
  EXPECT_EQ(names.style_sheet, expected.style_sheet);
  EXPECT_EQ(names.contents, expected.contents);
  EXPECT_EQ(names.index, expected.index);
}

FileNames Expect(std::string output, std::string final_output, std::string project,
                 std::string style_sheet, std::string contents, std::string index) {
  FileNames names;
  names.output = output;
  names.final_output = final_output;
  names.project = project;
  names.style_sheet = style_sheet;
  names.contents = contents;
  names.index = index;
  return names;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BuildFileNamesTest,
    testing::Values(
        NamesCase{OutputFormat::kNone, Expect("", "", "", "", "", "")},
        NamesCase{OutputFormat::kHlp, Expect("/docs/book.rtf", "/docs/book.hlp", "/docs/book.hpj",
                                             "", "/docs/book.cnt", "")},
        NamesCase{OutputFormat::kRtf,
                  Expect("/docs/book.rtf", "/docs/book_out.rtf", "/docs/book_project.tmp", "",
                         "/docs/book_toc.tmp", "/docs/book_idx.tmp")},
        NamesCase{OutputFormat::kChm,
                  Expect("/docs/temp/*.html", "/docs/book.chm", "/docs/temp/book.hhp",
                         "/docs/temp/book.css", "/docs/temp/book.hhc", "/docs/temp/book.hhk")},
        NamesCase{
            OutputFormat::kHtml,
            Expect("/docs/book/*.html", "/docs/book.html", "/docs/book/book.txt",
                   "/docs/book/book.css", "/docs/book/_contents.html", "/docs/book/_index.html")}));

TEST(BuildFileNames, BaseNameDropsExtensionOnly) {
  const FileNames names = BuildFileNames(OutputFormat::kChm, "/my docs/user.guide");
  EXPECT_EQ(names.source, "/my docs/user.guide.txt");
  EXPECT_EQ(names.project, "/my docs/temp/user.hhp");
}

TEST(BuildFileNames, NamesCutAt255) {
  const std::string path = "/" + std::string(251, 'p');
  const FileNames names = BuildFileNames(OutputFormat::kHtml, path);
  EXPECT_EQ(names.source, path + ".tx");
  EXPECT_EQ(names.output, path + "/*.");
  EXPECT_EQ(names.preprocessor, path + ".pp");
}

struct TopicCase {
  OutputFormat format;
  std::string output;
  std::string key;
  PageKind kind;
  std::string expected;
};

class TopicFileNameTest : public testing::TestWithParam<TopicCase> {};

TEST_P(TopicFileNameTest, NamesThePage) {
  const TopicCase& c = GetParam();
  EXPECT_EQ(TopicFileName(c.format, c.output, c.key, c.kind), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Topics, TopicFileNameTest,
    testing::Values(TopicCase{OutputFormat::kHtml, "/docs/book/*.html", "Intro", PageKind::kMain,
                              "/docs/book/Intro.html"},
                    TopicCase{OutputFormat::kHtml, "/docs/book/*.html", "Intro", PageKind::kExample,
                              "/docs/book/Intro_example.html"},
                    TopicCase{OutputFormat::kChm, "/docs/temp/*.html", "Intro", PageKind::kMain,
                              "/docs/temp/Intro.html"},
                    TopicCase{OutputFormat::kChm, "/docs/temp/*.html", "_X1", PageKind::kExample,
                              "/docs/temp/_X1_example.xhtml"},
                    TopicCase{OutputFormat::kHlp, "/docs/book.rtf", "Intro", PageKind::kMain,
                              "/docs/book.rtf"},
                    TopicCase{OutputFormat::kRtf, "/docs/book.rtf", "Intro", PageKind::kExample,
                              "/docs/book.rtf"},
                    TopicCase{OutputFormat::kNone, "/docs/book.rtf", "Intro", PageKind::kMain, ""},
                    TopicCase{OutputFormat::kHtml, "/docs/book/*.html", "2nd", PageKind::kMain, ""},
                    TopicCase{OutputFormat::kHtml, "/docs/book/*.html", "a-b", PageKind::kMain, ""},
                    TopicCase{OutputFormat::kHtml, "/docs/book/*.html", "", PageKind::kMain, ""},
                    TopicCase{OutputFormat::kHlp, "", "Intro", PageKind::kMain, ""}));

// A scratch folder for the deletion at the start of a run.
class DeleteEarlierResultsTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillark_names_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    const std::string command = "rm -rf '" + folder_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  void Touch(const std::string& name) {
    FILE* file = std::fopen((folder_ + "/" + name).c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("x", file);
    std::fclose(file);
  }
  void MakeFolder(const std::string& name) {
    ASSERT_EQ(mkdir((folder_ + "/" + name).c_str(), 0755), 0);
  }
  std::set<std::string> Remaining(const std::string& sub = "") {
    std::set<std::string> names;
    DIR* dir = opendir((folder_ + "/" + sub).c_str());
    if (dir == nullptr) return names;
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    closedir(dir);
    return names;
  }

  std::string folder_;
};

TEST_F(DeleteEarlierResultsTest, KeepsUnrelatedFilesBesideTheSource) {
  for (const char* name :
       {"book.txt", "notes.tmp", "other_project.tmp", "include_INTRO.tmp", "book_project.tmp",
        "book_toc.tmp", "book_idx.tmp", "logo_bmp.tmp", "book.pp", "book.lst", "book.rtf",
        "book.hlp", "book.hpj", "book.cnt", "book_out.rtf", "book.chm"}) {
    Touch(name);
  }
  DeleteEarlierResults(BuildFileNames(OutputFormat::kHlp, folder_ + "/book"));
  EXPECT_EQ(Remaining(), (std::set<std::string>{"book.txt", "notes.tmp", "other_project.tmp",
                                                "book_out.rtf", "book.chm"}));
}

TEST_F(DeleteEarlierResultsTest, ClearsTheHtmlFolder) {
  MakeFolder("book");
  MakeFolder("book/keep.dir");
  for (const char* name : {"book.txt", "book.html", "book/Intro.html", "book/_index.html",
                           "book/book.css", "book/book.txt", "book/logo.png"}) {
    Touch(name);
  }
  DeleteEarlierResults(BuildFileNames(OutputFormat::kHtml, folder_ + "/book"));
  EXPECT_EQ(Remaining(), (std::set<std::string>{"book", "book.txt"}));
  EXPECT_EQ(Remaining("book"), (std::set<std::string>{"keep.dir"}));
}

TEST_F(DeleteEarlierResultsTest, ClearsTheChmTempFolder) {
  MakeFolder("temp");
  for (const char* name : {"book.txt", "book.chm", "temp/Intro.html", "temp/Intro_example.xhtml",
                           "temp/other.hhp", "temp/book.hhc"}) {
    Touch(name);
  }
  DeleteEarlierResults(BuildFileNames(OutputFormat::kChm, folder_ + "/book"));
  EXPECT_EQ(Remaining(), (std::set<std::string>{"book.txt", "temp"}));
  EXPECT_EQ(Remaining("temp"), std::set<std::string>{});
}

TEST_F(DeleteEarlierResultsTest, NoneDeletesOnlyItsOwnNames) {
  for (const char* name : {"book.txt", "book.pp", "book.lst", "book.rtf", "notes.tmp"}) {
    Touch(name);
  }
  DeleteEarlierResults(BuildFileNames(OutputFormat::kNone, folder_ + "/book"));
  EXPECT_EQ(Remaining(), (std::set<std::string>{"book.txt", "book.rtf", "notes.tmp"}));
}

}  // namespace
}  // namespace quillark
