#include "runtime/process.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

extern char** environ;
#endif

namespace quillark::runtime {

namespace {

#ifdef _WIN32
inline constexpr std::size_t kMaxProgramLength = 255;
inline constexpr std::size_t kMaxArgumentsLength = 2048;
#else
// On POSIX the arguments go as an array, bounded only by the system: the
// limits only keep a runaway text out.
inline constexpr std::size_t kMaxProgramLength = 4096;
inline constexpr std::size_t kMaxArgumentsLength = 1 << 17;
#endif

// The length of the arguments as one text with a blank between each two.
std::size_t ArgumentsLength(const std::vector<std::string>& arguments) {
  std::size_t length = 0;
  for (const std::string& argument : arguments) length += argument.size();
  if (!arguments.empty()) length += arguments.size() - 1;
  return length;
}

#ifdef _WIN32

// The system error of a program that needs elevated rights; MinGW-w64's
// headers do not declare ERROR_ELEVATION_REQUIRED.
constexpr DWORD kErrorElevationRequired = 740;

int StartCodeFromError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return kRunNotFound;
    case ERROR_BAD_FORMAT:
    case ERROR_BAD_EXE_FORMAT:
      return kRunNotExecutable;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return kRunNoMemory;
    case kErrorElevationRequired:
      return kRunNeedsElevation;
    default:
      return kRunOtherFailure;
  }
}

// Quotes one argument so that the child's start-up code reads it back as it
// was: backslashes double only in front of a double quote or the closing quote.
void AppendQuotedArgument(std::string& command_line, const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
    command_line += argument;
    return;
  }
  command_line += '"';
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    command_line.append(backslashes, '\\');
    backslashes = 0;
    command_line += c;
  }
  command_line.append(backslashes * 2, '\\');
  command_line += '"';
}

ProgramRun StartAndWait(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& working_directory, [[maybe_unused]] bool quiet,
                        [[maybe_unused]] bool capture_errors) {
  ProgramRun run;
  // The program path goes in double quotes when it holds a blank and is not
  // quoted already.
  std::string command_line;
  if (program.find(' ') != std::string::npos && program.front() != '"' && program.back() != '"') {
    command_line = '"' + program + '"';
  } else {
    command_line = program;
  }
  for (const std::string& argument : arguments) {
    command_line += ' ';
    AppendQuotedArgument(command_line, argument);
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      working_directory.empty() ? nullptr : working_directory.c_str(), &startup,
                      &process)) {
    run.start_code = StartCodeFromError(GetLastError());
    return run;
  }
  run.start_code = kRunStarted;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exit_code = 0;
  if (GetExitCodeProcess(process.hProcess, &exit_code)) run.exit_code = static_cast<int>(exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

#else

int StartCodeFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return kRunNotFound;
    case EACCES:
    case ENOEXEC:
      return kRunNotExecutable;
    case ENOMEM:
      return kRunNoMemory;
    default:
      return kRunOtherFailure;
  }
}

// The child's exit status; a death by a signal reads as 128 plus the signal.
int ExitCodeFromStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

constexpr std::size_t kMaxErrorText = 4096;

// Reads the pipe to its end, keeping the first 4096 bytes: the child must
// never block on a full pipe.
std::string DrainPipe(int fd) {
  std::string text;
  char chunk[4096];
  while (true) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    const std::size_t keep = std::min(static_cast<std::size_t>(got),
                                      kMaxErrorText - std::min(kMaxErrorText, text.size()));
    text.append(chunk, keep);
  }
  return text;
}

// What the child sets up before it becomes the program.
struct ChildSetup {
  const char* working_directory;  // or nullptr: the caller's
  bool quiet_output;              // standard output to /dev/null
  bool quiet_errors;              // standard error to /dev/null
  int error_write_end;            // or -1: standard error into this pipe
};

// Starts a program named by its path in a child made by vfork, which runs
// in this process's memory until it has become the program: it only sets up
// its files and calls execve, and a start that fails leaves its reason in
// `start_error` before the child ends. posix_spawn works the same way but
// first resets every signal's handler in the child, two system calls for
// each of 64 signals, a fifth of a millisecond a start here; this program sets
// no handler, so there is none to reset. Signals stay blocked while the two
// share memory. Returns 0 or the reason (an errno value).
int StartChild(const char* path, char* const* argv, const ChildSetup& setup, pid_t& child) {
  sigset_t all;
  sigset_t before;
  ::sigfillset(&all);
  ::pthread_sigmask(SIG_SETMASK, &all, &before);
  volatile int start_error = 0;
  const pid_t pid = ::vfork();
  if (pid == 0) {
    int error = 0;
    if (setup.working_directory != nullptr && ::chdir(setup.working_directory) != 0) error = errno;
    for (const int target : {1, 2}) {
      if (error != 0 || !(target == 1 ? setup.quiet_output : setup.quiet_errors)) continue;
      const int null = ::open("/dev/null", O_WRONLY);
      if (null < 0 || (null != target && ::dup2(null, target) < 0)) error = errno;
      if (null >= 0 && null != target) ::close(null);
    }
    if (error == 0 && setup.error_write_end >= 0 && ::dup2(setup.error_write_end, 2) < 0) {
      error = errno;
    }
    if (error == 0) {
      ::sigprocmask(SIG_SETMASK, &before, nullptr);
      ::execve(path, argv, environ);
      error = errno;
    }
    start_error = error;
    ::_exit(127);
  }
  const int fork_error = pid < 0 ? errno : 0;
  ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
  if (pid < 0) return fork_error;
  if (start_error != 0) {
    // The child has ended; it leaves no zombie.
    while (::waitpid(pid, nullptr, 0) == -1 && errno == EINTR) {
    }
    return start_error;
  }
  child = pid;
  return 0;
}

