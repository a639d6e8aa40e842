// The topics of a help file as the topic files describe them: what the RTF
// reader produces and the .hlp writer consumes.
#ifndef QUILLARK_HLPCOMPILER_TOPIC_MODEL_H_
#define QUILLARK_HLPCOMPILER_TOPIC_MODEL_H_

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

namespace quillark::hlpc {

// Font attribute bits as the font descriptors carry them.
inline constexpr std::uint8_t kBold = 0x01;
inline constexpr std::uint8_t kItalic = 0x02;
inline constexpr std::uint8_t kUnderline = 0x04;
inline constexpr std::uint8_t kStrikeout = 0x08;
inline constexpr std::uint8_t kDoubleUnderline = 0x10;
inline constexpr std::uint8_t kSmallCaps = 0x20;

// Font families of the font table of a help file.
enum class FontFamily : std::uint8_t {
  kModern = 1,
  kRoman = 2,
  kSwiss = 3,
  kScript = 4,
  kDecorative = 5
};

// Everything that selects one font descriptor.
struct FontSpec {
  std::string face;
  FontFamily family = FontFamily::kSwiss;
  std::uint8_t half_points = 24;
  std::uint8_t attributes = 0;
  std::uint8_t red = 0, green = 0, blue = 0;
  auto operator<=>(const FontSpec&) const = default;
};

enum class HotspotKind { kJump, kPopup, kMacro };
enum class PictureAlign { kCharacter, kLeft, kRight };  // bmc, bml, bmr

enum class ItemKind { kText, kLineBreak, kTab, kPicture, kHotspotStart, kHotspotEnd };

// One piece of a paragraph. Text carries its font; a hotspot start names its
// target (a context string or a macro); a picture names its file as written.
struct Item {
  ItemKind kind = ItemKind::kText;
  std::string text;  // text, hotspot target, or picture file name
  FontSpec font;
  HotspotKind hotspot = HotspotKind::kJump;
  PictureAlign align = PictureAlign::kCharacter;
};

enum class Alignment { kLeft, kCentre, kRight };

enum class TabKind { kLeft, kRight, kCentre };
struct TabStop {
  std::int32_t position = 0;  // twips
  TabKind kind = TabKind::kLeft;
  auto operator<=>(const TabStop&) const = default;
};

// Border bits as the paragraph record carries them.
inline constexpr std::uint8_t kBorderBox = 0x01;
inline constexpr std::uint8_t kBorderTop = 0x02;
inline constexpr std::uint8_t kBorderLeft = 0x04;
inline constexpr std::uint8_t kBorderBottom = 0x08;
inline constexpr std::uint8_t kBorderRight = 0x10;
inline constexpr std::uint8_t kBorderThick = 0x20;
inline constexpr std::uint8_t kBorderDouble = 0x40;

// Paragraph properties; distances in twips as the RTF gives them.
struct ParagraphFormat {
  std::int32_t space_before = 0;
  std::int32_t space_after = 0;
  std::int32_t line_spacing = 0;
  std::int32_t left_indent = 0;
  std::int32_t right_indent = 0;
  std::int32_t first_indent = 0;
  Alignment alignment = Alignment::kLeft;
  bool no_wrap = false;           // \keep: lines are not wrapped
  bool non_scroll = false;        // \keepn: part of the topic's fixed region
  std::uint8_t border = 0;        // side bits; kBorderThick/kBorderDouble for the style
  std::int32_t border_width = 0;  // twips
  std::vector<TabStop> tabs;
  auto operator<=>(const ParagraphFormat&) const = default;
};

struct Paragraph {
  ParagraphFormat format;
  std::vector<Item> items;
  int line = 0;  // where it starts in the topic file
};

struct Topic {
  std::vector<std::string> contexts;  // "#" footnotes
  std::string title;                  // "$" footnote
  std::vector<std::string> keywords;  // "K" footnotes, split at ";"
  std::string browse;                 // "+" footnote
  std::vector<std::string> macros;    // "!" footnotes
  std::vector<Paragraph> paragraphs;
  std::string file;
  int line = 0;
};

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_TOPIC_MODEL_H_
