#include "settings/settings.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/ranges.h"
#include "formats/registry.h"
#include "session/prompt.h"
#include "settings/devices.h"
#include "track/rules.h"

namespace kursolin {

namespace {

using V = SettingValue;
constexpr SettingType kInt = SettingType::Integer;
constexpr SettingType kBool = SettingType::Boolean;
constexpr SettingType kNum = SettingType::Number;
constexpr SettingType kText = SettingType::Text;

V iv(long long v) {
  return V(std::in_place_type<long long>, v);
}
V bv(bool v) {
  return V(std::in_place_type<bool>, v);
}
V rv(Real v) {
  return V(std::in_place_type<Real>, v);
}
V tv(std::string v) {
  return V(std::in_place_type<std::string>, std::move(v));
}

int asInt(const V& v) {
  // Integer values come from the int-sized profile parser, so the cast cannot overflow.
  return static_cast<int>(std::get<long long>(v));
}
bool asBool(const V& v) {
  return std::get<bool>(v);
}
Real asReal(const V& v) {
  return std::get<Real>(v);
}
const std::string& asText(const V& v) {
  return std::get<std::string>(v);
}

// A separator spells the tab character as the word "Tab"; any other spelling is taken literally.
std::string fromFile(const OptionInfo& o, const std::string& text) {
  return o.tabAsWord && text == "Tab" ? "\t" : text;
}
std::string forFile(const OptionInfo& o, const std::string& text) {
  return o.tabAsWord && text == "\t" ? "Tab" : text;
}

SettingType typeOf(const OptionInfo& o) {
  switch (o.type) {
    case OptionType::Integer:
      return kInt;
    case OptionType::Boolean:
      return kBool;
    case OptionType::Text:
      return kText;
  }
  return kText;
}

// An option's value as the settings file holds it.
V fileValue(const OptionInfo& o, const OptionValue& v) {
  if (const auto* n = std::get_if<long long>(&v)) return iv(*n);
  if (const auto* b = std::get_if<bool>(&v)) return bv(*b);
  return tv(forFile(o, std::get<std::string>(v)));
}

// The row of a format's option, where the settings file has always kept it.
SettingRow rowOf(const OptionInfo& o) {
  return {o.section,
          o.key,
          typeOf(o),
          fileValue(o, optionDefault(o, std::string())),
          o.defaultIsAppDir,
          nullptr,
          nullptr,
          o.written,
          &o};
}

SettingRow optionRow(const char* section, const char* key) {
  const OptionInfo* o = findFormatOption(section, key);
  if (!o) throw std::logic_error(std::string("no format declares ") + section + "/" + key);
  return rowOf(*o);
}

std::vector<SettingRow> programAndFormatRows() {
  // clang-format off
  return {
    {"Navi", "Sys", kInt, iv(1), false,
     [](Session& s, const V& v) { s.opt.OutputFormat = asInt(v); },
     [](const Session& s) { return iv(s.opt.OutputFormat); }, true},
    optionRow("Navi", "MpTT3"),
    optionRow("Navi", "TTFlags"),
    optionRow("Navi", "MpMN"),
    optionRow("Navi", "MN4ShowOrt"),
    optionRow("Navi", "MN42ShowOrt"),
    optionRow("Navi", "MN5ShowOrt"),
    optionRow("Navi", "MpFalk"),
    optionRow("Navi", "MpGPX"),
    // Written under the key it is read from; an old "FprvFlags" line is left as it stands.
    optionRow("Navi", "FalkFlags"),
    {"Navi", "MaxRp", kInt, iv(100), false,
     [](Session& s, const V& v) { s.opt.MaxRoutePoints = kMaxRoutePointsRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.MaxRoutePoints); }, true},
    {"Options", "ShowInfo", kBool, bv(false), false,
     [](Session& s, const V& v) {
       s.opt.ShowPointInfo = asBool(v);
       s.shell.item("RPInfo").checked = asBool(v);
     },
     [](const Session& s) { return bv(s.opt.ShowPointInfo); }, true},

    // Window geometry is the window manager's business: no ranges here.
    {"Size", "H", kInt, iv(693), false,
     [](Session& s, const V& v) { s.shell.geometry.SizeH = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.SizeH); }, true},
    {"Size", "W", kInt, iv(853), false,
     [](Session& s, const V& v) { s.shell.geometry.SizeW = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.SizeW); }, true},
    {"Pos", "T", kInt, iv(20), false,
     [](Session& s, const V& v) { s.shell.geometry.PosT = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.PosT); }, true},
    {"Pos", "H", kInt, iv(20), false,
     [](Session& s, const V& v) { s.shell.geometry.PosH = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.PosH); }, true},
    {"Size", "NMH", kInt, iv(338), false,
     [](Session& s, const V& v) { s.shell.geometry.NMH = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.NMH); }, true},
    {"Size", "NMW", kInt, iv(440), false,
     [](Session& s, const V& v) { s.shell.geometry.NMW = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.NMW); }, true},
    {"Size", "NAH", kInt, iv(338), false,
     [](Session& s, const V& v) { s.shell.geometry.NAH = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.NAH); }, true},
    {"Size", "NAW", kInt, iv(398), false,
     [](Session& s, const V& v) { s.shell.geometry.NAW = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.NAW); }, true},
    {"Size", "STH", kInt, iv(223), false,
     [](Session& s, const V& v) { s.shell.geometry.STH = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.STH); }, true},
    {"Size", "STW", kInt, iv(843), false,
     [](Session& s, const V& v) { s.shell.geometry.STW = asInt(v); },
     [](const Session& s) { return iv(s.shell.geometry.STW); }, true},

    {"Routenbild", "T", kInt, iv(80), false,
     [](Session& s, const V& v) { s.shell.pictureGeometry.T = asInt(v); },
     [](const Session& s) { return iv(s.shell.pictureGeometry.T); }, true},
    {"Routenbild", "L", kInt, iv(120), false,
     [](Session& s, const V& v) { s.shell.pictureGeometry.L = asInt(v); },
     [](const Session& s) { return iv(s.shell.pictureGeometry.L); }, true},
    {"Routenbild", "W", kInt, iv(720), false,
     [](Session& s, const V& v) { s.shell.pictureGeometry.W = asInt(v); },
     [](const Session& s) { return iv(s.shell.pictureGeometry.W); }, true},
    {"Routenbild", "H", kInt, iv(540), false,
     [](Session& s, const V& v) { s.shell.pictureGeometry.H = asInt(v); },
     [](const Session& s) { return iv(s.shell.pictureGeometry.H); }, true},

    // The check boxes go through their setters, so the coupling with "Aus jedem" acts as on a
    // click and AGC, read last, wins over the four rule boxes.
    {"Setup", "DiC", kBool, bv(true), false,
     [](Session& s, const V& v) { setRuleCheck(s, RuleBox::MeterCheck, asBool(v)); },
     [](const Session& s) { return bv(s.opt.rules.MeterCheck); }, true},
    {"Setup", "DiM", kInt, iv(1000), false,
     [](Session& s, const V& v) { s.opt.rules.MeterSpin = kMeterSpinRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.rules.MeterSpin); }, true},
    {"Setup", "DiK", kInt, iv(50), false,
     [](Session& s, const V& v) { s.opt.rules.MeterSpeedEdit = kMeterSpeedEditRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.rules.MeterSpeedEdit); }, true},
    {"Setup", "RwC", kBool, bv(true), false,
     [](Session& s, const V& v) { setRuleCheck(s, RuleBox::GradCheck, asBool(v)); },
     [](const Session& s) { return bv(s.opt.rules.GradCheck); }, true},
    {"Setup", "RwG", kInt, iv(75), false,
     [](Session& s, const V& v) { s.opt.rules.GradEdit = kGradEditRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.rules.GradEdit); }, true},
    {"Setup", "RwK", kInt, iv(20), false,
     [](Session& s, const V& v) { s.opt.rules.GradSpeedEdit = kGradSpeedEditRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.rules.GradSpeedEdit); }, true},
    {"Setup", "StopC", kBool, bv(true), false,
     [](Session& s, const V& v) { setRuleCheck(s, RuleBox::PauseCheck, asBool(v)); },
     [](const Session& s) { return bv(s.opt.rules.PauseCheck); }, true},
    {"Setup", "Stop", kInt, iv(3), false,
     [](Session& s, const V& v) { s.opt.rules.PauseEdit = kPauseEditRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.rules.PauseEdit); }, true},
    {"Setup", "SecC", kBool, bv(false), false,
     [](Session& s, const V& v) { setRuleCheck(s, RuleBox::ZeitCheck, asBool(v)); },
     [](const Session& s) { return bv(s.opt.rules.ZeitCheck); }, true},
    {"Setup", "Sek", kInt, iv(30), false,
     [](Session& s, const V& v) { s.opt.rules.ZeitSpin = kZeitSpinRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.rules.ZeitSpin); }, true},
    {"Setup", "MinDist", kInt, iv(50), false,
     [](Session& s, const V& v) { s.opt.rules.MinDistEdit = kMinDistEditRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.rules.MinDistEdit); }, true},
    {"Setup", "AGC", kBool, bv(false), false,
     [](Session& s, const V& v) { setAllGGACheck(s, asBool(v)); },
     [](const Session& s) { return bv(s.opt.rules.AllGGACheck); }, true},
    {"Setup", "XRp", kInt, iv(10), false,
     [](Session& s, const V& v) { s.opt.rules.XRPSpin = kXRPSpinRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.rules.XRPSpin); }, true},
    {"Setup", "AlleRP", kBool, bv(false), false,
     [](Session& s, const V& v) { s.opt.rules.AllePunkteCheck = asBool(v); },
     [](const Session& s) { return bv(s.opt.rules.AllePunkteCheck); }, true},

    {"Pref", "StopSpeed", kNum, rv(1), false,
     [](Session& s, const V& v) { s.opt.StopSpeed = asReal(v); },
     [](const Session& s) { return rv(s.opt.StopSpeed); }, true},
    {"Pref", "StartSpeed", kNum, rv(7), false,
     [](Session& s, const V& v) { s.opt.StartSpeed = asReal(v); },
     [](const Session& s) { return rv(s.opt.StartSpeed); }, true},
    {"Pref", "HKor", kInt, iv(48), false,
     [](Session& s, const V& v) { s.opt.HKorEdit = kHKorEditRange.clamp(asInt(v)); },
     [](const Session& s) { return iv(s.opt.HKorEdit); }, true},
    {"Pref", "H_Null", kBool, bv(true), false,
     [](Session& s, const V& v) { s.opt.HoeheNull = asBool(v); },
     [](const Session& s) { return bv(s.opt.HoeheNull); }, true},
    optionRow("Pref", "CSVTrenner"),
    optionRow("Pref", "TE_Trenner"),
    optionRow("Pref", "TA_Trenner"),
    optionRow("Pref", "TE_NO"),
    optionRow("Pref", "TA_NO"),
    optionRow("Pref", "TE_Free"),
    optionRow("Pref", "TA_Free"),
    optionRow("Pref", "TE_FreeTrenner"),
    optionRow("Pref", "TA_FreeTrenner"),
    // "Automatisch erkennen" is stored as 0, a code no format has: an older version reading it
    // starts with its default format instead of a wrong one.
    {"Pref", "SourceNr", kInt, iv(1), false,
     [](Session& s, const V& v) {
       s.opt.InputAutoDetect = asInt(v) == kAutoInputFormat;
       if (!s.opt.InputAutoDetect) s.opt.InputFormat = asInt(v);
     },
     [](const Session& s) { return iv(s.opt.InputAutoDetect ? kAutoInputFormat : s.opt.InputFormat); },
     true},
    {"Pref", "TimeArt", kInt, iv(1), false,
     [](Session& s, const V& v) { s.opt.TimeMode = asInt(v); },
     [](const Session& s) { return iv(s.opt.TimeMode); }, true},
    {"Pref", "STimeKor", kInt, iv(2), false,
     [](Session& s, const V& v) { s.opt.SummerOffset = asInt(v); },
     [](const Session& s) { return iv(s.opt.SummerOffset); }, true},
    {"Pref", "WTimeKor", kInt, iv(1), false,
     [](Session& s, const V& v) { s.opt.WinterOffset = asInt(v); },
     [](const Session& s) { return iv(s.opt.WinterOffset); }, true},
    {"Pref", "StartDialog", kBool, bv(true), false,
     [](Session& s, const V& v) {
       s.shell.ShowStartNotice = asBool(v);
       s.shell.HideStartDialog = !asBool(v);
     },
     [](const Session& s) { return bv(s.shell.ShowStartNotice); }, true},

    {"Dir", "NMEA", kText, tv(""), true,
     [](Session& s, const V& v) { s.opt.OpenDir = asText(v); },
     [](const Session& s) { return tv(s.opt.OpenDir); }, true},
    {"Dir", "Navi", kText, tv(""), true,
     [](Session& s, const V& v) { s.opt.SaveDir = asText(v); },
     [](const Session& s) { return tv(s.opt.SaveDir); }, true},
    optionRow("Dir", "BCR"),

    optionRow("BCR", "MP"),
    optionRow("BCR", "RNHeader"),
    optionRow("BCR", "DeskFN"),
    optionRow("BCR", "PIndex"),
    optionRow("BCR", "Optim"),
    optionRow("BCR", "Nice"),
    optionRow("BCR", "AltRoute"),
    optionRow("BCR", "Corridor"),
    optionRow("BCR", "Traffic"),
    optionRow("BCR", "Maut"),
    optionRow("BCR", "Vign"),

    // Set by hand in the file only; the close leaves these lines alone.
    {"Debug", "Find", kBool, bv(false), false,
     [](Session& s, const V& v) {
       s.shell.debug.Find = asBool(v);
       s.shell.item("FindButton").visible = asBool(v);
     },
     [](const Session& s) { return bv(s.shell.debug.Find); }, false},
    {"Debug", "HelpEdit", kBool, bv(false), false,
     [](Session& s, const V& v) {
       s.shell.debug.HelpEdit = asBool(v);
       s.shell.item("HelpEditPanel").visible = asBool(v);
     },
     [](const Session& s) { return bv(s.shell.debug.HelpEdit); }, false},
    {"Debug", "ShowErrorMenu", kBool, bv(false), false,
     [](Session& s, const V& v) {
       s.shell.debug.ShowErrorMenu = asBool(v);
       s.shell.item("Fehlermeldung").visible = asBool(v);
       s.shell.item("N5").visible = asBool(v);  // the separator line above "Einstellungen"
     },
     [](const Session& s) { return bv(s.shell.debug.ShowErrorMenu); }, false},
    {"Debug", "ShowError", kBool, bv(false), false,
     [](Session& s, const V& v) {
       s.shell.debug.ShowError = asBool(v);
       s.shell.item("Fehlermeldung").checked = asBool(v);
       s.opt.ShowErrors = asBool(v);
     },
     [](const Session& s) { return bv(s.shell.debug.ShowError); }, false},
  };
  // clang-format on
}

