#include "hlpcompiler/btree.h"

#include <algorithm>

#include "hlpcompiler/hlp_format.h"

namespace quillark::hlpc {
namespace {

constexpr std::uint16_t kBtreeMagic = 0x293B;
constexpr std::size_t kLeafHeader = 8;
constexpr std::size_t kIndexHeader = 6;
constexpr std::uint16_t kNoPage = 0xFFFF;

// A page of some level and the first key found below it.
struct Page {
  std::string bytes;
  std::string first_key;
  std::uint16_t number = 0;
};

std::string LeafHeader(std::size_t page_size, std::size_t used, std::size_t count,
                       std::uint16_t previous, std::uint16_t next) {
  std::string header;
  PutU16(header, static_cast<std::uint32_t>(page_size - kLeafHeader - used));
  PutU16(header, static_cast<std::uint32_t>(count));
  PutU16(header, previous);
  PutU16(header, next);
  return header;
}

std::vector<Page> BuildLeaves(const BtreeLayout& layout, const std::vector<BtreeEntry>& entries,
                              std::vector<BtreeLeaf>& leaves) {
  // First cut the entries into pages, then write each page once its
  // neighbours' numbers are known.
  std::vector<std::pair<std::size_t, std::size_t>> ranges;  // first entry, count
  std::size_t used = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::size_t size = entries[i].key.size() + entries[i].value.size();
    if (ranges.empty() || used + size > layout.page_size - kLeafHeader) {
      ranges.push_back({i, 0});
      used = 0;
    }
    ++ranges.back().second;
    used += size;
  }
  if (ranges.empty()) ranges.push_back({0, 0});

  std::vector<Page> pages;
  for (std::size_t p = 0; p < ranges.size(); ++p) {
    std::string body;
    for (std::size_t i = ranges[p].first; i < ranges[p].first + ranges[p].second; ++i) {
      body += entries[i].key;
      body += entries[i].value;
    }
    const std::uint16_t number = static_cast<std::uint16_t>(p);
    Page page;
    page.number = number;
    page.bytes =
        LeafHeader(layout.page_size, body.size(), ranges[p].second,
                   p == 0 ? kNoPage : static_cast<std::uint16_t>(number - 1),
                   p + 1 == ranges.size() ? kNoPage : static_cast<std::uint16_t>(number + 1));
    page.bytes += body;
    page.bytes.resize(layout.page_size, '\0');
    page.first_key = ranges[p].second > 0 ? entries[ranges[p].first].key : std::string();
    pages.push_back(std::move(page));
    leaves.push_back({static_cast<std::uint32_t>(ranges[p].first),
                      static_cast<std::uint32_t>(ranges[p].second), number});
  }
  return pages;
}

// One index level over `children`; new pages are numbered from `next_number`.
std::vector<Page> BuildIndexLevel(const BtreeLayout& layout, const std::vector<Page>& children,
                                  std::uint16_t next_number) {
  std::vector<Page> pages;
  std::string body;
  std::size_t count = 0;
  auto finish = [&]() {
    Page& page = pages.back();
    std::string header;
    PutU16(header, static_cast<std::uint32_t>(layout.page_size - kIndexHeader - body.size()));
    PutU16(header, static_cast<std::uint32_t>(count));
    page.bytes = header.substr(0, 4) + page.bytes + body;
    page.bytes.resize(layout.page_size, '\0');
  };
  for (const Page& child : children) {
    std::string entry = child.first_key;
    PutU16(entry, child.number);
    if (pages.empty() || kIndexHeader + body.size() + entry.size() > layout.page_size) {
      if (!pages.empty()) finish();
      // A new index page: this child is its leftmost, kept in PreviousPage.
      Page page;
      page.number = next_number++;
      page.first_key = child.first_key;
      PutU16(page.bytes, child.number);
      pages.push_back(std::move(page));
      body.clear();
      count = 0;
      continue;
    }
    body += entry;
    ++count;
  }
  finish();
  return pages;
}

}  // namespace

BtreeImage BuildBtree(const BtreeLayout& layout, const std::vector<BtreeEntry>& entries) {
  BtreeImage image;
  std::vector<Page> all = BuildLeaves(layout, entries, image.leaves);
  std::vector<Page> level = all;
  while (level.size() > 1) {
    level = BuildIndexLevel(layout, level, static_cast<std::uint16_t>(all.size()));
    all.insert(all.end(), level.begin(), level.end());
    ++image.levels;
  }
  const std::uint16_t root = level.front().number;

  std::string& out = image.bytes;
  PutU16(out, kBtreeMagic);
  PutU16(out, layout.flags);
  PutU16(out, layout.page_size);
  std::string structure(layout.structure.substr(0, 15));
  structure.resize(16, '\0');
  out += structure;
  PutU16(out, 0);
  PutU16(out, static_cast<std::uint32_t>(all.size() - image.levels));
  PutU16(out, root);
  PutU16(out, 0xFFFF);
  PutU16(out, static_cast<std::uint32_t>(all.size()));
  PutU16(out, image.levels);
  PutU32(out, static_cast<std::uint32_t>(entries.size()));
  for (const Page& page : all) out += page.bytes;
  return image;
}

}  // namespace quillark::hlpc
