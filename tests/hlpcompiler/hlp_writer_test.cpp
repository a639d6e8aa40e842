#include "hlpcompiler/hlp_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "hlpcompiler/hlp_format.h"
#include "hlpcompiler/help_file_walker.h"
#include "hlpcompiler/rtf_reader.h"

namespace quillark::hlpc {
namespace {

HelpFileOutput Write(const HelpProject& project, const std::string& rtf,
                     std::vector<Topic>& topics) {
  topics = ReadTopicFile(rtf, "t.rtf").topics;
  HelpFileInput input;
  input.project = &project;
  input.topics = &topics;
  input.pictures = [](const std::string&) { return std::nullopt; };
  return WriteHelpFile(input);
}

std::string Bytes(const char* data, std::size_t size) { return std::string(data, size); }

// The two topics of the format's worked example come out as its annotated bytes.
TEST(WriteHelpFile, TinyExampleMatchesTheAnnotatedFile) {
  HelpProject project;
  project.title = "Tiny";
  project.contents = "intro";
  std::vector<Topic> topics;
  const HelpFileOutput output =
      Write(project,
            "{\\rtf1\\ansi\\deff0{\\fonttbl\\f0\\fswiss Arial;}\\f0\\fs20\r\n"
            "#{\\footnote intro}${\\footnote Introduction}K{\\footnote sample}\r\n"
            "See \\uldb the other topic\\uldb0{\\v other}.\\par\\page\r\n"
            "#{\\footnote other}${\\footnote Other Topic}Second topic.\\par\\page}",
            topics);
  ASSERT_TRUE(output.errors.empty());
  const std::string& b = output.bytes;
  ASSERT_EQ(b.size(), 11621u);
  EXPECT_EQ(b.substr(0, 16),
            Bytes("\x3F\x5F\x03\x00\x36\x29\x00\x00\xFF\xFF\xFF\xFF\x65\x2D\0\0", 16));
  EXPECT_EQ(b.substr(0x3F, 24), Bytes("\xE8\x07\x02\x00\xFF\xFF\xFF\xFF\x5C\x9A\x3D\x05\0\0\0\0"
                                      "\x1C\x89\x7D\x06\x19\0\0\0",
                                      24));
  EXPECT_EQ(b.substr(0x083F, 11), Bytes("\x0B\0\0\0\x02\0\0\0\x04\0\0", 11));
  EXPECT_EQ(b.substr(0x08BD, 13), Bytes("sample\0\x01\0\0\0\0\0", 13));
  EXPECT_EQ(b.substr(0x10DC, 34),
            Bytes("\x6C\x03\x21\x00\x01\x00\0\0\0\0\0\0\x01\x00\x05\x00Tiny\0\x02\x00\x01\x00\0"
                  "\x03\x00\x04\x00\0\0\0\0",
                  34));
  EXPECT_EQ(b.substr(0x1113, 61),
            Bytes("\x3D\0\0\0\x0C\0\0\0\xFF\xFF\xFF\xFF\x49\0\0\0\x31\0\0\0\x02"
                  "\x42\0\0\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0\0\0\0"
                  "\xFF\xFF\xFF\xFF\x49\0\0\0\x8B\0\0\0Introduction",
                  61));
  EXPECT_EQ(b.substr(0x1150, 66), Bytes("\x42\0\0\0\x19\0\0\0\x0C\0\0\0\x8B\0\0\0\x29\0\0\0\x20"
                                        "\x22\x80\x32\x00\x80\0\0\0\0\x80\0\0\xE3\x1C\x89\x7D\x06"
                                        "\x89\x82\xFF\0See \0the other topic\0.\0\0",
                                        66));
  EXPECT_EQ(b.substr(0x1201, 21),
            Bytes("\x31\0\0\0\0\0\0\0\xC7\0\0\0\xFF\xFF\xFF\xFF\x31\0\0\0\x02", 21));
  EXPECT_EQ(b.substr(0x213E, 4 + 13 + 4 + 12),
            Bytes("\0\0\0\0Introduction\0\x19\0\0\0Other Topic\0", 33));
  EXPECT_EQ(b.substr(0x2965, 8), Bytes("\x8B\x03\x09\x00\xFF\xFF\xFF\xFF", 8));
  EXPECT_EQ(b.substr(0x296D, 14), Bytes("|CONTEXT\0\x10\0\0\0|", 14));
}

TEST(WriteHelpFile, BrowseSequencesKeywordsAndBlocks) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl\\f0\\fswiss Arial;}\r\n";
  // Topics long enough to fill several blocks; browse codes out of file order.
  const char* codes[] = {"1", "1", "", "0"};
  for (int t = 0; t < 4; ++t) {
    rtf += "#{\\footnote T" + std::to_string(t) + "}${\\footnote Topic " + std::to_string(t) + "}";
    if (codes[t][0] != '\0') rtf += std::string("+{\\footnote ") + codes[t] + "}";
    rtf += "K{\\footnote shared;Key " + std::to_string(t % 2) + "}";
    for (int p = 0; p < 60 + 7 * t; ++p)
      rtf += "Paragraph " + std::to_string(p) + " of some length.\\par\r\n";
    rtf += "\\uldb next\\uldb0{\\v T" + std::to_string((t + 1) % 4) + "}\\par\\page\r\n";
  }
  rtf += "}";
  HelpProject project;
  std::vector<Topic> topics;
  const HelpFileOutput output = Write(project, rtf, topics);
  ASSERT_TRUE(output.errors.empty());
  EXPECT_TRUE(output.warnings.empty());
  const testing::InspectedHelp help = testing::InspectHelpFile(output.bytes);
  EXPECT_TRUE(help.errors.empty()) << help.errors.front();
  ASSERT_EQ(help.topics.size(), 4u);
  EXPECT_GT(help.files.at("|TOPIC").size(), 4u * 4096);
  for (int t = 0; t < 4; ++t) {
    const std::uint32_t offset = help.contexts.at(testing::HashOf("T" + std::to_string(t)));
    ASSERT_NE(help.TopicAt(offset), nullptr);
    EXPECT_EQ(help.TopicAt(offset)->title, "Topic " + std::to_string(t));
  }
  // Browse order by code: T3 ("0"), T0, T1; T2 has no sequence.
  EXPECT_EQ(help.topics[3].browse_back, 0xFFFFFFFFu);
  EXPECT_EQ(help.topics[3].browse_forward, help.topics[0].offset);
  EXPECT_EQ(help.topics[0].browse_back, help.topics[3].offset);
  EXPECT_EQ(help.topics[1].browse_forward, 0xFFFFFFFFu);
  EXPECT_EQ(help.topics[2].browse_back, 0xFFFFFFFFu);
  EXPECT_EQ(help.keywords.at("shared").size(), 4u);
  EXPECT_EQ(help.keywords.at("Key 1"),
            (std::vector<std::uint32_t>{help.topics[1].offset, help.topics[3].offset}));
}

