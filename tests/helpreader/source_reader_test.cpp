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
    reader_.CloseSources();
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
    while (!reader_.EndOfSource()) {
      bool overflow = true;
      const std::string line(reader_.ReadSourceLine(8193, overflow));
      EXPECT_FALSE(overflow);
      lines.push_back(std::filesystem::path(reader_.CurrentSourceName()).filename().string() + ":" +
                      std::to_string(reader_.CurrentLineNumber()) + ":" +
                      std::to_string(reader_.AbsoluteLineNumber()) + ":" + line);
    }
    return lines;
  }
  std::string Read() {
    bool overflow = false;
    return std::string(reader_.ReadSourceLine(8193, overflow));
  }
  std::string dir_;
  SourceReader reader_;
};

// CR LF, LF and a lone CR all end a line; a file with CR line ends alone
// reads line by line too.
TEST_F(SourceReaderTest, CrLfLfAndLoneCrGiveTheSameLines) {
  reader_.OpenMainSource(Write("a.pp", "one\r\ntwo\nthree\rfour\r\n\r\rlast\r"));
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"a.pp:1:1:one\n", "a.pp:2:2:two\n",
                                                 "a.pp:3:3:three\n", "a.pp:4:4:four\n",
                                                 "a.pp:5:5:\n", "a.pp:6:6:\n", "a.pp:7:7:last\n"}));
}

TEST_F(SourceReaderTest, LastLineWithoutLineFeedKeepsItsOwnCharacters) {
  reader_.OpenMainSource(Write("a.pp", "one\nlast"));
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"a.pp:1:1:one\n", "a.pp:2:2:last"}));
}

TEST_F(SourceReaderTest, OverlongLineIsCutAndFlagged) {
  reader_.OpenMainSource(
      Write("a.pp", std::string(8191, 'x') + "\n" + std::string(8192, 'y') + "\nz\n"));
  bool overflow = true;
  EXPECT_EQ(reader_.ReadSourceLine(8193, overflow).size(), 8192u);
  EXPECT_FALSE(overflow);
  EXPECT_EQ(reader_.ReadSourceLine(8193, overflow), std::string(8192, 'y'));
  EXPECT_TRUE(overflow);
  EXPECT_EQ(reader_.ReadSourceLine(8193, overflow), "z\n");
  EXPECT_FALSE(overflow);
}

TEST_F(SourceReaderTest, IncludesNestTwoLevelsAndCountTheirOwnLines) {
  Write("inner.txt", "i1\ni2\n");
  Write("outer.txt", "o1\n");
  reader_.OpenMainSource(Write("a.pp", "m1\nm2\n"));
  Read();
  ASSERT_EQ(reader_.OpenIncludeFile("outer.txt"), IncludeResult::kOpened);
  ASSERT_EQ(reader_.OpenIncludeFile(dir_ + "/inner.txt"), IncludeResult::kOpened);
  EXPECT_EQ(reader_.OpenIncludeFile("outer.txt"), IncludeResult::kTooDeep);
  EXPECT_EQ(reader_.OpenIncludeFile("missing.txt"), IncludeResult::kNotFound);
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"inner.txt:1:2:i1\n", "inner.txt:2:3:i2\n",
                                                 "outer.txt:1:4:o1\n", "a.pp:2:5:m2\n"}));
}

TEST_F(SourceReaderTest, IncludeEndingWithTheMainFileReadsOneEmptyLine) {
  Write("inc.txt", "i1\n");
  reader_.OpenMainSource(Write("a.pp", "m1\n"));
  Read();
  ASSERT_EQ(reader_.OpenIncludeFile("inc.txt"), IncludeResult::kOpened);
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"inc.txt:1:2:i1\n", "a.pp:2:3:"}));
}

TEST_F(SourceReaderTest, BackslashesInIncludeNamesAreFolders) {
  std::filesystem::create_directory(dir_ + "/sub");
  Write("sub/inc.txt", "i1\n");
  reader_.OpenMainSource(Write("a.pp", "m1\n"));
  EXPECT_EQ(reader_.OpenIncludeFile("sub\\inc.txt"), IncludeResult::kOpened);
  EXPECT_EQ(reader_.OpenIncludeFile("sub\\nothing.txt"), IncludeResult::kNotFound);
}

TEST_F(SourceReaderTest, TextInMemoryReadsLikeAFile) {
  const std::string text = "one\r\ntwo";
  reader_.OpenMainView("/docs/book.pp", text);
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"book.pp:1:1:one\n", "book.pp:2:2:two"}));
  reader_.OpenMainText("/docs/other.pp", "x\n");
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"other.pp:1:1:x\n"}));
  EXPECT_EQ(reader_.PathAgainstMainSource("pic\\a.bmp"), "/docs/pic/a.bmp");
}

TEST_F(SourceReaderTest, CloseSourcesClearsNamesAndCounters) {
  reader_.OpenMainSource(Write("a.pp", "m1\n"));
  Read();
  reader_.CloseSources();
  EXPECT_EQ(reader_.CurrentSourceName(), "");
  EXPECT_EQ(reader_.CurrentLineNumber(), 0);
  EXPECT_EQ(reader_.AbsoluteLineNumber(), 0);
}

}  // namespace
}  // namespace quillark