std::vector<SettingRow> makeRows() {
  std::vector<SettingRow> rows = programAndFormatRows();
  // Options declared since go after every key the file has always had.
  for (const OptionInfo* o : allFormatOptions()) {
    if (!o->persisted()) continue;
    const bool listed =
        std::any_of(rows.begin(), rows.end(), [o](const SettingRow& r) { return r.option == o; });
    if (!listed) rows.push_back(rowOf(*o));
  }
  return rows;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

SettingValue readRow(const Session& s, const Profile& p, const SettingRow& row) {
  const SettingValue def = settingDefault(s, row);
  switch (row.type) {
    case SettingType::Integer:
      return iv(p.readInt(row.section, row.key, asInt(def)));
    case SettingType::Boolean:
      return bv(p.readBool(row.section, row.key, asBool(def)));
    case SettingType::Number:
      return rv(p.readFloat(row.section, row.key, asReal(def), s.numbers.DecimalSep));
    case SettingType::Text:
      return tv(p.readString(row.section, row.key, asText(def)));
  }
  return def;
}

void writeRow(const Session& s, Profile& p, const SettingRow& row) {
  const SettingValue v = settingValue(s, row);
  switch (row.type) {
    case SettingType::Integer:
      p.writeInt(row.section, row.key, std::get<long long>(v));
      break;
    case SettingType::Boolean:
      p.writeBool(row.section, row.key, asBool(v));
      break;
    case SettingType::Number:
      p.writeFloat(row.section, row.key, asReal(v), s.numbers.DecimalSep);
      break;
    case SettingType::Text:
      p.writeString(row.section, row.key, asText(v));
      break;
  }
}

bool cannotWrite(Session& s, const std::string& path) {
  singleButtonMessage(s, PromptKind::Error, PromptButtons::Ok,
                      "nach " + path + " kann nicht geschrieben werden");
  return false;
}

}  // namespace