// Topics of many lengths start anywhere in a block, after records that ran
// over from the block before; each is still found where its context says.
TEST(WriteHelpFile, TopicsFoundWhereverTheyStartInABlock) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl\\f0\\fswiss Arial;}\r\n";
  for (int t = 0; t < 40; ++t) {
    rtf += "#{\\footnote T" + std::to_string(t) + "}${\\footnote Topic " + std::to_string(t) + "}";
    for (int p = 0; p < 3 + (t * 7) % 23; ++p) {
      rtf += "Some text " + std::string(static_cast<std::size_t>(100 + (p * 37) % 300), 'x') +
             "\\par ";
    }
    rtf += "\\page\r\n";
  }
  HelpProject project;
  std::vector<Topic> topics;
  const HelpFileOutput output = Write(project, rtf + "}", topics);
  const testing::InspectedHelp help = testing::InspectHelpFile(output.bytes);
  EXPECT_TRUE(help.errors.empty());
  ASSERT_EQ(help.topics.size(), 40u);
  for (int t = 0; t < 40; ++t) {
    const testing::InspectedTopic* topic =
        help.TopicAt(help.contexts.at(testing::HashOf("T" + std::to_string(t))));
    ASSERT_NE(topic, nullptr) << t;
    EXPECT_EQ(topic->title, "Topic " + std::to_string(t));
  }
}

TEST(WriteHelpFile, ProblemsWithContextStrings) {
  HelpProject project;
  project.path = "p.hpj";
  project.contents = "NOWHERE";
  project.map = {{"MISSING", 5, 9}};
  std::vector<Topic> topics;
  HelpFileOutput output = Write(project,
                                "{\\rtf1 #{\\footnote A}a\\uldb j\\uldb0{\\v GONE}\\page\r\n"
                                "#{\\footnote a}b\\page}",
                                topics);
  EXPECT_TRUE(output.errors.empty());
  EXPECT_EQ(output.warnings.size(), 4u);  // duplicate, jump, contents, map
  // Two different strings with one hash cannot both be found.
  output =
      Write(project, "{\\rtf1 #{\\footnote intro}a\\page #{\\footnote in-tro}b\\page}", topics);
  ASSERT_EQ(output.errors.size(), 1u);
  EXPECT_TRUE(output.bytes.empty());
}

}  // namespace
}  // namespace quillark::hlpc
