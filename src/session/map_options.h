#pragma once
// The map under the route picture: where its tiles come from (none, a tile server, an offline
// map file), the server's address and the credits its maps need, the size of the disk cache of
// tiles and the map file. Declared as options, so the settings file ("[Karte]"), the settings
// dialog (page "Karte") and --set are drawn from here like any format's options. The batch
// converter leaves the source aside: it draws a map only from a file named with --map.

#include <string>
#include <vector>

#include "core/ranges.h"
#include "session/format_options.h"

namespace kursolin {

/// Where the map under the route picture comes from (the value of MapSource).
enum class MapSourceKind { None = 0, Online = 1, File = 2 };

/// The settings dialog's page of the map.
inline constexpr OptionPage kMapPage{
    .title = "Karte", .heading = "Karte unter dem Routenbild", .order = 80};

/// OpenStreetMap's standard tile server and the credits its maps need (cp1252).
inline constexpr char kOsmTileUrl[] = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
inline constexpr char kOsmAttribution[] = "\xA9 OpenStreetMap-Mitwirkende";

/// Names of the sources in the order of MapSourceKind: "keine", "online", "Kartendatei".
const std::vector<std::string>& mapSourceNames();

/// Where the map comes from, a MapSourceKind.
inline constexpr IntOption MapSource{
    {.section = "Karte",
     .key = "Quelle",
     .defaultNumber = 0,
     .range = {0, 2, 1},
     .fields = {OptionField{.page = &kMapPage, .name = "MapSourceCombo", .label = "Karte"}},
     .choices = mapSourceNames}};
/// The tile server's addresses, with {z}, {x} and {y}.
inline constexpr TextOption MapUrl{
    {.section = "Karte",
     .key = "URL",
     .defaultText = kOsmTileUrl,
     .fields = {OptionField{.page = &kMapPage,
                            .name = "MapUrlEdit",
                            .label = "Adresse der Kartenkacheln ({z}, {x}, {y})"}}}};
/// Who made the server's map, drawn in a corner of the picture.
inline constexpr TextOption MapAttribution{
    {.section = "Karte",
     .key = "Namensnennung",
     .defaultText = kOsmAttribution,
     .fields = {OptionField{
         .page = &kMapPage, .name = "MapAttributionEdit", .label = "Namensnennung der Karte"}}}};
/// Room on disk for tiles fetched from the server, in MB.
inline constexpr IntOption MapCacheMB{
    {.section = "Karte",
     .key = "CacheMB",
     .defaultNumber = 200,
     .range = {1, 100000, 1},
     .fields = {OptionField{.page = &kMapPage,
                            .name = "MapCacheEdit",
                            .label = "Zwischenspeicher f\xFCr Kartenkacheln h\xF6"
                                     "chstens",
                            .tail = "MB"}}}};
/// The offline map file (MBTiles).
inline constexpr TextOption MapFile{
    {.section = "Karte",
     .key = "Datei",
     .fields = {OptionField{.page = &kMapPage,
                            .name = "MapFileEdit",
                            .label = "Kartendatei (MBTiles)",
                            .role = FieldRole::File,
                            .filter = "Kartendateien (*.mbtiles)|*.mbtiles"}}}};

/// Every option of the map, in the order of the settings file and the dialog.
const std::vector<const OptionInfo*>& mapOptions();

}  // namespace kursolin
