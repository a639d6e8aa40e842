// The walk over a text sixteen bytes at a time that the line and conversion
// loops share: each asks for its own bytes, the walk finds the first.
#ifndef QUILLARK_RUNTIME_BYTE_SCAN_H_
#define QUILLARK_RUNTIME_BYTE_SCAN_H_

#include <cstddef>

namespace quillark::runtime {

// The first position at or after `from`, in a text of `size` bytes, that
// `marks_at` marks, or `size` when there is none. `marks_at(at)` gives one
// bit for each of the sixteen bytes from `at` (bit 0 for the byte at `at`).
// The last bytes are taken with the sixteen that end the text, those before
// `from` left out. A text shorter than sixteen bytes is not looked at:
// `from` comes back, and the caller looks at its bytes one by one.
template <typename MarksAt>
std::size_t FirstMarked(std::size_t size, std::size_t from, MarksAt marks_at) {
  while (from + 16 <= size) {
    const unsigned mask = marks_at(from);
    if (mask != 0) return from + static_cast<std::size_t>(__builtin_ctz(mask));
    from += 16;
  }
  if (from < size && size >= 16) {
    const unsigned mask = marks_at(size - 16) >> (16 - (size - from));
    return mask != 0 ? from + static_cast<std::size_t>(__builtin_ctz(mask)) : size;
  }
  return from;
}

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_BYTE_SCAN_H_
