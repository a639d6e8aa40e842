#include "hlpcompiler/hlp_compiler.h"

#include <gtest/gtest.h>

#include <string>

#include "hlpcompiler/hlp_format.h"
#include "hlpcompiler/help_file_walker.h"
#include "support/temp_dir.h"

namespace quillark::hlpc {
namespace {

using testing_support::TempDir;

std::string SmallBmp() {
  std::string file = "BM";
  PutU32(file, 14 + 40 + 4);
  PutU32(file, 0);
  PutU32(file, 54);
  PutU32(file, 40);
  PutU32(file, 1);
  PutU32(file, 1);
  PutU16(file, 1);
  PutU16(file, 24);
  for (int i = 0; i < 6; ++i) PutU32(file, 0);
  return file + std::string("\x10\x20\x30\0", 4);
}

constexpr const char* kTopics =
    "{\\rtf1\\ansi\\deff0{\\fonttbl\\f0\\fswiss Arial;}\r\n"
    "#{\\footnote # FIRST}${\\footnote $ First}+{\\footnote + 1}K{\\footnote K Both}\r\n"
    "\\{bmc Pic.BMP\\} \\{bml gone.bmp\\} \\uldb Second\\uldb0 {\\v SECOND}\\par\\page\r\n"
    "#{\\footnote # SECOND}${\\footnote $ Second}+{\\footnote + 1}K{\\footnote K Both}\r\n"
    "\\{bmr pic.bmp\\}\\par\\page\r\n}\r\n";

TEST(CompileHelpProject, WritesTheHelpFileBesideTheProject) {
  TempDir dir;
  dir.Write("pic.bmp", SmallBmp());
  dir.Write("t.rtf", kTopics);
  const std::string project =
      dir.Write("h.hpj", "[OPTIONS]\r\nTITLE=Small\r\nCONTENTS=FIRST\r\n[FILES]\r\nt.rtf\r\n");
  const HlpCompileResult result = CompileHelpProject(project);
  ASSERT_TRUE(result.success) << result.message;
  EXPECT_EQ(result.help_file, dir.File("h.hlp"));
  EXPECT_EQ(result.topics, 2u);
  EXPECT_EQ(result.keywords, 1u);
  EXPECT_EQ(result.pictures, 1u);  // one file, whatever the case of its name
  ASSERT_EQ(result.warnings.size(), 1u);
  EXPECT_EQ(result.warnings[0].file, dir.File("t.rtf"));
  EXPECT_EQ(result.warnings[0].line, 3);
  const std::string bytes = dir.Read("h.hlp");
  EXPECT_EQ(static_cast<std::int64_t>(bytes.size()), result.bytes);
  const testing::InspectedHelp help = testing::InspectHelpFile(bytes);
  EXPECT_TRUE(help.errors.empty());
  EXPECT_EQ(help.title, "Small");
  EXPECT_EQ(help.contents, help.topics.at(0).offset);
  EXPECT_EQ(help.files.count("|bm0"), 1u);
  EXPECT_EQ(help.topics.at(0).pictures, std::vector<std::uint16_t>{0});
  EXPECT_EQ(help.topics.at(1).pictures, std::vector<std::uint16_t>{0});
  // The same input gives the same file.
  ASSERT_TRUE(CompileHelpProject(project).success);
  EXPECT_EQ(dir.Read("h.hlp"), bytes);
}

TEST(CompileHelpProject, FailureNamesTheFileAndLeavesNoHelpFile) {
  TempDir dir;
  dir.Write("h.hlp", "stale");
  const std::string project = dir.Write("h.hpj", "[FILES]\r\nmissing.rtf\r\n");
  const HlpCompileResult result = CompileHelpProject(project);
  EXPECT_FALSE(result.success);
  EXPECT_NE(result.message.find("missing.rtf"), std::string::npos);
  EXPECT_EQ(result.message.find(project), 0u);
  EXPECT_TRUE(dir.Read("h.hlp").empty());

  dir.Write("bad.rtf", "{\\rtf1 #{\\footnote intro}a\\page\r\n#{\\footnote in-tro}b\\page}");
  dir.Write("h.hpj", "[FILES]\r\nbad.rtf\r\n");
  const HlpCompileResult clash = CompileHelpProject(project);
  EXPECT_FALSE(clash.success);
  EXPECT_EQ(clash.message.find(dir.File("bad.rtf") + "(2): "), 0u) << clash.message;
  EXPECT_FALSE(CompileHelpProject(dir.File("none.hpj")).success);
}

}  // namespace
}  // namespace quillark::hlpc
