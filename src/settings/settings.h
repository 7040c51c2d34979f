#pragma once
// The settings file "Kursolin.Ini" in the program's folder: read once when the main window first
// becomes active, written once when it closes. One table lists every key with its type, default,
// the working state it feeds and whether the close writes it; loading, saving and the batch
// converter's overrides all walk that table, so they cannot disagree about a key.

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/point.h"
#include "session/format_options.h"
#include "session/session.h"
#include "settings/profile.h"

namespace kursolin {

/// Name of the settings file in AppDir.
inline constexpr char kSettingsFileName[] = "Kursolin.Ini";

/// How a key's value is stored in the file.
enum class SettingType { Integer, Boolean, Number, Text };

/// A key's value: long long for Integer, bool for Boolean, Real for Number, string for Text.
using SettingValue = std::variant<long long, bool, Real, std::string>;

/// One key of the settings file: a value of the program, or an option a format declares.
struct SettingRow {
  const char* section;
  const char* key;
  SettingType type;
  SettingValue defaultValue;  // unused when defaultIsAppDir
  bool defaultIsAppDir;
  /// Hands a value to what the key feeds: ranges of number fields and the extra steps applied.
  void (*apply)(Session&, const SettingValue&);
  /// The value the close would write.
  SettingValue (*value)(const Session&);
  bool written;  // false for keys only a hand-edited file sets
  /// A format's option: the row is its declaration's, apply and value are those of options.
  const OptionInfo* option = nullptr;
};

/// Every key of the settings file, in the order in which it is read and written: the program's
/// keys and the formats' options in the order the file has always had, then options declared
/// since, in the order of the format rows.
const std::vector<SettingRow>& settingRows();

/// Hands a value to what the row's key feeds, as reading the settings file does.
void applySettingRow(Session& s, const SettingRow& row, const SettingValue& v);
/// The value of a row the close would write.
SettingValue settingValue(const Session& s, const SettingRow& row);

/// The row of section/key (ASCII letter case ignored), nullptr for a key the program doesn't know.
const SettingRow* findSettingRow(std::string_view section, std::string_view key);

/// The default of a row for this session (the folder keys default to AppDir).
SettingValue settingDefault(const Session& s, const SettingRow& row);

/// Name of the settings folder below the user's configuration folder.
inline constexpr char kUserSettingsFolderName[] = "Kursolin";

/// Full path of the settings file: "Kursolin.Ini" in AppDir, or in ConfigDir when there is one
/// and the program is installed for every user: AppDir can't be written, or it has the installed
/// data folder beside it and no settings file of its own.
std::string settingsPath(const Session& s);

/// The data folder (manual) of a program installed from this build, for its program folder.
std::string installedDataFolder(const std::string& appDir);

/// The user's settings folder ending in '/', from the values of XDG_CONFIG_HOME and HOME (either
/// may be null): "$XDG_CONFIG_HOME/Kursolin/", else "$HOME/.config/Kursolin/"; "" when neither
/// gives an absolute folder.
std::string userSettingsFolder(const char* xdgConfigHome, const char* home);

/// Applies every key of the table from the profile, in table order; a missing key or an
/// unreadable number gives the default.
void applySettings(Session& s, const Profile& p);

/// Writes every key that the close stores into the profile, in table order.
void storeSettings(const Session& s, Profile& p);

/// Reads the settings file of AppDir into the session. A missing or unreadable file behaves as an
/// empty one (every default); the status tells which it was.
ProfileReadStatus loadSettings(Session& s);

/// Reads the settings from the file at path instead (batch converter, --ini FILE); error receives
/// the reason when an existing file could not be read.
ProfileReadStatus loadSettingsFrom(Session& s, const std::string& path,
                                   std::string* error = nullptr);

/// Writes further sections of the window's own into the profile being saved.
using ProfileWriter = std::function<void(Profile&)>;

/// Writes the settings into the settings file of AppDir, keeping every line it doesn't own, with
/// what `more` adds. On failure the old file stays as it was, the user is told and false comes
/// back.
bool saveSettings(Session& s, const ProfileWriter& more = {});

/// As saveSettings, into the file at path.
bool saveSettingsTo(Session& s, const std::string& path, const ProfileWriter& more = {});

/// Applies one Section/Key=Value by the names and rules of the settings file (value text cleaned
/// as the file's, numbers clamped to their field's range). false, with the reason, for an unknown
/// key or a number or boolean text that can't be read; the session is then unchanged.
bool applySettingOverride(Session& s, const std::string& section, const std::string& key,
                          const std::string& value, std::string* reason = nullptr);

}  // namespace kursolin
