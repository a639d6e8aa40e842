#include "helpreader/compilation.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
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
#include "runtime/growing_file.h"
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

void ConsoleDot(RunContext& run) {
  if (run.replaying) return;
  if (run.reading_ahead) {
    ++run.held_dots;
    return;
  }
  run.Dot();
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
void StartPass(RunContext& run, OutputFiles::Mode mode, bool write_behind = false) {
  run.output.Restart(mode, write_behind);
  run.writes_output = mode != OutputFiles::Mode::kDiscard;
  if (!run.writes_output || run.names.output.empty()) return;
  const std::string folder = runtime::DirectoryPart(run.names.output);
  run.output.KnowFolder(folder, runtime::FilesMatching(folder, "*"));
}

// Lists the pages an earlier run left in the page folder, once: the output
// rewrites those it writes again and deletes the rest. The listing asks the
// disk about every page, so it is taken while the pre-processor runs; every
// later step that touches the pages, or ends the run, takes it first.
void ListEarlierPages(RunContext& run) {
  if (run.earlier_pages_listed) return;
  run.earlier_pages_listed = true;
  run.output.ReplaceLater(EarlierPages(run.names));
}

// Takes the next source line through the line processor; Passes 3 and 4
// write what it produced.
void RunNextLine(RunContext& run, TagState& state, LineOutput& output) {
  SourceReader& reader = run.reader;
  bool overflow = false;
  const std::string_view line = reader.ReadSourceLine(kLineText, overflow);
  if (overflow) run.ReportAtSource(kFatal, "Line buffer overflowed");
  if (reader.CurrentLineNumber() % 100 == 0) ConsoleDot(run);
  ProcessLine(line, run, state, output);
  if (!run.writes_output || (output.text1.empty() && output.text2.empty())) return;
  run.output.SetPlace(reader.CurrentSourceName(), reader.CurrentLineNumber());
  try {
    if (!output.text1.empty()) WriteOutputText(run, output.file1, output.text1);
    if (!output.text2.empty()) WriteOutputText(run, output.file2, output.text2);
  } catch (const runtime::OutputError& error) {
    run.ReportWriteFailure(error);
  }
  run.output.ClearPlace();
}

LineOutput PassLineOutput() {
  LineOutput output;
  output.capacity = std::string::npos;  // a line's output grows rather than being cut
  return output;
}

// Reads the pre-processor file line by line through the line processor.
void RunPassLines(RunContext& run, TagState& state) {
  SourceReader& reader = run.reader;
  reader.OpenMainView(run.names.preprocessor, run.preprocessed.view());
  LineOutput output = PassLineOutput();
  while (!reader.EndOfSource()) RunNextLine(run, state, output);
  reader.CloseSources();
}

// The document's own start and end (the Rich Text header and closing brace)
// around the topics of the output pass.
void AppendDocumentText(RunContext& run, const std::string& text) {
  if (text.empty() || run.names.output.empty()) return;
  WriteOutputText(run, run.names.output, text);
}

// The end of Pass 1: a failed pre-processor ends the run.
void FinishPass1(RunContext& run, const PreprocessResult& result) {
  if (result.message.empty()) return;
  // The pre-processor's own words come first, then the report that ends the run.
  for (const std::string& line : result.program_messages) {
    ReportMessage(false, run.listing, kError,
                  FormatReportLine(run.names.source, 0, kError, "gpp: " + line));
  }
  ReportMessage(false, run.listing, kFatal,
                FormatReportLine(run.names.source, 0, kError, result.message));
}

void StartPass2(RunContext& run) {
  ClearAllTables(run.tables);
  StartPass(run, OutputFiles::Mode::kDiscard);
}

void FinishPass2(RunContext& run, const TagState& state) {
  CheckEndOfSource(run, state);
  CheckJumps(run.listing, run.tables.topics, run.tables.jumps);
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
  StartPass2(run);
  TagState state;
  RunPassLines(run, state);
  FinishPass2(run, state);
}

// Pass 2 reads the pre-processor file while the pre-processor is still
// writing it, taking each complete line as it arrives, so that the two run
// side by side. Until the pre-processor has ended, the pass's reports and
// dots are held back and it writes no file. Once it has ended well, Pass 1
// ends as always, what was held back comes out, and the pass goes on; had it
// failed, its report ends the run and the pass leaves no trace. A pass that
// comes to a step it cannot take back before then (writing a file) stops,
// and runs again from the start once Pass 1 has ended.
class ReadAhead {
 public:
  ReadAhead(RunContext& run, PreprocessorRun& preprocessor, std::size_t capacity)
      : run_(run), preprocessor_(preprocessor), text_(capacity), writer_(run.writer) {}

  // Runs Pass 1 and Pass 2. Returns false when Pass 2 must run again: Pass 1
  // has then ended well and the console shows the Pass 2 line.
  bool Run() {
    run_.listing.Hold();
    run_.reading_ahead = true;
    run_.held_dots = 0;
    StartPass2(run_);
    TagState state;
    SourceReader& reader = run_.reader;
    reader.OpenMainView(run_.names.preprocessor, text_.Lines());
    LineOutput output = PassLineOutput();
    try {
      while (!reader.EndOfSource() || WaitForLines()) RunNextLine(run_, state, output);
    } catch (const FatalStop&) {
      if (!run_.reading_ahead) throw;
      // Its own report, unless the pre-processor failed: that one ends the run.
      EndPass1();
      try {
        Commit();
      } catch (const ReadAheadStop&) {
        Drop();
        return false;
      }
      throw;
    } catch (const ReadAheadStop&) {
      EndPass1();
      Drop();
      return false;
    }
    reader.CloseSources();
    run_.preprocessed = text_.Take();
    FinishPass2(run_, state);
    return true;
  }

 private:
  // Waits until more complete lines have arrived (true) or the whole file
  // has been read (false).
  bool WaitForLines() {
    if (!run_.reading_ahead) return false;  // everything was read at the end
    const std::size_t known = text_.Lines().size();
    while (true) {
      if (!text_.ReadMore(run_.names.preprocessor)) throw ReadAheadStop{};
      if (text_.Lines().size() > known) break;
      if (preprocessor_.WaitFor(1)) {
        EndPass1();
        Commit();
        break;
      }
    }
    run_.reader.ExtendMainView(run_.reading_ahead ? text_.Lines() : text_.Text());
    return true;
  }

  // Waits for the pre-processor to end, once: Pass 1 ends. A failure drops
  // what the pass held back and ends the run.
  void EndPass1() {
    if (pass1_ended_) return;
    pass1_ended_ = true;
    const PreprocessResult result = preprocessor_.Finish();
    run_.reading_ahead = false;
    if (!result.message.empty()) {
      run_.listing.Discard();
      // Nor does the pass leave the picture data files it wrote: a run whose
      // pre-processor fails makes none.
      run_.pictures.DeleteDataFiles();
      FinishPass1(run_, result);
    }
    ConsoleText("\n");
    ConsoleText("Pass 2 (finding topics)");
  }

  // After a good Pass 1, what the pass held back comes out, once the rest of
  // the file is read; a file not read whole stops the pass.
  void Commit() {
    if (!text_.ReadMore(run_.names.preprocessor) || !text_.HoldsAllOf(run_.names.preprocessor)) {
      throw ReadAheadStop{};
    }
    ConsoleText(std::string(static_cast<std::size_t>(run_.held_dots), '.'));
    run_.listing.Release();
  }

  // Forgets what the pass did while reading ahead.
  void Drop() {
    run_.reading_ahead = false;
    run_.listing.Discard();
    run_.writer = writer_;
    run_.reader.CloseSources();
  }

  RunContext& run_;
  PreprocessorRun& preprocessor_;
  runtime::GrowingFile text_;
  const WriterState writer_;  // as the pass found it
  bool pass1_ended_ = false;
};

// Pass 1 under way: the pre-processor the program runs itself, started as
// soon as its earlier files are gone, and whether Pass 2 reads its file
// while it is written. Pass 2 waits for the pre-processor's end instead when
// the source is too large to set aside room for its text (twice its size,
// and more), when a pre-processor file the start could not delete would be
// read before it is replaced, and when the folder may not show a writer's
// bytes at once.
struct StartedPass1 {
  StartedPass1(const FileNames& names, std::string_view format_upper)
      : source_size(std::max<std::int64_t>(runtime::FileSize(names.source), 0)),
        read_ahead(source_size <= kLargestSource && !runtime::FileExists(names.preprocessor) &&
                   runtime::ShowsWritesAtOnce(runtime::DirectoryPart(names.preprocessor))),
        preprocessor(format_upper, names.source, names.preprocessor) {}

  static constexpr std::int64_t kLargestSource = std::int64_t{1} << 28;
  const std::int64_t source_size;
  const bool read_ahead;
  PreprocessorRun preprocessor;
};

// Passes 1 and 2 with the pre-processor the program runs itself.
void RunPasses1And2(RunContext& run, StartedPass1& pass1) {
  ListEarlierPages(run);
  if (pass1.read_ahead) {
    ReadAhead ahead(run, pass1.preprocessor,
                    static_cast<std::size_t>(2 * pass1.source_size) + (1 << 20));
    if (ahead.Run()) return;
  } else {
    FinishPass1(run, pass1.preprocessor.Finish());
    ConsoleText("\n");
    ConsoleText("Pass 2 (finding topics)");
  }
  RunPass2(run);
}

// The popup pass cuts the body of every popup topic out of the page it was
// written to and keeps it with the topic, for the output pass to embed. The
// pages are still in memory; only a page the pass did not write is read
// from disk. Returns false when the pass dropped text a body needs.
bool CapturePopupBodies(RunContext& run) {
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
    const std::int64_t last = std::min(
        {static_cast<std::int64_t>(topic.end_pos), length, first + kPopupCaptureLimit - 1});
    std::optional<std::string> text = run.output.TextRange(page, first - 1, last - first + 1);
    if (!text) {
      if (run.output.Dropped(page, first - 1, last - first + 1)) return false;
      text = runtime::ReadFileRange(page, first - 1, last - first + 1);
    }
    if (!text) continue;
    const TopicBody body = FindTopicBody(run.format, *text);
    if (body.start != 0 && body.end != 0) {
      SetEntryText(topics, row, std::string_view(*text).substr(body.start, body.end - body.start));
    }
  }
  return true;
}

