#include "helpwriter/links.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace quillark {
namespace {

constexpr OutputFormat kNone = OutputFormat::kNone;
constexpr OutputFormat kHlp = OutputFormat::kHlp;
constexpr OutputFormat kRtf = OutputFormat::kRtf;
constexpr OutputFormat kChm = OutputFormat::kChm;
constexpr OutputFormat kHtml = OutputFormat::kHtml;

const std::string kShortBody = "A note.<br/>\r\n";
const std::string kTable180 = "<table><tr><td width=\"180\">A note.<br/>\r\n</td></tr></table>";

class LinksTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    InitFonts();
  }
  HelpTable bitmaps_;
};

struct JumpCase {
  const char* label;
  OutputFormat format;
  bool popup;
  bool bold, italic, underline;
  int row;
  const std::string* body;
  std::string expected;
};
void PrintTo(const JumpCase& c, std::ostream* out) { *out << c.label; }

class JumpLinkTest : public LinksTest, public testing::WithParamInterface<JumpCase> {};

TEST_P(JumpLinkTest, WritesExactBytes) {
  const JumpCase& c = GetParam();
  EXPECT_EQ(JumpLink(c.format, c.popup, c.bold, c.italic, c.underline, c.row, "Intro", "See intro",
                     c.body, bitmaps_),
            c.expected);
}

const std::string kEmpty;
INSTANTIATE_TEST_SUITE_P(
    Links, JumpLinkTest,
    testing::Values(
        JumpCase{"HlpJump", kHlp, false, true, false, false, 3, nullptr,
                 "\\uldb See intro\\uldb0 {\\v INTRO}"},
        JumpCase{"HlpPopup", kHlp, true, false, false, false, 3, &kShortBody,
                 "\\ul See intro\\ul0 {\\v INTRO}"},
        JumpCase{"HlpMissingTarget", kHlp, false, false, false, false, kNotFound, nullptr,
                 "See intro"},
        JumpCase{"RtfHasNoLinks", kRtf, true, false, false, false, 3, &kShortBody, "See intro"},
        JumpCase{"HtmlJump", kHtml, false, true, false, false, 3, nullptr,
                 "<a href=\"INTRO.html\">See&nbsp;intro</a>"},
        JumpCase{"HtmlRowZeroKeepsBlanks", kHtml, true, false, false, false, 0, &kShortBody,
                 "See intro"},
        JumpCase{"PopupWithoutBody", kHtml, true, true, false, false, 3, nullptr,
                 "<a target=\"PopupWindow\" href=\"INTRO.html\" class=\"popuplink\">"
                 "See&nbsp;intro</a>"},
        JumpCase{"PopupWithEmptyBody", kChm, true, false, false, false, 3, &kEmpty,
                 "<a target=\"PopupWindow\" href=\"INTRO.html\" class=\"popuplink\">"
                 "See&nbsp;intro</a>"},
        JumpCase{"InlinePopupInBold", kChm, true, true, false, false, 3, &kShortBody,
                 "</b><a href=\"INTRO.html\" class=\"popuplink\"><b>See&nbsp;intro</b>" +
                     kTable180 + "</a><b>"},
        JumpCase{"InlinePopupInAllThree", kHtml, true, true, true, true, 3, &kShortBody,
                 "</b></i></u><a href=\"INTRO.html\" class=\"popuplink\"><b><i><u>See&nbsp;intro"
                 "</b></i></u>" +
                     kTable180 + "</a><b><i><u>"},
        JumpCase{"None", kNone, true, false, false, false, 3, &kShortBody, ""}));

struct WidthCase {
  const char* label;
  std::string body;
  std::int64_t expected;
};
void PrintTo(const WidthCase& c, std::ostream* out) { *out << c.label; }

class PopupWidthTest : public LinksTest, public testing::WithParamInterface<WidthCase> {};

TEST_P(PopupWidthTest, EstimatesTheTableWidth) {
  InsertEntry(bitmaps_, "/pics/logo.bmp", "a.txt", 1, 0, 1, 0, 300, 40, 0);
  InsertEntry(bitmaps_, "/pics/gone.bmp", "a.txt", 1, 0, 1, 0, 0, 0, 0);
  EXPECT_EQ(PopupWidth(GetParam().body, bitmaps_), GetParam().expected);
}

