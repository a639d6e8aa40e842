#include "chmwriter/project_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace quillark::chm {
namespace {

// The shape of the projects quillark writes, with Windows line ends and
// names written the Windows way.
constexpr const char* kProject =
    "\xEF\xBB\xBF[OPTIONS]\r\n"
    "Binary TOC=Yes\r\n"
    "Compiled file=book.chm\r\n"
    "Contents file=book.hhc\r\n"
    "Default Font=Verdana,11,0\r\n"
    "Default Window=MainType\r\n"
    "Default topic=GETTING_STARTED.html\r\n"
    "Index file=.\\book.hhk\r\n"
    "Language=0x809 English (United Kingdom)\r\n"
    "\r\n"
    "[WINDOWS]\r\n"
    "MainType=\"Sample, Help\",\"book.hhc\",\"book.hhk\",\"GETTING_STARTED.html\","
    "\"GETTING_STARTED.html\",\"_jump.html\",\"Home\",,,0x23420,,0x6C2844,[1,2,-3,4],,,,,,,0\r\n"
    "\r\n"
    "[MAP]\r\n"
    "#define IDH_GETTING_STARTED 1\r\n"
    "\r\n"
    "[FILES]\r\n"
    "GETTING_STARTED.html\r\n"
    "; a comment\r\n"
    "images\\quill.bmp\r\n";

TEST(ParseProject, ReadsOptionsWindowsAndFiles) {
  const ProjectReadResult read = ParseProject(kProject, "/p/book.hhp");
  ASSERT_TRUE(read.project) << read.message;
  const ChmProject& project = *read.project;
  EXPECT_EQ(project.compiled_file, "book.chm");
  ASSERT_TRUE(project.contents_file && project.index_file);
  EXPECT_EQ(project.contents_file->name, "book.hhc");
  EXPECT_EQ(project.index_file->name, "book.hhk");
  EXPECT_EQ(project.index_file->line, 8);
  EXPECT_EQ(project.default_font, "Verdana,11,0");
  EXPECT_EQ(project.default_window, "MainType");
  EXPECT_EQ(project.default_topic, "GETTING_STARTED.html");
  EXPECT_EQ(project.language, 0x809u);
  ASSERT_EQ(project.files.size(), 2u);
  EXPECT_EQ(project.files[1].name, "images/quill.bmp");
  EXPECT_EQ(project.files[1].line, 20);

  ASSERT_EQ(project.windows.size(), 1u);
  const WindowType& window = project.windows[0];
  EXPECT_EQ(window.name, "MainType");
  EXPECT_EQ(window.caption, "Sample, Help");
  EXPECT_EQ(window.home_file, "GETTING_STARTED.html");
  EXPECT_EQ(window.jump1_url, "_jump.html");
  EXPECT_EQ(window.jump1_text, "Home");
  EXPECT_EQ(window.jump2_url, "");
  EXPECT_EQ(window.navigation_style, 0x23420u);
  EXPECT_FALSE(window.navigation_width);
  EXPECT_EQ(window.buttons, 0x6C2844u);
  EXPECT_EQ(window.position, (std::array<std::int32_t, 4>{1, 2, -3, 4}));
  EXPECT_FALSE(window.style);
  EXPECT_EQ(window.notify_id, 0u);
}

struct Refusal {
  const char* name;
  const char* text;
  const char* message;
};
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

class ParseProjectRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(ParseProjectRefuses, NamingFileAndLine) {
  const ProjectReadResult read = ParseProject(GetParam().text, "/p/book.hhp");
  EXPECT_FALSE(read.project);
  EXPECT_EQ(read.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Projects, ParseProjectRefuses,
    testing::Values(
        Refusal{
            "NonAsciiFile", "[FILES]\na.html\n\xC3\xA9t\xC3\xA9.html\n",
            "\"/p/book.hhp\" line 3: the file name \"\xC3\xA9t\xC3\xA9.html\" is not plain ASCII; "
            "a compiled help file stores ASCII names only"},
        Refusal{"NonAsciiContents", "[OPTIONS]\nContents file=\xE9.hhc\n",
                "\"/p/book.hhp\" line 2: the file name \"\xE9.hhc\" is not plain ASCII; "
                "a compiled help file stores ASCII names only"},
        Refusal{"OutsideTheFolder", "[FILES]\n..\\other\\a.html\n",
                "\"/p/book.hhp\" line 2: the file name \"../other/a.html\" lies outside the "
                "project's folder"},
        Refusal{"OwnName", "[FILES]\n#SYSTEM\n",
                "\"/p/book.hhp\" line 2: the file name \"#SYSTEM\" has the form of the help "
                "file's own names"},
        Refusal{"Language", "[OPTIONS]\nLanguage=English\n",
                "\"/p/book.hhp\" line 2: the language \"English\" does not begin with its number"},
        Refusal{"WindowNumber", "[WINDOWS]\nw=\"a\",,,,,,,,,0x2x\n",
                "\"/p/book.hhp\" line 2: the window field \"0x2x\" is not a number"},
        Refusal{"WindowPosition", "[WINDOWS]\nw=\"a\",,,,,,,,,,,,[1,2,3]\n",
                "\"/p/book.hhp\" line 2: the window position \"[1,2,3]\" is not "
                "[left,top,right,bottom]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadProject, MissingFileIsNamed) {
  const ProjectReadResult read = ReadProject("/nonexistent/book.hhp");
  EXPECT_FALSE(read.project);
  EXPECT_EQ(read.message, "Cannot read the project file \"/nonexistent/book.hhp\"");
}

}  // namespace
}  // namespace quillark::chm
