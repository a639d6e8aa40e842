#include "helpwriter/inline_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

using enum OutputFormat;

constexpr BlockFlags kNoBlock{};
constexpr BlockFlags kCode{.code = true};
constexpr BlockFlags kExample{.example = true};
constexpr BlockFlags kSyntax{.syntax = true};
constexpr BlockFlags kDiagrams{.diagrams = true};

class InlineTextTest : public ::testing::Test {
 protected:
  void SetUp() override { InitFonts(writer_); }
  WriterState writer_;
};

// One byte as both formats of a family write it, or "differs".
std::string Family(bool html, int c, BlockFlags blocks, std::string_view tag, bool blank_line) {
  const auto c_byte = static_cast<unsigned char>(c);
  const std::string first = ConvertChar(html ? kChm : kHlp, c_byte, blank_line, tag, blocks);
  return ConvertChar(html ? kHtml : kRtf, c_byte, blank_line, tag, blocks) == first ? first
                                                                                    : "differs";
}
std::string Rtf(int c, BlockFlags blocks = kNoBlock, std::string_view tag = "",
                bool blank = false) {
  return Family(false, c, blocks, tag, blank);
}
std::string Html(int c, BlockFlags blocks = kNoBlock, std::string_view tag = "",
                 bool blank = false) {
  return Family(true, c, blocks, tag, blank);
}

// Ordinary lines, blank lines, "&sup2" and the signs outside blocks are in
// the whole-run files.
TEST(ConvertChar, GivesExactBytes) {
  EXPECT_EQ(Rtf(9), "\\tab ");
  // Line ends: nothing more after a heading end, nor inside HTML blocks.
  EXPECT_EQ(Rtf('\n', kNoBlock, "</head2>", true) + Rtf('\n', kNoBlock, "</head6>"), "\r\n\r\n");
  EXPECT_EQ(Rtf('\n', kNoBlock, "</head7>") + Rtf('\n', kNoBlock, "<head1>"),
            "\\line \r\n\\line \r\n");
  EXPECT_EQ(Rtf('\n', kExample, "", true), "\\par \r\n");
  EXPECT_EQ(Html('\n', kNoBlock, "</head4>", true) + Html('\n', kNoBlock, "<hline/>", true),
            "\r\n\r\n");
  EXPECT_EQ(Html('\n', kCode, "", true) + Html('\n', kSyntax) + Html('\n', kDiagrams, "", true),
            "\r\n\r\n\r\n");
  // Triangles and box drawing: hexadecimal escapes only in RTF syntax blocks.
  EXPECT_EQ(Rtf(16) + Rtf(16, kCode) + Rtf(16, kSyntax), ">>\\'10");
  EXPECT_EQ(Rtf(196, kDiagrams) + Rtf(176, kSyntax) + Rtf(223, kSyntax), "-\\'B0\\'DF");
  EXPECT_EQ(Html(17, kSyntax) + Html(196, kSyntax), "&lt;-");
  // Signs are the same inside a syntax block.
  EXPECT_EQ(Rtf(227, kSyntax) + Rtf(253), "{\\f9\\'70}\\'B2");
  EXPECT_EQ(Html(241), "&plusmn;");
}

// A run of printable bytes converts as its bytes one by one do.
TEST(AppendConvertedText, AgreesWithConvertChar) {
  std::string all;
  for (int c = 32; c <= 126; ++c) all += static_cast<char>(c);
  for (OutputFormat format : {kNone, kHlp, kRtf, kChm, kHtml}) {
    std::string one_by_one;
    for (char c : all) {
      AppendConvertedChar(one_by_one, format, static_cast<unsigned char>(c), false, "", kNoBlock);
    }
    std::string run = "kept ";
    AppendConvertedText(run, format, all);
    EXPECT_EQ(run, "kept " + one_by_one) << static_cast<int>(format);
  }
}

// The special bytes are looked for sixteen at a time: wherever a special
// byte stands in a run of any length, and wherever the run starts in its
// block, the run converts as its bytes one by one do.
class SpecialPlaceTest : public testing::TestWithParam<OutputFormat> {};

