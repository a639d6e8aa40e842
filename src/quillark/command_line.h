// The command line: splitting into switch/value pairs, switch lookup, the
// usage text and the checks made before a compilation starts.
#ifndef QUILLARK_QUILLARK_COMMAND_LINE_H_
#define QUILLARK_QUILLARK_COMMAND_LINE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "helpreader/compilation.h"

namespace quillark {

struct CommandLineEntry {
  std::string switch_text;  // as typed, with its "-" (a quoted token keeps its quotes)
  std::string value;        // the token after the switch, or empty
};

// At most 50 entries; switches cut at 255 characters, values kept whole.
using CommandLineTable = std::vector<CommandLineEntry>;

// The raw command line with the program's own name (quoted or not) skipped.
std::string_view SkipProgramName(std::string_view line);
// Splits one command line string (without the program name) as typed.
CommandLineTable SplitCommandLine(std::string_view line);
// Builds the table from arguments already split by the shell: each argument
// is one token, "=" still separates a switch from its value.
CommandLineTable SplitArguments(const std::vector<std::string>& arguments);

std::string GetSwitchValue(const CommandLineTable& table, std::string_view name, bool strip_quotes,
                           bool ignore_case);
bool HasSwitch(const CommandLineTable& table, std::string_view name, bool ignore_case);

// The usage text, every line ended by `line_end`.
std::string UsageText(std::string_view line_end);
// "Quillark <version>" ended by `line_end`, shown for "--version".
std::string VersionText(std::string_view line_end);

// What a command line asks for: the console text to show first, then either
// the exit status to end with, or the options of the compilation to run.
struct CommandLineOutcome {
  std::string console_text;
  int exit_status = 0;
  std::optional<CompilerOptions> options;
};

// Reads the options and makes every check; runs nothing.
CommandLineOutcome ReadCommandLine(const CommandLineTable& table);

// Reads the arguments, checks them, and runs the compilation. Returns the
// exit status: 0 finished or usage shown, 1 ended by a fatal report, 2 refused.
int RunCommandLine(const std::vector<std::string>& arguments);
int RunCommandLine(const CommandLineTable& table);

}  // namespace quillark

#endif  // QUILLARK_QUILLARK_COMMAND_LINE_H_
