#pragma once
// What the user chose: the rule values of the main window, the time mode, the chosen formats and
// their options, the folders. The settings file stores them; the converters read them.

#include <string>

#include "core/point.h"
#include "session/isolated.h"

namespace kursolin {

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

/// The input format code that stands for "find the format of each file by itself" (stored as
/// Pref/SourceNr; no format has it).
inline constexpr int kAutoInputFormat = 0;

struct Options {
  // --- Route rules and the values the generators and the NMEA readers use ---
  RuleSettings rules;
  Real StopSpeed = 1.0L;
  Real StartSpeed = 7.0L;
  int HKorEdit = 48;  // 0..1000
  bool HoeheNull = true;
  int TimeMode = 1;
  int SummerOffset = 2;
  int WinterOffset = 1;
  bool ShowErrors = false;
  bool ShowPointInfo = false;
  /// Last choice of "Route verringern".
  int MaxRoutePoints = 100;

  // --- The chosen formats ---
  /// The format the loaded records are read with (with InputAutoDetect: the one found).
  int InputFormat = 1;
  /// "Automatisch erkennen": each loaded file's format is found from its content.
  bool InputAutoDetect = false;
  /// The chosen output format's code (Navi/Sys); every flag and check mark is derived from it.
  int OutputFormat = 1;

  // --- Options of the formats ---
  std::string InputSeparator = "\t";
  std::string InputSeparatorText = "Tab";
  std::string SeparatorAtSettings = "\t";
  bool InputLatFirst = true;
  bool InputFreeSeparator = false;
  std::string TEFreeEdit = "-";
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
  int MpMN = 100;
  int MpTT3 = 15;
  int MpFalk = 90;
  int MpMTP = 50;
  int MpGPX = 0;
  std::string BcrRouteName;
  std::string BcrRouteTitle;  // "Routenbezeichnung" as the route settings dialog was left, for SaveBCR
  std::string BcrDirectory;
  BcrSettings bcr;

  // --- Folders ---
  std::string OpenDir;  // initial folder of the open dialog
  std::string SaveDir;  // initial folder of the save dialog
  /// Time and memory a file that is read in a process of its own (a database) may take.
  ChildLimits databaseReadLimits;
};

}  // namespace kursolin
