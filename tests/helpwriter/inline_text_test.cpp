#include "helpwriter/inline_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>

#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

constexpr OutputFormat kNone = OutputFormat::kNone;
constexpr OutputFormat kHlp = OutputFormat::kHlp;
constexpr OutputFormat kRtf = OutputFormat::kRtf;
constexpr OutputFormat kChm = OutputFormat::kChm;
constexpr OutputFormat kHtml = OutputFormat::kHtml;

constexpr BlockFlags kNoBlock{};
constexpr BlockFlags kCode{.code = true};
constexpr BlockFlags kExample{.example = true};
constexpr BlockFlags kSyntax{.syntax = true};
constexpr BlockFlags kDiagrams{.diagrams = true};

// Every test starts from the default fonts and no previous tag.
class InlineTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    InitFonts();
  }
  void TearDown() override { ResetWriterState(); }
};

// One byte in one situation; the case runs for both formats of its family.
struct CharCase {
  int c;
  bool blank_line;
  std::string_view preceding_tag;
  BlockFlags blocks;
  std::string_view expected;
};

CharCase Byte(int c, std::string_view expected, BlockFlags blocks = kNoBlock) {
  return {c, false, "", blocks, expected};
}
CharCase LineEnd(bool blank_line, std::string_view tag, BlockFlags blocks,
                 std::string_view expected) {
  return {10, blank_line, tag, blocks, expected};
}

class RtfConvertChar : public ::testing::TestWithParam<std::tuple<OutputFormat, CharCase>> {};
class HtmlConvertChar : public ::testing::TestWithParam<std::tuple<OutputFormat, CharCase>> {};

void ExpectConverted(OutputFormat format, const CharCase& test) {
  EXPECT_EQ(ConvertChar(format, static_cast<unsigned char>(test.c), test.blank_line,
                        test.preceding_tag, test.blocks),
            test.expected)
      << "byte " << test.c << " after \"" << test.preceding_tag << "\"";
}

