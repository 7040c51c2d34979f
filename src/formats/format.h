#pragma once
// What a file format can do, as one codec row of the registry describes it.
//
// Adding a format:
//  1. Write src/formats/<name>.{h,cpp}: its layout constants, its recognition test, its record
//     reader and/or the step of RouteOut that writes one point, and its finishing pass or file
//     writer where it has one. Units take the session by reference and reach the user only
//     through the session's port. Its options are declared there (IntOption, BoolOption,
//     TextOption of session/format_options.h): settings-file section and key, default, range,
//     and the field a dialog shows it in (a per-file maximum on kSplitPage, anything else on a
//     page of its own). Readers read them with s.opt.get(Option).
//  2. Add its codec row(s) to src/formats/registry.cpp: an input row (code, name for
//     kursolin-cli, extensions, check, reader, content test for "Automatisch erkennen" and its
//     place in detectionOrder()) and/or an output row (code, name, writer, split and reversal
//     capabilities, the extension of its files, its options, the maximum as .limit). A reader
//     or loader with variants gets the variant from the row, through a small function there.
//     Every member left out keeps the default below, which means "this format lacks it".
//  3. Add its presentation row(s) to src/workflow/presentation.cpp, by the same code: menu
//     item, caption, shortcut, labels, file dialogs, the desktop's MIME types, the captions and
//     messages of a load, the split dialog's texts, a refusal of reversal.
//  4. Add tests in tests/formats/<name>_test.cpp and golden files in tests/data/<name>/, a fuzz
//     target for the reader (tests/support/fuzz_targets.cpp, fuzz/CMakeLists.txt) with a few seeds
//     in tests/data/fuzz/<target>/, and the reader to the combined target's list
//     (tests/support/fuzz_readers.cpp).
//  5. A new library dependency goes into src/CMakeLists.txt and scripts/install-deps.
// Menus, dialogs, the settings file, the batch converter, loading, the record dispatch, saving,
// split and reversal read the rows and the declarations; nothing else names a format.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/datetime.h"
#include "core/lines.h"
#include "core/route_point.h"
#include "session/format_options.h"
#include "session/session.h"

namespace kursolin {

/// The settings dialog's page of the per-file maxima, which every format that splits shows its
/// maximum on.
inline constexpr OptionPage kSplitPage{
    .title = " Datei Splitting ",
    .heading = "Angeben nach wieviel Zeilen Ausgabedateien gesplittet werden",
    .order = 30};

/// The rule groups of the rule panel that a loaded format enables.
enum class RuleGroups {
  None,
  All,  // every rule, with the time menu (NMEA logs)
  DistanceOnly,  // the distance rule without its speed threshold (route files)
  DistanceHeadingMinDist,  // distance with speed threshold, heading, minimum distance
};

/// Fills InputLines from the file itself, for formats that are no text file of lines (databases,
/// XML); false after the format's own message when nothing could be read.
using FileLoader = bool (*)(Session& s, const std::string& path);

/// The recognition test at load over the fresh InputLines (it may trim them to the records);
/// true when a route can be made from them.
using LoadCheck = bool (*)(Session& s);

/// A question about the loaded input in InputLines.
using InputTest = bool (*)(const Session& s);

/// true for a line that holds one of the format's records, not another sentence of the same log.
using RecordLineTest = bool (*)(const Session& s, std::string_view line);

/// When the loaded input was recorded, as its content says (nullopt: it does not say).
using RecordingDate = std::optional<LocalDateTime> (*)(const Session& s);

/// What format detection looks at in a file: its bytes, its text lines (as a load would put them
/// into InputLines) and its extension in lower case without the dot.
struct FileSample {
  std::string_view bytes;
  const TextLines& lines;
  std::string extension;
};

/// The content test of format detection: true when the file looks like one of this format.
/// Never changes the session; reads its settings (separators).
using ContentTest = bool (*)(const Session& s, const FileSample& file);

/// A record reader: parses one line (0-based index) into CurrentPoint; true for a usable record.
using RecordReader = bool (*)(Session& s, const std::string& line, int index);

/// Prepares CurrentPoint before each record is read, for what the output format expects.
using RecordPrep = void (*)(Session& s);

/// The step of RouteOut that appends the lines of the current route point.
using PointWriter = void (*)(Session& s, const RoutePoint& p);

/// A finishing pass over the lines of a route in place (start and destination flags): run on the
/// whole route after a generation and after a reversal, and on the lines of each part file.
using LinesPass = void (*)(Session& s, TextLines& lines);

/// true for the lines of a route that are its points, where a format has other lines besides.
using PointLineTest = bool (*)(const std::string& line);

/// The bytes of a route file from its finished lines.
using FileBytes = std::string (*)(const TextLines& lines);

/// Writes the files of a route itself (all parts by the session's split plan), to names derived
/// from the chosen path; false after its own message when not every file was written.
using FilesWriter = bool (*)(Session& s, const std::string& chosen);

/// One input format as the converter sees it: how its files are loaded, checked, recognised
/// and read. How it presents itself (menu, dialogs, captions) is its presentation row's business.
struct InputFormatInfo {
  int code = 0;
  std::string cliName;  // name for kursolin-cli -i, "" for none
  // The extensions of its files, lower case without the dot (format detection prefers the
  // format whose extension the file has).
  std::vector<std::string> extensions;
  RuleGroups groups = RuleGroups::None;
  FileLoader load = nullptr;  // nullptr: the file's text lines
  LoadCheck check = nullptr;  // nullptr: this version cannot read the format
  // The records: Get_A's reader and Get_B's second record (nullptr: PointValid of the first).
  RecordReader readA = nullptr;
  RecordReader readB = nullptr;
  bool pairsRecords = false;  // ReadVtg: each A record is followed by its B record
  // A recorded track (a receiver's log) rather than a planned route's file: "Alle Punkte der
  // Route übernehmen" leaves it to the rules.
  bool recordedLog = false;
  // With pairsRecords: whether the loaded input holds B records at all (nullptr: it does).
  InputTest hasBRecords = nullptr;
  // The lines that hold the format's records; "Aus jedem" counts only those, so other sentences
  // of a log do not change its points. nullptr: every line is a record line.
  RecordLineTest recordLine = nullptr;
  // When the input was recorded, for the summer or winter time question (nullptr: only the
  // file's date tells).
  RecordingDate recordedAt = nullptr;
  // Format detection: the content test (nullptr: never found by itself).
  ContentTest recognize = nullptr;
  // "Automatisch erkennen": no format of its own, each file's format is found by detection.
  bool detects = false;
  // The format's options (settings file, dialogs, --set).
  std::vector<const OptionInfo*> options;

