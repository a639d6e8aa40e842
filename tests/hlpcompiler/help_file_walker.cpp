#include "hlpcompiler/help_file_walker.h"

#include <cctype>
#include <functional>

namespace quillark::hlpc::testing {
namespace {

std::uint32_t U16(std::string_view b, std::size_t at) {
  if (at + 2 > b.size()) return 0;
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}

std::uint32_t U32(std::string_view b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

std::string StringAt(std::string_view b, std::size_t at) {
  if (at >= b.size()) return "";
  const std::size_t end = b.find('\0', at);
  return std::string(b.substr(at, end == std::string_view::npos ? b.size() - at : end - at));
}

// Reads the compressed numbers of topic records.
struct Cursor {
  std::string_view bytes;
  std::size_t at = 0;
  bool ok = true;
  std::uint32_t Byte() {
    if (at >= bytes.size()) {
      ok = false;
      return 0;
    }
    return static_cast<std::uint8_t>(bytes[at++]);
  }
  std::uint32_t Word() { return Byte() | Byte() << 8; }
  std::int32_t SignedShort() {
    if (at < bytes.size() && (bytes[at] & 1) != 0)
      return static_cast<std::int32_t>(Word() / 2) - 16384;
    return static_cast<std::int32_t>(Byte() / 2) - 64;
  }
  std::uint32_t UnsignedShort() {
    if (at < bytes.size() && (bytes[at] & 1) != 0) return Word() / 2;
    return Byte() / 2;
  }
  std::int32_t SignedLong() {
    if (at < bytes.size() && (bytes[at] & 1) != 0) {
      const std::uint32_t low = Word();
      return static_cast<std::int32_t>((low | Word() << 16) / 2) - 0x40000000;
    }
    return static_cast<std::int32_t>(Word() / 2) - 16384;
  }
};

}  // namespace

std::uint32_t HashOf(std::string_view context) {
  std::uint32_t hash = 0;
  for (unsigned char c : context) {
    std::uint32_t v = 0;
    if (std::isalpha(c))
      v = static_cast<std::uint32_t>(std::toupper(c) - 'A' + 17);
    else if (c == '0')
      v = 10;
    else if (std::isdigit(c))
      v = c - '0';
    else if (c == '.')
      v = 12;
    else if (c == '_')
      v = 13;
    else
      continue;
    hash = 43 * hash + v;
  }
  return hash;
}

namespace {

// One leaf entry's key and its size in the page.
struct EntryView {
  std::string key;
  std::string value;
  std::size_t size = 0;
};

EntryView ReadEntry(std::string_view page, std::size_t at, std::size_t key_size,
                    std::size_t value_size) {
  EntryView entry;
  std::size_t p = at;
  if (key_size == 0) {
    entry.key = StringAt(page, p);
    p += entry.key.size() + 1;
  } else {
    entry.key = std::string(page.substr(std::min(p, page.size()), key_size));
    p += key_size;
  }
  if (value_size == 0) {
    entry.value = StringAt(page, p);
    p += entry.value.size() + 1;
  } else {
    entry.value = std::string(page.substr(std::min(p, page.size()), value_size));
    p += value_size;
  }
  entry.size = p - at;
  return entry;
}

bool KeyLess(const std::string& a, const std::string& b, std::size_t key_size) {
  if (key_size == 4) {
    return static_cast<std::int32_t>(U32(a, 0)) < static_cast<std::int32_t>(U32(b, 0));
  }
  return a < b;
}

}  // namespace

TreeWalk WalkTree(std::string_view tree, std::size_t key_size, std::size_t value_size) {
  TreeWalk walk;
  if (tree.size() < 38 || U16(tree, 0) != 0x293B) {
    walk.errors.push_back("no B+ tree header");
    return walk;
  }
  const std::size_t page_size = U16(tree, 4);
  const std::uint32_t root = U16(tree, 26);
  const std::uint32_t pages = U16(tree, 30);
  walk.levels = static_cast<int>(U16(tree, 32));
  const std::uint32_t entries = U32(tree, 34);
  if (tree.size() != 38 + pages * page_size) walk.errors.push_back("tree size is not its pages");
  auto page = [&](std::uint32_t n) { return tree.substr(38 + n * page_size, page_size); };
  // Down the leftmost children to the first leaf.
  std::uint32_t n = root;
  for (int level = 1; level < walk.levels; ++level) n = U16(page(n), 4);
  std::uint32_t seen = 0;
  for (int guard = 0; n != 0xFFFF && guard <= static_cast<int>(pages); ++guard) {
    const std::string_view leaf = page(n);
    const std::uint32_t count = U16(leaf, 2);
    std::size_t at = 8;
    for (std::uint32_t i = 0; i < count; ++i) {
      const EntryView entry = ReadEntry(leaf, at, key_size, value_size);
      walk.leaf_keys.push_back(entry.key);
      at += entry.size;
    }
    if (U16(leaf, 0) != page_size - at) walk.errors.push_back("leaf free space is wrong");
    seen += count;
    n = U16(leaf, 6);
  }
  if (seen != entries) walk.errors.push_back("leaves hold another number of entries");
  for (std::size_t i = 1; i < walk.leaf_keys.size(); ++i) {
    if (key_size != 0 && KeyLess(walk.leaf_keys[i], walk.leaf_keys[i - 1], key_size)) {
      walk.errors.push_back("leaf keys out of order");
    }
  }
  // Each key found again from the root.
  {
    for (const std::string& key : walk.leaf_keys) {
      std::uint32_t p = root;
      for (int level = 1; level < walk.levels; ++level) {
        const std::string_view index = page(p);
        std::uint32_t child = U16(index, 4);
        std::size_t at = 6;
        for (std::uint32_t i = 0; i < U16(index, 2); ++i) {
          const EntryView entry = ReadEntry(index, at, key_size, 2);
          if (KeyLess(key, entry.key, key_size)) break;
          child = U16(entry.value, 0);
          at += entry.size;
        }
        p = child;
      }
      const std::string_view leaf = page(p);
      bool found = false;
      std::size_t at = 8;
      for (std::uint32_t i = 0; i < U16(leaf, 2) && !found; ++i) {
        const EntryView entry = ReadEntry(leaf, at, key_size, value_size);
        found = entry.key == key;
        at += entry.size;
      }
      walk.every_key_found = walk.every_key_found && found;
    }
  }
  return walk;
}

namespace {

// Visits every leaf entry of a tree as (key, value).
void ForEachEntry(std::string_view tree, std::size_t key_size, std::size_t value_size,
                  const std::function<void(const std::string&, const std::string&)>& visit) {
  if (tree.size() < 38) return;
  const std::size_t page_size = U16(tree, 4);
  const std::uint32_t pages = U16(tree, 30);
  std::uint32_t n = U16(tree, 26);
  auto page = [&](std::uint32_t k) { return tree.substr(38 + k * page_size, page_size); };
  for (std::uint32_t level = 1; level < U16(tree, 32); ++level) n = U16(page(n), 4);
  for (std::uint32_t guard = 0; n != 0xFFFF && guard <= pages; ++guard) {
    const std::string_view leaf = page(n);
    std::size_t at = 8;
    for (std::uint32_t i = 0; i < U16(leaf, 2); ++i) {
      const EntryView entry = ReadEntry(leaf, at, key_size, value_size);
      visit(entry.key, entry.value);
      at += entry.size;
    }
    n = U16(leaf, 6);
  }
}

class Inspector {
 public:
  explicit Inspector(std::string_view bytes) : bytes_(bytes) {}

