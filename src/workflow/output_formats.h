#pragma once
// The twelve output formats: their menu entries, flags, labels, save dialogs and line builders.
// Adding a format is writing its unit and filling its builder in the table.

#include <string>
#include <vector>

#include "core/route_point.h"
#include "core/session.h"

namespace kursolin {

/// Appends the lines of the current route point in one output format.
using LineBuilder = void (*)(Session& s, const RoutePoint& p);
/// Finishes a generated route in place (start and destination flags).
using FinishPass = void (*)(Session& s);
/// Finishes the lines of one part file of a split route in place (its own start and destination
/// flags).
using PartFinish = void (*)(Session& s, TextLines& lines);
/// Writes the files of a route that the plain save cannot write (split parts; for BCR every save),
/// save dialog included; false when cancelled or not every file was written.
using PartWriter = bool (*)(Session& s);

struct OutputFormatInfo {
  int code;
  std::string menuItem;  // name of the menu item, e.g. "MN4Data"
  std::string caption;  // menu caption, cp1252
  std::string shortcut;  // e.g. "F2", "Ctrl+Alt+G"
  bool Session::*flag;
  std::string label;  // OutputLabel, ends in a blank
  bool navigon;  // offers "Routepunkte Info ausgeben"
  bool textSubmenu;  // child of "Koordinatenpaar als Textdatei"
  LineBuilder builder;  // nullptr: the format is not available in this version
  FinishPass finish;  // run over OutputLines after a generation, or nullptr
  PartFinish partFinish;  // run over the lines of each part file, or nullptr
  PartWriter partWriter;  // writes the split parts (BCR: every file), or nullptr: not yet available
  // The save dialog.
  std::string saveTitle;
  std::string saveExt;  // extension of the proposed name, with its dot
  std::string saveFixedName;  // proposed base name regardless of the loaded file, or ""
  std::string saveFilter;  // description|pattern
  std::string defaultExt;
  int Session::*limit;  // per-file maximum, or nullptr
};

/// The formats in the order the emitter tests their flags (which is also the menu order).
const std::vector<OutputFormatInfo>& outputFormats();

/// The format with this code, or nullptr for a code outside the table.
const OutputFormatInfo* outputFormat(int code);

/// The format whose flag is set, or nullptr.
const OutputFormatInfo* chosenOutputFormat(const Session& s);

/// true when the code names a format this version can write.
bool outputFormatAvailable(int code);

/// Menu item of the sub-menu "Koordinatenpaar als Textdatei".
inline const char* const kTextOutputSubmenu = "KTXTData";

/// Applies an output format code (menu checks, flag, label, caption; may offer to regenerate).
void NaviArtChange(Session& s, int code);

/// Toggles "Routepunkte Info ausgeben" and ShowPointInfo with it.
void RPInfoClick(Session& s);

/// "OutputLabel + Routenpunkte := count" for the output pane caption.
std::string outputCaptionWith(const Session& s, long long count);

}  // namespace kursolin
