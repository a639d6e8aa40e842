// Included topics, replace pairs and passthrough files, driven line by line
// through the line processor as a pass drives them.
#include <string>
#include <utility>

#include "gtest/gtest.h"
#include "helpmain/run_files.h"
#include "helpreader/line_processor.h"
#include "helpreader/source_reader.h"
#include "helpreader/tag_families.h"
#include "helpreader/tag_processor.h"
#include "helpwriter/page_frame.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

using testing_support::TempDir;

class IncludeTagsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetListingFileName(dir_.File("book.lst"));
    SetOutputFileName("");
    context_.tables = &tables_;
    dir_.Write("other.txt",
               "<topic>Old</topic>\r\n<head1>Title</head1>\r\nSee <bold>this</bold>.\r\n"
               "<endtopic/>\r\n<popup>Old</popup>\r\nPopup body\r\n<endtopic/>\r\n");
  }
  void TearDown() override {
    CloseSources();
    SetListingFileName("");
  }
  void Pass(const std::string& source) {
    OpenMainSource(dir_.Write("book.pp", source));
    state_ = TagState();
    std::string line;
    while (!EndOfSource()) {
      ReadSourceLine(line, kLineText);
      ProcessLine(line, context_, state_, output_);
    }
    CloseSources();
  }
  // A temporary file with its generator text (which carries the date) as "{generator}".
  std::string Temporary(const std::string& name) {
    std::string data = dir_.Read(name);
    return data.size() < 9 ? data : data.replace(9, GeneratorText().size(), "{generator}");
  }

  TempDir dir_;
  HelpTables tables_;
  PassContext context_;
  TagState state_;
  LineOutput output_;
};

TEST_F(IncludeTagsTest, BorrowedBodyIsEditedOnceThenReadInLaterPasses) {
  const std::string source =
      "<topic_include>\"other.txt\", Old, New_one</topic_include> ignored\n"
      "<replace>\"{bold}*{/bold}\", \"{italic}that{/italic}\"</replace>\n"
      "<replace>Title, \"Title again\"</replace>\n<endtopic/>\n";
  Pass(source);
  OpenMainSource(dir_.File("book.pp"));  // as at the topic's end
  MarkIncludeReplaced("New_one");
  CloseSources();
  const std::string edited =
      "<comment>{generator} Replace=1\r\n</comment>\r\n"
      "<head1>Title again</head1>\r\nSee <italic>that</italic>.\r\n";
  EXPECT_EQ(Temporary("include_New_one.tmp"), edited);
  EXPECT_EQ(EntryAt(tables_.headings, 1).name, "New_one");  // no body in the first pass

  Pass(source);  // the body comes from the temporary file, the replace pairs are skipped
  EXPECT_EQ(Temporary("include_New_one.tmp"), edited);
  ASSERT_EQ(TableCount(tables_.headings), 2);
  EXPECT_EQ(EntryAt(tables_.headings, 2).name, "Title again");
  EXPECT_EQ(EntryAt(tables_.headings, 2).value, 1);
  EXPECT_EQ(EntryAt(tables_.topics, 1).name, "NEW_ONE");
  EXPECT_EQ(EntryAt(tables_.topics, 1).line_numbers, 1);
  EXPECT_EQ(dir_.Read("book.lst"), "");
}

TEST_F(IncludeTagsTest, PopupIncludeTakesThePopupBodyAndStaysUnmarkedUntilItsEnd) {
  Pass("<popup_include>\"other.txt\",Old,Note</popup_include>\n");
  EXPECT_EQ(Temporary("include_Note.tmp"),
            "<comment>{generator} Replace=0\r\n</comment>\r\nPopup body\r\n");
  EXPECT_EQ(EntryAt(tables_.topics, 1).flags, kTopicIsPopup);
}

class IncludeReports : public IncludeTagsTest,
                       public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

// Each source reports on its second line; "{dir}" stands for the test folder.
TEST_P(IncludeReports, AreMadeAtTheTagsLine) {
  std::string report = GetParam().second;
  if (report.starts_with("Fatal")) {
    EXPECT_EXIT(Pass(GetParam().first), ::testing::ExitedWithCode(1), "");
  } else {
    Pass(GetParam().first);
  }
  if (const std::size_t at = report.find("{dir}"); at != std::string::npos) {
    report.replace(at, 5, dir_.path());
  }
  EXPECT_EQ(dir_.Read("book.lst"), dir_.File("book.pp") + "(    2): " + report + "\r\n");
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

TEST_F(IncludeTagsTest, PassthroughOutsideATopicChecksTheFileButWritesNothing) {
  OpenMainSource(dir_.Write("book.pp", ""));
  dir_.Write("pass.htm", "<p>verbatim</p>");
  ProcessLine("<passthrough>pass.htm", context_, state_, output_);
  EXPECT_FALSE(state_.output_on);
  TagStep step;
  ProcessTag("</passthrough>", 0, "</passthrough>", context_, state_, step);
  EXPECT_EQ(step.step_text, "\t" + dir_.File("pass.htm") + "\t");
  EXPECT_FALSE(state_.output_on);

  state_.topic_name = "T";
  state_.output_on = true;
  ProcessLine("<passthrough>pass.htm</passthrough>\n", context_, state_, output_);
  EXPECT_EQ(output_.text1, "\t" + dir_.File("pass.htm") + "\t");
  EXPECT_TRUE(state_.output_on);
  EXPECT_EQ(dir_.Read("book.lst"), "");
}

}  // namespace
}  // namespace quillark
