// Topics, popups and headings with deliberate faults: the sorted listing and
// the table dumps of a whole run.
#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

TEST(Structure, FaultsAreListedSortedOnceEachAndTablesDumped) {
  TempDir dir;
  CopyCase("structure/book.txt", dir.File("book.txt"));
  const RunResult run = RunQuillark({"-i", "book", "-g", "NONE", "-v"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), Expected("structure/book.lst", dir.path(), true));
}

}  // namespace
}  // namespace quillark::e2e
