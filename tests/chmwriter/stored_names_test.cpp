#include "chmwriter/stored_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quillark::chm {
namespace {

TEST(NormalizeName, OneFormForEveryWayOfWritingAName) {
  const std::pair<const char*, const char*> cases[] = {
      {" WELCOME.html\t", "WELCOME.html"}, {"images\\quill.bmp", "images/quill.bmp"},
      {"./a//b/./c.html", "a/b/c.html"},   {"a/../b.html", "b.html"},
      {"../b.html", "../b.html"},          {"a/../../b.html", "../b.html"},
      {"/abs/c.html", "/abs/c.html"}};
  for (const auto& [written, normal] : cases) EXPECT_EQ(NormalizeName(written), normal) << written;
}

TEST(ResolveReference, LinksLeadToStoredNamesOrOutOfTheHelpFile) {
  const struct {
    const char* from;
    const char* link;
    std::optional<std::string> name;
  } cases[] = {
      {"PAGE.html", "book.css", "book.css"},
      {"PAGE.html", "OTHER.html#anchor", "OTHER.html"},
      {"PAGE.html", "find.html?q=1", "find.html"},
      {"sub/PAGE.html", "../images/a%20b.png", "images/a b.png"},
      {"sub/PAGE.html", "pic.png", "sub/pic.png"},
      {"PAGE.html", "#top", std::nullopt},
      {"PAGE.html", "http://www.example.com", std::nullopt},
      {"PAGE.html", "mailto:me@example.com", std::nullopt},
      {"PAGE.html", "ms-its:other.chm::/a.html", std::nullopt},
      {"PAGE.html", "/etc/passwd", std::nullopt},
      {"PAGE.html", "../outside.html", std::nullopt},
      {"PAGE.html", "", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveReference(c.from, c.link), c.name) << c.link;
}

TEST(CheckStoredName, AcceptsWhatQuillarkWrites) {
  for (const char* name : {"WELCOME.html", "_link_options_1.html", "images/quill.bmp", "a b.css"}) {
    EXPECT_EQ(CheckStoredName(name), "") << name;
  }
  EXPECT_EQ(CheckStoredName(std::string(256, 'a')),
            "the file name \"" + std::string(256, 'a') + "\" is longer than 255 characters");
  EXPECT_NE(CheckStoredName("tab\there.html"), "");
}

}  // namespace
}  // namespace quillark::chm
