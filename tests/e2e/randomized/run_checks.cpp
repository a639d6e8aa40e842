#include "e2e/randomized/run_checks.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>

#include "e2e/e2e_support.h"

namespace quillark::e2e {
namespace {

namespace fs = std::filesystem;

bool Has(std::string_view text, std::string_view piece) {
  return text.find(piece) != std::string_view::npos;
}

std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  return text;
}

bool IsFile(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

// The bytes of a file in a picture, or nothing when it is not a file there.
std::optional<std::string_view> Bytes(const TreePicture& picture, const std::string& relative) {
  const auto found = picture.find(relative);
  if (found == picture.end() || found->second.rfind("f:", 0) != 0) return std::nullopt;
  return std::string_view(found->second).substr(2);
}

// What the checks of one run share.
struct Run {
  const GeneratedSource& source;
  const RunPlan& plan;
  const RunLayout& layout;
  const RunEvidence& evidence;
  std::vector<Violation>& violations;

  std::string folder() const { return layout.root + "/" + layout.source_dir + "/"; }
  // The input name and the name part without its last extension.
  std::string input_name() const { return source.name; }
  std::string name_part() const {
    const std::size_t dot = source.name.rfind('.');
    return dot == std::string::npos ? source.name : source.name.substr(0, dot);
  }
  std::string listing() const {
    return std::string(Bytes(evidence.folder_after, input_name() + ".lst").value_or(""));
  }
  bool listing_exists() const {
    return Bytes(evidence.folder_after, input_name() + ".lst").has_value();
  }
  void Fail(const std::string& kind, const std::string& detail) const {
    violations.push_back({kind, detail});
  }
  std::vector<std::string> Warnings() const {
    std::vector<std::string> warnings;
    const std::vector<std::string> lines = ListingLines(listing());
    for (std::size_t i = 0; i < ReportLineCount(lines); ++i) {
      if (Has(lines[i], ": Warning : ")) warnings.push_back(lines[i]);
    }
    return warnings;
  }
  // Whether a warning says that the file the source names (a picture, a
  // passed-through file), seen here as `path_or_link`, is missing or has no
  // proper name. A warning cut at 255 characters names a prefix of it, or
  // of its path in the source folder.
  bool WarnedMissingFile(const std::string& path_or_link) const {
    const std::string base = fs::path(path_or_link).filename().string();
    for (const std::string& line : Warnings()) {
      for (const std::string form : {"does not exist \"", "Invalid file name \""}) {
        const std::size_t start = line.find(form);
        if (start == std::string::npos) continue;
        std::string named = line.substr(start + form.size());
        if (!named.empty() && named.back() == '"') {
          named.pop_back();
          if (named == path_or_link || fs::path(named).filename().string() == base) return true;
        } else if (named.size() >= 8 &&
                   (Has(path_or_link, named) || (folder() + path_or_link).rfind(named, 0) == 0)) {
          // A deep source folder may fill the cut warning before the
          // name itself begins.
          return true;
        }
      }
    }
    return false;
  }
  // Whether a warning says that topic `key` has a name that makes no page.
  bool WarnedTopic(const std::string& key) const {
    const std::string lower = Lower(key);
    for (const std::string& line : Warnings()) {
      const std::string text = Lower(line);
      if (Has(text, "invalid topic name \"" + lower + "\"") ||
          Has(text, "undefined topic " + lower)) {
        return true;
      }
    }
    return false;
  }
};

// A line's kind is the first kind word on it: the message after it may
// quote source text that looks like another.
bool IsFatalLine(const std::string& line) {
  std::size_t first = std::string::npos;
  std::string kind;
  for (const char* mark : {": Fatal : ", ": Error : ", ": Warning : "}) {
    const std::size_t at = line.find(mark);
    if (at < first) {
      first = at;
      kind = mark;
    }
  }
  return kind == ": Fatal : " ||
         (kind == ": Error : " &&
          line.compare(first + kind.size(), 24, "Cannot run pre-processor") == 0);
}

void CheckStatus(const Run& run) {
  const GuardedResult& result = run.evidence.result;
  if (!result.started) {
    run.Fail("start", "the program could not be started");
    return;
  }
  if (result.timed_out) {
    run.Fail("hang", "still running after the time limit; killed");
    return;
  }
  if (result.signal != 0) {
    run.Fail("crash", "ended by signal " + std::to_string(result.signal));
    return;
  }
  if (result.exit_status == 2 && run.plan.may_refuse) {
    if (result.out.empty()) run.Fail("status", "refused (status 2) without a word");
    if (!TreeChanges(run.evidence.folder_before, run.evidence.folder_after).empty()) {
      run.Fail("status", "refused (status 2) after touching the source folder");
    }
  } else if (result.exit_status != 0 && result.exit_status != 1) {
    run.Fail("status", "exit status " + std::to_string(result.exit_status));
  }
  for (const char* mark :
       {"AddressSanitizer", "LeakSanitizer", "runtime error:", "terminate called"}) {
    if (Has(result.err, mark)) {
      run.Fail("crash", std::string("standard error holds \"") + mark + "\"");
    }
  }
}

// A fatal report exactly when the status is 1, as the last report; a finished
// run leaves a listing that is one summary line or sorted reports; every line
// ends with CR LF.
void CheckListing(const Run& run) {
  const GuardedResult& result = run.evidence.result;
  if (result.timed_out || result.signal != 0 || result.exit_status == 2) return;
  if (!run.listing_exists()) {
    run.Fail("listing", "no listing file after exit status " + std::to_string(result.exit_status));
    return;
  }
  const std::string text = run.listing();
  const std::vector<std::string> lines = ListingLines(text);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ||
        (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      run.Fail("listing", "a line end other than CR LF at byte " + std::to_string(i));
      break;
    }
  }
  if (!text.empty() && (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)) {
    run.Fail("listing", "the last line has no CR LF");
  }
  int fatal_lines = 0;
  std::size_t last_fatal = 0;
  // The table dump of -v follows the reports; its names may read like one.
  const std::size_t reports = ReportLineCount(lines);
  for (std::size_t i = 0; i < reports; ++i) {
    if (IsFatalLine(lines[i])) {
      ++fatal_lines;
      last_fatal = i;
    }
  }
  if (result.exit_status == 1) {
    // The fatal report ends the reports; only its own detail (the
    // pre-processor's words) may follow it.
    bool report_after = false;
    for (std::size_t i = last_fatal + 1; i < lines.size(); ++i) {
      report_after = report_after || Has(lines[i], ": Warning : ");
    }
    if (fatal_lines == 0 || report_after) {
      run.Fail("fatal-line", "exit status 1 but the listing does not end with a fatal report");
    } else if (fatal_lines > 1) {
      run.Fail("fatal-line", "more than one fatal report");
    }
  } else if (result.exit_status == 0) {
    if (fatal_lines > 0) run.Fail("fatal-line", "exit status 0 with a fatal report in the listing");
    if (lines.empty()) run.Fail("listing", "exit status 0 with an empty listing");
    if (lines.size() > 1 && !run.plan.verbose) {
      for (std::size_t i = 1; i < lines.size(); ++i) {
        if (Lower(lines[i - 1]) >= Lower(lines[i])) {
          run.Fail("listing", "lines " + std::to_string(i) + " and " + std::to_string(i + 1) +
                                  " are not in sorted order");
          break;
        }
      }
    }
  }
}

// Nothing beside the source folder is written, changed or deleted.
void CheckParent(const Run& run) {
  for (const std::string& change :
       TreeChanges(run.evidence.parent_before, run.evidence.parent_after)) {
    run.Fail("outside", "beside the source folder: " + change);
  }
}

// Everything that was in the source folder before the run (the source, the
// files it names, the bystanders) is still there, byte for byte. Only the
// program's own files from earlier runs may go, and there are none.
void CheckFolder(const Run& run) {
  const TreePicture& before = run.evidence.folder_before;
  const TreePicture& after = run.evidence.folder_after;
  for (const auto& [path, content] : before) {
    const auto found = after.find(path);
    if (found == after.end()) {
      run.Fail("bystander", "\"" + path + "\" was deleted");
    } else if (found->second != content) {
      run.Fail("bystander", "\"" + path + "\" was changed");
    }
  }
}

// The files that the run's own lists name exist: the project files' file
// lists, the contents and index, the links of the pages, the final file.
void CheckNamedFiles(const Run& run) {
  const int status = run.evidence.result.exit_status;
  if (status != 0 || run.evidence.result.timed_out) return;
  const std::string folder = run.folder();
  const std::string input = run.layout.input_path;
  const std::string name = run.name_part();
  const std::string& format = run.plan.format;
  // The program's own files must exist; a file the source or the command
  // line names (a picture) may be missing when a warning says so.
  auto expect = [&](const std::string& path, const std::string& named_by, bool user_named = false) {
    if (IsFile(path) || (user_named && run.WarnedMissingFile(path))) return;
    run.Fail("named-file", named_by + " names \"" + path + "\", which does not exist");
  };
  // The key a page of a topic is named after: its file name without the
  // page's ending.
  auto page_key = [](std::string file) {
    file = fs::path(file).filename().string();
    for (const char* tail : {"_example.html", "_example.xhtml", ".html"}) {
      const std::string t = tail;
      if (file.size() > t.size() && file.compare(file.size() - t.size(), t.size(), t) == 0) {
        file.resize(file.size() - t.size());
        break;
      }
    }
    return file;
  };
  // The project lists a page for every topic; a topic whose name the listing
  // warned about gets none.
  auto expect_page = [&](const std::string& path, const std::string& named_by) {
    if (!IsFile(path) && run.WarnedTopic(page_key(path))) return;
    expect(path, named_by);
  };
  auto expect_links = [&](const std::string& page_path) {
    if (!IsFile(page_path)) return;
    const std::string text = ReadFile(page_path);
    const std::string base = fs::path(page_path).parent_path().string() + "/";
    for (const std::string& link : LocalLinks(text)) {
      // A page of a topic whose name the listing warned about may be missing.
      if (!IsFile(base + link) && !run.WarnedMissingFile(link) &&
          !run.WarnedTopic(page_key(link))) {
        const std::string page = fs::path(page_path).filename().string();
        run.Fail("named-file", std::string("\"").append(page).append("\" links to \"") + link +
                                   "\", which does not exist");
      }
    }
  };
  // The help compiler's message, a warning without a file name, tells why
  // there is no final file.
  auto final_warned = [&] {
    for (const std::string& line : run.Warnings()) {
      if (line.rfind(": Warning : ", 0) == 0) return true;
    }
    return false;
  };

  if (format == "HLP") {
    for (const char* ext : {".rtf", ".hpj", ".cnt"}) expect(input + ext, "the HLP run");
    const std::string project = IsFile(input + ".hpj") ? ReadFile(input + ".hpj") : "";
    for (const std::string& file : SectionLines(project, "FILES")) expect(file, "the .hpj [FILES]");
    for (const std::string& file : SectionLines(project, "BITMAPS")) {
      expect(file, "the .hpj [BITMAPS]", true);
    }
    if (run.plan.compile && !final_warned()) expect(input + ".hlp", "-gx");
  } else if (format == "RTF") {
    expect(input + ".rtf", "the RTF run");
    if (run.plan.compile && !final_warned()) expect(input + "_out.rtf", "-gx");
  } else if (format == "CHM") {
    const std::string temp = folder + "temp/";
    for (const char* ext : {".hhp", ".hhc", ".hhk", ".css"})
      expect(temp + name + ext, "the CHM run");
    const std::string project = IsFile(temp + name + ".hhp") ? ReadFile(temp + name + ".hhp") : "";
    for (const std::string& file : SectionLines(project, "FILES")) {
      expect_page(temp + file, "the .hhp [FILES]");
    }
    for (const std::string& line : SectionLines(project, "OPTIONS")) {
      for (const char* key : {"Contents file=", "Index file=", "Default topic="}) {
        if (line.rfind(key, 0) == 0) {
          std::string value = line.substr(std::string(key).size());
          value = value.substr(0, value.find('#'));
          expect_page(temp + value, "the .hhp [OPTIONS]");
        }
      }
    }
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(temp, error)) {
      const std::string ext = entry.path().extension().string();
      if (ext == ".html" || ext == ".xhtml" || ext == ".hhc" || ext == ".hhk") {
        expect_links(entry.path().string());
      }
    }
    if (run.plan.compile && !final_warned()) expect(input + ".chm", "-gx");
  } else if (format == "HTML") {
    const std::string pages = input + "/";
    if (run.plan.compile && !final_warned()) expect(input + ".html", "-gx");
    for (const std::string& file : {std::string("_contents.html"), std::string("_index.html"),
                                    name + ".css", name + ".txt"}) {
      expect(pages + file, "the HTML run");
    }
    const std::string project =
        IsFile(pages + name + ".txt") ? ReadFile(pages + name + ".txt") : "";
    for (const std::string& line : ListingLines(project)) {
      if (line.size() > 5 && line.compare(line.size() - 5, 5, ".html") == 0) {
        expect_page(pages + line, "the HTML project list");
      }
    }
    expect_links(input + ".html");
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(pages, error)) {
      if (entry.path().extension() == ".html") expect_links(entry.path().string());
    }
  }
}

