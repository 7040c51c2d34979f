#pragma once
// What the program holds of the file being converted: the loaded lines and what the loading found
// out about them, the produced route with its points and rule notes, the plan of its part files.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/datetime.h"
#include "core/lines.h"
#include "core/point.h"
#include "core/split_plan.h"

namespace kursolin {

/// One row of the route point table: 17 cells.
using TableRow = std::vector<std::string>;

/// The route point table shown over the output pane for the table output.
struct PointTableModel {
  std::vector<std::string> headers;  // 17 header texts
  std::vector<int> widths;           // 17 widths in pixels
  std::vector<TableRow> rows;        // data rows (the header is row 0 of the grid, not stored here)
  bool visible = false;
};

/// Why a route point was emitted.
/// Inserted: put in by hand in the route picture, not by a rule.
enum class RuleKind { Start, Distance, Time, Heading, Stop, End, EveryNth, Inserted };

/// Why a route point exists: its rule and the rule's own text.
struct RuleNote {
  int point = 0;
  RuleKind kind = RuleKind::Start;
  std::string text;
};

/// A route point as the emitter received it, and where its lines stand in OutputLines; kept so
/// the route can be drawn and emitted again without its input.
struct EmittedPoint {
  PackedPointRecord record;  // CurrentPoint before the point's lines were built
  int number = 0;            // the number RouteOut gave it
  int firstLine = 0;
  int lineCount = 0;
};

/// Lines of InputLines the readers passed over because a value was no number of the input's
/// notation; each line counts once, however often it is read.
class SkippedLines {
 public:
  void clear() {
    lines_.clear();
    count_ = 0;
  }
  void add(int index) {
    if (index < 0) return;
    const auto i = static_cast<std::size_t>(index);
    if (i >= lines_.size()) lines_.resize(i + 1);
    if (!lines_[i]) {
      lines_[i] = true;
      ++count_;
    }
  }
  int count() const { return count_; }

 private:
  std::vector<bool> lines_;
  int count_ = 0;
};

/// What the NMEA readers found out once about the log in InputLines (see logTalkers()).
struct NmeaLogState {
  /// The InputLines revision the talkers were found for.
  std::uint64_t revision = ~std::uint64_t{0};
  /// Per kind of position sentence the talker the log is read with ("GP", "GN", ...): that of its
  /// first well-formed sentence of the kind; "" when it has none (then any talker is taken).
  std::string gga, vtg, rmc;
  /// The last GGA record read without a VTG, so a record can take its course over a stop
  /// without looking far back: its line (-1: none), fix position (signed degrees) and course.
  long long motionLine = -1;
  double motionLat = 0, motionLon = 0, motionSeconds = 0, motionCourse = 0;
};

struct Document {
  // --- The loaded file ---
  TextLines InputLines;
  std::string InputFileName = "*.txt";
  /// Modification time of the loaded file when it was loaded (nullopt: none or unknown).
  std::optional<LocalDateTime> InputFileTime;
  /// The proposed name of a saved route: the loaded file's name, or the last one saved.
  std::string SaveBaseName;
  /// What the records of InputLines are read as: its label and short name, and whether each
  /// record is followed by a second one (GGA by VTG).
  std::string InputLabel;
  std::string InputShortName;
  bool ReadVtg = false;
  /// What the input format's check found out about the layout of the loaded file, in the
  /// format's own terms (0: nothing).
  int InputLayout = 0;
  /// Found from InputLines when first needed; a cache, so readers of a const document fill it.
  mutable NmeaLogState NmeaLog;
  /// InputLines' revision when its file was loaded; another one means the user edited the pane.
  std::uint64_t loadedInputRevision = 0;
  /// Records of the last route command skipped for a value that is no number.
  SkippedLines skippedRecords;

  // --- The produced route ---
  TextLines OutputLines;
  int RoutePointCount = 0;
  /// Rule texts of the points of the last generated route, beside OutputLines (a deque for the
  /// reason emittedPoints is one).
  std::deque<RuleNote> ruleNotes;
  /// The points of OutputLines in the order of their lines (memory grows with the route only).
  /// A deque: a vector that grows would move all of a long route's records at once, in the
  /// middle of the route.
  std::deque<EmittedPoint> emittedPoints;
  /// Where the records of emittedPoints are packed.
  PackedPointStore pointStore;
  /// Whether routes keep their records and rule notes at all: the window draws, explains and
  /// reduces routes from them; the batch converter needs them only for a picture, a reduction or
  /// an explanation.
  bool keepRouteRecords = true;
  /// Points the reductions since the last generation removed, drawn faded.
  std::vector<GeoPosition> reducedAway;
  PointTableModel PointTable;
  int TableRowCount = 1;
  /// OutputLines' revision when the route was last saved or a load emptied it; another one
  /// means a route that was not saved.
  std::uint64_t savedOutputRevision = 0;
  /// The part files of the route being saved.
  SplitPlan split;
};

}  // namespace kursolin
