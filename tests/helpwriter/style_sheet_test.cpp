#include "helpwriter/style_sheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runtime/text.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

// The whole sheet with a changed text font is in the whole-run files; a
// heading font changes exactly the five rules of its level.
TEST(StyleSheet, HeadingFontChangesItsFiveRules) {
  WriterState writer;
  InitFonts(writer);
  testing_support::TempDir dir;
  WriteStyleSheet(OutputFormat::kHtml, writer, dir.File("plain.css"));
  SetFont(writer, "H2", "Times,30");
  WriteStyleSheet(OutputFormat::kChm, writer, dir.File("h2.css"));
  auto h2 = [](const char* face, const char* size) {
    return std::string("h2 {font-family:") + face +
           ",sans-serif; font-weight:bold; font-size:" + size + "pt;}";
  };
  const std::string plain = dir.Read("plain.css");
  EXPECT_NE(plain, dir.Read("h2.css"));
  EXPECT_EQ(runtime::ReplaceAll(plain, h2("Arial", "20"), h2("Times", "30")), dir.Read("h2.css"));
  for (OutputFormat format : {OutputFormat::kNone, OutputFormat::kHlp, OutputFormat::kRtf})
    WriteStyleSheet(format, writer, dir.File("none.css"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.css")));
}

}  // namespace
}  // namespace quillark