// The program's own files of the run: new in the source folder, less the
// pre-processor file, the listing and the temporary include files.
std::map<std::string, std::string_view> OutputFiles(const Run& run) {
  std::map<std::string, std::string_view> files;
  for (const auto& [path, content] : run.evidence.folder_after) {
    if (run.evidence.folder_before.count(path) != 0 || content.rfind("f:", 0) != 0) continue;
    if (path == run.input_name() + ".pp" || path == run.input_name() + ".lst") continue;
    if (path.rfind("include_", 0) == 0 && path.size() > 4 &&
        path.compare(path.size() - 4, 4, ".tmp") == 0) {
      continue;
    }
    files[path] = std::string_view(content).substr(2);
  }
  return files;
}

// NONE writes nothing but the pre-processor file, the listing and the
// temporary include files.
void CheckNoneWritesNothing(const Run& run) {
  if (run.plan.format != "NONE") return;
  for (const auto& [path, content] : OutputFiles(run)) {
    run.Fail("none-wrote", "format NONE wrote \"" + path + "\"");
  }
}

unsigned FormatBitOf(const std::string& format) {
  if (format == "HLP") return kHlpBit;
  if (format == "RTF") return kRtfBit;
  if (format == "CHM") return kChmBit;
  if (format == "HTML") return kHtmlBit;
  return 0;
}

