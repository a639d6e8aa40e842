#include "helpwriter/help_compiler.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace quillark {
namespace {

// A scratch folder laid out like a run of book; PATH holds only its bin/.
class FinishOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"temp", "bin", "book"}) {
      std::filesystem::create_directories(dir_.File(folder));
    }
    setenv("PATH", dir_.File("bin").c_str(), 1);
  }
  void TearDown() override { setenv("PATH", saved_path_.c_str(), 1); }
  // The run's working, final and project file of the format.
  std::string Finish(OutputFormat format) {
    if (format == OutputFormat::kHlp) {
      return FinishOutput(format, dir_.File("book.rtf"), dir_.File("book.hlp"),
                          dir_.File("book.hpj"));
    }
    if (format == OutputFormat::kChm) {
      return FinishOutput(format, dir_.File("temp/*.html"), dir_.File("book.chm"),
                          dir_.File("temp/book.hhp"));
    }
    return FinishOutput(format, dir_.File("book/*.html"), dir_.File("book.html"), "");
  }

  testing_support::TempDir dir_;
  const std::string saved_path_ = getenv("PATH") ? getenv("PATH") : "";
};

TEST_F(FinishOutputTest, CompilerMissingFailingOrRunInTheProjectFolder) {
  // Without chmcmd the built-in writer compiles the project in its place.
  EXPECT_EQ(Finish(OutputFormat::kChm),
            "Cannot read the project file \"" + dir_.File("temp/book.hhp") + "\"");
  EXPECT_EQ(Finish(OutputFormat::kHtml), "Cannot find \"" + dir_.File("book/_start.html") + "\". ");
  ::chmod(dir_.Write("bin/chmcmd", "#!/bin/sh\nexit 3\n").c_str(), 0755);
  EXPECT_EQ(Finish(OutputFormat::kChm), "The final output file \"" + dir_.File("book.chm") +
                                            "\" was not created or could not be copied.");
  // HLP needs no outside program: our compiler writes the help file, or says
  // why it cannot.
  EXPECT_EQ(Finish(OutputFormat::kHlp)
                .rfind("Cannot compile output file, our WinHelp compiler "
                       "failed: " +
                           dir_.File("book.hpj"),
                       0),
            0u);
  dir_.Write("book.hpj", "[FILES]\r\nbook.rtf\r\n");
  dir_.Write("book.rtf", "{\\rtf1 #{\\footnote # INTRO}Text.\\par\\page}\r\n");
  EXPECT_EQ(Finish(OutputFormat::kHlp), "");
  EXPECT_FALSE(dir_.Read("book.hlp").empty());
}

TEST_F(FinishOutputTest, BuiltInWriterMakesTheCompiledFileWithoutChmcmd) {
  dir_.Write("temp/book.hhp", "[FILES]\r\nINTRO.html\r\n");
  dir_.Write("temp/INTRO.html", "<p>Intro</p>\r\n");
  EXPECT_EQ(Finish(OutputFormat::kChm), "");
  EXPECT_EQ(dir_.Read("temp/book.chm").substr(0, 4), "ITSF");
  EXPECT_EQ(dir_.Read("book.chm"), dir_.Read("temp/book.chm"));
}

// The start page, filled up with blanks to exactly `size` bytes.
std::string StartPage(std::string_view url, std::size_t size) {
  const std::string head =
      "<html>\r\n<head>\r\n<meta http-equiv=\"Refresh\" content=\"1;URL=" + std::string(url) +
      "\" />\r\n</head>\r\n<body>\r\n";
  const std::string tail = "Loading...\r\n</body>\r\n</html>\r\n";
  return head + std::string(size - head.size() - tail.size(), ' ') + tail;
}

TEST_F(FinishOutputTest, StartPageIsCopiedThenPointedAtTheFirstTopicUpTo1024Bytes) {
  for (const std::size_t size : {1024, 1025}) {
    const std::string page = StartPage("book/INTRO.html", size);
    dir_.Write("book/_start.html", page);
    const std::string message = Finish(OutputFormat::kHtml);
    EXPECT_EQ(dir_.Read("book.html"), page);
    if (size == 1024) {
      EXPECT_EQ(message, "");
      EXPECT_EQ(dir_.Read("book/_start.html"), StartPage("INTRO.html", size - 5));
    } else {
      EXPECT_EQ(message, "The Start Topic File \"" + dir_.File("book/_start.html") +
                             "\" is too big to be edited. ");
      EXPECT_EQ(dir_.Read("book/_start.html"), page);
    }
  }
}

}  // namespace
}  // namespace quillark
