// Pass 2 reads the pre-processor file while the pre-processor still writes
// it. A stand-in pre-processor writes the source in two parts with a pause
// between, so that the pass has read the first part and must wait; the run
// must end exactly as it does when the whole file comes at once: the same
// listing, console, exit status and files, whether the pre-processor then
// ends well or fails, and whether the pass met a fatal report or a file it
// had to write before the pre-processor ended.
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

struct ReadAheadCase {
  const char* name;
  std::string first_part;   // written at once
  std::string second_part;  // written after the pause
  std::string ending;       // the stand-in's last shell line: how it ends
  // The whole listing ({PP} and {SRC} stand for the pre-processor file and
  // the source), or empty when only the comparison counts.
  std::string listing;
};
void PrintTo(const ReadAheadCase& c, std::ostream* os) { *os << c.name; }

// Topic text long enough for the progress dots of the first part.
std::string Filler(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "Line " + std::to_string(i) + " of the text.\n";
  return text;
}

const std::string kFirst = "<topic>Intro</topic>\n<head1>Intro</head1>\n" + Filler(250) +
                           "A <keyword>bad%keyword</keyword> here.\n<endtopic/>\n";
const std::string kSecond =
    "<topic>Usage</topic>\n<head2>Usage</head2>\n" + Filler(150) +
    "See <jump_topic>Intro</jump_topic> and <jump_topic>Missing</jump_topic>.\n"
    "A <keyword>worse%keyword</keyword>.\n<endtopic/>\n";

const std::string kWarnings =
    "{PP}(  253): Warning : The keyword \"bad%keyword\" is empty or has characters that are not "
    "allowed.\r\n"
    "{PP}(  407): Warning : Ignoring 1 jump(s) to undefined topic MISSING\r\n"
    "{PP}(  408): Warning : The keyword \"worse%keyword\" is empty or has characters that are not "
    "allowed.\r\n";

// Every file of the folder but the stand-in's own, with its bytes.
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = std::filesystem::relative(entry.path(), folder).string();
    if (entry.is_regular_file() && name.rfind("part", 0) != 0) files[name] = ReadFile(entry.path());
  }
  return files;
}

struct Outcome {
  int exit_status;
  std::string console;
  std::map<std::string, std::string> files;
};

// Runs the source of the two parts through a stand-in pre-processor that
// writes them with `pause` seconds between, then ends with `ending`.
Outcome RunWithPause(const TempDir& dir, const TempDir& bin, const ReadAheadCase& c,
                     const char* pause) {
  WriteFile(dir.File("book.txt"), c.first_part + c.second_part);
  WriteFile(dir.File("part1"), c.first_part);
  WriteFile(dir.File("part2"), c.second_part);
  const std::string gpp = bin.File("gpp");
  WriteFile(gpp, "#!/bin/sh\n/bin/cat '" + dir.File("part1") + "' > \"$3\"\n/bin/sleep " + pause +
                     "\n/bin/cat '" + dir.File("part2") + "' >> \"$3\"\n" + c.ending + "\n");
  EXPECT_EQ(::chmod(gpp.c_str(), 0755), 0);
  const std::string path = bin.path();
  const RunResult run = RunQuillark({"-i", "book", "-g", "HTML"}, dir.path(), &path);
  return Outcome{run.exit_status, run.out + run.err, Files(dir.path())};
}

class ReadAhead : public ::testing::TestWithParam<ReadAheadCase> {};

TEST_P(ReadAhead, EndsAsWhenTheWholeFileCameAtOnce) {
  TempDir dir;
  TempDir bin;
  WriteFile(dir.File("other.txt"),
            "Other file\n<topic>Borrowed</topic>\n<head2>Borrowed</head2>\nText.\n<endtopic/>\n");
  Outcome at_once = RunWithPause(dir, bin, GetParam(), "0");
  Outcome paused = RunWithPause(dir, bin, GetParam(), "0.4");
  EXPECT_EQ(paused.exit_status, at_once.exit_status);
  EXPECT_EQ(paused.console, at_once.console);
  EXPECT_EQ(paused.files["book.lst"], at_once.files["book.lst"]);
  EXPECT_EQ(paused.files, at_once.files);
  std::string listing = GetParam().listing;
  for (const auto& [mark, path] : {std::pair<std::string, std::string>{"{PP}", dir.File("book.pp")},
                                   {"{SRC}", dir.File("book.txt")}}) {
    for (std::size_t at; (at = listing.find(mark)) != std::string::npos;) {
      listing.replace(at, mark.size(), path);
    }
  }
  if (!listing.empty()) {
    EXPECT_EQ(paused.files["book.lst"], listing);
  }
  if (listing.find("Cannot run pre-processor") != std::string::npos) {
    // Nothing is left of the pass: no include file, no pre-processor file.
    std::vector<std::string> names;
    for (const auto& entry : paused.files) names.push_back(entry.first);
    EXPECT_EQ(names, (std::vector<std::string>{"book.lst", "book.txt", "other.txt"}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Passes, ReadAhead,
    ::testing::Values(
        // Reports from both parts come out in order once the pre-processor has ended.
        ReadAheadCase{"EndsWell", kFirst, kSecond, "exit 0", kWarnings},
        // A fatal report in the first part waits for the pre-processor's end.
        ReadAheadCase{"FatalBeforeTheEnd",
                      "<topic>A</topic>\n" + Filler(120) + "<topic>B</topic>\n", kSecond, "exit 0",
                      "{PP}(  122): Fatal : Topic tag inside topic, previous <endtopic/> tag "
                      "missing?\r\n"},
        // The pre-processor's failure ends the run; the pass leaves nothing.
        ReadAheadCase{"PreprocessorFails", kFirst, kSecond,
                      "echo 'book.txt:9: error: late trouble' >&2\nexit 3",
                      "{SRC}: Error : gpp: book.txt:9: error: late trouble\r\n"
                      "{SRC}: Error : Cannot run pre-processor, it returned error number 3.\r\n"},
        ReadAheadCase{"PreprocessorFailsAfterAFatal",
                      "<topic>A</topic>\n" + Filler(120) + "<topic>B</topic>\n", kSecond, "exit 2",
                      "{SRC}: Error : Cannot run pre-processor, it returned error number 2.\r\n"},
        ReadAheadCase{
            "PreprocessorKilled", kFirst, kSecond, "kill -9 $$",
            "{SRC}: Error : Cannot run pre-processor, it was ended by signal 9 (Killed).\r\n"},
        // Writing an include file cannot wait: the pass runs again after Pass 1.
        ReadAheadCase{"IncludeFileInTheFirstPart",
                      kFirst +
                          "<topic_include>\"other.txt\",Borrowed,Borrowed_Copy</topic_include>\n"
                          "<endtopic/>\n",
                      kSecond, "exit 0", ""},
        ReadAheadCase{"IncludeFileThenPreprocessorFails",
                      kFirst +
                          "<topic_include>\"other.txt\",Borrowed,Borrowed_Copy</topic_include>\n"
                          "<endtopic/>\n",
                      kSecond, "exit 1",
                      "{SRC}: Error : Cannot run pre-processor, it returned error number 1.\r\n"},
        // The last line has no line end: it is read once the pre-processor has ended.
        ReadAheadCase{"LastLineWithoutLineEnd", kFirst, "<topic>Tail</topic>\ntext", "exit 0", ""}),
    [](const ::testing::TestParamInfo<ReadAheadCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quillark::e2e
