#include "helpwriter/rtf_topic.h"

#include <gtest/gtest.h>

#include <string>

#include "helpwriter/topic_order.h"
#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

TopicPlace Place(int previous, int ordinal) {
  return TopicPlace{.row = 1, .previous = previous, .next = 0, .ordinal = ordinal};
}

// The footnote blocks and topic ends of ordinary topics and popups are in the
// whole-run files; these are the cases they do not reach.
class RtfTopicTest : public testing::Test {
 protected:
  void SetUp() override { InitFonts(writer_); }
  std::string Start(std::string_view key, std::string_view title) {
    return RtfTopicStart(title, LocateTopic(TopicOrder(topics_), topics_, key, title), topics_,
                         headings_);
  }
  void AddTopic(std::string_view key, int line, std::string_view heading, int level) {
    InsertEntry(topics_, TopicRecord{.name = std::string(key), .abs_line = line});
    InsertEntry(headings_,
                HeadingRecord{.name = std::string(heading), .abs_line = line, .level = level});
  }
  WriterState writer_;
  TopicTable topics_;
  HeadingTable headings_;
};

// A title's backslashes and braces cannot end a footnote early, a header
// that begins with a digit does not run on into the font size, and groups
// are never cut, however long the title.
TEST_F(RtfTopicTest, HlpFootnotesEscapeTitlesAndHeaderDigitsStaySeparate) {
  SetHeader(writer_, "2024 <page/>");
  EXPECT_EQ(HlpTopicStart(writer_, false, false, "A_B", "A\\B}", Place(1, 2)),
            "#{\\footnote # A_B}\r\n${\\footnote $ A\\'5CB\\'7D}\r\n+{\\footnote + 1}\r\n"
            "K{\\footnote K A\\'5CB\\'7D}\r\n!{\\footnote ! DisableButton(btnExample)}\r\n"
            "\\f0\\fs20 2024 2\\line\r\n\\plain\\fs10\\line\\f0\\fs20\\pard\r\n");
  const std::string title(300, 'T');
  EXPECT_NE(HlpTopicStart(writer_, false, false, "T", title, Place(-1, 1))
                .find("K{\\footnote K " + title + "}\r\n"),
            std::string::npos);
}

TEST(RtfEntries, IndexForCapitalTitlesTocForThreeLevels) {
  EXPECT_EQ(RtfIndexEntry("Dir C:\\temp {x}"),
            "{\\pard\\plain\\v{\\xe Dir C:\\'5Ctemp \\'7Bx\\'7D}}");
  for (const char* title : {"2nd step", " Padded", ""}) EXPECT_EQ(RtfIndexEntry(title), "");
  EXPECT_EQ(RtfTocEntry(" Setup\t", 2), "{\\pard\\plain\\v{\\tc {\\b Setup} {\\tcl2}}}");
  EXPECT_EQ(RtfTocEntry("C:\\temp ", 3), "{\\pard\\plain\\v{\\tc C:\\'5Ctemp {\\tcl3}}}");
  EXPECT_EQ(RtfTocEntry("Deeper", 4) + RtfTocEntry("None", 0), "");
}

// A level-4 title heading gives only the index entry, a lower-case one only
// the contents entry; the Index and Contents topics get neither.
TEST_F(RtfTopicTest, RtfEntriesFollowTheTitleHeading) {
  AddTopic("FIRST", 1, "First", 1);
  AddTopic("DETAILS", 20, "Details", 4);
  AddTopic("INDEX", 30, "Index", 0);
  AddTopic("ZEBRA", 40, "zebra notes", 3);
  AddTopic("CONTENTS", 50, "Contents", 2);
  EXPECT_EQ(Start("DETAILS", "Details"), "\r\n{\\pard\\plain\\v{\\xe Details}}\\pard\r\n");
  EXPECT_EQ(Start("ZEBRA", "zebra"), "\r\n{\\pard\\plain\\v{\\tc zebra notes {\\tcl3}}}\\pard\r\n");
  EXPECT_EQ(Start("INDEX", " index "), "\\page\r\n\r\n\\pard\r\n");
  EXPECT_EQ(Start("CONTENTS", "Contents"), "\\page\r\n\r\n\\pard\r\n");
  EXPECT_EQ(Start("LOST", "Lost"), "\r\n{\\pard\\plain\\v{\\xe Lost}}\\pard\r\n");
}

// A horizontal line ends its own paragraph, so the footer needs no break.
TEST_F(RtfTopicTest, HlpFooterAfterAHorizontalLine) {
  SetFooter(writer_, "Page <page/>");
  SetPreviousTag(writer_, "<hline/>");
  EXPECT_EQ(HlpTopicEnd(writer_, false, Place(2, 5)), "Page 5\\line\r\n\\page\r\n\r\n");
}

}  // namespace
}  // namespace quillark
