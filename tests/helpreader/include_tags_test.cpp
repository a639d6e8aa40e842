// Included topics, replace pairs and passthrough files, driven line by line
// through the line processor as a pass drives them.
#include <string>
#include <utility>

#include "gtest/gtest.h"
#include "helpreader/line_processor.h"
#include "helpreader/run_context.h"
#include "helpreader/tag_families.h"
#include "helpreader/tag_processor.h"
#include "helpwriter/insert_marks.h"
#include "helpwriter/page_frame.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

using testing_support::TempDir;

class IncludeTagsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run_.writer.generator = "{generator}";
    dir_.Write("other.txt",
               "<topic>Old</topic>\r\n<head1>Title</head1>\r\nSee <bold>this</bold>.\r\n"
               "<endtopic/>\r\n<popup>Old</popup>\r\nPopup body\r\n<endtopic/>\r\n");
  }
  // The source is in memory; the files it names are in the test folder.
  void Pass(const std::string& source) {
    run_.reader.OpenMainText(dir_.File("book.pp"), source);
    state_ = TagState();
    while (!run_.reader.EndOfSource()) {
      bool overflow = false;
      ProcessLine(run_.reader.ReadSourceLine(kLineText, overflow), run_, state_, output_);
    }
    run_.reader.CloseSources();
  }
  std::string Reports() { return listing_.memory_text(); }

  TempDir dir_;
  Listing listing_ = Listing::InMemory();
  RunContext run_{listing_};
  HelpTables& tables_ = run_.tables;
  TagState state_;
  LineOutput output_;
};

TEST_F(IncludeTagsTest, BorrowedBodyIsEditedOnceThenReadInLaterPasses) {
  const std::string source =
      "<topic_include>\"other.txt\", Old, New_one</topic_include> ignored\n"
      "<replace>\"{bold}*{/bold}\", \"{italic}that{/italic}\"</replace>\n"
      "<replace>Title, \"Title again\"</replace>\n<endtopic/>\n";
  Pass(source);
  const std::string edited =
      "<comment>{generator} Replace=1\r\n</comment>\r\n"
      "<head1>Title again</head1>\r\nSee <italic>that</italic>.\r\n";
  EXPECT_EQ(dir_.Read("include_New_one.tmp"), edited);
  EXPECT_EQ(EntryAt(tables_.headings, 1).name, "New_one");  // no body in the first pass

  Pass(source);  // the body comes from the temporary file, the replace pairs are skipped
  EXPECT_EQ(dir_.Read("include_New_one.tmp"), edited);
  ASSERT_EQ(TableCount(tables_.headings), 2);
  EXPECT_EQ(EntryAt(tables_.headings, 2).name, "Title again");
  EXPECT_EQ(EntryAt(tables_.headings, 2).level, 1);
  EXPECT_EQ(EntryAt(tables_.topics, 1).name, "NEW_ONE");
  EXPECT_EQ(EntryAt(tables_.topics, 1).line, 1);
  EXPECT_EQ(Reports(), "");
}

TEST_F(IncludeTagsTest, PopupIncludeTakesThePopupBodyAndStaysUnmarkedUntilItsEnd) {
  Pass("<popup_include>\"other.txt\",Old,Note</popup_include>\n");
  EXPECT_EQ(dir_.Read("include_Note.tmp"),
            "<comment>{generator} Replace=0\r\n</comment>\r\nPopup body\r\n");
  EXPECT_TRUE(EntryAt(tables_.topics, 1).is_popup);
}

class IncludeReports : public IncludeTagsTest,
                       public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

// Each source reports on its second line; "{dir}" stands for the test folder.
TEST_P(IncludeReports, AreMadeAtTheTagsLine) {
  std::string report = GetParam().second;
  if (report.starts_with("Fatal")) {
    EXPECT_THROW(Pass(GetParam().first), FatalStop);
  } else {
    Pass(GetParam().first);
  }
  if (const std::size_t at = report.find("{dir}"); at != std::string::npos) {
    report.replace(at, 5, dir_.path());
  }
  EXPECT_EQ(Reports(), dir_.File("book.pp") + "(    2): " + report + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Messages, IncludeReports,
    ::testing::Values(
        // The scanner splits an unquoted file name at its dot.
        std::pair("\n<topic_include>other.txt, Old, New</topic_include>",
                  "Warning : The included topic \"txt\" does not exist in the included file."),
        std::pair("\n<topic_include>\"other.txt\", \"2x\", N</topic_include>",
                  "Fatal : Old topic name \"2x\" is missing or invalid, should be an identifier"),
        std::pair("\n<topic_include>\"other.txt\", Old</topic_include>",
                  "Fatal : New topic name \"\" is missing or invalid, should be an identifier"),
        std::pair("<topic>A</topic>\n<passthrough>x<replace>",
                  "Fatal : Unexpected replace tag found while processing <passthrough> link"),
        std::pair("\n<passthrough> notes </passthrough>", "Warning : Invalid file name \"notes\""),
        std::pair("\n<passthrough>sub\\gone.txt</passthrough>",
                  "Warning : File is empty or does not exist \"{dir}/sub/gone.txt\"")));

TEST_F(IncludeTagsTest, PassthroughInsertsTheFileWhereThePassWritesText) {
  run_.reader.OpenMainText(dir_.File("book.pp"), "");
  dir_.Write("pass.htm", "<p>verbatim</p>");
  ProcessLine("<passthrough>pass.htm", run_, state_, output_);
  EXPECT_FALSE(state_.output_on);  // outside a topic output stays off
  TagStep step;
  ProcessTag("</passthrough>", 0, "</passthrough>", run_, state_, step);
  EXPECT_EQ(step.step_text, "");  // a pass that writes nothing reads nothing

  run_.format = OutputFormat::kHtml;
  run_.writes_output = true;
  state_.topic_name = "T";
  state_.output_on = true;
  // Any number of files on one line.
  ProcessLine("a <passthrough>pass.htm</passthrough> b <passthrough>pass.htm</passthrough>\n", run_,
              state_, output_);
  EXPECT_EQ(output_.text1, "a <p>verbatim</p> b <p>verbatim</p><br/>\r\n");
  EXPECT_TRUE(state_.output_on);

  // The page header marks the file, to insert it once the header is cut.
  run_.defer_inserts = true;
  ProcessLine("<passthrough>pass.htm</passthrough>", run_, state_, output_);
  EXPECT_EQ(output_.text1, "\t" + dir_.File("pass.htm") + "\t");
  EXPECT_EQ(ExpandInsertMarks("[" + output_.text1 + "]"), "[<p>verbatim</p>]");
  EXPECT_EQ(Reports(), "");
}

}  // namespace
}  // namespace quillark
