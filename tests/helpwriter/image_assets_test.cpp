#include "helpwriter/image_assets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace quillark {
namespace {

// The list of assets itself is checked by the whole HTML run, which finds
// exactly the eight copied beside the pages.
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

// The whole HTML run shows listed assets and topic images copied; the list
// ends at its first empty line and unflagged images stay where they are.
TEST(CopyImageAssets, CopiesListedAndFlaggedImagesBesideTheProject) {
  testing_support::TempDir dir;
  std::filesystem::create_directories(dir.File("src"));
  std::filesystem::create_directories(dir.File("out"));
  dir.Write("src/a.png", "A");
  dir.Write("src/other.bmp", "O");
  BitmapTable bitmaps;
  InsertEntry(bitmaps, BitmapRecord{.name = dir.File("src/other.bmp"), .width = 16, .height = 16});
  Listing listing = Listing::InMemory();
  CopyImageAssets(dir.File("src/a.png") + "\n\nsrc/late.png\n", dir.File("out/book.txt"), bitmaps,
                  listing);
  const int a = FindByName(bitmaps, dir.File("src/a.png"));
  ASSERT_EQ(TableCount(bitmaps), 2);
  ASSERT_GT(a, 0);
  EXPECT_TRUE(EntryAt(bitmaps, a).copied);
  EXPECT_EQ(dir.Read("out/a.png"), "A");
  EXPECT_FALSE(std::filesystem::exists(dir.File("out/other.bmp")));
}

}  // namespace
}  // namespace quillark
