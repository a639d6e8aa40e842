#include "helpwriter/index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quillark {
namespace {

class IndexTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    InitFonts();
    names_.index = dir_.File("index");
    int line = 10;
    for (const char* topic : {"EDIT_MENU", "FILE_MENU", "VIEW_MENU"}) {
      InsertEntry(topics_, topic, "", 0, line += 10, 0, 0, 0, 0, 0);
    }
    InsertEntry(topics_, "NOTE", "", 0, 99, 0, 0, 0, 0, kTopicIsPopup);
  }
  // A topic title keyword, a keyword used once and one used in three topics
  // (each insertion goes before its equals, so the group is EDIT, FILE, VIEW).
  void AddMenuKeywords() {
    InsertEntry(keywords_, "Edit menu", "EDIT_MENU", 0, 10, 1, 0, 0, 0, kKeywordIsTopicTitle);
    InsertEntry(keywords_, "Open", "FILE_MENU", 0, 21, 1, 0, 0, 0, 0);
    for (const char* topic : {"VIEW_MENU", "FILE_MENU", "EDIT_MENU"}) {
      InsertEntry(keywords_, "tab stops", topic, 0, 0, 1, 0, 0, 0, 0);
    }
  }
  // The index file from just after `marker` on.
  std::string Write(OutputFormat format, std::string_view marker) {
    WriteIndex(format, names_, keywords_, topics_);
    const std::string page = dir_.Read("index");
    const std::size_t at = page.find(marker);
    return at == std::string::npos ? "" : page.substr(at + marker.size());
  }
  testing_support::TempDir dir_;
  FrameFileNames names_;
  HelpTable topics_;
  HelpTable keywords_;
};

std::string ChmEntry(std::string_view name, std::string_view local) {
  return "  <li> <object type=\"text/sitemap\">\r\n    <param name=\"Name\" value=\"" +
         std::string(name) + "\">\r\n    <param name=\"Local\" value=\"" + std::string(local) +
         "\">\r\n  </object>\r\n";
}

TEST_F(IndexTest, ChmListsEveryOccurrenceThroughItsOwnLinkPage) {
  AddMenuKeywords();
  dir_.Write("_link_tab_stops_1.html", "old\r\n");
  EXPECT_EQ(Write(OutputFormat::kChm, "<body>\r\n"),
            "<object type=\"text/site properties\">\r\n"
            "  <param name=\"Font\" value=\"Arial,10,0\">\r\n</object>\r\n<ul>\r\n" +
                ChmEntry("Edit menu", "EDIT_MENU.html") + ChmEntry("Open", "FILE_MENU.html#Open") +
                ChmEntry("tab stops", "_link_tab_stops_1.html") +
                ChmEntry("tab stops", "_link_tab_stops_2.html") +
                ChmEntry("tab stops", "_link_tab_stops_3.html") +
                "</ul>\r\n</body>\r\n</html>\r\n\r\n");
  EXPECT_EQ(IndexLinkPages(),
            (std::vector<std::string>{"_link_tab_stops_1.html", "_link_tab_stops_2.html",
                                      "_link_tab_stops_3.html"}));
  // An existing page of that name gets the new one at its end.
  EXPECT_EQ(dir_.Read("_link_tab_stops_1.html"),
            "old\r\n<html>\r\n<head>\r\n<title>tab stops (in topic Edit_menu)</title>\r\n"
            "</head>\r\n<body>\r\n<script type=\"text/javascript\">\r\n"
            "navigate(\"EDIT_MENU.html#tab_stops\");\r\n</script>\r\n</body>\r\n</html>\r\n");
}

TEST_F(IndexTest, HtmlShowsLettersAndLabelsSharedKeywords) {
  AddMenuKeywords();
  EXPECT_NE(Write(OutputFormat::kHtml, "").find("<a href=\"VIEW_MENU.html\" class=\"buttons\">"),
            std::string::npos);  // "<<" leads to the last topic that is not a popup
  EXPECT_EQ(Write(OutputFormat::kHtml, "<h1>Index</h1>\r\n"),
            "<b><a href=\"#E\">E</a> <a href=\"#O\">O</a> <a href=\"#T\">T</a> </b><br/>\r\n"
            "<br/>\r\n<b>- <a name=\"E\">E -</b><br/>\r\n"
            "<a href=\"EDIT_MENU.html\">Edit menu</a><br/>\r\n"
            "<br/>\r\n<b>- <a name=\"O\">O -</b><br/>\r\n"
            "<a href=\"FILE_MENU.html#Open\">Open</a><br/>\r\n"
            "<br/>\r\n<b>- <a name=\"T\">T -</b><br/>\r\n"
            "<a href=\"EDIT_MENU.html#tab_stops\">tab stops (in topic Edit_menu)</a><br/>\r\n"
            "<a href=\"FILE_MENU.html#tab_stops\">tab stops (in topic File_menu)</a><br/>\r\n"
            "<a href=\"VIEW_MENU.html#tab_stops\">tab stops (in topic View_menu)</a><br/>\r\n"
            "</body>\r\n</html>\r\n\r\n");
  EXPECT_TRUE(IndexLinkPages().empty());
}

struct LetterBarCase {
  std::vector<std::string> keywords;
  std::string bar;
};

class IndexLetterBarTest : public IndexTest, public testing::WithParamInterface<LetterBarCase> {};

TEST_P(IndexLetterBarTest, BarHoldsEachFirstLetterOnce) {
  for (const std::string& keyword : GetParam().keywords) {
    InsertEntry(keywords_, keyword, "FILE_MENU", 0, 20, 1, 0, 0, 0, 0);
  }
  const std::string tail = Write(OutputFormat::kHtml, "<h1>Index</h1>\r\n");
  EXPECT_EQ(tail.substr(0, tail.find("\r\n")), GetParam().bar);
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, IndexLetterBarTest,
    testing::Values(LetterBarCase{{}, "<b></b><br/>"},
                    LetterBarCase{{"apple", "Banana", "bread"},
                                  "<b><a href=\"#A\">A</a> <a href=\"#B\">B</a> </b><br/>"},
                    LetterBarCase{{"2nd try"}, "<b><a href=\"#2\">2</a> </b><br/>"}));

}  // namespace
}  // namespace quillark
