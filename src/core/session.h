#pragma once
// All working state of one running program: the record, the two line lists, the options and the
// state of the formats, rules and commands. The main window (or the batch converter) owns exactly
// one; tests make as many as they like.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/datetime.h"
#include "core/host.h"
#include "core/isolated.h"
#include "core/lines.h"
#include "core/numtext.h"
#include "core/point.h"
#include "core/port.h"
#include "core/split_plan.h"

namespace kursolin {

/// Checked / enabled / visible state of one named menu item, action or control.
struct UiItem {
  bool checked = false;
  bool enabled = true;
  bool visible = true;
};

/// The route rule controls of the main window, named after their controls.
struct RuleSettings {
  bool MeterCheck = true;
  int MeterSpin = 1000;  // metres, 0..99000
  int MeterSpeedEdit = 50;  // km/h, 0..300
  bool GradCheck = true;
  int GradEdit = 75;  // degrees, 0..90
  int GradSpeedEdit = 20;  // km/h, 0..300
  bool PauseCheck = true;
  int PauseEdit = 3;  // minutes, 1..8400
  bool ZeitCheck = false;
  int ZeitSpin = 30;  // seconds, 1..100000
  int MinDistEdit = 50;  // metres, 0..50000
  bool AllGGACheck = false;
  int XRPSpin = 10;  // 1..1000
};

/// One row of the route point table: 17 cells.
using TableRow = std::vector<std::string>;

/// The route point table shown over the output pane for the table output.
struct PointTableModel {
  std::vector<std::string> headers;  // 17 header texts
  std::vector<int> widths;  // 17 widths in pixels
  std::vector<TableRow> rows;  // data rows (the header is row 0 of the grid, not stored here)
  bool visible = false;
};

/// Tourenplaner route settings of the split dialog, kept between uses and runs.
struct BcrSettings {
  std::string RNHeader;
  bool RDeskripToFN = false;  // "auch als Dateiname verwenden"
  int PIndex = 0;  // vehicle profile
  int OPTIMIZATION = 50;  // 30..95
  bool PREFERNICE_C = false;
  bool ALTROUTE_C = false;
  bool CORRUSED_C = false;
  bool TRAFFICUSED_C = false;
  bool PREFERMAUT_C = false;
  bool PREFERVIGN_C = false;
  std::string Beschreibung;
};

/// Window geometry as the settings file stores it.
struct WindowGeometry {
  int SizeH = 693, SizeW = 853, PosT = 20, PosH = 20;
  int NMH = 338, NMW = 440, NAH = 338, NAW = 398, STH = 223, STW = 843;
};

/// Keys that only a hand-edited settings file sets.
struct DebugSettings {
  bool Find = false;
  bool HelpEdit = false;
  bool ShowErrorMenu = false;
  bool ShowError = false;
};

/// Why a route point was emitted.
enum class RuleKind { Start, Distance, Time, Heading, Stop, End, EveryNth };

/// Why a route point exists: its rule and the rule's own text.
struct RuleNote {
  int point = 0;
  RuleKind kind = RuleKind::Start;
  std::string text;
};

/// A position in signed decimal degrees (south and west negative).
struct GeoPosition {
  Real lat = 0;
  Real lon = 0;
};

/// A route point as the emitter received it, and where its lines stand in OutputLines; kept so
/// the route can be drawn and emitted again without its input.
struct EmittedPoint {
  PackedPointRecord record;  // CurrentPoint before the point's lines were built
  int number = 0;  // the number RouteOut gave it
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

/// The input format code that stands for "find the format of each file by itself" (stored as
/// Pref/SourceNr; no format has it).
inline constexpr int kAutoInputFormat = 0;

/// Place and size of the route picture window.
struct PictureGeometry {
  int T = 80, L = 120, W = 720, H = 540;
};

class Session {
 public:
  Session(UserPort& port, const HostSettings& host);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  UserPort& port() { return *port_; }
  void setPort(UserPort& port) { port_ = &port; }
  const HostSettings& host() const { return host_; }
  /// Changes the regional settings (tests, command-line override).
  void setHost(const HostSettings& host);
  /// How this session writes numbers and times: DecimalSep and TimeSep.
  NumberStyle numberStyle() const { return {DecimalSep, TimeSep}; }

  /// The named menu item, action or control; created on first use.
  UiItem& item(const std::string& name) { return ui_[name]; }
  const std::map<std::string, UiItem>& items() const { return ui_; }

  /// Caption of the input pane, kept and passed to the port.
  void setInputCaption(const std::string& text);
  /// Caption of the output pane, kept and passed to the port.
  void setOutputCaption(const std::string& text);
  /// Status line text, kept and passed to the port.
  void setStatusText(const std::string& text);
  const std::string& inputCaption() const { return inputCaption_; }
  const std::string& outputCaption() const { return outputCaption_; }
  const std::string& statusText() const { return statusText_; }

