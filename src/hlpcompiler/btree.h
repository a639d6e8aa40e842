// The B+ trees of a help file: the internal directory and the context, title
// and keyword tables are all built the same way from entries sorted by key.
#ifndef QUILLARK_HLPCOMPILER_BTREE_H_
#define QUILLARK_HLPCOMPILER_BTREE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillark::hlpc {

// One leaf entry: the key bytes as stored (they are also the key of an index
// entry that points at the page the entry starts) and the bytes that follow
// the key in the leaf.
struct BtreeEntry {
  std::string key;
  std::string value;
};

struct BtreeLayout {
  std::uint16_t flags = 0x0002;
  std::uint16_t page_size = 0x0800;
  std::string_view structure;  // the format letters, at most 15
};

// Where the leaf entries landed: entry `first_entry` onward, `count` of them,
// on page `page`.
struct BtreeLeaf {
  std::uint32_t first_entry = 0;
  std::uint32_t count = 0;
  std::uint16_t page = 0;
};

struct BtreeImage {
  std::string bytes;  // the 38-byte tree header followed by the pages
  std::vector<BtreeLeaf> leaves;
  std::uint16_t levels = 1;
};

// Builds the tree over `entries`, which the caller has sorted in the tree's
// key order. Leaves are filled in order and linked; index levels are added
// above them until one page remains, which becomes the root. No tree is
// empty: without entries one empty leaf is written. Entries too large for a
// page are the caller's mistake and are not checked here beyond the sizes
// callers produce (names of at most a few hundred bytes).
BtreeImage BuildBtree(const BtreeLayout& layout, const std::vector<BtreeEntry>& entries);

}  // namespace quillark::hlpc

#endif  // QUILLARK_HLPCOMPILER_BTREE_H_
