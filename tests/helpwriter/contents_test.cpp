#include "helpwriter/contents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quillark {
namespace {

struct Heading {
  std::string text;
  int level;
};

class ContentsTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    InitFonts();
    SetCaption("Book Help");
    names_.contents = dir_.File("contents");
  }
  // One topic per heading, named A, B, C, ... in source order. The result
  // starts after the body tag when there is one.
  std::string Write(OutputFormat format, const std::vector<Heading>& list) {
    HelpTable topics;
    HelpTable headings;
    for (std::size_t i = 0; i < list.size(); ++i) {
      const int line = 10 * static_cast<int>(i + 1);
      InsertEntry(topics, std::string(1, static_cast<char>('A' + i)), "", 0, line, 0, 0, 0, 0, 0);
      InsertEntry(headings, list[i].text, "", 0, line, 0, list[i].level, 0, 0, 0);
    }
    SortTable(headings, 'A');
    WriteContents(format, names_, topics, headings);
    const std::string page = dir_.Read("contents");
    const std::size_t body = page.find("<body>\r\n");
    return body == std::string::npos ? page : page.substr(body + 8);
  }
  testing_support::TempDir dir_;
  FrameFileNames names_;
};

struct FormatCase {
  OutputFormat format;
  std::string expected;
};

class ContentsFormatTest : public ContentsTest, public testing::WithParamInterface<FormatCase> {};

// Levels 1, 2, 1, 1: the last two are books because the second heading left
// the walk at level 2.
TEST_P(ContentsFormatTest, BooksAndPagesOfLevelsOneTwoOneOne) {
  EXPECT_EQ(Write(GetParam().format, {{"A=a", 1}, {"B", 2}, {"C<c>", 1}, {"D\"d\"", 1}}),
            GetParam().expected);
}

std::string ChmItem(std::string_view indent, std::string_view text, std::string_view local) {
  const std::string in(indent);
  std::string item = in + "<li> <object type=\"text/sitemap\">\r\n" + in +
                     "  <param name=\"Name\" value=\"" + std::string(text) + "\">\r\n";
  if (!local.empty())
    item += in + "  <param name=\"Local\" value=\"" + std::string(local) + "\">\r\n";
  return item + in + "  </object>\r\n";
}

std::string ChmBook(std::string_view text, std::string_view local) {
  return ChmItem("  ", text, "") + "  <ul>\r\n" + ChmItem("    ", text, local);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ContentsFormatTest,
    testing::Values(
        FormatCase{OutputFormat::kHlp,
                   ":Base contents\r\n:Title Book Help\r\n1 A\\=a\r\n2 A\\=a=A\r\n2 B=B\r\n"
                   "1 C<c>\r\n2 C<c>=C\r\n1 D\"d\"\r\n2 D\"d\"=D\r\n"},
        FormatCase{OutputFormat::kRtf, R"({\field {\*\fldinst { TOC \\l 1-6 }})"
                                       "\r\n{\\fldrslt\r\n"
                                       "{\\b <<Contents goes here, right-click to update!!>>}\r\n"
                                       "}}\r\n"},
        FormatCase{OutputFormat::kChm,
                   "<object type=\"text/site properties\">\r\n"
                   "  <param name=\"Window Styles\" value=\"0x800022\">\r\n"
                   "  <param name=\"Font\" value=\"Arial,10,0\">\r\n</object>\r\n<ul>\r\n" +
                       ChmBook("A=a", "A.html") + ChmItem("    ", "B", "B.html") + "  </ul>\r\n" +
                       ChmBook("C&lt;c&gt;", "C.html") + "  </ul>\r\n" +
                       ChmBook("D&quot;d&quot;", "D.html") +
                       "  </ul>\r\n</ul>\r\n</body>\r\n</html>\r\n\r\n"}));

struct TreeCase {
  std::vector<Heading> headings;
  std::vector<std::string> rows;  // the images of each row, without "quillark_" and ".png"
};

class ContentsTreeTest : public ContentsTest, public testing::WithParamInterface<TreeCase> {};

TEST_P(ContentsTreeTest, RowsCarryTheConnectorsOfTheTree) {
  const std::string page = Write(OutputFormat::kHtml, GetParam().headings);
  std::vector<std::string> rows;
  for (std::size_t row = page.find("<tr><td>"); row != std::string::npos;
       row = page.find("<tr><td>", row + 1)) {
    std::string images;
    for (std::size_t img = page.find("\"quillark_", row); img < page.find("</tr>", row);
         img = page.find("\"quillark_", img + 1)) {
      images +=
          (images.empty() ? "" : " ") + page.substr(img + 10, page.find(".png", img) - img - 10);
    }
    rows.push_back(images);
  }
  EXPECT_EQ(rows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, ContentsTreeTest,
    testing::Values(TreeCase{{{"A", 1}}, {"file_document"}},
                    TreeCase{{{"A", 1}, {"B", 2}, {"C", 1}, {"D", 1}},
                             {"book_open", "tree_T file_document_H", "tree_L file_document_H",
                              "book_open", "tree_L file_document_H", "book_open",
                              "tree_L file_document_H"}},
                    TreeCase{{{"A", 1}, {"B", 2}, {"C", 2}, {"D", 1}},
                             {"book_open", "tree_T file_document_H", "tree_T file_document_H",
                              "tree_L file_document_H", "book_open", "tree_L file_document_H"}},
                    TreeCase{{{"A", 1}, {"B", 2}, {"E", 3}, {"C", 2}, {"D", 1}},
                             {"book_open", "tree_T file_document_H", "tree_T book_open",
                              "tree_V tree_T file_document_H", "tree_V tree_L file_document_H",
                              "tree_L book_open", "tree_S tree_L file_document_H", "book_open",
                              "tree_L file_document_H"}}));

TEST_F(ContentsTest, HtmlPageLeadsToTheFirstTopicAndGluesImageToText) {
  const std::string page = Write(OutputFormat::kHtml, {{"Intro", 1}});
  EXPECT_NE(page.find("<a href=\"A.html\" class=\"buttons\">"), std::string::npos);  // ">>"
  EXPECT_NE(
      page.find("</table><br/>\r\n\r\n<h1>Table of Contents</h1>\r\n<table class=\"treeview\">\r\n"
                "\r\n<tr><td>\r\n  <a href=\"A.html\"><img src=\"quillark_file_document.png\" "
                "width=\"20\" height=\"20\" alt=\"Open Document\" class=\"treeview\"/></a\r\n"
                "  >&nbsp;<a href=\"A.html\">Intro</a>\r\n</td></tr>\r\n\r\n"
                "</table>\r\n\r\n</body>\r\n</html>\r\n\r\n"),
      std::string::npos);
}

}  // namespace
}  // namespace quillark
