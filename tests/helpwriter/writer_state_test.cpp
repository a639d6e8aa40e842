#include "helpwriter/writer_state.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace quillark {
namespace {

class WriterStateTest : public testing::Test {
 protected:
  void SetUp() override { InitFonts(writer_); }
  WriterState writer_;
};

struct FontCase {
  std::string value;
  std::string face;  // the stored face; "Arial" with size 10 means unchanged
  int size;
};
// Test lists show the case by its name, not its bytes.
void PrintTo(const FontCase& c, std::ostream* os) { *os << c.value; }

class SetFontTest : public WriterStateTest, public testing::WithParamInterface<FontCase> {};

TEST_P(SetFontTest, StoresFaceAndSize) {
  SetFont(writer_, "text", GetParam().value);  // keys in any case
  EXPECT_EQ(FontName(writer_, "TEXT"), GetParam().face);
  EXPECT_EQ(FontSize(writer_, "TEXT"), GetParam().size);
  EXPECT_EQ(FontSize(writer_, "CONTENTS"), 10);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SetFontTest,
    testing::Values(FontCase{"Verdana", "Arial", 10}, FontCase{",12", "Arial", 10},
                    FontCase{"Verdana,  ", "Arial", 10}, FontCase{"Verdana,large", "Verdana", 0},
                    FontCase{" Times New Roman , 11 ", "Times New Roman", 11},
                    FontCase{"\tCourier\x01,\x1f\x39", "Courier", 9},
                    FontCase{"Verdana,12.5", "Verdana", 0},
                    FontCase{"Verdana,12 pt", "Verdana", 12}, FontCase{"Verdana,-3", "Verdana", -3},
                    FontCase{"Verdana,+7", "Verdana", 7}, FontCase{"Verdana,+", "Verdana", 0},
                    FontCase{"Verdana,-2147483648", "Verdana", -2147483647 - 1},
                    FontCase{"Verdana,2147483648", "Verdana", 0}, FontCase{"A,,3", "A", 0}));

TEST_F(WriterStateTest, UnknownKeysLimitsAndPageMarkers) {
  SetFont(writer_, "H7", "Verdana,12");
  EXPECT_EQ(FontName(writer_, "H7"), "");
  EXPECT_EQ(FontSize(writer_, "H7"), 1);
  SetFont(writer_, "H2", std::string(300, 'f') + ",8");
  EXPECT_EQ(FontName(writer_, "H2"), std::string(255, 'f'));
  EXPECT_EQ(FontSize(writer_, "H2"), 8);
  SetCaption(writer_, std::string(300, 'c'));
  SetPreviousTag(writer_, std::string(300, 't'));
  SetHeader(writer_, std::string(2000, 'h'));
  EXPECT_EQ(writer_.caption.size(), 255u);
  EXPECT_EQ(writer_.previous_tag.size(), 255u);
  EXPECT_EQ(HeaderWithPage(writer_, std::nullopt).size(), 1024u);
  // The text with its page numbers is cut again.
  SetHeader(writer_, std::string(1017, 'h') + "<page/>");
  EXPECT_EQ(HeaderWithPage(writer_, "1234567890"), std::string(1017, 'h') + "1234567");
  // Every lower-case page marker is replaced.
  SetHeader(writer_, "Page <page/> of <page/><PAGE/>");
  SetFooter(writer_, "<page/><page/>");
  EXPECT_EQ(HeaderWithPage(writer_, "7"), "Page 7 of 7<PAGE/>");
  EXPECT_EQ(HeaderWithPage(writer_, std::nullopt), "Page <page/> of <page/><PAGE/>");
  EXPECT_EQ(FooterWithPage(writer_, "{\\field}"), "{\\field}{\\field}");
}

}  // namespace
}  // namespace quillark
