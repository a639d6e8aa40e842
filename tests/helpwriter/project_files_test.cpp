#include "helpwriter/project_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quillark {
namespace {

class ProjectFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    SetCaption(writer_, "Book Help");
    InitFonts(writer_);
    // Table order ALPHA, MIDDLE, ZETA; source order ZETA, MIDDLE, then the popup ALPHA.
    InsertEntry(topics_, TopicRecord{.name = "ZETA", .abs_line = 10});
    InsertEntry(topics_, TopicRecord{.name = "MIDDLE", .abs_line = 20, .has_examples = true});
    InsertEntry(topics_, TopicRecord{.name = "ALPHA", .abs_line = 30, .is_popup = true});
  }

  std::string WriteChm() {
    WriteProjectFiles(OutputFormat::kChm, writer_, dir_.File("temp/book.hhp"),
                      dir_.File("temp/*.html"), dir_.File("temp/book.hhk"),
                      dir_.File("temp/book.hhc"), topics_, bitmaps_,
                      {"_link_APPLE_1.html", "_link_APPLE_2.html"});
    return dir_.Read("temp/book.hhp");
  }

  testing_support::TempDir dir_;
  WriterState writer_;
  TopicTable topics_;
  BitmapTable bitmaps_;
};

// Whole project files are in the whole-run files; here a popup before the
// other topics in the table, an example topic and the HLP website button.
TEST_F(ProjectFilesTest, WinHelpProjectButtonAndMapInSourceOrder) {
  SetButtonCaption(writer_, "Home");
  SetButtonWebsite(writer_, "example.com");
  WriteProjectFiles(OutputFormat::kHlp, writer_, dir_.File("book.hpj"), "/docs/book.rtf", "", "",
                    topics_, bitmaps_, {});
  const std::string project = dir_.Read("book.hpj");
  EXPECT_EQ(project.substr(project.find("DisableButton(btnExample)\r\n")),
            "DisableButton(btnExample)\r\n"
            "CreateButton(Button1,'Home',ExecFile('example.com','',SW_RESTORE))\r\n\r\n"
            "[MAP]\r\n#define ZETA 1\r\n#define MIDDLE 2\r\n#define ALPHA 3\r\n\r\n");
}

// [MAP] follows the source order, popups included; [FILES] the table order.
TEST_F(ProjectFilesTest, HtmlHelpProjectMapsAndListsTopics) {
  std::filesystem::create_directories(dir_.File("temp"));
  dir_.Write("temp/MIDDLE_example.xhtml", "page");
  const std::string project = WriteChm();
  EXPECT_EQ(
      project.substr(project.find("[ALIAS]")),
      "[ALIAS]\r\nIDH_ZETA=ZETA.html\r\nIDH_MIDDLE=MIDDLE.html\r\nIDH_ALPHA=ALPHA.html\r\n\r\n"
      "[MAP]\r\n#define IDH_ZETA 1\r\n#define IDH_MIDDLE 2\r\n#define IDH_ALPHA 3\r\n\r\n"
      "[FILES]\r\nALPHA.html\r\nMIDDLE.html\r\nMIDDLE_example.xhtml\r\nZETA.html\r\n"
      "_example.html\r\n_link_APPLE_1.html\r\n_link_APPLE_2.html\r\n");
  EXPECT_EQ(dir_.Read("temp/_jump.html"), "");  // no website button
  EXPECT_NE(dir_.Read("temp/_example.html").find("arrExamples[0] = 'MIDDLE';"), std::string::npos);
}

// An example page that was never written (an example block left open at the
// end of the source, or an empty one) is neither listed nor redirected to.
TEST_F(ProjectFilesTest, UnwrittenExamplePageIsNotNamed) {
  const std::string project = WriteChm();
  EXPECT_EQ(project.find("_example.xhtml"), std::string::npos);
  EXPECT_EQ(dir_.Read("temp/_example.html").find("arrExamples[0]"), std::string::npos);
}

// The window line from the jump fields on: the website button needs both a
// caption and an address, the example button an example topic.
TEST_F(ProjectFilesTest, WindowButtonsFollowJumpAndExample) {
  auto buttons = [&](const char* caption, const char* website) {
    SetButtonCaption(writer_, caption);
    SetButtonWebsite(writer_, website);
    const std::string project = WriteChm();
    const std::size_t from = project.find("\"ZETA.html\",\"ZETA.html\",") + 24;
    return project.substr(from, project.find("\r\n", from) - from);
  };
  EXPECT_EQ(buttons("", "example.com"),
            ",,\"_example.html\",\"Example\",0x23420,,0x682844,,,,,,,,0");
  EntryAt(topics_, 2).has_examples = false;
  EXPECT_EQ(buttons("", ""), ",,,,0x23420,,0x602844,,,,,,,,0");
  EXPECT_EQ(buttons("Home", ""), ",,,,0x23420,,0x602844,,,,,,,,0");
  EXPECT_EQ(buttons("Home", "example.com"), "\"_jump.html\",\"Home\",,,0x23420,,0x642844,,,,,,,,0");
}

// The redirector of the website button opens an address that names its
// scheme as written, and puts "http://" in front of any other.
TEST_F(ProjectFilesTest, JumpRedirectorKeepsTheScheme) {
  SetButtonCaption(writer_, "Home");
  for (const auto& [website, opened] : {std::pair{"https://example.org/", "https://example.org/"},
                                        std::pair{"HTTP://EXAMPLE.ORG", "HTTP://EXAMPLE.ORG"},
                                        std::pair{"www.example.com", "http://www.example.com"}}) {
    SetButtonWebsite(writer_, website);
    WriteChm();
    EXPECT_NE(dir_.Read("temp/_jump.html")
                  .find("  window.open(\"" + std::string(opened) + "\",\"_blank\");\r\n"),
              std::string::npos)
        << website;
  }
}

}  // namespace
}  // namespace quillark
