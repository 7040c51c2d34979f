#include "formats/nmea_log.h"

#include <string_view>

namespace kursolin {

namespace {

bool anyLineStartsWith(const TextLines& lines, std::string_view prefix) {
  for (const auto& l : lines.lines()) {
    if (l.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

}  // namespace

bool ggaVtgRecognized(Session& s) {
  return anyLineStartsWith(s.InputLines, "$GPGGA") && anyLineStartsWith(s.InputLines, "$GPVTG");
}

bool rmcRecognized(Session& s) { return anyLineStartsWith(s.InputLines, "$GPRMC"); }

}  // namespace kursolin