const std::vector<SettingRow>& settingRows() {
  static const std::vector<SettingRow> rows = makeRows();
  return rows;
}

const SettingRow* findSettingRow(std::string_view section, std::string_view key) {
  for (const SettingRow& row : settingRows()) {
    if (equalsNoCase(row.section, section) && equalsNoCase(row.key, key)) return &row;
  }
  return nullptr;
}

SettingValue settingDefault(const Session& s, const SettingRow& row) {
  return row.defaultIsAppDir ? tv(s.AppDir) : row.defaultValue;
}

std::string installedDataFolder(const std::string& appDir) {
  return appDir + KURSOLIN_DATA_FROM_BIN "/";
}

std::string settingsPath(const Session& s) {
  const std::string beside = s.AppDir + kSettingsFileName;
  if (s.ConfigDir.empty()) return beside;
  // An installed program keeps each user's settings in the user's folder, also for root, who may
  // write among the programs; a settings file put beside it on purpose is still the one used.
  const bool installed = std::filesystem::is_directory(nativePath(installedDataFolder(s.AppDir)));
  if ((installed && !fileExists(beside)) || !folderWritable(s.AppDir)) {
    return s.ConfigDir + kSettingsFileName;
  }
  return beside;
}

std::string userSettingsFolder(const char* xdgConfigHome, const char* home) {
  // The folder with one '/' at its end, however many the variable had.
  const auto asFolder = [](std::string p) {
    while (!p.empty() && p.back() == '/') p.pop_back();
    return p + '/';
  };
  // A relative XDG_CONFIG_HOME is invalid and is ignored, as the desktops ignore it.
  std::string base;
  if (xdgConfigHome && xdgConfigHome[0] == '/') {
    base = asFolder(xdgConfigHome);
  } else if (home && home[0] == '/') {
    base = asFolder(home) + ".config/";
  } else {
    return {};
  }
  return sessionPath(base) + kUserSettingsFolderName + '/';
}