// A well-formed source compiles with no report, and every word placed in it
// reaches the output it belongs to and no other.
void CheckWellFormed(const Run& run) {
  if (!run.source.well_formed || run.evidence.result.timed_out) return;
  const std::string summary = run.folder() + run.input_name() + ".txt: 0 errors.";
  const std::vector<std::string> lines = ListingLines(run.listing());
  if (run.evidence.result.exit_status != 0) {
    run.Fail("well-formed", "exit status " + std::to_string(run.evidence.result.exit_status));
  }
  const bool only_summary = !lines.empty() && lines[0] == summary;
  if (!only_summary) {
    run.Fail("well-formed", "the listing does not begin with \"" + summary + "\"");
  }
  if (lines.size() > 1 && !run.plan.verbose) {
    run.Fail("well-formed", "the listing holds more than the summary line");
  }
  const unsigned bit = FormatBitOf(run.plan.format);
  const auto outputs = OutputFiles(run);
  for (const Marker& marker : run.source.markers) {
    if ((marker.shown_in & bit) == 0) {
      for (const auto& [path, content] : outputs) {
        if (Has(content, marker.word)) {
          run.Fail("markers", "\"" + marker.word + "\" must not be in the output, but \"" + path +
                                  "\" holds it");
        }
      }
      continue;
    }
    std::string where;
    if (run.plan.format == "HLP" || run.plan.format == "RTF") {
      where = run.input_name() + ".rtf";
    } else if (!marker.page_key.empty()) {
      where = (run.plan.format == "CHM" ? std::string("temp") : run.input_name()) + "/" +
              marker.page_key + ".html";
    }
    if (where.empty()) {
      const bool anywhere = std::any_of(outputs.begin(), outputs.end(), [&](const auto& entry) {
        return Has(entry.second, marker.word);
      });
      if (!anywhere) run.Fail("markers", "\"" + marker.word + "\" reached no output");
      continue;
    }
    const auto found = outputs.find(where);
    if (found == outputs.end()) {
      run.Fail("markers",
               "\"" + where + "\" was not written (it should hold \"" + marker.word + "\")");
    } else if (!Has(found->second, marker.word)) {
      run.Fail("markers", "\"" + where + "\" lacks \"" + marker.word + "\"");
    }
  }
}

}  // namespace

