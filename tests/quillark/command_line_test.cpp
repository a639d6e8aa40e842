#include "quillark/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <vector>

#include "quillark/version.h"
#include "runtime/files.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

using Args = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs AsPairs(const CommandLineTable& table) {
  Pairs pairs;
  for (const CommandLineEntry& entry : table) pairs.emplace_back(entry.switch_text, entry.value);
  return pairs;
}

TEST(SplitCommandLine, RawLineGivesPairs) {
  auto split = [](std::string_view line) { return AsPairs(SplitCommandLine(line)); };
  EXPECT_EQ(split("-i=book -g=hlp"), (Pairs{{"-i", "book"}, {"-g", "hlp"}}));
  EXPECT_EQ(split("  -c -g HLP"), (Pairs{{"-c", ""}, {"-g", "HLP"}}));
  EXPECT_EQ(split("-c \"say \"\"hi\"\" now\" -g x"),
            (Pairs{{"-c", "\"say \"hi\" now\""}, {"-g", "x"}}));
  EXPECT_EQ(split("-c 'My Help'"), (Pairs{{"-c", "'My"}, {"Help'", ""}}));
  EXPECT_EQ(split("-c \"open"), (Pairs{{"-c", "\"open"}}));
  EXPECT_EQ(split("-c a=b"), (Pairs{{"-c", "a"}, {"", ""}, {"b", ""}}));
  EXPECT_EQ(split(std::string_view("-i a\0-g b", 9)), (Pairs{{"-i", "a"}}));
  EXPECT_EQ(SkipProgramName("\"C:\\Program Files\\q.exe\" -i x"), " -i x");
  EXPECT_EQ(SkipProgramName("q.exe  -i x"), "  -i x");
  EXPECT_EQ(SkipProgramName("\"unclosed"), "");
}

TEST(SplitArguments, ArgumentsGivePairs) {
  auto split = [](const Args& arguments) { return AsPairs(SplitArguments(arguments)); };
  EXPECT_EQ(split({"-i=book", "-g=hlp"}), (Pairs{{"-i", "book"}, {"-g", "hlp"}}));
  EXPECT_EQ(split({"-c", "-g", "HLP"}), (Pairs{{"-c", ""}, {"-g", "HLP"}}));
  EXPECT_EQ(split({"-c=-x", "y"}), (Pairs{{"-c", "-x"}, {"y", ""}}));
  EXPECT_EQ(split({"-c=", "foo"}), (Pairs{{"-c", "foo"}}));
  EXPECT_EQ(split({"-c", "", "-v"}), (Pairs{{"-c", ""}, {"-v", ""}}));
  EXPECT_EQ(split({"-c", "a=b"}), (Pairs{{"-c", "a=b"}}));
  // At most fifty entries; a value is kept whole (a long path stays one).
  Args many(60, "-v");
  many[0] = "-c";
  many.insert(many.begin() + 1, std::string(300, 'x'));
  const CommandLineTable table = SplitArguments(many);
  ASSERT_EQ(table.size(), 50u);
  EXPECT_EQ(table[0].value, std::string(300, 'x'));
}

TEST(GetSwitchValue, FirstMatchWithQuotesStripped) {
  auto value = [](const Args& arguments, std::string_view name) {
    const CommandLineTable table = SplitArguments(arguments);
    const std::string text = GetSwitchValue(table, name, true, true);
    return HasSwitch(table, name, true) ? text : "<absent>" + text;
  };
  EXPECT_EQ(value({"-i", "book", "-i", "other"}, "-i"), "book");
  EXPECT_EQ(value({"-I", "book"}, "-i"), "book");
  EXPECT_EQ(value({"--i", "book"}, "-i"), "<absent>");
  EXPECT_EQ(value({"-co", "x"}, "-c"), "<absent>");
  EXPECT_EQ(value({"/v"}, "-v"), "<absent>");
  EXPECT_EQ(value({"-c", "\"a\"b\""}, "-c"), "a\"b");
  EXPECT_EQ(value({"-c", "'My Help'"}, "-c"), "My Help");
  EXPECT_EQ(value({"-c", "'My"}, "-c"), "'My");
  EXPECT_EQ(value({"-c", "\""}, "-c"), "\"");
  EXPECT_FALSE(HasSwitch(SplitArguments({"-C"}), "-c", false));
}

// Each case runs in a fresh current folder holding book.txt.
class ReadCommandLineTest : public testing::Test {
 protected:
  void SetUp() override {
    previous_ = runtime::CurrentDirectory();
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    dir_.Write("book.txt", "x\n");
  }
  void TearDown() override { ASSERT_EQ(chdir(previous_.c_str()), 0); }
  static CommandLineOutcome Read(const Args& arguments) {
    return ReadCommandLine(SplitArguments(arguments));
  }
  testing_support::TempDir dir_;
  std::string previous_;
};

TEST_F(ReadCommandLineTest, HelpOnlyAsFirstArgument) {
  for (const char* first : {"/?", "-?", "/h", "-H"}) {
    const CommandLineOutcome outcome = Read({first, "-i", "book", "-g", "HLP"});
    EXPECT_EQ(outcome.console_text, UsageText("\n")) << first;
    EXPECT_EQ(outcome.exit_status, 0);
    EXPECT_FALSE(outcome.options.has_value());
  }
  const CommandLineOutcome later = Read({"-i", "book", "-g", "HLP", "-h"});
  ASSERT_TRUE(later.options.has_value());
  EXPECT_EQ(later.console_text, "");
}

