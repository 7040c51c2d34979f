#pragma once
// How each format presents itself to the user: its menu entry, its file dialogs, the captions,
// status and failure texts of a load, the split dialog's texts and the refusals. One row for
// each row of the registry, by its code; the window, the loading and saving commands and the
// batch converter show these texts.

#include <string>
#include <vector>

#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// A text that depends on the session (the coordinate text formats name their separator).
using SessionText = std::string (*)(const Session& s);

/// How the success caption of a load counts the lines of InputLines.
enum class CountKind { Lines, Pairs, Stations, Plain, Points };

/// An input format's menu entry, open dialog and the texts of a load.
struct InputPresentation {
  int code = 0;
  std::string menuItem;        // e.g. "IN_GGAVTG"
  std::string parentItem;      // sub-menu item it lives in, or ""
  bool parentChecked = false;  // choosing it also checks its sub-menu's entry
  bool menuEntry = true;       // false: reserved, no menu item selects it
  std::string caption;         // menu caption
  std::string shortcut;
  std::string label;                // InputLabel
  SessionText labelText = nullptr;  // InputLabel when it depends on the settings
  std::string shortName;            // InputShortName
  // The open dialog.
  std::string dialogTitle;
  std::string filter;       // description|pattern[|description|pattern]
  std::string moreFilters;  // entries listed after `filter`, same form ("" for none)
  std::string defaultExt;
  // The desktop's MIME types of its files, for the desktop entry ("" none: not offered there).
  std::vector<std::string> mimeTypes;
  // The check at load and its texts.
  std::string failureCaption;
  SessionText failureCaptionText = nullptr;
  std::string message;  // error box text when the check fails ("" for none)
  SessionText messageText = nullptr;
  std::string statusPrefix;
  bool statusOnlyWhenUsable = false;
  CountKind countKind = CountKind::Lines;
};

/// An output format's menu entry, save dialog, split dialog texts and refusals.
struct OutputPresentation {
  int code = 0;
  std::string menuItem;       // e.g. "MN4Data"
  std::string caption;        // menu caption
  std::string shortcut;       // e.g. "F2", "Ctrl+Alt+G"
  std::string label;          // OutputLabel, ends in a blank
  bool pointInfo = false;     // offers "Routepunkte Info ausgeben"
  bool textSubmenu = false;   // child of "Koordinatenpaar als Textdatei"
  std::string splitCaption;   // caption of the split dialog
  std::string splitInfoTail;  // its bold text after the maximum
  // Reversal: "" when the lines can be turned round, else the refusal.
  std::string reverseRefusal;
  // The save dialog.
  std::string saveTitle;
  std::string saveFilter;  // description|pattern
  std::string defaultExt;
  // The route point table on screen, for a format that fills it: its columns and their widths.
  std::vector<std::string> tableHeaders;
  std::vector<int> tableWidths;
};

/// A sub-menu that gathers format entries.
struct FormatSubmenu {
  std::string item;  // its menu item name, e.g. "In_NMEA"
  std::string caption;
};

/// Every input row's presentation, in menu order.
const std::vector<InputPresentation>& inputPresentations();
/// The presentation of an input code; nullptr for a code without a row.
const InputPresentation* inputPresentation(int code);
/// The sub-menus of "Eingabeformat", named by the rows' parentItem.
const std::vector<FormatSubmenu>& inputSubmenus();

/// InputLabel of a code.
std::string inputLabelFor(const Session& s, int code);
/// The caption shown when the file fails the check.
std::string failureCaptionFor(const Session& s, int code);
/// The error box text when the file fails the check.
std::string failureMessageFor(const Session& s, int code);
/// The extensions an open dialog's filters name, lower case, without dot.
std::vector<std::string> fileExtensionsOf(const InputPresentation& p);
/// The message for a file no format recognises: the file and the formats tried, in order.
std::string notRecognizedText(const Session& s, const std::string& path);

/// Every output row's presentation, in menu order.
const std::vector<OutputPresentation>& outputPresentations();
/// The presentation of an output code; nullptr for a code without a row.
const OutputPresentation* outputPresentation(int code);
/// The presentation of the chosen output format, or nullptr.
const OutputPresentation* chosenOutputPresentation(const Session& s);
/// Menu item of the sub-menu "Koordinatenpaar als Textdatei".
const FormatSubmenu& textOutputSubmenu();

/// InputLabel of the four coordinate text inputs; they name the input separator.
std::string textGmsLabel(const Session& s);
std::string textGmLabel(const Session& s);
std::string textDgLabel(const Session& s);
std::string textMerLabel(const Session& s);

}  // namespace kursolin
