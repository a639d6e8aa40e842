#include "chmwriter/file_collector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quillark::chm {
namespace {

using testing_support::TempDir;

std::vector<std::string> Names(const CollectResult& result) {
  std::vector<std::string> names;
  for (const StoredFile& file : result.files) names.push_back(file.name);
  return names;
}

ChmProject Project(const TempDir& dir, std::vector<ListedFile> files) {
  ChmProject project;
  project.project_path = dir.File("book.hhp");
  project.files = std::move(files);
  return project;
}

// The style sheet and pictures come in through the pages' links, also
// through a page that is itself only linked; web links, links to missing
// files and to other help files do not.
TEST(CollectFiles, ListedFilesThenWhatTheyLinkTo) {
  TempDir dir;
  dir.Write("A.html", "<link href=\"book.css\"><a href=\"B.html\">b</a><a href=\"http://x.org/\">");
  dir.Write("B.html", "<img src=\"quill.bmp\"><a href=\"missing.html\"></a><a href=\"other.chm\">");
  dir.Write("book.css", "td {background:url(button.bmp)}");
  dir.Write("button.bmp", "BM");
  dir.Write("quill.bmp", "BM");
  dir.Write("other.chm", "ITSF");
  dir.Write("book.hhc", "<param name=\"Local\" value=\"A.html#top\">");
  ChmProject project = Project(dir, {{"A.html", 10}, {"A.html", 11}});
  project.contents_file = ListedFile{"book.hhc", 3};
  const CollectResult result = CollectFiles(project);
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(Names(result), (std::vector<std::string>{"A.html", "book.hhc", "book.css", "B.html",
                                                     "button.bmp", "quill.bmp"}));
  EXPECT_EQ(result.files[0].data.substr(0, 6), "<link ");
}

TEST(CollectFiles, RefusesWhatCannotBeStored) {
  TempDir dir;
  dir.Write("A.html", "<img src=\"caf%C3%A9.png\">");
  dir.Write("caf\xC3\xA9.png", "PNG");
  dir.Write("B.html", "");
  dir.Write("b.html", "");
  const std::string folder = dir.path() + "/";
  const std::string where = "\"" + folder + "book.hhp\" line ";

  CollectResult result = CollectFiles(Project(dir, {{"A.html", 4}, {"gone.html", 5}}));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, "Cannot find \"" + folder + "gone.html\" named in " + where + "5");

  result = CollectFiles(Project(dir, {{"B.html", 4}, {"b.html", 5}}));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, where +
                                "5: the file names \"B.html\" and \"b.html\" differ only in "
                                "case; a compiled help file cannot hold both");

  result = CollectFiles(Project(dir, {{"A.html", 4}}));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, "\"" + folder +
                                "A.html\" links to \"caf%C3%A9.png\", which cannot be stored: "
                                "the file name \"caf\xC3\xA9.png\" is not plain ASCII; a compiled "
                                "help file stores ASCII names only");
}

}  // namespace
}  // namespace quillark::chm
