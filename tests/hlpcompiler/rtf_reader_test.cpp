#include "hlpcompiler/rtf_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace quillark::hlpc {
namespace {

constexpr const char* kHead =
    "{\\rtf1\\ansi\\deff0\r\n{\\fonttbl\r\n\\f0\\fswiss Verdana;\r\n\\f7\\fdecor Courier New;\r\n}"
    "\r\n{\\colortbl\r\n;\r\n\\red128\\green0\\blue0;\r\n}\r\n";

RtfReadResult Read(const std::string& body) {
  return ReadTopicFile(std::string(kHead) + body + "}\r\n", "t.rtf");
}

// The text of a paragraph with markers for the other items.
std::string Flatten(const Paragraph& paragraph) {
  std::string out;
  for (const Item& item : paragraph.items) {
    switch (item.kind) {
      case ItemKind::kText:
        out += item.text;
        break;
      case ItemKind::kLineBreak:
        out += "|";
        break;
      case ItemKind::kTab:
        out += "\\t";
        break;
      case ItemKind::kPicture:
        out += "[pic " + item.text + "]";
        break;
      case ItemKind::kHotspotStart:
        out += item.hotspot == HotspotKind::kJump    ? "<jump " + item.text + ">"
               : item.hotspot == HotspotKind::kPopup ? "<popup " + item.text + ">"
                                                     : "<macro " + item.text + ">";
        break;
      case ItemKind::kHotspotEnd:
        out += "</>";
        break;
    }
  }
  return out;
}

TEST(RtfReader, FootnotesNameAndIndexTheTopic) {
  const RtfReadResult result = Read(
      "#{\\footnote # INTRODUCTION}\r\n${\\footnote $ Introduction}\r\n+{\\footnote + 1}\r\n"
      "K{\\footnote K Introduction}\r\n!{\\footnote ! DisableButton(btnExample)}\r\n"
      "\\plain\\fs10\\line\\f0\\fs22\\pard\r\nText{K{\\footnote K Colours; more }}  end\\line \r\n"
      "\\page\r\n\r\n#{\\footnote # SECOND}\r\nSecond.\\page\r\n");
  ASSERT_TRUE(result.errors.empty());
  EXPECT_TRUE(result.warnings.empty());
  ASSERT_EQ(result.topics.size(), 2u);
  const Topic& topic = result.topics[0];
  EXPECT_EQ(topic.contexts, std::vector<std::string>{"INTRODUCTION"});
  EXPECT_EQ(topic.title, "Introduction");
  EXPECT_EQ(topic.browse, "1");
  EXPECT_EQ(topic.keywords, (std::vector<std::string>{"Introduction", "Colours", "more"}));
  EXPECT_EQ(topic.macros, std::vector<std::string>{"DisableButton(btnExample)"});
  ASSERT_EQ(topic.paragraphs.size(), 1u);
  // The footnote marks are not text; the small line break keeps its 5 points.
  EXPECT_EQ(Flatten(topic.paragraphs[0]), "|Text  end|");
  EXPECT_EQ(topic.paragraphs[0].items[0].font.half_points, 10);
  EXPECT_EQ(result.topics[1].contexts, std::vector<std::string>{"SECOND"});
}

TEST(RtfReader, UnderlinedTextBeforeHiddenTextBecomesAHotspot) {
  const RtfReadResult result = Read(
      "See \\uldb Text styles\\uldb0 {\\v TEXT_STYLES}, \\ul Note\\ul0 {\\v NOTE} and "
      "\\uldb www\\uldb0 {\\v *!ExecFile(\"www\",\"\",SW_RESTORE)}. \\ul plain\\ul0  {\\v "
      "LOST}\\par");
  ASSERT_EQ(result.topics.size(), 1u);
  const Paragraph& paragraph = result.topics[0].paragraphs[0];
  EXPECT_EQ(Flatten(paragraph),
            "See <jump TEXT_STYLES>Text styles</>, <popup NOTE>Note</> and "
            "<macro ExecFile(\"www\",\"\",SW_RESTORE)>www</>. plain ");
  // Hotspot text loses its underline (the viewer draws its own); other text keeps it.
  EXPECT_EQ(paragraph.items[2].font.attributes, 0);
  ASSERT_EQ(result.warnings.size(), 1u);
  EXPECT_NE(result.warnings[0].text.find("LOST"), std::string::npos);
}

TEST(RtfReader, EscapedBracesPlacePicturesOtherBracesStayText) {
  const RtfReadResult result = Read(
      "\\par\\qc\\{bmc pic.bmp\\}\\par\\pard\r\nInline \\{bml pic.bmp\\} and \\{bmr r.bmp\\} "
      "\\'7Bbmc no.bmp\\'7D \\{bmx a\\} \\{b\\b mc x.bmp\\}\\par");
  const std::vector<Paragraph>& paragraphs = result.topics[0].paragraphs;
  ASSERT_EQ(paragraphs.size(), 3u);
  EXPECT_EQ(paragraphs[1].format.alignment, Alignment::kCentre);
  EXPECT_EQ(Flatten(paragraphs[1]), "[pic pic.bmp]");
  EXPECT_EQ(paragraphs[2].format.alignment, Alignment::kLeft);
  EXPECT_EQ(Flatten(paragraphs[2]),
            "Inline [pic pic.bmp] and [pic r.bmp] {bmc no.bmp} {bmx a} {bmc x.bmp}");
  EXPECT_EQ(paragraphs[2].items[1].align, PictureAlign::kLeft);
  EXPECT_EQ(paragraphs[2].items[3].align, PictureAlign::kRight);
}

TEST(RtfReader, CharacterAndParagraphProperties) {
  const RtfReadResult result = Read(
      "\\f0\\fs22 a\\b b\\b0\\i i\\i0 \\ul u\\ul0 \\cf1 r\\cf0 \\f7 c\\plain p\\tab x\\par"
      "\\pard\\li720\\fi-360\\sb120\\sa60\\ri100\\tx1440\\tqr\\tx2880\\keep\\brdrdb\\brdrt q\\par");
  const std::vector<Paragraph>& paragraphs = result.topics[0].paragraphs;
  ASSERT_EQ(paragraphs.size(), 2u);
  const std::vector<Item>& items = paragraphs[0].items;
  ASSERT_EQ(items.size(), 9u);
  EXPECT_EQ(items[0].font.face, "Verdana");
  EXPECT_EQ(items[0].font.half_points, 22);
  EXPECT_EQ(items[1].font.attributes, kBold);
  EXPECT_EQ(items[2].font.attributes, kItalic);
  EXPECT_EQ(items[3].font.attributes, kUnderline);
  EXPECT_EQ(items[4].font.red, 128);
  EXPECT_EQ(items[5].font.face, "Courier New");
  EXPECT_EQ(items[5].font.family,
            FontFamily::kModern);            // a fixed-pitch face, whatever \fdecor says
  EXPECT_EQ(items[6].font.half_points, 24);  // \plain returns to 12 points
  EXPECT_EQ(items[7].kind, ItemKind::kTab);
  const ParagraphFormat& format = paragraphs[1].format;
  EXPECT_EQ(format.left_indent, 720);
  EXPECT_EQ(format.first_indent, -360);
  EXPECT_EQ(format.space_before, 120);
  EXPECT_EQ(format.space_after, 60);
  EXPECT_EQ(format.right_indent, 100);
  EXPECT_TRUE(format.no_wrap);
  EXPECT_EQ(format.border, kBorderDouble | kBorderTop);
  EXPECT_EQ(format.tabs, (std::vector<TabStop>{{1440, TabKind::kLeft}, {2880, TabKind::kRight}}));
}

TEST(RtfReader, UnknownWordsAreCountedAndSkippedDestinationsDropped) {
  const RtfReadResult result =
      Read("\\zzunknown a{\\*\\fancy hidden}{\\info {\\title T}}\\bin3 xyzb\\frobnicate5 c\\par");
  EXPECT_TRUE(result.errors.empty());
  EXPECT_EQ(result.skipped_words, 2);
  EXPECT_EQ(Flatten(result.topics[0].paragraphs[0]), "abc");
}

struct MalformedCase {
  const char* name;
  std::string data;
  bool error;
  int line;
};

class MalformedTest : public ::testing::TestWithParam<MalformedCase> {};

// Broken input is told with its line, and never stops the reader by a crash.
TEST_P(MalformedTest, ToldWithItsLine) {
  const RtfReadResult result = ReadTopicFile(GetParam().data, "bad.rtf");
  const Diagnostics& told = GetParam().error ? result.errors : result.warnings;
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told[0].file, "bad.rtf");
  EXPECT_EQ(told[0].line, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedTest,
    ::testing::Values(MalformedCase{"not_rtf", "hello", true, 1},
                      MalformedCase{"unclosed", "{\\rtf1\r\n{\\b x\r\n\\par", false, 3},
                      MalformedCase{"extra_close", "{\\rtf1 a}\r\n}\r\n", false, 2},
                      MalformedCase{"bad_hex", "{\\rtf1\r\n\\'zz}", false, 2},
                      MalformedCase{"deep", "{\\rtf1" + std::string(2000, '{'), true, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfReader, AnyBytesReadWithoutCrash) {
  std::string data = "{\\rtf1 ";
  for (int i = 0; i < 4096; ++i) data.push_back(static_cast<char>((i * 7919) % 256));
  const RtfReadResult result = ReadTopicFile(data, "noise.rtf");
  EXPECT_TRUE(result.errors.empty() || !result.errors[0].text.empty());
}

}  // namespace
}  // namespace quillark::hlpc
