// What only the Windows program does: it splits its raw command line itself,
// takes switches with "/" as well as "-", knows drive letters and "\", runs
// gpp.exe from C:\Windows and the help compilers from their fixed folders.
// quillark.exe is started here as a user's shell would, with CreateProcess
// and one command line text. The help compilers are played by
// stand_in_compiler.exe, a stand-in and not the real compilers.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace {

namespace fs = std::filesystem;

const char kSource[] =
    "<topic>Intro</topic>\n<head1>Intro</head1>\nHello from <format/>.\n<endtopic/>\n";
const char kGpp[] = "C:\\Windows\\gpp.exe";
const char kHcrtfFirst[] = "c:\\program files\\devstudio\\vc\\bin\\hcrtf.exe";
const char kHcrtfSecond[] = "c:\\Program Files\\Microsoft Visual Studio\\Common\\Tools\\hcrtf.exe";
const char kHhc[] = "C:\\Program Files\\HTML Help Workshop\\hhc.exe";

std::string BesideThisProgram(const std::string& name) {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return (fs::path(path).parent_path() / name).string();
}

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream data;
  data << file.rdbuf();
  return data.str();
}

void WriteFile(const std::string& path, const std::string& data) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << data;
}

// Built by appending: GCC 12 at -O3 sees a false overlap in "\"" + text.
std::string Quoted(const std::string& text) {
  std::string quoted;
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

struct Outcome {
  DWORD exit_code = 0xFFFFFFFF;
  std::string out;
};

// Starts quillark.exe with `arguments` as the rest of its command line, in
// `folder`, and collects what it prints.
Outcome RunQuillark(const std::string& arguments, const std::string& folder) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  EXPECT_TRUE(CreatePipe(&read_end, &write_end, &inherit, 0));
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::string line = Quoted(BesideThisProgram("quillark.exe"));
  line += ' ';
  line += arguments;
  PROCESS_INFORMATION process{};
  Outcome run;
  const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.c_str(), &startup, &process);
  CloseHandle(write_end);
  EXPECT_TRUE(started) << line;
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      run.out.append(buffer, got);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(read_end);
  return run;
}

// A fresh folder holding book.txt, and a name with a blank in it so that
// every path that reaches a child program needs its quotes.
class WindowsRun : public testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        (fs::temp_directory_path() /
         ("quillark win " + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++count_)))
            .string();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    WriteFile(File("book.txt"), kSource);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string File(const std::string& name) const { return folder_ + "\\" + name; }
  std::string Listing() const { return ReadWhole(File("book.lst")); }

  std::string folder_;
  static inline int count_ = 0;
};

TEST_F(WindowsRun, BareNameIsCompletedWithTheCurrentFolder) {
  const Outcome run = RunQuillark("-i book -g HTML", folder_);
  EXPECT_EQ(run.exit_code, 0u) << run.out;
  EXPECT_EQ(Listing(), File("book.txt") + ": 0 errors.\r\n");
  EXPECT_NE(ReadWhole(File("book\\INTRO.html")).find("Hello from HTML."), std::string::npos);
}

TEST_F(WindowsRun, FullPathWithDriveLetterAndBackslashes) {
  // From another folder, so nothing can come from the current one.
  const Outcome run = RunQuillark("-i " + Quoted(File("book")) + " -g RTF", "C:\\");
  EXPECT_EQ(run.exit_code, 0u) << run.out;
  EXPECT_EQ(Listing(), File("book.txt") + ": 0 errors.\r\n");
  EXPECT_NE(ReadWhole(File("book.rtf")).find("Hello from RTF."), std::string::npos);
}

TEST_F(WindowsRun, RawCommandLineIsSplitByTheProgram) {
  // Slash switches, "=", letter case, and a doubled quote inside a quoted value.
  const Outcome run = RunQuillark("/I=book /g html -C \"say \"\"hi\"\" now\" -co='x' -gx", folder_);
  EXPECT_EQ(run.exit_code, 0u) << run.out;
  const std::string page = ReadWhole(File("book\\INTRO.html"));
  EXPECT_NE(page.find("<title>say &quot;hi&quot; now</title>"), std::string::npos) << page;
  EXPECT_TRUE(fs::exists(File("book.html")));  // -gx put the start page in place
}

struct Refusal {
  const char* arguments;
  const char* first_line;
};

class RefusedCommandLine : public WindowsRun, public testing::WithParamInterface<Refusal> {};

