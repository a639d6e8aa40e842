#include "e2e/e2e_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace quillark::e2e {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quillark_e2e_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << data;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream data;
  data << file.rdbuf();
  return data.str();
}

std::string ToolOutput(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

RunResult RunQuillark(const std::vector<std::string>& arguments, const std::string& directory,
                      const std::string* path_variable) {
  const std::string out_file = directory + "/.stdout";
  const std::string err_file = directory + "/.stderr";
  std::vector<std::string> argv_text = {QUILLARK_BINARY};
  argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : argv_text) argv.push_back(text.data());
  argv.push_back(nullptr);

  std::vector<std::string> env_text;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (path_variable != nullptr && text.rfind("PATH=", 0) == 0) continue;
    env_text.push_back(text);
  }
  if (path_variable != nullptr) env_text.push_back("PATH=" + *path_variable);
  std::vector<char*> envp;
  for (std::string& text : env_text) envp.push_back(text.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  RunResult result;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadFile(out_file);
  result.err = ReadFile(err_file);
  std::filesystem::remove(out_file);
  std::filesystem::remove(err_file);
  return result;
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

std::string Expected(const std::string& relative, const std::string& directory, bool crlf) {
  std::string text = ReadFile(std::string(QUILLARK_E2E_DIR) + "/" + relative);
  const std::string today = Today();
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 5, "{DIR}") == 0) {
      result += directory;
      i += 4;
    } else if (text.compare(i, 6, "{DATE}") == 0) {
      result += today;
      i += 5;
    } else if (crlf && text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      result += "\r\n";
    } else {
      result += text[i];
    }
  }
  return result;
}

void CopyCase(const std::string& relative, const std::string& destination) {
  std::filesystem::copy_file(std::string(QUILLARK_E2E_DIR) + "/" + relative, destination,
                             std::filesystem::copy_options::overwrite_existing);
}

}  // namespace quillark::e2e
