#include "workflow/rule_groups.h"

namespace kursolin {

const std::vector<std::string>& distanceGroup() {
  static const std::vector<std::string> g = {"MeterCheck", "MeterSpin", "Label1", "MeterSpeedEdit",
                                             "Label4"};
  return g;
}
const std::vector<std::string>& headingGroup() {
  static const std::vector<std::string> g = {"GradCheck", "GradEdit", "Label5", "GradSpeedEdit",
                                             "Label6"};
  return g;
}
const std::vector<std::string>& stopGroup() {
  static const std::vector<std::string> g = {"PauseCheck", "PauseEdit", "Label7"};
  return g;
}
const std::vector<std::string>& timeGroup() {
  static const std::vector<std::string> g = {"ZeitCheck", "ZeitSpin", "Label2"};
  return g;
}
const std::vector<std::string>& minDistGroup() {
  static const std::vector<std::string> g = {"Label3", "MinDistEdit", "Label8"};
  return g;
}

namespace {
void setGroup(ShellState& shell, const std::vector<std::string>& g, bool on) {
  for (const auto& name : g) shell.item(name).enabled = on;
}
}  // namespace

void setAllRuleGroups(ShellState& shell, bool enabled) {
  for (const auto* g : {&distanceGroup(), &headingGroup(), &stopGroup(), &timeGroup(),
                        &minDistGroup()})
    setGroup(shell, *g, enabled);
  shell.item("Zeitangabe").enabled = enabled;
  shell.item("Zeitangabe").visible = enabled;
  // The box for a route file's points follows the loaded format, not the groups.
  if (!enabled) shell.item("AllePunkteCheck").enabled = false;
}

void enableRuleGroups(ShellState& shell, RuleGroups groups) {
  switch (groups) {
    case RuleGroups::None: break;
    case RuleGroups::All:
      setAllRuleGroups(shell, true);
      break;
    case RuleGroups::DistanceOnly:
      setGroup(shell, distanceGroup(), true);
      shell.item("MeterSpeedEdit").enabled = false;
      break;
    case RuleGroups::DistanceHeadingMinDist:
      setGroup(shell, distanceGroup(), true);
      setGroup(shell, headingGroup(), true);
      setGroup(shell, minDistGroup(), true);
      break;
  }
}

}  // namespace kursolin
