#include "helpwriter/project_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quillark {
namespace {

class ProjectFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    SetCaption("Book Help");
    InitFonts();
    // Table order ALPHA, MIDDLE, ZETA; source order ZETA, MIDDLE, then the popup ALPHA.
    InsertEntry(topics_, "ZETA", "book.txt", 1, 10, 1, 0, 0, 0, 0);
    InsertEntry(topics_, "MIDDLE", "book.txt", 5, 20, 1, 0, 0, 0, kTopicHasExamples);
    InsertEntry(topics_, "ALPHA", "book.txt", 9, 30, 1, 0, 0, 0, kTopicIsPopup);
  }

  void Write(OutputFormat format, const std::string& project) {
    WriteProjectFiles(format, dir_.File(project), dir_.File("book/*.html"),
                      dir_.File("temp/book.hhk"), dir_.File("temp/book.hhc"), topics_, bitmaps_,
                      {"_link_APPLE_1.html", "_link_APPLE_2.html"});
  }

  testing_support::TempDir dir_;
  HelpTable topics_;
  HelpTable bitmaps_;
};

TEST_F(ProjectFilesTest, WinHelpProjectMapsTopicsInSourceOrder) {
  SetCopyright("(c) Me");
  SetButtonCaption("Home");
  SetButtonWebsite("example.com");
  InsertEntry(bitmaps_, "/pics/logo.bmp", "", 0, 0, 1, 0, 0, 0, 0);
  WriteProjectFiles(OutputFormat::kHlp, dir_.File("book.hpj"), "/docs/book.rtf", "", "", topics_,
                    bitmaps_, {});
  EXPECT_EQ(dir_.Read("book.hpj"),
            "[OPTIONS]\r\nCOMPRESS=12 Hall Zeck\r\nTITLE=Book Help\r\nWARNING=3\r\n"
            "OLDKEYPHRASE=0\r\nCONTENTS=ZETA\r\nOPTCDROM=YES\r\nCOPYRIGHT=(c) Me\r\n\r\n"
            "[BITMAPS]\r\n/pics/logo.bmp\r\n\r\n"
            "[FILES]\r\n/docs/book.rtf\r\n\r\n"
            "[CONFIG]\r\nBrowseButtons()\r\n"
            "RegisterRoutine(\"User.dll\",\"MessageBeep\",\"U\")\r\n"
            "RegisterRoutine(\"User.dll\",\"MessageBox\",\"USSU\")\r\n"
            "CreateButton(btnExample,\"Example\",\"\")\r\nDisableButton(btnExample)\r\n"
            "CreateButton(Button1,'Home',ExecFile('example.com','',SW_RESTORE))\r\n\r\n"
            "[MAP]\r\n#define ZETA 1\r\n#define MIDDLE 2\r\n#define ALPHA 3\r\n\r\n");
}

TEST_F(ProjectFilesTest, HtmlHelpProject) {
  Write(OutputFormat::kChm, "temp/book.hhp");
  EXPECT_EQ(
      dir_.Read("temp/book.hhp"),
      "[OPTIONS]\r\nBinary TOC=Yes\r\nCompatibility=1.1 or later\r\n"
      "Compiled file=book.chm\r\nContents file=book.hhc\r\nDefault Font=Arial,10,0\r\n"
      "Default Window=MainType\r\nDefault topic=ZETA.html\r\n"
      "Display compile progress=No\r\nFull-text search=Yes\r\nIndex file=book.hhk\r\n"
      "Language=0x809 English (United Kingdom)\r\n\r\n"
      "[WINDOWS]\r\nMainType=\"Book Help\",\"book.hhc\",\"book.hhk\",\"ZETA.html\","
      "\"ZETA.html\",,,\"_example.html\",\"Example\",0x23420,,0x682844,,,,,,,,0\r\n\r\n"
      "[ALIAS]\r\nIDH_ZETA=ZETA.html\r\nIDH_MIDDLE=MIDDLE.html\r\nIDH_ALPHA=ALPHA.html\r\n\r\n"
      "[MAP]\r\n#define IDH_ZETA 1\r\n#define IDH_MIDDLE 2\r\n#define IDH_ALPHA 3\r\n\r\n"
      "[FILES]\r\nALPHA.html\r\nMIDDLE.html\r\nMIDDLE_example.xhtml\r\nZETA.html\r\n"
      "_example.html\r\n_link_APPLE_1.html\r\n_link_APPLE_2.html\r\n");
  EXPECT_NE(dir_.Read("temp/_example.html")
                .find("  var found = -1;\r\n  arrExamples[0] = 'MIDDLE';\r\n  for (i=0;"),
            std::string::npos);
  EXPECT_EQ(dir_.Read("temp/_jump.html"), "");
}

