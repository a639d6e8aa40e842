#include "helpmain/report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "runtime/files.h"
#include "runtime/output.h"

namespace quillark {
namespace {

struct PrefixCase {
  const char* file;
  int line;
  char kind;
  const char* expected;
};

class FormatMessagePrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(FormatMessagePrefixTest, Layout) {
  EXPECT_EQ(FormatMessagePrefix(GetParam().file, GetParam().line, GetParam().kind),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatMessagePrefixTest,
    ::testing::Values(PrefixCase{"/docs/book.pp", 12, 'F', "/docs/book.pp(   12): Fatal : "},
                      PrefixCase{"/docs/book.txt", 0, 'E', "/docs/book.txt: Error : "},
                      PrefixCase{"b.pp", 123456, 'W', "b.pp(123456): Warning : "},
                      PrefixCase{"b.pp", 12345, 'w', "b.pp(12345): Warning : "},
                      PrefixCase{"b.pp", -3, 'f', "b.pp: Fatal : "},
                      PrefixCase{"", 0, 'W', ": Warning : "},
                      PrefixCase{"", 7, 'x', "(    7): Error : "}));

TEST(FormatReportLine, CutTo255) {
  std::string long_file(300, 'p');
  EXPECT_EQ(FormatMessagePrefix(long_file, 1, 'E'), std::string(255, 'p'));
  std::string line = FormatReportLine("a.pp", 9, 'E', std::string(400, 'm'));
  EXPECT_EQ(line, "a.pp(    9): Error : " + std::string(255 - 21, 'm'));
  EXPECT_EQ(FormatReportLine("a.pp", 9, 'W', "Unknown tag"), "a.pp(    9): Warning : Unknown tag");
}

TEST(KindWord, AnyOtherCharacterIsAnError) {
  EXPECT_EQ(KindWord('W'), "Warning");
  EXPECT_EQ(KindWord('F'), "Fatal");
  EXPECT_EQ(KindWord('E'), "Error");
  EXPECT_EQ(KindWord('?'), "Error");
  EXPECT_TRUE(IsFatalKind('f'));
  EXPECT_FALSE(IsFatalKind('E'));
}

class ListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillark_report_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    listing_ = dir_ + "/book.lst";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Listing() { return runtime::ReadWholeFile(listing_).value_or("<missing>"); }
  std::string dir_;
  std::string listing_;
};

TEST_F(ListingTest, ReportAppendsWithCrLfUnlessItEndsInLineFeed) {
  ReportMessage(true, listing_, 'E', "never written");
  EXPECT_FALSE(runtime::FileExists(listing_));
  ReportMessage(false, listing_, 'W', "a.pp(    3): Warning : first");
  ReportMessage(false, listing_, 'E', "a.pp(    4): Error : second\n");
  ReportMessage(false, listing_, 'E', "");
  EXPECT_EQ(Listing(),
            "a.pp(    3): Warning : first\r\n"
            "a.pp(    4): Error : second\n"
            "Assert failure\r\n");
}

TEST_F(ListingTest, FatalEndsTheRunAndStaysLast) {
  ReportMessage(false, listing_, 'W', "a.pp(    1): Warning : w");
  EXPECT_EXIT(ReportMessage(false, listing_, 'F', "a.pp(    2): Fatal : stop"),
              ::testing::ExitedWithCode(kExitFatal), "");
  EXPECT_EQ(Listing(), "a.pp(    1): Warning : w\r\na.pp(    2): Fatal : stop\r\n");
}

TEST_F(ListingTest, NoListingNameGoesToStandardError) {
  EXPECT_EXIT(
      {
        ReportMessage(false, "", 'W', ": Warning : shown");
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), ": Warning : shown");
  EXPECT_EXIT(ReportMessage(false, "", 'F', "x: Fatal : gone"),
              ::testing::ExitedWithCode(kExitFatal), "x: Fatal : gone");
}

TEST_F(ListingTest, UnwritableListingIsFatal) {
  std::string bad = dir_ + "/missing/book.lst";
  EXPECT_EXIT(ReportMessage(false, bad, 'W', "a.pp(    1): Warning : w"),
              ::testing::ExitedWithCode(kExitFatal),
              "Cannot write the listing file \".*/missing/book.lst\": No such file or "
              "directory\na.pp\\(    1\\): Warning : w\n");
}

TEST_F(ListingTest, SummaryWhenNothingWasReported) {
  FinishListing(listing_, "/docs/book.txt");
  EXPECT_EQ(Listing(), "/docs/book.txt: 0 errors.\r\n");
  ASSERT_EQ(runtime::WriteWholeFile(listing_, ""), "");
  FinishListing(listing_, "/docs/book.txt");
  EXPECT_EQ(Listing(), "/docs/book.txt: 0 errors.\r\n");
}

TEST_F(ListingTest, SortsByFileAndLineAndDropsDuplicates) {
  ReportMessage(false, listing_, 'W', FormatReportLine("b.pp", 10, 'W', "ten"));
  ReportMessage(false, listing_, 'W', FormatReportLine("b.pp", 9, 'W', "nine"));
  ReportMessage(false, listing_, 'E', FormatReportLine("A.pp", 100, 'E', "late"));
  ReportMessage(false, listing_, 'W', FormatReportLine("b.pp", 9, 'W', "nine"));
  ReportMessage(false, listing_, 'W', FormatReportLine("", 0, 'W', "compiler says"));
  FinishListing(listing_, "/docs/book.txt");
  EXPECT_EQ(Listing(),
            ": Warning : compiler says\r\n"
            "A.pp(  100): Error : late\r\n"
            "b.pp(    9): Warning : nine\r\n"
            "b.pp(   10): Warning : ten\r\n");
}

TEST_F(ListingTest, ShellSortDecidesWhichCaseVariantSurvives) {
  // The gap-4 pass moves "Dup" behind "DUP", so "DUP" is the one kept; a
  // stable sort would keep "Dup".
  ASSERT_EQ(runtime::WriteWholeFile(listing_, "Dup\r\nm\r\nDUP\r\nn\r\na\r\n"), "");
  SortListingFile(listing_);
  EXPECT_EQ(Listing(), "a\r\nDUP\r\nm\r\nn\r\n");
}

TEST_F(ListingTest, FirstLineDecidesTheLineEnd) {
  ASSERT_EQ(runtime::WriteWholeFile(listing_, "b\na\r\nc"), "");
  SortListingFile(listing_);
  EXPECT_EQ(Listing(), "a\nb\nc\n");
  ASSERT_EQ(runtime::WriteWholeFile(listing_, "b\r\na\nc\r\r\n"), "");
  SortListingFile(listing_);
  EXPECT_EQ(Listing(), "a\r\nb\r\nc\r\n");
  ASSERT_EQ(runtime::WriteWholeFile(listing_, "b\r\r\na\r\n"), "");
  SortListingFile(listing_);
  EXPECT_EQ(Listing(), "a\nb\n");
}

TEST_F(ListingTest, LongLinesAreCutToFitWithTheirLineEnd) {
  ASSERT_EQ(runtime::WriteWholeFile(listing_, std::string(1100, 'z') + "\r\ny\r\n"), "");
  SortListingFile(listing_);
  EXPECT_EQ(Listing(), "y\r\n" + std::string(1022, 'z') + "\r\n");
}

}  // namespace
}  // namespace quillark
