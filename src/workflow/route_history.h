#pragma once
// Undo and redo of the changes of the produced route (a generation, a reversal, a reduction, an
// output format that made the route again, and whatever later edits the route's points): each
// change keeps the route it replaced as a step. The history knows nothing of windows; the shell
// runs the route's commands through record() and offers undo() and redo().

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/session.h"

namespace kursolin {

/// Steps the history keeps at most, undo and redo together; the oldest go first.
inline constexpr std::size_t kRouteHistoryDepth = 100;
/// Memory the kept steps may take together; the oldest go first. A single step above it is still
/// kept, so the last change can always be taken back.
inline constexpr std::size_t kRouteHistoryBytes = std::size_t{64} << 20;

/// What a change of the route replaces: the output pane's lines and everything read beside them
/// (the writers' records and rule notes, the picture's removed points, the point table, the
/// output format the lines are written in and the caption).
struct RouteState {
  TextLines lines;
  int pointCount = 0;
  std::deque<RuleNote> ruleNotes;
  std::deque<EmittedPoint> emittedPoints;
  std::vector<GeoPosition> reducedAway;
  std::vector<TableRow> tableRows;
  bool tableVisible = false;
  int tableRowCount = 1;
  int outputFormat = 0;
  std::string outputCaption;
  /// Which state of the route this is; the history marks the one saved last by it.
  std::uint64_t id = 0;
};

/// A copy of the session's route.
RouteState captureRoute(const Session& s);

/// The memory a kept state takes, estimated from its parts.
std::size_t memoryBytes(const RouteState& r);

/// One change that can be taken back: its name ("Route umkehren") and the route before it (in
/// the undo list) or after it (in the redo list).
struct RouteStep {
  std::string label;
  RouteState state;
};

class RouteHistory {
 public:
  explicit RouteHistory(std::size_t depth = kRouteHistoryDepth,
                        std::size_t maxBytes = kRouteHistoryBytes);

  /// Runs `change` and, when it changed the route's lines, keeps the route
  /// it replaced as a step named `label` and drops the steps to redo; true when a step was kept.
  /// A change that loads a file keeps nothing (the load cleared the history).
  bool record(Session& s, const std::string& label, const std::function<void()>& change);

  /// Puts the route before the last change back; false when there is none.
  bool undo(Session& s);
  /// Makes the last change taken back again; false when there is none.
  bool redo(Session& s);

  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  /// Name of the change undo() takes back ("" when none).
  const std::string& undoLabel() const;
  /// Name of the change redo() makes again ("" when none).
  const std::string& redoLabel() const;
  std::size_t undoCount() const { return undo_.size(); }
  std::size_t redoCount() const { return redo_.size(); }
  /// Estimated memory of every kept step.
  std::size_t bytes() const { return bytes_; }

  /// Forgets every step.
  void clear();
  /// Takes note of what happened outside record(): a newly loaded file clears the history, a
  /// saved route marks the present route as the one on disk (undo and redo back to it count as
  /// saved again).
  void follow(const Session& s);

 private:
  void keep(Session& s, const std::string& label, RouteState&& before);
  void exchange(Session& s, RouteState& state);
  void trim();

  std::size_t depth_;
  std::size_t maxBytes_;
  std::deque<RouteStep> undo_;   // oldest first
  std::vector<RouteStep> redo_;  // the next to redo last
  std::size_t bytes_ = 0;
  std::uint64_t presentId_ = 1;
  std::uint64_t nextId_ = 1;
  std::uint64_t savedId_ = 1;
  std::optional<std::uint64_t> loadRevision_;
};

}  // namespace kursolin
