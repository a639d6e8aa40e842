#include "helpwriter/page_frame.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace quillark {
namespace {

const char kDoctype[] =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n";

TEST(PageFrame, GeneratorTextEndsWithTodaysDate) {
  const std::string text = GeneratorText();
  const std::string middle = " (help creator program) ";
  const std::size_t at = text.find(middle);
  ASSERT_NE(at, std::string::npos);
  EXPECT_GT(at, 0u);
  const std::string date = text.substr(at + middle.size());
  ASSERT_EQ(date.size(), 10u);
  for (std::size_t i = 0; i < date.size(); ++i) {
    if (i == 4 || i == 7) {
      EXPECT_EQ(date[i], '-');
    } else {
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(date[i]))) << date;
    }
  }
}

TEST(PageFrame, PageHeadWithEveryPart) {
  EXPECT_EQ(HtmlPageHead("C:\\docs\\temp\\book.css", "Intro", "<script>x</script>\r\n",
                         "(c) 2024 Me", "onload=\"load();\"", "Page 1"),
            std::string(kDoctype) +
                "<!-- (c) 2024 Me -->\r\n"
                "<html>\r\n"
                "<head>\r\n"
                "<meta name=\"generator\" content=\"" +
                GeneratorText() +
                "\" />\r\n"
                "<meta name=\"title\" content=\"Intro\" />\r\n"
                "<link rel=\"stylesheet\" type=\"text/css\" href=\"book.css\" />\r\n"
                "<title>Intro</title>\r\n"
                "<script>x</script>\r\n"
                "</head>\r\n"
                "<body onload=\"load();\">\r\n"
                "<p>Page 1</p>\r\n");
}

TEST(PageFrame, PageHeadWithNothingGiven) {
  EXPECT_EQ(HtmlPageHead("", "", "", "", "", ""), std::string(kDoctype) +
                                                      "<html>\r\n"
                                                      "<head>\r\n"
                                                      "<meta name=\"generator\" content=\"" +
                                                      GeneratorText() +
                                                      "\" />\r\n"
                                                      "</head>\r\n"
                                                      "<body>\r\n");
}

TEST(PageFrame, StyleSheetIsLinkedByFileNameAlone) {
  const std::string head = HtmlPageHead("/home/me/book/book.css", "", "", "", "", "");
  EXPECT_NE(head.find("href=\"book.css\""), std::string::npos);
}

struct CellCase {
  std::string target;
  std::string caption;
  std::string attributes;
  std::string expected_inner;  // between prefix and suffix; empty: no cell at all
};

class ButtonCellTest : public testing::TestWithParam<CellCase> {};

