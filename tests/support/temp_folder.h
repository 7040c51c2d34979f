#pragma once
// A scratch folder per test and small file helpers for the settings tests.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>

namespace kursolin::test {

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl =
        (std::filesystem::temp_directory_path() / "kursolin-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
    // Other users must be able to reach the folder: the write-failure tests run as one.
    ::chmod(path_.c_str(), 0755);
  }
  ~TempFolder() {
    std::error_code ec;
    for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec)) {
      ::chmod(e.path().c_str(), 0755);
    }
    ::chmod(path_.c_str(), 0755);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  /// The folder with a trailing '/', as AppDir holds it.
  std::string dir() const { return path_ + "/"; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  /// Names of everything in the folder.
  std::set<std::string> entries() const {
    std::set<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(path_)) {
      names.insert(e.path().filename().string());
    }
    return names;
  }

 private:
  std::string path_;
};

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

/// A committed fixture of tests/data/settings.
inline std::string fixture(const std::string& name) {
  return std::string(KURSOLIN_TEST_DATA) + "/settings/" + name;
}

}  // namespace kursolin::test
