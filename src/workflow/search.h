#pragma once
// The search of the rule panel's find button: the input record of a route point, found by the
// time the user selected in the output pane.

#include <optional>
#include <string>
#include <string_view>

#include "session/document.h"

namespace kursolin {

/// Where a search text lies in the input pane.
struct NmeaTimeMatch {
  int line = 0;          // 0-based index in InputLines
  long long column = 0;  // 0-based position in that line
  long long offset = 0;  // in the pane's whole text, every line break counted as CR LF
  long long length = 0;  // characters to select
};

/// The selected text with every ":" removed (a time 12:34:56 becomes 123456).
std::string nmeaSearchText(std::string_view selection);

/// The first occurrence of the selection (its ":" removed) in InputLines, scanning from the first
/// line; nullopt for an empty search text or when no line contains it.
std::optional<NmeaTimeMatch> GetNMEATime(const Document& doc, std::string_view selection);

}  // namespace kursolin
