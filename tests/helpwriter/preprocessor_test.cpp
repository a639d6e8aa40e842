#include "helpwriter/preprocessor.h"

#include <gtest/gtest.h>

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
