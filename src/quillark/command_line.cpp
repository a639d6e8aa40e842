#include "quillark/command_line.h"

#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "helpmain/report.h"
#include "helpwriter/file_names.h"
#include "quillark/version.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kMaxEntries = 50;
// Switches are short; values are kept whole (a path may be long, and each
// setting cuts its own value to its own limit).
constexpr std::size_t kTokenLimit = 255;
constexpr std::string_view kProgramName = "Quillark";

// On Windows the C runtime writes standard output in text mode and turns this
// "\n" into CR LF, as it does for the driver's pass lines.
constexpr std::string_view kConsoleLineEnd = "\n";

bool IsSlashOrDash(char c) { return c == '-' || c == '/'; }

// The character that introduces a switch: "-", and on Windows also "/". A
// POSIX value may therefore begin with "/", as a full path does.
bool IsSwitchStart(char c) {
#ifdef _WIN32
  return IsSlashOrDash(c);
#else
  return c == '-';
#endif
}

bool BeginsSwitch(std::string_view token) { return !token.empty() && IsSwitchStart(token[0]); }

void StoreEntry(CommandLineTable& table, std::string_view switch_text, std::string_view value) {
  if (table.size() >= kMaxEntries) return;
  table.push_back({runtime::Truncate(switch_text, kTokenLimit), std::string(value)});
}

// A quoted token keeps its quotes; a doubled quote inside stands for one.
std::string ReadQuotedToken(std::string_view line, std::size_t& pos) {
  std::string token(1, '"');
  ++pos;
  while (pos < line.size()) {
    const char c = line[pos++];
    token.push_back(c);
    if (c != '"') continue;
    if (pos < line.size() && line[pos] == '"') {
      ++pos;
      continue;
    }
    break;
  }
  return token;
}

// Only a blank and "=" end an unquoted token; a tab is part of it.
std::string ReadToken(std::string_view line, std::size_t& pos) {
  if (pos < line.size() && line[pos] == '"') return ReadQuotedToken(line, pos);
  const std::size_t start = pos;
  while (pos < line.size() && line[pos] != ' ' && line[pos] != '=') ++pos;
  return std::string(line.substr(start, pos - start));
}

// The value with one pair of enclosing double quotes, else single quotes, removed.
std::string StripQuotes(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return std::string(value.substr(1, value.size() - 2));
  }
  if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
    return std::string(value.substr(1, value.size() - 2));
  }
  return std::string(value);
}

const CommandLineEntry* FindSwitch(const CommandLineTable& table, std::string_view name,
                                   bool ignore_case) {
  std::string_view key = name;
  if (!key.empty() && IsSlashOrDash(key[0])) key.remove_prefix(1);
  const std::string upper_key = runtime::UpperAscii(key);
  const std::size_t count = table.size() < kMaxEntries ? table.size() : kMaxEntries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& text = table[i].switch_text;
    if (!BeginsSwitch(text)) continue;
    const std::string_view rest = std::string_view(text).substr(1);
    if (ignore_case ? runtime::UpperAscii(rest) == upper_key : rest == key) return &table[i];
  }
  return nullptr;
}

bool IsNameSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

// What stands after the last separator and before the last dot after it.
std::string_view NamePart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsNameSeparator(path[i])) start = i + 1;
  }
  std::string_view name = path.substr(start);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

#ifdef _WIN32
bool HasDrive(std::string_view path) {
  return path.size() >= 2 && runtime::IsAsciiLetter(path[0]) && path[1] == ':';
}

bool HasDirectory(std::string_view path) {
  for (char c : path) {
    if (IsNameSeparator(c)) return true;
  }
  return false;
}

// A drive, a directory from the root, and a name; or a bare name on its own.
bool IsAcceptedInputName(std::string_view name) {
  if (NamePart(name).empty()) return false;
  if (HasDrive(name)) return name.size() > 2 && IsNameSeparator(name[2]);
  return !HasDirectory(name);
}