TEST_P(RtfConvertChar, GivesExactBytes) {
  ExpectConverted(std::get<0>(GetParam()), std::get<1>(GetParam()));
}
TEST_P(HtmlConvertChar, GivesExactBytes) {
  ExpectConverted(std::get<0>(GetParam()), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    Characters, RtfConvertChar,
    ::testing::Combine(
        ::testing::Values(kHlp, kRtf),
        ::testing::Values(
            Byte('a', "a"), Byte('&', "&"), Byte('\\', "\\'5C"), Byte('{', "\\'7B"),
            Byte('}', "\\'7D"), Byte(7, "{\\f9\\'B7}"), Byte(9, "\\tab "),
            CharCase{' ', false, "</jump_popup>", kNoBlock, " "},
            LineEnd(false, "", kNoBlock, "\\line \r\n"), LineEnd(true, "", kNoBlock, "\\par \r\n"),
            LineEnd(false, "</head1>", kNoBlock, "\r\n"),
            LineEnd(true, "</head2>", kNoBlock, "\r\n"),
            LineEnd(false, "</head6>", kNoBlock, "\r\n"),
            LineEnd(false, "<head1>", kNoBlock, "\\line \r\n"),
            LineEnd(false, "</head7>", kNoBlock, "\\line \r\n"),
            LineEnd(false, "<hline/>", kNoBlock, "\\line \r\n"),
            LineEnd(false, "", kCode, "\\line \r\n"), LineEnd(true, "", kExample, "\\par \r\n"),
            // Triangles and box drawing: hexadecimal escapes only inside syntax blocks.
            Byte(16, ">"), Byte(17, "<"), Byte(30, "^"), Byte(31, "V"), Byte(16, ">", kCode),
            Byte(16, "\\'10", kSyntax), Byte(17, "\\'11", kSyntax), Byte(30, "\\'1E", kSyntax),
            Byte(31, "\\'1F", kSyntax), Byte(196, "-"), Byte(196, "-", kDiagrams),
            Byte(196, "\\'C4", kSyntax), Byte(176, "\\'B0", kSyntax), Byte(223, "\\'DF", kSyntax),
            // Mathematical signs, the same inside a syntax block.
            Byte(227, "{\\f9\\'70}"), Byte(227, "{\\f9\\'70}", kSyntax), Byte(241, "\\'B1"),
            Byte(242, "{\\f9\\'B3}"), Byte(243, "{\\f9\\'A3}"), Byte(248, "\\'B0"),
            Byte(253, "\\'B2"))));

INSTANTIATE_TEST_SUITE_P(
    Characters, HtmlConvertChar,
    ::testing::Combine(
        ::testing::Values(kChm, kHtml),
        ::testing::Values(Byte('a', "a"), Byte('\\', "\\"), Byte('&', "&amp;"), Byte('<', "&lt;"),
                          Byte('>', "&gt;"), Byte('\'', "&#39;"), Byte('"', "&quot;"),
                          Byte(' ', " "), CharCase{' ', false, "</jump_popup>", kNoBlock, "&nbsp;"},
                          Byte(7, "&bull;"), Byte(9, "&nbsp;&nbsp;&nbsp;"),
                          // Line ends; a blank line is a complete empty paragraph.
                          LineEnd(false, "", kNoBlock, "<br/>\r\n"),
                          LineEnd(true, "", kNoBlock, "<p></p>\r\n"),
                          LineEnd(false, "</head1>", kNoBlock, "\r\n"),
                          LineEnd(true, "</head4>", kNoBlock, "\r\n"),
                          LineEnd(false, "</head6>", kNoBlock, "\r\n"),
                          LineEnd(false, "<hline/>", kNoBlock, "\r\n"),
                          LineEnd(true, "<hline/>", kNoBlock, "\r\n"),
                          LineEnd(false, "<bold>", kNoBlock, "<br/>\r\n"),
                          LineEnd(false, "", kCode, "\r\n"), LineEnd(true, "", kCode, "\r\n"),
                          LineEnd(false, "", kExample, "\r\n"), LineEnd(false, "", kSyntax, "\r\n"),
                          LineEnd(true, "", kDiagrams, "\r\n"),
                          // Triangles and box drawing never escape in HTML.
                          Byte(16, "&gt;"), Byte(17, "&lt;", kSyntax), Byte(30, "^"), Byte(31, "V"),
                          Byte(196, "-", kSyntax),
                          // Symbols; superscript two has no semicolon.
                          Byte(227, "&pi;"), Byte(241, "&plusmn;"), Byte(242, "&ge;"),
                          Byte(243, "&le;"), Byte(248, "&deg;"), Byte(253, "&sup2"))));

// 176 to 223 in order, as both families write them outside syntax blocks.
constexpr std::string_view kBoxSubstitutes = ":**|||****|****++--|-+|******=**+*+****++++XxXXx";

TEST(ConvertChar, BoxDrawingSubstitutesInBothFamilies) {
  for (OutputFormat format : {kHlp, kRtf, kChm, kHtml}) {
    for (BlockFlags blocks : {kNoBlock, kCode}) {
      std::string text;
      for (int c = 176; c <= 223; ++c) {
        text += ConvertChar(format, static_cast<unsigned char>(c), false, "", blocks);
      }
      EXPECT_EQ(text, kBoxSubstitutes) << static_cast<int>(format);
    }
  }
}

TEST(ConvertChar, UnknownBytesAreDropped) {
  for (OutputFormat format : {kHlp, kRtf, kChm, kHtml}) {
    for (int c : {0, 13, 127, 128, 175, 224, 228, 233, 252, 254, 255}) {
      EXPECT_EQ(ConvertChar(format, static_cast<unsigned char>(c), false, "", kSyntax), "")
          << static_cast<int>(format) << " byte " << c;
    }
  }
}

TEST(ConvertChar, FormatNoneGivesNothingForAnyByte) {
  for (int c = 0; c <= 255; ++c) {
    EXPECT_EQ(ConvertChar(kNone, static_cast<unsigned char>(c), true, "</head1>", kSyntax), "");
  }
}

// A switch writer, its format, the new state, the next character and the text.
using SwitchWriter = std::string (*)(OutputFormat, bool, char);
struct SwitchCase {
  SwitchWriter writer;
  OutputFormat format;
  bool on;
  char next;
  std::string_view expected;
};

class SwitchTexts : public InlineTextTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchTexts, GivesExactBytes) {
  const SwitchCase& test = GetParam();
  EXPECT_EQ(test.writer(test.format, test.on, test.next), test.expected);
}

