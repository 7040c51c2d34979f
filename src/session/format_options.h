#pragma once
// The options a format declares: its settings-file key, type, default and range, and where the
// dialogs show it. The settings file, the dialogs and the batch converter's --set all read the
// declarations; the values live in a store in the options, keyed by the declaration.

#include <array>
#include <climits>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "core/ranges.h"

namespace kursolin {

/// How an option's value is kept and written.
enum class OptionType { Integer, Boolean, Text };

/// A place where a dialog shows options: a page of the settings dialog, or a panel of another
/// dialog (the split dialog's route settings).
struct OptionPage {
  const char* title = "";              // tab, panel or group caption
  const char* heading = "";            // bold line over the fields ("" none)
  int order = 0;                       // pages in ascending order
  const OptionPage* parent = nullptr;  // the panel a group stands in
  bool splitDialog = false;  // a panel (or group) of the split dialog, not a settings page
};

/// What a field does for the dialog that shows it.
enum class FieldRole {
  Value,           // shows and edits the option
  Separator,       // the separator choices of a coordinate-text page
  FreeSeparator,   // whether the free character is the separator
  FreeCharacter,   // the free character
  LatitudeFirst,   // the order of the coordinates
  ShownSeparator,  // the separator as captions name it ("Tab")
  Lines,           // a text of several lines
  RouteName,       // the route's name, edited in the dialog before it is taken
  Folder,          // a folder, with a button to browse for it
  File,            // a file to read, with a button to choose it
};

/// One place an option is shown.
struct OptionField {
  const OptionPage* page = nullptr;
  const char* name = "";   // the control's name
  const char* label = "";  // caption of a check box, text before a number field
  const char* tail = "";   // text after a number field ("" none)
  FieldRole role = FieldRole::Value;
  /// File: the file dialog's filter ("Name (*.ext)|*.ext"; "" every file).
  const char* filter = "";
};

/// Everything a format says about one of its options.
struct OptionInfo {
  /// Section and key in the settings file; "" for a value kept for one run only.
  const char* section = "";
  const char* key = "";
  OptionType type = OptionType::Integer;
  long long defaultNumber = 0;   // Integer; Boolean as 0 or 1
  const char* defaultText = "";  // Text
  /// A folder whose default is the program's folder.
  bool defaultIsAppDir = false;
  /// Integer: a value outside becomes the nearer bound.
  IntRange range{INT_MIN, INT_MAX, 1};
  /// false for a key only a hand-edited settings file sets: the close leaves it alone.
  bool written = true;
  /// The file spells the tab character as the word "Tab".
  bool tabAsWord = false;
  /// A change wants the loaded input read again (the input separator).
  bool reloadsInput = false;
  /// Where the dialogs show it (a page of nullptr: nowhere).
  std::array<OptionField, 2> fields{};
  /// Boolean: the warning shown when the user leaves the box checked ("" none).
  const char* warning = "";
  /// Shown, but never changed by the user: the hint says why ("" none).
  const char* fixedHint = "";
  /// Integer shown as a list of these names (nullptr: a number).
  const std::vector<std::string>& (*choices)() = nullptr;
  /// Text: the value as the settings file had it also goes to this option.
  const OptionInfo* asReadInto = nullptr;

  bool persisted() const { return *key != '\0'; }
};

/// Declarations of the three types; each fixes its type, so reading one gives the right value.
struct IntOption {
  constexpr explicit IntOption(OptionInfo i) : info(i) { info.type = OptionType::Integer; }
  OptionInfo info;
};
struct BoolOption {
  constexpr explicit BoolOption(OptionInfo i) : info(i) { info.type = OptionType::Boolean; }
  OptionInfo info;
};
struct TextOption {
  constexpr explicit TextOption(OptionInfo i) : info(i) { info.type = OptionType::Text; }
  OptionInfo info;
};

/// A value of an option of any type: long long for Integer, bool for Boolean, text for Text.
using OptionValue = std::variant<long long, bool, std::string>;

/// The default of an option (a folder's default is appDir).
OptionValue optionDefault(const OptionInfo& o, const std::string& appDir);

/// The values of the formats' options. An option never set has its declared default.
class FormatOptionValues {
 public:
  int get(const IntOption& o) const { return static_cast<int>(std::get<long long>(slot(o.info))); }
  bool get(const BoolOption& o) const { return std::get<bool>(slot(o.info)); }
  const std::string& get(const TextOption& o) const { return std::get<std::string>(slot(o.info)); }
  void set(const IntOption& o, long long v) { slot(o.info) = v; }
  void set(const BoolOption& o, bool v) { slot(o.info) = v; }
  void set(const TextOption& o, std::string v) { slot(o.info) = std::move(v); }

  /// The value of any option, by its declaration (settings file, dialogs).
  const OptionValue& value(const OptionInfo& o) const { return slot(o); }
  /// Sets any option; the value must be of its type.
  void setValue(const OptionInfo& o, OptionValue v) { slot(o) = std::move(v); }

 private:
  // Writers read their options for every point: one look-up by the declaration's address, the
  // default filled in at the first.
  OptionValue& slot(const OptionInfo& o) const;
  mutable std::unordered_map<const OptionInfo*, OptionValue> values_;
};

}  // namespace kursolin