bool IsCompleteInputName(std::string_view name) { return HasDrive(name); }
#else
// Any name with a non-empty name part: a relative path is resolved against
// the current directory like a bare name.
bool IsAcceptedInputName(std::string_view name) { return !NamePart(name).empty(); }

bool IsCompleteInputName(std::string_view name) { return !name.empty() && name[0] == '/'; }
#endif

std::string CompleteInputName(const std::string& name) {
  if (IsCompleteInputName(name)) return name;
  std::string full = runtime::CurrentDirectory();
  if (full.empty() || !IsNameSeparator(full.back())) full.push_back(runtime::kPathSeparator);
  return full + name;
}

bool IsKnownFormat(std::string_view format) {
  const std::string upper = runtime::UpperAscii(format);
  return upper == "HLP" || upper == "RTF" || upper == "CHM" || upper == "HTML" || upper == "NONE";
}

bool IsHelpRequest(const CommandLineTable& table) {
  if (table.empty()) return false;
  const std::string first = runtime::UpperAscii(table.front().switch_text);
  return first == "/H" || first == "-H" || first == "/?" || first == "-?";
}

// The refusal: its own lines, then the hint line.
CommandLineOutcome Refuse(std::initializer_list<std::string_view> lines) {
  CommandLineOutcome outcome;
  for (std::string_view line : lines) {
    outcome.console_text.append(line);
    outcome.console_text.append(kConsoleLineEnd);
  }
  outcome.console_text.append("Use \"");
  outcome.console_text.append(kProgramName);
  outcome.console_text.append(" -h\" for help.");
  outcome.console_text.append(kConsoleLineEnd);
  outcome.exit_status = kExitRefused;
  return outcome;
}

// The characters a run's names may not hold, with the reason: a double quote
// would end a quoted value in a project file or an attribute in a page, a
// control character a line of a project file; and the project files of WinHelp
// and HTML Help use "\" between folders, so on POSIX, where "\" is a
// character of a name, such a name cannot be written into them.
std::string NameCharacterRefusal(const std::string& input, std::string_view format) {
  for (char c : input) {
    if (c == '"') return "The input file name may not contain a double quote.";
    if (static_cast<unsigned char>(c) < 32) {
      return "The input file name may not contain control characters.";
    }
  }
#ifndef _WIN32
  const std::string upper = runtime::UpperAscii(format);
  const std::string_view named = upper == "HLP"   ? std::string_view(input)
                                 : upper == "CHM" ? NamePart(input)
                                                  : "";
  if (named.find('\\') != std::string_view::npos) {
    return "The project files of the " + upper +
           " format use \"\\\" between folders: the input file name may not contain a \"\\\".";
  }
#else
  (void)format;
#endif
  return "";
}

// The values written into project, contents and index files, whose lines a
// control character would break. The HLP project quotes the extra button's
// caption and website with "'", which its syntax cannot escape.
std::string ValueCharacterRefusal(const CompilerOptions& options) {
  const struct {
    const char* what;
    const std::string& value;
    bool quoted_in_hlp;
  } values[] = {{"caption (-c)", options.caption, false},
                {"copyright (-co)", options.copyright, false},
                {"button caption (-bc)", options.button_caption, true},
                {"button website (-bw)", options.button_website, true}};
  const bool hlp = runtime::UpperAscii(options.format) == "HLP";
  for (const auto& [what, value, quoted_in_hlp] : values) {
    for (char c : value) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 32 || byte == 127) {
        return "The " + std::string(what) + " may not contain control characters.";
      }
    }
    if (hlp && quoted_in_hlp && value.find('\'') != std::string::npos) {
      return "The HLP project quotes the " + std::string(what) +
             " with \"'\": it may not contain one.";
    }
  }
  return "";
}

