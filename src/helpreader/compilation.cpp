#include "helpreader/compilation.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "helpmain/report.h"
#include "helpmain/run_files.h"
#include "helpreader/line_processor.h"
#include "helpreader/source_reader.h"
#include "helpreader/topic_registry.h"
#include "helptables/help_table.h"
#include "helpwriter/contents.h"
#include "helpwriter/file_names.h"
#include "helpwriter/help_compiler.h"
#include "helpwriter/image_assets.h"
#include "helpwriter/index.h"
#include "helpwriter/preprocessor.h"
#include "helpwriter/project_files.h"
#include "helpwriter/rtf_frame.h"
#include "helpwriter/style_sheet.h"
#include "helpwriter/topic_writer.h"
#include "helpwriter/writer_state.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace quillark {
namespace {

// Console progress: pass lines stay open while the pass runs and collect a
// dot for every hundred lines read.
void ConsoleText(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

std::string DefaultCaption(const std::string& input_path) {
  std::string name = runtime::BaseName(input_path);
  if (!name.empty()) name[0] = runtime::UpperAscii(name[0]);
  return name + " Help";
}

void FillWriterSettings(const CompilerOptions& options, OutputFormat format) {
  SetCaption(options.caption.empty() ? DefaultCaption(options.input) : options.caption);
  SetCopyright(options.copyright);
  InitFonts();
  SetFont("TEXT", options.font);
  SetFont("CONTENTS", options.font);
  static constexpr const char* kHeadingSlots[6] = {"H1", "H2", "H3", "H4", "H5", "H6"};
  for (int level = 0; level < 6; ++level) {
    SetFont(kHeadingSlots[level], options.heading_fonts[level]);
  }
  SetButtonCaption(options.button_caption);
  SetButtonWebsite(options.button_website);
  SetHeader(ConvertHeaderText(options.header, format, 1025));
  SetFooter(ConvertHeaderText(options.footer, format, 1025));
  SetOmitFirstPage(options.omit_first_page);
}

// Reads the pre-processor file line by line through the line processor;
// Passes 3 and 4 write what each line produced.
void RunPassLines(const FileNames& names, const PassContext& context, TagState& state,
                  bool write_output) {
  OpenMainSource(names.preprocessor);
  std::string line;
  LineOutput output;
  output.capacity = std::string::npos;  // a line's output grows rather than being cut
  while (!EndOfSource()) {
    if (ReadSourceLine(line, kLineText)) ReportAtSource(kFatal, "Line buffer overflowed");
    if (CurrentLineNumber() % 100 == 0) ConsoleText(".");
    ProcessLine(line, context, state, output);
    if (!write_output) continue;
    if (!output.text1.empty()) {
      runtime::CreateDirectoryOf(output.file1);
      WriteOutputText(output.file1, output.text1);
    }
    if (!output.text2.empty()) {
      runtime::CreateDirectoryOf(output.file2);
      WriteOutputText(output.file2, output.text2);
    }
  }
  CloseSources();
}

// The document's own start and end (the Rich Text header and closing brace)
// around the topics of the output pass.
void AppendDocumentText(const std::string& output, const std::string& text) {
  if (text.empty() || output.empty()) return;
  runtime::CreateDirectoryOf(output);
  WriteOutputText(output, text);
}

void RunPass1(const std::string& format_upper, const FileNames& names) {
  const std::string message = RunPreprocessor(format_upper, names.source, names.preprocessor);
  if (!message.empty()) {
    ReportMessage(false, GetListingFileName(), kFatal,
                  FormatReportLine(names.source, 0, kError, message));
  }
}

void RunPass2(const FileNames& names, const PassContext& context) {
  ClearAllTables(*context.tables);
  TagState state;
  RunPassLines(names, context, state, false);
  CheckJumps(context.tables->topics, context.tables->jumps);
}

// Deletes what a pass wrote into the output file or the page folder.
void DeleteOutputFiles(const std::string& output) {
  if (output.empty()) return;
  runtime::DeleteMatching(output);
  const std::size_t star = output.find("*.");
  if (star != std::string::npos) runtime::DeleteMatching(output.substr(0, star + 1) + ".*");
}

// The popup pass cuts the body of every popup topic out of the page it was
// written to and keeps it with the topic, for the output pass to embed.
void CapturePopupBodies(OutputFormat format, const std::string& output, HelpTable& topics) {
  constexpr std::int64_t kMaxCaptured = 8192;
  for (int row = 1; row <= TableCount(topics); ++row) {
    const TableEntry& topic = EntryAt(topics, row);
    if ((topic.flags & kTopicIsPopup) == 0 || GetEntryText(topics, row) != nullptr) continue;
    const std::string page = TopicFileName(format, output, topic.name, PageKind::kMain);
    const std::int64_t length = page.empty() ? -1 : runtime::FileSize(page);
    if (length <= 0) continue;
    const std::int64_t first = topic.start_pos;
    if (first < 1 || first > length || first > topic.end_pos) continue;
    const std::int64_t last =
        std::min({static_cast<std::int64_t>(topic.end_pos), length, first + kMaxCaptured - 1});
    // Only the topic's own bytes are read: the Rich Text formats share one large file.
    const std::optional<std::string> text =
        runtime::ReadFileRange(page, first - 1, last - first + 1);
    if (!text) continue;
    const TopicBody body = FindTopicBody(format, *text);
    if (body.start != 0 && body.end != 0) {
      SetEntryText(topics, row, std::string_view(*text).substr(body.start, body.end - body.start));
    }
  }
}

// Each pass counts its definitions, jumps and uses afresh.
void ClearCounts(HelpTables& tables) {
  for (HelpTable* table :
       {&tables.topics, &tables.headings, &tables.jumps, &tables.keywords, &tables.bitmaps}) {
    ClearColumn(*table, "Count");
  }
}

void RunPass3(const FileNames& names, const PassContext& context) {
  HelpTables& tables = *context.tables;
  ClearCounts(tables);
  ClearColumn(tables.topics, "StartPos");
  ClearColumn(tables.topics, "EndPos");
  ClearTable(tables.headings);
  ClearTable(tables.keywords);
  TagState state;
  RunPassLines(names, context, state, true);
  CapturePopupBodies(context.format, names.output, tables.topics);
  DeleteOutputFiles(names.output);
}

void RunPass4(const FileNames& names, const PassContext& context) {
  HelpTables& tables = *context.tables;
  ClearCounts(tables);
  const FrameFileNames frame = FrameNamesOf(names);
  WriteIndex(context.format, frame, tables.keywords, tables.topics);
  SortTable(tables.headings, 'A');
  CheckHeadings(tables.topics, tables.headings);
  WriteContents(context.format, frame, tables.topics, tables.headings);
  PassContext output_context = context;
  output_context.headings_in_source_order = true;
  AppendDocumentText(names.output, WriteRtfHeader(context.format));
  TagState state;
  RunPassLines(names, output_context, state, true);
  AppendDocumentText(names.output, DocumentCloseText(context.format));
  WriteProjectFiles(context.format, names.project, names.output, names.index, names.contents,
                    tables.topics, tables.bitmaps, IndexLinkPages());
  WriteStyleSheet(context.format, names.style_sheet);
  CopyImageAssets(ImageAssetList(context.format), names.project, tables.bitmaps);
}

}  // namespace

void RunCompilation(const CompilerOptions& options) {
  const OutputFormat format = FormatFromName(options.format);
  const std::string format_upper = runtime::UpperAscii(options.format);
  const FileNames names = BuildFileNames(format, options.input);
  SetListingFileName(names.listing);
  SetOutputFileName(names.output);
  DeleteEarlierResults(names);

  ConsoleText("Input File = " + names.source + "\n");
  ConsoleText("PreProcessor File = " + names.preprocessor + "\n");
  ConsoleText("Output File = " + names.output + "\n");
  ConsoleText("Listing File = " + names.listing + "\n");

  FillWriterSettings(options, format);

  ConsoleText("Pass 1 (run pre-processor)");
  RunPass1(format_upper, names);
  ConsoleText("\n");

  HelpTables tables;
  PassContext context;
  context.format = format;
  context.names = FrameNamesOf(names);
  context.tables = &tables;

  ConsoleText("Pass 2 (finding topics)");
  RunPass2(names, context);
  ConsoleText("\n");

  ConsoleText("Pass 3 (adding the popups)");
  RunPass3(names, context);
  ConsoleText("\n");

  ConsoleText("Pass 4 (creating output files)");
  RunPass4(names, context);
  ConsoleText("\n");

  if (options.compile) {
    const std::string message =
        FinishOutput(format, names.output, names.final_output, names.project);
    if (!message.empty()) {
      ReportMessage(false, names.listing, kWarning,
                    FormatReportLine(MainSourceName(), 0, kWarning, message));
    }
  }
  FinishListing(names.listing, names.source);
  if (options.verbose) DumpAllTables(names.listing, tables);
}

}  // namespace quillark
