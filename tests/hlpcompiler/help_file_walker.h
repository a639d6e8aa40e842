// A small, independent reader of .hlp files for the tests. It follows the
// file format itself and shares no code with the writer: it finds internal
// files through the directory tree, walks the topic records and the context,
// title and keyword trees, and notes every inconsistency it meets.
#ifndef QUILLARK_TESTS_HLPCOMPILER_HELP_FILE_WALKER_H_
#define QUILLARK_TESTS_HLPCOMPILER_HELP_FILE_WALKER_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillark::hlpc::testing {

struct InspectedTopic {
  std::uint32_t offset = 0;  // TOPICOFFSET of its header record
  std::string title;
  std::vector<std::string> macros;
  std::uint32_t browse_back = 0xFFFFFFFF;
  std::uint32_t browse_forward = 0xFFFFFFFF;
  std::vector<std::uint32_t> jumps;  // context hashes of jump and popup hotspots
  std::vector<std::uint16_t> pictures;
  std::string text;  // the shown strings, one "\n" per paragraph end
};

struct InspectedHelp {
  std::map<std::string, std::string> files;         // internal files by name
  std::vector<InspectedTopic> topics;               // without the closing empty header
  std::map<std::uint32_t, std::uint32_t> contexts;  // hash to TOPICOFFSET
  std::map<std::uint32_t, std::string> titles;      // |TTLBTREE
  std::map<std::string, std::vector<std::uint32_t>> keywords;
  std::string title, copyright;
  std::optional<std::uint32_t> contents;
  std::vector<std::string> config_macros;
  std::vector<std::string> errors;

  const InspectedTopic* TopicAt(std::uint32_t offset) const;
};

InspectedHelp InspectHelpFile(std::string_view bytes);

// The context hash, computed from its definition: h = 43h + v per character.
std::uint32_t HashOf(std::string_view context);

// Every key of a B+ tree in leaf order, and each key found again by a search
// from the root (false when a search misses); `key_size` 0 means a
// zero-terminated key.
struct TreeWalk {
  std::vector<std::string> leaf_keys;
  bool every_key_found = true;
  int levels = 0;
  std::vector<std::string> errors;
};
TreeWalk WalkTree(std::string_view tree, std::size_t key_size, std::size_t value_size);

}  // namespace quillark::hlpc::testing

#endif  // QUILLARK_TESTS_HLPCOMPILER_HELP_FILE_WALKER_H_
