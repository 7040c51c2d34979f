#pragma once
// The route generators: the rules of the rule panel (distance, heading, time, stop, minimum
// distance) or every Nth record, over the records of InputLines.

#include <optional>
#include <string>

#include "core/geotime.h"
#include "core/point.h"
#include "session/session.h"

namespace kursolin {

/// State of one generator run.
struct GeneratorState {
  Real LastRouteLat = 0, LastRouteLon = 0;
  Real DistRefLat = 0, DistRefLon = 0;
  Real CurLat = 0, CurLon = 0;
  Real StopLat = 0, StopLon = 0;
  std::string RefTime, CurTime;
  std::string RefCourse, CurCourse;
  bool InStop = false;
  int StopStartSeconds = 0;
  std::string StopStartTime;
  int PauseMinutes = 0;
  bool DistDue = false, TimeDue = false, HeadingDue = false, PauseDue = false;
  std::string RecordLabel;
  /// Each A record is followed by its B record (ReadVtg, where the input has B records).
  bool pairs = false;
  /// Line of the A record of the last point emitted (-1: none yet).
  int lastEmittedLine = -1;
  /// The line being read; kept across lines so reading a log allocates once.
  std::string lineBuffer;
  /// Distances of the scan (reference point, last point, stop point to the current record).
  DistCache dist;
  /// The line count the output caption shows (-1: none shown yet).
  int captionCount = -1;
};

/// What the generators use of the layers above them: the record readers of the input format and
/// the emitter of the output format.
class RouteIO {
 public:
  virtual ~RouteIO() = default;
  /// Parses the A record of a point; true when usable.
  virtual bool Get_A(Session& s, const std::string& line, int index) = 0;
  /// Parses the B record of a point (or reports the A record's validity).
  virtual bool Get_B(Session& s, const std::string& line, int index) = 0;
  /// Whether a line holds one of the input format's records (and not another sentence of the
  /// same log); the every-Nth generator counts only these.
  virtual bool isRecordLine(const Session&, const std::string&) const { return true; }
  /// Whether each A record of this input is followed by its B record: ReadVtg, unless the
  /// input holds no B records at all (a GGA log without VTG sentences).
  virtual bool pairsRecords(const Session& s) const { return s.doc.ReadVtg; }
  /// Whether the input is a route file (every input but the receivers' logs): "Alle Punkte der
  /// Route übernehmen" takes each of its records.
  virtual bool isRouteFile(const Session&) const { return false; }
  /// When the input was recorded, for the summer or winter time question (nullopt: unknown).
  virtual std::optional<LocalDateTime> recordedAt(const Session& s) const {
    return s.doc.InputFileTime;
  }
  /// Emits the current point (prev*: the point emitted before, 0 for the first).
  virtual void RouteOut(Session& s, Real prevLat, Real prevLon, Real curLat, Real curLon) = 0;
};

/// How a generator run ended.
enum class RouteResult {
  Completed,  // through to the end of the input
  Refused,  // one of the generator's own messages: too few lines, no usable record
  Aborted,  // the user chose Abort in a prompt
  Failed,  // a value could not be converted (the command's error message was shown)
};

/// Makes the route from InputLines into OutputLines with the rules or every Nth record.
RouteResult RouteErzeugen(Session& s, RouteIO& io);

/// Emits the current point (RouteOut) and makes it the last route point; `line` is the index of
/// its A record, `why` the rule text kept beside the route.
void EmitRoutePoint(Session& s, RouteIO& io, GeneratorState& g, RuleKind kind,
                    const std::string& why, int line);

/// "GGA" for GGA + VTG logs, else the input format's short name.
std::string recordLabel(const Document& doc);

/// The German name of a rule, for explanations.
std::string ruleName(RuleKind kind);

}  // namespace kursolin
