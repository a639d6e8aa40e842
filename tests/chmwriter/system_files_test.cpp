#include "chmwriter/system_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

namespace quillark::chm {
namespace {

using std::string_literals::operator""s;

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

// The records of a #SYSTEM file by code, in the order written.
std::vector<std::pair<int, std::string>> Records(const std::string& system) {
  EXPECT_EQ(U32(system, 0), 3u);
  std::vector<std::pair<int, std::string>> records;
  for (std::size_t at = 4; at + 4 <= system.size();) {
    const int code =
        static_cast<unsigned char>(system[at]) | static_cast<unsigned char>(system[at + 1]) << 8;
    const std::size_t length = static_cast<unsigned char>(system[at + 2]) |
                               static_cast<unsigned char>(system[at + 3]) << 8;
    records.emplace_back(code, system.substr(at + 4, length));
    at += 4 + length;
  }
  return records;
}

ChmProject QuillarkProject() {
  ChmProject project;
  project.contents_file = ListedFile{"sample.hhc", 5};
  project.index_file = ListedFile{"sample.hhk", 12};
  project.default_topic = "WELCOME.html";
  project.default_window = "MainType";
  project.default_font = "Arial,10,0";
  project.language = 0x809;
  WindowType other;
  other.name = "Other";
  other.caption = "Not this";
  WindowType main;
  main.name = "MainType";
  main.caption = "Quillark sample";
  project.windows = {other, main};
  return project;
}

TEST(SystemFile, WritesEveryRecordTheProjectHasAValueFor) {
  const std::string language = "\x09\x08\0\0"s + std::string(32, '\0');
  const std::vector<std::pair<int, std::string>> expected = {{9, "Quillark CHM writer\0"s},
                                                             {4, language},
                                                             {2, "WELCOME.html\0"s},
                                                             {3, "Quillark sample\0"s},
                                                             {16, "Arial,10,0\0"s},
                                                             {6, "sample\0"s},
                                                             {5, "MainType\0"s},
                                                             {0, "sample.hhc\0"s},
                                                             {1, "sample.hhk\0"s},
                                                             {12, "\0\0\0\0"s},
                                                             {15, "\0\0\0\0"s}};
  EXPECT_EQ(Records(SystemFile(QuillarkProject(), "Sample")), expected);
}

TEST(SystemFile, LeavesOutWhatTheProjectDoesNotSayAndPrefersItsTitle) {
  ChmProject project;
  project.title = "Own title";
  project.windows = QuillarkProject().windows;
  const std::string language = "\x09\x04\0\0"s + std::string(32, '\0');
  const std::vector<std::pair<int, std::string>> expected = {{9, "Quillark CHM writer\0"s},
                                                             {4, language},
                                                             {3, "Own title\0"s},
                                                             {6, "book\0"s},
                                                             {12, "\0\0\0\0"s},
                                                             {15, "\0\0\0\0"s}};
  EXPECT_EQ(Records(SystemFile(project, "book")), expected);
}

TEST(AddString, SharesTextsAndKeepsEachInsideA4KiBBlock) {
  StringsFile strings;
  EXPECT_EQ(AddString(strings, ""), 0u);
  EXPECT_EQ(AddString(strings, "MainType"), 1u);
  EXPECT_EQ(AddString(strings, std::string(4070, 'a')), 10u);  // ends at 4081
  EXPECT_EQ(AddString(strings, "MainType"), 1u);
  EXPECT_EQ(AddString(strings, "fits"), 4081u);  // ends at 4086
  EXPECT_EQ(AddString(strings, "does not fit"), 4096u);
  EXPECT_EQ(strings.bytes.substr(4086), std::string(10, '\0') + "does not fit\0"s);
}

TEST(WindowsFile, PlacesEveryFieldOfTheWindowLine) {
  WindowType window;
  window.name = "MainType";
  window.caption = "Sample Help";
  window.contents_file = "book.hhc";
  window.index_file = "book.hhk";
  window.default_file = "GETTING_STARTED.html";
  window.home_file = "GETTING_STARTED.html";
  window.jump1_url = "_jump.html";
  window.jump1_text = "Home";
  window.jump2_url = "_example.html";
  window.jump2_text = "Example";
  window.navigation_style = 0x23420;
  window.buttons = 0x6C2844;
  window.position = std::array<std::int32_t, 4>{10, 20, -1, 400};
  window.notify_id = 0;
  StringsFile strings;
  const std::string file = WindowsFile({window}, strings);
  ASSERT_EQ(file.size(), 8u + kWindowTypeSize);
  EXPECT_EQ(U32(file, 0), 1u);
  EXPECT_EQ(U32(file, 4), kWindowTypeSize);
  const std::string entry = file.substr(8);
  auto text = [&](std::size_t at) { return std::string(strings.bytes.c_str() + U32(entry, at)); };
  EXPECT_EQ(U32(entry, 0x00), kWindowTypeSize);
  EXPECT_EQ(text(0x08), "MainType");
  EXPECT_EQ(U32(entry, 0x0C), 0x2u | 0x10u | 0x100u);  // properties, position, buttons
  EXPECT_EQ(U32(entry, 0x10), 0x3020u);                // without the search tabs
  EXPECT_EQ(text(0x14), "Sample Help");
  EXPECT_EQ(U32(entry, 0x20), 10u);
  EXPECT_EQ(U32(entry, 0x24), 20u);
  EXPECT_EQ(U32(entry, 0x28), 0xFFFFFFFFu);
  EXPECT_EQ(U32(entry, 0x2C), 400u);
  EXPECT_EQ(text(0x60), "book.hhc");
  EXPECT_EQ(text(0x64), "book.hhk");
  EXPECT_EQ(text(0x68), "GETTING_STARTED.html");
  EXPECT_EQ(U32(entry, 0x6C), U32(entry, 0x68));
  EXPECT_EQ(U32(entry, 0x70), 0x6C2844u);
  EXPECT_EQ(text(0x9C), "Home");
  EXPECT_EQ(text(0xA0), "Example");
  EXPECT_EQ(text(0xA4), "_jump.html");
  EXPECT_EQ(text(0xA8), "_example.html");
  for (std::size_t at : {0x18, 0x1C, 0x30, 0x4C, 0x74, 0x78, 0x7C, 0x80, 0x98, 0xBC, 0xC0}) {
    EXPECT_EQ(U32(entry, at), 0u) << at;
  }
}

}  // namespace
}  // namespace quillark::chm
