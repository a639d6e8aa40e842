#include "helpwriter/help_compiler.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <set>
#include <string>

#include "runtime/files.h"
#include "runtime/process.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

// A scratch folder laid out like a run of book; PATH holds only its bin/.
class FinishOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* path = getenv("PATH")) saved_path_ = path;
    for (const char* folder : {"temp", "bin", "book"}) ::mkdir(dir_.File(folder).c_str(), 0755);
    setenv("PATH", dir_.File("bin").c_str(), 1);
  }
  void TearDown() override { setenv("PATH", saved_path_.c_str(), 1); }
  // The run's working, final and project file of the format.
  std::string Finish(OutputFormat format) {
    static constexpr const char* kNames[5][3] = {{"", "", ""},
                                                 {"book.rtf", "book.hlp", "book.hpj"},
                                                 {"book.rtf", "book_out.rtf", "book_project.tmp"},
                                                 {"temp/*.html", "book.chm", "temp/book.hhp"},
                                                 {"book/*.html", "book.html", "book/book.txt"}};
    const auto& names = kNames[static_cast<int>(format)];
    auto path = [&](const char* name) { return *name == '\0' ? "" : dir_.File(name); };
    return FinishOutput(format, path(names[0]), path(names[1]), path(names[2]));
  }

  testing_support::TempDir dir_;
  std::string saved_path_;
};

struct FinishCase {
  OutputFormat format;
  const char* file;  // written before the run (a stand-in compiler in bin/, or the RTF file)
  const char* text;
  const char* final_name;
  const char* expected;  // the final file's text, else the message; {dir} is the folder
};

class FinishCaseTest : public FinishOutputTest, public testing::WithParamInterface<FinishCase> {};

TEST_P(FinishCaseTest, FinalFileOrMessage) {
  const FinishCase& c = GetParam();
  if (*c.file != '\0') ::chmod(dir_.Write(c.file, c.text).c_str(), 0755);
  const std::string message = Finish(c.format);
  std::string expected = c.expected;
  for (std::size_t at; (at = expected.find("{dir}")) != std::string::npos;) {
    expected.replace(at, 5, dir_.path());
  }
  if (*c.final_name != '\0' && runtime::FileExists(dir_.File(c.final_name))) {
    EXPECT_EQ(message, "");
    EXPECT_EQ(dir_.Read(c.final_name), expected);
  } else {
    EXPECT_EQ(message, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FinishCaseTest,
    testing::Values(
        FinishCase{OutputFormat::kHlp, "", "", "book.hlp",
                   "Cannot compile output file, hcrtf was not in \"{dir}/bin\""},
        FinishCase{OutputFormat::kChm, "", "", "book.chm",
                   "Cannot compile output file, chmcmd was not in \"{dir}/bin\""},
        // The compilers run in the project's folder with the project as argument.
        FinishCase{OutputFormat::kHlp, "bin/hcrtf", "#!/bin/sh\necho \"$#:$*\" > book.hlp\n",
                   "book.hlp", "2:/x {dir}/book.hpj\n"},
        FinishCase{OutputFormat::kChm, "bin/chmcmd", "#!/bin/sh\necho \"$#:$*\" > book.chm\n",
                   "book.chm", "1:{dir}/temp/book.hhp\n"},
        FinishCase{OutputFormat::kChm, "bin/chmcmd", "#!/bin/sh\nexit 3\n", "book.chm",
                   "The final output file \"{dir}/book.chm\" was not created or could not be "
                   "copied."},
        FinishCase{OutputFormat::kRtf, "book.rtf", "{\\rtf1 x}\r\n", "book_out.rtf",
                   "{\\rtf1 x}\r\n"},
        FinishCase{OutputFormat::kRtf, "book.rtf", "", "book_out.rtf",
                   "Cannot find \"{dir}/book.rtf\". "},
        FinishCase{OutputFormat::kHtml, "", "", "book.html",
                   "Cannot find \"{dir}/book/_start.html\". "},
        FinishCase{OutputFormat::kNone, "", "", "",
                   "The final output file \"\" was not created or could not be copied."}));

// The start page, filled up with blanks to exactly `size` bytes.
std::string StartPage(std::string_view url, std::size_t size) {
  const std::string head =
      "<html>\r\n<head>\r\n<meta http-equiv=\"Refresh\" content=\"1;URL=" + std::string(url) +
      "\" />\r\n</head>\r\n<body>\r\n";
  const std::string tail = "Loading...\r\n</body>\r\n</html>\r\n";
  return head + std::string(size - head.size() - tail.size(), ' ') + tail;
}

class StartPageTest : public FinishOutputTest, public testing::WithParamInterface<std::size_t> {};

TEST_P(StartPageTest, CopiedThenPointedAtTheFirstTopic) {
  const std::size_t size = GetParam();
  const std::string page = StartPage("book/INTRO.html", size);
  dir_.Write("book/_start.html", page);
  const std::string message = Finish(OutputFormat::kHtml);
  EXPECT_EQ(dir_.Read("book.html"), page);
  if (size <= 1024) {
    EXPECT_EQ(message, "");
    EXPECT_EQ(dir_.Read("book/_start.html"), StartPage("INTRO.html", size - 5));
  } else {
    EXPECT_EQ(message, "The Start Topic File \"" + dir_.File("book/_start.html") +
                           "\" is too big to be edited. ");
    EXPECT_EQ(dir_.Read("book/_start.html"), page);
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, StartPageTest, testing::Values(1024, 1025));

// With the real compiler: 300 pages need several directory listing chunks, and
// every page must still be listed and extracted.
TEST_F(FinishOutputTest, RealCompilerListsEveryPage) {
  setenv("PATH", saved_path_.c_str(), 1);
  for (const char* tool : {"chmcmd", "enum_chmLib", "extract_chmLib"}) {
    if (runtime::FindInPath(tool).empty()) GTEST_SKIP() << tool << " is not installed";
  }
  std::string project = "[OPTIONS]\r\nCompiled file=book.chm\r\n\r\n[FILES]\r\n";
  for (int i = 1; i <= 300; ++i) {
    const std::string name = "T" + std::to_string(i) + ".html";
    dir_.Write("temp/" + name, "<p>" + name + "</p>\r\n");
    project += name + "\r\n";
  }
  dir_.Write("temp/book.hhp", project);
  ASSERT_EQ(Finish(OutputFormat::kChm), "");

  const std::string chm = "'" + dir_.File("book.chm") + "' ";
  std::set<std::string> listed;
  std::FILE* listing = popen(("enum_chmLib " + chm).c_str(), "r");
  ASSERT_NE(listing, nullptr);
  for (char line[512]; std::fgets(line, sizeof line, listing) != nullptr;) {
    const std::string text = line;
    const std::size_t name = text.rfind("\t/");
    if (name != std::string::npos) listed.insert(text.substr(name + 2, text.size() - name - 3));
  }
  pclose(listing);
  ASSERT_EQ(std::system(("extract_chmLib " + chm + dir_.File("out") + " >/dev/null").c_str()), 0);
  for (int i = 1; i <= 300; ++i) {
    const std::string name = "T" + std::to_string(i) + ".html";
    EXPECT_EQ(listed.count(name), 1u) << name;
    EXPECT_EQ(dir_.Read("out/" + name), "<p>" + name + "</p>\r\n");
  }
}

}  // namespace
}  // namespace quillark
