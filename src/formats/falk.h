#pragma once
// Falk PreviousDestination files (".dat"): five lines a route point (flag digit, Mercator X and Y,
// number "=" name, an empty line). The flag digits come from the setting FalkFlags: first point,
// intermediate station, other intermediate point, last point.

#include <string>

#include "core/lines.h"
#include "core/route_point.h"
#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// Route points per Falk file before the route is split; 0: no limit.
inline constexpr IntOption MpFalk{
    {.section = "Navi",
     .key = "MpFalk",
     .defaultNumber = 90,
     .range = kSplitMaxRange,
     .fields = {OptionField{
         .page = &kSplitPage, .name = "MpFalkEdit", .label = "Falk Previousdestination Datei"}}}};
/// The flag digits: first point, intermediate station, other intermediate point, last point.
inline constexpr TextOption FalkFlags{
    {.section = "Navi", .key = "FalkFlags", .defaultText = "4324"}};

/// Lines a route point takes in a Falk file.
inline constexpr int kFalkLinesPerPoint = 5;

/// Before each record: an unnamed point that counts as a via station until a reader says else.
void prepareFalkRecord(Session& s);

/// The Falk step of RouteOut: the five lines of the current point, its flag digit 2 of FalkFlags
/// for a via station, else digit 3.
void buildFalk(Session& s, const RoutePoint& p);

/// The flags of a list of Falk lines: digit 1 on the first point, digit 4 on the last (a single
/// point ends with digit 4). A list without points is left alone.
void SetFprvFlag(Session& s, TextLines& lines);

/// Writes the route as part files by the session's split plan (points, not lines), each with its
/// own first and last flags, the first under the chosen name. false after its own message when
/// not every file was written.
bool SaveFPrv(Session& s, const std::string& chosen);

}  // namespace kursolin
