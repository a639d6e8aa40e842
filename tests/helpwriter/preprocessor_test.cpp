#include "helpwriter/preprocessor.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "runtime/files.h"
#include "runtime/process.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

// The arguments one per line, each ended by "|".
TEST(PreprocessorArguments, ExactArgv) {
  std::string argv;
  for (const std::string& argument : PreprocessorArguments(
           "HTML", "/d/my book.txt", "/d/my book.pp", "2024-01-02 03:04:05.0060")) {
    argv += argument + "|\n";
  }
  EXPECT_EQ(argv,
            "/d/my book.txt|\n-o|\n/d/my book.pp|\n+c|\n<comment>|\n</comment>|\n+z|\n-U|\n<|\n"
            "/>|\n\\B|\n=|\n/>|\n<|\n>|\n#|\n|\n-D|\nnow=2024-01-02 03:04:05.0060|\n-D|\n"
            "format=HTML|\n");
  EXPECT_EQ(PreprocessorProgram(), "gpp");
}

// The missing program and a failing run are checked by the whole runs.
struct LineEndCase {
  const char* name;
  std::string text;
  bool lone_cr;
};
void PrintTo(const LineEndCase& c, std::ostream* os) { *os << c.name; }

class LoneCarriageReturn : public ::testing::TestWithParam<LineEndCase> {};

// The file is read in blocks of 16 KiB: a CR LF split between two blocks is
// no lone CR, a CR before anything else there is.
TEST_P(LoneCarriageReturn, IsFoundAcrossBlocks) {
  testing_support::TempDir dir;
  EXPECT_EQ(FileHasLoneCarriageReturn(dir.Write("book.txt", GetParam().text)), GetParam().lone_cr);
}

constexpr std::size_t kBlock = std::size_t{1} << 14;

std::string Repeated(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoneCarriageReturn,
    ::testing::Values(
        LineEndCase{"Empty", "", false}, LineEndCase{"CrLf", "a\r\nb\r\n", false},
        LineEndCase{"LfOnly", "a\nb", false}, LineEndCase{"Inside", "a\r\nb\rc\r\n", true},
        LineEndCase{"AtTheEnd", "a\r\nb\r", true},
        LineEndCase{"CrLfAcrossBlocks", std::string(kBlock - 1, 'x') + "\r\nb", false},
        LineEndCase{"LoneAtBlockEnd", std::string(kBlock - 1, 'x') + "\rb\r\n", true},
        LineEndCase{"CrLastOfBlockAndFile", std::string(kBlock - 1, 'x') + "\r", true},
        LineEndCase{"LoneInSecondBlock", std::string(kBlock + 5, 'x') + "\r", true},
        // Within a block the text is taken 16 bytes at a time.
        LineEndCase{"CrLfAcrossSixteen", std::string(15, 'x') + "\r\n" + std::string(40, 'y'),
                    false},
        LineEndCase{"LoneAtSixteenEnd", std::string(15, 'x') + "\ry" + std::string(40, 'y'),
                    true},
        LineEndCase{"LoneAmongCrLf", Repeated("line\r\n", 500) + "a\rb" + Repeated("z\r\n", 9),
                    true},
        LineEndCase{"ManyCrLf", Repeated("line of text\r\n", 9000), false}),
    [](const ::testing::TestParamInfo<LineEndCase>& info) { return info.param.name; });

TEST(RunPreprocessor, EmptyOutputAndLongArguments) {
  ASSERT_NE(runtime::FindInPath("gpp"), "") << "gpp must be installed (scripts/bootstrap)";
  testing_support::TempDir dir;
  const std::string pp = dir.File("book.pp");
  EXPECT_EQ(RunPreprocessor("RTF", dir.Write("book.txt", ""), pp).message,
            "Cannot run pre-processor, the output file \"" + pp + "\" could not be created.");
  EXPECT_FALSE(runtime::FileExists(pp));
  // The arguments go as an array: a long path is no reason to refuse them.
  EXPECT_NE(RunPreprocessor("HLP", dir.File(std::string(1000, 's') + ".txt"), pp).message,
            "Cannot run pre-processor, Exec() caused error 906.");
}

}  // namespace
}  // namespace quillark