CompilerOptions OptionsOf(const CommandLineTable& table) {
  auto value = [&table](std::string_view name) { return GetSwitchValue(table, name, true, true); };
  CompilerOptions options;
  options.input = value("-i");
  options.caption = value("-c");
  options.copyright = value("-co");
  options.font = value("-f");
  static constexpr std::string_view kHeadingSwitches[6] = {"-h1", "-h2", "-h3",
                                                           "-h4", "-h5", "-h6"};
  for (int i = 0; i < 6; ++i) options.heading_fonts[i] = value(kHeadingSwitches[i]);
  options.button_caption = value("-bc");
  options.button_website = value("-bw");
  options.header = value("-header");
  options.footer = value("-footer");
  options.omit_first_page = HasSwitch(table, "-op", true);
  options.format = value("-g");
  options.compile = HasSwitch(table, "-gx", true);
  options.verbose = HasSwitch(table, "-v", true);
  return options;
}

}  // namespace

std::string_view SkipProgramName(std::string_view line) {
  std::size_t pos = 0;
  if (!line.empty() && line[0] == '"') {
    const std::size_t close = line.find('"', 1);
    pos = close == std::string_view::npos ? line.size() : close + 1;
  } else {
    while (pos < line.size() && static_cast<unsigned char>(line[pos]) > 32) ++pos;
  }
  return line.substr(pos);
}

CommandLineTable SplitCommandLine(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  std::size_t pos = 0;
  while (pos < line.size() && static_cast<unsigned char>(line[pos]) <= 32) ++pos;
  CommandLineTable table;
  while (pos < line.size()) {
    const std::string switch_text = ReadToken(line, pos);
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '=')) ++pos;
    std::string value;
    // A switch followed by another switch has no value.
    if (pos < line.size() && !switch_text.empty() && IsSlashOrDash(switch_text[0]) &&
        !IsSlashOrDash(line[pos])) {
      value = ReadToken(line, pos);
    }
    while (pos < line.size() && line[pos] == ' ') ++pos;
    StoreEntry(table, switch_text, value);
  }
  return table;
}

CommandLineTable SplitArguments(const std::vector<std::string>& arguments) {
  CommandLineTable table;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& token = arguments[i];
    if (!BeginsSwitch(token)) {
      StoreEntry(table, token, "");
      continue;
    }
    // "-g=html": what follows the first "=" is the value, whatever it begins with.
    const std::size_t equals = token.find('=');
    std::string_view switch_text = token;
    std::string_view value;
    if (equals != std::string::npos) {
      switch_text = switch_text.substr(0, equals);
      value = std::string_view(token).substr(equals + 1);
    }
    if (value.empty() && i + 1 < arguments.size() && !BeginsSwitch(arguments[i + 1])) {
      value = arguments[++i];
    }
    StoreEntry(table, switch_text, value);
  }
  return table;
}

std::string GetSwitchValue(const CommandLineTable& table, std::string_view name, bool strip_quotes,
                           bool ignore_case) {
  const CommandLineEntry* entry = FindSwitch(table, name, ignore_case);
  if (entry == nullptr) return "";
  return strip_quotes ? StripQuotes(entry->value) : entry->value;
}

bool HasSwitch(const CommandLineTable& table, std::string_view name, bool ignore_case) {
  return FindSwitch(table, name, ignore_case) != nullptr;
}

std::string UsageText(std::string_view line_end) {
  const std::string program(kProgramName);
  const std::string indent = "          ";
  const std::string lines[] = {
      "",
      "Converts text files into formatted help files. Usage:",
      "  " + program + " -h",
      "  " + program + " -i <file>",
      indent + "[-c <caption>]",
      indent + "[-co <copyright>]",
      indent + "[-f <font>]",
      indent + "[-hN <font>]",
      indent + "[-bc <ButtonCaption> -bw <ButtonWebsite>]",
      indent + "[-header <text>]",
      indent + "[-footer <text>]",
      indent + "[-op]",
      indent + "-g <format>",
      indent + "[-gx]",
      indent + "[-v]",
      "",
      "-h ... Displays this help message.",
      "",
      "-i ... Specifies <file> is the input text file. The <file> element does",
      "not require the TXT extension to be included. The input file contains tag",
      "codes as defined in the main " + program + " help file.",
      "",
      "-c ... Specifies the <caption> of the help file window.",
      "",
      "-co ... Specifies the <copyright> element of the help file.",
      "",
      "-f ... Specifies the <font> of the help file text, contents and index.",
      "",
      "-hN ... Specifies the <font> of headings level 1 to 6.",
      "",
      "-bc ... Caption of an extra button to be put into the help file window.",
      "",
      "-bw ... Website linked to by the extra button.",
      "",
      "-header ... Specifies the header at the top of each page.",
      "",
      "-footer ... Specifies the footer at the bottom of each page.",
      "",
      "-op ... Omits header and footer from the first page.",
      "",
      "-g ... Specifies the output format which can be HLP, RTF, CHM, HTML or NONE.",
      "",
      "-gx ... Where applicable, calls the Microsoft help compiler to finish",
      "compiling the output.",
      "",
      "-v ... Use verbose output, which dumps the internal tables to the list file.",
      "",
  };
  std::string text;
  for (const std::string& line : lines) {
    text.append(line);
    text.append(line_end);
  }
  return text;
}

