#include "helpwriter/links.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

namespace quillark {
namespace {

using enum OutputFormat;

const std::string kShortBody = "A note.<br/>\r\n";

class LinksTest : public testing::Test {
 protected:
  void SetUp() override { InitFonts(writer_); }
  WriterState writer_;
  BitmapTable bitmaps_;
};

// Links of the ordinary kinds are in the whole-run files.
TEST_F(LinksTest, JumpLinkVariants) {
  const std::string empty;
  auto link = [&](OutputFormat format, bool popup, bool bold, int row, const std::string* body,
                  bool italic_and_underline = false) {
    return JumpLink(format, writer_, popup, bold, italic_and_underline, italic_and_underline, row,
                    "Intro", "See intro", body, bitmaps_);
  };
  EXPECT_EQ(link(kHlp, false, false, kNotFound, nullptr), "See intro");
  EXPECT_EQ(link(kHtml, true, false, 0, &kShortBody), "See intro");  // no target keeps blanks
  EXPECT_EQ(link(kNone, true, false, 3, &kShortBody), "");
  // A popup without a body opens in its own window.
  const std::string window =
      "<a target=\"PopupWindow\" href=\"INTRO.html\" class=\"popuplink\">See&nbsp;intro</a>";
  EXPECT_EQ(link(kHtml, true, true, 3, nullptr), window);
  EXPECT_EQ(link(kChm, true, false, 3, &empty), window);
  // Inline popups close every open format around the anchor and its table.
  EXPECT_EQ(link(kHtml, true, true, 3, &kShortBody, true),
            "</b></i></u><a href=\"INTRO.html\" class=\"popuplink\"><b><i><u>See&nbsp;intro"
            "</b></i></u><table><tr><td width=\"180\">A note.<br/>\r\n</td></tr></table></a>"
            "<b><i><u>");
  // A long text with blanks keeps every "&nbsp;" whole.
  std::string words;
  for (int i = 0; i < 60; ++i) words += "ab ";
  EXPECT_TRUE(
      JumpLink(kHtml, writer_, false, false, false, false, 3, "Intro", words, nullptr, bitmaps_)
          .ends_with("&nbsp;</a>"));
}

TEST_F(LinksTest, PopupWidthEstimatesTheTableAndLineWidths) {
  InsertEntry(bitmaps_, BitmapRecord{.name = "/pics/logo.bmp", .width = 300, .height = 40});
  InsertEntry(bitmaps_, BitmapRecord{.name = "/pics/gone.bmp"});
  const std::string x40(40, 'x');
  const std::string x30(30, 'x');
  const std::pair<std::string, std::int64_t> cases[] = {
      {x40 + "<br/>\r\n", 180},
      {x40 + "<br/>\r\n" + x40 + "<br/>\r\n", 360},
      {x40 + "<br/>\r\n" + x40, 180},  // the last line without a break is not a line
      {"<img border=\"0\" src=\"logo.bmp\" alt=\"logo\" align=\"bottom\"/>", 310},
      {"<img border=\"0\" src=\"gone.bmp\" alt=\"gone\"/>", 180},
      // Markup takes no room; a reference counts once: 30 + 6 = 36 is not long, 37 is.
      {"<a href=\"A.html\"><b>" + x30 + "</b></a>&nbsp;&lt;&#65;&amp;&quot;&gt;<br/>" +
           "<font color=\"red\">" + x30 + "</font>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<br/>",
       180},
      {std::string(37, 'x') + "<br/>" + x30 + "&nbsp;" + std::string(6, 'y') + "<br/>", 360},
      {"<pre>short\r\n" + x30 + "&lt;&gt;\r\n</pre>", 320}};
  for (const auto& [body, width] : cases)
    EXPECT_EQ(PopupWidth(writer_, body, bitmaps_), width) << body;
  // A line's width counts its shown characters times the text font size.
  EXPECT_EQ(PopupLineWidth(writer_, "<b>ab</b>&lt;<u>c</u>\r\n"), 40);
  SetFont(writer_, "TEXT", "Arial,12");
  EXPECT_EQ(PopupLineWidth(writer_, "ab\n"), 24);
}

// An address that names its scheme is kept as written, any other gets
// "http://" in front.
TEST(LinkTexts, WebAddressesKeepTheirScheme) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"http://x.org", "http://x.org"},
      {"https://example.org/guide", "https://example.org/guide"},
      {"HTTP://EXAMPLE.ORG", "HTTP://EXAMPLE.ORG"},
      {"ftp://files.example.org/a.zip", "ftp://files.example.org/a.zip"},
      {"svn+ssh://host/repo", "svn+ssh://host/repo"},
      {"mailto:help@example.org", "mailto:help@example.org"},
      {"MailTo:help@example.org", "MailTo:help@example.org"},
      {"www.example.com", "http://www.example.com"},
      {"localhost:8080", "http://localhost:8080"},
      {"1http://x.org", "http://1http://x.org"},  // a scheme starts with a letter
      {"://x.org", "http://://x.org"},
      {"web page://x", "http://web page://x"}};
  for (const auto& [address, expected] : cases) EXPECT_EQ(WebAddress(address), expected);
  EXPECT_EQ(WebLink(kHtml, "Guide", "https://example.org/guide"),
            "<a href=\"https://example.org/guide\">Guide</a>");
  EXPECT_EQ(WebLink(kChm, "Mail", "mailto:a@b.org"),
            "<a target=\"ExternalWindow\" href=\"mailto:a@b.org\">Mail</a>");
  EXPECT_EQ(WebLink(kChm, "Site", "www.example.com"),
            "<a target=\"ExternalWindow\" href=\"http://www.example.com\">Site</a>");
  // WinHelp hands the address to the system as written.
  EXPECT_EQ(WebLink(kHlp, "Site", "www.example.com"),
            "\\uldb Site\\uldb0 {\\v *!ExecFile(\"www.example.com\",\"\",SW_RESTORE)}");
}

// Keywords followed only by tags get one more space.
TEST(LinkTexts, WebAddressesAndKeywords) {
  EXPECT_EQ(WebAddress("http://x.org"), "http://x.org");
  EXPECT_EQ(KeywordText(kRtf, "Open", false), "{\\pard\\plain\\v{\\xe Open}}");
  EXPECT_EQ(KeywordText(kRtf, "Open", true), "{\\pard\\plain\\v{\\xe Open}} ");
  EXPECT_EQ(KeywordText(kHtml, "File Open", true), "<a name=\"File_Open\"></a>");
  EXPECT_EQ(WebLink(kNone, "a", "b") + KeywordText(kNone, "A", true), "");
}

}  // namespace
}  // namespace quillark
