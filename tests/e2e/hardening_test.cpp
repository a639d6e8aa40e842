// Whole runs under unlucky and hostile conditions: names that look like
// patterns, long paths, unreadable files, runs at the same time, quotes and
// other odd characters. What the user had must still be there afterwards,
// and a failure must never end in success.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "e2e/e2e_support.h"
#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

namespace fs = std::filesystem;

constexpr char kTopic[] = "<topic>Intro</topic>\n<head1>Intro</head1>\nSome text.\n<endtopic/>\n";

// A PATH of one folder holding gpp alone: no outside help compiler is found,
// so the program's own make the help files.
std::string GppOnlyPath(const TempDir& bin) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "/usr/bin";
  while (!rest.empty()) {
    const std::string folder(rest.substr(0, rest.find(':')));
    if (fs::exists(folder + "/gpp")) fs::create_symlink(folder + "/gpp", bin.File("gpp"));
    if (fs::exists(bin.File("gpp")) || rest.find(':') == std::string_view::npos) break;
    rest.remove_prefix(rest.find(':') + 1);
  }
  return bin.path();
}

// Every file under `folder` (relative name -> contents), the run's own
// console captures left out.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = fs::relative(entry.path(), folder).string();
    if (name == ".stdout" || name == ".stderr") continue;
    files[name] = ReadFile(entry.path().string());
  }
  return files;
}

// The files of `before` that are gone or changed in `after`.
std::vector<std::string> Lost(const std::map<std::string, std::string>& before,
                              const std::map<std::string, std::string>& after) {
  std::vector<std::string> lost;
  for (const auto& [name, data] : before) {
    const auto it = after.find(name);
    if (it == after.end() || it->second != data) lost.push_back(name);
  }
  return lost;
}

struct PatternCase {
  const char* name;
  std::string input;
  std::string format;
  std::vector<std::string> bystanders;
};
void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.name; }

class PatternNames : public ::testing::TestWithParam<PatternCase> {};