std::string VersionText(std::string_view line_end) {
  std::string text(kProgramName);
  text += ' ';
  text += kVersion;
  text += line_end;
  return text;
}

CommandLineOutcome ReadCommandLine(const CommandLineTable& table) {
  // Only this exact spelling, and only first, so that scripts and bug reports
  // can name the build; every other doubled-dash switch still names nothing.
  if (!table.empty() && table.front().switch_text == "--version") {
    CommandLineOutcome outcome;
    outcome.console_text = VersionText(kConsoleLineEnd);
    outcome.exit_status = kExitFinished;
    return outcome;
  }
  if (IsHelpRequest(table)) {
    CommandLineOutcome outcome;
    outcome.console_text = UsageText(kConsoleLineEnd);
    outcome.exit_status = kExitFinished;
    return outcome;
  }
  CompilerOptions options = OptionsOf(table);
  if (options.input.empty() || options.format.empty()) {
    return Refuse({"The input file or the output format was not specified."});
  }
  if (!IsAcceptedInputName(options.input)) {
    return Refuse({"The input file should be a full path including a drive letter, ",
                   "or just as a filename on its own."});
  }
  // The extension is always added, so book.txt names the file book.txt.txt.
  if (runtime::FileSize(options.input + ".txt") <= 0) {
    return Refuse({"The input file \"" + options.input + ".txt\" is empty or cannot be found."});
  }
  if (!IsKnownFormat(options.format)) {
    return Refuse({"The -g option must be used to specify HLP, RTF, CHM, HTML or NONE."});
  }
  options.input = CompleteInputName(options.input);
  if (const std::string refusal = NameCharacterRefusal(options.input, options.format);
      !refusal.empty()) {
    return Refuse({refusal});
  }
  if (const std::string refusal = ValueCharacterRefusal(options); !refusal.empty()) {
    return Refuse({refusal});
  }
  // Every name the run forms must fit the system, or two of them could end up
  // as one file; a name that does not is refused before anything is touched.
  const std::size_t longest =
      LongestName(BuildFileNames(FormatFromName(options.format), options.input));
  if (longest > runtime::kMaxPathLength) {
    return Refuse({"The input file name \"" + options.input + "\" makes a file name of " +
                   std::to_string(longest) + " characters; the system takes at most " +
                   std::to_string(runtime::kMaxPathLength) + "."});
  }
  CommandLineOutcome outcome;
  outcome.options = std::move(options);
  return outcome;
}

int RunCommandLine(const CommandLineTable& table) {
  const CommandLineOutcome outcome = ReadCommandLine(table);
  if (!outcome.console_text.empty()) {
    std::fwrite(outcome.console_text.data(), 1, outcome.console_text.size(), stdout);
    std::fflush(stdout);
  }
  if (!outcome.options.has_value()) return outcome.exit_status;
  return RunCompilation(*outcome.options);
}

int RunCommandLine(const std::vector<std::string>& arguments) {
  return RunCommandLine(SplitArguments(arguments));
}

}  // namespace quillark
