#include "helpwriter/topic_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

const FrameFileNames kNames{"/docs/book/book.txt", "/docs/book/book.css",
                            "/docs/book/_contents.html", "/docs/book/_index.html"};

class TopicWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    InitFonts();
    SetCaption("Book Help");
  }
  void AddTopic(std::string_view key, int abs_line, std::uint32_t flags = 0) {
    InsertEntry(topics_, key, "book.txt", abs_line, abs_line, 1, 0, 0, 0, flags);
  }
  std::string Start(OutputFormat format, std::string_view key, std::string_view title) {
    return WriteTopicStart(format, false, false, key, title, topics_, headings_, kNames);
  }
  HelpTable topics_;
  HelpTable headings_;
};

TEST_F(TopicWriterTest, FormatNoneWritesNothing) {
  AddTopic("INTRO", 1);
  SetHeader("Header");
  SetFooter("Footer");
  EXPECT_EQ(Start(OutputFormat::kNone, "INTRO", "Intro"), "");
  EXPECT_EQ(WriteTopicEnd(OutputFormat::kNone, false, "INTRO", "Intro", topics_), "");
}

struct FormatCase {
  OutputFormat format;
  std::string start_begins;  // how the first topic's start begins
  std::string start_ends;    // and how it ends
  std::string end;           // the whole topic end, footer "F<page/>"
};

class TopicWriterFormatTest : public TopicWriterTest,
                              public testing::WithParamInterface<FormatCase> {};

TEST_P(TopicWriterFormatTest, EachFormatHasItsOwnStartAndEnd) {
  AddTopic("INTRO", 1);
  AddTopic("NEXT", 2);
  SetFooter("F<page/>");
  const std::string start = Start(GetParam().format, "INTRO", "Intro");
  EXPECT_EQ(start.substr(0, GetParam().start_begins.size()), GetParam().start_begins);
  ASSERT_GE(start.size(), GetParam().start_ends.size());
  EXPECT_EQ(start.substr(start.size() - GetParam().start_ends.size()), GetParam().start_ends);
  EXPECT_EQ(WriteTopicEnd(GetParam().format, false, "INTRO", "Intro", topics_), GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(
    TopicWriter, TopicWriterFormatTest,
    testing::Values(FormatCase{OutputFormat::kHlp, "#{\\footnote # INTRO}\r\n",
                               "\\plain\\fs10\\line\\f0\\fs20\\pard\r\n",
                               "\\line\r\nF1\\line\r\n\\page\r\n\r\n"},
                    FormatCase{OutputFormat::kRtf, "\\pard\r\n", "\\pard\r\n", "\\par\r\n"},
                    FormatCase{OutputFormat::kChm, "<!DOCTYPE html",
                               "  window.name = 'INTRO';\r\n}\r\n</script>\r\n</head>\r\n"
                               "<body onload=\"load();\">\r\n",
                               "<p>F1</p>\r\n</body>\r\n</html>\r\n\r\n"},
                    FormatCase{OutputFormat::kHtml, "<!DOCTYPE html", "</tr></table><br/>\r\n\r\n",
                               "<p>F1</p>\r\n</body>\r\n</html>\r\n\r\n"}));

TEST_F(TopicWriterTest, HlpHeaderCountsTopicsAndOmitsTheFirstPage) {
  AddTopic("ONE", 1);
  AddTopic("POPUP", 2, kTopicIsPopup);
  AddTopic("TWO", 3);
  AddTopic("THREE", 4);
  SetHeader("Page <page/>");
  SetOmitFirstPage(true);
  EXPECT_EQ(Start(OutputFormat::kHlp, "ONE", "One").find("Page"), std::string::npos);
  EXPECT_NE(Start(OutputFormat::kHlp, "TWO", "Two").find("\\f0\\fs20Page 2\\line\r\n"),
            std::string::npos);
  EXPECT_NE(Start(OutputFormat::kHlp, "THREE", "Three").find("\\f0\\fs20Page 3\\line\r\n"),
            std::string::npos);
}

TEST_F(TopicWriterTest, SeesTopicsAddedBetweenCalls) {
  SetHeader("<page/>");
  AddTopic("LATE", 30);
  EXPECT_NE(Start(OutputFormat::kChm, "LATE", "Late").find("<p>1</p>"), std::string::npos);
  AddTopic("EARLY", 10);
  EXPECT_NE(Start(OutputFormat::kChm, "LATE", "Late").find("<p>2</p>"), std::string::npos);
  EntryAt(topics_, FindByName(topics_, "EARLY")).flags |= kTopicIsPopup;
  EXPECT_NE(Start(OutputFormat::kChm, "LATE", "Late").find("<p>1</p>"), std::string::npos);
}

struct BodyCase {
  OutputFormat format;
  std::string page;
  std::size_t start;
  std::size_t end;
};

class FindTopicBodyTest : public testing::TestWithParam<BodyCase> {};

TEST_P(FindTopicBodyTest, FindsTheBodyBetweenTheMarkers) {
  const TopicBody body = FindTopicBody(GetParam().format, GetParam().page);
  EXPECT_EQ(body.start, GetParam().start);
  EXPECT_EQ(body.end, GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(
    TopicWriter, FindTopicBodyTest,
    testing::Values(
        // The marker starts at 6 + 14 and is 28 bytes long.
        BodyCase{OutputFormat::kHlp,
                 "#{x}\r\n!{\\footnote ! DisableButton(btnExample)}\r\nBody\\page\r\n", 48, 52},
        BodyCase{OutputFormat::kRtf, "DisableButton(btnExample)}\r\n\\page", 28, 28},
        BodyCase{OutputFormat::kHlp, "\\page DisableButton(btnExample)}\r\nBody", 0, 0},
        BodyCase{OutputFormat::kHlp,
                 "!{\\footnote ! ChangeEnable(btnExample,\"JumpId(A_example)\")}\r\nBody\\page", 0,
                 0},
        BodyCase{OutputFormat::kHlp, "DisableButton(btnExample)}\r\nBody without end", 0, 0},
        BodyCase{OutputFormat::kHtml, "<head/>\r\n<body>\r\nText</body>", 17, 21},
        BodyCase{OutputFormat::kChm, "<body onload=\"load();\">\r\nText</body>", 25, 29},
        BodyCase{OutputFormat::kHtml, "<body onload=\"load();\">\r\n</body>", 25, 25},
        BodyCase{OutputFormat::kChm, "<body>\r\nno end", 0, 0},
        BodyCase{OutputFormat::kHtml, "</body><body>\r\nText", 0, 0},
        BodyCase{OutputFormat::kNone, "<body>\r\nText</body>", 0, 0}));

}  // namespace
}  // namespace quillark
