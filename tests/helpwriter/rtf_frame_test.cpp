#include "helpwriter/rtf_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

constexpr OutputFormat kNone = OutputFormat::kNone;
constexpr OutputFormat kHlp = OutputFormat::kHlp;
constexpr OutputFormat kRtf = OutputFormat::kRtf;
constexpr OutputFormat kChm = OutputFormat::kChm;
constexpr OutputFormat kHtml = OutputFormat::kHtml;

constexpr std::string_view kHeaderStart = "{\\rtf1\\ansi\\deff0\r\n\r\n{\\fonttbl\r\n";

constexpr std::string_view kDefaultFonts =
    "\\f0\\fswiss Arial;\r\n"
    "\\f1\\fswiss Arial;\r\n"
    "\\f2\\fswiss Arial;\r\n"
    "\\f3\\fswiss Arial;\r\n"
    "\\f4\\fswiss Arial;\r\n"
    "\\f5\\fswiss Arial;\r\n"
    "\\f6\\fswiss Arial;\r\n";

constexpr std::string_view kFixedFontsToPageSetUp =
    "\\f7\\fdecor Courier New;\r\n"
    "\\f8\\fmodern Syntax monospaced;\r\n"
    "\\f9\\ftech Symbol;\r\n"
    "}\r\n"
    "\r\n"
    "{\\colortbl\r\n"
    ";\r\n"
    "\\red128\\green0\\blue0;\r\n"
    "\\red0\\green128\\blue0;\r\n"
    "\\red128\\green128\\blue0;\r\n"
    "\\red0\\green0\\blue128;\r\n"
    "\\red128\\green0\\blue128;\r\n"
    "\\red0\\green128\\blue128;\r\n"
    "\\red192\\green192\\blue192;\r\n"
    "\\red64\\green64\\blue64;\r\n"
    "\\red255\\green0\\blue0;\r\n"
    "\\red0\\green255\\blue0;\r\n"
    "\\red255\\green255\\blue0;\r\n"
    "\\red0\\green0\\blue255;\r\n"
    "\\red255\\green0\\blue255;\r\n"
    "\\red0\\green255\\blue255;\r\n"
    "\\red254\\green254\\blue254;\r\n"
    "}\r\n"
    "\r\n"
    "\\noproof\\paperw11905\\paperh16837\\margl1439\\margr1439\\margt1439\\margb1439\r\n"
    "\r\n";

std::string Frame(std::string_view fonts) {
  return std::string(kHeaderStart) + std::string(fonts) + std::string(kFixedFontsToPageSetUp);
}

class RtfHeader : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWriterState();
    InitFonts();
  }
  void TearDown() override { ResetWriterState(); }
};

TEST_F(RtfHeader, DefaultFontsInBothRtfFormats) {
  EXPECT_EQ(WriteRtfHeader(kHlp), Frame(kDefaultFonts));
  EXPECT_EQ(WriteRtfHeader(kRtf), Frame(kDefaultFonts));
}

TEST_F(RtfHeader, HtmlFormatsAndNoneGiveNothing) {
  SetHeader("Title");
  for (OutputFormat format : {kNone, kChm, kHtml}) EXPECT_EQ(WriteRtfHeader(format), "");
}

TEST_F(RtfHeader, TextFontOptionChangesOnlyFontZero) {
  SetFont("TEXT", "Verdana,12");
  SetFont("CONTENTS", "Verdana,12");
  SetFont("H3", "times new roman,18");
  EXPECT_EQ(WriteRtfHeader(kRtf), Frame("\\f0\\fswiss Verdana;\r\n"
                                        "\\f1\\fswiss Arial;\r\n"
                                        "\\f2\\fswiss Arial;\r\n"
                                        "\\f3\\froman times new roman;\r\n"
                                        "\\f4\\fswiss Arial;\r\n"
                                        "\\f5\\fswiss Arial;\r\n"
                                        "\\f6\\fswiss Arial;\r\n"));
}

TEST_F(RtfHeader, OmitFirstPageAloneWritesNothingMore) {
  SetOmitFirstPage(true);
  EXPECT_EQ(WriteRtfHeader(kRtf), Frame(kDefaultFonts));
}

