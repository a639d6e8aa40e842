// Whole HLP and RTF runs of one sample source that uses every inline tag,
// every block, jumps, a popup, keywords and images, compared file by file
// with expected files worked out by hand from the format rules.
#include <ostream>
#include <string>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

struct OutputFile {
  const char* format;  // the -g value, also the folder of the expected files
  const char* name;
};
void PrintTo(const OutputFile& file, std::ostream* out) { *out << file.format << "/" << file.name; }

class RtfFamilyOutput : public ::testing::TestWithParam<OutputFile> {};

TEST_P(RtfFamilyOutput, MatchesExpectedFile) {
  const std::string format = GetParam().format;
  const std::string name = GetParam().name;
  TempDir dir;
  CopyCase("rtf_family/book.txt", dir.File("book.txt"));
  CopyCase("rtf_family/pic.bmp", dir.File("pic.bmp"));  // 24-bit, 3 x 2 pixels
  const RunResult run = RunQuillark(
      {"-i", "book", "-g", format, "-c", "Sample Help", "-co", "(c) Quillark", "-f", "Verdana,11",
       "-h1", "Times New Roman,20", "-header", "Page <page/>", "-footer", "Foot\\nnote", "-op"},
      dir.path());
  ASSERT_EQ(run.exit_status, 0) << run.out;
  EXPECT_EQ(ReadFile(dir.File(name)),
            Expected("rtf_family/expected/" + format + "/" + name, dir.path(), false))
      << format << " " << name;
}

INSTANTIATE_TEST_SUITE_P(
    WholeRun, RtfFamilyOutput,
    ::testing::Values(OutputFile{"hlp", "book.rtf"}, OutputFile{"hlp", "book.hpj"},
                      OutputFile{"hlp", "book.cnt"}, OutputFile{"hlp", "book.lst"},
                      OutputFile{"rtf", "book.rtf"}, OutputFile{"rtf", "book_project.tmp"},
                      OutputFile{"rtf", "book_toc.tmp"}, OutputFile{"rtf", "book_idx.tmp"},
                      OutputFile{"rtf", "pic_bmp.tmp"}, OutputFile{"rtf", "book.lst"}),
    [](const auto& info) {
      std::string name = std::string(info.param.format) + "_" + info.param.name;
      for (char& c : name) {
        if (c == '.') c = '_';
      }
      return name;
    });

}  // namespace
}  // namespace quillark::e2e
