#include "workflow/route_history.h"

#include <utility>

#include "session/panes.h"
#include "workflow/output_commands.h"

namespace kursolin {

namespace {

// A packed record takes about this much of its store's block (its numbers and texts); the blocks
// are shared between the steps that keep the same points, so this errs on the safe side.
constexpr std::size_t kPackedRecordBytes = 128;

// A choice that changed no line (an output format chosen without making the route again) is no
// change of the route.
bool sameRoute(const RouteState& before, const Session& s) {
  const TextLines& now = s.doc.OutputLines;
  if (before.lines.Count() != now.Count()) return false;
  for (int i = 0; i < now.Count(); ++i) {
    if (before.lines.full(i) != now.full(i)) return false;
  }
  return before.reducedAway.size() == s.doc.reducedAway.size() &&
         before.emittedPoints.size() == s.doc.emittedPoints.size();
}

}  // namespace

RouteState captureRoute(const Session& s) {
  RouteState r;
  r.lines = s.doc.OutputLines;
  r.pointCount = s.doc.RoutePointCount;
  r.ruleNotes = s.doc.ruleNotes;
  r.emittedPoints = s.doc.emittedPoints;
  r.reducedAway = s.doc.reducedAway;
  r.tableRows = s.doc.PointTable.rows;
  r.tableVisible = s.doc.PointTable.visible;
  r.tableRowCount = s.doc.TableRowCount;
  r.outputFormat = s.opt.OutputFormat;
  r.outputCaption = s.outputCaption();
  return r;
}

std::size_t memoryBytes(const RouteState& r) {
  std::size_t n = sizeof(RouteState) + r.outputCaption.capacity();
  for (int i = 0; i < r.lines.Count(); ++i) n += sizeof(std::size_t) + r.lines.full(i).size();
  n += r.emittedPoints.size() * (sizeof(EmittedPoint) + kPackedRecordBytes);
  for (const RuleNote& note : r.ruleNotes) n += sizeof(RuleNote) + note.text.capacity();
  n += r.reducedAway.capacity() * sizeof(GeoPosition);
  for (const TableRow& row : r.tableRows) {
    n += sizeof(TableRow);
    for (const std::string& cell : row) n += sizeof(std::string) + cell.capacity();
  }
  return n;
}

RouteHistory::RouteHistory(std::size_t depth, std::size_t maxBytes)
    : depth_(depth), maxBytes_(maxBytes) {}

const std::string& RouteHistory::undoLabel() const {
  static const std::string none;
  return undo_.empty() ? none : undo_.back().label;
}

const std::string& RouteHistory::redoLabel() const {
  static const std::string none;
  return redo_.empty() ? none : redo_.back().label;
}

void RouteHistory::clear() {
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
}

void RouteHistory::follow(const Session& s) {
  if (loadRevision_ != s.doc.loadedInputRevision) {
    // Another file: the steps belong to the route of the one before.
    clear();
    loadRevision_ = s.doc.loadedInputRevision;
  }
  if (s.doc.OutputLines.revision() == s.doc.savedOutputRevision) savedId_ = presentId_;
}

bool RouteHistory::record(Session& s, const std::string& label,
                          const std::function<void()>& change) {
  follow(s);
  RouteState before = captureRoute(s);
  const std::uint64_t loaded = s.doc.loadedInputRevision;
  try {
    change();
  } catch (...) {
    // What a failed change left behind can be taken back like any other.
    if (loaded == s.doc.loadedInputRevision && !sameRoute(before, s)) {
      keep(s, label, std::move(before));
    }
    throw;
  }
  if (loaded != s.doc.loadedInputRevision) {
    follow(s);
    return false;
  }
  if (sameRoute(before, s)) return false;
  keep(s, label, std::move(before));
  return true;
}

void RouteHistory::keep(Session& s, const std::string& label, RouteState&& before) {
  before.id = presentId_;
  presentId_ = ++nextId_;
  for (const RouteStep& step : redo_) bytes_ -= memoryBytes(step.state);
  redo_.clear();
  bytes_ += memoryBytes(before);
  undo_.push_back({label, std::move(before)});
  trim();
  follow(s);
}

void RouteHistory::exchange(Session& s, RouteState& r) {
  Document& d = s.doc;
  // The lines go in as a change of their own, so no view takes them for lines it has shown.
  const std::vector<std::string> lines = r.lines.lines();
  r.lines = std::move(d.OutputLines);
  d.OutputLines.assign(lines);
  std::swap(d.RoutePointCount, r.pointCount);
  std::swap(d.ruleNotes, r.ruleNotes);
  std::swap(d.emittedPoints, r.emittedPoints);
  std::swap(d.reducedAway, r.reducedAway);
  std::swap(d.PointTable.rows, r.tableRows);
  std::swap(d.PointTable.visible, r.tableVisible);
  std::swap(d.TableRowCount, r.tableRowCount);
  const int format = r.outputFormat;
  r.outputFormat = s.opt.OutputFormat;
  if (format != s.opt.OutputFormat) showOutputFormat(s, format);
  std::string caption = std::move(r.outputCaption);
  r.outputCaption = s.outputCaption();
  std::swap(r.id, presentId_);
  // The lines are new to every view; they count as saved only if they are what was saved last.
  if (presentId_ == savedId_) d.savedOutputRevision = d.OutputLines.revision();
  s.setOutputCaption(caption);
  NaviChange(s);
  s.port().stateChanged();
}

bool RouteHistory::undo(Session& s) {
  follow(s);
  if (undo_.empty()) return false;
  RouteStep step = std::move(undo_.back());
  undo_.pop_back();
  bytes_ -= memoryBytes(step.state);
  exchange(s, step.state);
  bytes_ += memoryBytes(step.state);
  redo_.push_back(std::move(step));
  trim();
  return true;
}

bool RouteHistory::redo(Session& s) {
  follow(s);
  if (redo_.empty()) return false;
  RouteStep step = std::move(redo_.back());
  redo_.pop_back();
  bytes_ -= memoryBytes(step.state);
  exchange(s, step.state);
  bytes_ += memoryBytes(step.state);
  undo_.push_back(std::move(step));
  trim();
  return true;
}

void RouteHistory::trim() {
  const auto over = [this] { return undo_.size() + redo_.size() > depth_ || bytes_ > maxBytes_; };
  // The oldest change goes first, then the farthest to redo; the step next to the present stays
  // even when it alone is over the bound.
  while (over() && undo_.size() + redo_.size() > 1) {
    if (undo_.size() > (redo_.empty() ? 1u : 0u)) {
      bytes_ -= memoryBytes(undo_.front().state);
      undo_.pop_front();
    } else {
      bytes_ -= memoryBytes(redo_.front().state);
      redo_.erase(redo_.begin());
    }
  }
}

}  // namespace kursolin
