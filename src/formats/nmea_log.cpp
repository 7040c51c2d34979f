#include "formats/nmea_log.h"

#include <string_view>

namespace kursolin {

namespace {

bool anyLineStartsWith(const TextLines& lines, std::string_view prefix) {
  const int count = lines.Count();
  for (int i = 0; i < count; ++i) {
    if (lines.full(i).substr(0, prefix.size()) == prefix) return true;
  }
  return false;
}

}  // namespace

bool ggaVtgRecognized(Session& s) {
  return anyLineStartsWith(s.InputLines, "$GPGGA") && anyLineStartsWith(s.InputLines, "$GPVTG");
}

bool rmcRecognized(Session& s) { return anyLineStartsWith(s.InputLines, "$GPRMC"); }

}  // namespace kursolin
