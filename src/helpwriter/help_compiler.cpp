#include "helpwriter/help_compiler.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "chmwriter/chm_writer.h"
#include "helpwriter/chm_repair.h"
#include "helpwriter/frame_file.h"
#include "hlpcompiler/hlp_compiler.h"
#include "runtime/files.h"
#include "runtime/output.h"
#include "runtime/process.h"
#include "runtime/text.h"

namespace quillark {
namespace {

constexpr std::size_t kMessageLimit = 1024;
// The start page is edited only while it is this small.
constexpr std::int64_t kEditableStartPage = 1024;

#ifdef _WIN32
constexpr std::string_view kHcrtfFirst = "c:\\program files\\devstudio\\vc\\bin\\hcrtf.exe";
constexpr std::string_view kHcrtfSecond =
    "c:\\Program Files\\Microsoft Visual Studio\\Common\\Tools\\hcrtf.exe";
constexpr std::string_view kHhc = "C:\\Program Files\\HTML Help Workshop\\hhc.exe";
#else
constexpr std::string_view kChmcmd = "chmcmd";
#endif

// A file counts as present when it has a size above 0.
bool IsPresent(const std::string& path) { return !path.empty() && runtime::FileSize(path) > 0; }

#ifdef _WIN32
// The first present fixed path, else the program found through PATH.
std::string FindCompiler(std::initializer_list<std::string_view> fixed_paths,
                         const std::string& name) {
  for (std::string_view path : fixed_paths) {
    if (IsPresent(std::string(path))) return std::string(path);
  }
  const std::string found = runtime::FindInPath(name);
  return IsPresent(found) ? found : "";
}
#else
std::string FindCompiler(std::string_view name) {
  const std::string found = runtime::FindInPath(std::string(name));
  return IsPresent(found) ? found : "";
}
#endif

// Runs a help compiler in the project's folder and waits for it; its own
// console text is discarded, the console shows only the passes. Its exit code
// decides nothing: whether the final file appears is checked at the end.
std::string RunCompiler(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& project_file) {
  const runtime::ProgramRun run =
      runtime::RunProgram(program, arguments, runtime::DirectoryPart(project_file), true);
  if (run.start_code != runtime::kRunStarted) {
    return "Cannot compile output file, Exec() caused error " + std::to_string(run.start_code) +
           ".";
  }
  return "";
}

// Our own WinHelp compiler, run in process; it writes the final file beside
// the project.
std::string CompileWithOurCompiler(const std::string& project_file) {
  const hlpc::HlpCompileResult result = hlpc::CompileHelpProject(project_file);
  if (result.success) return "";
  return "Cannot compile output file, our WinHelp compiler failed: " + result.message;
}

// The WinHelp compiler leaves the final file beside the project itself. On
// Windows an installed hcrtf.exe at its fixed paths comes first; everywhere
// else, and where none is installed, our own compiler does the work.
std::string CompileWinHelp(const std::string& project_file) {
#ifdef _WIN32
  for (std::string_view path : {kHcrtfFirst, kHcrtfSecond}) {
    if (IsPresent(std::string(path))) {
      return RunCompiler(std::string(path), {"/x", project_file}, project_file);
    }
  }
#endif
  return CompileWithOurCompiler(project_file);
}

// The HTML Help compiler writes the compiled file into the project's folder;
// a directory that would hide part of its listing is put right at once.
// Where no outside compiler is installed, the built-in writer makes the
// compiled file in its place, in process.
std::string CompileHtmlHelp(const std::string& project_file, const std::string& compiled_file) {
#ifdef _WIN32
  const std::string program = FindCompiler({kHhc}, "hhc.exe");
#else
  const std::string program = FindCompiler(kChmcmd);
#endif
  if (program.empty()) return chm::WriteChmFromProject(project_file, compiled_file).message;
  std::string message = RunCompiler(program, {project_file}, project_file);
  if (message.empty()) RepairChmFile(compiled_file);
  return message;
}

// The start page beside the pages refers to them through their folder's name,
// which is right only for its copy in the parent folder. The page itself is
// made to refer to the first topic directly.
void PointStartPageAtTopic(const std::string& start_page) {
  std::optional<std::string> text = runtime::ReadWholeFile(start_page);
  if (!text) return;
  const std::size_t meta = text->find("<meta");
  if (meta == std::string::npos) return;
  constexpr std::string_view kContent = "content=";
  const std::size_t content = text->find(kContent, meta);
  if (content == std::string::npos) return;
  const std::size_t open_quote = content + kContent.size();
  if (open_quote >= text->size()) return;
  const char quote = (*text)[open_quote];
  if (quote != '"' && quote != '\'') return;
  const std::size_t close_quote = text->find(quote, open_quote + 1);
  if (close_quote == std::string::npos) return;
  const std::string value = text->substr(open_quote + 1, close_quote - open_quote - 1);
  if (value.empty()) return;
  const std::string replacement = "1;URL=" + runtime::FileNamePart(value);
  if (replacement == value) return;
  text->replace(text->find(value), value.size(), replacement);
  WriteFrameFile(start_page, *text);
}

// Every copy is checked: a copy that fails ends the run, naming the file,
// and leaves no part of it behind.
void Copy(const std::string& from, const std::string& to) {
  const std::string reason = runtime::CopyFileChecked(from, to);
  if (!reason.empty()) throw runtime::OutputError{to, "copying \"" + from + "\" failed: " + reason};
}

std::string PlaceStartPage(const std::string& working_file, const std::string& final_file) {
  const std::string start_page = runtime::DirectoryPart(working_file) + "_start.html";
  const std::int64_t size = runtime::FileSize(start_page);
  if (size <= 0) return "Cannot find \"" + start_page + "\". ";
  Copy(start_page, final_file);
  if (size > kEditableStartPage) {
    return "The Start Topic File \"" + start_page + "\" is too big to be edited. ";
  }
  PointStartPageAtTopic(start_page);
  return "";
}

std::string Finish(OutputFormat format, const std::string& working_file,
                   const std::string& final_file, const std::string& project_file) {
  switch (format) {
    case OutputFormat::kHlp:
      return CompileWinHelp(project_file);
    case OutputFormat::kRtf:
      if (!IsPresent(working_file)) return "Cannot find \"" + working_file + "\". ";
      Copy(working_file, final_file);
      return "";
    case OutputFormat::kChm: {
      // The compiled file is named like the final file, in the working folder.
      const std::string compiled_file =
          runtime::DirectoryPart(working_file) + runtime::FileNamePart(final_file);
      std::string message = CompileHtmlHelp(project_file, compiled_file);
      // A compiler that left nothing is caught by the final check; a file
      // that is there must be copied whole.
      if (message.empty() && IsPresent(compiled_file)) Copy(compiled_file, final_file);
      return message;
    }
    case OutputFormat::kHtml:
      return PlaceStartPage(working_file, final_file);
    case OutputFormat::kNone:
      break;
  }
  return "";
}

}  // namespace

std::string FinishOutput(OutputFormat format, const std::string& working_file,
                         const std::string& final_file, const std::string& project_file) {
  // The format None has no final file to make or to miss.
  if (format == OutputFormat::kNone) return "";
  std::string message = Finish(format, working_file, final_file, project_file);
  // A compiler that ran but left nothing behind is caught here.
  if (message.empty() && !IsPresent(final_file)) {
    message =
        "The final output file \"" + final_file + "\" was not created or could not be copied.";
  }
  return runtime::Truncate(message, kMessageLimit);
}

}  // namespace quillark
