#pragma once
// Scratch folders, byte-exact file helpers and hand-made routes for the workflow tests.

#include <algorithm>
#include <string>
#include <vector>

#include "support/nmea_writer.h"
#include "support/temp_folder.h"

namespace kursolin::test {

using ScratchFolder = TempFolder;

/// A committed golden file or fixture of a format, in tests/data/<format>/.
inline std::string formatData(const std::string& format, const std::string& name) {
  return std::string(KURSOLIN_TEST_DATA) + "/" + format + "/" + name;
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
  return joinCrLf(lines);
}

}  // namespace kursolin::test