INSTANTIATE_TEST_SUITE_P(Formatting, SwitchTexts,
                         ::testing::Values(SwitchCase{BoldText, kHlp, true, 'x', "\\b "},
                                           SwitchCase{BoldText, kRtf, true, ',', "\\b"},
                                           SwitchCase{BoldText, kRtf, false, 'x', "\\b0 "},
                                           SwitchCase{BoldText, kHlp, false, '\0', "\\b0 "},
                                           SwitchCase{BoldText, kChm, true, ',', "<b>"},
                                           SwitchCase{BoldText, kHtml, false, 'x', "</b>"},
                                           SwitchCase{BoldText, kNone, true, 'x', ""},
                                           SwitchCase{ItalicText, kHlp, true, ' ', "\\i "},
                                           SwitchCase{ItalicText, kRtf, false, ',', "\\i0"},
                                           SwitchCase{ItalicText, kHtml, true, 'x', "<i>"},
                                           SwitchCase{ItalicText, kChm, false, 'x', "</i>"},
                                           SwitchCase{UnderlineText, kRtf, true, 'x', "\\ul "},
                                           SwitchCase{UnderlineText, kHlp, false, ',', "\\ul0"},
                                           SwitchCase{UnderlineText, kHtml, true, ',', "<u>"},
                                           SwitchCase{UnderlineText, kChm, false, 'x', "</u>"},
                                           SwitchCase{UnderlineText, kNone, false, 'x', ""}));

struct SubscriptCase {
  OutputFormat format;
  bool on;
  char next;
  BlockFlags blocks;
  std::string_view expected;
};

class Subscript : public InlineTextTest, public ::testing::WithParamInterface<SubscriptCase> {};

TEST_P(Subscript, GivesExactBytes) {
  const SubscriptCase& test = GetParam();
  EXPECT_EQ(SubscriptText(test.format, test.on, test.next, test.blocks), test.expected);
}

INSTANTIATE_TEST_SUITE_P(Formatting, Subscript,
                         ::testing::Values(SubscriptCase{kHlp, true, 'x', kNoBlock, "\\fs16 "},
                                           SubscriptCase{kHlp, false, 'x', kNoBlock, "\\fs20 "},
                                           SubscriptCase{kHlp, false, ',', kNoBlock, "\\fs20"},
                                           SubscriptCase{kRtf, true, 'x', kNoBlock, "\\sub "},
                                           SubscriptCase{kRtf, true, ',', kNoBlock, "\\sub"},
                                           SubscriptCase{kRtf, false, '\0', kNoBlock,
                                                         "\\nosupersub "},
                                           SubscriptCase{kChm, true, ',', kNoBlock, "<sub>"},
                                           SubscriptCase{kHtml, false, 'x', kNoBlock, "</sub>"},
                                           SubscriptCase{kNone, true, 'x', kNoBlock, ""},
                                           SubscriptCase{kHlp, true, 'x', kExample, ""},
                                           SubscriptCase{kRtf, true, 'x', kCode, ""},
                                           SubscriptCase{kHtml, true, 'x', kSyntax, ""},
                                           SubscriptCase{kChm, false, 'x', kDiagrams, ""}));

TEST_F(InlineTextTest, HlpSubscriptOffReturnsToTheTextSize) {
  SetFont("TEXT", "Verdana,12");
  EXPECT_EQ(SubscriptText(kHlp, false, 'x', kNoBlock), "\\fs24 ");
}

TEST(BulletText, PerFamily) {
  EXPECT_EQ(BulletText(kHlp), "{\\f9\\'B7}");
  EXPECT_EQ(BulletText(kRtf), "{\\f9\\'B7}");
  EXPECT_EQ(BulletText(kChm), "&bull;");
  EXPECT_EQ(BulletText(kHtml), "&bull;");
  EXPECT_EQ(BulletText(kNone), "");
}