void applySettingRow(Session& s, const SettingRow& row, const SettingValue& v) {
  if (!row.option) {
    row.apply(s, v);
    return;
  }
  const OptionInfo& o = *row.option;
  switch (o.type) {
    case OptionType::Integer:
      s.opt.formats.setValue(
          o, OptionValue(std::in_place_type<long long>, o.range.clamp(std::get<long long>(v))));
      break;
    case OptionType::Boolean:
      s.opt.formats.setValue(o, OptionValue(std::in_place_type<bool>, asBool(v)));
      break;
    case OptionType::Text:
      if (o.asReadInto) s.opt.formats.setValue(*o.asReadInto, asText(v));
      s.opt.formats.setValue(o, fromFile(o, asText(v)));
      break;
  }
}

SettingValue settingValue(const Session& s, const SettingRow& row) {
  if (!row.option) return row.value(s);
  return fileValue(*row.option, s.opt.formats.value(*row.option));
}

void applySettings(Session& s, const Profile& p) {
  for (const SettingRow& row : settingRows()) applySettingRow(s, row, readRow(s, p, row));
  applyDeviceProfiles(s, p);
  s.port().stateChanged();
}

void storeSettings(const Session& s, Profile& p) {
  for (const SettingRow& row : settingRows()) {
    if (row.written) writeRow(s, p, row);
  }
  storeDeviceProfiles(s, p);
}