  InspectedHelp Run() {
    if (bytes_.size() < 16 || U32(bytes_, 0) != 0x00035F3F) {
      help_.errors.push_back("no help file magic");
      return help_;
    }
    if (U32(bytes_, 12) != bytes_.size()) help_.errors.push_back("file size field is wrong");
    const std::string directory = InternalFile(U32(bytes_, 4));
    const TreeWalk walk = WalkTree(directory, 0, 4);
    for (const std::string& error : walk.errors) help_.errors.push_back("directory: " + error);
    if (!walk.every_key_found) help_.errors.push_back("directory search misses a file");
    ForEachEntry(directory, 0, 4, [&](const std::string& name, const std::string& value) {
      help_.files[name] = InternalFile(U32(value, 0));
    });
    System();
    Topics();
    Contexts();
    Titles();
    Keywords();
    return help_;
  }

 private:
  std::string InternalFile(std::uint32_t at) {
    if (at + 9 > bytes_.size()) {
      help_.errors.push_back("internal file outside the file");
      return "";
    }
    const std::uint32_t reserved = U32(bytes_, at);
    const std::uint32_t used = U32(bytes_, at + 4);
    if (used + 9 > reserved || at + reserved > bytes_.size()) {
      help_.errors.push_back("internal file sizes are wrong");
      return "";
    }
    return std::string(bytes_.substr(at + 9, used));
  }

