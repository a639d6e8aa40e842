#include "helpmain/run_files.h"

#include <gtest/gtest.h>

#include <string>

namespace quillark {
namespace {

TEST(RunFiles, SettersReplaceAndKeepAtMost255Characters) {
  SetListingFileName("/docs/book.lst");
  SetOutputFileName("/docs/book/*.html");
  EXPECT_EQ(GetListingFileName(), "/docs/book.lst");
  EXPECT_EQ(GetOutputFileName(), "/docs/book/*.html");
  SetListingFileName(std::string(300, 'l'));
  SetOutputFileName("");
  EXPECT_EQ(GetListingFileName(), std::string(255, 'l'));
  EXPECT_EQ(GetOutputFileName(), "");
  SetListingFileName("");
}

}  // namespace
}  // namespace quillark
