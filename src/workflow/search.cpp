#include "workflow/search.h"

namespace kursolin {

std::string nmeaSearchText(std::string_view selection) {
  std::string out;
  out.reserve(selection.size());
  for (char c : selection) {
    if (c != ':') out += c;
  }
  return out;
}

std::optional<NmeaTimeMatch> GetNMEATime(const Document& doc, std::string_view selection) {
  const std::string what = nmeaSearchText(selection);
  // An empty text would be "found" at the start of every line; it finds nothing.
  if (what.empty()) return std::nullopt;
  long long before = 0;
  const int count = doc.InputLines.Count();
  for (int i = 0; i < count; ++i) {
    const std::string_view line = doc.InputLines.full(i);
    const auto p = line.find(what);
    if (p != std::string::npos) {
      NmeaTimeMatch m;
      m.line = i;
      m.column = static_cast<long long>(p);
      m.offset = before + m.column;
      m.length = static_cast<long long>(what.size());
      return m;
    }
    before += static_cast<long long>(line.size()) + 2;
  }
  return std::nullopt;
}

}  // namespace kursolin