// The output pass writes its pages behind it on a second thread when they
// are many: a format with a page folder and a source large enough to repay
// starting one. One large file gains nothing from it. Windows writes as the
// pass goes.
#ifdef _WIN32
constexpr bool kWriteBehind = false;
#else
constexpr bool kWriteBehind = true;
#endif
constexpr std::size_t kWriteBehindSource = std::size_t{1} << 20;

// Each pass counts its definitions, jumps and uses afresh.
void ClearCounts(HelpTables& tables) {
  tables.topics.ClearCounts();
  tables.headings.ClearCounts();
  tables.jumps.ClearCounts();
  tables.keywords.ClearCounts();
  tables.bitmaps.ClearCounts();
}

// What the popup pass starts from, kept so that the pass can run again.
struct PopupPassStart {
  HelpTables tables;
  WriterState writer;
};

// Runs the popup pass again from its start, keeping all of its text; its
// reports and dots showed the first time. Given a number of appends, it
// stops where the first run stopped.
void ReplayPopupPass(RunContext& run, const PopupPassStart& start,
                     std::optional<std::uint64_t> appends) {
  run.tables = start.tables;
  run.ForgetOrder();
  run.writer = start.writer;
  run.reader.CloseSources();
  StartPass(run, OutputFiles::Mode::kMemory);
  if (appends) run.output.StopAtAppend(*appends);
  run.listing.Hold();
  run.replaying = true;
  struct EndReplay {
    RunContext& run;
    ~EndReplay() {
      run.replaying = false;
      run.listing.Discard();
    }
  } end_replay{run};
  TagState state;
  try {
    RunPassLines(run, state);
  } catch (const runtime::AppendLimitReached&) {
    // Where the first run stopped.
  } catch (const FatalStop&) {
    // The first run's report stands.
  }
}

