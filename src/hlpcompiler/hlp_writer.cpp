#include "hlpcompiler/hlp_writer.h"

#include <algorithm>
#include <map>
#include <optional>

#include "hlpcompiler/btree.h"
#include "hlpcompiler/hlp_file_system.h"
#include "hlpcompiler/hlp_format.h"

namespace quillark::hlpc {
namespace {

constexpr std::size_t kBlockSize = 4096;
constexpr std::size_t kBlockHeader = 12;
constexpr std::size_t kRecordHeader = 21;
constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::uint8_t kTopicHeaderType = 0x02;
constexpr std::uint8_t kTextType = 0x20;

// One record of |TOPIC and where the layout put it.
struct TopicRecord {
  std::uint8_t type = kTextType;
  std::string link_data1;
  std::string link_data2;
  std::size_t topic = 0;       // index of the topic it belongs to
  bool non_scroll = false;     // a text record of the topic's fixed region
  std::uint32_t position = 0;  // TOPICPOS
  std::uint32_t offset = 0;    // TOPICOFFSET
  std::size_t Size() const { return kRecordHeader + link_data1.size() + link_data2.size(); }
};

std::string Fold(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

class HelpFileWriter {
 public:
  explicit HelpFileWriter(const HelpFileInput& input)
      : input_(input), project_(*input.project), topics_(*input.topics) {}

  HelpFileOutput Write() {
    if (topics_.empty()) {
      Error(project_.path, 0, "the topic files hold no topic");
      return std::move(output_);
    }
    MakeRecords();
    LayOut();
    std::map<std::string, std::string> files;
    files["|CONTEXT"] = ContextFile();
    CheckJumps();
    files["|CTXOMAP"] = ContextMapFile();
    files["|SYSTEM"] = SystemFile();
    files["|TOPIC"] = TopicFile();
    files["|FONT"] = fonts_.Encode();
    files["|TTLBTREE"] = TitleFile();
    KeywordFiles(files);
    for (std::size_t i = 0; i < input_.picture_data.size(); ++i) {
      files["|bm" + std::to_string(i)] = input_.picture_data[i];
    }
    if (output_.errors.empty()) output_.bytes = BuildHelpFile(files);
    return std::move(output_);
  }

 private:
  void Warn(const std::string& file, int line, const std::string& text) {
    output_.warnings.push_back({file, line, text});
  }
  void Error(const std::string& file, int line, const std::string& text) {
    output_.errors.push_back({file, line, text});
  }

  // Each topic gives a header record and its text records, the paragraphs of
  // its fixed region first; one empty header ends the chain.
  void MakeRecords() {
    for (std::size_t t = 0; t < topics_.size(); ++t) {
      const Topic& topic = topics_[t];
      header_index_.push_back(records_.size());
      TopicRecord header;
      header.type = kTopicHeaderType;
      header.link_data1 = EncodeTopicHeader({});
      header.link_data2 = TopicHeaderText(topic);
      header.topic = t;
      records_.push_back(std::move(header));
      bool leading = true;
      for (const Paragraph& paragraph : topic.paragraphs) {
        leading = leading && paragraph.format.non_scroll;
        for (TextRecord& text : EncodeParagraph(paragraph, fonts_, input_.pictures)) {
          TopicRecord record;
          record.link_data1 = std::move(text.link_data1);
          record.link_data2 = std::move(text.link_data2);
          record.topic = t;
          record.non_scroll = leading;
          records_.push_back(std::move(record));
        }
      }
    }
    header_index_.push_back(records_.size());
    TopicRecord last;
    last.type = kTopicHeaderType;
    last.link_data1 = EncodeTopicHeader({});
    last.topic = topics_.size();
    records_.push_back(std::move(last));
  }

  // Places each record: its header and first part never cross a block end,
  // its text may. Positions count the block header; offsets count the text
  // of the records that start earlier in the same block.
  void LayOut() {
    std::uint32_t block = 0;
    std::size_t position = kBlockHeader;
    std::uint32_t characters = 0;
    for (TopicRecord& record : records_) {
      if (kRecordHeader + record.link_data1.size() > kBlockSize - position) {
        ++block;
        position = kBlockHeader;
        characters = 0;
      }
      record.position = block * 0x4000 + static_cast<std::uint32_t>(position);
      record.offset = block * 0x8000 + characters;
      position += record.Size();
      if (record.type == kTextType) {
        characters += static_cast<std::uint32_t>(record.link_data2.size());
      }
      while (position > kBlockSize) {
        ++block;
        position -= kBlockSize - kBlockHeader;
        characters = 0;
      }
    }
    FillTopicHeaders();
  }

  std::uint32_t TopicOffset(std::size_t topic) const {
    return records_[header_index_[topic]].offset;
  }

  // Browse sequences: topics of one sequence name follow the order of their
  // codes, and topics with equal codes the order of the topic files.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> BrowseLinks() const {
    std::map<std::string, std::vector<std::pair<std::string, std::size_t>>> sequences;
    for (std::size_t t = 0; t < topics_.size(); ++t) {
      const std::string& code = topics_[t].browse;
      if (code.empty()) continue;
      const std::size_t colon = code.find(':');
      const std::string name = colon == std::string::npos ? "" : Fold(code.substr(0, colon));
      const std::string order = colon == std::string::npos ? code : code.substr(colon + 1);
      sequences[name].push_back({Fold(order), t});
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> links(topics_.size(), {kNone, kNone});
    for (auto& [name, members] : sequences) {
      std::stable_sort(members.begin(), members.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; });
      for (std::size_t i = 0; i < members.size(); ++i) {
        const std::size_t t = members[i].second;
        if (i > 0) links[t].first = TopicOffset(members[i - 1].second);
        if (i + 1 < members.size()) links[t].second = TopicOffset(members[i + 1].second);
      }
    }
    return links;
  }

  void FillTopicHeaders() {
    const auto links = BrowseLinks();
    for (std::size_t t = 0; t <= topics_.size(); ++t) {
      const std::size_t first = header_index_[t];
      TopicHeaderFields fields;
      fields.topic_number = static_cast<std::uint32_t>(t);
      if (t < topics_.size()) {
        const std::size_t end = header_index_[t + 1];
        for (std::size_t r = first + 1; r < end; ++r) {
          fields.block_size += static_cast<std::uint32_t>(records_[r].Size());
          std::uint32_t& start = records_[r].non_scroll ? fields.non_scroll : fields.scroll;
          if (start == kNone) start = records_[r].position;
        }
        fields.browse_back = links[t].first;
        fields.browse_forward = links[t].second;
        fields.next_topic = records_[end].position;
      }
      records_[first].link_data1 = EncodeTopicHeader(fields);
    }
  }

  // The records' bytes in 4 KB blocks, each block with its header.
  std::string TopicFile() const {
    std::string stream;
    for (std::size_t r = 0; r < records_.size(); ++r) {
      const TopicRecord& record = records_[r];
      std::string bytes;
      PutU32(bytes, static_cast<std::uint32_t>(record.Size()));
      PutU32(bytes, static_cast<std::uint32_t>(record.link_data2.size()));
      PutU32(bytes, r == 0 ? kNone : records_[r - 1].position);
      PutU32(bytes, r + 1 == records_.size() ? kNone : records_[r + 1].position);
      PutU32(bytes, static_cast<std::uint32_t>(kRecordHeader + record.link_data1.size()));
      PutU8(bytes, record.type);
      bytes += record.link_data1;
      bytes += record.link_data2;
      // Where the record starts, counted without block headers.
      const std::size_t block = record.position / 0x4000;
      const std::size_t at =
          block * (kBlockSize - kBlockHeader) + (record.position % 0x4000) - kBlockHeader;
      stream.resize(at, '\0');
      stream += bytes;
    }
    const std::size_t blocks =
        (stream.size() + kBlockSize - kBlockHeader - 1) / (kBlockSize - kBlockHeader);
    stream.resize(blocks * (kBlockSize - kBlockHeader), '\0');
    std::string out;
    std::uint32_t last_link = kNone;
    std::uint32_t last_header = 0;
    std::size_t r = 0;
    for (std::size_t b = 0; b < blocks; ++b) {
      while (r < records_.size() && records_[r].position / 0x4000 < b) {
        last_link = records_[r].position;
        if (records_[r].type == kTopicHeaderType) last_header = records_[r].position;
        ++r;
      }
      const bool starts_here = r < records_.size() && records_[r].position / 0x4000 == b;
      PutU32(out, last_link);
      PutU32(out, starts_here ? records_[r].position : kNone);
      PutU32(out, last_header);
      out += stream.substr(b * (kBlockSize - kBlockHeader), kBlockSize - kBlockHeader);
    }
    return out;
  }

  // The hash of every context string to its topic, sorted as signed numbers.
  std::string ContextFile() {
    struct Context {
      std::uint32_t hash;
      std::string name;
      std::size_t topic;
    };
    std::vector<Context> contexts;
    for (std::size_t t = 0; t < topics_.size(); ++t) {
      for (const std::string& name : topics_[t].contexts) {
        if (!IsPortableContext(name)) {
          Warn(topics_[t].file, topics_[t].line,
               "context string \"" + name +
                   "\" holds characters other than letters, digits, \".\" and \"_\"; "
                   "they do not count in its hash");
        }
        contexts.push_back({ContextHash(name), name, t});
      }
    }
    std::stable_sort(contexts.begin(), contexts.end(), [](const Context& a, const Context& b) {
      return static_cast<std::int32_t>(a.hash) < static_cast<std::int32_t>(b.hash);
    });
    std::vector<BtreeEntry> entries;
    for (std::size_t i = 0; i < contexts.size(); ++i) {
      const Context& context = contexts[i];
      if (!entries.empty() && contexts[i - 1].hash == context.hash) {
        const Context& kept =
            *std::find_if(contexts.begin(), contexts.end(),
                          [&](const Context& c) { return c.hash == context.hash; });
        const Topic& topic = topics_[context.topic];
        if (Fold(kept.name) == Fold(context.name)) {
          Warn(topic.file, topic.line,
               "context string \"" + context.name + "\" is defined again; the first is kept");
        } else {
          Error(topic.file, topic.line,
                "context strings \"" + kept.name + "\" and \"" + context.name +
                    "\" have the same hash; rename one of them");
        }
        continue;
      }
      BtreeEntry entry;
      PutU32(entry.key, context.hash);
      PutU32(entry.value, TopicOffset(context.topic));
      entries.push_back(std::move(entry));
      topic_by_hash_[context.hash] = context.topic;
    }
    output_.contexts = entries.size();
    return BuildBtree({0x0002, 0x0800, "L4"}, entries).bytes;
  }

  void CheckJumps() {
    for (const Topic& topic : topics_) {
      for (const Paragraph& paragraph : topic.paragraphs) {
        for (const Item& item : paragraph.items) {
          if (item.kind != ItemKind::kHotspotStart || item.hotspot == HotspotKind::kMacro) continue;
          if (topic_by_hash_.count(ContextHash(item.text)) == 0) {
            Warn(topic.file, paragraph.line,
                 "jump to \"" + item.text + "\", a context string no topic has");
          }
        }
      }
    }
  }

  std::optional<std::size_t> TopicOfContext(const std::string& context) const {
    const auto found = topic_by_hash_.find(ContextHash(context));
    if (context.empty() || found == topic_by_hash_.end()) return std::nullopt;
    return found->second;
  }

  std::string ContextMapFile() {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> map;
    for (const ContextMapEntry& entry : project_.map) {
      const std::optional<std::size_t> topic = TopicOfContext(entry.context);
      if (!topic) {
        Warn(project_.path, entry.line,
             "map entry \"" + entry.context + "\" names a context string no topic has");
        continue;
      }
      map.push_back({entry.id, TopicOffset(*topic)});
    }
    std::stable_sort(map.begin(), map.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out;
    PutU16(out, static_cast<std::uint32_t>(map.size()));
    for (const auto& [id, offset] : map) {
      PutU32(out, id);
      PutU32(out, offset);
    }
    return out;
  }

  std::string SystemFile() {
    SystemInfo info;
    info.title = project_.title;
    info.copyright = project_.copyright;
    if (!project_.contents.empty()) {
      if (const std::optional<std::size_t> topic = TopicOfContext(project_.contents)) {
        info.contents = TopicOffset(*topic);
      } else {
        Warn(project_.path, 0,
             "CONTENTS names \"" + project_.contents +
                 "\", a context string no topic has; the first topic is shown first");
      }
    }
    info.macros = project_.config_macros;
    info.windows = project_.windows;
    info.cnt = project_.cnt;
    return EncodeSystem(info);
  }

  std::string TitleFile() const {
    std::vector<BtreeEntry> entries;
    for (std::size_t t = 0; t < topics_.size(); ++t) {
      BtreeEntry entry;
      PutU32(entry.key, TopicOffset(t));
      PutStringZ(entry.value, topics_[t].title);
      entries.push_back(std::move(entry));
    }
    return BuildBtree({0x0002, 0x0800, "Lz"}, entries).bytes;
  }

  // Keywords in alphabetical order regardless of case; each lists its topics
  // in file order, once each.
  void KeywordFiles(std::map<std::string, std::string>& files) {
    std::map<std::pair<std::string, std::string>, std::vector<std::uint32_t>> keywords;
    for (std::size_t t = 0; t < topics_.size(); ++t) {
      for (const std::string& keyword : topics_[t].keywords) {
        std::vector<std::uint32_t>& offsets = keywords[{Fold(keyword), keyword}];
        if (offsets.empty() || offsets.back() != TopicOffset(t)) offsets.push_back(TopicOffset(t));
      }
    }
    output_.keywords = keywords.size();
    if (keywords.empty()) return;
    std::string data;
    std::vector<BtreeEntry> entries;
    for (const auto& [key, offsets] : keywords) {
      BtreeEntry entry;
      PutStringZ(entry.key, key.second);
      PutU16(entry.value, static_cast<std::uint32_t>(offsets.size()));
      PutU32(entry.value, static_cast<std::uint32_t>(data.size()));
      entries.push_back(std::move(entry));
      for (std::uint32_t offset : offsets) PutU32(data, offset);
    }
    const BtreeImage tree = BuildBtree({0x0002, 0x0800, "F24"}, entries);
    std::string map;
    PutU16(map, static_cast<std::uint32_t>(tree.leaves.size()));
    for (const BtreeLeaf& leaf : tree.leaves) {
      PutU32(map, leaf.first_entry);
      PutU16(map, leaf.page);
    }
    files["|KWBTREE"] = tree.bytes;
    files["|KWDATA"] = data;
    files["|KWMAP"] = map;
  }

  const HelpFileInput& input_;
  const HelpProject& project_;
  const std::vector<Topic>& topics_;
  HelpFileOutput output_;
  FontTable fonts_;
  std::vector<TopicRecord> records_;
  std::vector<std::size_t> header_index_;  // record of each topic's header, and of the last
  std::map<std::uint32_t, std::size_t> topic_by_hash_;
};

}  // namespace

HelpFileOutput WriteHelpFile(const HelpFileInput& input) {
  HelpFileWriter writer(input);
  return writer.Write();
}

}  // namespace quillark::hlpc