TEST_P(ButtonCellTest, BuildsOneCell) {
  const CellCase& c = GetParam();
  const std::string cell =
      ButtonCell(kButtonCellPrefix, c.target, c.caption, c.attributes, kButtonCellSuffix);
  if (c.expected_inner.empty()) {
    EXPECT_EQ(cell, "");
  } else {
    EXPECT_EQ(cell, std::string(kButtonCellPrefix) + c.expected_inner + "</td>\r\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    PageFrame, ButtonCellTest,
    testing::Values(
        CellCase{"_index.html", "Index", "",
                 "<a href=\"_index.html\" class=\"buttons\"><b>&nbsp;&nbsp;Index&nbsp;&nbsp;&nbsp;"
                 "</b></a>"},
        CellCase{"_contents.html", "Contents", "",
                 "<a href=\"_contents.html\" class=\"buttons\"><b>&nbsp;Contents&nbsp;</b></a>"},
        CellCase{"A.html", "<<", "",
                 "<a href=\"A.html\" class=\"buttons\">&nbsp;&nbsp;&nbsp;&nbsp;&lt;&lt;"
                 "&nbsp;&nbsp;&nbsp;&nbsp;</a>"},
        CellCase{"B.html", ">>", "",
                 "<a href=\"B.html\" class=\"buttons\">&nbsp;&nbsp;&nbsp;&nbsp;&gt;&gt;"
                 "&nbsp;&nbsp;&nbsp;&nbsp;</a>"},
        CellCase{"X_example.html", "Example", "target=\"_example\" ",
                 "<a href=\"X_example.html\" target=\"_example\" class=\"buttons\"><b>&nbsp;"
                 "Example&nbsp;&nbsp;</b></a>"},
        // A single arrow is bold; only the doubled arrows are not.
        CellCase{"C.html", "<", "",
                 "<a href=\"C.html\" class=\"buttons\"><b>&nbsp;&nbsp;&nbsp;&nbsp;&lt;&nbsp;&nbsp;"
                 "&nbsp;&nbsp;&nbsp;</b></a>"},
        CellCase{"h.html", "0123456789", "",
                 "<a href=\"h.html\" class=\"buttons\"><b>0123456789</b></a>"},
        CellCase{"h.html", "Our home page", "",
                 "<a href=\"h.html\" class=\"buttons\"><b>Our home page</b></a>"},
        CellCase{"", "<<", "", "<font color=\"#808080\">&lt;&lt;</font>"},
        CellCase{"", "Example", "target=\"_example\" ", "<font color=\"#808080\">Example</font>"},
        CellCase{"h.html", "", "", ""}, CellCase{"", "", "", ""}));

const char kBarStart[] = "<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\"><tr>\r\n";
const char kBarEnd[] = "</tr></table><br/>\r\n";

std::string Cell(std::string_view inner) {
  return std::string(kButtonCellPrefix) + std::string(inner) + "</td>\r\n";
}

TEST(PageFrame, ButtonBarOfAContentsPage) {
  EXPECT_EQ(
      ButtonBar("/x/book/_contents.html", "/x/book/_index.html", "", "INTRO", "", "", ""),
      std::string(kBarStart) +
          Cell("<a href=\"_contents.html\" class=\"buttons\"><b>&nbsp;Contents&nbsp;</b></a>") +
          Cell("<a href=\"_index.html\" class=\"buttons\"><b>&nbsp;&nbsp;Index&nbsp;&nbsp;"
               "&nbsp;</b></a>") +
          Cell("<font color=\"#808080\">&lt;&lt;</font>") +
          Cell("<a href=\"INTRO.html\" class=\"buttons\">&nbsp;&nbsp;&nbsp;&nbsp;&gt;&gt;"
               "&nbsp;&nbsp;&nbsp;&nbsp;</a>") +
          Cell("<font color=\"#808080\">Example</font>") + kBarEnd);
}

struct UserButtonCase {
  std::string website;
  std::string caption;
  std::string expected_cell;  // the sixth cell, or empty for none
};

class UserButtonTest : public testing::TestWithParam<UserButtonCase> {};

TEST_P(UserButtonTest, SixthButton) {
  const std::string bar =
      ButtonBar("c", "i", "p", "n", "e", GetParam().website, GetParam().caption);
  const std::string fixed_cells_end =
      "<a href=\"e.html\" target=\"_example\" class=\"buttons\"><b>&nbsp;Example&nbsp;&nbsp;</b>"
      "</a></td>\r\n";
  const std::size_t at = bar.find(fixed_cells_end);
  ASSERT_NE(at, std::string::npos);
  const std::string rest = bar.substr(at + fixed_cells_end.size());
  const std::string expected =
      GetParam().expected_cell.empty() ? "" : Cell(GetParam().expected_cell);
  EXPECT_EQ(rest, expected + kBarEnd);
}

INSTANTIATE_TEST_SUITE_P(
    PageFrame, UserButtonTest,
    testing::Values(
        UserButtonCase{
            "http://example.org/start.htm", "Home",
            "<a href=\"http://example.org/start.htm\" class=\"buttons\"><b>&nbsp;&nbsp;&nbsp;"
            "Home&nbsp;&nbsp;&nbsp;</b></a>"},
        // Only the lower-case plain scheme is a web address; the rest are pages.
        UserButtonCase{"HTTP://example.org/start.htm", "Home",
                       "<a href=\"start.html\" class=\"buttons\"><b>&nbsp;&nbsp;&nbsp;Home&nbsp;"
                       "&nbsp;&nbsp;</b></a>"},
        UserButtonCase{"https://example.org/start.htm", "Home",
                       "<a href=\"start.html\" class=\"buttons\"><b>&nbsp;&nbsp;&nbsp;Home&nbsp;"
                       "&nbsp;&nbsp;</b></a>"},
        UserButtonCase{"C:\\site\\home.htm", "Home",
                       "<a href=\"home.html\" class=\"buttons\"><b>&nbsp;&nbsp;&nbsp;Home&nbsp;"
                       "&nbsp;&nbsp;</b></a>"},
        UserButtonCase{"", "Home", "<font color=\"#808080\">Home</font>"},
        UserButtonCase{"http://example.org/", "", ""}));

TEST(PageFrame, TreeImage) {
  EXPECT_EQ(TreeImage("tree_open.png", "Open book"),
            "<img src=\"tree_open.png\" width=\"20\" height=\"20\" alt=\"Open book\" "
            "class=\"treeview\"/>");
}

}  // namespace
}  // namespace quillark