TEST_P(RefusedCommandLine, ExitsWithTwoAndSaysWhy) {
  const Outcome run = RunQuillark(GetParam().arguments, folder_);
  EXPECT_EQ(run.exit_code, 2u);
  EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), std::string(GetParam().first_line) + "\r\n");
  EXPECT_NE(run.out.find("Use \"Quillark -h\" for help.\r\n"), std::string::npos) << run.out;
  EXPECT_FALSE(fs::exists(File("book.lst")));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, RefusedCommandLine,
    testing::Values(
        Refusal{"", "The input file or the output format was not specified."},
        Refusal{"-i book -g", "The input file or the output format was not specified."},
        // A folder without a drive, and a drive without a folder from the root.
        Refusal{"-i sub\\book -g HLP",
                "The input file should be a full path including a drive letter, "},
        Refusal{"-i C:book -g HLP",
                "The input file should be a full path including a drive letter, "},
        Refusal{"-i other -g HLP", "The input file \"other.txt\" is empty or cannot be found."},
        Refusal{"-i book -g PDF",
                "The -g option must be used to specify HLP, RTF, CHM, HTML or NONE."},
        Refusal{"--i book -g HLP", "The input file or the output format was not specified."}),
    [](const testing::TestParamInfo<Refusal>& info) {
      return "case" + std::to_string(info.index);
    });

TEST_F(WindowsRun, UsageForSlashAndDashHelpOnlyFirst) {
  for (const char* help : {"/h", "/?", "-?", "-H"}) {
    const Outcome run = RunQuillark(std::string(help) + " -i book -g HLP", folder_);
    EXPECT_EQ(run.exit_code, 0u) << help;
    EXPECT_EQ(run.out.rfind("\r\nConverts text files into formatted help files. Usage:\r\n", 0), 0u)
        << help << ": " << run.out;
    EXPECT_NE(run.out.find("\r\n-v ... Use verbose output"), std::string::npos) << help;
    EXPECT_EQ(run.out.find("\r\r"), std::string::npos) << help;
  }
  EXPECT_FALSE(fs::exists(File("book.lst")));
}

TEST_F(WindowsRun, VersionLine) {
  const Outcome run = RunQuillark("--version", folder_);
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(run.out, "Quillark " QUILLARK_VERSION "\r\n");
}

// gpp.exe is moved aside for one test and put back afterwards.
class WithoutGpp : public WindowsRun {
 protected:
  void SetUp() override {
    WindowsRun::SetUp();
    ASSERT_TRUE(MoveFileA(kGpp, kAside));
  }
  void TearDown() override {
    DeleteFileA(kGpp);
    EXPECT_TRUE(MoveFileA(kAside, kGpp));
    WindowsRun::TearDown();
  }
  static constexpr const char* kAside = "C:\\Windows\\gpp.exe.aside";
};

TEST_F(WithoutGpp, MissingPreprocessorIsFatal) {
  const Outcome run = RunQuillark("-i book -g HTML", folder_);
  EXPECT_EQ(run.exit_code, 1u) << run.out;
  EXPECT_EQ(Listing(), File("book.txt") +
                           ": Error : Cannot run pre-processor, the exe file is missing: "
                           "\"C:\\Windows\\gpp.exe\"\r\n");
  EXPECT_FALSE(fs::exists(File("book\\INTRO.html")));
}

TEST_F(WithoutGpp, FailingPreprocessorLeavesNoPpFile) {
  ASSERT_TRUE(CopyFileA(BesideThisProgram("stand_in_compiler.exe").c_str(), kGpp, FALSE));
  WriteFile(std::string(kGpp) + ".cfg", "output .pp\nexit 3\n");
  const Outcome run = RunQuillark("-i book -g HTML", folder_);
  DeleteFileA((std::string(kGpp) + ".cfg").c_str());
  DeleteFileA((std::string(kGpp) + ".log").c_str());
  EXPECT_EQ(run.exit_code, 1u) << run.out;
  EXPECT_EQ(Listing(), File("book.txt") +
                           ": Error : Cannot run pre-processor, it returned error number 3.\r\n");
  EXPECT_FALSE(fs::exists(File("book.pp")));
}

