// Starting a program with a time limit, and pictures of folder trees taken
// before and after it, for the randomized whole-run test.
#ifndef QUILLARK_TESTS_E2E_RANDOMIZED_GUARDED_RUN_H_
#define QUILLARK_TESTS_E2E_RANDOMIZED_GUARDED_RUN_H_

#include <map>
#include <string>
#include <vector>

namespace quillark::e2e {

struct GuardedResult {
  bool started = false;
  bool timed_out = false;
  int exit_status = -1;  // when it exited
  int signal = 0;        // when a signal ended it
  double seconds = 0;
  std::string out;
  std::string err;
};

// Runs `argv` in `directory` with `environment`, standard input empty, its
// own process group; kills the group after `timeout_seconds`. Standard
// output and error go through files in `io_directory`.
GuardedResult RunGuarded(const std::vector<std::string>& argv, const std::string& directory,
                         const std::vector<std::string>& environment, double timeout_seconds,
                         const std::string& io_directory);

// What a tree holds: relative path to "d" for a folder, "l:" and the target
// for a link, "f:" and the bytes for a file.
using TreePicture = std::map<std::string, std::string>;

// Everything under `root`, leaving out `skip` (a path relative to root) and
// what lies beneath it.
TreePicture PictureOf(const std::string& root, const std::string& skip = "");

// One line per entry that went, came or changed between the two pictures.
std::vector<std::string> TreeChanges(const TreePicture& before, const TreePicture& after);

}  // namespace quillark::e2e

#endif  // QUILLARK_TESTS_E2E_RANDOMIZED_GUARDED_RUN_H_
