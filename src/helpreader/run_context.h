// Everything one compilation works on, in one place: the file names, the
// writer state, the help tables and what is derived from them, the listing,
// the source reader and the output files of the pass under way. The driver
// makes one per run and hands it down to the passes, the line processor and
// the tag processor; nothing about a run lives anywhere else.
#ifndef QUILLARK_HELPREADER_RUN_CONTEXT_H_
#define QUILLARK_HELPREADER_RUN_CONTEXT_H_

#include <chrono>
#include <cstdio>
#include <deque>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "helpmain/report.h"
#include "helpreader/source_reader.h"
#include "helptables/help_table.h"
#include "helpwriter/bitmaps.h"
#include "helpwriter/file_names.h"
#include "helpwriter/topic_order.h"
#include "helpwriter/writer_state.h"
#include "runtime/files.h"
#include "runtime/output.h"

namespace quillark {

// Thrown while the first pass reads ahead of the pre-processor, at a step
// that cannot be taken back (writing a file): the pass is then run again
// once the pre-processor has ended.
struct ReadAheadStop {};

struct RunContext {
  explicit RunContext(Listing& run_listing) : listing(run_listing) {
    pictures.before_disk = [this] { SettleOutput(); };
  }
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  OutputFormat format = OutputFormat::kNone;
  FileNames names;
  FrameFileNames frame_names;
  WriterState writer;
  HelpTables tables;
  Listing& listing;
  SourceReader reader;
  runtime::FileText preprocessed;  // the pre-processor file's text, read once for the passes
  PictureFiles pictures;
  // The temporary include files that exist: any the start of the run could
  // not delete, and those the run has written since.
  std::set<std::string> include_files;
  // The source includes topics from other files (the first pass met an
  // include tag): the passes after it may write files beside the output.
  bool includes_topics = false;
  // The topics the source ends inside (told once, at the end of the first pass).
  std::set<std::string> topics_without_end;
  // The link pages the CHM index wrote, for the project to list.
  std::vector<std::string> index_link_pages;
  // The pages an earlier run left in the page folder have been listed for
  // the output to replace.
  bool earlier_pages_listed = false;

  // The pass under way.
  runtime::OutputFiles output;
  bool writes_output = false;  // the pass renders its text (Passes 3 and 4)
  // Set in the output pass, where the heading table is in source order.
  bool headings_in_source_order = false;
  // Pictures and files passed through are marked in the text rather than
  // inserted: the page header and footer insert them once they are cut.
  bool defer_inserts = false;
  // When the console last received the progress dots.
  std::chrono::steady_clock::time_point last_dot_flush;
  // The first pass is reading the pre-processor file while it is written:
  // its reports and dots are held back, and it writes no file.
  bool reading_ahead = false;
  int held_dots = 0;
  // The popup pass is running again to rebuild text it had dropped: its
  // reports and dots were shown the first time.
  bool replaying = false;
  // Dots waiting for the writer behind, each with the appends handed over
  // before it.
  std::deque<std::uint64_t> waiting_dots;

  // Called before writing a file from a pass.
  void BeforeWritingFiles() {
    if (reading_ahead) throw ReadAheadStop{};
    // Such a pass is run again on a fatal report, which a written file
    // would change: only a source without include tags may drop text.
    if (output.KeepsMarkedOnly()) {
      throw std::logic_error("a pass that drops text wrote a file beside the output");
    }
    SettleOutput();
  }

  // While the output pass writes behind, a step others can see (a report,
  // the console, a file read or written beside the output) first waits for
  // the writer: a failure it met ends the run there, as it would have at once.
  void SettleOutput() {
    if (std::optional<runtime::OutputError> failure = output.Settle()) {
      // The progress dots of lines after the failed one never show.
      ShowDots(failure->steps_before);
      waiting_dots.clear();
      ReportWriteFailure(*failure);
    }
    ShowDots(output.StepsAppended());
  }

  // A progress dot; while the output pass writes behind, it shows once the
  // writer has done what the pass had handed it by then.
  void Dot() {
    if (!output.WritesBehind()) {
      PrintDot();
      return;
    }
    waiting_dots.push_back(output.StepsAppended());
    ShowDots(output.StepsDone());
  }

  // Shows the waiting dots that came before `steps` appends were done.
  void ShowDots(std::uint64_t steps) {
    while (!waiting_dots.empty() && waiting_dots.front() <= steps) {
      waiting_dots.pop_front();
      PrintDot();
    }
  }

  void PrintDot() {
    std::fputc('.', stdout);
    const auto now = std::chrono::steady_clock::now();
    if (now - last_dot_flush >= std::chrono::milliseconds(100)) {
      std::fflush(stdout);
      last_dot_flush = now;
    }
  }

  // Ends the run for a file the output could not write, reported where the
  // source stood when the text was handed over (or stands now).
  [[noreturn]] void ReportWriteFailure(const runtime::OutputError& error) {
    const std::string message = "Cannot write \"" + error.path + "\": " + error.reason;
    if (error.place) {
      ReportMessage(false, listing, kFatal,
                    FormatReportLine(error.place->source, error.place->line, kFatal, message));
    } else {
      ReportAtSource(kFatal, message);
    }
    throw FatalStop();
  }

  // Topic order, brought up to date with TopicTab.
  const TopicOrder& Order() {
    topic_order_.Update(tables.topics);
    return topic_order_;
  }
  // Forgets the topic order, for tables put back as they were.
  void ForgetOrder() { topic_order_ = TopicOrder(); }

  // Reports `message` at the reader's current file and line; a fatal kind
  // ends the run.
  void ReportAtSource(char kind, std::string_view message) {
    ReportMessage(
        false, listing, kind,
        FormatReportLine(reader.CurrentSourceName(), reader.CurrentLineNumber(), kind, message));
  }

 private:
  TopicOrder topic_order_;
};

}  // namespace quillark

#endif  // QUILLARK_HELPREADER_RUN_CONTEXT_H_
