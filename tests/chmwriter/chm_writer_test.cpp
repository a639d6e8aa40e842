#include "chmwriter/chm_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

#include "support/temp_dir.h"

namespace quillark::chm {
namespace {

using testing_support::TempDir;

std::uint64_t Number(const std::string& bytes, std::size_t at, int width) {
  std::uint64_t value = 0;
  for (int i = width - 1; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}
std::uint64_t EncInt(const std::string& bytes, std::size_t& at) {
  std::uint64_t value = 0;
  while (static_cast<unsigned char>(bytes.at(at)) & 0x80)
    value = (value << 7) | (bytes[at++] & 0x7F);
  return (value << 7) | static_cast<unsigned char>(bytes[at++]);
}

// Every file of a help file, read through its headers and listing chunks;
// section 1 holds its bytes in 32 KiB frames behind 16-byte block headers.
std::map<std::string, std::string> ReadHelpFile(const std::string& chm) {
  EXPECT_EQ(chm.substr(0, 4), "ITSF");
  EXPECT_EQ(Number(chm, 0x68, 8), chm.size());  // the size in header section 0
  const std::uint64_t section0 = Number(chm, 0x58, 8);
  const std::size_t directory = Number(chm, 0x48, 8);
  EXPECT_EQ(chm.substr(directory, 4), "ITSP");
  struct Place {
    std::uint64_t section, offset, length;
  };
  std::map<std::string, Place> places;
  for (std::uint64_t n = 0; n < Number(chm, directory + 0x2C, 4); ++n) {
    const std::size_t chunk = directory + 0x54 + n * 4096;
    if (chm.substr(chunk, 4) != "PMGL") continue;
    for (std::size_t at = chunk + 0x14; at < chunk + 4096 - Number(chm, chunk + 4, 4);) {
      const std::uint64_t length = EncInt(chm, at);
      const std::string name = chm.substr(at, length);
      at += length;
      Place place{};
      place.section = EncInt(chm, at);
      place.offset = EncInt(chm, at);
      place.length = EncInt(chm, at);
      places[name] = place;
    }
  }
  const Place content = places.at("::DataSpace/Storage/MSCompressed/Content");
  std::string stream;
  for (std::uint64_t at = 16; at < content.length; at += 0x8010) {
    stream += chm.substr(section0 + content.offset + at, 0x8000);
  }
  std::map<std::string, std::string> files;
  for (const auto& [name, place] : places) {
    files[name] = place.section == 0 ? chm.substr(section0 + place.offset, place.length)
                                     : stream.substr(place.offset, place.length);
  }
  return files;
}

constexpr const char* kProject =
    "[OPTIONS]\r\nCompiled file=out\\book.chm\r\nContents file=book.hhc\r\n"
    "Default topic=A.html\r\nLanguage=0x809 English (United Kingdom)\r\n\r\n"
    "[WINDOWS]\r\nMainType=\"Book\",\"book.hhc\",,\"A.html\",\"A.html\",,,,,0x23420,,0x602844,,,,,,"
    ",,0\r\n"
    "\r\n[FILES]\r\nA.html\r\nimages\\big.bin\r\nempty.html\r\n";

TEST(WriteChmFromProject, EveryFileComesBackAndTheBytesRepeat) {
  TempDir dir;
  dir.Write("book.hhp", kProject);
  dir.Write("book.hhc", "<param name=\"Local\" value=\"A.html\">");
  dir.Write("A.html", "<img src=\"images/pic.bmp\">");
  std::filesystem::create_directory(dir.File("images"));
  dir.Write("images/pic.bmp", "BM picture");
  std::string big;
  for (int i = 0; i < 100000; ++i) big.push_back(static_cast<char>(i % 253));
  dir.Write("images/big.bin", big);
  dir.Write("empty.html", "");

  const ChmWriteResult result = WriteChmFromProject(dir.File("book.hhp"), dir.File("one/book.chm"));
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(result.file_count, 5u);
  const std::map<std::string, std::string> files = ReadHelpFile(dir.Read("one/book.chm"));
  for (const char* name :
       {"A.html", "book.hhc", "images/pic.bmp", "images/big.bin", "empty.html"}) {
    ASSERT_EQ(files.count("/" + std::string(name)), 1u) << name;
    EXPECT_EQ(files.at("/" + std::string(name)), dir.Read(name)) << name;
  }
  for (const char* name : {"/", "/images/", "/#ITBITS", "/#SYSTEM", "/#WINDOWS", "/#STRINGS",
                           "::DataSpace/NameList"}) {
    EXPECT_EQ(files.count(name), 1u) << name;
  }
  EXPECT_NE(files.at("/#SYSTEM").find("A.html"), std::string::npos);

  ASSERT_TRUE(WriteChmFromProject(dir.File("book.hhp"), dir.File("two/book.chm")).ok);
  EXPECT_TRUE(dir.Read("one/book.chm") == dir.Read("two/book.chm"));
}

TEST(WriteChmFromProject, FailureNamesTheFileAndLeavesNoHelpFile) {
  TempDir dir;
  dir.Write("book.hhp", "[FILES]\r\nA.html\r\n");
  const ChmWriteResult result = WriteChmFromProject(dir.File("book.hhp"), dir.File("book.chm"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, "Cannot find \"" + dir.File("A.html") + "\" named in \"" +
                                dir.File("book.hhp") + "\" line 2");
  EXPECT_FALSE(std::filesystem::exists(dir.File("book.chm")));
}

TEST(CompiledFilePath, FromTheProjectElseBesideIt) {
  ChmProject project;
  project.project_path = "/p/temp/book.hhp";
  EXPECT_EQ(CompiledFilePath(project), "/p/temp/book.chm");
  project.compiled_file = "out\\help.chm";
  EXPECT_EQ(CompiledFilePath(project), "/p/temp/out/help.chm");
  project.compiled_file = "/elsewhere/help.chm";
  EXPECT_EQ(CompiledFilePath(project), "/elsewhere/help.chm");
}

}  // namespace
}  // namespace quillark::chm
