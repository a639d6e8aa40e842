#include "runtime/output.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "support/temp_dir.h"

namespace quillark::runtime {
namespace {

using testing_support::TempDir;

TEST(Output, WritesBytesExactlyOrSaysWhyNot) {
  TempDir dir;
  const std::string path = dir.File("out.rtf");
  EXPECT_EQ(WriteWholeFile(path, "long old contents"), "");
  EXPECT_EQ(WriteWholeFile(path, "one\r\n"), "");
  EXPECT_EQ(AppendToFile(path, std::string_view("t\0o\xff", 4)), "");
  EXPECT_EQ(ReadWholeFile(path), std::string("one\r\nt\0o\xff", 9));
  EXPECT_EQ(ReplaceFileSafely(path, "a\r\n"), "");
  EXPECT_EQ(ReadWholeFile(path), "a\r\n");
  EXPECT_FALSE(FileExists(path + ".new"));
  // A failure gives the system's reason.
  const std::string bad = dir.File("missing/out.rtf");
  EXPECT_EQ(AppendToFile(bad, "x"), "No such file or directory");
  EXPECT_EQ(WriteWholeFile(bad, "x"), "No such file or directory");
  EXPECT_EQ(ReplaceFileSafely(bad, "x"), "No such file or directory");
  EXPECT_FALSE(AppendToFile(dir.path(), "x").empty());  // a directory
  EXPECT_FALSE(ReadWholeFile(dir.path()).has_value());
  EXPECT_EQ(FileSize(dir.path()), -1);
}

// A pass in memory counts sizes as the text arrives, keeps every byte, and
// writes its files only after a fatal report.
TEST(OutputFiles, MemoryPassKeepsTheTextUntilAFatalReport) {
  TempDir dir;
  dir.Write("old.html", "old ");
  OutputFiles files(OutputFiles::Mode::kMemory);
  EXPECT_EQ(files.Size(dir.File("pages/a.html")), -1);
  files.Append(dir.File("pages/a.html"), "");
  EXPECT_EQ(files.Size(dir.File("pages/a.html")), 0);  // created, even when empty
  std::string long_text;
  for (int i = 0; i < 5000; ++i) long_text += std::to_string(i) + ",";
  for (int i = 0; i < 40; ++i) files.Append(dir.File("pages/a.html"), long_text);
  files.Append(dir.File("old.html"), "new");  // appended after what the disk holds
  EXPECT_EQ(files.Size(dir.File("pages/a.html")), 40 * static_cast<std::int64_t>(long_text.size()));
  EXPECT_EQ(files.TextRange(dir.File("pages/a.html"), 3 * long_text.size() - 2, 6),
            long_text.substr(long_text.size() - 2) + long_text.substr(0, 4));
  EXPECT_EQ(files.TextRange(dir.File("old.html"), 0, 100), "old new");
  EXPECT_EQ(files.TextRange(dir.File("elsewhere.html"), 0, 1), std::nullopt);
  EXPECT_FALSE(FileExists(dir.File("pages/a.html")));
  EXPECT_EQ(ReadWholeFile(dir.File("old.html")), "old ");

  files.WriteOutAfterFatal();
  std::string all;
  for (int i = 0; i < 40; ++i) all += long_text;
  EXPECT_EQ(ReadWholeFile(dir.File("pages/a.html")), all);
  EXPECT_EQ(ReadWholeFile(dir.File("old.html")), "old new");
}

// Files appended to in turns keep their own text, also across the chunks
// the pass keeps it in.
TEST(OutputFiles, MemoryPassKeepsInterleavedTextApart) {
  TempDir dir;
  OutputFiles files(OutputFiles::Mode::kMemory);
  std::string expected[2];
  for (int round = 0; round < 700; ++round) {
    for (int page = 0; page < 2; ++page) {
      const std::string text(1000 + round % 7 * 500, static_cast<char>('a' + page + round % 5));
      files.Append(dir.File("p" + std::to_string(page) + ".html"), text);
      expected[page] += text;
    }
  }
  ASSERT_GT(expected[0].size() + expected[1].size(), std::size_t{3} << 20);
  for (int page = 0; page < 2; ++page) {
    const std::string path = dir.File("p" + std::to_string(page) + ".html");
    EXPECT_TRUE(files.TextRange(path, 0, files.Size(path)) == expected[page]) << page;
  }
  files.WriteOutAfterFatal();
  EXPECT_TRUE(ReadWholeFile(dir.File("p1.html")) == expected[1]);
}

// A memory pass that keeps marked ranges only: the bytes of each range as
// they arrive, over any number of appends, in files it marked before or
// after their first append; sizes count everything.
struct MarkedCase {
  const char* name;
  std::vector<std::string> appends;  // to one file, in turn
  int mark_after;                    // the appends made before the mark
  std::int64_t mark_offset;
  std::int64_t mark_count;
  std::int64_t read_offset;
  std::int64_t read_count;
  std::optional<std::string> read;  // what TextRange gives; nothing when dropped
};

class MarkedRanges : public testing::TestWithParam<MarkedCase> {};

TEST_P(MarkedRanges, KeepOnlyWhatWasMarked) {
  const MarkedCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("doc.rtf");
  OutputFiles files(OutputFiles::Mode::kMemory);
  files.Restart(OutputFiles::Mode::kMemory);
  files.KeepMarkedOnly();
  std::int64_t size = 0;
  for (std::size_t i = 0; i <= c.appends.size(); ++i) {
    if (static_cast<int>(i) == c.mark_after) files.Mark(path, c.mark_offset, c.mark_count);
    if (i == c.appends.size()) break;
    files.Append(path, c.appends[i]);
    size += static_cast<std::int64_t>(c.appends[i].size());
  }
  EXPECT_EQ(files.Size(path), size);
  EXPECT_EQ(files.TextRange(path, c.read_offset, c.read_count), c.read);
  EXPECT_EQ(files.Dropped(path, c.read_offset, c.read_count), !c.read.has_value());
  // An unmarked file keeps nothing, and one never written is not the pass's.
  files.Append(dir.File("other.rtf"), "text");
  EXPECT_TRUE(files.Dropped(dir.File("other.rtf"), 0, 2));
  EXPECT_FALSE(files.Dropped(dir.File("never.rtf"), 0, 2));
  EXPECT_EQ(files.TextRange(dir.File("never.rtf"), 0, 2), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    OutputFiles, MarkedRanges,
    testing::Values(
        MarkedCase{"MarkedBeforeTheFirstAppend", {"abc", "defg", "hij"}, 0, 2, 5, 2, 5, "cdefg"},
        MarkedCase{"MarkedWhereTheFileEnds", {"abc", "defg", "hij"}, 1, 3, 8192, 3, 7, "defghij"},
        MarkedCase{"ReadCutAtTheFileEnd", {"abc", "defg", "hij"}, 1, 3, 8192, 5, 100, "fghij"},
        MarkedCase{"ReadWithinARangeCutShort", {"abc", "defg", "hij"}, 0, 1, 4, 2, 3, "cde"},
        MarkedCase{"ReadBeyondTheRange", {"abc", "defg", "hij"}, 0, 1, 4, 2, 4, std::nullopt},
        MarkedCase{
            "MarkedAfterItsBytesPassed", {"abc", "defg", "hij"}, 2, 3, 100, 3, 2, std::nullopt},
        MarkedCase{
            "UnmarkedPartOfAMarkedFile", {"abc", "defg", "hij"}, 0, 7, 3, 0, 2, std::nullopt},
        MarkedCase{"EmptyAppendsBetween", {"ab", "", "cd", "", "ef"}, 0, 1, 4, 1, 4, "bcde"}),
    [](const testing::TestParamInfo<MarkedCase>& info) { return std::string(info.param.name); });

// Two ranges of one file that overlap each keep their bytes; a mark is
// forgotten with the pass.
TEST(OutputFiles, MarkedRangesOverlapAndEndWithThePass) {
  TempDir dir;
  const std::string path = dir.File("doc.rtf");
  OutputFiles files(OutputFiles::Mode::kMemory);
  files.KeepMarkedOnly();
  files.Append(path, "0123");
  files.Mark(path, 4, 6);
  files.Append(path, "4567");
  files.Mark(path, 8, 6);
  files.Append(path, "89ABCDEF");
  EXPECT_EQ(files.TextRange(path, 4, 6), "456789");
  EXPECT_EQ(files.TextRange(path, 8, 6), "89ABCD");
  EXPECT_EQ(files.TextRange(path, 4, 8), std::nullopt);  // across the two
  files.Restart(OutputFiles::Mode::kMemory);
  EXPECT_FALSE(files.KeepsMarkedOnly());
  files.Append(path, "whole");
  EXPECT_EQ(files.TextRange(path, 0, 5), "whole");
}

// A file on disk before the pass counts its old bytes first, as the disk
// would; a marked pass has no whole text to leave after a fatal report.
TEST(OutputFiles, MarkedPassCountsOldBytesAndLeavesNoText) {
  TempDir dir;
  dir.Write("old.rtf", "old ");
  OutputFiles files(OutputFiles::Mode::kMemory);
  files.KeepMarkedOnly();
  files.Mark(dir.File("old.rtf"), 2, 5);
  files.Append(dir.File("old.rtf"), "new");
  EXPECT_EQ(files.Size(dir.File("old.rtf")), 7);
  EXPECT_EQ(files.TextRange(dir.File("old.rtf"), 2, 5), "d new");
  files.Append(dir.File("made.rtf"), "text");
  files.WriteOutAfterFatal();
  EXPECT_EQ(ReadWholeFile(dir.File("old.rtf")), "old ");
  EXPECT_FALSE(FileExists(dir.File("made.rtf")));
}

// A pass run again stops where the first run stopped: the append after the
// limit throws, and the text holds exactly the appends before it.
TEST(OutputFiles, StopsAtTheAppendLimit) {
  TempDir dir;
  OutputFiles files(OutputFiles::Mode::kMemory);
  files.StopAtAppend(3);
  files.Append(dir.File("a.rtf"), "one ");
  files.Append(dir.File("b.rtf"), "two ");
  files.Append(dir.File("a.rtf"), "three");
  EXPECT_EQ(files.Appends(), 3u);
  EXPECT_THROW(files.Append(dir.File("b.rtf"), "four"), AppendLimitReached);
  EXPECT_EQ(files.Size(dir.File("b.rtf")), 4);
  files.WriteOutAfterFatal();
  EXPECT_EQ(ReadWholeFile(dir.File("a.rtf")), "one three");
  EXPECT_EQ(ReadWholeFile(dir.File("b.rtf")), "two ");
  files.Restart(OutputFiles::Mode::kMemory);
  EXPECT_EQ(files.Appends(), 0u);
  files.Append(dir.File("a.rtf"), "x");
  files.Append(dir.File("a.rtf"), "y");
  files.Append(dir.File("a.rtf"), "z");
  files.Append(dir.File("a.rtf"), "w");  // no limit after a restart
  EXPECT_EQ(files.Appends(), 4u);
}

// A pass on disk opens each file once, keeps few open at a time, and says
// which file failed and why.
TEST(OutputFiles, DiskPassWritesEveryFileWhole) {
  TempDir dir;
  dir.Write("p0.html", "before ");
  OutputFiles files(OutputFiles::Mode::kDisk);
  for (int round = 0; round < 3; ++round) {
    for (int page = 0; page < 40; ++page) {
      files.Append(dir.File("p" + std::to_string(page) + ".html"), std::to_string(round));
    }
  }
  EXPECT_EQ(files.Size(dir.File("p0.html")), 10);
  files.Close();
  EXPECT_EQ(ReadWholeFile(dir.File("p0.html")), "before 012");
  EXPECT_EQ(ReadWholeFile(dir.File("p39.html")), "012");
  try {
    files.Append(dir.File("p0.html/x.html"), "x");
    ADD_FAILURE() << "no error";
  } catch (const OutputError& error) {
    EXPECT_EQ(error.path, dir.File("p0.html/x.html"));
    EXPECT_EQ(error.reason, "Not a directory");
  }
  // A discarding pass writes nothing and knows no file.
  OutputFiles discard;
  discard.Append(dir.File("p1.html"), "more");
  EXPECT_EQ(discard.Size(dir.File("p1.html")), -1);
  EXPECT_EQ(ReadWholeFile(dir.File("p1.html")), "012");
}

// A folder listed at the start of a pass answers for its files: an unlisted
// file there is absent without asking the disk, a listed one is asked.
TEST(OutputFiles, KnownFolderAnswersForItsFiles) {
  TempDir dir;
  dir.Write("listed.html", "abc");
  dir.Write("unlisted.html", "abcdef");
  OutputFiles files(OutputFiles::Mode::kDisk);
  files.KnowFolder(dir.path() + "/", {dir.File("listed.html")});
  EXPECT_EQ(files.Size(dir.File("listed.html")), 3);
  EXPECT_EQ(files.Size(dir.File("unlisted.html")), -1);  // the listing says it is not there
  EXPECT_EQ(files.Size(dir.path() + "/sub/x.html"), -1);
  files.Append(dir.File("listed.html"), "d");
  EXPECT_EQ(files.Size(dir.File("listed.html")), 4);
  files.Close();
  EXPECT_EQ(ReadWholeFile(dir.File("listed.html")), "abcd");
}

#ifndef _WIN32
// Links and inodes are the POSIX side of replacing; Windows deletes and
// makes each file anew.
ino_t InodeOf(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// An earlier file the run replaces is absent to every pass. On disk it is
// rewritten in place (the same file, its old tail cut off, also when it was
// closed to make room and appended to again); a link or a file with a
// second name is made anew instead, so nothing outside the page changes.
TEST(OutputFiles, ReplacesEarlierFilesInPlace) {
  TempDir dir;
  std::vector<std::string> pages;
  for (int page = 0; page < 20; ++page) {
    // Longer and shorter than the new text.
    pages.push_back(
        dir.Write("p" + std::to_string(page) + ".html", std::string(page % 3 == 0 ? 1 : 100, 'o')));
  }
  const std::string outside = dir.Write("outside.txt", "keep");
  ASSERT_EQ(::unlink(pages[1].c_str()), 0);
  ASSERT_EQ(::symlink(outside.c_str(), pages[1].c_str()), 0);
  ASSERT_EQ(::link(pages[2].c_str(), dir.File("saved.txt").c_str()), 0);
  const ino_t p0 = InodeOf(pages[0]);

  OutputFiles files(OutputFiles::Mode::kMemory);
  files.ReplaceLater(pages);
  EXPECT_EQ(files.Size(pages[0]), -1);
  files.Append(pages[0], "m");
  EXPECT_EQ(files.TextRange(pages[0], 0, 200), "m");  // nothing of the old text
  files.Close();

  files.Restart(OutputFiles::Mode::kDisk);
  files.KnowFolder(dir.path() + "/", FilesMatching(dir.path(), "*"));
  EXPECT_EQ(files.Size(pages[3]), -1);
  for (int round = 0; round < 3; ++round) {
    for (const std::string& page : pages) files.Append(page, std::to_string(round));
  }
  files.Close();
  for (const std::string& page : pages) EXPECT_EQ(ReadWholeFile(page), "012") << page;
  EXPECT_EQ(InodeOf(pages[0]), p0);
  EXPECT_EQ(ReadWholeFile(outside), "keep");
  EXPECT_EQ(ReadWholeFile(dir.File("saved.txt")), std::string(100, 'o'));
  struct stat info {};
  ASSERT_EQ(::lstat(pages[1].c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
}

// The earlier files a run does not write again go, unless kept for a later
// pass; after a fatal report the pass's own files take their place.
TEST(OutputFiles, DeletesWhatIsNotReplaced) {
  TempDir dir;
  const std::string outside = dir.Write("outside.txt", "keep");
  const std::string linked = dir.File("linked.html");
  ASSERT_EQ(::symlink(outside.c_str(), linked.c_str()), 0);
  const std::string gone = dir.Write("gone.html", "old");
  const std::string kept = dir.Write("kept.html", "old");
  OutputFiles files(OutputFiles::Mode::kMemory);
  files.ReplaceLater({linked, gone, kept});
  files.Append(linked, "written");
  files.DeleteUnreplaced({kept, linked});
  EXPECT_FALSE(FileExists(gone));
  EXPECT_EQ(ReadWholeFile(kept), "old");
  files.WriteOutAfterFatal();
  files.DeleteUnreplaced();
  EXPECT_FALSE(FileExists(kept));
  EXPECT_EQ(ReadWholeFile(linked), "written");
  EXPECT_EQ(ReadWholeFile(outside), "keep");
}

#endif

// Every file of a folder with its bytes, and the folders by name.
std::map<std::string, std::string> Contents(const std::string& folder) {
  std::map<std::string, std::string> contents;
  for (const std::string& path : FilesMatching(folder + "/", "*")) {
    contents[path.substr(folder.size())] = ReadWholeFile(path).value_or("(folder)");
  }
  return contents;
}

// The same appends written at once and written behind leave the same files:
// earlier files rewritten (longer and shorter), more files than open
// handles, blocks larger than one write, and, with `fail_at`, a file that
// cannot be opened. Written at once the pass stops there; written behind, it
// goes on, and what it handed over after the failure must leave no trace.
struct Ending {
  std::map<std::string, std::string> files;
  std::optional<OutputError> failure;
};

Ending RunScript(bool behind, int fail_at) {
  TempDir dir;
  std::vector<std::string> earlier;
  for (int page = 0; page < 30; page += 3) {
    earlier.push_back(dir.Write("p" + std::to_string(page) + ".html", std::string(700, 'o')));
  }
  if (fail_at >= 0) ::mkdir(dir.File("p" + std::to_string(fail_at) + ".html").c_str(), 0755);
  OutputFiles files;
  files.ReplaceLater(earlier);
  files.Restart(OutputFiles::Mode::kDisk, behind);
  Ending ending;
  try {
    for (int step = 0; step < 90; ++step) {
      const int page = step % 30;
      files.SetPlace("src.txt", 1000 + step);
      const std::string text =
          page == 7 ? std::string(50000, 'b') : "round " + std::to_string(step);
      files.Append(dir.File("p" + std::to_string(page) + ".html"), text);
      files.ClearPlace();
    }
    if (std::optional<OutputError> failure = files.Settle()) throw *failure;
    files.Close();
    files.DeleteUnreplaced();
  } catch (const OutputError& error) {
    ending.failure = error;
    files.WriteOutAfterFatal();
    files.DeleteUnreplaced();
  }
  ending.files = Contents(dir.path());
  return ending;
}

TEST(OutputFiles, WritingBehindLeavesWhatWritingAtOnceLeaves) {
  for (const int fail_at : {-1, 4, 13, 29}) {
    const Ending at_once = RunScript(false, fail_at);
    const Ending behind = RunScript(true, fail_at);
    EXPECT_EQ(behind.files, at_once.files) << fail_at;
    ASSERT_EQ(behind.failure.has_value(), fail_at >= 0) << fail_at;
    if (!behind.failure) continue;
    EXPECT_EQ(behind.failure->reason, at_once.failure->reason);
    EXPECT_EQ(BaseName(behind.failure->path), BaseName(at_once.failure->path));
#ifndef _WIN32
    // Windows writes as the pass goes: the failure is thrown at once.
    ASSERT_TRUE(behind.failure->place.has_value());
    // The first append to the failed file: the page's first step.
    EXPECT_EQ(behind.failure->place->source, "src.txt");
    EXPECT_EQ(behind.failure->place->line, 1000 + fail_at) << fail_at;
    EXPECT_EQ(behind.failure->steps_before, static_cast<std::uint64_t>(fail_at));
#endif
  }
}

TEST(FileText, MapsOrReadsAWholeFile) {
  TempDir dir;
  std::string reason;
  EXPECT_EQ(FileText::Read(dir.Write("a.pp", "line\r\n"), &reason).view(), "line\r\n");
  EXPECT_EQ(FileText::Read(dir.Write("empty.pp", ""), &reason).view(), "");
  EXPECT_EQ(FileText::Read(dir.File("gone.pp"), &reason).view(), "");
  EXPECT_EQ(reason, "No such file or directory");
}

}  // namespace
}  // namespace quillark::runtime
