#pragma once
// Tourenplaner route files (".BCR"): an INI-like text with the sections [CLIENT], [COORDINATES],
// [DESCRIPTION] and [ROUTE]. Points are whole Mercator metres "X,Y"; the route settings of the
// split dialog's Tourenplaner form go into the header and the [ROUTE] section.

#include <string>
#include <vector>

#include "core/lines.h"
#include "core/route_point.h"
#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// The vehicle profiles of the Tourenplaner form, in list order (index = PIndex).
const std::vector<std::string>& bcrVehicleProfiles();

/// The route settings the split dialog shows before every save of a BCR file, and their group.
inline constexpr OptionPage kTourenplanerPanel{.title = "Tourenplaner - Einstellungen",
                                               .splitDialog = true};
inline constexpr OptionPage kTourenplanerRoute{
    .title = "Streckeneinstellungen", .parent = &kTourenplanerPanel, .splitDialog = true};

/// Route points per BCR file before the route is split; 0: no limit.
inline constexpr IntOption MpMTP{
    {.section = "BCR",
     .key = "MP",
     .defaultNumber = 50,
     .range = kSplitMaxRange,
     .fields = {OptionField{.page = &kSplitPage,
                            .name = "MpMTPEdit",
                            .label = "Tourenplanner BCR - Dateien ( Map+Guide basierend )  "}}}};
/// The folder proposed for BCR files.
inline constexpr TextOption BcrDirectory{{.section = "Dir",
                                          .key = "BCR",
                                          .defaultIsAppDir = true,
                                          .fields = {OptionField{.page = &kTourenplanerPanel,
                                                                 .name = "BCRDir_E",
                                                                 .label = "BCR Verzeichnis",
                                                                 .role = FieldRole::Folder}}}};
/// Text put before the route name of every file (set by hand in the settings file).
inline constexpr TextOption RNHeader{{.section = "BCR", .key = "RNHeader", .written = false}};
/// The route name is also the file's name.
inline constexpr BoolOption RDeskripToFN{
    {.section = "BCR",
     .key = "DeskFN",
     .fields = {OptionField{.page = &kTourenplanerPanel,
                            .name = "RDeskripToFN",
                            .label = "auch als Dateiname verwenden"}}}};
/// The vehicle profile, an index of bcrVehicleProfiles().
inline constexpr IntOption PIndex{
    {.section = "BCR",
     .key = "PIndex",
     .fields = {OptionField{
         .page = &kTourenplanerPanel, .name = "PROFILE_Combo", .label = "Fahrzeugprofil"}},
     .choices = bcrVehicleProfiles}};
/// The route settings of the [ROUTE] section.
inline constexpr IntOption OPTIMIZATION{{.section = "BCR",
                                         .key = "Optim",
                                         .defaultNumber = 50,
                                         .range = kOptimizationRange,
                                         .fields = {OptionField{.page = &kTourenplanerRoute,
                                                                .name = "OPTIMIZATION",
                                                                .label = "Streckenoptimierung ",
                                                                .tail = "% auf Zeit"}}}};
inline constexpr BoolOption PREFERNICE_C{
    {.section = "BCR",
     .key = "Nice",
     .fields = {OptionField{.page = &kTourenplanerRoute,
                            .name = "PREFERNICE_C",
                            .label = "landschaflich sch\xF6ne Strecken bevorzugen"}}}};
inline constexpr BoolOption ALTROUTE_C{
    {.section = "BCR",
     .key = "AltRoute",
     .fields = {OptionField{.page = &kTourenplanerRoute,
                            .name = "ALTROUTE_C",
                            .label = "eine alternative Strecke berechnen"}}}};
inline constexpr BoolOption CORRUSED_C{
    {.section = "BCR",
     .key = "Corridor",
     .fields = {OptionField{.page = &kTourenplanerRoute,
                            .name = "CORRUSED_C",
                            .label = "Korridorobjekte einf\xFCgen"}}}};
inline constexpr BoolOption TRAFFICUSED_C{
    {.section = "BCR",
     .key = "Traffic",
     .fields = {OptionField{.page = &kTourenplanerRoute,
                            .name = "TRAFFICUSED_C",
                            .label = "Verkehrsinformationen einf\xFCgen"}}}};
inline constexpr BoolOption PREFERMAUT_C{
    {.section = "BCR",
     .key = "Maut",
     .fields = {OptionField{
         .page = &kTourenplanerRoute, .name = "PREFERMAUT_C", .label = "Mautstrecken vermeiden"}}}};
inline constexpr BoolOption PREFERVIGN_C{
    {.section = "BCR",
     .key = "Vign",
     .fields = {OptionField{.page = &kTourenplanerRoute,
                            .name = "PREFERVIGN_C",
                            .label = "Strecken mit Vignietten vermeiden"}}}};
/// The route's description, lines with CR LF, for one run.
inline constexpr TextOption Beschreibung{{.fields = {OptionField{.page = &kTourenplanerPanel,
                                                                 .name = "Beschreibung",
                                                                 .label = "Routenbeschreibung",
                                                                 .role = FieldRole::Lines}}}};
/// The route's name as the route settings were left ("Routenbezeichnung"), for one run.
inline constexpr TextOption BcrRouteTitle{{.fields = {OptionField{.page = &kTourenplanerPanel,
                                                                  .name = "ROUTENAME_E",
                                                                  .label = "Routenbezeichnung",
                                                                  .role = FieldRole::RouteName}}}};
/// The proposed name of the file: the loaded file's, or the route name, for one run.
inline constexpr TextOption BcrRouteName{{}};

/// Recognition at load (input code 6): the first four lines name CLIENT, REQUEST, ROUTENAME and
/// DESCRIPTIONLINES; then InputLines is cut to the entries of the [COORDINATES] section.
bool bcrRecognized(Session& s);

/// Detection: the first four lines name CLIENT, REQUEST, ROUTENAME and DESCRIPTIONLINES.
bool bcrFound(const Session& s, const FileSample& file);

/// Reads one coordinate entry "NAME=X,Y" into CurrentPoint (the name into RtePlaceName); 1.
/// X or Y that is no whole number throws ConvertError naming the line (index + 1).
int GetBCR(Session& s, const std::string& line, int index);

/// The BCR step of RouteOut: "LonMer,LatMer".
void buildBCR(Session& s, const RoutePoint& p);

/// Writes every file of the route by the session's split plan: the chosen name for the first,
/// the suffixed names for the others. false after its own message when not every file was
/// written (files written before stay and are named).
bool SaveBCR(Session& s, const std::string& chosen);

}  // namespace kursolin
