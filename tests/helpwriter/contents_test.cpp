#include "helpwriter/contents.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace quillark {
namespace {

using Heading = std::pair<std::string, int>;  // text and level

class ContentsTest : public testing::Test {
 protected:
  void SetUp() override {
    InitFonts(writer_);
    SetCaption(writer_, "Book Help");
    names_.contents = dir_.File("contents");
  }
  // One topic per heading, named A, B, C, ... in source order. The result
  // starts after the body tag when there is one.
  std::string Write(OutputFormat format, const std::vector<Heading>& list) {
    TopicTable topics;
    HeadingTable headings;
    for (std::size_t i = 0; i < list.size(); ++i) {
      const int line = 10 * static_cast<int>(i + 1);
      InsertEntry(topics, TopicRecord{.name = std::string(1, static_cast<char>('A' + i)),
                                      .abs_line = line});
      InsertEntry(headings,
                  HeadingRecord{.name = list[i].first, .abs_line = line, .level = list[i].second});
    }
    headings.SortByPosition();
    WriteContents(format, writer_, names_, topics, headings);
    const std::string page = dir_.Read("contents");
    const std::size_t body = page.find("<body>\r\n");
    return body == std::string::npos ? page : page.substr(body + 8);
  }
  testing_support::TempDir dir_;
  WriterState writer_;
  FrameFileNames names_;
};

// The matches of `pattern` in order, each by its first group when it has one.
std::string Outline(const std::string& text, const char* pattern) {
  const std::regex part(pattern);
  std::string outline;
  for (std::sregex_iterator it(text.begin(), text.end(), part), end; it != end; ++it) {
    outline += ((*it)[1].matched ? (*it)[1].str() : (*it)[0].str()) + " ";
  }
  return outline;
}

// Levels 1, 2, 1, 1: the last two are books because the second heading left
// the walk at level 2; in CHM each entry shows by its first letter.
TEST_F(ContentsTest, BooksAndPagesOfLevelsOneTwoOneOne) {
  const std::vector<Heading> headings = {{"A=a", 1}, {"B", 2}, {"C", 1}, {"D", 1}};
  EXPECT_EQ(Write(OutputFormat::kHlp, headings),
            ":Base contents\r\n:Title Book Help\r\n1 A\\=a\r\n2 A\\=a=A\r\n2 B=B\r\n"
            "1 C\r\n2 C=C\r\n1 D\r\n2 D=D\r\n");
  EXPECT_EQ(Outline(Write(OutputFormat::kChm, headings), R"(</?ul>|"Name" value="(\w))"),
            "<ul> A <ul> A B </ul> C <ul> C </ul> D <ul> D </ul> </ul> ");
  EXPECT_EQ(Outline(Write(OutputFormat::kHtml, headings), R"(<tr>(?=<td>)|quillark_(\w+)\.png)"),
            "<tr> book_open <tr> tree_T file_document_H <tr> tree_L file_document_H <tr> book_open "
            "<tr> tree_L file_document_H <tr> book_open <tr> tree_L file_document_H ");
}

// The connectors of the HTML tree: a lone page, and a book inside a book.
TEST_F(ContentsTest, HtmlTreeConnectors) {
  const char* images = R"(<tr>(?=<td>)|quillark_(\w+)\.png)";
  EXPECT_EQ(Outline(Write(OutputFormat::kHtml, {{"A", 1}}), images), "<tr> file_document ");
  EXPECT_EQ(Outline(Write(OutputFormat::kHtml, {{"A", 1}, {"B", 2}, {"E", 3}, {"C", 2}, {"D", 1}}),
                    images),
            "<tr> book_open <tr> tree_T file_document_H <tr> tree_T book_open "
            "<tr> tree_V tree_T file_document_H <tr> tree_V tree_L file_document_H "
            "<tr> tree_L book_open <tr> tree_S tree_L file_document_H <tr> book_open "
            "<tr> tree_L file_document_H ");
}

}  // namespace
}  // namespace quillark