TEST(HorizontalLine, PerFormatAndStyle) {
  EXPECT_EQ(HorizontalLine(kHlp, 1), "\\par\\brdrs\\brdrt\\par\\pard\r\n");
  EXPECT_EQ(HorizontalLine(kHlp, 2), "\\par\\brdrdb\\brdrt\\par\\pard\r\n");
  EXPECT_EQ(HorizontalLine(kRtf, 1),
            "\\par\\li0\\ri0\\brdrt\\brdrs\\brdrw20\\brsp20\\par\\pard\r\n");
  EXPECT_EQ(HorizontalLine(kRtf, 2),
            "\\par\\li0\\ri0\\brdrt\\brdrdb\\brdrw20\\brsp20\\par\\pard\r\n");
  for (OutputFormat format : {kChm, kHtml}) {
    EXPECT_EQ(HorizontalLine(format, 1), "<p><hr noshade size=\"0\" color=\"black\"></p>\r\n");
    EXPECT_EQ(HorizontalLine(format, 2),
              "<p><hr noshade size=\"1\" color=\"black\"><hr noshade size=\"1\" "
              "color=\"black\"></p>\r\n");
  }
  for (OutputFormat format : {kHlp, kRtf, kChm, kHtml}) {
    EXPECT_EQ(HorizontalLine(format, 0), "");
    EXPECT_EQ(HorizontalLine(format, 3), "");
  }
  EXPECT_EQ(HorizontalLine(kNone, 1), "");
}

struct ColourCase {
  std::string_view tag;
  std::string_view rtf;
  std::string_view html;
};

class ColourTextTag : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourTextTag, GivesExactBytesPerFamily) {
  const ColourCase& test = GetParam();
  EXPECT_EQ(ColourText(kHlp, test.tag), test.rtf);
  EXPECT_EQ(ColourText(kRtf, test.tag), test.rtf);
  EXPECT_EQ(ColourText(kChm, test.tag), test.html);
  EXPECT_EQ(ColourText(kHtml, test.tag), test.html);
  EXPECT_EQ(ColourText(kNone, test.tag), "");
}

INSTANTIATE_TEST_SUITE_P(
    AllTags, ColourTextTag,
    ::testing::Values(ColourCase{"<clr_none/>", "\\cf0 ", "</font>"},
                      ColourCase{"<clr_black/>", "\\cf0 ", "<font color=\"#000000\">"},
                      ColourCase{"<clr_dark_red/>", "\\cf1 ", "<font color=\"#800000\">"},
                      ColourCase{"<clr_dark_green/>", "\\cf2 ", "<font color=\"#008000\">"},
                      ColourCase{"<clr_dark_yellow/>", "\\cf3 ", "<font color=\"#808000\">"},
                      ColourCase{"<clr_dark_blue/>", "\\cf4 ", "<font color=\"#000080\">"},
                      ColourCase{"<clr_dark_magenta/>", "\\cf5 ", "<font color=\"#800080\">"},
                      ColourCase{"<clr_dark_cyan/>", "\\cf6 ", "<font color=\"#008080\">"},
                      ColourCase{"<clr_light_grey/>", "\\cf7 ", "<font color=\"#C0C0C0\">"},
                      ColourCase{"<clr_dark_grey/>", "\\cf8 ", "<font color=\"#404040\">"},
                      ColourCase{"<clr_light_red/>", "\\cf9 ", "<font color=\"#FF0000\">"},
                      ColourCase{"<clr_light_green/>", "\\cf10 ", "<font color=\"#00FF00\">"},
                      ColourCase{"<clr_light_yellow/>", "\\cf11 ", "<font color=\"#FFFF00\">"},
                      ColourCase{"<clr_light_blue/>", "\\cf12 ", "<font color=\"#0000FF\">"},
                      ColourCase{"<clr_light_magenta/>", "\\cf13 ", "<font color=\"#FF00FF\">"},
                      ColourCase{"<clr_light_cyan/>", "\\cf14 ", "<font color=\"#00FFFF\">"},
                      ColourCase{"<clr_white/>", "\\cf15 ", "<font color=\"#FEFEFE\">"},
                      ColourCase{"<clr_pink/>", "", ""}, ColourCase{"<CLR_NONE/>", "", ""},
                      ColourCase{"", "", ""}));

struct BlockCase {
  OutputFormat format;
  std::string_view key;
  bool start;
  char alignment;
  std::string_view expected;
};