// A "*" or "?" in the input name is a character of the name: the run deletes
// its own earlier results and nothing else.
TEST_P(PatternNames, DeleteNothingButTheRunsOwnFiles) {
  TempDir dir;
  WriteFile(dir.File(GetParam().input + ".txt"), kTopic);
  for (const std::string& name : GetParam().bystanders) {
    fs::create_directories(fs::path(dir.File(name)).parent_path());
    WriteFile(dir.File(name), "user's " + name);
  }
  const auto before = Snapshot(dir.path());
  const RunResult run = RunQuillark({"-i", GetParam().input, "-g", GetParam().format}, dir.path());
  EXPECT_EQ(run.exit_status, 0) << run.out;
  EXPECT_EQ(Lost(before, Snapshot(dir.path())), std::vector<std::string>{});
  EXPECT_EQ(ReadFile(dir.File(GetParam().input + ".lst")),
            dir.File(GetParam().input + ".txt") + ": 0 errors.\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Hardening, PatternNames,
    ::testing::Values(
        PatternCase{"StarKeepsTheSource", "x*", "RTF", {"xy.txt", "xz.rtf", "x.lst"}},
        PatternCase{"LoneStar", "*", "RTF", {"book.txt", "index.html", "thesis.doc", "a.rtf"}},
        PatternCase{"QuestionMark",
                    "b?ok",
                    "HLP",
                    {"book.rtf", "book.hlp", "book.lst", "book.pp", "book.hpj", "book.cnt"}},
        PatternCase{"StarInAPageFolder", "w*", "HTML", {"web/index.html", "www.html"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Full paths of any length the system takes work; nothing is cut, so no two
// of the run's names become one file and no user file is taken for one.
TEST(LongPaths, WorkUncutAndTouchNoNamesake) {
  TempDir dir;
  std::string folder = dir.path();
  for (int level = 0; level < 3; ++level) {
    folder += "/" + std::string(90, static_cast<char>('a' + level));
    fs::create_directory(folder);
  }
  const std::string input = folder + "/" + std::string(40, 'n');
  ASSERT_GT(input.size() + 4, 255u);
  // What the classic program's 255-character cut made of the run's names.
  const std::string cut = (input + ".lst").substr(0, 255);
  WriteFile(input + ".txt", kTopic);
  WriteFile(cut, "a user file");
  for (const char* format : {"HTML", "RTF"}) {
    const RunResult run = RunQuillark({"-i", input, "-g", format, "-gx"}, dir.path());
    EXPECT_EQ(run.exit_status, 0) << format << run.out;
    EXPECT_EQ(ReadFile(input + ".lst"), input + ".txt: 0 errors.\r\n") << format;
    EXPECT_EQ(ReadFile(cut), "a user file");
  }
  EXPECT_TRUE(Exists(input + "_out.rtf"));
  EXPECT_TRUE(Exists(input + ".html"));
  EXPECT_TRUE(Exists(input + "/INTRO.html"));
}

// A source of `topics` topics with enough text that two runs on it overlap.
std::string LongSource(int topics) {
  std::string text;
  for (int i = 0; i < topics; ++i) {
    const std::string key = "T" + std::to_string(i);
    text += "<topic>" + key + "</topic>\n<head1>Topic " + key + "</head1>\n";
    for (int line = 0; line < 20; ++line) text += "Some <b>bold</b> text of " + key + ".\n";
    text += "<endtopic/>\n";
  }
  return text;
}

// Waits (up to half a minute) until `path` holds `text`.
bool AppearsIn(const std::string& path, const std::string& text) {
  for (int i = 0; i < 300; ++i) {
    if (ReadFile(path).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

// A run in a folder that another run holds waits, touching nothing, and
// goes on when the other has finished.
TEST(RunsAtOnce, SecondRunWaitsUntilTheFolderIsFree) {
  TempDir dir;
  fs::create_directory(dir.File("work"));
  WriteFile(dir.File("book.txt"), kTopic);
  WriteFile(dir.File("book.lst"), "the other run's listing");
  const int folder = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);
  ASSERT_EQ(flock(folder, LOCK_EX), 0);
  RunResult run;
  std::thread waiting([&] {
    run = RunQuillark({"-i", dir.File("book"), "-g", "RTF"}, dir.File("work"));
  });
  const bool told =
      AppearsIn(dir.File("work/.stdout"), "Another run is using the folder \"" + dir.path() +
                                              "/\": waiting for it to finish.\n");
  EXPECT_TRUE(told);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), "the other run's listing");
  EXPECT_FALSE(Exists(dir.File("book.pp")));
  close(folder);
  waiting.join();
  EXPECT_EQ(run.exit_status, 0) << run.out;
  EXPECT_EQ(ReadFile(dir.File("book.lst")), dir.File("book.txt") + ": 0 errors.\r\n");
  EXPECT_TRUE(Exists(dir.File("book.rtf")));
}

// Two runs started together on one source, or on two sources of one folder,
// give what each gives alone.
TEST(RunsAtOnce, OutputIsWhatOneRunGives) {
  TempDir dir;
  fs::create_directory(dir.File("one"));
  fs::create_directory(dir.File("two"));
  WriteFile(dir.File("book.txt"), LongSource(300));
  WriteFile(dir.File("other.txt"), LongSource(200));
  const RunResult alone = RunQuillark({"-i", dir.File("book"), "-g", "RTF"}, dir.File("one"));
  ASSERT_EQ(alone.exit_status, 0);
  const std::string expected = ReadFile(dir.File("book.rtf"));
  for (const char* format : {"RTF", "HTML"}) {
    RunResult first;
    RunResult second;
    std::thread one([&] {
      first = RunQuillark({"-i", dir.File("book"), "-g", format}, dir.File("one"));
    });
    std::thread two([&] {
      second = RunQuillark({"-i", dir.File("book"), "-g", format}, dir.File("two"));
    });
    one.join();
    two.join();
    EXPECT_EQ(first.exit_status, 0) << format;
    EXPECT_EQ(second.exit_status, 0) << format;
    EXPECT_EQ(ReadFile(dir.File("book.lst")), dir.File("book.txt") + ": 0 errors.\r\n");
  }
  EXPECT_EQ(ReadFile(dir.File("book.rtf")), expected);
  // Each page holds one document.
  const std::string page = ReadFile(dir.File("book/T150.html"));
  EXPECT_EQ(page.find("</html>"), page.rfind("</html>"));
  EXPECT_NE(page.find("</html>"), std::string::npos);

  // Two CHM runs of different sources share the page folder temp/.
  TempDir bin;
  const std::string path = GppOnlyPath(bin);
  RunResult book;
  RunResult other;
  std::thread one([&] {
    book = RunQuillark({"-i", dir.File("book"), "-g", "CHM", "-gx"}, dir.File("one"), &path);
  });
  std::thread two([&] {
    other = RunQuillark({"-i", dir.File("other"), "-g", "CHM", "-gx"}, dir.File("two"), &path);
  });
  one.join();
  two.join();
  EXPECT_EQ(book.exit_status, 0);
  EXPECT_EQ(other.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), dir.File("book.txt") + ": 0 errors.\r\n");
  EXPECT_EQ(ReadFile(dir.File("other.lst")), dir.File("other.txt") + ": 0 errors.\r\n");
  EXPECT_TRUE(Exists(dir.File("book.chm")));
  EXPECT_TRUE(Exists(dir.File("other.chm")));
}

// A name the system cannot take is refused before anything is deleted.
TEST(LongPaths, TooLongForTheSystemIsRefusedFirst) {
  TempDir dir;
  std::string folder = dir.path();
  while (folder.size() + 251 + 2 <= 4019) {
    folder += "/" + std::string(250, 'd');
    ASSERT_TRUE(fs::create_directory(folder));
  }
  folder += "/" + std::string(4019 - folder.size() - 1, 'e');
  ASSERT_TRUE(fs::create_directory(folder));
  const std::string input = folder + "/" + std::string(30, 'n');
  ASSERT_EQ(input.size(), 4050u);
  WriteFile(input + ".txt", kTopic);
  WriteFile(input + ".lst", "an earlier listing");
  // The source and listing fit; a page of the HTML folder would not.
  const RunResult run = RunQuillark({"-i", input, "-g", "HTML"}, dir.path());
  EXPECT_EQ(run.exit_status, 2);
  EXPECT_NE(run.out.find("makes a file name of 4105 characters; the system takes at most 4095."),
            std::string::npos)
      << run.out;
  EXPECT_EQ(ReadFile(input + ".lst"), "an earlier listing");
  const RunResult rtf = RunQuillark({"-i", input, "-g", "RTF"}, dir.path());
  EXPECT_EQ(rtf.exit_status, 0) << rtf.out;
  EXPECT_EQ(ReadFile(input + ".lst"), input + ".txt: 0 errors.\r\n");
}

// On Linux a "\" in the input name is a character: the run's own names keep
// it whole, while a "\" written inside the source still separates folders.
// The project files of HLP and CHM use "\" between folders, so there such a
// name is refused before anything is touched.
TEST(NameCharacters, BackslashInTheInputNameIsPartOfTheName) {
  TempDir dir;
  fs::create_directory(dir.File("pics"));
  WriteFile(dir.File("pics/good.bmp"), ReadFile(QUILLARK_E2E_DIR "/html_family/logo.bmp"));
  WriteFile(dir.File("a\\b.txt"),
            "<topic>Intro</topic>\n<head1>Intro</head1>\n<img_left>pics\\good.bmp</img_left>\n"
            "<endtopic/>\n");
  for (const char* format : {"HTML", "RTF"}) {
    const RunResult run = RunQuillark({"-i=a\\b", "-g", format, "-gx"}, dir.path());
    EXPECT_EQ(run.exit_status, 0) << format;
    EXPECT_EQ(ReadFile(dir.File("a\\b.lst")), dir.File("a\\b.txt") + ": 0 errors.\r\n") << format;
  }
  EXPECT_TRUE(Exists(dir.File("a\\b/good.bmp")));
  EXPECT_TRUE(Exists(dir.File("a\\b/INTRO.html")));
  EXPECT_TRUE(Exists(dir.File("a\\b_out.rtf")));
  EXPECT_FALSE(Exists(dir.File("a")));
  for (const char* format : {"HLP", "CHM"}) {
    const RunResult run = RunQuillark({"-i=a\\b", "-g", format, "-gx"}, dir.path());
    EXPECT_EQ(run.exit_status, 2) << format;
    EXPECT_NE(run.out.find("the input file name may not contain a \"\\\"."), std::string::npos)
        << run.out;
  }
  EXPECT_EQ(ReadFile(dir.File("a\\b.lst")), dir.File("a\\b.txt") + ": 0 errors.\r\n");
}

// A double quote would end a quoted value in a project file or an attribute
// in a page: such a name is refused in every format.
TEST(NameCharacters, DoubleQuoteInTheInputNameIsRefused) {
  TempDir dir;
  WriteFile(dir.File("it\"s.txt"), kTopic);
  for (const char* format : {"NONE", "HTML", "CHM"}) {
    const RunResult run = RunQuillark({"-i", "it\"s", "-g", format}, dir.path());
    EXPECT_EQ(run.exit_status, 2) << format;
    EXPECT_TRUE(run.out.starts_with("The input file name may not contain a double quote.\n"))
        << run.out;
  }
  EXPECT_EQ(Snapshot(dir.path()).size(), 1u);
}

// A stand-in for gpp that says why it fails, or is killed: the listing
// carries its words and tells a signal as such.
TEST(Preprocessor, FailureCarriesItsOwnMessagesAndSignals) {
  TempDir dir;
  TempDir bin;
  WriteFile(dir.File("book.txt"), kTopic);
  const std::string gpp = bin.File("gpp");
  const std::string path = bin.path();
  WriteFile(gpp,
            "#!/bin/sh\necho 'book.txt:4: error: Stack depth exceeded during parse' >&2\n"
            "echo 'second line' >&2\nexit 1\n");
  ASSERT_EQ(chmod(gpp.c_str(), 0755), 0);
  RunResult run = RunQuillark({"-i", "book", "-g", "HTML"}, dir.path(), &path);
  EXPECT_EQ(run.exit_status, 1);
  const std::string source = dir.File("book.txt");
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            source + ": Error : gpp: book.txt:4: error: Stack depth exceeded during parse\r\n" +
                source + ": Error : gpp: second line\r\n" + source +
                ": Error : Cannot run pre-processor, it returned error number 1.\r\n");
  EXPECT_EQ(run.err, "");  // the console shows only the banner and the passes

  WriteFile(gpp, "#!/bin/sh\nkill -9 $$\n");
  run = RunQuillark({"-i", "book", "-g", "HTML"}, dir.path(), &path);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            source + ": Error : Cannot run pre-processor, it was ended by signal 9 (Killed).\r\n");
}

// A source that ends inside a topic or an open pair says so where it began,
// instead of a misleading word about headings.
TEST(Structure, EndOfFileInsideATopicOrAPairIsTold) {
  TempDir dir;
  WriteFile(dir.File("book.txt"),
            "<topic>A</topic>\n<head1>A</head1>\ntext\n<endtopic/>\n"
            "<topic>B</topic>\n<head2>B</head2>\nSee <jump_topic>A\n");
  const RunResult run = RunQuillark({"-i", "book", "-g", "HTML"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  const std::string pp = dir.File("book.pp");
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            pp + "(    5): Error : Topic \"B\" has no <endtopic/>: the file ends inside it.\r\n" +
                pp +
                "(    7): Error : The <jump_topic> pair opened here is not closed: the file ends "
                "inside it.\r\n");
}

// An example block left open: the HTML Help project names no page that was
// never written, and the help file is made.
TEST(Structure, UnwrittenExamplePageIsNotListed) {
  TempDir dir;
  TempDir bin;
  const std::string path = GppOnlyPath(bin);
  WriteFile(dir.File("book.txt"), "<topic>A</topic>\n<head1>A</head1>\n<example>\ncode\n");
  const RunResult run = RunQuillark({"-i", "book", "-g", "CHM", "-gx"}, dir.path(), &path);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("temp/book.hhp")).find("_example.xhtml"), std::string::npos);
  EXPECT_TRUE(Exists(dir.File("book.chm")));
  EXPECT_EQ(ReadFile(dir.File("book.lst")),
            dir.File("book.pp") +
                "(    1): Error : Topic \"A\" has no <endtopic/>: the file ends inside it.\r\n");
}

// The HTML page of a topic the file ends inside offers no example page,
// since none is written.
TEST(Structure, UnwrittenExamplePageIsNotLinked) {
  TempDir dir;
  WriteFile(dir.File("book.txt"), "<topic>A</topic>\n<head1>A</head1>\n<example>\ncode\n");
  ASSERT_EQ(RunQuillark({"-i", "book", "-g", "HTML"}, dir.path()).exit_status, 0);
  EXPECT_FALSE(Exists(dir.File("book/A_example.html")));
  EXPECT_EQ(ReadFile(dir.File("book/A.html")).find("A_example.html"), std::string::npos);
}

// An example block that holds no text writes no example page, so the topic
// offers none: here the closing tag of another topic's block opens one.
TEST(Structure, EmptyExampleBlockOffersNoPage) {
  TempDir dir;
  WriteFile(dir.File("book.txt"),
            "<topic>A</topic>\n<head1>A</head1>\n<example>\ncode\n<endtopic/>\n"
            "<topic>B</topic>\n<head1>B</head1>\ntext\n</example>\n<endtopic/>\n");
  ASSERT_EQ(RunQuillark({"-i", "book", "-g", "HTML"}, dir.path()).exit_status, 0);
  EXPECT_TRUE(Exists(dir.File("book/A_example.html")));
  EXPECT_NE(ReadFile(dir.File("book/A.html")).find("A_example.html"), std::string::npos);
  EXPECT_FALSE(Exists(dir.File("book/B_example.html")));
  EXPECT_EQ(ReadFile(dir.File("book/B.html")).find("B_example.html"), std::string::npos);
}

// A source without topics says so, and no file names a page that is not there.
TEST(Structure, NoTopicMeansNoFirstPage) {
  TempDir dir;
  TempDir bin;
  const std::string path = GppOnlyPath(bin);
  WriteFile(dir.File("book.txt"), "Just text.\n");
  for (const char* format : {"CHM", "HTML"}) {
    const RunResult run = RunQuillark({"-i", "book", "-g", format, "-gx"}, dir.path(), &path);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(ReadFile(dir.File("book.lst")),
              dir.File("book.txt") +
                  ": Warning : The source has no topic outside popups: the help has no page to "
                  "open on.\r\n")
        << format;
  }
  const std::string project = ReadFile(dir.File("temp/book.hhp"));
  EXPECT_EQ(project.find(".html"), std::string::npos) << project;
  EXPECT_TRUE(Exists(dir.File("book.chm")));
  EXPECT_NE(ReadFile(dir.File("book.html")).find("URL=book/_contents.html\""), std::string::npos);
}

// "?", "#", "%" and '"' in the names a page links are escaped, so a browser
// finds the style sheet and the pictures; a dot in the page folder's name
// stays in the start page's link.
TEST(NameCharacters, LinksEscapeWhatAddressesRead) {
  TempDir dir;
  WriteFile(dir.File("a\"b%c.bmp"), ReadFile(QUILLARK_E2E_DIR "/html_family/logo.bmp"));
  WriteFile(dir.File("b?o.k.txt"),
            "<topic>Intro</topic>\n<head1>Intro</head1>\n<img_left>a\"b%c.bmp</img_left>\n"
            "<endtopic/>\n");
  ASSERT_EQ(RunQuillark({"-i", "b?o.k", "-g", "HTML", "-gx"}, dir.path()).exit_status, 0);
  const std::string page = ReadFile(dir.File("b?o.k/INTRO.html"));
  EXPECT_NE(page.find("href=\"b%3Fo.css\""), std::string::npos) << page;
  EXPECT_NE(page.find("<img border=\"0\" src=\"a%22b%25c.bmp\" alt=\"a&quot;b%c\"/>"),
            std::string::npos)
      << page;
  EXPECT_TRUE(Exists(dir.File("b?o.k/a\"b%c.bmp")));
  EXPECT_NE(ReadFile(dir.File("b?o.k.html")).find("URL=b%3Fo.k/INTRO.html\""), std::string::npos);
}

// A picture beside a source deep in folders is found, copied and named whole.
TEST(LongPaths, PicturePathsAreNotCut) {
  TempDir dir;
  const std::string folder = dir.path() + "/" + std::string(250, 'd');
  fs::create_directory(folder);
  WriteFile(folder + "/pic.bmp", ReadFile(QUILLARK_E2E_DIR "/html_family/logo.bmp"));
  WriteFile(folder + "/book.txt",
            "<topic>Intro</topic>\n<head1>Intro</head1>\n<img_left>pic.bmp</img_left>\n"
            "<endtopic/>\n");
  ASSERT_EQ(RunQuillark({"-i", folder + "/book", "-g", "HTML"}, dir.path()).exit_status, 0);
  EXPECT_TRUE(Exists(folder + "/book/pic.bmp"));
  ASSERT_EQ(RunQuillark({"-i", folder + "/book", "-g", "HLP"}, dir.path()).exit_status, 0);
  EXPECT_NE(ReadFile(folder + "/book.hpj").find("[BITMAPS]\r\n" + folder + "/pic.bmp\r\n"),
            std::string::npos);
  EXPECT_EQ(ReadFile(folder + "/book.lst"), folder + "/book.txt: 0 errors.\r\n");
}

// Lines ending in a lone CR are lines: nothing of such a source is lost.
TEST(Structure, LoneCarriageReturnsEndLines) {
  TempDir dir;
  WriteFile(dir.File("book.txt"),
            "<topic>Intro</topic>\r<head1>Intro</head1>\rFirst line.\rSecond line.\r<endtopic/>\r");
  const RunResult run = RunQuillark({"-i", "book", "-g", "HTML"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), dir.File("book.txt") + ": 0 errors.\r\n");
  const std::string page = ReadFile(dir.File("book/INTRO.html"));
  EXPECT_NE(page.find("First line.<br/>\r\nSecond line.<br/>\r\n"), std::string::npos) << page;
}

// A stray comment tag turns the rest of the topic's text off, but the
// example page its button names is still written.
TEST(Structure, StrayCommentTagKeepsTheExamplePage) {
  TempDir dir;
  WriteFile(dir.File("book.txt"),
            "<topic>Intro</topic>\r\n<head1>Intro</head1>\r\n<example>\r\nrun it\r\n"
            "</example>\r\n</comment>\r\nHidden text.\r\n<endtopic/>\r\n"
            "<topic>Next</topic>\r\n<head1>Next</head1>\r\nShown.\r\n<endtopic/>\r\n");
  const RunResult run = RunQuillark({"-i", "book", "-g", "HTML"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  const std::string page = ReadFile(dir.File("book/INTRO.html"));
  EXPECT_NE(page.find("href=\"INTRO_example.html\""), std::string::npos) << page;
  EXPECT_EQ(page.find("Hidden text."), std::string::npos) << page;
  EXPECT_NE(ReadFile(dir.File("book/INTRO_example.html")).find("run it"), std::string::npos);
  EXPECT_NE(ReadFile(dir.File("book/NEXT.html")).find("Shown."), std::string::npos);
}

// Quotes and markup in a caption, a heading, a keyword and the button's
// values end nothing in the project, contents and index files, and the help
// file is made.
TEST(Values, QuotesAreEscapedWhereTheyAreWritten) {
  TempDir dir;
  TempDir bin;
  const std::string path = GppOnlyPath(bin);
  WriteFile(dir.File("book.txt"),
            "<topic>Intro</topic>\n<head1>It's \"quoted\" & <more></head1>\n"
            "<keyword>Tom & \"Jerry\"</keyword>\nText.\n<endtopic/>\n");
  const std::vector<std::string> values = {"-c",  "It\"s <Help>", "-co", "a -- b",
                                           "-bc", "Say \"hi\"",   "-bw", "http://x/?q=\"a\""};
  std::vector<std::string> chm = {"-i", "book", "-g", "CHM", "-gx"};
  chm.insert(chm.end(), values.begin(), values.end());
  const RunResult run = RunQuillark(chm, dir.path(), &path);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_TRUE(Exists(dir.File("book.chm")));
  const std::string project = ReadFile(dir.File("temp/book.hhp"));
  EXPECT_NE(project.find("MainType=\"It's <Help>\",\"book.hhc\",\"book.hhk\",\"INTRO.html\","
                         "\"INTRO.html\",\"_jump.html\",\"Say 'hi'\",,,0x23420,"),
            std::string::npos)
      << project;
  EXPECT_NE(ReadFile(dir.File("temp/book.hhc"))
                .find("<param name=\"Name\" value=\"It's &quot;quoted&quot; &amp; &lt;more&gt;\">"),
            std::string::npos);
  EXPECT_NE(ReadFile(dir.File("temp/book.hhk"))
                .find("<param name=\"Name\" value=\"Tom &amp; &quot;Jerry&quot;\">"),
            std::string::npos);
  EXPECT_NE(ReadFile(dir.File("temp/book.hhk")).find("<!-- a - - b -->"), std::string::npos);
  EXPECT_NE(ReadFile(dir.File("temp/_jump.html")).find("window.open(\"http://x/?q=\\\"a\\\"\""),
            std::string::npos);
  EXPECT_NE(ReadFile(dir.File("temp/book.css")).find("/* CSS file for \"It\"s <Help>\" */"),
            std::string::npos);

  std::vector<std::string> html = {"-i", "book", "-g", "HTML"};
  html.insert(html.end(), values.begin(), values.end());
  ASSERT_EQ(RunQuillark(html, dir.path()).exit_status, 0);
  const std::string index = ReadFile(dir.File("book/_index.html"));
  EXPECT_NE(index.find("<title>It&quot;s &lt;Help&gt; - Index</title>"), std::string::npos);
  EXPECT_NE(index.find(">Tom &amp; &quot;Jerry&quot;</a>"), std::string::npos) << index;
  EXPECT_NE(index.find("<a href=\"http://x/?q=%22a%22\" class=\"buttons\">"), std::string::npos);
  EXPECT_NE(index.find("Say &quot;hi&quot;"), std::string::npos);
}

// NONE has no final file, so -gx has nothing to miss.
TEST(Finishing, NoneWithCompileWarnsOfNothing) {
  TempDir dir;
  WriteFile(dir.File("book.txt"), kTopic);
  const RunResult run = RunQuillark({"-i", "book", "-g", "NONE", "-gx"}, dir.path());
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(dir.File("book.lst")), dir.File("book.txt") + ": 0 errors.\r\n");
}

}  // namespace
}  // namespace quillark::e2e
