#include "e2e/randomized/guarded_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "e2e/e2e_support.h"

namespace quillark::e2e {

GuardedResult RunGuarded(const std::vector<std::string>& argv, const std::string& directory,
                         const std::vector<std::string>& environment, double timeout_seconds,
                         const std::string& io_directory) {
  const std::string out_file = io_directory + "/stdout";
  const std::string err_file = io_directory + "/stderr";
  std::vector<std::string> argv_text = argv;
  std::vector<char*> argv_pointers;
  for (std::string& text : argv_text) argv_pointers.push_back(text.data());
  argv_pointers.push_back(nullptr);
  std::vector<std::string> env_text = environment;
  std::vector<char*> env_pointers;
  for (std::string& text : env_text) env_pointers.push_back(text.data());
  env_pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  // A group of its own, so that a hang takes the pre-processor down with it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);

  GuardedResult result;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv_pointers[0], &actions, &attributes, argv_pointers.data(),
                  env_pointers.data()) == 0) {
    result.started = true;
    int status = 0;
    for (;;) {
      const pid_t done = waitpid(pid, &status, WNOHANG);
      if (done == pid) break;
      const double elapsed =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (done < 0 && errno != EINTR) break;
      if (elapsed > timeout_seconds && !result.timed_out) {
        result.timed_out = true;
        kill(-pid, SIGKILL);
      }
      const timespec pause{0, 1000000};
      nanosleep(&pause, nullptr);
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    // Whatever the program left running in its group goes too.
    kill(-pid, SIGKILL);
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadFile(out_file);
  result.err = ReadFile(err_file);
  return result;
}

TreePicture PictureOf(const std::string& root, const std::string& skip) {
  namespace fs = std::filesystem;
  TreePicture picture;
  std::error_code error;
  fs::recursive_directory_iterator it(root, fs::directory_options::none, error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const std::string relative = fs::relative(it->path(), root, error).string();
    if (!skip.empty() && (relative == skip || relative.rfind(skip + "/", 0) == 0)) {
      if (it->is_directory(error) && !it->is_symlink(error)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_symlink(error)) {
      picture[relative] = std::string("l:").append(fs::read_symlink(it->path(), error).string());
    } else if (it->is_directory(error)) {
      picture[relative] = std::string(1, 'd');
    } else {
      picture[relative] = std::string("f:").append(ReadFile(it->path().string()));
    }
  }
  return picture;
}

std::vector<std::string> TreeChanges(const TreePicture& before, const TreePicture& after) {
  std::vector<std::string> changes;
  for (const auto& [path, content] : before) {
    const auto found = after.find(path);
    if (found == after.end()) {
      changes.push_back("\"" + path + "\" is gone");
    } else if (found->second != content) {
      changes.push_back("\"" + path + "\" changed");
    }
  }
  for (const auto& [path, content] : after) {
    if (before.count(path) == 0) changes.push_back("\"" + path + "\" appeared");
  }
  return changes;
}

}  // namespace quillark::e2e
