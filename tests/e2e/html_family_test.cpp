// The CHM and HTML formats on one small source: every written file is compared
// whole with an expected file worked out from the format rules by hand.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

const std::vector<std::string> kOptions = {
    "-c",  "Sample Help",     "-co",     "(c) Quillark", "-f",      "Verdana,11", "-bc", "Home",
    "-bw", "www.example.com", "-header", "Page <page/>", "-footer", "Foot",       "-op"};

// The pages folder of a run: CHM writes beside the source into temp/, HTML
// into a folder named after the source.
std::string PageFolder(const std::string& format) { return format == "chm" ? "temp" : "book"; }

// One run per format, shared by the comparisons of its files.
const TempDir& RunOf(const std::string& format) {
  static std::map<std::string, std::unique_ptr<TempDir>> runs;
  std::unique_ptr<TempDir>& dir = runs[format];
  if (!dir) {
    dir = std::make_unique<TempDir>();
    CopyCase("html_family/book.txt", dir->File("book.txt"));
    CopyCase("html_family/logo.bmp", dir->File("logo.bmp"));
    std::vector<std::string> arguments = {"-i", "book", "-g", format == "chm" ? "CHM" : "HTML"};
    arguments.insert(arguments.end(), kOptions.begin(), kOptions.end());
    EXPECT_EQ(RunQuillark(arguments, dir->path()).exit_status, 0);
  }
  return *dir;
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

struct Golden {
  const char* format;
  const char* name;
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const Golden& c, std::ostream* os) { *os << c.format << "/" << c.name; }

class HtmlFamilyGolden : public ::testing::TestWithParam<Golden> {};

TEST_P(HtmlFamilyGolden, WholeFileMatches) {
  const std::string format = GetParam().format;
  const std::string name = GetParam().name;
  const TempDir& dir = RunOf(format);
  // The listing sits beside the source; everything else in the pages folder.
  const std::string written =
      name == "book.lst" ? dir.File(name) : dir.File(PageFolder(format) + "/" + name);
  EXPECT_EQ(ReadFile(written),
            Expected("html_family/expected/" + format + "/" + name, dir.path(), false));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, HtmlFamilyGolden,
    ::testing::Values(Golden{"chm", "GETTING_STARTED.html"}, Golden{"chm", "INSTALLING.html"},
                      Golden{"chm", "ADVANCED_SETUP.html"}, Golden{"chm", "REFERENCE.html"},
                      Golden{"chm", "GLOSSARY.html"}, Golden{"chm", "INSTALLING_example.xhtml"},
                      Golden{"chm", "book.hhp"}, Golden{"chm", "book.hhc"},
                      Golden{"chm", "book.hhk"}, Golden{"chm", "_link_options_1.html"},
                      Golden{"chm", "_link_options_2.html"}, Golden{"chm", "_link_options_3.html"},
                      Golden{"chm", "_jump.html"}, Golden{"chm", "_example.html"},
                      Golden{"chm", "book.css"}, Golden{"chm", "book.lst"},
                      Golden{"html", "GETTING_STARTED.html"}, Golden{"html", "INSTALLING.html"},
                      Golden{"html", "ADVANCED_SETUP.html"}, Golden{"html", "REFERENCE.html"},
                      Golden{"html", "GLOSSARY.html"}, Golden{"html", "INSTALLING_example.html"},
                      Golden{"html", "_contents.html"}, Golden{"html", "_index.html"},
                      Golden{"html", "_start.html"}, Golden{"html", "book.txt"},
                      Golden{"html", "book.css"}, Golden{"html", "book.lst"}),
    [](const auto& info) {
      std::string name = std::string(info.param.format) + "_" + info.param.name;
      for (char& c : name) {
        if (c == '.') c = '_';
      }
      return name;
    });

// Nothing is written beyond the compared files, the topic image and, for
// HTML, the eight assets copied from beside the program.
TEST(HtmlFamily, PagesFolderHoldsExactlyTheExpectedFiles) {
  for (const std::string format : {"chm", "html"}) {
    std::set<std::string> expected =
        FilesIn(std::string(QUILLARK_E2E_DIR) + "/html_family/expected/" + format);
    expected.erase("book.lst");
    expected.insert("logo.bmp");
    if (format == "html") {
      expected.insert({"quillark_tree_V.png", "quillark_tree_S.png", "quillark_tree_T.png",
                       "quillark_tree_L.png", "quillark_book_open.png",
                       "quillark_file_document_H.png", "quillark_file_document.png",
                       "quillark_button3.bmp"});
    }
    EXPECT_EQ(FilesIn(RunOf(format).File(PageFolder(format))), expected) << format;
  }
}

// A run over the page folder of an earlier run ends with the pages of a
// fresh run, byte for byte: a page written again holds only its new text
// (the earlier one was longer), the earlier run's other files are gone, a
// link named as a page leaves what it pointed to alone, a page with a second
// name leaves that name's text alone, and a read-only file stays.
TEST(HtmlFamily, RunOverEarlierPagesEndsWithTheFreshPages) {
  for (const std::string format : {"chm", "html"}) {
    const std::string fresh = RunOf(format).File(PageFolder(format));
    TempDir dir;
    CopyCase("html_family/book.txt", dir.File("book.txt"));
    CopyCase("html_family/logo.bmp", dir.File("logo.bmp"));
    const std::string folder = dir.File(PageFolder(format));
    std::filesystem::create_directory(folder);
    const std::set<std::string> pages = FilesIn(fresh);
    for (const std::string& name : pages) WriteFile(folder + "/" + name, std::string(20000, 'o'));
    WriteFile(folder + "/Gone_Topic.html", "earlier");
    WriteFile(dir.File("outside.txt"), "outside");
    const std::string first_page = folder + "/" + *pages.begin();
    std::filesystem::remove(first_page);
    std::filesystem::create_symlink(dir.File("outside.txt"), first_page);
    const std::string last_page = folder + "/" + *pages.rbegin();
    std::filesystem::create_hard_link(last_page, dir.File("saved.txt"));
    WriteFile(folder + "/read_only.html", "mine");
    std::filesystem::permissions(folder + "/read_only.html", std::filesystem::perms::owner_read);

    std::vector<std::string> arguments = {"-i", "book", "-g", format == "chm" ? "CHM" : "HTML"};
    arguments.insert(arguments.end(), kOptions.begin(), kOptions.end());
    ASSERT_EQ(RunQuillark(arguments, dir.path()).exit_status, 0) << format;
    std::set<std::string> expected = pages;
    expected.insert("read_only.html");
    EXPECT_EQ(FilesIn(folder), expected) << format;
    for (const std::string& name : pages) {
      EXPECT_TRUE(ReadFile(folder + "/" + name) == ReadFile(fresh + "/" + name))
          << format << "/" << name;
    }
    EXPECT_FALSE(std::filesystem::is_symlink(first_page)) << format;
    EXPECT_EQ(ReadFile(dir.File("outside.txt")), "outside") << format;
    EXPECT_EQ(ReadFile(dir.File("saved.txt")), std::string(20000, 'o')) << format;
    EXPECT_EQ(ReadFile(folder + "/read_only.html"), "mine") << format;
  }
}

// A run that ends with a fatal report, in Pass 1 or Pass 2, leaves none of
// the earlier run's pages behind (a read-only file stays): the page folder
// ends as if it had been cleared at the start.
TEST(HtmlFamily, FatalRunLeavesNoEarlierPage) {
  struct Case {
    const char* name;
    std::string source;
    bool without_preprocessor;
  };
  const std::string overlong_line(9000, 'a');
  const std::vector<Case> cases = {
      {"pre-processor missing", "<topic>One</topic>\nText.\n<endtopic/>\n", true},
      {"overlong line", "one\n" + overlong_line + "\n", false},
  };
  for (const Case& c : cases) {
    for (const std::string format : {"CHM", "HTML"}) {
      TempDir dir;
      TempDir empty_bin;
      WriteFile(dir.File("book.txt"), c.source);
      const std::string folder = dir.File(PageFolder(format == "CHM" ? "chm" : "html"));
      std::filesystem::create_directory(folder);
      WriteFile(folder + "/One.html", "earlier");
      WriteFile(folder + "/_start.html", "earlier");
      WriteFile(folder + "/read_only.html", "mine");
      std::filesystem::permissions(folder + "/read_only.html", std::filesystem::perms::owner_read);
      const std::string path = empty_bin.path();
      const RunResult run = RunQuillark({"-i", "book", "-g", format}, dir.path(),
                                        c.without_preprocessor ? &path : nullptr);
      EXPECT_EQ(run.exit_status, 1) << c.name << " " << format;
      EXPECT_EQ(FilesIn(folder), std::set<std::string>{"read_only.html"})
          << c.name << " " << format;
    }
  }
}

bool HasProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(HtmlFamily, ChmProjectCompilesToAFileListingEveryPage) {
  if (!HasProgram("enum_chmLib")) GTEST_SKIP() << "enum_chmLib (libchm-bin) is not installed";
  TempDir dir;
  CopyCase("html_family/book.txt", dir.File("book.txt"));
  CopyCase("html_family/logo.bmp", dir.File("logo.bmp"));
  std::vector<std::string> arguments = {"-i", "book", "-g", "CHM", "-gx"};
  arguments.insert(arguments.end(), kOptions.begin(), kOptions.end());
  ASSERT_EQ(RunQuillark(arguments, dir.path()).exit_status, 0);
  ASSERT_TRUE(Exists(dir.File("book.chm")));

  std::string listing;
  FILE* pipe = popen(("enum_chmLib '" + dir.File("book.chm") + "'").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::array<char, 4096> chunk;
  for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0;) {
    listing.append(chunk.data(), n);
  }
  pclose(pipe);
  for (const std::string& name : FilesIn(dir.File("temp"))) {
    if (name == "book.hhp" || name == "book.chm") continue;
    EXPECT_NE(listing.find("\t/" + name + "\n"), std::string::npos) << name << "\n" << listing;
  }
}

}  // namespace
}  // namespace quillark::e2e