  // --- Point record and working state ---
  PointRecord CurrentPoint;
  Real StopSpeed = 1.0L;
  Real StartSpeed = 7.0L;
  int RoutePointCount = 0;
  bool AbortRequested = false;
  /// The user's "Abbrechen" of a route being made; the generator stops before its next record.
  /// Kept apart from AbortRequested, which every record read resets.
  bool cancelRequested = false;
  /// True while a generator run adds points: until it ends, the route has no destination.
  bool routeInProgress = false;
  bool ShowErrors = false;
  bool ShowPointInfo = false;
  char DecimalSep = '.';
  char TimeSep = ':';
  int ActiveTimeOffset = 0;
  TextLines InputLines;
  TextLines OutputLines;
  /// Records of the last route command skipped for a value that is no number.
  SkippedLines skippedRecords;

  // --- NMEA altitude settings ---
  int HKorEdit = 48;  // 0..1000
  bool HoeheNull = true;

  // --- Time mode ---
  int TimeMode = 1;
  int SummerOffset = 2;
  int WinterOffset = 1;

  // --- Route rules ---
  RuleSettings rules;
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
  /// Last choice of "Route verringern".
  int MaxRoutePoints = 100;

  // --- Input format and loading ---
  /// The format the loaded records are read with (with InputAutoDetect: the one found).
  int InputFormat = 1;
  /// "Automatisch erkennen": each loaded file's format is found from its content.
  bool InputAutoDetect = false;
  std::string InputLabel;
  std::string InputShortName;
  bool ReadVtg = false;
  /// Found from InputLines when first needed; a cache, so readers of a const session fill it.
  mutable NmeaLogState NmeaLog;
  std::string InputFileName = "*.txt";
  /// Modification time of the loaded file when it was loaded (nullopt: none or unknown).
  std::optional<LocalDateTime> InputFileTime;
  std::string SaveBaseName;
  bool InputIsMN5 = false;
  std::string InputSeparator = "\t";
  std::string InputSeparatorText = "Tab";
  std::string SeparatorAtSettings = "\t";
  bool InputLatFirst = true;
  bool InputFreeSeparator = false;
  std::string TEFreeEdit = "-";
  std::string OpenDir;  // initial folder of the open dialog
  /// Time and memory a database may take to be read in its own process.
  ChildLimits databaseReadLimits;
  /// InputLines' revision when its file was loaded; another one means the user edited the pane.
  std::uint64_t loadedInputRevision = 0;
  /// OutputLines' revision when the route was last saved or a load emptied it; another one
  /// means a route that was not saved.
  std::uint64_t savedOutputRevision = 0;

  // --- Output format and emission ---
  /// The chosen output format's code (Navi/Sys); every flag and check mark is derived from it.
  int OutputFormat = 1;
  /// Whether the menus, captions and labels show the chosen output format yet: a format read
  /// from the settings is applied once at start-up.
  bool outputFormatApplied = false;
  std::string OutputLabel;
  PointTableModel PointTable;
  int TableRowCount = 1;
  std::string CsvSeparator = ";";
  std::string OutputSeparator = "\t";
  bool OutputLatFirst = true;
  bool OutputFreeSeparator = false;
  std::string TAFreeEdit = "-";
  bool MN4ShowOrt = false;
  bool MN42ShowOrt = false;
  bool MN5ShowOrt = true;
  std::string TTFlags = "413";
  std::string FalkFlags = "4324";

  // --- Saving and splitting ---
  std::string SaveDir;  // initial folder of the save dialog
  int MpMN = 100;
  int MpTT3 = 15;
  int MpFalk = 90;
  int MpMTP = 50;
  int MpGPX = 0;
  std::string BcrRouteName;
  std::string BcrRouteTitle;  // "Routenbezeichnung" as the route settings dialog was left, for SaveBCR
  std::string BcrDirectory;
  BcrSettings bcr;
  /// The part files of the route being saved.
  SplitPlan split;

  // --- Application shell ---
  std::string AppDir;  // ends in '/'
  /// The user's own settings folder, used when AppDir can't be written; ends in '/', "" none.
  std::string ConfigDir;
  WindowGeometry geometry;
  PictureGeometry pictureGeometry;
  DebugSettings debug;
  bool ShowStartNotice = true;
  bool HideStartDialog = false;

 private:
  UserPort* port_;
  HostSettings host_;
  std::map<std::string, UiItem> ui_;
  std::string inputCaption_;
  std::string outputCaption_;
  std::string statusText_;
};

/// "OutputLabel + Routenpunkte := count" for the output pane caption.
std::string outputCaptionWith(const Session& s, long long count);

}  // namespace kursolin
