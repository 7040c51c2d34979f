#pragma once
// What the user chose: the rule values of the main window, the time mode, the chosen formats and
// the values of their options, the folders. The settings file stores them; the converters read
// them.

#include <string>
#include <vector>

#include "core/point.h"
#include "session/format_options.h"
#include "session/isolated.h"

namespace kursolin {

/// The route rule controls of the main window, named after their controls.
struct RuleSettings {
  bool MeterCheck = true;
  int MeterSpin = 1000;     // metres, 0..99000
  int MeterSpeedEdit = 50;  // km/h, 0..300
  bool GradCheck = true;
  int GradEdit = 75;       // degrees, 0..90
  int GradSpeedEdit = 20;  // km/h, 0..300
  bool PauseCheck = true;
  int PauseEdit = 3;  // minutes, 1..8400
  bool ZeitCheck = false;
  int ZeitSpin = 30;     // seconds, 1..100000
  int MinDistEdit = 50;  // metres, 0..50000
  bool AllGGACheck = false;
  int XRPSpin = 10;  // 1..1000
  /// "Alle Punkte der Route übernehmen": a route file's points all stay (route files only).
  bool AllePunkteCheck = false;
};

/// A target device ("Zielgerät"): the output its profile sets before a route is made and saved.
/// Profiles are sections of the settings file the user can edit and add to.
struct DeviceProfile {
  std::string id;       // the section's name after "Geraet ", and kursolin-cli --device ID
  std::string name;     // as the menu lists it
  std::string format;   // the output format's name (kursolin-cli -f)
  std::string options;  // settings for it, "Abschnitt/Schluessel=Wert" separated by ";"
  int perFile = 0;      // route points per file (0: one file)
  int pointLimit = 0;   // points the route is fitted to (0: as many as the rules make)
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

  // --- Target devices ---
  /// The profiles the settings file holds (the shipped ones among them).
  std::vector<DeviceProfile> devices;
  /// The chosen profile's id ("": "Kein Profil").
  std::string Device;
  /// The chosen profile's point limit; a route made is fitted to it (0: none).
  int DevicePointLimit = 0;

  // --- The chosen formats ---
  /// The format the loaded records are read with (with InputAutoDetect: the one found).
  int InputFormat = 1;
  /// "Automatisch erkennen": each loaded file's format is found from its content.
  bool InputAutoDetect = false;
  /// The chosen output format's code (Navi/Sys); every flag and check mark is derived from it.
  int OutputFormat = 1;

  // --- Options of the formats, by their declarations ---
  FormatOptionValues formats;
  int get(const IntOption& o) const { return formats.get(o); }
  bool get(const BoolOption& o) const { return formats.get(o); }
  const std::string& get(const TextOption& o) const { return formats.get(o); }
  void set(const IntOption& o, long long v) { formats.set(o, v); }
  void set(const BoolOption& o, bool v) { formats.set(o, v); }
  void set(const TextOption& o, std::string v) { formats.set(o, std::move(v)); }
  /// The values of the options that reload the input (see inputOptionsKey) when the settings
  /// dialog was last opened or the input last loaded with them.
  std::string inputOptionsAtSettings = "\t";

  // --- Folders ---
  std::string OpenDir;  // initial folder of the open dialog
  std::string SaveDir;  // initial folder of the save dialog
  /// Time and memory a file that is read in a process of its own (a database) may take.
  ChildLimits databaseReadLimits;
};

}  // namespace kursolin
