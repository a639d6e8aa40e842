#include "helpreader/source_reader.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace quillark {
namespace {

class SourceReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quillark_reader_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    CloseSources();
    std::filesystem::remove_all(dir_);
  }
  std::string Write(const std::string& name, const std::string& data) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << data;
    return path;
  }
  // Reads every line of the pass with its file and line number.
  std::vector<std::string> ReadAll() {
    std::vector<std::string> lines;
    std::string line;
    while (!EndOfSource()) {
      EXPECT_FALSE(ReadSourceLine(line, 8193));
      lines.push_back(std::filesystem::path(CurrentSourceName()).filename().string() + ":" +
                      std::to_string(CurrentLineNumber()) + ":" +
                      std::to_string(AbsoluteLineNumber()) + ":" + line);
    }
    return lines;
  }
  std::string dir_;
};

TEST_F(SourceReaderTest, CrLfAndLfGiveTheSameLines) {
  OpenMainSource(Write("a.pp", "one\r\ntwo\nthree\rstill\r\n"));
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"a.pp:1:1:one\n", "a.pp:2:2:two\n",
                                                 "a.pp:3:3:three\rstill\n"}));
}

TEST_F(SourceReaderTest, LastLineWithoutLineFeedKeepsItsOwnCharacters) {
  OpenMainSource(Write("a.pp", "one\nlast"));
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"a.pp:1:1:one\n", "a.pp:2:2:last"}));
}

TEST_F(SourceReaderTest, OverlongLineIsCutAndFlagged) {
  OpenMainSource(Write("a.pp", std::string(8191, 'x') + "\n" + std::string(8192, 'y') + "\nz\n"));
  std::string line;
  EXPECT_FALSE(ReadSourceLine(line, 8193));
  EXPECT_EQ(line.size(), 8192u);
  EXPECT_TRUE(ReadSourceLine(line, 8193));
  EXPECT_EQ(line, std::string(8192, 'y'));
  EXPECT_FALSE(ReadSourceLine(line, 8193));
  EXPECT_EQ(line, "z\n");
}

TEST_F(SourceReaderTest, IncludesNestTwoLevelsAndCountTheirOwnLines) {
  Write("inner.txt", "i1\ni2\n");
  Write("outer.txt", "o1\n");
  OpenMainSource(Write("a.pp", "m1\nm2\n"));
  std::string line;
  ReadSourceLine(line, 8193);
  ASSERT_EQ(OpenIncludeFile("outer.txt"), IncludeResult::kOpened);
  ASSERT_EQ(OpenIncludeFile(dir_ + "/inner.txt"), IncludeResult::kOpened);
  EXPECT_EQ(OpenIncludeFile("outer.txt"), IncludeResult::kTooDeep);
  EXPECT_EQ(OpenIncludeFile("missing.txt"), IncludeResult::kNotFound);
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"inner.txt:1:2:i1\n", "inner.txt:2:3:i2\n",
                                                 "outer.txt:1:4:o1\n", "a.pp:2:5:m2\n"}));
}

TEST_F(SourceReaderTest, IncludeEndingWithTheMainFileReadsOneEmptyLine) {
  Write("inc.txt", "i1\n");
  OpenMainSource(Write("a.pp", "m1\n"));
  std::string line;
  ReadSourceLine(line, 8193);
  ASSERT_EQ(OpenIncludeFile("inc.txt"), IncludeResult::kOpened);
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"inc.txt:1:2:i1\n", "a.pp:2:3:"}));
}

TEST_F(SourceReaderTest, BackslashesInIncludeNamesAreFolders) {
  std::filesystem::create_directory(dir_ + "/sub");
  Write("sub/inc.txt", "i1\n");
  OpenMainSource(Write("a.pp", "m1\n"));
  EXPECT_EQ(OpenIncludeFile("sub\\inc.txt"), IncludeResult::kOpened);
  EXPECT_EQ(OpenIncludeFile("sub\\nothing.txt"), IncludeResult::kNotFound);
}

TEST_F(SourceReaderTest, CloseSourcesClearsNamesAndCounters) {
  OpenMainSource(Write("a.pp", "m1\n"));
  std::string line;
  ReadSourceLine(line, 8193);
  CloseSources();
  EXPECT_EQ(CurrentSourceName(), "");
  EXPECT_EQ(CurrentLineNumber(), 0);
  EXPECT_EQ(AbsoluteLineNumber(), 0);
}

}  // namespace
}  // namespace quillark
