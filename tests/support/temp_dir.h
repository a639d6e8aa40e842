// A temporary folder for unit tests that need real files, removed afterwards.
#ifndef QUILLARK_TESTS_SUPPORT_TEMP_DIR_H_
#define QUILLARK_TESTS_SUPPORT_TEMP_DIR_H_

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quillark::testing_support {

class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quillark_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string Write(const std::string& name, const std::string& data) const {
    std::ofstream(File(name), std::ios::binary) << data;
    return File(name);
  }
  std::string Read(const std::string& name) const {
    std::ifstream file(File(name), std::ios::binary);
    std::ostringstream data;
    data << file.rdbuf();
    return data.str();
  }

 private:
  std::string path_;
};

}  // namespace quillark::testing_support

#endif  // QUILLARK_TESTS_SUPPORT_TEMP_DIR_H_