TEST_F(ReadCommandLineTest, VersionOnlyAsFirstArgumentInItsOwnSpelling) {
  EXPECT_EQ(VersionText("\n"), "Quillark " + std::string(kVersion) + "\n");
  EXPECT_TRUE(std::regex_match(std::string(kVersion), std::regex("[0-9]+\\.[0-9]+\\.[0-9]+")))
      << kVersion;
  for (const Args& arguments : {Args{"--version"}, Args{"--version", "-i", "book", "-g", "HLP"}}) {
    const CommandLineOutcome outcome = Read(arguments);
    EXPECT_EQ(outcome.console_text, VersionText("\n"));
    EXPECT_EQ(outcome.exit_status, 0);
    EXPECT_FALSE(outcome.options.has_value());
  }
  EXPECT_TRUE(Read({"-i", "book", "-g", "HLP", "--version"}).options.has_value());
  // Other spellings are switches that name nothing, as before.
  for (const char* other : {"--VERSION", "-version", "--v", "--help"}) {
    const CommandLineOutcome outcome = Read({other});
    EXPECT_EQ(outcome.exit_status, 2) << other;
    EXPECT_EQ(outcome.console_text.rfind("The input file or the output format", 0), 0u) << other;
  }
}

TEST_F(ReadCommandLineTest, RefusesNamesThatDoNotLeadToASource) {
  const std::string hint = "Use \"Quillark -h\" for help.\n";
  const std::pair<Args, std::string> cases[] = {
      {{"-i", "-g", "HLP"}, "The input file or the output format was not specified.\n"},
      {{"-i", ".txt", "-g", "HLP"},
       "The input file should be a full path including a drive letter, \n"
       "or just as a filename on its own.\n"},
      {{"-i", "book.txt", "-g", "HLP"},
       "The input file \"book.txt.txt\" is empty or cannot be found.\n"}};
  for (const auto& [arguments, message] : cases) {
    const CommandLineOutcome outcome = Read(arguments);
    EXPECT_EQ(outcome.console_text, message + hint);
    EXPECT_EQ(outcome.exit_status, 2);
    EXPECT_FALSE(outcome.options.has_value());
  }
}

// A value that would break a line of a project file, or end the quotes the
// HLP project puts around it, is refused before anything is touched.
TEST_F(ReadCommandLineTest, RefusesValuesTheProjectFilesCannotHold) {
  const std::pair<Args, std::string> refused[] = {
      {{"-i", "book", "-g", "HTML", "-c", "two\nlines"},
       "The caption (-c) may not contain control characters.\n"},
      {{"-i", "book", "-g", "CHM", "-co", "(c)\tme"},
       "The copyright (-co) may not contain control characters.\n"},
      {{"-i", "book", "-g", "HLP", "-bc", "It's", "-bw", "x"},
       "The HLP project quotes the button caption (-bc) with \"'\": it may not contain one.\n"},
      {{"-i", "book", "-g", "hlp", "-bc", "Web", "-bw", "http://x/it's"},
       "The HLP project quotes the button website (-bw) with \"'\": it may not contain one.\n"}};
  for (const auto& [arguments, message] : refused) {
    const CommandLineOutcome outcome = Read(arguments);
    EXPECT_EQ(outcome.console_text, message + "Use \"Quillark -h\" for help.\n");
    EXPECT_EQ(outcome.exit_status, 2);
  }
  // Elsewhere a quote is escaped where it is written.
  EXPECT_TRUE(Read({"-i", "book", "-g", "CHM", "-bc", "It's", "-bw", "x", "-c", "It\"s"})
                  .options.has_value());
  EXPECT_TRUE(Read({"-i", "book", "-g", "HLP", "-c", "It's \"Help\""}).options.has_value());
}

TEST_F(ReadCommandLineTest, HandsOverEveryOption) {
  const CommandLineOutcome outcome =
      Read({"-i=book",    "-c",       "My Help", "-co", "'(c) me'", "-f",        "Verdana,12",
            "-h3",        "Tahoma,9", "-bc",     "Web", "-bw",      "https://x", "-header",
            "top<page/>", "-footer",  "end\\n",  "-OP", "-g=cHm",   "-gx",       "-v"});
  ASSERT_TRUE(outcome.options.has_value());
  const CompilerOptions& o = *outcome.options;
  EXPECT_EQ(o.caption + "|" + o.copyright + "|" + o.font + "|" + o.heading_fonts[0] + "|" +
                o.heading_fonts[2] + "|" + o.button_caption + "|" + o.button_website + "|" +
                o.header + "|" + o.footer + "|" + o.format,
            "My Help|(c) me|Verdana,12||Tahoma,9|Web|https://x|top<page/>|end\\n|cHm");
  EXPECT_TRUE(o.omit_first_page && o.compile && o.verbose);

  const CompilerOptions plain = *Read({"-c", "-g", "NONE", "-i", "book"}).options;
  EXPECT_FALSE(plain.omit_first_page || plain.compile || plain.verbose);
  EXPECT_EQ(plain.caption, "");
}

}  // namespace
}  // namespace quillark