void RunPass3(RunContext& run) {
  ListEarlierPages(run);
  HelpTables& tables = run.tables;
  ClearCounts(tables);
  for (int row = 1; row <= tables.topics.Count(); ++row) {
    tables.topics.At(row).start_pos = 0;
    tables.topics.At(row).end_pos = 0;
  }
  tables.headings.Clear();
  tables.keywords.Clear();
  // The popup pass renders every topic in memory, and only needs the popups'
  // bodies: it keeps their text alone. On a fatal report it must leave all
  // it had written on disk, and runs again to rebuild it, which a file
  // written beside the output would change: a source that includes topics
  // keeps everything.
  const bool drops_text =
      run.format != OutputFormat::kNone && !run.includes_topics && run.include_files.empty();
  std::optional<PopupPassStart> start;
  if (drops_text) start.emplace(PopupPassStart{run.tables, run.writer});
  StartPass(run, OutputFiles::Mode::kMemory);
  if (drops_text) run.output.KeepMarkedOnly();
  TagState state;
  try {
    RunPassLines(run, state);
  } catch (const FatalStop&) {
    if (start) ReplayPopupPass(run, *start, run.output.Appends());
    throw;
  }
  if (!CapturePopupBodies(run) && start) {
    ReplayPopupPass(run, *start, std::nullopt);
    CapturePopupBodies(run);
  }
  // Pass 4 writes the same pages again: those of an earlier run stay, to be
  // rewritten in place, and the rest of the page folder goes now. The link
  // pages of the index stay too: the index rewrites those it writes again.
  const std::vector<std::string> pages = run.output.Paths();
  std::unordered_set<std::string> written_again(pages.begin(), pages.end());
  run.output.Close();
  const std::vector<std::string> earlier = EarlierPages(
      run.names, [&run](const std::string& path) { return run.output.Replaces(path); });
  run.output.ReplaceLater(earlier);
  for (const std::string& path : earlier) {
    if (IsIndexLinkPage(path)) written_again.insert(path);
  }
  run.output.DeleteUnreplaced(written_again);
  DeleteOutputFile(run.names);
}

