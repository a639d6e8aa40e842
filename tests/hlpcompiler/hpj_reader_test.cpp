#include "hlpcompiler/hpj_reader.h"

#include <gtest/gtest.h>

namespace quillark::hlpc {
namespace {

TEST(HpjReader, ReadsTheSectionsOurProjectsWrite) {
  const HpjReadResult result = ReadHelpProject(
      "[OPTIONS]\r\nCOMPRESS=12 Hall Zeck\r\nTITLE=Sample Help\r\nWARNING=3\r\n"
      "OLDKEYPHRASE=0\r\nCONTENTS=INTRODUCTION\r\nOPTCDROM=YES\r\nCOPYRIGHT=(c) Q\r\n\r\n"
      "[BITMAPS]\r\n/abs/pic.bmp\r\nsub\\rel.bmp\r\n\r\n[FILES]\r\nbook.rtf\r\n\r\n"
      "[CONFIG]\r\nBrowseButtons()\r\nCreateButton(Button1,'Web',ExecFile('x','',SW_RESTORE))\r\n"
      "\r\n[MAP]\r\n#define INTRODUCTION 1\r\n#define NOTE 0x1F\r\nOTHER=7\r\n",
      "/p/book.hpj");
  EXPECT_TRUE(result.errors.empty());
  EXPECT_TRUE(result.warnings.empty());
  const HelpProject& project = result.project;
  EXPECT_EQ(project.title, "Sample Help");
  EXPECT_EQ(project.copyright, "(c) Q");
  EXPECT_EQ(project.contents, "INTRODUCTION");
  EXPECT_EQ(project.topic_files, std::vector<std::string>{"/p/book.rtf"});
  EXPECT_EQ(project.bitmaps, (std::vector<std::string>{"/abs/pic.bmp", "/p/sub/rel.bmp"}));
  ASSERT_EQ(project.config_macros.size(), 2u);
  EXPECT_EQ(project.config_macros[1], "CreateButton(Button1,'Web',ExecFile('x','',SW_RESTORE))");
  ASSERT_EQ(project.map.size(), 3u);
  EXPECT_EQ(project.map[1].context, "NOTE");
  EXPECT_EQ(project.map[1].id, 31u);
  EXPECT_EQ(project.map[2].id, 7u);
  EXPECT_EQ(project.map[2].line, 24);
}

TEST(HpjReader, WindowsAndUnknownsAreToldWithTheirLine) {
  const HpjReadResult result = ReadHelpProject(
      "; comment\r\n[options]\r\ntitle=T\r\nFANCY=1\r\n[FILES]\r\na.rtf\r\n[EXTRA]\r\nx\r\n"
      "[WINDOWS]\r\nmain=\"Cap\",(10,20,640,480),0,(255,255,224),(192,192,192)\r\n",
      "b.hpj");
  EXPECT_EQ(result.project.title, "T");
  ASSERT_EQ(result.warnings.size(), 2u);
  EXPECT_EQ(result.warnings[0].line, 4);
  EXPECT_EQ(result.warnings[1].line, 7);
  ASSERT_EQ(result.project.windows.size(), 1u);
  const WindowSpec& window = result.project.windows[0];
  EXPECT_EQ(window.name, "main");
  EXPECT_EQ(window.caption, "Cap");
  EXPECT_EQ(window.width, 640);
  EXPECT_EQ(window.background, 0x00E0FFFFu);
  EXPECT_EQ(window.non_scroll_background, 0x00C0C0C0u);
}

TEST(HpjReader, ProjectWithoutTopicFilesIsAnError) {
  const HpjReadResult result = ReadHelpProject("[OPTIONS]\r\nTITLE=x\r\n", "c.hpj");
  ASSERT_EQ(result.errors.size(), 1u);
  EXPECT_EQ(result.errors[0].file, "c.hpj");
}

}  // namespace
}  // namespace quillark::hlpc
