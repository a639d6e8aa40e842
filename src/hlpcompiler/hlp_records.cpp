#include "hlpcompiler/hlp_records.h"

#include <algorithm>

#include "hlpcompiler/hlp_format.h"

namespace quillark::hlpc {
namespace {

constexpr std::size_t kFaceSlot = 32;

// Formatting commands of a text record.
constexpr std::uint8_t kFontChange = 0x80;
constexpr std::uint8_t kLineBreak = 0x81;
constexpr std::uint8_t kParagraphEnd = 0x82;
constexpr std::uint8_t kTab = 0x83;
constexpr std::uint8_t kHotspotEnd = 0x89;
constexpr std::uint8_t kMacroHotspot = 0xC8;
constexpr std::uint8_t kPopupHotspot = 0xE2;
constexpr std::uint8_t kJumpHotspot = 0xE3;
constexpr std::uint8_t kEndOfCommands = 0xFF;

// A record is cut at a line break once it has grown past the soft limits, and
// anywhere outside a hotspot past the hard ones: its first part must fit one
// 4084-byte block, its text length stays below 32768.
constexpr std::size_t kSoftCommandBytes = 3000;
constexpr std::size_t kHardCommandBytes = 3700;
constexpr std::size_t kSoftTextBytes = 24000;
constexpr std::size_t kHardTextBytes = 30000;
constexpr std::size_t kLongestString = 4000;

// Twips to the half-points that distances are stored in.
std::int32_t HalfPoints(std::int32_t twips) {
  return twips >= 0 ? (twips + 5) / 10 : -((-twips + 5) / 10);
}

// The paragraph bits and the fields that follow them.
std::string ParagraphFields(const ParagraphFormat& format) {
  std::uint16_t bits = 0;
  std::string fields;
  auto amount = [&](std::uint16_t bit, std::int32_t twips) {
    const std::int32_t value = HalfPoints(twips);
    if (value == 0) return;
    bits |= bit;
    PutCompressedSShort(fields, value);
  };
  amount(0x0002, format.space_before);
  amount(0x0004, format.space_after);
  amount(0x0008, format.line_spacing);
  amount(0x0010, format.left_indent);
  amount(0x0020, format.right_indent);
  amount(0x0040, format.first_indent);
  if (format.border != 0) {
    bits |= 0x0100;
    PutU8(fields, format.border);
    PutU16(fields, static_cast<std::uint32_t>(std::max(1, HalfPoints(format.border_width))));
  }
  if (!format.tabs.empty()) {
    bits |= 0x0200;
    PutCompressedSShort(fields, static_cast<std::int32_t>(format.tabs.size()));
    for (const TabStop& tab : format.tabs) {
      const auto position =
          static_cast<std::uint32_t>(std::clamp(HalfPoints(tab.position), 0, 0x3FFF));
      if (tab.kind == TabKind::kLeft) {
        PutCompressedUShort(fields, position);
      } else {
        PutCompressedUShort(fields, position | 0x4000);
        PutCompressedUShort(fields, tab.kind == TabKind::kRight ? 1 : 2);
      }
    }
  }
  if (format.alignment == Alignment::kRight) bits |= 0x0400;
  if (format.alignment == Alignment::kCentre) bits |= 0x0800;
  if (format.no_wrap) bits |= 0x1000;
  std::string out;
  PutU8(out, 0x00);
  PutU8(out, 0x80);
  PutU16(out, 0);  // id
  PutU16(out, bits);
  return out + fields;
}

// Builds one record after another from a paragraph's items.
class RecordBuilder {
 public:
  RecordBuilder(const ParagraphFormat& format, FontTable& fonts)
      : fields_(ParagraphFields(format)), fonts_(fonts) {}

  void Font(const FontSpec& font) {
    const std::uint16_t index = fonts_.IndexOf(font);
    if (commands_.empty()) {
      font_ = index;
      ForceFont();
      return;
    }
    if (index == font_) return;
    Command({static_cast<char>(kFontChange), static_cast<char>(index & 0xFF),
             static_cast<char>(index >> 8)});
    font_ = index;
  }

  void Text(std::string_view text) {
    for (char c : text) {
      if (c != '\0') pending_.push_back(c);
    }
  }

  void Command(std::initializer_list<char> bytes) {
    Command(std::string(bytes.begin(), bytes.end()));
  }

  void Command(const std::string& bytes) {
    if (commands_.empty()) ForceFont();
    strings_ += pending_;
    strings_.push_back('\0');
    pending_.clear();
    commands_ += bytes;
  }

  // Cuts the record here; the next one starts with the font in use.
  void Cut() {
    const std::uint16_t font = font_;
    Close(false);
    font_ = font;
  }

