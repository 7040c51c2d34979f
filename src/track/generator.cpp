#include "track/generator.h"

#include <cstdio>

#include "core/cp1252.h"
#include "core/geotime.h"
#include "session/panes.h"
#include "session/progress.h"
#include "session/prompt.h"
#include "session/time_mode.h"

namespace kursolin {

std::string recordLabel(const Document& doc) {
  return doc.InputShortName == "GGA + VTG" ? std::string("GGA") : doc.InputShortName;
}

std::string ruleName(RuleKind kind) {
  switch (kind) {
    case RuleKind::Start: return "Startpunkt";
    case RuleKind::Distance: return "Abstand";
    case RuleKind::Time: return "Zeit";
    case RuleKind::Heading: return "Richtungswechsel"_cp;
    case RuleKind::Stop: return "Stopp";
    case RuleKind::End: return "Zielpunkt";
    case RuleKind::EveryNth: return "Jeder n-te Datensatz";
    case RuleKind::Inserted: return "Von Hand eingef�gt"_cp;
  }
  return {};
}

void EmitRoutePoint(Session& s, RouteIO& io, GeneratorState& g, RuleKind kind,
                    const std::string& why, int line) {
  // A via point of a planned route is a stop the rider chose, whichever rule reached it.
  if (s.CurrentPoint.Role == RouteRole::Via && kind != RuleKind::Start && kind != RuleKind::End)
    kind = RuleKind::Stop;
  PointRecord& p = s.CurrentPoint;
  p.PointLabel = s.opt.ShowPointInfo ? why : std::string("-");
  // Start, destination and stops are where the rider is told of the route; every other point
  // only keeps it on its road.
  const bool via = kind == RuleKind::Start || kind == RuleKind::End || kind == RuleKind::Stop;
  p.Role = via ? RouteRole::Via : RouteRole::Shaping;
  io.RouteOut(s, g.LastRouteLat, g.LastRouteLon, p.LatValue, p.LonValue);
  g.LastRouteLat = p.LatValue;
  g.LastRouteLon = p.LonValue;
  g.lastEmittedLine = line;
  g.captionCount = -1;  // RouteOut put the point count there
  if (s.doc.keepRouteRecords) s.doc.ruleNotes.push_back({s.doc.RoutePointCount, kind, why});
}

namespace {

// Rule texts are for the reader of an explanation; a record time that does not show as a time
// must not end the run because of them.
std::string shownTime(const Session& s, const std::string& time) {
  try {
    return TimeChange(s, time);
  } catch (const ConvertError&) {
    return time;
  }
}

std::string withoutFraction(const std::string& t) {
  const auto dot = t.find('.');
  return dot == std::string::npos ? t : t.substr(0, dot);
}

int headingChange(const Session& s, const std::string& a, const std::string& b) {
  const auto deg = [](const std::string& c) {
    const auto dot = c.find('.');
    if (dot == std::string::npos) return 0LL;
    return strToIntDef(c.substr(0, dot), 0);
  };
  const long long x = deg(a), y = deg(b), g = s.opt.rules.GradEdit;
  const long long hi = x > y ? x : y, lo = x > y ? y : x;
  long long d = (hi + g > 360 && lo - g < 0) ? 360 - hi + lo : x - y;
  return static_cast<int>(d < 0 ? -d : d);
}

enum class Outcome { Ended, Refused, ToEndPoint };

// The user's "Abbrechen", seen after the window had its events: the run ends there as an Abort
// in a prompt ends it, so what was emitted stays and no end point follows.
bool cancelled(Session& s) {
  if (!s.cancelRequested) return false;
  s.AbortRequested = true;
  return true;
}

// Marks the run for the picture while it adds points, and forgets a cancel that came late.
class RunScope {
 public:
  explicit RunScope(Session& s) : s_(s) {
    s_.routeInProgress = true;
    s_.cancelRequested = false;
  }
  ~RunScope() {
    s_.routeInProgress = false;
    s_.cancelRequested = false;
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  Session& s_;
};

// The status line while a route is made; counts input lines, so the total is known.
constexpr char kScanProgress[] = "Datens\xE4tze gepr\xFC" "ft: Zeile ";

// The line at i in the run's own buffer: stepping through a long log then copies each line once
// into memory already there instead of allocating a string per line. The text stays valid until
// the next call.
const std::string& line(const Session& s, GeneratorState& g, long long i) {
  s.doc.InputLines.readInto(i, g.lineBuffer);
  return g.lineBuffer;
}

// The line `steps` record lines after `from`. Real logs interleave other sentences (GSA, GSV,
// proprietary ones); counting only the format's own lines gives such a log the points of the
// same log without them. Lines past the end count as record lines, so a log of records only
// strides exactly `steps` lines.
long long afterRecordLines(const Session& s, const RouteIO& io, GeneratorState& g, long long from,
                           long long steps) {
  const long long count = s.doc.InputLines.Count();
  long long i = from;
  while (steps > 0) {
    ++i;
    if (i >= count || io.isRecordLine(s, line(s, g, i))) --steps;
  }
  return i;
}

// The every-Nth-record generator.
Outcome AllGGA(Session& s, RouteIO& io, GeneratorState& g, int every) {
  const int n = every < 1 ? 1 : every;
  const int count = s.doc.InputLines.Count();
  long long i = afterRecordLines(s, io, g, -1, 1);
  g.LastRouteLat = g.LastRouteLon = 0;
  s.doc.RoutePointCount = 0;
  ProgressTicker ticker(s.port(), kScanProgress, count);
  while (i < count - 1) {
    ticker.tick(i);
    if (cancelled(s)) return Outcome::Ended;
    const bool a = io.Get_A(s, line(s, g, i), static_cast<int>(i));
    if (s.AbortRequested) return Outcome::Ended;
    const long long aLine = i;
    i = afterRecordLines(s, io, g, i, n);
    if (a) {
      if (g.pairs) {
        bool b = false;
        do {
          // Past the last line there is nothing left to read.
          if (i >= count) return Outcome::ToEndPoint;
          b = io.Get_B(s, line(s, g, i), static_cast<int>(i));
          if (s.AbortRequested) return Outcome::Ended;
          i = afterRecordLines(s, io, g, i, 1);
        } while (!b);
      }
      if (s.CurrentPoint.FixOk == "1") {
        EmitRoutePoint(s, io, g, RuleKind::EveryNth,
                       "-N:" + std::to_string(n) + " T:" + shownTime(s, s.CurrentPoint.Time),
                       static_cast<int>(aLine));
      } else if (errorPromptIfShown(s, "Sat - Fehler beim Lesen des " + g.RecordLabel +
                                           "Datensatz an Position " + std::to_string(i) +
                                           " erkannt" + kCR + line(s, g, i))) {
        return Outcome::Ended;
      }
    } else if (errorPromptIfShown(s, "Fehler beim Lesen des " + g.RecordLabel +
                                         "Datensatz an Position " + std::to_string(i) +
                                         " erkannt" + kCR + line(s, g, i))) {
      return Outcome::Ended;
    }
  }
  return Outcome::ToEndPoint;
}

// The end point is the last record the reader accepts. Real logs carry other sentences after the
// last fix, so when the last line (the second-to-last for GGA + VTG) is no record, the last line
// that is one is looked for, quietly, but never back to the last point already emitted.
void endPoint(Session& s, RouteIO& io, GeneratorState& g, long long bLine) {
  const int count = s.doc.InputLines.Count();
  const int last = count - 1;
  const long long aLine = g.pairs ? count - 2 : count - 1;
  bool a = io.Get_A(s, line(s, g, aLine), last);
  if (s.AbortRequested) return;
  long long found = aLine;
  if (a && g.pairs) {
    io.Get_B(s, line(s, g, bLine), last);
    if (s.AbortRequested) return;
  }
  if (!a) {
    QuietScope quiet(s);
    for (long long j = count - 1; j > g.lastEmittedLine && j >= 0; --j) {
      if (io.Get_A(s, line(s, g, j), static_cast<int>(j))) {
        found = j;
        a = true;
        break;
      }
    }
    if (a && g.pairs) {
      for (long long j = found + 1; j < count; ++j) {
        if (io.Get_B(s, line(s, g, j), static_cast<int>(j))) break;
      }
    }
    s.AbortRequested = false;
  }
  if (a) {
    EmitRoutePoint(s, io, g, RuleKind::End, "-E:" + shownTime(s, s.CurrentPoint.Time),
                   static_cast<int>(found));
  }
}

void abortMessage(Session& s, const std::string& text) {
  s.port().prompt(PromptKind::Error, PromptButtons::Abort, text);
}

// The rule generator from its first record on; returns whether the end point follows and the
// line for the end point's B record.
Outcome runRules(Session& s, RouteIO& io, GeneratorState& g, long long& bLine) {
  const RuleSettings& r = s.opt.rules;
  PointRecord& p = s.CurrentPoint;
  const int count = s.doc.InputLines.Count();
  long long i = 0;

  // The first record with a fix.
  while (true) {
    const bool a = io.Get_A(s, line(s, g, i), static_cast<int>(i));
    if (s.AbortRequested) return Outcome::Ended;
    if (i >= count) {
      abortMessage(s, "Keinen gültigen "_cp + g.RecordLabel + " Datensatz in der Datei gefunden");
      return Outcome::Refused;
    }
    ++i;
    if (p.FixOk != "1") {
      if (errorPromptIfShown(s, "Sat - Fehler beim Lesen des ersten " + g.RecordLabel +
                                    " Datensatzes an Position " + std::to_string(i) +
                                    " erkannt" + kCR + line(s, g, i)))
        return Outcome::Ended;
      continue;
    }
    if (a) break;
  }
  const long long startLine = i - 1;
  if (g.pairs) {
    while (true) {
      const bool b = io.Get_B(s, line(s, g, i), static_cast<int>(i));
      if (s.AbortRequested) return Outcome::Ended;
      if (i >= count) {
        abortMessage(s, "Keinen gültigen VTG Datensatz in der Datei gefunden"_cp);
        return Outcome::Refused;
      }
      ++i;
      if (b) break;
    }
  }
  g.RefTime = p.Time;
  g.RefCourse = p.Course;
  EmitRoutePoint(s, io, g, RuleKind::Start, "-S:" + shownTime(s, p.Time),
                 static_cast<int>(startLine));
  g.DistRefLat = g.StopLat = p.LatValue;
  g.DistRefLon = g.StopLon = p.LonValue;
  // The scan starts at the B record just read, which the A reader rejects like any other line.
  if (g.pairs) --i;

  ProgressTicker ticker(s.port(), kScanProgress, count);
  while (i < count - 1) {
    long long aLine = 0;
    while (true) {
      s.port().processPendingEvents();
      ticker.tick(i);
      if (cancelled(s)) return Outcome::Ended;
      // Running past the last line ends the scan; the end point follows.
      if (i >= count) {
        bLine = count - 1;
        return Outcome::ToEndPoint;
      }
      const bool a = io.Get_A(s, line(s, g, i), static_cast<int>(i));
      if (s.AbortRequested) return Outcome::Ended;
      aLine = i;
      ++i;
      if (a) {
        g.CurLat = p.LatValue;
        g.CurLon = p.LonValue;
        break;
      }
    }
    if (g.pairs) {
      while (true) {
        s.port().processPendingEvents();
        if (cancelled(s)) return Outcome::Ended;
        if (i >= count) {
          bLine = count - 1;
          return Outcome::ToEndPoint;
        }
        const bool b = io.Get_B(s, line(s, g, i), static_cast<int>(i));
        if (s.AbortRequested) return Outcome::Ended;
        ++i;
        if (b) break;
      }
    }
    g.CurTime = p.Time;
    g.CurCourse = p.Course;
    // The caption changes only with the count; most records add no line.
    if (s.doc.OutputLines.Count() != g.captionCount) {
      g.captionCount = s.doc.OutputLines.Count();
      s.setOutputCaption(outputCaptionWith(s.shell, g.captionCount));
    }

    const bool fix = p.FixOk == "1";
    // Most records lie well within or well beyond the rule's distance from the reference point;
    // the exact distance is only needed near it, and for the text of a point the rule emits.
    int d = -1;
    const auto exactDistance = [&] {
      if (d < 0) d = g.dist(g.DistRefLat, g.DistRefLon, g.CurLat, g.CurLon);
      return d;
    };
    g.DistDue = false;
    if (r.MeterCheck && fix) {
      switch (DistCache::compare(g.DistRefLat, g.DistRefLon, g.CurLat, g.CurLon, r.MeterSpin)) {
        case DistCache::Compared::Below: break;
        case DistCache::Compared::AtLeast: g.DistDue = true; break;
        case DistCache::Compared::Unknown: g.DistDue = exactDistance() >= r.MeterSpin; break;
      }
    }
    g.TimeDue = r.ZeitCheck && ZeitDif(g.RefTime, g.CurTime) >= r.ZeitSpin && fix;
    if (g.RefCourse.empty()) g.RefCourse = "0.0";
    if (g.CurCourse.empty()) g.CurCourse = "0.0";
    g.HeadingDue = r.GradCheck && GradDif(r.GradEdit, g.RefCourse, g.CurCourse) && fix;
    if (r.PauseCheck) {
      if (!g.InStop && p.SpeedValue < s.opt.StopSpeed) {
        g.StopStartSeconds = GetTime(p.Time);
        g.StopStartTime = p.Time;
        g.StopLat = p.LatValue;
        g.StopLon = p.LonValue;
        g.InStop = true;
      }
      if (g.InStop && p.SpeedValue > s.opt.StartSpeed &&
          g.dist(g.StopLat, g.StopLon, p.LatValue, p.LonValue) > 20) {
        g.InStop = false;
        g.PauseMinutes = (GetTime(p.Time) - g.StopStartSeconds) / 60;
        g.PauseDue = g.PauseMinutes >= r.PauseEdit;
      }
    }

    const int point = static_cast<int>(aLine);
    const auto fromLast = [&] { return g.dist(g.LastRouteLat, g.LastRouteLon, p.LatValue, p.LonValue); };
    if (g.DistDue && p.SpeedValue <= r.MeterSpeedEdit) {
      const int last = fromLast();
      if (last > r.MinDistEdit) {
        char m[32];
        std::snprintf(m, sizeof m, " M%2.2d", exactDistance());
        EmitRoutePoint(s, io, g, RuleKind::Distance,
                       "-T:" + shownTime(s, p.Time) + " D:" + std::to_string(last) + m + "K:" +
                           p.SpeedKmh,
                       point);
      }
      g.DistRefLat = g.CurLat;
      g.DistRefLon = g.CurLon;
    }
    if (g.TimeDue) {
      const int last = fromLast();
      if (last >= r.MinDistEdit) {
        EmitRoutePoint(s, io, g, RuleKind::Time,
                       "-T:" + shownTime(s, p.Time) + " D:" + std::to_string(last) + "K:" +
                           p.SpeedKmh,
                       point);
      }
      g.RefTime = g.CurTime;
    }
    if (g.HeadingDue) {
      const int last = fromLast();
      if (p.SpeedValue >= r.GradSpeedEdit && last > r.MinDistEdit) {
        EmitRoutePoint(s, io, g, RuleKind::Heading,
                       "-T:" + shownTime(s, p.Time) + " D:" + std::to_string(last) + "G:" +
                           std::to_string(headingChange(s, g.RefCourse, g.CurCourse)) + "K:" +
                           p.SpeedKmh,
                       point);
      }
      g.RefCourse = g.CurCourse;
    }
    // A via point of a planned route is a stop the rider chose: it stays, whatever the rules
    // (the end point follows on its own).
    if (p.Role == RouteRole::Via && !g.PauseDue && point != g.lastEmittedLine &&
        point < count - 1 - (g.pairs ? 1 : 0)) {
      EmitRoutePoint(s, io, g, RuleKind::Stop, "-V:" + shownTime(s, p.Time), point);
    }
    if (g.PauseDue) {
      EmitRoutePoint(s, io, g, RuleKind::Stop,
                     "-PS:" + withoutFraction(shownTime(s, g.StopStartTime)) + "PE:" +
                         withoutFraction(shownTime(s, p.Time)) + "PD:" +
                         std::to_string(g.PauseMinutes),
                     point);
      g.PauseMinutes = 0;
      g.PauseDue = false;
    }
  }
  bLine = i - 1;
  return Outcome::ToEndPoint;
}

}  // namespace

RouteResult RouteErzeugen(Session& s, RouteIO& io) {
  s.port().focusOutputPane();
  s.setOutputCaption(outputCaptionWith(s.shell, 0));
  s.ActiveTimeOffset = 0;
  s.doc.RoutePointCount = 0;
  s.AbortRequested = false;
  s.doc.ruleNotes.clear();
  if (s.doc.InputLines.Count() < 2) {
    abortMessage(s, "Es müssen mindestens 2 Datensätze zur Auswertung vorhanden sein!"_cp);
    return RouteResult::Refused;
  }
  s.doc.OutputLines.clear();
  s.doc.emittedPoints.clear();
  s.doc.reducedAway.clear();
  NaviChange(s);
  s.setOutputCaption(outputCaptionWith(s.shell, 0));
  // Only a season needs to know when the input was recorded.
  const bool seasonal = s.opt.TimeMode == 2 || s.opt.TimeMode == 3;
  chooseActiveTimeOffset(s, seasonal ? io.recordedAt(s) : std::nullopt);

  const RunScope run(s);
  GeneratorState g;
  g.RecordLabel = recordLabel(s.doc);
  g.pairs = io.pairsRecords(s);
  long long bLine = s.doc.InputLines.Count() - 1;
  // "Alle Punkte der Route übernehmen" takes every record of a route file, as "Aus jedem 1" does.
  const bool everyPoint = s.opt.rules.AllePunkteCheck && io.isRouteFile(s);
  const Outcome o = everyPoint                ? AllGGA(s, io, g, 1)
                    : s.opt.rules.AllGGACheck ? AllGGA(s, io, g, s.opt.rules.XRPSpin)
                                              : runRules(s, io, g, bLine);
  if (o == Outcome::Refused) return RouteResult::Refused;
  if (o == Outcome::ToEndPoint) endPoint(s, io, g, bLine);
  return s.AbortRequested ? RouteResult::Aborted : RouteResult::Completed;
}

}  // namespace kursolin
