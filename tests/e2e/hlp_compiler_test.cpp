// Whole HLP runs with -gx: the golden source and the sample guide become .hlp
// files, the same byte for byte on every run, in which an independent reader
// finds every topic by its context string, every jump target and every
// keyword's topics.
#include <map>
#include <string>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"
#include "hlpcompiler/help_file_walker.h"

namespace quillark::e2e {
namespace {

using hlpc::testing::HashOf;
using hlpc::testing::InspectedHelp;
using hlpc::testing::InspectHelpFile;

// Checks that hold for every help file we write.
void ExpectConsistent(const InspectedHelp& help) {
  EXPECT_TRUE(help.errors.empty()) << help.errors.front();
  for (const auto& [hash, offset] : help.contexts) {
    EXPECT_NE(help.TopicAt(offset), nullptr) << "context hash " << hash;
  }
  for (const hlpc::testing::InspectedTopic& topic : help.topics) {
    for (std::uint32_t jump : topic.jumps) {
      EXPECT_EQ(help.contexts.count(jump), 1u) << "jump in " << topic.title;
    }
    EXPECT_EQ(help.titles.at(topic.offset), topic.title);
  }
  for (const auto& [keyword, offsets] : help.keywords) {
    for (std::uint32_t offset : offsets) EXPECT_NE(help.TopicAt(offset), nullptr) << keyword;
  }
}

TEST(HlpCompiler, GoldenSourceCompilesToTheSameFileEveryRun) {
  std::string first;
  for (int run = 0; run < 2; ++run) {
    TempDir dir;
    CopyCase("rtf_family/book.txt", dir.File("book.txt"));
    CopyCase("rtf_family/pic.bmp", dir.File("pic.bmp"));
    const RunResult result =
        RunQuillark({"-i", "book", "-g", "HLP", "-gx", "-c", "Sample Help", "-co", "(c) Quillark",
                     "-f", "Verdana,11", "-h1", "Times New Roman,20", "-header", "Page <page/>",
                     "-footer", "Foot\\nnote", "-op"},
                    dir.path());
    ASSERT_EQ(result.exit_status, 0);
    // The listing holds only the missing picture of the source.
    EXPECT_EQ(ReadFile(dir.File("book.lst")),
              Expected("rtf_family/expected/hlp/book.lst", dir.path(), false));
    const std::string bytes = ReadFile(dir.File("book.hlp"));
    ASSERT_FALSE(bytes.empty());
    if (run == 0) {
      first = bytes;
      const InspectedHelp help = InspectHelpFile(bytes);
      ExpectConsistent(help);
      EXPECT_EQ(help.title, "Sample Help");
      EXPECT_EQ(help.copyright, "(c) Quillark");
      const std::map<std::string, std::string> titles = {{"INTRODUCTION", "Introduction"},
                                                         {"TEXT_STYLES", "Text styles"},
                                                         {"TEXT_STYLES_example", ""},
                                                         {"NOTE", "Note"},
                                                         {"BLOCKS", "Blocks"},
                                                         {"PICTURES", "Pictures"}};
      ASSERT_EQ(help.topics.size(), titles.size());
      for (const auto& [context, title] : titles) {
        ASSERT_EQ(help.contexts.count(HashOf(context)), 1u) << context;
        EXPECT_EQ(help.TopicAt(help.contexts.at(HashOf(context)))->title, title);
      }
      const std::uint32_t intro = help.contexts.at(HashOf("INTRODUCTION"));
      EXPECT_EQ(help.contents, intro);
      EXPECT_EQ(help.keywords.at("Colours"), std::vector<std::uint32_t>{intro});
      EXPECT_EQ(help.keywords.at("zebra"), std::vector<std::uint32_t>{intro});
      EXPECT_EQ(help.TopicAt(intro)->jumps,
                (std::vector<std::uint32_t>{HashOf("TEXT_STYLES"), HashOf("NOTE")}));
      // Two references to one picture, a missing one left out.
      EXPECT_EQ(help.TopicAt(help.contexts.at(HashOf("PICTURES")))->pictures,
                (std::vector<std::uint16_t>{0, 0}));
    } else {
      EXPECT_EQ(bytes, first);
    }
  }
}

TEST(HlpCompiler, SampleGuideCompilesAndEveryMapEntryFindsItsTopic) {
  TempDir dir;
  for (const char* name :
       {"sample.txt", "more.txt", "pass_rtf.txt", "pass_html.txt", "quill.bmp"}) {
    CopyCase(std::string("../../samples/") + name, dir.File(name));
  }
  ASSERT_EQ(RunQuillark({"-i", "sample", "-g", "HLP", "-gx"}, dir.path()).exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("sample.lst")), dir.File("sample.txt") + ": 0 errors.\r\n");
  const InspectedHelp help = InspectHelpFile(ReadFile(dir.File("sample.hlp")));
  ExpectConsistent(help);
  const std::string project = ReadFile(dir.File("sample.hpj"));
  std::size_t mapped = 0;
  for (std::size_t at = project.find("#define "); at != std::string::npos;
       at = project.find("#define ", at + 1)) {
    const std::string context = project.substr(at + 8, project.find(' ', at + 8) - at - 8);
    EXPECT_EQ(help.contexts.count(HashOf(context)), 1u) << context;
    ++mapped;
  }
  EXPECT_EQ(mapped, 29u);
  EXPECT_EQ(help.files.count("|bm0"), 1u);
  EXPECT_GE(help.keywords.size(), 29u);
}

}  // namespace
}  // namespace quillark::e2e
