#include "helpreader/compilation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_set>

#include "helpmain/report.h"
#include "helpreader/line_processor.h"
#include "helpreader/run_context.h"
#include "helpreader/topic_registry.h"
#include "helptables/help_table.h"
#include "helpwriter/contents.h"
#include "helpwriter/file_names.h"
#include "helpwriter/help_compiler.h"
#include "helpwriter/image_assets.h"
#include "helpwriter/index.h"
#include "helpwriter/page_frame.h"
#include "helpwriter/preprocessor.h"
#include "helpwriter/project_files.h"
#include "helpwriter/rtf_frame.h"
#include "helpwriter/style_sheet.h"
#include "helpwriter/topic_writer.h"
#include "helpwriter/writer_state.h"
#include "runtime/files.h"
#include "runtime/output.h"
#include "runtime/run_lock.h"
#include "runtime/text.h"

namespace quillark {
namespace {

using runtime::OutputFiles;

// Console progress: pass lines stay open while the pass runs and collect a
// dot for every hundred lines read. Dots reach the console at most ten times
// a second, all other text at once.
void ConsoleText(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void ConsoleDot(std::chrono::steady_clock::time_point& last_flush) {
  std::fputc('.', stdout);
  const auto now = std::chrono::steady_clock::now();
  if (now - last_flush >= std::chrono::milliseconds(100)) {
    std::fflush(stdout);
    last_flush = now;
  }
}

std::string DefaultCaption(const std::string& input_path) {
  std::string name = runtime::BaseName(input_path);
  if (!name.empty()) name[0] = runtime::UpperAscii(name[0]);
  return name + " Help";
}

void FillWriterSettings(const CompilerOptions& options, RunContext& run) {
  WriterState& writer = run.writer;
  writer.generator = GeneratorText();
  SetCaption(writer, options.caption.empty() ? DefaultCaption(options.input) : options.caption);
  SetCopyright(writer, options.copyright);
  InitFonts(writer);
  SetFont(writer, "TEXT", options.font);
  SetFont(writer, "CONTENTS", options.font);
  static constexpr const char* kHeadingSlots[6] = {"H1", "H2", "H3", "H4", "H5", "H6"};
  for (int level = 0; level < 6; ++level) {
    SetFont(writer, kHeadingSlots[level], options.heading_fonts[level]);
  }
  SetButtonCaption(writer, options.button_caption);
  SetButtonWebsite(writer, options.button_website);
  SetHeader(writer, ConvertHeaderText(options.header, run, 1025));
  SetFooter(writer, ConvertHeaderText(options.footer, run, 1025));
  writer.omit_first_page = options.omit_first_page;
}

// Starts a pass: its output files and whether it renders its text. The
// folder of the output holds what the run left there; it is listed once, so
// that the pass need not ask the disk about every page.
void StartPass(RunContext& run, OutputFiles::Mode mode) {
  run.output.Restart(mode);
  run.writes_output = mode != OutputFiles::Mode::kDiscard;
  if (!run.writes_output || run.names.output.empty()) return;
  const std::string folder = runtime::DirectoryPart(run.names.output);
  run.output.KnowFolder(folder, runtime::FilesMatching(folder, "*"));
}

// Reads the pre-processor file line by line through the line processor;
// Passes 3 and 4 write what each line produced.
void RunPassLines(RunContext& run, TagState& state) {
  SourceReader& reader = run.reader;
  reader.OpenMainView(run.names.preprocessor, run.preprocessed.view());
  LineOutput output;
  output.capacity = std::string::npos;  // a line's output grows rather than being cut
  while (!reader.EndOfSource()) {
    bool overflow = false;
    const std::string_view line = reader.ReadSourceLine(kLineText, overflow);
    if (overflow) run.ReportAtSource(kFatal, "Line buffer overflowed");
    if (reader.CurrentLineNumber() % 100 == 0) ConsoleDot(run.last_dot_flush);
    ProcessLine(line, run, state, output);
    if (!run.writes_output) continue;
    try {
      if (!output.text1.empty()) WriteOutputText(run, output.file1, output.text1);
      if (!output.text2.empty()) WriteOutputText(run, output.file2, output.text2);
    } catch (const runtime::OutputError& error) {
      run.ReportAtSource(kFatal, "Cannot write \"" + error.path + "\": " + error.reason);
    }
  }
  reader.CloseSources();
}

// The document's own start and end (the Rich Text header and closing brace)
// around the topics of the output pass.
void AppendDocumentText(RunContext& run, const std::string& text) {
  if (text.empty() || run.names.output.empty()) return;
  WriteOutputText(run, run.names.output, text);
}

void RunPass1(RunContext& run, const std::string& format_upper, const PreprocessStep& preprocess) {
  const PreprocessResult result =
      preprocess(format_upper, run.names.source, run.names.preprocessor);
  if (result.message.empty()) return;
  // The pre-processor's own words come first, then the report that ends the run.
  for (const std::string& line : result.program_messages) {
    ReportMessage(false, run.listing, kError,
                  FormatReportLine(run.names.source, 0, kError, "gpp: " + line));
  }
  ReportMessage(false, run.listing, kFatal,
                FormatReportLine(run.names.source, 0, kError, result.message));
}

void RunPass2(RunContext& run) {
  // The passes read the pre-processor file's text, read once here; a file
  // that cannot be read ends the run rather than giving an empty help.
  std::string reason;
  run.preprocessed = runtime::FileText::Read(run.names.preprocessor, &reason);
  if (!reason.empty()) {
    ReportMessage(false, run.listing, kFatal,
                  FormatReportLine(run.names.source, 0, kFatal,
                                   "Cannot read \"" + run.names.preprocessor + "\": " + reason));
  }
  ClearAllTables(run.tables);
  StartPass(run, OutputFiles::Mode::kDiscard);
  TagState state;
  RunPassLines(run, state);
  CheckEndOfSource(run, state);
  CheckJumps(run.listing, run.tables.topics, run.tables.jumps);
}

// The popup pass cuts the body of every popup topic out of the page it was
// written to and keeps it with the topic, for the output pass to embed. The
// pages are still in memory; only a page the pass did not write is read
// from disk.
void CapturePopupBodies(RunContext& run) {
  constexpr std::int64_t kMaxCaptured = 8192;
  TopicTable& topics = run.tables.topics;
  for (int row = 1; row <= topics.Count(); ++row) {
    const TopicRecord& topic = topics.At(row);
    if (!topic.is_popup || topic.popup_body.has_value()) continue;
    const std::string page =
        TopicFileName(run.format, run.names.output, topic.name, PageKind::kMain);
    const std::int64_t length = page.empty() ? -1 : run.output.Size(page);
    if (length <= 0) continue;
    const std::int64_t first = topic.start_pos;
    if (first < 1 || first > length || first > topic.end_pos) continue;
    const std::int64_t last =
        std::min({static_cast<std::int64_t>(topic.end_pos), length, first + kMaxCaptured - 1});
    std::optional<std::string> text = run.output.TextRange(page, first - 1, last - first + 1);
    if (!text) text = runtime::ReadFileRange(page, first - 1, last - first + 1);
    if (!text) continue;
    const TopicBody body = FindTopicBody(run.format, *text);
    if (body.start != 0 && body.end != 0) {
      SetEntryText(topics, row, std::string_view(*text).substr(body.start, body.end - body.start));
    }
  }
}

// Each pass counts its definitions, jumps and uses afresh.
void ClearCounts(HelpTables& tables) {
  tables.topics.ClearCounts();
  tables.headings.ClearCounts();
  tables.jumps.ClearCounts();
  tables.keywords.ClearCounts();
  tables.bitmaps.ClearCounts();
}

void RunPass3(RunContext& run) {
  HelpTables& tables = run.tables;
  ClearCounts(tables);
  for (int row = 1; row <= tables.topics.Count(); ++row) {
    tables.topics.At(row).start_pos = 0;
    tables.topics.At(row).end_pos = 0;
  }
  tables.headings.Clear();
  tables.keywords.Clear();
  // The popup pass renders every topic in memory: it only needs the bodies.
  StartPass(run, OutputFiles::Mode::kMemory);
  TagState state;
  RunPassLines(run, state);
  CapturePopupBodies(run);
  // Pass 4 writes the same pages again: those of an earlier run stay, to be
  // rewritten in place, and the rest of the page folder goes now. A link
  // page of the index is not kept, as the index adds to it before Pass 4.
  std::unordered_set<std::string> written_again;
  for (std::string& path : run.output.Paths()) {
    if (!IsIndexLinkPage(path)) written_again.insert(std::move(path));
  }
  run.output.Close();
  run.output.ReplaceLater(EarlierPages(run.names));
  run.output.DeleteUnreplaced(written_again);
  DeleteOutputFile(run.names);
}

void RunPass4(RunContext& run) {
  HelpTables& tables = run.tables;
  const FileNames& names = run.names;
  ClearCounts(tables);
  run.index_link_pages =
      WriteIndex(run.format, run.writer, run.frame_names, tables.keywords, tables.topics);
  tables.headings.SortByPosition();
  CheckHeadings(run.listing, tables.topics, tables.headings, run.topics_without_end);
  WriteContents(run.format, run.writer, run.frame_names, tables.topics, tables.headings);
  run.headings_in_source_order = true;
  StartPass(run, OutputFiles::Mode::kDisk);
  AppendDocumentText(run, WriteRtfHeader(run.format, run.writer));
  TagState state;
  RunPassLines(run, state);
  AppendDocumentText(run, DocumentCloseText(run.format));
  run.output.Close();
  run.output.DeleteUnreplaced();
  WriteProjectFiles(run.format, run.writer, names.project, names.output, names.index,
                    names.contents, tables.topics, tables.bitmaps, run.index_link_pages);
  WriteStyleSheet(run.format, run.writer, names.style_sheet);
  CopyImageAssets(ImageAssetList(run.format), names.project, tables.bitmaps, run.listing);
}

void RunPasses(const CompilerOptions& options, const PreprocessStep& preprocess, RunContext& run) {
  const FileNames& names = run.names;
  ConsoleText("Input File = " + names.source + "\n");
  ConsoleText("PreProcessor File = " + names.preprocessor + "\n");
  ConsoleText("Output File = " + names.output + "\n");
  ConsoleText("Listing File = " + names.listing + "\n");

  FillWriterSettings(options, run);

  ConsoleText("Pass 1 (run pre-processor)");
  RunPass1(run, runtime::UpperAscii(options.format), preprocess);
  ConsoleText("\n");

  ConsoleText("Pass 2 (finding topics)");
  RunPass2(run);
  ConsoleText("\n");

  ConsoleText("Pass 3 (adding the popups)");
  RunPass3(run);
  ConsoleText("\n");

  ConsoleText("Pass 4 (creating output files)");
  RunPass4(run);
  ConsoleText("\n");

  if (options.compile) {
    const std::string message =
        FinishOutput(run.format, names.output, names.final_output, names.project);
    if (!message.empty()) {
      ReportMessage(false, run.listing, kWarning,
                    FormatReportLine(run.reader.MainSourceName(), 0, kWarning, message));
    }
  }
}

}  // namespace

int RunCompilation(const CompilerOptions& options) {
  return RunCompilation(options, RunPreprocessor);
}

int RunCompilation(const CompilerOptions& options, const PreprocessStep& preprocess) {
  const OutputFormat format = FormatFromName(options.format);
  const FileNames names = BuildFileNames(format, options.input);
  // Runs in one folder share files (the include and picture data files, the
  // CHM page folder): a second run waits here until the first has finished.
  const std::string folder = runtime::DirectoryPart(names.source);
  const runtime::FolderLock lock = runtime::FolderLock::Take(folder, [&folder] {
    ConsoleText("Another run is using the folder \"" + (folder.empty() ? "." : folder) +
                "\": waiting for it to finish.\n");
  });
  Listing listing(names.listing);
  RunContext run(listing);
  run.format = format;
  run.names = names;
  run.frame_names = FrameNamesOf(names);
  DeleteEarlierResults(run.names);
  run.output.ReplaceLater(EarlierPages(run.names));
  for (std::string& path :
       runtime::FilesMatching(runtime::DirectoryPart(names.source), "include_*.tmp")) {
    run.include_files.insert(std::move(path));
  }
  try {
    try {
      RunPasses(options, preprocess, run);
    } catch (const runtime::OutputError& error) {
      // A file around the topics: the report names no source line.
      ReportMessage(
          false, listing, kFatal,
          FormatReportLine("", 0, kFatal, "Cannot write \"" + error.path + "\": " + error.reason));
    }
    FinishListing(listing, run.names.source);
  } catch (const FatalStop&) {
    // What the pass had written so far stays on disk, as the report says.
    run.output.WriteOutAfterFatal();
    run.output.DeleteUnreplaced();
    std::fflush(stdout);
    return kExitFatal;
  }
  if (options.verbose) runtime::AppendToFile(run.names.listing, DumpAllTables(run.tables));
  return kExitFinished;
}

}  // namespace quillark
