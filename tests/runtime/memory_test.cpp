#include "runtime/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/process.h"

namespace quillark::runtime {
namespace {

#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
// The heap's parts as /proc/self/smaps shows them: start, end, and whether
// the part is marked for large pages ("hg" among its VmFlags).
struct HeapPart {
  std::uintptr_t start = 0;
  std::uintptr_t end = 0;
  bool large_pages = false;
};

std::vector<HeapPart> HeapParts() {
  std::vector<HeapPart> parts;
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool in_heap = false;
  while (std::getline(smaps, line)) {
    const std::size_t dash = line.find('-');
    if (dash != std::string::npos && dash > 0 && line.find(' ') > dash &&
        line.find_first_not_of("0123456789abcdef") == dash) {
      in_heap = line.ends_with("[heap]");
      if (in_heap) {
        parts.push_back({std::stoull(line.substr(0, dash), nullptr, 16),
                         std::stoull(line.substr(dash + 1), nullptr, 16), false});
      }
    } else if (in_heap && line.starts_with("VmFlags:")) {
      parts.back().large_pages = (line + " ").find(" hg ") != std::string::npos;
    }
  }
  return parts;
}
#endif

// Where the C library's heap is the run's, it is marked for 2 MiB pages from
// a large page's edge on, and grows in steps that leave room for them. The
// program does this first thing, on a heap nothing has used yet; the tests
// before this one leave free blocks behind, so the check runs in a process
// of its own that runs this test alone.
TEST(UseLargeHeapPages, MarksTheHeapFromALargePageEdge) {
#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
  if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage")) {
    GTEST_SKIP() << "the kernel has no large pages for anonymous memory";
  }
  constexpr const char* kFresh = "QUILLARK_FRESH_HEAP_TEST";
  if (std::getenv(kFresh) == nullptr) {
    ::setenv(kFresh, "1", 1);
    const ProgramRun run =
        RunProgram(ProgramPath(), {"--gtest_filter=UseLargeHeapPages.*"}, "", true, true);
    ::unsetenv(kFresh);
    EXPECT_EQ(run.start_code, kRunStarted);
    EXPECT_EQ(run.exit_code, 0) << run.error_text;
    return;
  }
  ASSERT_TRUE(UseLargeHeapPages());
  bool marked = false;
  for (const HeapPart& part : HeapParts()) {
    if (!part.large_pages) continue;
    marked = true;
    EXPECT_EQ(part.start % (std::uintptr_t{1} << 21), 0u) << std::hex << part.start;
    EXPECT_GE(part.end - part.start, std::uintptr_t{1} << 21);
  }
  EXPECT_TRUE(marked) << "no part of the heap is marked for large pages";
#else
  EXPECT_FALSE(UseLargeHeapPages());
#endif
}

}  // namespace
}  // namespace quillark::runtime
