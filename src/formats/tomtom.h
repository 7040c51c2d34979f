#pragma once
// TomTom route files (".itn"): one route point a line, four fields each followed by "|":
// longitude and latitude in hundred-thousandths of a degree, the point's name and a flag digit
// that marks the start, the intermediate points and the destination (digits from TTFlags).

#include <string>

#include "core/lines.h"
#include "core/route_point.h"
#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// The settings dialog's page of the TomTom options.
inline constexpr OptionPage kTomTomPage{
    .title = "TomTom",
    .heading = "Verschieden Einstellungen f\xFCr TomTom Systeme alle Versionen",
    .order = 60};

/// Route points per ITN file before the route is split; 0: no limit.
inline constexpr IntOption MpTT3{
    {.section = "Navi",
     .key = "MpTT3",
     .defaultNumber = 15,
     .range = kSplitMaxRange,
     .fields = {
         OptionField{.page = &kSplitPage, .name = "MpTTEdit", .label = "TomTom Routendateien"},
         OptionField{.page = &kTomTomPage,
                     .name = "TTSpinEdit",
                     .label = "TomTom Routendateien alle Versionen splitten, ab",
                     .tail = "Routenpunkten"}}}};
/// The flag digits of the start, the intermediate points and the destination.
inline constexpr TextOption TTFlags{{.section = "Navi", .key = "TTFlags", .defaultText = "413"}};
/// Place details in TomTom files: they hold none, so the box only says so.
inline constexpr BoolOption TTShowOrt{
    {.fields = {OptionField{
         .page = &kTomTomPage,
         .name = "TTShowOrt",
         .label = "f\xFCr  TomTom alle Versionen Ortsangaben in der Ausgabedatei zulassen"}},
     .fixedHint = "TomTom Routendateien enthalten keine Ortsangaben"}};

/// Reads one line of an ITN file (input code 10) into CurrentPoint; 1 for a usable point, 0
/// otherwise (after an OK box). A coordinate field that is no whole number throws ConvertError
/// naming the line.
int GetTT(Session& s, const std::string& line, int index);

/// The ITN coordinate field of a decimal-degree text ("." or ","): sign, integer digits and
/// exactly five fraction digits, cut off, not rounded (7.123456 gives 712345).
std::string MakeTTK(const std::string& dec);

/// The ITN line of the current point, named "KS-Rp " + n, with the flag of an intermediate point.
std::string tomTomLine(const Session& s, int n);

/// Line builder for the route point emitter.
void buildTT(Session& s, const RoutePoint& p);

/// Flag fix-up: the first line gets the first digit of TTFlags, then the last line the third.
void SetTTFlag(Session& s, TextLines& lines);

/// Recognition at load: the first line holds exactly 4 "|".
bool tomTomRecognized(const TextLines& lines);

}  // namespace kursolin