  bool Over(std::size_t commands, std::size_t text) const {
    return commands_.size() > commands || strings_.size() + pending_.size() > text;
  }

  std::vector<TextRecord> Finish() {
    Close(true);
    return std::move(records_);
  }

  void SetFirstFont(const FontSpec& font) { first_font_ = font; }

 private:
  void ForceFont() {
    // Every record begins with a font command, preceded by an empty string.
    const std::uint16_t index = font_ != kNoFont ? font_ : fonts_.IndexOf(first_font_);
    strings_.push_back('\0');
    commands_ += std::string{static_cast<char>(kFontChange), static_cast<char>(index & 0xFF),
                             static_cast<char>(index >> 8)};
    font_ = index;
  }

  void Close(bool paragraph_end) {
    if (paragraph_end) Command({static_cast<char>(kParagraphEnd)});
    Command({static_cast<char>(kEndOfCommands)});
    TextRecord record;
    const std::string body = fields_ + commands_;
    PutCompressedSLong(record.link_data1, static_cast<std::int32_t>(body.size()));
    PutCompressedUShort(record.link_data1, static_cast<std::uint32_t>(strings_.size()));
    record.link_data1 += body;
    record.link_data2 = std::move(strings_);
    records_.push_back(std::move(record));
    commands_.clear();
    strings_.clear();
    font_ = kNoFont;
  }

