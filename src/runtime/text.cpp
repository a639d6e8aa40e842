#include "runtime/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quillark::runtime {

std::string Truncate(std::string_view text, std::size_t max_length) {
  return std::string(text.substr(0, max_length));
}

std::string UpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = UpperAscii(c);
  return result;
}

std::string LowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = LowerAscii(c);
  return result;
}

namespace {

// Byte tables of the two foldings, so that a comparison costs one look-up a byte.
struct FoldTables {
  unsigned char upper[256];
  unsigned char lower[256];
};

const FoldTables& Folds() {
  static const FoldTables tables = [] {
    FoldTables t{};
    for (int c = 0; c < 256; ++c) {
      t.upper[c] = static_cast<unsigned char>(UpperAscii(static_cast<char>(c)));
      t.lower[c] = static_cast<unsigned char>(LowerAscii(static_cast<char>(c)));
    }
    return t;
  }();
  return tables;
}

int CompareFolded(const unsigned char* fold, std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  const auto* pa = reinterpret_cast<const unsigned char*>(a.data());
  const auto* pb = reinterpret_cast<const unsigned char*>(b.data());
  std::size_t i = 0;
  while (i < common) {
    // Names that sort near each other share long beginnings: equal bytes are
    // passed eight at a time.
    if (common - i >= 8) {
      std::uint64_t wa = 0;
      std::uint64_t wb = 0;
      std::memcpy(&wa, pa + i, 8);
      std::memcpy(&wb, pb + i, 8);
      if (wa == wb) {
        i += 8;
        continue;
      }
    }
    if (pa[i] != pb[i]) {
      const unsigned char ca = fold[pa[i]];
      const unsigned char cb = fold[pb[i]];
      if (ca != cb) return ca < cb ? -1 : 1;
    }
    ++i;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareFoldUpper(std::string_view a, std::string_view b) {
  return CompareFolded(Folds().upper, a, b);
}

int CompareFoldLower(std::string_view a, std::string_view b) {
  return CompareFolded(Folds().lower, a, b);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareFoldLower(a, b) == 0;
}

std::string_view TrimControl(std::string_view text) {
  auto is_control = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && is_control(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_control(text.back())) text.remove_suffix(1);
  return text;
}

std::string SanitizeIdent(std::string_view name) {
  std::string result(name);
  for (char& c : result) {
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '_') c = '_';
  }
  return result;
}

bool IsIdentifier(std::string_view name) {
  if (name.empty()) return false;
  if (!IsAsciiLetter(name.front()) && name.front() != '_') return false;
  return std::all_of(name.begin() + 1, name.end(),
                     [](char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_'; });
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    result.append(text.substr(pos, hit - pos));
    result.append(to);
    pos = hit + from.size();
  }
  result.append(text.substr(pos));
  return result;
}

}  // namespace quillark::runtime
