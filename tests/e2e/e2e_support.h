// Running the built quillark on small sources in a temporary folder, and
// comparing whole output files with the expected files kept beside the tests.
#ifndef QUILLARK_TESTS_E2E_E2E_SUPPORT_H_
#define QUILLARK_TESTS_E2E_E2E_SUPPORT_H_

#include <string>
#include <vector>

namespace quillark::e2e {

struct RunResult {
  int exit_status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// A fresh temporary folder, removed again when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& data);
std::string ReadFile(const std::string& path);  // empty when missing
bool Exists(const std::string& path);
// Standard output of a shell command.
std::string ToolOutput(const std::string& command);

// Runs quillark with `arguments` in `directory`. With `path_variable` set,
// PATH is replaced by it for the run.
RunResult RunQuillark(const std::vector<std::string>& arguments, const std::string& directory,
                      const std::string* path_variable = nullptr);

// Today's local date, YYYY-MM-DD, as the generator line of pages carries it.
std::string Today();

// The expected file tests/e2e/<relative>, with every "{DIR}" replaced by
// `directory`, every "{DATE}" by Today(), and every bare LF turned into CR LF
// when `crlf` is set.
std::string Expected(const std::string& relative, const std::string& directory, bool crlf);

// Copies tests/e2e/<relative> to `destination`.
void CopyCase(const std::string& relative, const std::string& destination);

}  // namespace quillark::e2e

#endif  // QUILLARK_TESTS_E2E_E2E_SUPPORT_H_