ProfileReadStatus loadSettings(Session& s) {
  return loadSettingsFrom(s, settingsPath(s));
}

ProfileReadStatus loadSettingsFrom(Session& s, const std::string& path, std::string* error) {
  Profile p;
  const ProfileReadStatus status = Profile::readFile(nativePath(path), p, error);
  applySettings(s, p);
  return status;
}

bool saveSettings(Session& s, const ProfileWriter& more) {
  const std::string path = settingsPath(s);
  // The user's settings folder does not exist before the first close; a folder that can't be
  // made shows as the file that can't be written.
  if (path != s.AppDir + kSettingsFileName) makeFolders(s.ConfigDir);
  return saveSettingsTo(s, path, more);
}

bool saveSettingsTo(Session& s, const std::string& path, const ProfileWriter& more) {
  // Read the file afresh, so lines edited by hand during the run are kept as well.
  Profile p;
  const ProfileReadStatus status = Profile::readFile(nativePath(path), p);
  // Replacing a file we could not read would throw away every line we don't own.
  if (status == ProfileReadStatus::Unreadable) return cannotWrite(s, path);
  const std::string before = p.bytes();
  storeSettings(s, p);
  if (more) more(p);
  if (status == ProfileReadStatus::Read && p.bytes() == before) return true;
  if (!p.writeFile(nativePath(path))) return cannotWrite(s, path);
  return true;
}

