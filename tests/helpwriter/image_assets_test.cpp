#include "helpwriter/image_assets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace quillark {
namespace {

class ImageAssetListTest : public testing::TestWithParam<OutputFormat> {};

TEST_P(ImageAssetListTest, ListsTheAssetsForHtmlOnly) {
  std::string expected;
  if (GetParam() == OutputFormat::kHtml) {
    // The test program has no assets beside it, so they are sought there.
    const std::string folder =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
    for (const char* name :
         {"quillark_tree_V.png", "quillark_tree_S.png", "quillark_tree_T.png",
          "quillark_tree_L.png", "quillark_book_open.png", "quillark_file_document_H.png",
          "quillark_file_document.png", "quillark_button3.bmp"}) {
      expected += folder + name + "\n";
    }
  }
  EXPECT_EQ(ImageAssetList(GetParam()), expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageAssetListTest,
                         testing::Values(OutputFormat::kNone, OutputFormat::kHlp,
                                         OutputFormat::kRtf, OutputFormat::kChm,
                                         OutputFormat::kHtml));

TEST(ImageAssetDirectory, BesideTheProgramThenInShare) {
  testing_support::TempDir dir;
  std::filesystem::create_directories(dir.File("bin"));
  std::filesystem::create_directories(dir.File("share/quillark"));
  const std::string program = dir.File("bin/quillark");
  EXPECT_EQ(ImageAssetDirectory(program), dir.File("bin/"));
  dir.Write("share/quillark/quillark_tree_V.png", "png");
  EXPECT_EQ(ImageAssetDirectory(program), dir.File("share/quillark/"));
  dir.Write("bin/quillark_tree_V.png", "png");
  EXPECT_EQ(ImageAssetDirectory(program), dir.File("bin/"));
}

TEST(CopyImageAssets, RecordsAndCopiesBesideTheProject) {
  testing_support::TempDir dir;
  std::filesystem::create_directories(dir.File("src"));
  std::filesystem::create_directories(dir.File("out"));
  dir.Write("src/a.png", "A");
  dir.Write("src/b.bmp", "B");
  dir.Write("src/other.bmp", "O");
  dir.Write("out/pic.bmp", "P");
  HelpTable bitmaps;
  InsertEntry(bitmaps, dir.File("out/pic.bmp"), "", 3, 7, 1, 0, 16, 16, kBitmapCopied);
  InsertEntry(bitmaps, dir.File("src/other.bmp"), "", 4, 8, 1, 0, 16, 16, 0);

  CopyImageAssets(dir.File("src/a.png") + "\n" + dir.File("src/b.bmp") + "\n\nsrc/late.png\n",
                  dir.File("out/book.txt"), bitmaps);

  ASSERT_EQ(TableCount(bitmaps), 4);
  const int a = FindByName(bitmaps, dir.File("src/a.png"));
  ASSERT_GT(a, 0);
  EXPECT_EQ(EntryAt(bitmaps, a).flags, kBitmapCopied);
  EXPECT_EQ(EntryAt(bitmaps, a).count, 1);
  EXPECT_EQ(dir.Read("out/a.png"), "A");
  EXPECT_EQ(dir.Read("out/b.bmp"), "B");
  EXPECT_EQ(dir.Read("out/pic.bmp"), "P");  // already beside the project: left as it is
  EXPECT_FALSE(std::filesystem::exists(dir.File("out/other.bmp")));
}

}  // namespace
}  // namespace quillark
