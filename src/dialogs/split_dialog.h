#pragma once
// The split dialog (TSaveSplit) without its widgets: the plan of part files for routes longer
// than a format's per-file maximum, the texts the dialog shows, and the Tourenplaner settings it
// carries for BCR files. The desktop program draws it; the batch converter and tests drive it.

#include <string>
#include <vector>

#include "core/split_plan.h"
#include "session/session.h"
#include "session/split_view.h"

namespace kursolin {

/// What the split dialog says of the chosen output format: its caption and the end of its bold
/// text, after the maximum.
struct SplitDialogTexts {
  std::string caption;
  std::string infoTail;
};

class SplitDialog : public SplitDialogView {
 public:
  SplitDialog(Session& s, SplitDialogTexts texts);

  void FormActivate() override;
  void AnzSplitEditChange(long long value) override;
  void AnzSplitEditText(const std::string& text) override;
  void close() override;
  void BCRDir_EChange(const std::string& text) override;
  void BCRDirButtonClick() override;
  Session& session() override { return s_; }

  /// Computes the plan from the spin box into the session (SplitSize, SplitFiles, SplitRest,
  /// SplitRestFile) and the texts.
  void Berechnen();
  /// true when the current plan's part files can be named (see splitPlanNameable).
  bool planNameable() const;

 private:
  Session& s_;
  SplitDialogTexts texts_;
};

/// The per-file maximum of the chosen output format (0: no limit), or -1 for formats without one.
int splitMaximum(const Session& s);

/// The number of route points a split divides: the lines of OutputLines for the formats that
/// write one line per route point, RoutePointCount for Falk (several lines a point), the point
/// lines for formats with a header and footer around them.
int splitPointCount(const Session& s);

/// Sets the plan (SplitSize, SplitFiles, SplitRest, SplitRestFile) for perFile points a file
/// (at least 1) over splitPointCount.
void planSplit(Session& s, int perFile);

}  // namespace kursolin
