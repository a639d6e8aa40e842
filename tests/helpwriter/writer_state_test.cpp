#include "helpwriter/writer_state.h"

#include <gtest/gtest.h>

#include <string>

namespace quillark {
namespace {

class WriterStateTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    InitFonts();
  }
};

TEST(WriterState, StartsEmpty) {
  ResetWriterState();
  EXPECT_EQ(FontName("TEXT"), "");
  EXPECT_EQ(FontSize("TEXT"), 0);
  EXPECT_EQ(Caption(), "");
  EXPECT_FALSE(OmitFirstPage());
  EXPECT_EQ(HeaderWithPage("7"), "");
}

TEST_F(WriterStateTest, DefaultFonts) {
  const std::pair<const char*, int> expected[] = {{"TEXT", 10}, {"CONTENTS", 10}, {"H1", 24},
                                                  {"H2", 20},   {"H3", 18},       {"H4", 16},
                                                  {"H5", 14},   {"H6", 12}};
  for (const auto& [key, size] : expected) {
    EXPECT_EQ(FontName(key), "Arial") << key;
    EXPECT_EQ(FontSize(key), size) << key;
  }
}

TEST_F(WriterStateTest, UnknownKeys) {
  SetFont("H7", "Verdana,12");
  EXPECT_EQ(FontName("H7"), "");
  EXPECT_EQ(FontSize("H7"), 1);
  EXPECT_EQ(FontSize(""), 1);
}

TEST_F(WriterStateTest, KeysIgnoreCase) {
  SetFont("contents", "Verdana,12");
  EXPECT_EQ(FontName("Contents"), "Verdana");
  EXPECT_EQ(FontName("TEXT"), "Arial");
}

struct FontCase {
  std::string value;
  std::string face;  // the stored face; "Arial" with size 10 means unchanged
  int size;
};

class SetFontTest : public WriterStateTest, public testing::WithParamInterface<FontCase> {};

TEST_P(SetFontTest, StoresFaceAndSize) {
  SetFont("TEXT", GetParam().value);
  EXPECT_EQ(FontName("TEXT"), GetParam().face);
  EXPECT_EQ(FontSize("TEXT"), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SetFontTest,
    testing::Values(FontCase{"Verdana,12", "Verdana", 12}, FontCase{"Verdana", "Arial", 10},
                    FontCase{",12", "Arial", 10}, FontCase{"Verdana,", "Arial", 10},
                    FontCase{"   ,12", "Arial", 10}, FontCase{"Verdana,  ", "Arial", 10},
                    FontCase{"", "Arial", 10}, FontCase{"Verdana,large", "Verdana", 0},
                    FontCase{" Times New Roman , 11 ", "Times New Roman", 11},
                    FontCase{std::string("\tCourier\x01,\x1f"
                                         "9",
                                         12),
                             "Courier", 9},
                    FontCase{"Verdana,12.5", "Verdana", 0}, FontCase{"Verdana,12pt", "Verdana", 0},
                    FontCase{"Verdana,12 pt", "Verdana", 12}, FontCase{"Verdana,-3", "Verdana", -3},
                    FontCase{"Verdana,+7", "Verdana", 7}, FontCase{"Verdana,+", "Verdana", 0},
                    FontCase{"Verdana,2147483647", "Verdana", 2147483647},
                    FontCase{"Verdana,-2147483648", "Verdana", -2147483647 - 1},
                    FontCase{"Verdana,2147483648", "Verdana", 0},
                    FontCase{"Verdana,99999999999999999999999", "Verdana", 0},
                    FontCase{"A,B,C", "A", 0}, FontCase{"A,,3", "A", 0}));

TEST_F(WriterStateTest, FaceCutAt255) {
  SetFont("H2", std::string(300, 'f') + ",8");
  EXPECT_EQ(FontName("H2"), std::string(255, 'f'));
  EXPECT_EQ(FontSize("H2"), 8);
}

TEST_F(WriterStateTest, TextsAreCut) {
  SetCaption(std::string(300, 'c'));
  SetPreviousTag(std::string(300, 't'));
  SetHeader(std::string(2000, 'h'));
  EXPECT_EQ(Caption().size(), 255u);
  EXPECT_EQ(PreviousTag().size(), 255u);
  EXPECT_EQ(HeaderWithPage(std::nullopt).size(), 1024u);
}

TEST_F(WriterStateTest, PageMarkersReplaced) {
  SetHeader("Page <page/> of <page/><PAGE/>");
  SetFooter("<page/><page/>");
  EXPECT_EQ(HeaderWithPage("7"), "Page 7 of 7<PAGE/>");
  EXPECT_EQ(HeaderWithPage(std::nullopt), "Page <page/> of <page/><PAGE/>");
  EXPECT_EQ(FooterWithPage("{\\field}"), "{\\field}{\\field}");
  EXPECT_EQ(FooterWithPage(""), "");
}

TEST_F(WriterStateTest, ReplacedTextCutAt1024) {
  SetHeader(std::string(1017, 'h') + "<page/>");
  EXPECT_EQ(HeaderWithPage("1234567890"), std::string(1017, 'h') + "1234567");
}

TEST(FormatFromName, NamesInAnyCase) {
  EXPECT_EQ(FormatFromName("chm"), OutputFormat::kChm);
  EXPECT_EQ(FormatFromName("Hlp"), OutputFormat::kHlp);
  EXPECT_EQ(FormatFromName("RTF"), OutputFormat::kRtf);
  EXPECT_EQ(FormatFromName("html"), OutputFormat::kHtml);
  EXPECT_EQ(FormatFromName("NONE"), OutputFormat::kNone);
  EXPECT_EQ(FormatFromName("htm"), OutputFormat::kNone);
  EXPECT_EQ(FormatFromName(""), OutputFormat::kNone);
}

TEST(FormatTexts, OnlyTheRichTextFamilyHasThem) {
  EXPECT_EQ(LineBreakText(OutputFormat::kHlp), "\\line");
  EXPECT_EQ(DocumentCloseText(OutputFormat::kRtf), "}\r\n");
  for (OutputFormat format : {OutputFormat::kNone, OutputFormat::kChm, OutputFormat::kHtml}) {
    EXPECT_EQ(LineBreakText(format), "");
    EXPECT_EQ(DocumentCloseText(format), "");
  }
  EXPECT_TRUE(IsHtmlFamily(OutputFormat::kChm));
  EXPECT_FALSE(IsRtfFamily(OutputFormat::kNone));
}

}  // namespace
}  // namespace quillark
