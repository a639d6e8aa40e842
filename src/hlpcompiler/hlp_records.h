// The records of a help file's topic data and tables: text records built from
// paragraphs, topic headers, the font table and the system file.
#ifndef QUILLARK_HLPCOMPILER_HLP_RECORDS_H_
#define QUILLARK_HLPCOMPILER_HLP_RECORDS_H_

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "hlpcompiler/hpj_reader.h"
#include "hlpcompiler/topic_model.h"

namespace quillark::hlpc {

// The distinct fonts of the topics, numbered in first use; each becomes one
// font descriptor, and each face name one face slot.
class FontTable {
 public:
  std::uint16_t IndexOf(const FontSpec& font);
  // The |FONT file: header, 32-byte face slots, 11-byte descriptors.
  std::string Encode() const;
  std::size_t size() const { return fonts_.size(); }

 private:
  std::vector<FontSpec> fonts_;
  std::map<FontSpec, std::uint16_t> index_;
};

// A text record's two data parts: the paragraph fields and formatting
// commands, and the strings shown between the commands.
struct TextRecord {
  std::string link_data1;
  std::string link_data2;
};

// The number of a picture file by the name a topic wrote; nothing when the
// picture could not be had (it is then left out).
using PictureLookup = std::function<std::optional<std::uint16_t>(const std::string&)>;

// Encodes one paragraph into text records: one record, unless the paragraph
// is so long that its commands or text would outgrow a record; it is then cut
// at line breaks (the cut stands in for the break) or, failing that, between
// items outside hotspots.
std::vector<TextRecord> EncodeParagraph(const Paragraph& paragraph, FontTable& fonts,
                                        const PictureLookup& pictures);

// The 28 bytes of a topic header record's first part.
struct TopicHeaderFields {
  std::uint32_t block_size = 0;
  std::uint32_t browse_back = 0xFFFFFFFF;
  std::uint32_t browse_forward = 0xFFFFFFFF;
  std::uint32_t topic_number = 0;
  std::uint32_t non_scroll = 0xFFFFFFFF;
  std::uint32_t scroll = 0xFFFFFFFF;
  std::uint32_t next_topic = 0xFFFFFFFF;
};
std::string EncodeTopicHeader(const TopicHeaderFields& fields);
// The title, then each entry macro after a NUL.
std::string TopicHeaderText(const Topic& topic);

// What goes into the |SYSTEM file.
struct SystemInfo {
  std::string title;
  std::string copyright;
  std::optional<std::uint32_t> contents;  // TOPICOFFSET of the contents topic
  std::vector<std::string> macros;
  std::vector<WindowSpec> windows;
  std::string cnt;
};
std::string EncodeSystem(const SystemInfo& info);

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_HLP_RECORDS_H_
