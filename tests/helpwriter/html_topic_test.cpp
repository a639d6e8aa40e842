#include "helpwriter/html_topic.h"

#include <gtest/gtest.h>

#include <string>

#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

// The page heads and button bars of ordinary topics are in the whole-run
// files; a popup between two topics is skipped by the browse buttons.
TEST(HtmlTopicStart, BrowseButtonsSkipAPopupBetweenTopics) {
  ResetWriterState();
  InitFonts();
  HelpTable topics;
  InsertEntry(topics, "INTRO", "book.txt", 1, 1, 1, 0, 0, 0, 0);
  InsertEntry(topics, "NOTE", "book.txt", 5, 5, 1, 0, 0, 0, kTopicIsPopup);
  InsertEntry(topics, "MIDDLE", "book.txt", 10, 10, 1, 0, 0, 0, 0);
  InsertEntry(topics, "LAST", "book.txt", 20, 20, 1, 0, 0, 0, 0);
  const FrameFileNames names{"/d/book/book.txt", "/d/book/book.css", "/d/book/_contents.html",
                             "/d/book/_index.html"};
  const std::string page = HtmlTopicStart(false, false, "MIDDLE",
                                          LocateTopic(topics, "MIDDLE", "MIDDLE"), topics, names);
  EXPECT_NE(page.find("<a href=\"INTRO.html\" class=\"buttons\">"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"LAST.html\" class=\"buttons\">"), std::string::npos);
}

}  // namespace
}  // namespace quillark