  bool available() const { return detects || (check != nullptr && readA != nullptr); }
};

/// One output format as the converter sees it: the writer and what split, reversal and saving
/// may do with its files.
struct OutputFormatInfo {
  int code = 0;
  std::string cliName;      // name for kursolin-cli -f
  bool pointTable = false;  // fills the route point table on screen
  RecordPrep prepare = nullptr;  // run before every record is read
  PointWriter write = nullptr;  // nullptr: this version cannot write the format
  // The position texts the writer reads (kDecimalTexts, kOtherPositionTexts): records of a long
  // log get only these made.
  std::uint8_t positionTexts = kAllPositionTexts;
  LinesPass finish = nullptr;
  // Splitting: the per-file maximum (nullptr: never split), how the points are counted, and the
  // writer for formats whose files are more than a slice of OutputLines.
  const IntOption* limit = nullptr;
  bool countsRoutePoints = false;  // several lines a point: count RoutePointCount, not lines
  // A header and footer around one line a point: the points are these lines, a part file is a
  // slice of them finished by `finish`.
  PointLineTest pointLine = nullptr;
  FilesWriter writeFiles = nullptr;  // nullptr: each part is a slice of OutputLines
  bool alwaysSplitDialog = false;    // the split dialog carries settings of every save (BCR)
  // The file's bytes (nullptr: the lines as they stand, cp1252, each ended by CR LF).
  FileBytes fileBytes = nullptr;
  // Reversal: whether the lines can be turned round.
  bool reversible = true;
  // The files: the extension of the proposed name (with its dot), a base name of its own
  // regardless of the loaded file ("" none), or one kept in an option; a folder of its own.
  std::string saveExt;
  std::string saveFixedName;
  const TextOption* saveBase = nullptr;
  const TextOption* saveDir = nullptr;
  // The route settings of every save (alwaysSplitDialog): the route's name as the dialog was
  // left, whether it also names the file, and the route's description.
  const TextOption* routeTitle = nullptr;
  const BoolOption* titleNamesFile = nullptr;
  const TextOption* routeDescription = nullptr;
  // The format's options (settings file, dialogs, --set), its maximum among them.
  std::vector<const OptionInfo*> options;

  bool available() const { return write != nullptr; }
  bool splittable() const { return limit != nullptr; }
};

}  // namespace kursolin
