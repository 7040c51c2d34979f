#pragma once
// The check boxes of the rule panel: the four rule boxes and "Aus jedem" exclude each other.

#include "session/session.h"

namespace kursolin {

enum class RuleBox { MeterCheck, GradCheck, PauseCheck, ZeitCheck };

/// The state of one of the four rule boxes.
bool ruleCheck(const Session& s, RuleBox box);

/// Sets a rule box (by the user or by the program); a change clears AllGGACheck.
void setRuleCheck(Session& s, RuleBox box, bool checked);

/// Sets AllGGACheck; a change clears the four rule boxes.
void setAllGGACheck(Session& s, bool checked);

// Click handlers: the clicked box has already taken its new state; each acts whatever it is.
void AllGGACheckClick(Session& s);
void MeterCheckClick(Session& s);
void GradCheckClick(Session& s);
void PauseCheckClick(Session& s);
void ZeitCheckClick(Session& s);

}  // namespace kursolin
