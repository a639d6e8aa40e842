#include "helpwriter/html_topic.h"

#include <gtest/gtest.h>

#include <string>

#include "helpwriter/page_frame.h"
#include "helpwriter/topic_order.h"
#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

const FrameFileNames kNames{"/docs/book/book.txt", "/docs/book/book.css",
                            "/docs/book/_contents.html", "/docs/book/_index.html"};

// Three topics in source order and a popup between them.
class HtmlTopicTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    InitFonts();
    SetCaption("Book Help");
    InsertEntry(topics_, "INTRO", "book.txt", 1, 1, 1, 0, 0, 0, 0);
    InsertEntry(topics_, "NOTE", "book.txt", 5, 5, 1, 0, 0, 0, kTopicIsPopup);
    InsertEntry(topics_, "MIDDLE", "book.txt", 10, 10, 1, 0, 0, 0, 0);
    InsertEntry(topics_, "LAST", "book.txt", 20, 20, 1, 0, 0, 0, 0);
  }
  TopicPlace Place(std::string_view key) { return LocateTopic(topics_, key, key); }
  std::string HtmlStart(std::string_view key, bool is_popup = false, bool has_example = false) {
    return HtmlTopicStart(is_popup, has_example, key, Place(key), topics_, kNames);
  }
  HelpTable topics_;
};

TEST_F(HtmlTopicTest, ChmScriptNamesTheWindowAfterTheTopic) {
  EXPECT_EQ(ChmLoadScript("INTRO"),
            "<!-- window.name is set by the '_example.html' redirector to indicate\r\n"
            "     success or failure and is reported on here -->\r\n"
            "<script language=\"javascript\">\r\n"
            "function load()\r\n"
            "{\r\n"
            "  var TopicNotFound = 'There is no Example code for the topic ';\r\n"
            "  var TopicFound = 'Success! Copied code to the clipboard for the topic ';\r\n"
            "  if (window.name.substring(0,TopicNotFound.length) == TopicNotFound)\r\n"
            "    alert(window.name);\r\n"
            "  else if (window.name.substring(0,TopicFound.length) == TopicFound)\r\n"
            "    alert(window.name);\r\n"
            "  window.name = 'INTRO';\r\n"
            "}\r\n"
            "</script>\r\n");
}

TEST_F(HtmlTopicTest, ChmPageIsTitledWithTheTopicAndLoadsItsScript) {
  SetCopyright("(c) Me");
  SetHeader("Page <page/>");
  EXPECT_EQ(ChmTopicStart(false, "MIDDLE", "The middle", Place("MIDDLE"), kNames),
            HtmlPageHead("/docs/book/book.css", "The middle", ChmLoadScript("MIDDLE"), "(c) Me",
                         "onload=\"load();\"", "Page 2"));
  const std::string page = ChmTopicStart(false, "MIDDLE", "The middle", Place("MIDDLE"), kNames);
  EXPECT_NE(page.find("</script>\r\n</head>\r\n<body onload=\"load();\">\r\n<p>Page 2</p>\r\n"),
            std::string::npos);
}

TEST_F(HtmlTopicTest, ChmPopupKeepsTheScriptButHasNoHeader) {
  SetHeader("Page <page/>");
  EXPECT_EQ(ChmTopicStart(true, "NOTE", "Note", Place("NOTE"), kNames),
            HtmlPageHead("/docs/book/book.css", "Note", ChmLoadScript("NOTE"), "",
                         "onload=\"load();\"", ""));
}

TEST_F(HtmlTopicTest, HtmlPageIsTitledWithTheCaptionAndCarriesTheButtons) {
  EXPECT_EQ(HtmlStart("MIDDLE"),
            HtmlPageHead("/docs/book/book.css", "Book Help", "", "", "", "") +
                ButtonBar("/docs/book/_contents.html", "/docs/book/_index.html", "INTRO", "LAST",
                          "", "", "") +
                "\r\n");
  EXPECT_EQ(HtmlStart("MIDDLE").find("<script"), std::string::npos);
  EXPECT_NE(HtmlStart("MIDDLE").find("</head>\r\n<body>\r\n<table"), std::string::npos);
}

TEST_F(HtmlTopicTest, FirstTopicGoesBackToTheContentsLastOnToTheIndex) {
  EXPECT_NE(HtmlStart("INTRO").find("<a href=\"_contents.html\" class=\"buttons\">&nbsp;&nbsp;"
                                    "&nbsp;&nbsp;&lt;&lt;"),
            std::string::npos);
  EXPECT_NE(HtmlStart("LAST").find("<a href=\"_index.html\" class=\"buttons\">&nbsp;&nbsp;"
                                   "&nbsp;&nbsp;&gt;&gt;"),
            std::string::npos);
  // The popup between them is skipped.
  EXPECT_NE(HtmlStart("MIDDLE").find("<a href=\"INTRO.html\""), std::string::npos);
}

TEST_F(HtmlTopicTest, ExampleButtonIsGreyWithoutAnExample) {
  EXPECT_NE(HtmlStart("INTRO").find("<font color=\"#808080\">Example</font>"), std::string::npos);
  EXPECT_NE(HtmlStart("INTRO", false, true)
                .find("<a href=\"INTRO_example.html\" target=\"_example\" class=\"buttons\">"),
            std::string::npos);
}

TEST_F(HtmlTopicTest, UserButtonComesFromTheOptions) {
  SetButtonCaption("Home");
  SetButtonWebsite("http://example.org/");
  EXPECT_NE(HtmlStart("INTRO").find("<a href=\"http://example.org/\" class=\"buttons\"><b>"
                                    "&nbsp;&nbsp;&nbsp;Home&nbsp;&nbsp;&nbsp;</b></a>"),
            std::string::npos);
  SetButtonWebsite("");
  EXPECT_NE(HtmlStart("INTRO").find("<font color=\"#808080\">Home</font>"), std::string::npos);
}

TEST_F(HtmlTopicTest, HtmlPopupHasNoButtonsAndNoBlankLine) {
  SetHeader("Page <page/>");
  EXPECT_EQ(HtmlStart("NOTE", true),
            HtmlPageHead("/docs/book/book.css", "Book Help", "", "", "", ""));
}

struct EndCase {
  bool omit_first_page;
  bool is_popup;
  std::string key;
  std::string expected;
};

class HtmlTopicEndTest : public HtmlTopicTest, public testing::WithParamInterface<EndCase> {};

TEST_P(HtmlTopicEndTest, FooterThenClosingTags) {
  SetFooter("Page <page/>");
  SetOmitFirstPage(GetParam().omit_first_page);
  EXPECT_EQ(HtmlTopicEnd(GetParam().is_popup, Place(GetParam().key)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    HtmlTopic, HtmlTopicEndTest,
    testing::Values(EndCase{false, false, "INTRO", "<p>Page 1</p>\r\n</body>\r\n</html>\r\n\r\n"},
                    EndCase{false, false, "LAST", "<p>Page 3</p>\r\n</body>\r\n</html>\r\n\r\n"},
                    EndCase{true, false, "INTRO", "</body>\r\n</html>\r\n\r\n"},
                    EndCase{true, false, "MIDDLE", "<p>Page 2</p>\r\n</body>\r\n</html>\r\n\r\n"},
                    EndCase{false, true, "NOTE", "</body>\r\n</html>\r\n\r\n"}));

}  // namespace
}  // namespace quillark
