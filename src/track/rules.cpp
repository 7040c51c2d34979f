#include "track/rules.h"

namespace kursolin {

namespace {

bool& ref(Session& s, RuleBox box) {
  switch (box) {
    case RuleBox::MeterCheck: return s.rules.MeterCheck;
    case RuleBox::GradCheck: return s.rules.GradCheck;
    case RuleBox::PauseCheck: return s.rules.PauseCheck;
    case RuleBox::ZeitCheck: return s.rules.ZeitCheck;
  }
  return s.rules.MeterCheck;
}

// The reactions do not cascade: clearing a box as a reaction does nothing further, so the box the
// user (or the settings file) set last wins.
void clearRuleBoxes(Session& s) {
  s.rules.MeterCheck = s.rules.GradCheck = s.rules.PauseCheck = s.rules.ZeitCheck = false;
}

}  // namespace

bool ruleCheck(const Session& s, RuleBox box) { return ref(const_cast<Session&>(s), box); }

void setRuleCheck(Session& s, RuleBox box, bool checked) {
  bool& b = ref(s, box);
  if (b == checked) return;
  b = checked;
  s.rules.AllGGACheck = false;
  s.port().stateChanged();
}

void setAllGGACheck(Session& s, bool checked) {
  if (s.rules.AllGGACheck == checked) return;
  s.rules.AllGGACheck = checked;
  clearRuleBoxes(s);
  s.port().stateChanged();
}

void AllGGACheckClick(Session& s) {
  clearRuleBoxes(s);
  s.port().stateChanged();
}

void MeterCheckClick(Session& s) {
  s.rules.AllGGACheck = false;
  s.port().stateChanged();
}

void GradCheckClick(Session& s) { MeterCheckClick(s); }
void PauseCheckClick(Session& s) { MeterCheckClick(s); }
void ZeitCheckClick(Session& s) { MeterCheckClick(s); }

}  // namespace kursolin