void RunPass4(RunContext& run) {
  HelpTables& tables = run.tables;
  const FileNames& names = run.names;
  ClearCounts(tables);
  run.index_link_pages = WriteIndex(run.format, run.writer, run.frame_names, tables.keywords,
                                    tables.topics, &run.output);
  tables.headings.SortByPosition();
  CheckHeadings(run.listing, tables.topics, tables.headings, run.topics_without_end);
  WriteContents(run.format, run.writer, run.frame_names, tables.topics, tables.headings);
  run.headings_in_source_order = true;
  // The pages are written behind the pass, on the second core; every report
  // waits for the writer first, so that one it failed comes first.
  StartPass(run, OutputFiles::Mode::kDisk,
            kWriteBehind && !names.page_folder.empty() &&
                run.preprocessed.view().size() >= kWriteBehindSource);
  run.listing.SetBeforeAppend([&run] { run.SettleOutput(); });
  struct UnhookListing {
    Listing& listing;
    ~UnhookListing() { listing.SetBeforeAppend(nullptr); }
  } unhook{run.listing};
  AppendDocumentText(run, WriteRtfHeader(run.format, run.writer));
  TagState state;
  RunPassLines(run, state);
  AppendDocumentText(run, DocumentCloseText(run.format));
  run.SettleOutput();
  run.output.Close();
  run.output.DeleteUnreplaced();
  WriteProjectFiles(run.format, run.writer, names.project, names.output, names.index,
                    names.contents, tables.topics, tables.bitmaps, run.index_link_pages);
  WriteStyleSheet(run.format, run.writer, names.style_sheet);
  CopyImageAssets(ImageAssetList(run.format), names.project, tables.bitmaps, run.listing);
}

void RunPasses(const CompilerOptions& options, const PreprocessStep& preprocess,
               std::optional<StartedPass1>& pass1, RunContext& run) {
  const FileNames& names = run.names;
  ConsoleText("Input File = " + names.source + "\n");
  ConsoleText("PreProcessor File = " + names.preprocessor + "\n");
  ConsoleText("Output File = " + names.output + "\n");
  ConsoleText("Listing File = " + names.listing + "\n");

  FillWriterSettings(options, run);

  ConsoleText("Pass 1 (run pre-processor)");
  if (pass1) {
    RunPasses1And2(run, *pass1);
  } else {
    FinishPass1(run,
                preprocess(runtime::UpperAscii(options.format), names.source, names.preprocessor));
    ConsoleText("\n");
    ConsoleText("Pass 2 (finding topics)");
    RunPass2(run);
  }
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

int RunCompilation(const CompilerOptions& options) { return RunCompilation(options, nullptr); }

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
  // The pre-processor takes most of a run: it starts as soon as the files it
  // would meet are gone, and the rest of the earlier results go beside it.
  DeletePreprocessorFiles(run.names);
  std::optional<StartedPass1> pass1;
  if (!preprocess) pass1.emplace(run.names, runtime::UpperAscii(options.format));
  DeleteEarlierResults(run.names);
  for (std::string& path :
       runtime::FilesMatching(runtime::DirectoryPart(names.source), "include_*.tmp")) {
    run.include_files.insert(std::move(path));
  }
  try {
    try {
      RunPasses(options, preprocess, pass1, run);
    } catch (const runtime::OutputError& error) {
      // A file around the topics names no source line; one the writer behind
      // failed names the line it was written at.
      const std::optional<runtime::OutputError::Place>& place = error.place;
      ReportMessage(false, listing, kFatal,
                    FormatReportLine(place ? place->source : "", place ? place->line : 0, kFatal,
                                     "Cannot write \"" + error.path + "\": " + error.reason));
    }
    FinishListing(listing, run.names.source);
  } catch (const FatalStop&) {
    // What the pass had written so far stays on disk, as the report says.
    ListEarlierPages(run);
    run.output.WriteOutAfterFatal();
    run.output.DeleteUnreplaced();
    std::fflush(stdout);
    return kExitFatal;
  }
  if (options.verbose) runtime::AppendToFile(run.names.listing, DumpAllTables(run.tables));
  return kExitFinished;
}

}  // namespace quillark