std::vector<std::string> ListingLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::size_t ReportLineCount(const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == std::string(80, '-')) return i;
  }
  return lines.size();
}

std::vector<std::string> LocalLinks(const std::string& page) {
  std::vector<std::string> links;
  auto take = [&](const std::string& value) {
    // What a browser opens: the path before a query or fragment, with its
    // %XX escapes decoded.
    const std::string path = value.substr(0, value.find_first_of("#?"));
    std::string link;
    for (std::size_t i = 0; i < path.size(); ++i) {
      if (path[i] == '%' && i + 2 < path.size() &&
          std::isxdigit(static_cast<unsigned char>(path[i + 1])) &&
          std::isxdigit(static_cast<unsigned char>(path[i + 2]))) {
        link += static_cast<char>(std::stoi(path.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        link += path[i];
      }
    }
    if (link.empty()) return;
    const std::string lower = Lower(link);
    for (const char* scheme :
         {"http:", "https:", "mailto:", "javascript:", "ms-its:", "mk:", "file:"}) {
      if (lower.rfind(scheme, 0) == 0) return;
    }
    if (Has(lower, "://")) return;
    links.push_back(link);
  };
  for (const char* attribute : {"href=\"", "src=\"", "name=\"Local\" value=\""}) {
    const std::string a = attribute;
    for (std::size_t p = page.find(a); p != std::string::npos; p = page.find(a, p + 1)) {
      const std::size_t start = p + a.size();
      const std::size_t end = page.find('"', start);
      if (end == std::string::npos) break;
      take(page.substr(start, end - start));
    }
  }
  return links;
}

std::vector<std::string> SectionLines(const std::string& project, const std::string& section) {
  std::vector<std::string> entries;
  bool inside = false;
  for (const std::string& line : ListingLines(project)) {
    if (!line.empty() && line[0] == '[') {
      inside = line == "[" + section + "]";
      continue;
    }
    if (inside && !line.empty()) entries.push_back(line);
  }
  return entries;
}

std::vector<Violation> CheckRun(const GeneratedSource& source, const RunPlan& plan,
                                const RunLayout& layout, const RunEvidence& evidence) {
  std::vector<Violation> violations;
  const Run run{source, plan, layout, evidence, violations};
  CheckStatus(run);
  CheckListing(run);
  CheckParent(run);
  CheckFolder(run);
  CheckNamedFiles(run);
  CheckNoneWritesNothing(run);
  CheckWellFormed(run);
  return violations;
}

}  // namespace quillark::e2e
