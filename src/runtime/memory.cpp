#include "runtime/memory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>  // defines __GLIBC__ with the GNU C library

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace quillark::runtime {

// The sanitizers keep their own heap: the C library's is not the run's.
#if defined(__SANITIZE_ADDRESS__)
#define QUILLARK_OWN_HEAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLARK_OWN_HEAP 0
#endif
#endif
#ifndef QUILLARK_OWN_HEAP
#define QUILLARK_OWN_HEAP 1
#endif

bool UseLargeHeapPages() {
#if QUILLARK_OWN_HEAP && defined(__linux__) && defined(__GLIBC__) && defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kLargePage = std::uintptr_t{1} << 21;
  constexpr int kHeapStep = 16 << 20;
  // Blocks up to 4 MiB come from the heap too, as glibc's own threshold
  // would let them once such blocks are freed: fixing the step fixes that
  // threshold as well.
  constexpr int kOwnMappingFrom = 4 << 20;
  if (::mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom) == 0 || ::mallopt(M_TOP_PAD, kHeapStep) == 0) {
    return false;
  }
  // Blocks taken until the heap has to grow make it grow by a step now;
  // freed, they leave the step in place for the run.
  constexpr int kMostBlocks = 64;
  constexpr std::size_t kBlock = std::size_t{1} << 18;
  void* blocks[kMostBlocks] = {};
  const void* const old_end = ::sbrk(0);
  int taken = 0;
  while (taken < kMostBlocks && ::sbrk(0) == old_end) {
    blocks[taken] = std::malloc(kBlock);
    if (blocks[taken] == nullptr) break;
    // The compiler may not drop the blocks as unused: the growth is the point.
    asm volatile("" : : "r"(blocks[taken]) : "memory");
    ++taken;
  }
  if (taken == 0) return false;
  const auto first =
      (reinterpret_cast<std::uintptr_t>(blocks[taken - 1]) + kLargePage - 1) & ~(kLargePage - 1);
  for (int i = taken - 1; i >= 0; --i) std::free(blocks[i]);
  const auto end = reinterpret_cast<std::uintptr_t>(::sbrk(0)) & ~(kLargePage - 1);
  return end > first &&
         ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE) == 0;
#else
  return false;
#endif
}

}  // namespace quillark::runtime
