#include "track/rules.h"

namespace kursolin {

namespace {

bool& ref(Session& s, RuleBox box) {
  switch (box) {
    case RuleBox::MeterCheck:
      return s.opt.rules.MeterCheck;
    case RuleBox::GradCheck:
      return s.opt.rules.GradCheck;
    case RuleBox::PauseCheck:
      return s.opt.rules.PauseCheck;
    case RuleBox::ZeitCheck:
      return s.opt.rules.ZeitCheck;
  }
  return s.opt.rules.MeterCheck;
}

// The reactions do not cascade: clearing a box as a reaction does nothing further, so the box the
// user (or the settings file) set last wins.
void clearRuleBoxes(Session& s) {
  s.opt.rules.MeterCheck = s.opt.rules.GradCheck = s.opt.rules.PauseCheck = s.opt.rules.ZeitCheck =
      false;
}

}  // namespace

bool ruleCheck(const Session& s, RuleBox box) { return ref(const_cast<Session&>(s), box); }

void setRuleCheck(Session& s, RuleBox box, bool checked) {
  bool& b = ref(s, box);
  if (b == checked) return;
  b = checked;
  s.opt.rules.AllGGACheck = false;
  s.port().stateChanged();
}

void setAllGGACheck(Session& s, bool checked) {
  if (s.opt.rules.AllGGACheck == checked) return;
  s.opt.rules.AllGGACheck = checked;
  clearRuleBoxes(s);
  s.port().stateChanged();
}

void AllGGACheckClick(Session& s) {
  clearRuleBoxes(s);
  s.port().stateChanged();
}

void MeterCheckClick(Session& s) {
  s.opt.rules.AllGGACheck = false;
  s.port().stateChanged();
}

void GradCheckClick(Session& s) { MeterCheckClick(s); }
void PauseCheckClick(Session& s) { MeterCheckClick(s); }
void ZeitCheckClick(Session& s) { MeterCheckClick(s); }

}  // namespace kursolin