const std::string k40(40, 'x');
INSTANTIATE_TEST_SUITE_P(
    Links, PopupWidthTest,
    testing::Values(
        WidthCase{"Empty", "", 0}, WidthCase{"OneLongLine", k40 + "<br/>\r\n", 180},
        WidthCase{"TwoLongLines", k40 + "<br/>\r\n" + k40 + "<br/>\r\n", 360},
        WidthCase{"LastLineWithoutBreakIsNotALine", k40 + "<br/>\r\n" + k40, 180},
        WidthCase{"VeryLongLine", std::string(301, 'x') + "<br/>", 360},
        WidthCase{"Image", "<img border=\"0\" src=\"logo.bmp\" alt=\"logo\" align=\"bottom\"/>",
                  310},
        WidthCase{"MissingImage", "<img border=\"0\" src=\"gone.bmp\" alt=\"gone\"/>", 180},
        // Markup takes no room; a reference counts once: 30 + 6 = 36 is not long, 37 is.
        WidthCase{"ThirtySixShownIsShort",
                  "<a href=\"A.html\"><b>" + std::string(30, 'x') +
                      "</b></a>&nbsp;&lt;&#65;&amp;&quot;&gt;<br/>"
                      "<font color=\"red\">" +
                      std::string(30, 'x') + "</font>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<br/>",
                  180},
        WidthCase{"ThirtySevenShownIsLong",
                  std::string(37, 'x') + "<br/>" + std::string(30, 'x') + "&nbsp;" +
                      std::string(6, 'y') + "<br/>",
                  360},
        WidthCase{"PreformattedLine",
                  "<pre>short\r\n" + std::string(30, 'x') + "&lt;&gt;\r\n</pre>", 320}));

TEST_F(LinksTest, PopupLineWidthCountsShownCharactersTimesTheTextFont) {
  EXPECT_EQ(PopupLineWidth("<b>ab</b>&lt;<u>c</u>\r\n"), 40);
  SetFont("TEXT", "Arial,12");
  EXPECT_EQ(PopupLineWidth("ab\n"), 24);
}

struct TextCase {
  const char* label;
  std::string actual;
  std::string expected;
};
void PrintTo(const TextCase& c, std::ostream* out) { *out << c.label; }

class LinkTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(LinkTextTest, WritesExactBytes) { EXPECT_EQ(GetParam().actual, GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Links, LinkTextTest,
    testing::Values(
        TextCase{"AddressGetsScheme", WebAddress("www.example.com"), "http://www.example.com"},
        TextCase{"AddressKeepsScheme", WebAddress("http://x.org"), "http://x.org"},
        TextCase{"CapitalSchemeIsNotRecognised", WebAddress("HTTP://x.org"), "http://HTTP://x.org"},
        TextCase{"HlpWebLink", WebLink(kHlp, "Site", "x.org"),
                 "\\uldb Site\\uldb0 {\\v *!ExecFile(\"x.org\",\"\",SW_RESTORE)}"},
        TextCase{"RtfWebLink", WebLink(kRtf, "Site", "x.org"), "Site"},
        TextCase{"ChmWebLink", WebLink(kChm, "Site", "x.org"),
                 "<a target=\"ExternalWindow\" href=\"http://x.org\">Site</a>"},
        TextCase{"HtmlWebLink", WebLink(kHtml, "Site", "x.org"),
                 "<a href=\"http://x.org\">Site</a>"},
        TextCase{"HlpKeyword", KeywordText(kHlp, "keyword", false), "{K{\\footnote K keyword}} "},
        TextCase{"HlpKeywordBeforeTags", KeywordText(kHlp, "keyword", true),
                 "{K{\\footnote K keyword}}  "},
        TextCase{"RtfKeyword", KeywordText(kRtf, "Open", false), "{\\pard\\plain\\v{\\xe Open}}"},
        TextCase{"RtfKeywordBeforeTags", KeywordText(kRtf, "Open", true),
                 "{\\pard\\plain\\v{\\xe Open}} "},
        TextCase{"RtfLowerCaseKeyword", KeywordText(kRtf, "open", true), ""},
        TextCase{"HtmlKeyword", KeywordText(kHtml, "File Open", true),
                 "<a name=\"File_Open\"></a>"},
        TextCase{"NoneWritesNothing", WebLink(kNone, "a", "b") + KeywordText(kNone, "A", true),
                 ""}));

}  // namespace
}  // namespace quillark
