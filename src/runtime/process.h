// Starting a child program and waiting for it. The program is found through
// PATH when its name has no directory; arguments go to it as an argv array,
// never through a shell.
#ifndef QUILLARK_RUNTIME_PROCESS_H_
#define QUILLARK_RUNTIME_PROCESS_H_

#include <string>
#include <vector>

namespace quillark::runtime {

// Result codes of RunProgram.
inline constexpr int kRunStarted = 0;
inline constexpr int kRunNotFound = 901;
inline constexpr int kRunNotExecutable = 902;
inline constexpr int kRunNoMemory = 903;
inline constexpr int kRunBadArguments = 906;
inline constexpr int kRunNeedsElevation = 908;
inline constexpr int kRunOtherFailure = 909;

struct ProgramRun {
  int start_code = kRunOtherFailure;  // one of the codes above
  int exit_code = -1;                 // the child's exit status when it started
  int signal = 0;                     // the signal that ended the child, or 0
  // What it wrote to standard error when asked to keep it: at most 4096
  // bytes, the rest read and dropped.
  std::string error_text;
};

// Starts `program` with `arguments` (without the program name), in
// `working_directory` when it is not empty, and waits until it ends. With
// `quiet` the child's standard output and error are discarded; with
// `capture_errors` its standard error is kept in the result (POSIX only).
// Refuses
// with kRunBadArguments when the name is empty or too long (255 characters on
// Windows, 4096 on POSIX), or the arguments add up to too much (2048
// characters on Windows, 128 KiB on POSIX).
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& working_directory = "", bool quiet = false,
                      bool capture_errors = false);

// A child started without waiting for it, its standard error kept as
// RunProgram keeps it. On Windows it runs to its end when started.
class RunningProgram {
 public:
  RunningProgram() = default;
  // A child still running is waited for.
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  RunningProgram(RunningProgram&& other) noexcept;
  RunningProgram& operator=(RunningProgram&& other) noexcept;

  // Starts `program` as RunProgram(program, arguments, "", false, true) does.
  static RunningProgram Start(const std::string& program,
                              const std::vector<std::string>& arguments);

  bool started() const { return result_.start_code == kRunStarted; }
  // Waits at most `milliseconds` for the child to end, reading its standard
  // error meanwhile; returns whether it has ended (a child that never
  // started has).
  bool WaitFor(int milliseconds);
  // Waits until the child has ended; the result as RunProgram gives it.
  ProgramRun Finish();
  // Ends a child still running (POSIX; on Windows it has ended already) and
  // waits for it; what it wrote is dropped.
  void Stop();

 private:
  void Release();
  bool ReadErrors();

  ProgramRun result_;
  int process_ = -1;     // the child's process id while it runs
  int error_pipe_ = -1;  // the read end of its standard error, until closed
  bool ended_ = true;
};

// The system's name of a signal ("Killed"), or its number as text.
std::string SignalName(int signal);

// The full path of the running program, or empty when the system does not tell.
std::string ProgramPath();

// The full path of `name` found through PATH, or empty.
std::string FindInPath(const std::string& name);

}  // namespace quillark::runtime

#endif  // QUILLARK_RUNTIME_PROCESS_H_