TEST_P(SpecialPlaceTest, EveryPlaceInEveryLength) {
  const OutputFormat format = GetParam();
  const std::string_view specials = IsRtfFamily(format) ? "\\{}" : "&<>'\"";
  for (std::size_t length = 1; length <= 49; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (std::size_t second = at; second <= length; second += 7) {
        std::string text(length, 'a');
        text[at] = specials[at % specials.size()];
        if (second < length) text[second] = specials[second % specials.size()];
        std::string one_by_one;
        for (char c : text) {
          AppendConvertedChar(one_by_one, format, static_cast<unsigned char>(c), false, "",
                              kNoBlock);
        }
        // The run is taken from the middle of a longer text, as runs of a line are.
        const std::string line = "zz" + text + "zz";
        std::string run;
        AppendConvertedText(run, format, std::string_view(line).substr(2, length));
        ASSERT_EQ(run, one_by_one) << "length " << length << " at " << at << " and " << second;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Families, SpecialPlaceTest, testing::Values(kRtf, kHtml));

// 176 to 223 in order, as both families write them outside syntax blocks.
constexpr std::string_view kBoxSubstitutes = ":**|||****|****++--|-+|******=**+*+****++++XxXXx";

TEST(ConvertChar, BoxDrawingSubstitutesAndUnknownBytes) {
  for (OutputFormat format : {kHlp, kRtf, kChm, kHtml}) {
    for (BlockFlags blocks : {kNoBlock, kCode}) {
      std::string text;
      for (int c = 176; c <= 223; ++c) {
        text += ConvertChar(format, static_cast<unsigned char>(c), false, "", blocks);
      }
      EXPECT_EQ(text, kBoxSubstitutes) << static_cast<int>(format);
    }
  }
  // Bytes without a meaning are dropped.
  for (OutputFormat format : {kNone, kHlp, kRtf, kChm, kHtml}) {
    for (int c : {0, 13, 127, 128, 175, 224, 228, 254, 255}) {
      EXPECT_EQ(ConvertChar(format, static_cast<unsigned char>(c), false, "", kSyntax), "")
          << static_cast<int>(format) << " byte " << c;
    }
  }
}

TEST_F(InlineTextTest, SwitchTexts) {
  EXPECT_EQ(SubscriptText(kRtf, writer_, true, 'x', kCode) +
                SubscriptText(kHtml, writer_, true, 'x', kSyntax),
            "");
  EXPECT_EQ(HorizontalLine(kHlp, 2), "\\par\\brdrdb\\brdrt\\par\\pard\r\n");
  EXPECT_EQ(HorizontalLine(kChm, 2),
            "<p><hr noshade size=\"1\" color=\"black\"><hr noshade size=\"1\" "
            "color=\"black\"></p>\r\n");
  EXPECT_EQ(HorizontalLine(kHtml, 0) + HorizontalLine(kRtf, 3), "");
  // Black shares entry 0 with "no colour"; tags are case-sensitive.
  EXPECT_EQ(ColourText(kHlp, "<clr_black/>") + ColourText(kRtf, "<clr_white/>"), "\\cf0 \\cf15 ");
  EXPECT_EQ(ColourText(kChm, "<clr_white/>"), "<font color=\"#FEFEFE\">");
  EXPECT_EQ(ColourText(kRtf, "<CLR_NONE/>") + ColourText(kHtml, "<clr_pink/>"), "");
  EXPECT_EQ(HeadingText(kHlp, writer_, true, 0, 'x') + HeadingText(kHtml, writer_, true, 7, 'x'),
            "");
}

TEST_F(InlineTextTest, BlockTags) {
  // "\\keep" only in HLP; other diagram alignments; unknown keys give nothing.
  EXPECT_EQ(BlockTag(kRtf, writer_, "CODE", true, ' '), "\\par\\pard\\f7\\fs20\r\n");
  EXPECT_EQ(BlockTag(kRtf, writer_, "DIAGRAMS", true, 'R'), "\\par\\qr\\f7\\fs15\\keep\r\n");
  EXPECT_EQ(BlockTag(kChm, writer_, "DIAGRAMS", true, 'R'), "<div align=\"right\"><pre><small/>");
  EXPECT_EQ(BlockTag(kNone, writer_, "CODE", true, ' ') + BlockTag(kHlp, writer_, "H0", true, ' ') +
                BlockTag(kRtf, writer_, "H7", true, ' ') +
                BlockTag(kHlp, writer_, "code", true, ' '),
            "");
  // After a heading end the leading "\\par" is left out, but not after a line.
  SetPreviousTag(writer_, "</head2>");
  EXPECT_EQ(BlockTag(kRtf, writer_, "SYNTAX", true, ' '), "\\pard\\f8\\fs20\r\n");
  SetPreviousTag(writer_, "<hline/>");
  EXPECT_EQ(BlockTag(kHlp, writer_, "EXAMPLE", true, ' '), "\\par\\pard\\f7\\fs20\\keep\r\n");
  // The half-height line under a heading follows the text size.
  SetFont(writer_, "TEXT", "Verdana,12");
  EXPECT_EQ(HeadingText(kRtf, writer_, false, 5, ','),
            "\\f0\\fs24\\b0\\keep\\line\\fs12\\line\\fs24");
}

// Three quarters of twice the text size, ties to even.
TEST_F(InlineTextTest, DiagramSizeFollowsTheTextSize) {
  for (const auto& [font, size] :
       {std::pair{"Arial,9", 14}, std::pair{"Arial,10", 15}, std::pair{"Arial,12", 18}}) {
    SetFont(writer_, "TEXT", font);
    EXPECT_EQ(BlockTag(kHlp, writer_, "DIAGRAMS", true, 'C'),
              "\\par\\qc\\f7\\fs" + std::to_string(size) + "\\keep\r\n");
  }
  // Sizes at the 32-bit limit are doubled without overflowing.
  SetFont(writer_, "TEXT", "Arial,2147483647");
  EXPECT_EQ(BlockTag(kRtf, writer_, "CODE", false, ' '), "\\par\\pard\\f0\\fs4294967294\r\n");
}

}  // namespace
}  // namespace quillark