  void System() {
    const std::string& system = help_.files["|SYSTEM"];
    if (U16(system, 0) != 0x036C || U16(system, 2) != 33 || U16(system, 4) != 1) {
      help_.errors.push_back("|SYSTEM header is wrong");
      return;
    }
    for (std::size_t at = 12; at + 4 <= system.size();) {
      const std::uint32_t type = U16(system, at);
      const std::uint32_t size = U16(system, at + 2);
      const std::string data = system.substr(at + 4, size);
      if (type == 1) help_.title = StringAt(data, 0);
      if (type == 2) help_.copyright = StringAt(data, 0);
      if (type == 3) help_.contents = U32(data, 0);
      if (type == 4) help_.config_macros.push_back(StringAt(data, 0));
      at += 4 + size;
    }
  }

  // The byte of |TOPIC at a TOPICPOS, counted across block headers.
  std::size_t Place(std::uint32_t position) const {
    return (position / 0x4000) * 4096 + position % 0x4000;
  }

  // `count` bytes of the record stream from `place`, skipping block headers.
  std::string Stream(std::size_t place, std::size_t count) const {
    const std::string& topic = topic_file_;
    std::string out;
    while (out.size() < count && place < topic.size()) {
      if (place % 4096 < 12) place += 12 - place % 4096;
      out.push_back(topic[place++]);
    }
    return out;
  }

  void Topics() {
    topic_file_ = help_.files["|TOPIC"];
    if (topic_file_.size() % 4096 != 0) help_.errors.push_back("|TOPIC is not whole blocks");
    std::uint32_t position = 12;
    std::uint32_t previous = 0xFFFFFFFF;
    std::size_t block = 0;
    std::uint32_t characters = 0;
    for (int guard = 0; position != 0xFFFFFFFF && guard < 1000000; ++guard) {
      const std::size_t place = Place(position);
      if (place / 4096 != block) {
        block = place / 4096;
        characters = 0;
      }
      const std::string header = Stream(place, 21);
      if (header.size() < 21) {
        help_.errors.push_back("record outside |TOPIC");
        return;
      }
      const std::uint32_t block_size = U32(header, 0);
      const std::uint32_t data2 = U32(header, 4);
      const std::uint32_t data1 = U32(header, 16);
      if (U32(header, 8) != previous) help_.errors.push_back("record's previous link is wrong");
      if (data1 + data2 != block_size || data1 < 21) {
        help_.errors.push_back("record sizes do not add up");
        return;
      }
      if (place % 4096 + data1 > 4096)
        help_.errors.push_back("record's first part crosses a block");
      const std::string record = Stream(place, block_size);
      const std::string link1 = record.substr(21, data1 - 21);
      const std::string link2 = record.substr(data1);
      const std::uint32_t offset = static_cast<std::uint32_t>(block) * 0x8000 + characters;
      if (static_cast<std::uint8_t>(header[20]) == 0x02) {
        InspectedTopic topic;
        topic.offset = offset;
        topic.browse_back = U32(link1, 4);
        topic.browse_forward = U32(link1, 8);
        const std::size_t nul = link2.find('\0');
        topic.title = link2.substr(0, nul);
        for (std::size_t at = nul; at != std::string::npos && at < link2.size();) {
          const std::size_t next = link2.find('\0', at + 1);
          topic.macros.push_back(
              link2.substr(at + 1, next == std::string::npos ? next : next - at - 1));
          at = next;
        }
        if (U32(link1, 24) != 0xFFFFFFFF) help_.topics.push_back(std::move(topic));
      } else if (static_cast<std::uint8_t>(header[20]) == 0x20) {
        if (help_.topics.empty()) {
          help_.errors.push_back("text before the first topic header");
        } else {
          TextRecord(link1, link2, help_.topics.back());
        }
        characters += data2;
      } else {
        help_.errors.push_back("unknown record type");
      }
      previous = position;
      position = U32(header, 12);
    }
  }

