#include "helpwriter/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

struct NamesCase {
  OutputFormat format;
  // output, final output, project, style sheet, contents, index, then the
  // main and the example page of topic INTRO
  std::vector<std::string> expected;
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const NamesCase& c, std::ostream* os) { *os << static_cast<int>(c.format); }

class FileNamesTest : public testing::TestWithParam<NamesCase> {};

TEST_P(FileNamesTest, RunFilesAndTopicPages) {
  const OutputFormat format = GetParam().format;
  const FileNames n = BuildFileNames(format, "/d/book");
  EXPECT_EQ(n.source + "|" + n.preprocessor + "|" + n.listing,
            "/d/book.txt|/d/book.pp|/d/book.lst");
  EXPECT_EQ(
      (std::vector<std::string>{n.output, n.final_output, n.project, n.style_sheet, n.contents,
                                n.index, TopicFileName(format, n.output, "INTRO", PageKind::kMain),
                                TopicFileName(format, n.output, "INTRO", PageKind::kExample)}),
      GetParam().expected);
  // Not an identifier: no file.
  for (const char* key : {"2ND", "A-B", ""})
    EXPECT_EQ(TopicFileName(format, n.output, key, PageKind::kMain), "");
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FileNamesTest,
    testing::Values(NamesCase{OutputFormat::kNone, {"", "", "", "", "", "", "", ""}},
                    NamesCase{OutputFormat::kHlp,
                              {"/d/book.rtf", "/d/book.hlp", "/d/book.hpj", "", "/d/book.cnt", "",
                               "/d/book.rtf", "/d/book.rtf"}},
                    NamesCase{OutputFormat::kRtf,
                              {"/d/book.rtf", "/d/book_out.rtf", "/d/book_project.tmp", "",
                               "/d/book_toc.tmp", "/d/book_idx.tmp", "/d/book.rtf", "/d/book.rtf"}},
                    NamesCase{OutputFormat::kChm,
                              {"/d/temp/*.html", "/d/book.chm", "/d/temp/book.hhp",
                               "/d/temp/book.css", "/d/temp/book.hhc", "/d/temp/book.hhk",
                               "/d/temp/INTRO.html", "/d/temp/INTRO_example.xhtml"}},
                    NamesCase{OutputFormat::kHtml,
                              {"/d/book/*.html", "/d/book.html", "/d/book/book.txt",
                               "/d/book/book.css", "/d/book/_contents.html", "/d/book/_index.html",
                               "/d/book/INTRO.html", "/d/book/INTRO_example.html"}}));

TEST(BuildFileNames, BaseNameAndLength) {
  EXPECT_EQ(BuildFileNames(OutputFormat::kChm, "/my docs/user.guide").project,
            "/my docs/temp/user.hhp");
  // Names are never cut: two of them could become one file.
  const std::string path = "/" + std::string(300, 'p');
  const FileNames names = BuildFileNames(OutputFormat::kHtml, path);
  EXPECT_EQ(names.output, path + "/*.html");
  EXPECT_EQ(names.source, path + ".txt");
  EXPECT_EQ(LongestName(names), names.project.size());  // P/P.txt, the longest here
}

// What DeletePreprocessorFiles and DeleteEarlierResults leave of `present`
// (a trailing "/" makes a folder) for a run of book.
std::set<std::string> Remaining(OutputFormat format, const std::vector<std::string>& present) {
  testing_support::TempDir dir;
  for (const std::string& name : present) {
    if (name.back() == '/') {
      std::filesystem::create_directories(dir.File(name));
    } else {
      dir.Write(name, "x");
    }
  }
  // The earlier pages stay until the run has replaced what it writes again.
  const FileNames names = BuildFileNames(format, dir.File("book"));
  DeletePreprocessorFiles(names);
  DeleteEarlierResults(names);
  for (const std::string& page : EarlierPages(names)) runtime::DeleteFile(page);
  std::set<std::string> remaining;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
    remaining.insert(std::filesystem::relative(entry.path(), dir.path()).string());
  }
  return remaining;
}

using Names = std::set<std::string>;

TEST(DeleteEarlierResults, RemovesOnlyTheRunsOwnFiles) {
  EXPECT_EQ(Remaining(OutputFormat::kHlp,
                      {"book.txt", "notes.tmp", "other_project.tmp", "include_INTRO.tmp",
                       "book_project.tmp", "book_toc.tmp", "book_idx.tmp", "logo_bmp.tmp",
                       "book_lines.tmp", "book.pp", "book.lst", "book.rtf", "book.hlp", "book.hpj", "book.cnt",
                       "book_out.rtf", "book.chm"}),
            (Names{"book.txt", "notes.tmp", "other_project.tmp", "book_out.rtf", "book.chm"}));
  EXPECT_EQ(Remaining(OutputFormat::kHtml,
                      {"book/keep.dir/", "book.txt", "book.html", "book/Intro.html",
                       "book/_index.html", "book/book.css", "book/book.txt", "book/logo.png"}),
            (Names{"book", "book.txt", "book/keep.dir"}));
  EXPECT_EQ(Remaining(OutputFormat::kChm,
                      {"temp/", "book.txt", "book.chm", "temp/Intro.html",
                       "temp/Intro_example.xhtml", "temp/other.hhp", "temp/book.hhc"}),
            (Names{"book.txt", "temp"}));
}

}  // namespace
}  // namespace quillark