bool applySettingOverride(Session& s, const std::string& section, const std::string& key,
                          const std::string& value, std::string* reason) {
  const SettingRow* row = findSettingRow(section, key);
  if (!row) {
    if (reason) *reason = "Unbekannte Einstellung " + section + "/" + key;
    return false;
  }
  const std::string text = profileValueText(value);
  auto invalid = [&] {
    if (reason) {
      *reason = "Ungültiger Wert für "_cp + row->section + "/" + row->key + ": \"" + text + "\"";
    }
    return false;
  };
  switch (row->type) {
    case SettingType::Integer: {
      const auto v = parseProfileInt(text);
      if (!v) return invalid();
      applySettingRow(s, *row, iv(*v));
      break;
    }
    case SettingType::Boolean: {
      const auto v = parseProfileInt(text);
      if (!v) return invalid();
      applySettingRow(s, *row, bv(*v != 0));
      break;
    }
    case SettingType::Number: {
      const auto v = parseProfileFloat(text, s.numbers.DecimalSep);
      if (!v) return invalid();
      applySettingRow(s, *row, rv(*v));
      break;
    }
    case SettingType::Text:
      applySettingRow(s, *row, tv(text));
      break;
  }
  s.port().stateChanged();
  return true;
}

}  // namespace kursolin
