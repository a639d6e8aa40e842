// What must hold after any run of quillark on a generated source, and what
// more must hold when the source was well-formed.
#ifndef QUILLARK_TESTS_E2E_RANDOMIZED_RUN_CHECKS_H_
#define QUILLARK_TESTS_E2E_RANDOMIZED_RUN_CHECKS_H_

#include <string>
#include <vector>

#include "e2e/randomized/guarded_run.h"
#include "e2e/randomized/random_source.h"

namespace quillark::e2e {

struct RunPlan {
  std::string format;  // NONE, HLP, RTF, CHM or HTML
  bool compile = false;
  bool verbose = false;
  std::vector<std::string> options;  // the rest of the command line
  // A full path near or over 255 characters, or an input name with "*", "?",
  // a quote or a backslash: the program may refuse it (status 2) before it
  // touches anything.
  bool may_refuse = false;
};

// Where one run happens: the source folder lies inside a parent folder that
// is pictured whole, so that anything written or deleted beside it shows.
struct RunLayout {
  std::string root;        // the parent folder
  std::string source_dir;  // the source folder, relative to root
  std::string input_path;  // the full input path, without ".txt"
};

struct Violation {
  std::string kind;  // a short word that groups violations of one rule
  std::string detail;
};

struct RunEvidence {
  GuardedResult result;
  TreePicture parent_before;  // the parent, less the source folder
  TreePicture parent_after;
  TreePicture folder_before;  // the source folder
  TreePicture folder_after;
};

std::vector<Violation> CheckRun(const GeneratedSource& source, const RunPlan& plan,
                                const RunLayout& layout, const RunEvidence& evidence);

// The lines of a listing, without their CR LF.
std::vector<std::string> ListingLines(const std::string& text);
// How many of the listing's lines are reports: those before the table dump
// that -v appends.
std::size_t ReportLineCount(const std::vector<std::string>& lines);

// Relative link targets in an HTML page or sitemap (href, src and the Local
// parameter), without their "#" part; web, mail and script links left out.
std::vector<std::string> LocalLinks(const std::string& page);

// The entries of one "[SECTION]" of a project file, one per non-empty line.
std::vector<std::string> SectionLines(const std::string& project, const std::string& section);

}  // namespace quillark::e2e

#endif  // QUILLARK_TESTS_E2E_RANDOMIZED_RUN_CHECKS_H_