  void TextRecord(const std::string& link1, const std::string& link2, InspectedTopic& topic) {
    Cursor c{link1};
    c.SignedLong();
    if (c.UnsignedShort() != link2.size()) help_.errors.push_back("TopicLength is wrong");
    c.Byte();
    c.Byte();
    c.Word();
    const std::uint32_t bits = c.Word();
    for (std::uint32_t bit : {0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x40u}) {
      if (bits & bit) c.SignedShort();
    }
    if (bits & 0x0100) {
      c.Byte();
      c.Word();
    }
    if (bits & 0x0200) {
      const std::int32_t tabs = c.SignedShort();
      for (std::int32_t i = 0; i < tabs; ++i) {
        if (c.UnsignedShort() & 0x4000) c.UnsignedShort();
      }
    }
    std::size_t string_at = 0;
    auto next_string = [&]() {
      const std::size_t end = link2.find('\0', string_at);
      if (end == std::string::npos) {
        help_.errors.push_back("fewer strings than commands");
        string_at = link2.size();
        return;
      }
      topic.text += link2.substr(string_at, end - string_at);
      string_at = end + 1;
    };
    for (bool done = false; !done && c.ok;) {
      next_string();
      const std::uint32_t command = c.Byte();
      switch (command) {
        case 0x80:
          c.Word();
          break;
        case 0x81:
        case 0x83:
        case 0x89:
          break;
        case 0x82:
          topic.text += "\n";
          break;
        case 0x86:
        case 0x87:
        case 0x88: {
          c.Byte();
          const std::int32_t size = c.SignedLong();
          const std::size_t start = c.at;
          c.Word();
          topic.pictures.push_back(static_cast<std::uint16_t>(c.Word()));
          c.at = start + static_cast<std::size_t>(size);
          break;
        }
        case 0xC8:
        case 0xCC:
          c.at += c.Word();
          break;
        case 0xE2:
        case 0xE3:
          topic.jumps.push_back(c.Word() | c.Word() << 16);
          break;
        case 0xFF:
          done = true;
          break;
        default:
          help_.errors.push_back("unknown formatting command");
          return;
      }
    }
    if (!c.ok || c.at != link1.size()) help_.errors.push_back("commands do not end the record");
    if (string_at != link2.size()) help_.errors.push_back("more strings than commands");
  }

  void Contexts() {
    const std::string& tree = help_.files["|CONTEXT"];
    const TreeWalk walk = WalkTree(tree, 4, 4);
    for (const std::string& error : walk.errors) help_.errors.push_back("|CONTEXT: " + error);
    if (!walk.every_key_found) help_.errors.push_back("|CONTEXT search misses a hash");
    ForEachEntry(tree, 4, 4, [&](const std::string& key, const std::string& value) {
      help_.contexts[U32(key, 0)] = U32(value, 0);
    });
  }

  void Titles() {
    ForEachEntry(help_.files["|TTLBTREE"], 4, 0,
                 [&](const std::string& key, const std::string& value) {
                   help_.titles[U32(key, 0)] = value;
                 });
  }

  void Keywords() {
    if (help_.files.count("|KWBTREE") == 0) return;
    const std::string& data = help_.files["|KWDATA"];
    ForEachEntry(help_.files["|KWBTREE"], 0, 6,
                 [&](const std::string& key, const std::string& value) {
                   const std::uint32_t count = U16(value, 0);
                   const std::uint32_t at = U32(value, 2);
                   for (std::uint32_t i = 0; i < count; ++i)
                     help_.keywords[key].push_back(U32(data, at + 4 * i));
                 });
  }

  std::string_view bytes_;
  std::string topic_file_;
  InspectedHelp help_;
};

}  // namespace

const InspectedTopic* InspectedHelp::TopicAt(std::uint32_t offset) const {
  for (const InspectedTopic& topic : topics) {
    if (topic.offset == offset) return &topic;
  }
  return nullptr;
}

InspectedHelp InspectHelpFile(std::string_view bytes) {
  Inspector inspector(bytes);
  return inspector.Run();
}

}  // namespace quillark::hlpc::testing