// Starts a program named without a path, looked up through PATH as
// posix_spawnp does. Returns 0 or the reason (an errno value).
int SpawnFromPath(const char* name, char* const* argv, const ChildSetup& setup, pid_t& child) {
  posix_spawn_file_actions_t actions;
  int error = posix_spawn_file_actions_init(&actions);
  if (error != 0) return error;
  if (setup.working_directory != nullptr) {
    error = posix_spawn_file_actions_addchdir_np(&actions, setup.working_directory);
  }
  if (error == 0 && setup.quiet_output) {
    error = posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  if (error == 0 && setup.quiet_errors) {
    error = posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  if (error == 0 && setup.error_write_end >= 0) {
    error = posix_spawn_file_actions_adddup2(&actions, setup.error_write_end, 2);
  }
  if (error == 0) error = posix_spawnp(&child, name, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  return error;
}

// Starts the child; `child` and `error_pipe` (the read end of its standard
// error, or -1) are set when it started.
ProgramRun Spawn(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& working_directory, bool quiet, bool capture_errors,
                 pid_t& child, int& error_read_end) {
  ProgramRun run;
  // The console text written so far comes out before the child's.
  std::fflush(nullptr);
  std::vector<std::string> argv_texts;
  argv_texts.reserve(arguments.size() + 1);
  argv_texts.push_back(program);
  argv_texts.insert(argv_texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(argv_texts.size() + 1);
  for (std::string& text : argv_texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  int error = 0;
  int error_pipe[2] = {-1, -1};
  if (capture_errors && ::pipe2(error_pipe, O_CLOEXEC) != 0) error = errno;
  const ChildSetup setup{working_directory.empty() ? nullptr : working_directory.c_str(), quiet,
                         quiet && !capture_errors, error_pipe[1]};
  if (error == 0) {
    error = program.find('/') != std::string::npos
                ? StartChild(program.c_str(), argv.data(), setup, child)
                : SpawnFromPath(program.c_str(), argv.data(), setup, child);
  }
  if (error_pipe[1] >= 0) ::close(error_pipe[1]);
  if (error != 0) {
    if (error_pipe[0] >= 0) ::close(error_pipe[0]);
    run.start_code = StartCodeFromErrno(error);
    return run;
  }
  run.start_code = kRunStarted;
  error_read_end = error_pipe[0];
  return run;
}

// Waits for the child (blocking, or only looking with `hang` false);
// returns whether it has ended, its status then set in `run`.
bool Reap(pid_t child, ProgramRun& run, bool hang) {
  int status = 0;
  pid_t waited = 0;
  do {
    waited = ::waitpid(child, &status, hang ? 0 : WNOHANG);
  } while (waited == -1 && errno == EINTR);
  if (waited == 0) return false;
  if (waited == child) {
    run.exit_code = ExitCodeFromStatus(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  }
  return true;
}

// Waits at most `milliseconds` for the child to end, leaving it to be
// reaped. On Linux its process descriptor turns readable at its end; where
// there is none, the wait takes the whole time.
void WaitForEnd(pid_t child, int milliseconds) {
#if defined(__linux__) && defined(SYS_pidfd_open)
  const int descriptor = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
  if (descriptor >= 0) {
    pollfd watched{descriptor, POLLIN, 0};
    ::poll(&watched, 1, milliseconds);
    ::close(descriptor);
    return;
  }
#endif
  ::poll(nullptr, 0, milliseconds);
}

ProgramRun StartAndWait(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& working_directory, bool quiet, bool capture_errors) {
  pid_t child = 0;
  int error_pipe = -1;
  ProgramRun run =
      Spawn(program, arguments, working_directory, quiet, capture_errors, child, error_pipe);
  if (run.start_code != kRunStarted) return run;
  if (error_pipe >= 0) {
    run.error_text = DrainPipe(error_pipe);
    ::close(error_pipe);
  }
  Reap(child, run, true);
  return run;
}

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

#endif

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& working_directory, bool quiet, bool capture_errors) {
  if (program.empty() || program.size() >= kMaxProgramLength ||
      ArgumentsLength(arguments) >= kMaxArgumentsLength) {
    ProgramRun refused;
    refused.start_code = kRunBadArguments;
    return refused;
  }
  return StartAndWait(program, arguments, working_directory, quiet, capture_errors);
}

RunningProgram::~RunningProgram() { Release(); }

RunningProgram::RunningProgram(RunningProgram&& other) noexcept { *this = std::move(other); }

RunningProgram& RunningProgram::operator=(RunningProgram&& other) noexcept {
  if (this != &other) {
    Release();
    result_ = std::move(other.result_);
    process_ = std::exchange(other.process_, -1);
    error_pipe_ = std::exchange(other.error_pipe_, -1);
    ended_ = std::exchange(other.ended_, true);
  }
  return *this;
}

void RunningProgram::Release() {
  if (!ended_) Finish();
}

RunningProgram RunningProgram::Start(const std::string& program,
                                     const std::vector<std::string>& arguments) {
  RunningProgram running;
#ifdef _WIN32
  running.result_ = RunProgram(program, arguments, "", false, true);
#else
  if (program.empty() || program.size() >= kMaxProgramLength ||
      ArgumentsLength(arguments) >= kMaxArgumentsLength) {
    running.result_.start_code = kRunBadArguments;
    return running;
  }
  pid_t child = 0;
  running.result_ = Spawn(program, arguments, "", false, true, child, running.error_pipe_);
  if (running.started()) {
    running.process_ = child;
    running.ended_ = false;
  }
#endif
  return running;
}

// Reads what the standard error pipe holds now, keeping at most
// kMaxErrorText bytes; returns false once the pipe is at its end.
bool RunningProgram::ReadErrors() {
#ifndef _WIN32
  char chunk[4096];
  const ssize_t got = ::read(error_pipe_, chunk, sizeof chunk);
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return true;
  if (got <= 0) return false;
  std::string& text = result_.error_text;
  text.append(chunk, std::min(static_cast<std::size_t>(got),
                              kMaxErrorText - std::min(kMaxErrorText, text.size())));
#endif
  return true;
}

bool RunningProgram::WaitFor([[maybe_unused]] int milliseconds) {
#ifndef _WIN32
  if (ended_) return true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  if (error_pipe_ >= 0) {
    pollfd watched{error_pipe_, POLLIN, 0};
    if (::poll(&watched, 1, milliseconds) <= 0 || ReadErrors()) return false;
    ::close(error_pipe_);
    error_pipe_ = -1;
  }
  // The child has ended only once its standard error is read to the end. That
  // end comes as the child ends, a moment before it can be reaped: the wait
  // goes on for that moment rather than the whole time.
  if (!Reap(process_, result_, false)) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    WaitForEnd(process_,
               static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
    if (!Reap(process_, result_, false)) return false;
  }
  ended_ = true;
#endif
  return ended_;
}

ProgramRun RunningProgram::Finish() {
#ifndef _WIN32
  if (!ended_) {
    if (error_pipe_ >= 0) {
      while (ReadErrors()) {
      }
      ::close(error_pipe_);
      error_pipe_ = -1;
    }
    Reap(process_, result_, true);
    ended_ = true;
  }
#endif
  return result_;
}

void RunningProgram::Stop() {
#ifndef _WIN32
  if (!ended_) ::kill(process_, SIGKILL);
#endif
  Finish();
  result_ = ProgramRun{};
}

std::string SignalName(int signal) {
#ifdef _WIN32
  return std::to_string(signal);
#else
  const char* name = ::strsignal(signal);
  return name != nullptr ? name : std::to_string(signal);
#endif
}

std::string FindInPath(const std::string& name) {
#ifdef _WIN32
  char found[MAX_PATH];
  DWORD length = SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, nullptr);
  if (length == 0 || length >= MAX_PATH) return "";
  return std::string(found, length);
#else
  if (name.empty()) return "";
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : "";
  const char* path_variable = std::getenv("PATH");
  std::string_view path_list = path_variable != nullptr ? path_variable : "/bin:/usr/bin";
  while (true) {
    std::size_t colon = path_list.find(':');
    std::string_view entry = path_list.substr(0, colon);
    // An empty entry stands for the current directory.
    std::string candidate = entry.empty() ? "./" + name : std::string(entry) + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    if (colon == std::string_view::npos) return "";
    path_list.remove_prefix(colon + 1);
  }
#endif
}

std::string ProgramPath() {
#ifdef _WIN32
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length <= MAX_PATH ? length : 0);
#else
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
#endif
}

}  // namespace quillark::runtime