// A stand-in compiler placed at one fixed path for the length of a test. The
// finishing step's warning names no file, only its message.
class WithStandIn : public WindowsRun {
 protected:
  void Place(const std::string& path, const std::string& settings) {
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(CopyFileA(BesideThisProgram("stand_in_compiler.exe").c_str(), path.c_str(), FALSE));
    WriteFile(path + ".cfg", settings);
    placed_.push_back(path);
  }
  void TearDown() override {
    for (const std::string& path : placed_) {
      for (const char* suffix : {"", ".cfg", ".log"}) DeleteFileA((path + suffix).c_str());
    }
    WindowsRun::TearDown();
  }
  // The log lines of one kind ("arg", "folder", "line") that the stand-in wrote.
  static std::vector<std::string> Logged(const std::string& path, const std::string& kind) {
    std::vector<std::string> lines;
    std::istringstream log(ReadWhole(path + ".log"));
    for (std::string line; std::getline(log, line);) {
      if (line.rfind(kind + " ", 0) == 0) lines.push_back(line.substr(kind.size() + 1));
    }
    return lines;
  }
  std::vector<std::string> placed_;
};

// With no hcrtf.exe at either fixed path, our own WinHelp compiler makes the
// help file.
TEST_F(WithStandIn, HlpWithoutAnOutsideCompilerIsMadeByOurOwn) {
  const Outcome run = RunQuillark("-i book -g HLP -gx", folder_);
  EXPECT_EQ(run.exit_code, 0u) << run.out;
  EXPECT_EQ(Listing(), File("book.txt") + ": 0 errors.\r\n");
  EXPECT_EQ(ReadWhole(File("book.hlp")).substr(0, 4), std::string("\x3f\x5f\x03\x00", 4));
}

TEST_F(WithStandIn, HlpCompilerIsStartedWaitedForAndItsExitCodeIgnored) {
  // It writes the help file only after a while, and ends with code 3.
  Place(kHcrtfSecond, "output .hlp\ndelay 700\nexit 3\n");
  const Outcome run = RunQuillark("-i book -g HLP -gx", folder_);
  EXPECT_EQ(run.exit_code, 0u) << run.out;
  EXPECT_EQ(Logged(kHcrtfSecond, "arg"), (std::vector<std::string>{"/x", File("book.hpj")}));
  EXPECT_EQ(Logged(kHcrtfSecond, "folder"), std::vector<std::string>{folder_});
  EXPECT_EQ(ReadWhole(File("book.hlp")), "written by the stand-in compiler\r\n");
  EXPECT_EQ(Listing(), File("book.txt") + ": 0 errors.\r\n");
}

TEST_F(WithStandIn, FirstHlpPathIsTriedFirst) {
  Place(kHcrtfFirst, "output .hlp\n");
  Place(kHcrtfSecond, "output .hlp\n");
  EXPECT_EQ(RunQuillark("-i book -g HLP -gx", folder_).exit_code, 0u);
  EXPECT_EQ(Logged(kHcrtfFirst, "arg").size(), 2u);
  EXPECT_TRUE(Logged(kHcrtfSecond, "arg").empty());
}

TEST_F(WithStandIn, HlpCompilerThatWritesNothingIsAWarning) {
  Place(kHcrtfFirst, "exit 0\n");
  EXPECT_EQ(RunQuillark("-i book -g HLP -gx", folder_).exit_code, 0u);
  EXPECT_EQ(Listing(), ": Warning : The final output file \"" + File("book.hlp") +
                           "\" was not created or could not be copied.\r\n");
}

TEST_F(WithStandIn, ChmCompilerResultIsCopiedBesideTheSource) {
  // Without hhc.exe the built-in writer makes the file.
  const Outcome missing = RunQuillark("-i book -g CHM -gx", folder_);
  EXPECT_EQ(missing.exit_code, 0u) << missing.out;
  EXPECT_EQ(Listing(), File("book.txt") + ": 0 errors.\r\n");
  EXPECT_EQ(ReadWhole(File("book.chm")).substr(0, 4), "ITSF");
  Place(kHhc, "output .chm\ndelay 300\n");
  const Outcome run = RunQuillark("-i book -g CHM -gx", folder_);
  EXPECT_EQ(run.exit_code, 0u) << run.out;
  EXPECT_EQ(Logged(kHhc, "arg"), std::vector<std::string>{File("temp\\book.hhp")});
  EXPECT_EQ(ReadWhole(File("book.chm")), "written by the stand-in compiler\r\n");
  EXPECT_EQ(Listing(), File("book.txt") + ": 0 errors.\r\n");
}

}  // namespace