class BlockTagKey : public InlineTextTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(BlockTagKey, GivesExactBytesWithDefaultFonts) {
  const BlockCase& test = GetParam();
  EXPECT_EQ(BlockTag(test.format, test.key, test.start, test.alignment), test.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, BlockTagKey,
    ::testing::Values(BlockCase{kHlp, "H1", true, ' ', "\\f1\\fs48\\b"},
                      BlockCase{kRtf, "H6", true, ' ', "\\f6\\fs24\\b"},
                      BlockCase{kHlp, "H3", false, ' ', "\\f0\\fs20\\b0"},
                      BlockCase{kChm, "H2", true, ' ', "<h2>"},
                      BlockCase{kHtml, "H5", false, ' ', "</h5>"},
                      BlockCase{kHlp, "CODE", true, ' ', "\\par\\pard\\f7\\fs20\\keep\r\n"},
                      BlockCase{kRtf, "CODE", true, ' ', "\\par\\pard\\f7\\fs20\r\n"},
                      BlockCase{kHlp, "EXAMPLE", true, ' ', "\\par\\pard\\f7\\fs20\\keep\r\n"},
                      BlockCase{kHlp, "SYNTAX", true, ' ', "\\par\\pard\\f8\\fs20\\keep\r\n"},
                      BlockCase{kRtf, "SYNTAX", true, ' ', "\\par\\pard\\f8\\fs20\r\n"},
                      BlockCase{kHlp, "CODE", false, ' ', "\\par\\pard\\f0\\fs20\r\n"},
                      BlockCase{kRtf, "EXAMPLE", false, ' ', "\\par\\pard\\f0\\fs20\r\n"},
                      BlockCase{kRtf, "SYNTAX", false, ' ', "\\par\\pard\\f0\\fs20\r\n"},
                      BlockCase{kHlp, "DIAGRAMS", true, 'C', "\\par\\qc\\f7\\fs15\\keep\r\n"},
                      BlockCase{kRtf, "DIAGRAMS", true, 'R', "\\par\\qr\\f7\\fs15\\keep\r\n"},
                      BlockCase{kHlp, "DIAGRAMS", true, 'L', "\\par\\ql\\f7\\fs15\\keep\r\n"},
                      BlockCase{kRtf, "DIAGRAMS", true, ' ', "\\par\\ql\\f7\\fs15\\keep\r\n"},
                      BlockCase{kRtf, "DIAGRAMS", false, 'C', "\\par\\pard\\f0\\fs20\r\n"},
                      BlockCase{kChm, "CODE", true, ' ', "<pre>"},
                      BlockCase{kHtml, "EXAMPLE", true, ' ', "<pre>"},
                      BlockCase{kHtml, "SYNTAX", false, ' ', "</pre>"},
                      BlockCase{kHtml, "DIAGRAMS", true, 'C',
                                "<div align=\"center\"><pre><small/>"},
                      BlockCase{kChm, "DIAGRAMS", true, 'R', "<div align=\"right\"><pre><small/>"},
                      BlockCase{kHtml, "DIAGRAMS", true, 'L', "<div align=\"left\"><pre><small/>"},
                      BlockCase{kChm, "DIAGRAMS", false, 'C', "<big/></pre></div>"},
                      BlockCase{kNone, "CODE", true, ' ', ""},
                      BlockCase{kNone, "H1", true, ' ', ""}, BlockCase{kHlp, "H0", true, ' ', ""},
                      BlockCase{kRtf, "H7", true, ' ', ""}, BlockCase{kHtml, "H7", true, ' ', ""},
                      BlockCase{kHlp, "code", true, ' ', ""}, BlockCase{kHtml, "", true, ' ', ""}));

TEST_F(InlineTextTest, CodeBlockAfterHeadingEndStartsWithoutPar) {
  SetPreviousTag("</head2>");
  EXPECT_EQ(BlockTag(kHlp, "CODE", true, ' '), "\\pard\\f7\\fs20\\keep\r\n");
  EXPECT_EQ(BlockTag(kRtf, "SYNTAX", true, ' '), "\\pard\\f8\\fs20\r\n");
  // Diagrams always open a paragraph, and block ends ignore the previous tag.
  EXPECT_EQ(BlockTag(kRtf, "DIAGRAMS", true, 'C'), "\\par\\qc\\f7\\fs15\\keep\r\n");
  EXPECT_EQ(BlockTag(kRtf, "CODE", false, ' '), "\\par\\pard\\f0\\fs20\r\n");
  SetPreviousTag("<hline/>");
  EXPECT_EQ(BlockTag(kHlp, "EXAMPLE", true, ' '), "\\par\\pard\\f7\\fs20\\keep\r\n");
}

class DiagramSize : public InlineTextTest,
                    public ::testing::WithParamInterface<std::tuple<std::string_view, int>> {};

TEST_P(DiagramSize, IsThreeQuartersOfTwiceTheTextSizeTiesToEven) {
  SetFont("TEXT", std::get<0>(GetParam()));
  EXPECT_EQ(BlockTag(kHlp, "DIAGRAMS", true, 'C'),
            "\\par\\qc\\f7\\fs" + std::to_string(std::get<1>(GetParam())) + "\\keep\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    TextSizes, DiagramSize,
    ::testing::Values(std::make_tuple("Arial,10", 15), std::make_tuple("Arial,11", 16),
                      std::make_tuple("Arial,12", 18), std::make_tuple("Arial,13", 20),
                      std::make_tuple("Arial,9", 14), std::make_tuple("Arial,7", 10),
                      std::make_tuple("Arial,large", 0), std::make_tuple("Arial,-5", -8)));

TEST_F(InlineTextTest, BlockSizesFollowTheFonts) {
  SetFont("TEXT", "Verdana,12");
  SetFont("H4", "Verdana,30");
  EXPECT_EQ(BlockTag(kRtf, "H4", true, ' '), "\\f4\\fs60\\b");
  EXPECT_EQ(BlockTag(kRtf, "H4", false, ' '), "\\f0\\fs24\\b0");
  EXPECT_EQ(BlockTag(kHlp, "CODE", true, ' '), "\\par\\pard\\f7\\fs24\\keep\r\n");
  // Sizes at the 32-bit limit are doubled without overflowing.
  SetFont("TEXT", "Arial,2147483647");
  EXPECT_EQ(BlockTag(kRtf, "CODE", false, ' '), "\\par\\pard\\f0\\fs4294967294\r\n");
}

struct HeadingCase {
  OutputFormat format;
  bool on;
  int level;
  char next;
  std::string_view expected;
};

class HeadingTextLevel : public InlineTextTest,
                         public ::testing::WithParamInterface<HeadingCase> {};

TEST_P(HeadingTextLevel, GivesExactBytesWithDefaultFonts) {
  const HeadingCase& test = GetParam();
  EXPECT_EQ(HeadingText(test.format, test.on, test.level, test.next), test.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, HeadingTextLevel,
    ::testing::Values(
        HeadingCase{kHlp, true, 1, 'T', "\\f1\\fs48\\b "},
        HeadingCase{kRtf, true, 1, ',', "\\f1\\fs48\\b"},
        HeadingCase{kRtf, true, 6, 'T', "\\f6\\fs24\\b "},
        HeadingCase{kHlp, false, 2, 'x', "\\f0\\fs20\\b0\\line\\fs10\\par\\fs20 "},
        HeadingCase{kRtf, false, 2, 'x', "\\f0\\fs20\\b0\\keep\\line\\fs10\\line\\fs20 "},
        HeadingCase{kRtf, false, 5, ',', "\\f0\\fs20\\b0\\keep\\line\\fs10\\line\\fs20"},
        HeadingCase{kHtml, true, 3, 'x', "<h3>"}, HeadingCase{kChm, false, 6, ',', "</h6>"},
        HeadingCase{kNone, true, 1, 'x', ""}, HeadingCase{kHlp, true, 0, 'x', ""},
        HeadingCase{kRtf, false, 7, 'x', ""}, HeadingCase{kHtml, true, 7, 'x', ""}));

TEST_F(InlineTextTest, HeadingEndUsesTheTextSize) {
  SetFont("TEXT", "Verdana,12");
  EXPECT_EQ(HeadingText(kHlp, false, 1, 'x'), "\\f0\\fs24\\b0\\line\\fs12\\par\\fs24 ");
  EXPECT_EQ(HeadingText(kRtf, false, 1, 'x'), "\\f0\\fs24\\b0\\keep\\line\\fs12\\line\\fs24 ");
}

}  // namespace
}  // namespace quillark