  static constexpr std::uint16_t kNoFont = 0xFFFF;
  std::string fields_;
  FontTable& fonts_;
  FontSpec first_font_;
  std::uint16_t font_ = kNoFont;
  std::string commands_;
  std::string strings_;
  std::string pending_;
  std::vector<TextRecord> records_;
};

std::string HotspotCommand(const Item& item) {
  std::string command;
  if (item.hotspot == HotspotKind::kMacro) {
    PutU8(command, kMacroHotspot);
    PutU16(command, static_cast<std::uint32_t>(item.text.size() + 1));
    PutStringZ(command, item.text);
    return command;
  }
  PutU8(command, item.hotspot == HotspotKind::kPopup ? kPopupHotspot : kJumpHotspot);
  PutU32(command, ContextHash(item.text));
  return command;
}

std::string PictureCommand(PictureAlign align, std::uint16_t number) {
  std::string command;
  switch (align) {
    case PictureAlign::kCharacter:
      PutU8(command, 0x86);
      break;
    case PictureAlign::kLeft:
      PutU8(command, 0x87);
      break;
    case PictureAlign::kRight:
      PutU8(command, 0x88);
      break;
  }
  PutU8(command, 0x03);  // a picture without hotspots
  PutCompressedSLong(command, 4);
  PutU16(command, 0);  // by reference to |bmN
  PutU16(command, number);
  return command;
}

}  // namespace

std::uint16_t FontTable::IndexOf(const FontSpec& font) {
  const auto found = index_.find(font);
  if (found != index_.end()) return found->second;
  const auto index = static_cast<std::uint16_t>(fonts_.size());
  fonts_.push_back(font);
  index_.emplace(font, index);
  return index;
}

std::string FontTable::Encode() const {
  std::vector<std::string> faces;
  std::vector<std::uint16_t> face_of;
  for (const FontSpec& font : fonts_) {
    const std::string face = font.face.substr(0, kFaceSlot - 1);
    auto found = std::find(faces.begin(), faces.end(), face);
    if (found == faces.end()) found = faces.insert(faces.end(), face);
    face_of.push_back(static_cast<std::uint16_t>(found - faces.begin()));
  }
  std::string out;
  PutU16(out, static_cast<std::uint32_t>(faces.size()));
  PutU16(out, static_cast<std::uint32_t>(fonts_.size()));
  PutU16(out, 8);
  PutU16(out, static_cast<std::uint32_t>(8 + faces.size() * kFaceSlot));
  for (const std::string& face : faces) {
    std::string slot = face;
    slot.resize(kFaceSlot, '\0');
    out += slot;
  }
  for (std::size_t i = 0; i < fonts_.size(); ++i) {
    const FontSpec& font = fonts_[i];
    PutU8(out, font.attributes);
    PutU8(out, font.half_points);
    PutU8(out, static_cast<std::uint8_t>(font.family));
    PutU16(out, face_of[i]);
    PutU8(out, font.red);
    PutU8(out, font.green);
    PutU8(out, font.blue);
    PutU8(out, 0);
    PutU8(out, 0);
    PutU8(out, 0);
  }
  return out;
}

std::vector<TextRecord> EncodeParagraph(const Paragraph& paragraph, FontTable& fonts,
                                        const PictureLookup& pictures) {
  RecordBuilder builder(paragraph.format, fonts);
  const auto first_font =
      std::find_if(paragraph.items.begin(), paragraph.items.end(),
                   [](const Item& item) { return item.kind != ItemKind::kHotspotStart; });
  if (first_font != paragraph.items.end()) builder.SetFirstFont(first_font->font);
  bool in_hotspot = false;
  for (const Item& item : paragraph.items) {
    if (!in_hotspot) {
      if (item.kind == ItemKind::kLineBreak && builder.Over(kSoftCommandBytes, kSoftTextBytes)) {
        builder.Cut();
        continue;  // the cut stands in for the line break
      }
      if (builder.Over(kHardCommandBytes, kHardTextBytes)) builder.Cut();
    }
    switch (item.kind) {
      case ItemKind::kText:
        // Long text goes in pieces, so that a record can be cut between them.
        for (std::size_t start = 0; start < item.text.size(); start += kLongestString) {
          if (!in_hotspot && builder.Over(kHardCommandBytes, kHardTextBytes)) builder.Cut();
          builder.Font(item.font);
          builder.Text(std::string_view(item.text).substr(start, kLongestString));
        }
        break;
      case ItemKind::kLineBreak:
        builder.Font(item.font);
        builder.Command({static_cast<char>(kLineBreak)});
        break;
      case ItemKind::kTab:
        builder.Font(item.font);
        builder.Command({static_cast<char>(kTab)});
        break;
      case ItemKind::kPicture:
        if (const std::optional<std::uint16_t> number = pictures(item.text)) {
          builder.Font(item.font);
          builder.Command(PictureCommand(item.align, *number));
        }
        break;
      case ItemKind::kHotspotStart:
        builder.Command(HotspotCommand(item));
        in_hotspot = true;
        break;
      case ItemKind::kHotspotEnd:
        builder.Command({static_cast<char>(kHotspotEnd)});
        in_hotspot = false;
        break;
    }
  }
  return builder.Finish();
}

std::string EncodeTopicHeader(const TopicHeaderFields& fields) {
  std::string out;
  PutU32(out, fields.block_size);
  PutU32(out, fields.browse_back);
  PutU32(out, fields.browse_forward);
  PutU32(out, fields.topic_number);
  PutU32(out, fields.non_scroll);
  PutU32(out, fields.scroll);
  PutU32(out, fields.next_topic);
  return out;
}

std::string TopicHeaderText(const Topic& topic) {
  std::string text = topic.title;
  for (const std::string& macro : topic.macros) {
    text.push_back('\0');
    text += macro;
  }
  return text;
}

namespace {

void PutRecord(std::string& out, std::uint16_t type, const std::string& data) {
  PutU16(out, type);
  PutU16(out, static_cast<std::uint32_t>(data.size()));
  out += data;
}

std::string StringZ(std::string_view text) {
  std::string out;
  PutStringZ(out, text);
  return out;
}

std::string FixedString(std::string_view text, std::size_t size) {
  std::string out(text.substr(0, size - 1));
  out.resize(size, '\0');
  return out;
}

std::string EncodeWindow(const WindowSpec& window) {
  std::uint16_t flags = 0x0002 | 0x0004;  // name and caption
  std::string out;
  if (window.x) flags |= 0x0008;
  if (window.y) flags |= 0x0010;
  if (window.width) flags |= 0x0020;
  if (window.height) flags |= 0x0040;
  if (window.background) flags |= 0x0100;
  if (window.non_scroll_background) flags |= 0x0200;
  PutU16(out, flags);
  out += FixedString("", 10);
  out += FixedString(window.name, 9);
  out += FixedString(window.caption, 51);
  PutU16(out, window.x.value_or(0));
  PutU16(out, window.y.value_or(0));
  PutU16(out, window.width.value_or(0));
  PutU16(out, window.height.value_or(0));
  PutU16(out, 0);
  PutU32(out, window.background.value_or(0));
  PutU32(out, window.non_scroll_background.value_or(0));
  return out;
}

}  // namespace

std::string EncodeSystem(const SystemInfo& info) {
  std::string out;
  PutU16(out, 0x036C);
  PutU16(out, 33);  // minor version: records, 4 KB blocks
  PutU16(out, 1);
  PutU32(out, 0);  // no build time, so that every build is the same
  PutU16(out, 0);  // uncompressed topic blocks
  PutRecord(out, 1, StringZ(info.title));
  PutRecord(out, 2, StringZ(info.copyright));
  if (info.contents) {
    std::string offset;
    PutU32(offset, *info.contents);
    PutRecord(out, 3, offset);
  }
  for (const std::string& macro : info.macros) PutRecord(out, 4, StringZ(macro));
  for (const WindowSpec& window : info.windows) PutRecord(out, 6, EncodeWindow(window));
  if (!info.cnt.empty()) PutRecord(out, 10, StringZ(info.cnt));
  return out;
}

}  // namespace quillark::hlpc
