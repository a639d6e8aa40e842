// Whole runs that finish a help system: borrowed topics edited by replace
// pairs, passthrough files, example pages, and -gx putting the final output
// in place for every format.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

// The full path of `program` as PATH finds it, or empty.
std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string rest = path != nullptr ? path : "";
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    const std::string candidate = rest.substr(0, colon) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
  }
  return "";
}

// The first of `programs` that PATH does not find, or empty.
std::string MissingTool(const std::vector<std::string>& programs) {
  for (const std::string& program : programs) {
    if (FindOnPath(program).empty()) return program;
  }
  return "";
}

// The pages the program wrote into the CHM working folder.
std::vector<std::string> ChmPages(const TempDir& dir) {
  std::vector<std::string> pages;
  std::error_code missing_folder;
  for (const auto& entry : std::filesystem::directory_iterator(dir.File("temp"), missing_folder)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".html" || extension == ".xhtml") {
      pages.push_back(entry.path().filename().string());
    }
  }
  return pages;
}

// Copies the case source to book.txt (with its companions) and compiles it.
RunResult Compile(const TempDir& dir, const std::string& source, std::vector<std::string> options,
                  const std::string* path_variable = nullptr) {
  CopyCase("finishing/" + source, dir.File("book.txt"));
  CopyCase("finishing/other.txt", dir.File("other.txt"));
  options.insert(options.begin(), {"-i", "book"});
  return RunQuillark(options, dir.path(), path_variable);
}

std::string CleanListing(const TempDir& dir) { return dir.File("book.txt") + ": 0 errors.\r\n"; }

struct IncludeCase {
  const char* format;
  const char* page;     // where the borrowed topic is written
  std::string section;  // its text there
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const IncludeCase& c, std::ostream* os) { *os << c.format; }

class BorrowedTopic : public ::testing::TestWithParam<IncludeCase> {};

// Both replace pairs edit the borrowed body once; applied again, "widget"
// would read "big big widget".
TEST_P(BorrowedTopic, IsEditedOnceAndWritten) {
  TempDir dir;
  const RunResult run = Compile(dir, "book_include.txt", {"-g", GetParam().format});
  ASSERT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), CleanListing(dir));
  EXPECT_EQ(ReadFile(dir.File("include_Borrowed.tmp")),
            "<comment>Quillark (help creator program) " + Today() +
                " Replace=1\r\n</comment>\r\n"
                "<head1>Original title</head1>\n"
                "Use <italic>big widget</italic> here, and big widget again.\n");
  const std::string page = ReadFile(dir.File(GetParam().page));
  EXPECT_NE(page.find(GetParam().section), std::string::npos) << page;
}

INSTANTIATE_TEST_SUITE_P(
    Finishing, BorrowedTopic,
    ::testing::Values(
        IncludeCase{"HTML", "book/BORROWED.html",
                    "<br/>\r\n\r\n<h1>Original title</h1>\r\n"
                    "Use <i>big widget</i> here, and big widget again.<br/>\r\n"
                    "</body>\r\n</html>\r\n\r\n"},
        IncludeCase{"RTF", "book.rtf",
                    "\\page\r\n\r\n"
                    "{\\pard\\plain\\v{\\xe Borrowed}}"
                    "{\\pard\\plain\\v{\\tc {\\b Original title} {\\tcl1}}}\\pard\r\n"
                    "\\f1\\fs48\\b Original title\\f0\\fs20\\b0\\keep\\line\\fs10\\line\\fs20 \r\n"
                    "Use \\i big widget\\i0  here, and big widget again.\\line \r\n"
                    "\\par\r\n"}),
    [](const auto& info) { return std::string(info.param.format); });

TEST(Finishing, PassthroughFileIsCopiedVerbatimIntoThePage) {
  TempDir dir;
  const std::string raw = "<table><tr><td>raw & \"bytes\"\t\xE9</td></tr>\r\n</table>";
  WriteFile(dir.File("snippet.htm"), raw);
  WriteFile(dir.File("book.txt"),
            "<topic>Intro</topic>\nBefore <passthrough>snippet.htm</passthrough> after.\n"
            "<endtopic/>\n");
  ASSERT_EQ(RunQuillark({"-i", "book", "-g", "HTML"}, dir.path()).exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), CleanListing(dir));
  const std::string page = ReadFile(dir.File("book/INTRO.html"));
  EXPECT_NE(page.find("\r\n\r\nBefore " + raw + " after.<br/>\r\n</body>"), std::string::npos)
      << page;
}

struct ExampleCase {
  const char* format;
  const char* example_page;
  const char* expected;
  const char* topic_page;
  const char* topic_line;  // how the topic page reaches its example
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const ExampleCase& c, std::ostream* os) { *os << c.format; }

class ExamplePage : public ::testing::TestWithParam<ExampleCase> {};

TEST_P(ExamplePage, IsWrittenWholeAndReachedFromTheTopic) {
  TempDir dir;
  const RunResult run =
      Compile(dir, "book_example.txt", {"-g", GetParam().format, "-co", "Copyright Me"});
  ASSERT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), CleanListing(dir));
  EXPECT_EQ(ReadFile(dir.File(GetParam().example_page)),
            Expected(std::string("finishing/expected/") + GetParam().expected, dir.path(), true));
  const std::string page = ReadFile(dir.File(GetParam().topic_page));
  EXPECT_NE(page.find(GetParam().topic_line), std::string::npos) << page;
}