TEST_F(RtfHeader, RtfRunningHeaderAndFooterWithPageField) {
  SetHeader("My Help");
  SetFooter("Page <page/> of the book");
  EXPECT_EQ(WriteRtfHeader(kRtf),
            Frame(kDefaultFonts) +
                "{\\header\\plain\\f0\\fs20 My Help\\par}\r\n"
                "{\\footer\\plain\\f0\\fs20 Page {\\field{\\*\\fldinst PAGE }{\\fldrslt}} of the "
                "book\\par}\r\n"
                "\r\n");
}

TEST_F(RtfHeader, FooterOnlyWithOmitFirstPage) {
  SetFooter("<page/>");
  SetOmitFirstPage(true);
  EXPECT_EQ(WriteRtfHeader(kRtf),
            Frame(kDefaultFonts) +
                "{\\footer\\plain\\f0\\fs20 {\\field{\\*\\fldinst PAGE }{\\fldrslt}}\\par}\r\n"
                "\\sectd\\titlepg\r\n"
                "\r\n");
}

TEST_F(RtfHeader, HeaderOnlyIsWrittenInTenPointsWhateverTheTextSize) {
  SetFont("TEXT", "Arial,14");
  SetHeader("Top");
  EXPECT_EQ(WriteRtfHeader(kRtf),
            Frame(kDefaultFonts) + "{\\header\\plain\\f0\\fs20 Top\\par}\r\n\r\n");
}

TEST_F(RtfHeader, HlpLeavesHeaderAndFooterToTheTopics) {
  SetHeader("My Help");
  SetFooter("<page/>");
  SetOmitFirstPage(true);
  EXPECT_EQ(WriteRtfHeader(kHlp), Frame(kDefaultFonts));
}

struct FamilyCase {
  std::string_view face;
  std::string_view family;
};

class FontFamilyOf : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(FontFamilyOf, Face) { EXPECT_EQ(FontFamily(GetParam().face), GetParam().family); }

INSTANTIATE_TEST_SUITE_P(
    Faces, FontFamilyOf,
    ::testing::Values(FamilyCase{"Arial", "swiss"}, FamilyCase{"HELV", "swiss"},
                      FamilyCase{"helvetica", "swiss"}, FamilyCase{"Verdana", "swiss"},
                      FamilyCase{"Roman", "roman"}, FamilyCase{"times roman", "roman"},
                      FamilyCase{"Times New Roman", "roman"}, FamilyCase{"courier", "decor"},
                      FamilyCase{"Courier New", "decor"}, FamilyCase{"Syntax monospaced", "modern"},
                      FamilyCase{"SYMBOL", "tech"}, FamilyCase{"Tahoma", "swiss"},
                      FamilyCase{"Times", "swiss"}, FamilyCase{"Courier New ", "swiss"},
                      FamilyCase{"", ""}));

struct EntryCase {
  OutputFormat format;
  int red;
  int green;
  int blue;
  std::string_view expected;
};

class ColourEntryOf : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ColourEntryOf, Components) {
  const EntryCase& test = GetParam();
  EXPECT_EQ(ColourEntry(test.format, test.red, test.green, test.blue), test.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Components, ColourEntryOf,
    ::testing::Values(EntryCase{kRtf, 128, 0, 0, "\\red128\\green0\\blue0;"},
                      EntryCase{kHlp, 254, 254, 254, "\\red254\\green254\\blue254;"},
                      EntryCase{kHlp, 0, 0, 0, "\\red0\\green0\\blue0;"},
                      EntryCase{kHtml, 0, 128, 128, "#008080"},
                      EntryCase{kChm, 255, 0, 0, "#FF0000"},
                      EntryCase{kHtml, 10, 11, 171, "#0A0BAB"}, EntryCase{kRtf, 256, 0, 0, ""},
                      EntryCase{kHtml, 0, -1, 0, ""}, EntryCase{kChm, 0, 0, 256, ""},
                      EntryCase{kNone, 128, 0, 0, ""}));

TEST(DocumentColourEntry, OnlyEntriesOneToFifteen) {
  EXPECT_EQ(DocumentColourEntry(kRtf, 0), "");
  EXPECT_EQ(DocumentColourEntry(kRtf, 16), "");
  EXPECT_EQ(DocumentColourEntry(kNone, 1), "");
}

}  // namespace
}  // namespace quillark
