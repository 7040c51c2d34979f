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
void setGroup(Session& s, const std::vector<std::string>& g, bool on) {
  for (const auto& name : g) s.item(name).enabled = on;
}
}  // namespace

void setAllRuleGroups(Session& s, bool enabled) {
  for (const auto* g : {&distanceGroup(), &headingGroup(), &stopGroup(), &timeGroup(),
                        &minDistGroup()})
    setGroup(s, *g, enabled);
  s.item("Zeitangabe").enabled = enabled;
  s.item("Zeitangabe").visible = enabled;
}

void enableRuleGroups(Session& s, RuleGroups groups) {
  switch (groups) {
    case RuleGroups::None: break;
    case RuleGroups::All: setAllRuleGroups(s, true); break;
    case RuleGroups::DistanceOnly:
      setGroup(s, distanceGroup(), true);
      s.item("MeterSpeedEdit").enabled = false;
      break;
    case RuleGroups::DistanceHeadingMinDist:
      setGroup(s, distanceGroup(), true);
      setGroup(s, headingGroup(), true);
      setGroup(s, minDistGroup(), true);
      break;
  }
}

}  // namespace kursolin
