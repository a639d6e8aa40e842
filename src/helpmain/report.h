// Reports: one line each in the listing file. A fatal report ends the run at
// once with exit status 1; warnings and errors never stop it.
#ifndef QUILLARK_HELPMAIN_REPORT_H_
#define QUILLARK_HELPMAIN_REPORT_H_

#include <string>
#include <string_view>

namespace quillark {

inline constexpr char kWarning = 'W';
inline constexpr char kError = 'E';
inline constexpr char kFatal = 'F';

inline constexpr int kExitFinished = 0;
inline constexpr int kExitFatal = 1;
inline constexpr int kExitRefused = 2;

// "Warning" for W/w, "Fatal" for F/f, "Error" for anything else.
std::string_view KindWord(char kind);
bool IsFatalKind(char kind);

// "{file}({line:5}): {Kind} : ", the "({line})" part only for line > 0, cut
// to 255 characters.
std::string FormatMessagePrefix(std::string_view file, int line, char kind);

// Prefix plus message, cut to 255 characters: one report line.
std::string FormatReportLine(std::string_view file, int line, char kind, std::string_view message);

// Reports `text` unless `condition` holds: appends it (with CR LF unless it
// already ends with a line feed) to the listing file, or writes it to standard
// error when no listing file is named. A fatal kind then ends the process.
// A listing file that cannot be written is itself a fatal failure, told on
// standard error.
void ReportMessage(bool condition, const std::string& listing_file, char kind,
                   std::string_view text);

// Ends the process for a fatal report (exit status 1), flushing the console.
[[noreturn]] void EndRunFatally();

// The end of a run: the "{source}: 0 errors." line when the listing file is
// missing or empty, else its lines sorted case-insensitively with adjacent
// duplicates removed.
void FinishListing(const std::string& listing_file, const std::string& source_file);
// Sorts the lines of a listing file in place (shell sort, folding A-Z to
// lower case, duplicates removed, the first line's line end kept).
void SortListingFile(const std::string& listing_file);

}  // namespace quillark

#endif  // QUILLARK_HELPMAIN_REPORT_H_