struct WindowCase {
  const char* caption;
  const char* website;
  bool examples;
  std::string buttons;  // the window line from the jump fields on
};

class WindowLineTest : public ProjectFilesTest, public testing::WithParamInterface<WindowCase> {};

TEST_P(WindowLineTest, ButtonsFollowJumpAndExample) {
  SetButtonCaption(GetParam().caption);
  SetButtonWebsite(GetParam().website);
  if (!GetParam().examples) EntryAt(topics_, 2).flags = 0;
  Write(OutputFormat::kChm, "temp/book.hhp");
  const std::string project = dir_.Read("temp/book.hhp");
  const std::string line_start = "\"ZETA.html\",\"ZETA.html\",";
  const std::size_t from = project.find(line_start);
  ASSERT_NE(from, std::string::npos);
  EXPECT_EQ(project.substr(from + line_start.size(),
                           project.find("\r\n", from) - from - line_start.size()),
            GetParam().buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, WindowLineTest,
    testing::Values(
        WindowCase{"", "", false, ",,,,0x23420,,0x602844,,,,,,,,0"},
        WindowCase{"Home", "", false, ",,,,0x23420,,0x602844,,,,,,,,0"},
        WindowCase{"", "example.com", true,
                   ",,\"_example.html\",\"Example\",0x23420,,0x682844,,,,,,,,0"},
        WindowCase{"Home", "example.com", false,
                   "\"_jump.html\",\"Home\",,,0x23420,,0x642844,,,,,,,,0"},
        WindowCase{"Home", "example.com", true,
                   "\"_jump.html\",\"Home\",\"_example.html\",\"Example\",0x23420,,0x6C2844,,,,,,,,"
                   "0"}));

class JumpRedirectorTest : public ProjectFilesTest,
                           public testing::WithParamInterface<std::pair<const char*, const char*>> {
};

TEST_P(JumpRedirectorTest, OpensTheWebsite) {
  SetButtonCaption("Home");
  SetButtonWebsite(GetParam().first);
  Write(OutputFormat::kChm, "temp/book.hhp");
  EXPECT_EQ(dir_.Read("temp/_jump.html"),
            "<html>\r\n<head>\r\n</head>\r\n<body>\r\n"
            "<!-- jump redirector file is automatically called by the 'Jump To Website' button "
            "-->\r\n<script language=\"javascript\">\r\n  window.open(\"" +
                std::string(GetParam().second) +
                "\",\"_blank\");\r\n  window.history.back();\r\n</script>\r\n</body>\r\n"
                "</html>\r\n");
}

INSTANTIATE_TEST_SUITE_P(Websites, JumpRedirectorTest,
                         testing::Values(std::pair{"http://a.org", "http://a.org"},
                                         std::pair{"a.org", "http://a.org"},
                                         std::pair{"HTTP://a.org", "http://HTTP://a.org"},
                                         std::pair{"https://a.org", "http://https://a.org"}));

TEST_F(ProjectFilesTest, NoteFilesAndStartPage) {
  WriteProjectFiles(OutputFormat::kRtf, dir_.File("book_project.tmp"), "", "", "", topics_,
                    bitmaps_, {});
  EXPECT_EQ(dir_.Read("book_project.tmp"), "Project file for \"Book Help\" (RTF format)\r\n\r\n");
  Write(OutputFormat::kHtml, "book/book.txt");
  EXPECT_EQ(dir_.Read("book/book.txt"), "Project file for \"Book Help\" (HTML format)\r\n\r\n");
  EXPECT_EQ(dir_.Read("book/_start.html"),
            "<html>\r\n<head>\r\n<meta http-equiv=\"Refresh\" content=\"1;URL=book/ZETA.html\" "
            "/>\r\n</head>\r\n<body>\r\nLoading...\r\n</body>\r\n</html>\r\n");
}

}  // namespace
}  // namespace quillark
