#include "helpmain/report.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace quillark {
namespace {

TEST(FormatMessagePrefix, LineInFiveWideFieldOnlyAboveZero) {
  EXPECT_EQ(FormatMessagePrefix("/docs/book.pp", 12, 'F'), "/docs/book.pp(   12): Fatal : ");
  EXPECT_EQ(FormatMessagePrefix("/docs/book.txt", 0, 'E'), "/docs/book.txt: Error : ");
  EXPECT_EQ(FormatMessagePrefix("b.pp", 123456, 'w'), "b.pp(123456): Warning : ");
  EXPECT_EQ(FormatMessagePrefix("b.pp", -3, 'f'), "b.pp: Fatal : ");
  EXPECT_EQ(FormatMessagePrefix("", 7, 'x'), "(    7): Error : ");
  EXPECT_EQ(FormatReportLine("a.pp", 9, 'E', std::string(400, 'm')),
            "a.pp(    9): Error : " + std::string(255 - 21, 'm'));
  // A long path widens the line by its length over 155 characters.
  const std::string long_path(300, 'p');
  EXPECT_EQ(FormatReportLine(long_path, 7, 'W', std::string(400, 'm')),
            long_path + "(    7): Warning : " + std::string(255 - 155 - 19, 'm'));
}

class ListingTest : public ::testing::Test {
 protected:
  std::string Listing() { return dir_.Read("book.lst"); }
  void Sort(const std::string& text) {
    dir_.Write("book.lst", text);
    SortListingFile(path_);
  }
  testing_support::TempDir dir_;
  std::string path_ = dir_.File("book.lst");
  quillark::Listing listing_{path_};
};

TEST_F(ListingTest, AppendsCrLfUnlessTheTextEndsInLineFeedAndFatalUnwinds) {
  ReportMessage(true, listing_, 'E', "never written");
  ReportMessage(false, listing_, 'W', "a.pp(    3): Warning : first");
  // Each report is on disk at once.
  EXPECT_EQ(Listing(), "a.pp(    3): Warning : first\r\n");
  ReportMessage(false, listing_, 'E', "a.pp(    4): Error : second\n");
  ReportMessage(false, listing_, 'E', "");
  EXPECT_THROW(ReportMessage(false, listing_, 'F', "a.pp(    5): Fatal : stop"), FatalStop);
  EXPECT_EQ(Listing(),
            "a.pp(    3): Warning : first\r\n"
            "a.pp(    4): Error : second\n"
            "Assert failure\r\n"
            "a.pp(    5): Fatal : stop\r\n");
}

TEST_F(ListingTest, WithoutAListingReportsGoToStandardError) {
  quillark::Listing console;
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(ReportMessage(false, console, 'F', "x: Fatal : gone"), FatalStop);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "x: Fatal : gone\n");

  // A listing that cannot be written ends the run, telling why on standard error.
  quillark::Listing missing(dir_.File("missing/book.lst"));
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(ReportMessage(false, missing, 'W', "a.pp: Warning : w"), FatalStop);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Cannot write the listing file \"" + dir_.File("missing/book.lst") +
                "\": No such file or directory\na.pp: Warning : w\n");
}

TEST_F(ListingTest, EmptyListingGetsTheSummary) {
  FinishListing(listing_, "/docs/book.txt");
  EXPECT_EQ(Listing(), "/docs/book.txt: 0 errors.\r\n");
}

TEST_F(ListingTest, SortsByFileAndLineAndDropsDuplicates) {
  for (int line : {10, 9, 9}) {
    ReportMessage(false, listing_, 'W', FormatReportLine("b.pp", line, 'W', "x"));
  }
  ReportMessage(false, listing_, 'E', FormatReportLine("A.pp", 100, 'E', "late"));
  FinishListing(listing_, "/docs/book.txt");
  EXPECT_EQ(Listing(),
            "A.pp(  100): Error : late\r\n"
            "b.pp(    9): Warning : x\r\n"
            "b.pp(   10): Warning : x\r\n");
}

TEST_F(ListingTest, ShellSortDecidesWhichCaseVariantSurvives) {
  // The gap-4 pass moves "Dup" behind "DUP", so "DUP" is the one kept; a
  // stable sort would keep "Dup".
  Sort("Dup\r\nm\r\nDUP\r\nn\r\na\r\n");
  EXPECT_EQ(Listing(), "a\r\nDUP\r\nm\r\nn\r\n");
}

TEST_F(ListingTest, FirstLineDecidesTheLineEndAndLongLinesAreCut) {
  Sort("b\na\r\nc");
  EXPECT_EQ(Listing(), "a\nb\nc\n");
  Sort("b\r\r\na\r\n");
  EXPECT_EQ(Listing(), "a\nb\n");
  Sort(std::string(1100, 'z') + "\r\ny\r\n");
  EXPECT_EQ(Listing(), "y\r\n" + std::string(1022, 'z') + "\r\n");
}

}  // namespace
}  // namespace quillark
