#include "helpwriter/html_topic.h"

#include <gtest/gtest.h>

#include <string>

#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

// The page heads and button bars of ordinary topics are in the whole-run
// files; a popup between two topics is skipped by the browse buttons.
TEST(HtmlTopicStart, BrowseButtonsSkipAPopupBetweenTopics) {
  WriterState writer;
  InitFonts(writer);
  TopicTable topics;
  InsertEntry(topics, TopicRecord{.name = "INTRO", .abs_line = 1});
  InsertEntry(topics, TopicRecord{.name = "NOTE", .abs_line = 5, .is_popup = true});
  InsertEntry(topics, TopicRecord{.name = "MIDDLE", .abs_line = 10});
  InsertEntry(topics, TopicRecord{.name = "LAST", .abs_line = 20});
  const FrameFileNames names{"/d/book/book.txt", "/d/book/book.css", "/d/book/_contents.html",
                             "/d/book/_index.html"};
  const TopicPlace place = LocateTopic(TopicOrder(topics), topics, "MIDDLE", "MIDDLE");
  const std::string page = HtmlTopicStart(writer, false, false, "MIDDLE", place, topics, names);
  EXPECT_NE(page.find("<a href=\"INTRO.html\" class=\"buttons\">"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"LAST.html\" class=\"buttons\">"), std::string::npos);
}

}  // namespace
}  // namespace quillark