INSTANTIATE_TEST_SUITE_P(
    Finishing, ExamplePage,
    ::testing::Values(
        ExampleCase{"HTML", "book/INTRO_example.html", "INTRO_example.html", "book/INTRO.html",
                    "<td width=\"84\" height=\"32\" nowrap=\"nowrap\" class=\"buttons\">"
                    "<a href=\"INTRO_example.html\" target=\"_example\" class=\"buttons\">"
                    "<b>&nbsp;Example&nbsp;&nbsp;</b></a></td>\r\n"},
        ExampleCase{"CHM", "temp/INTRO_example.xhtml", "INTRO_example.xhtml", "temp/INTRO.html",
                    "  window.name = 'INTRO';\r\n"}),
    [](const auto& info) { return std::string(info.param.format); });

TEST(FinishOutput, RtfFinalFileIsACopyOfTheDocument) {
  TempDir dir;
  ASSERT_EQ(Compile(dir, "book_example.txt", {"-g", "RTF", "-gx"}).exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), CleanListing(dir));
  EXPECT_FALSE(ReadFile(dir.File("book.rtf")).empty());
  EXPECT_EQ(ReadFile(dir.File("book_out.rtf")), ReadFile(dir.File("book.rtf")));
}

// The start page moves beside the folder and keeps the folder in its URL; the
// one inside the folder then names the first topic directly.
TEST(FinishOutput, HtmlStartPageIsPlacedAndPointedAtTheFirstTopic) {
  TempDir dir;
  ASSERT_EQ(Compile(dir, "book_example.txt", {"-g", "HTML", "-gx"}).exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), CleanListing(dir));
  const std::string start =
      "<html>\r\n<head>\r\n<meta http-equiv=\"Refresh\" content=\"1;URL={URL}\" />\r\n"
      "</head>\r\n<body>\r\nLoading...\r\n</body>\r\n</html>\r\n";
  const std::size_t url = start.find("{URL}");
  EXPECT_EQ(ReadFile(dir.File("book.html")), std::string(start).replace(url, 5, "book/INTRO.html"));
  EXPECT_EQ(ReadFile(dir.File("book/_start.html")),
            std::string(start).replace(url, 5, "INTRO.html"));
}

TEST(FinishOutput, ChmIsCompiledWithEveryPage) {
  const std::string missing = MissingTool({"enum_chmLib"});
  if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
  TempDir dir;
  ASSERT_EQ(Compile(dir, "book_example.txt", {"-g", "CHM", "-gx"}).exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), CleanListing(dir));
  const std::string listing = ToolOutput("enum_chmLib '" + dir.File("book.chm") + "'");
  const std::vector<std::string> pages = ChmPages(dir);
  EXPECT_EQ(pages.size(), 4u);  // two topics, the example page and its redirector
  for (const std::string& page : pages) {
    EXPECT_NE(listing.find("\t/" + page + "\n"), std::string::npos) << page << "\n" << listing;
  }
}

// No outside WinHelp compiler is needed: our own compiler finishes the run,
// whatever PATH holds.
TEST(FinishOutput, HlpIsFinishedByOurCompiler) {
  TempDir dir;
  TempDir bin;
  const std::string gpp = FindOnPath("gpp");
  ASSERT_FALSE(gpp.empty());
  ASSERT_EQ(symlink(gpp.c_str(), bin.File("gpp").c_str()), 0);
  const std::string path = bin.path();
  const RunResult run = Compile(dir, "book_example.txt", {"-g", "HLP", "-gx"}, &path);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), CleanListing(dir));
  EXPECT_TRUE(Exists(dir.File("book.hpj")));
  EXPECT_TRUE(Exists(dir.File("book.hlp")));
}

// A directory this large spans several listing chunks; every page must still
// be found and read back from the compiled file.
TEST(FinishOutput, LargeChmListsAndExtractsEveryPage) {
  const std::string missing = MissingTool({"enum_chmLib", "extract_chmLib"});
  if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
  TempDir dir;
  std::string source;
  for (int i = 1; i <= 300; ++i) {
    const std::string n = std::to_string(i);
    source += "<topic>Topic " + n + "</topic>\n<head2>Topic number " + n +
              "</head2>\nText of topic " + n + ".\n<endtopic/>\n";
  }
  WriteFile(dir.File("book.txt"), source);
  ASSERT_EQ(RunQuillark({"-i", "book", "-g", "CHM", "-gx"}, dir.path()).exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), CleanListing(dir));
  const std::string listing = ToolOutput("enum_chmLib '" + dir.File("book.chm") + "'");
  ToolOutput("extract_chmLib '" + dir.File("book.chm") + "' '" + dir.File("out") + "'");
  const std::vector<std::string> pages = ChmPages(dir);
  ASSERT_EQ(pages.size(), 300u);
  std::vector<std::string> lost;
  for (const std::string& page : pages) {
    if (listing.find("\t/" + page + "\n") == std::string::npos ||
        ReadFile(dir.File("out/" + page)) != ReadFile(dir.File("temp/" + page))) {
      lost.push_back(page);
    }
  }
  EXPECT_EQ(lost, std::vector<std::string>{});
}

}  // namespace
}  // namespace quillark::e2e
