#include "helpwriter/page_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quillark {
namespace {

std::string Cell(std::string_view inner) {
  return std::string(kButtonCellPrefix) + std::string(inner) + "</td>\r\n";
}

std::string CellOf(std::string_view target, std::string_view caption) {
  return ButtonCell(kButtonCellPrefix, target, caption, "", kButtonCellSuffix);
}

// The arrows, the grey disabled buttons and the usual captions are in the
// whole-run files; a single arrow is bold and long captions are not padded.
TEST(PageFrame, ButtonCellBoldAndPadding) {
  EXPECT_EQ(CellOf("C.html", "<"),
            Cell("<a href=\"C.html\" class=\"buttons\"><b>&nbsp;&nbsp;&nbsp;&nbsp;&lt;&nbsp;"
                 "&nbsp;&nbsp;&nbsp;&nbsp;</b></a>"));
  EXPECT_EQ(CellOf("h.html", "Our home page"),
            Cell("<a href=\"h.html\" class=\"buttons\"><b>Our home page</b></a>"));
  EXPECT_EQ(CellOf("h.html", "") + CellOf("", ""), "");
}

// The sixth button: an address that names its scheme is a web address, kept
// as written; the rest are pages of the help.
TEST(PageFrame, UserButton) {
  const std::string home = "class=\"buttons\"><b>&nbsp;&nbsp;&nbsp;Home&nbsp;&nbsp;&nbsp;</b></a>";
  const std::pair<std::string, std::string> cases[] = {
      {"http://example.org/start.htm", Cell("<a href=\"http://example.org/start.htm\" " + home)},
      {"https://example.org/", Cell("<a href=\"https://example.org/\" " + home)},
      {"HTTP://example.org/C:\\start.htm",
       Cell("<a href=\"HTTP://example.org/C:\\start.htm\" " + home)},
      {"www.example.org", Cell("<a href=\"www.example.html\" " + home)},
      {"docs/start.htm", Cell("<a href=\"start.html\" " + home)},
      {"", Cell("<font color=\"#808080\">Home</font>")}};
  const std::string bar_end = "</tr></table><br/>\r\n";
  for (const auto& [website, cell] : cases) {
    const std::string bar = ButtonBar("c", "i", "p", "n", "e", website, "Home");
    EXPECT_EQ(bar.substr(bar.size() - cell.size() - bar_end.size()), cell + bar_end) << website;
  }
  // Without a caption there is no sixth button.
  EXPECT_EQ(ButtonBar("c", "i", "p", "n", "e", "http://x.org/", "").find("x.org"),
            std::string::npos);
}

}  // namespace
}  // namespace quillark
