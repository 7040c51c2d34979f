#pragma once
// The five groups of route rule controls that a loaded input format enables or disables.

#include <string>
#include <vector>

#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// Names of the controls of each rule group.
const std::vector<std::string>& distanceGroup();
const std::vector<std::string>& headingGroup();
const std::vector<std::string>& stopGroup();
const std::vector<std::string>& timeGroup();
const std::vector<std::string>& minDistGroup();

/// Enables or disables all five groups and the time menu.
void setAllRuleGroups(ShellState& shell, bool enabled);
/// Enables the groups a format asks for.
void enableRuleGroups(ShellState& shell, RuleGroups groups);

}  // namespace kursolin
