#pragma once
// The input formats: their menu entries, labels, dialogs, checks at load and rule groups.

#include <string>
#include <vector>

#include "core/session.h"

namespace kursolin {

/// The rule groups of the rule panel that a loaded format enables.
enum class RuleGroups {
  None,
  All,  // every rule, with the time menu (NMEA logs)
  DistanceOnly,  // the distance rule without its speed threshold (route files)
  DistanceHeadingMinDist,  // distance with speed threshold, heading, minimum distance
};

/// Checks the freshly loaded InputLines; true when a route can be made from them.
using LoadCheck = bool (*)(Session& s);

/// How the success caption counts.
enum class CountKind { Lines, Pairs, Stations, Plain };

struct InputFormatInfo {
  int code;
  std::string menuItem;  // e.g. "IN_GGAVTG"
  std::string parentItem;  // sub-menu item it lives in, or ""
  std::string caption;
  std::string shortcut;
  std::string shortName;  // InputShortName
  std::string dialogTitle;
  std::string filter;  // description|pattern[|description|pattern]
  std::string defaultExt;
  std::string message;  // error box text when the check fails ("" for none)
  std::string statusPrefix;
  CountKind countKind;
  RuleGroups groups;
  LoadCheck check;  // nullptr: no reader yet, the format is not available
};

/// Every code of the table, 7 included, in menu order.
const std::vector<InputFormatInfo>& inputFormats();

/// The row of a code, or nullptr.
const InputFormatInfo* inputFormat(int code);

/// true when this version can read the format.
bool inputFormatAvailable(int code);

/// InputLabel of a code (the coordinate text labels name the separator).
std::string inputLabelFor(const Session& s, int code);
/// The caption shown when the file fails the check.
std::string failureCaptionFor(const Session& s, int code);
/// The error box text when the file fails the check.
std::string failureMessageFor(const Session& s, int code);

/// Names of the controls of each rule group.
const std::vector<std::string>& distanceGroup();
const std::vector<std::string>& headingGroup();
const std::vector<std::string>& stopGroup();
const std::vector<std::string>& timeGroup();
const std::vector<std::string>& minDistGroup();

/// Enables or disables all five groups and the time menu.
void setAllRuleGroups(Session& s, bool enabled);
/// Enables the groups a format asks for.
void enableRuleGroups(Session& s, RuleGroups groups);

}  // namespace kursolin
