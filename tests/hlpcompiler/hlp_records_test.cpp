#include "hlpcompiler/hlp_records.h"

#include <gtest/gtest.h>

#include <string>

namespace quillark::hlpc {
namespace {

FontSpec Arial10() {
  FontSpec font;
  font.face = "Arial";
  font.half_points = 20;
  return font;
}

Item Text(const std::string& text, FontSpec font = Arial10()) {
  Item item;
  item.text = text;
  item.font = std::move(font);
  return item;
}

Item Kind(ItemKind kind) {
  Item item;
  item.kind = kind;
  item.font = Arial10();
  return item;
}

std::optional<std::uint16_t> NoPictures(const std::string&) { return std::nullopt; }

// "See " + jump to "other" on "the other topic" + ".", as the format's worked example.
TEST(EncodeParagraph, JumpParagraphOfTheWorkedExample) {
  Paragraph paragraph;
  Item jump;
  jump.kind = ItemKind::kHotspotStart;
  jump.text = "other";
  paragraph.items = {Text("See "), jump, Text("the other topic"), Kind(ItemKind::kHotspotEnd),
                     Text(".")};
  FontTable fonts;
  const std::vector<TextRecord> records = EncodeParagraph(paragraph, fonts, NoPictures);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].link_data1,
            std::string("\x22\x80\x32\x00\x80\x00\x00\x00\x00\x80\x00\x00\xE3\x1C\x89\x7D\x06"
                        "\x89\x82\xFF",
                        20));
  EXPECT_EQ(records[0].link_data2, std::string("\0See \0the other topic\0.\0\0", 25));
  EXPECT_EQ(fonts.size(), 1u);
}

TEST(EncodeParagraph, PropertiesFontsBreaksTabsAndPictures) {
  Paragraph paragraph;
  paragraph.format.alignment = Alignment::kCentre;
  paragraph.format.space_before = 60;
  paragraph.format.left_indent = 720;
  paragraph.format.first_indent = -720;
  paragraph.format.tabs = {{720, TabKind::kLeft}, {2000, TabKind::kRight}};
  FontSpec bold = Arial10();
  bold.attributes = kBold;
  Item picture = Kind(ItemKind::kPicture);
  picture.text = "pic.bmp";
  picture.align = PictureAlign::kLeft;
  Item missing = picture;
  missing.text = "gone.bmp";
  paragraph.items = {Text("a"),       Kind(ItemKind::kLineBreak),
                     Text("b", bold), Kind(ItemKind::kTab),
                     picture,         missing};
  FontTable fonts;
  const std::vector<TextRecord> records =
      EncodeParagraph(paragraph, fonts, [](const std::string& name) {
        return name == "pic.bmp" ? std::optional<std::uint16_t>(3) : std::nullopt;
      });
  ASSERT_EQ(records.size(), 1u);
  // bits 0x0A52: space before, left and first indent, tabs, centred
  const std::string fields("\x00\x80\x00\x00\x52\x0A\x8C\x91\x80\x71\x7F\x84\x90\x91\x81\x02", 16);
  const std::string commands(
      "\x80\x00\x00\x81\x80\x01\x00\x80\x00\x00\x83\x87\x03\x08\x80\x00\x00\x03\x00\x82\xFF", 21);
  EXPECT_EQ(records[0].link_data1.substr(3), fields + commands);
  EXPECT_EQ(records[0].link_data2, std::string("\0a\0\0b\0\0\0\0\0", 10));
  EXPECT_EQ(fonts.size(), 2u);
}

// A paragraph too long for one record is cut at line breaks; every record
// starts with a font and only the last ends the paragraph.
TEST(EncodeParagraph, LongParagraphIsCutAtLineBreaks) {
  Paragraph paragraph;
  for (int i = 0; i < 2000; ++i) {
    paragraph.items.push_back(Text("line " + std::to_string(i) + " of a long code block"));
    paragraph.items.push_back(Kind(ItemKind::kLineBreak));
  }
  FontTable fonts;
  const std::vector<TextRecord> records = EncodeParagraph(paragraph, fonts, NoPictures);
  ASSERT_GT(records.size(), 1u);
  std::size_t text = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::string& d1 = records[i].link_data1;
    EXPECT_LT(d1.size() + 21, 4084u);
    EXPECT_LT(records[i].link_data2.size(), 32768u);
    EXPECT_EQ(d1.substr(d1.size() - (i + 1 == records.size() ? 2 : 1)),
              i + 1 == records.size() ? "\x82\xFF" : "\xFF");
    text += records[i].link_data2.size();
  }
  EXPECT_GT(text, 2000u * 20);
}

TEST(FontTable, DescriptorsShareFaceSlots) {
  FontTable fonts;
  FontSpec red = Arial10();
  red.red = 128;
  red.attributes = kBold | kUnderline;
  FontSpec courier = Arial10();
  courier.face = "Courier New";
  courier.family = FontFamily::kDecorative;
  EXPECT_EQ(fonts.IndexOf(Arial10()), 0);
  EXPECT_EQ(fonts.IndexOf(red), 1);
  EXPECT_EQ(fonts.IndexOf(courier), 2);
  EXPECT_EQ(fonts.IndexOf(red), 1);
  const std::string data = fonts.Encode();
  ASSERT_EQ(data.size(), 8u + 2 * 32 + 3 * 11);
  EXPECT_EQ(data.substr(0, 8), std::string("\x02\x00\x03\x00\x08\x00\x48\x00", 8));
  EXPECT_EQ(data.substr(8 + 32, 12), std::string("Courier New\0", 12));
  EXPECT_EQ(data.substr(72 + 11, 11),
            std::string("\x05\x14\x03\x00\x00\x80\x00\x00\x00\x00\x00", 11));
  EXPECT_EQ(data.substr(72 + 22, 5), std::string("\x00\x14\x05\x01\x00", 5));
}

TEST(EncodeSystem, TitleCopyrightContentsAndMacros) {
  SystemInfo info;
  info.title = "Tiny";
  info.contents = 0x19;
  info.macros = {"BrowseButtons()"};
  EXPECT_EQ(EncodeSystem(info),
            std::string("\x6C\x03\x21\x00\x01\x00\x00\x00\x00\x00\x00\x00"
                        "\x01\x00\x05\x00Tiny\0\x02\x00\x01\x00\0\x03\x00\x04\x00\x19\x00\x00\x00"
                        "\x04\x00\x10\x00"
                        "BrowseButtons()\0",
                        54));
}

}  // namespace
}  // namespace quillark::hlpc
