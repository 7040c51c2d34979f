#pragma once
// A scratch folder per test, byte-exact file helpers and hand-made routes for the workflow tests.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kursolin::test {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string tmpl =
        (std::filesystem::temp_directory_path() / "kursolin-workflow-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  /// The folder with a trailing '/', as SaveDir holds it.
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

/// A committed fixture of tests/data/workflow.
inline std::string workflowData(const std::string& name) {
  return std::string(KURSOLIN_TEST_DATA) + "/workflow/" + name;
}

/// n MN|4.2 point lines, each telling its number by its longitude (11.000001, 11.000002, ...).
inline std::vector<std::string> mn42Points(int n, int first = 1) {
  std::vector<std::string> lines;
  for (int i = first; i < first + n; ++i) {
    std::string num = std::to_string(i);
    num.insert(0, 6 - std::min<std::size_t>(6, num.size()), '0');
    lines.push_back("-|-|-|-|-|-|-|-|-|-|-|11." + num + "|48.5|-|-|");
  }
  return lines;
}

/// The lines joined, each followed by CR LF.
inline std::string crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

}  // namespace kursolin::test
