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
    InitFonts(writer_);
    names_.index = dir_.File("index");
    int line = 10;
    for (const char* topic : {"EDIT_MENU", "FILE_MENU", "VIEW_MENU"}) {
      InsertEntry(topics_, TopicRecord{.name = topic, .abs_line = line += 10});
    }
  }
  void Keyword(std::string_view keyword, std::string_view topic) {
    InsertEntry(
        keywords_,
        KeywordRecord{.name = std::string(keyword), .topic = std::string(topic), .count = 1});
  }
  // The index file from just after `marker` on.
  std::string Write(OutputFormat format, std::string_view marker) {
    link_pages_ = WriteIndex(format, writer_, names_, keywords_, topics_);
    const std::string page = dir_.Read("index");
    const std::size_t at = page.find(marker);
    return at == std::string::npos ? "" : page.substr(at + marker.size());
  }
  testing_support::TempDir dir_;
  WriterState writer_;
  FrameFileNames names_;
  TopicTable topics_;
  KeywordTable keywords_;
  std::vector<std::string> link_pages_;
};

// Whole index files are in the whole-run files. A keyword used once points
// into its topic; one used in three topics (each insertion goes before its
// equals, so the group is EDIT, FILE, VIEW) gets a link page per topic.
TEST_F(IndexTest, ChmLinksEveryOccurrenceThroughItsOwnLinkPage) {
  Keyword("Open", "FILE_MENU");
  for (const char* topic : {"VIEW_MENU", "FILE_MENU", "EDIT_MENU"}) Keyword("tab stops", topic);
  dir_.Write("_link_tab_stops_1.html", "old\r\n");
  EXPECT_NE(
      Write(OutputFormat::kChm, "").find("<param name=\"Local\" value=\"FILE_MENU.html#Open\">"),
      std::string::npos);
  EXPECT_EQ(link_pages_,
            (std::vector<std::string>{"_link_tab_stops_1.html", "_link_tab_stops_2.html",
                                      "_link_tab_stops_3.html"}));
  // An existing page of that name gets the new one at its end.
  EXPECT_EQ(dir_.Read("_link_tab_stops_1.html"),
            "old\r\n<html>\r\n<head>\r\n<title>tab stops (in topic Edit_menu)</title>\r\n"
            "</head>\r\n<body>\r\n<script type=\"text/javascript\">\r\n"
            "navigate(\"EDIT_MENU.html#tab_stops\");\r\n</script>\r\n</body>\r\n</html>\r\n");
}

// The letter bar holds each first letter once, whatever its case.
TEST_F(IndexTest, HtmlLetterBar) {
  const std::string marker = "<h1>Index</h1>\r\n";
  EXPECT_TRUE(Write(OutputFormat::kHtml, marker).starts_with("<b></b><br/>\r\n"));
  for (const char* keyword : {"apple", "Banana", "bread"}) Keyword(keyword, "FILE_MENU");
  EXPECT_TRUE(Write(OutputFormat::kHtml, marker)
                  .starts_with("<b><a href=\"#A\">A</a> <a href=\"#B\">B</a> </b><br/>\r\n"));
}

}  // namespace
}  // namespace quillark
