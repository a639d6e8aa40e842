#include "quillark/command_line.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/files.h"

namespace quillark {
namespace {

using Table = std::vector<std::pair<std::string, std::string>>;

Table AsPairs(const CommandLineTable& table) {
  Table pairs;
  for (const CommandLineEntry& entry : table) pairs.emplace_back(entry.switch_text, entry.value);
  return pairs;
}

struct LineCase {
  std::string line;
  Table expected;
};

class SplitCommandLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(SplitCommandLineTest, GivesPairs) {
  EXPECT_EQ(AsPairs(SplitCommandLine(GetParam().line)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCommandLineTest,
    testing::Values(LineCase{"-i=book -g=hlp", {{"-i", "book"}, {"-g", "hlp"}}},
                    LineCase{"  -c -g HLP", {{"-c", ""}, {"-g", "HLP"}}},
                    LineCase{"/c /g HLP", {{"/c", ""}, {"/g", "HLP"}}},
                    LineCase{"-c \"say \"\"hi\"\" now\" -g x",
                             {{"-c", "\"say \"hi\" now\""}, {"-g", "x"}}},
                    LineCase{"-c 'My Help' -g RTF", {{"-c", "'My"}, {"Help'", ""}, {"-g", "RTF"}}},
                    LineCase{"-c \"-dash\"", {{"-c", "\"-dash\""}}},
                    LineCase{"-i book\tx -v", {{"-i", "book\tx"}, {"-v", ""}}},
                    LineCase{"\"two words\" -i b", {{"\"two words\"", ""}, {"-i", "b"}}},
                    LineCase{"-c \"open", {{"-c", "\"open"}}},
                    LineCase{"-c a=b", {{"-c", "a"}, {"", ""}, {"b", ""}}}, LineCase{"", {}},
                    LineCase{std::string("-i a\0-g b", 9), {{"-i", "a"}}}));

TEST(SkipProgramName, SkipsQuotedAndPlainNames) {
  EXPECT_EQ(SkipProgramName("\"C:\\Program Files\\q.exe\" -i x"), " -i x");
  EXPECT_EQ(SkipProgramName("q.exe  -i x"), "  -i x");
  EXPECT_EQ(SkipProgramName("\"unclosed"), "");
}

struct ArgumentsCase {
  std::vector<std::string> arguments;
  Table expected;
};

class SplitArgumentsTest : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(SplitArgumentsTest, GivesPairs) {
  EXPECT_EQ(AsPairs(SplitArguments(GetParam().arguments)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, SplitArgumentsTest,
    testing::Values(ArgumentsCase{{"-i=book", "-g=hlp"}, {{"-i", "book"}, {"-g", "hlp"}}},
                    ArgumentsCase{{"-c", "-g", "HLP"}, {{"-c", ""}, {"-g", "HLP"}}},
                    ArgumentsCase{{"-i", "/home/me/docs/book"}, {{"-i", "/home/me/docs/book"}}},
                    ArgumentsCase{{"-c", "My Help", "-v"}, {{"-c", "My Help"}, {"-v", ""}}},
                    ArgumentsCase{{"-c=-x", "y"}, {{"-c", "-x"}, {"y", ""}}},
                    ArgumentsCase{{"-c=", "foo"}, {{"-c", "foo"}}},
                    ArgumentsCase{{"-c", "'My", "Help'"}, {{"-c", "'My"}, {"Help'", ""}}},
                    ArgumentsCase{{"-c", "", "-v"}, {{"-c", ""}, {"-v", ""}}},
                    ArgumentsCase{{"/h", "x"}, {{"/h", ""}, {"x", ""}}},
                    ArgumentsCase{{"-c", "a=b"}, {{"-c", "a=b"}}}));

TEST(SplitArguments, KeepsFiftyEntriesAndCutsAt255) {
  std::vector<std::string> arguments(60, "-v");
  arguments[0] = "-c";
  arguments.insert(arguments.begin() + 1, std::string(300, 'x'));
  const CommandLineTable table = SplitArguments(arguments);
  ASSERT_EQ(table.size(), 50u);
  EXPECT_EQ(table[0].value, std::string(255, 'x'));
}

struct LookupCase {
  std::vector<std::string> arguments;
  std::string name;
  bool found;
  std::string value;
};

class LookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(LookupTest, FindsFirstMatch) {
  const CommandLineTable table = SplitArguments(GetParam().arguments);
  EXPECT_EQ(HasSwitch(table, GetParam().name, true), GetParam().found);
  EXPECT_EQ(GetSwitchValue(table, GetParam().name, true, true), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, LookupTest,
    testing::Values(LookupCase{{"-i", "book", "-i", "other"}, "-i", true, "book"},
                    LookupCase{{"-I", "book"}, "-i", true, "book"},
                    LookupCase{{"--i", "book"}, "-i", false, ""},
                    LookupCase{{"-co", "x"}, "-c", false, ""},
                    LookupCase{{"-c", "\"a\"b\""}, "-c", true, "a\"b"},
                    LookupCase{{"-c", "'My Help'"}, "-c", true, "My Help"},
                    LookupCase{{"-c", "'My"}, "-c", true, "'My"},
                    LookupCase{{"-c", "\"'x'\""}, "-c", true, "'x'"},
                    LookupCase{{"-c", "\""}, "-c", true, "\""},
                    LookupCase{{"-gx"}, "-g", false, ""}, LookupCase{{"/v"}, "-v", false, ""}));

TEST(GetSwitchValue, ExactCaseWhenAsked) {
  const CommandLineTable table = SplitArguments({"-C", "\"x\""});
  EXPECT_FALSE(HasSwitch(table, "-c", false));
  EXPECT_EQ(GetSwitchValue(table, "-C", false, false), "\"x\"");
}

TEST(UsageText, HasItsFortySevenLines) {
  const std::string text = UsageText("\n");
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  ASSERT_EQ(lines.size(), 47u);
  EXPECT_EQ(start, text.size());
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[2], "  Quillark -h");
  EXPECT_EQ(lines[8], "          [-bc <ButtonCaption> -bw <ButtonWebsite>]");
  EXPECT_EQ(lines[20], "codes as defined in the main Quillark help file.");
  EXPECT_EQ(lines[43], "compiling the output.");
  EXPECT_EQ(lines[46], "");
}

constexpr char kHint[] = "Use \"Quillark -h\" for help.\n";
constexpr char kNotSpecified[] = "The input file or the output format was not specified.\n";
constexpr char kNotFullPath[] =
    "The input file should be a full path including a drive letter, \n"
    "or just as a filename on its own.\n";

// Runs each case in a fresh folder holding book.txt (2 bytes), empty.txt
// (0 bytes) and docs/guide.txt.
class ReadCommandLineTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillark_cmdline_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    previous_ = previous;
    ASSERT_EQ(chdir(folder_.c_str()), 0);
    Write("book.txt", "x\n");
    Write("empty.txt", "");
    ASSERT_EQ(mkdir("docs", 0755), 0);
    Write("docs/guide.txt", "x\n");
    cwd_ = runtime::CurrentDirectory();
  }
  void TearDown() override {
    ASSERT_EQ(chdir(previous_.c_str()), 0);
    std::string command = "rm -rf '" + folder_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  static void Write(const char* name, const char* text) {
    FILE* file = std::fopen(name, "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(text, file);
    std::fclose(file);
  }
  static CommandLineOutcome Read(const std::vector<std::string>& arguments) {
    return ReadCommandLine(SplitArguments(arguments));
  }

  std::string folder_;
  std::string previous_;
  std::string cwd_;
};

TEST_F(ReadCommandLineTest, HelpOnlyAsFirstArgument) {
  for (const char* first : {"/?", "-?", "/h", "-H"}) {
    const CommandLineOutcome outcome = Read({first, "-i", "book", "-g", "HLP"});
    EXPECT_EQ(outcome.console_text, UsageText("\n")) << first;
    EXPECT_EQ(outcome.exit_status, 0);
    EXPECT_FALSE(outcome.options.has_value());
  }
  const CommandLineOutcome later = Read({"-i", "book", "-g", "HLP", "-h"});
  EXPECT_EQ(later.console_text, "");
  ASSERT_TRUE(later.options.has_value());
  EXPECT_EQ(later.options->input, cwd_ + "/book");
}

struct RefusalCase {
  std::vector<std::string> arguments;
  std::string message;
};

class RefusalTest : public ReadCommandLineTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, ShowsMessageAndHint) {
  const CommandLineOutcome outcome = Read(GetParam().arguments);
  EXPECT_EQ(outcome.console_text, GetParam().message + kHint);
  EXPECT_EQ(outcome.exit_status, 2);
  EXPECT_FALSE(outcome.options.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusalTest,
    testing::Values(RefusalCase{{}, kNotSpecified}, RefusalCase{{"-i", "book"}, kNotSpecified},
                    RefusalCase{{"-i", "-g", "HLP"}, kNotSpecified},
                    RefusalCase{{"-i", "docs/", "-g", "HLP"}, kNotFullPath},
                    RefusalCase{{"-i", ".txt", "-g", "HLP"}, kNotFullPath},
                    RefusalCase{{"-i", "empty", "-g", "HLP"},
                                "The input file \"empty.txt\" is empty or cannot be found.\n"},
                    RefusalCase{{"-i", "book.txt", "-g", "HLP"},
                                "The input file \"book.txt.txt\" is empty or cannot be found.\n"},
                    RefusalCase{{"-i", "docs", "-g", "HLP"},
                                "The input file \"docs.txt\" is empty or cannot be found.\n"},
                    RefusalCase{
                        {"-i", "book", "-g", "PDF"},
                        "The -g option must be used to specify HLP, RTF, CHM, HTML or NONE.\n"}));

TEST_F(ReadCommandLineTest, CompletesInputNames) {
  EXPECT_EQ(Read({"-i", "book", "-g", "hlp"}).options->input, cwd_ + "/book");
  EXPECT_EQ(Read({"-i", "docs/guide", "-g", "html"}).options->input, cwd_ + "/docs/guide");
  const std::string full = cwd_ + "/docs/guide";
  EXPECT_EQ(Read({"-i", full, "-g", "None"}).options->input, full);
  EXPECT_EQ(Read({"-i", "book", "-i", "other", "-g", "RTF"}).options->input, cwd_ + "/book");
}

TEST_F(ReadCommandLineTest, HandsOverEveryOption) {
  const CommandLineOutcome outcome =
      Read({"-i=book",    "-c",       "My Help", "-co", "'(c) me'", "-f",        "Verdana,12",
            "-h3",        "Tahoma,9", "-bc",     "Web", "-bw",      "https://x", "-header",
            "top<page/>", "-footer",  "end\\n",  "-OP", "-g=cHm",   "-gx",       "-v"});
  ASSERT_TRUE(outcome.options.has_value());
  const CompilerOptions& options = *outcome.options;
  EXPECT_EQ(options.caption, "My Help");
  EXPECT_EQ(options.copyright, "(c) me");
  EXPECT_EQ(options.font, "Verdana,12");
  EXPECT_EQ(options.heading_fonts[0], "");
  EXPECT_EQ(options.heading_fonts[2], "Tahoma,9");
  EXPECT_EQ(options.button_caption, "Web");
  EXPECT_EQ(options.button_website, "https://x");
  EXPECT_EQ(options.header, "top<page/>");
  EXPECT_EQ(options.footer, "end\\n");
  EXPECT_TRUE(options.omit_first_page);
  EXPECT_EQ(options.format, "cHm");
  EXPECT_TRUE(options.compile);
  EXPECT_TRUE(options.verbose);

  const CompilerOptions plain = *Read({"-i", "book", "-g", "NONE"}).options;
  EXPECT_FALSE(plain.omit_first_page || plain.compile || plain.verbose);
  EXPECT_EQ(plain.caption, "");
}

TEST_F(ReadCommandLineTest, RunCommandLineWritesRefusalAndReturnsTwo) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunCommandLine(std::vector<std::string>{}), 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(kNotSpecified) + kHint);
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunCommandLine(std::vector<std::string>{"-h"}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), UsageText("\n"));
}

}  // namespace
}  // namespace quillark
