#pragma once
// Navigon Mobile Navigator route files (".rte"): MN|4.0 + 4.1 (13 fields a line), MN|4.2 (15) and
// MN5 (17). Every field is followed by "|"; one line is one route point.

#include <string>

#include "core/lines.h"
#include "core/route_point.h"
#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

enum class NavigonVersion { MN4, MN42, MN5 };

/// The settings dialog's page of the Navigon options.
inline constexpr OptionPage kNavigonPage{
    .title = "Navigon Mobile Navigator",
    .heading = "Verschieden Einstellungen f\xFCr Navigon Systeme alle Versionen",
    .order = 50};

/// Route points per Navigon file (all versions) before the route is split; 0: no limit.
inline constexpr IntOption MpMN{
    {.section = "Navi",
     .key = "MpMN",
     .defaultNumber = 100,
     .range = kSplitMaxRange,
     .fields = {OptionField{.page = &kSplitPage,
                            .name = "MpMNEdit",
                            .label = "Navigon Routendateien alle Versionen"},
                OptionField{.page = &kNavigonPage,
                            .name = "MNSpinEdit",
                            .label = "Navigon Routendateien alle Versionen splitten, ab",
                            .tail = "Routenpunkten"}}}};

/// Place details allowed in the lines of each version.
inline constexpr BoolOption MN4ShowOrt{
    {.section = "Navi",
     .key = "MN4ShowOrt",
     .fields = {OptionField{
         .page = &kNavigonPage,
         .name = "MN4ShowOrt",
         .label = " Navigon Version    MN|4     Ortsangaben in der Ausgabedatei zulassen"}},
     .warning = " ACHTUNG ! Sollte ein Ort der Route von MN|4 auf dem PDA nicht erkannt werden,\r"
                "                   wird die ganze Route nicht geladen !\r"
                "In diesem Fall den Haken an der Checkbox entfernen und die Route neu berechnen"}};
inline constexpr BoolOption MN42ShowOrt{
    {.section = "Navi",
     .key = "MN42ShowOrt",
     .fields = {OptionField{
         .page = &kNavigonPage,
         .name = "MN42ShowOrt",
         .label = " Navigon Version    MN|4.2  Ortsangaben in der Ausgabedatei zulassen"}},
     .warning = " ACHTUNG ! Sollte ein Ort der Route von MN|4.2 auf dem PDA nicht erkannt werden,\r"
                "                    wird die ganze Route nicht geladen !\r"
                " In diesem Fall den Haken an der Checkbox entfernen und die Route neu berechnen"}};
inline constexpr BoolOption MN5ShowOrt{
    {.section = "Navi",
     .key = "MN5ShowOrt",
     .defaultNumber = 1,
     .fields = {OptionField{
         .page = &kNavigonPage,
         .name = "MN5ShowOrt",
         .label = " Navigon Version    MN|5     Ortsangaben in der Ausgabedatei zulassen"}}}};

/// Sets all 17 NaviFields of the current point to "-".
void ResetNaviFields(Session& s);

/// The layout the check of an MN|4.2 file finds for MN5 files (Document::InputLayout).
inline constexpr int kNavigonMN5Layout = 1;

/// Reads one line of a Navigon file of the layout of a version (MN4: 13 fields; MN42: 15, or 17
/// when the loaded file's layout is kNavigonMN5Layout) into CurrentPoint; 1 for a usable point,
/// 0 otherwise (after an OK box). A coordinate that is no number throws ConvertError.
int GetMN(Session& s, const std::string& line, int index, NavigonVersion layout);

/// The Navigon line of the current point for a version, in its long form when place details are
/// allowed for it (MN5 first names an unnamed point "KS-Rp " + n).
std::string navigonLine(Session& s, NavigonVersion version, int n);

/// Line builders for the route point emitter.
void buildMN4(Session& s, const RoutePoint& p);
void buildMN42(Session& s, const RoutePoint& p);
void buildMN5(Session& s, const RoutePoint& p);

/// Recognition at load: the number of "|" of the first line fits the layout (MN4: 13; MN42:
/// 15, or 17 for MN5).
bool navigonRecognized(const TextLines& lines, NavigonVersion layout);

/// Warning shown when place details are allowed for MN|4 output.
std::string mn4ShowOrtWarning();
/// Warning shown when place details are allowed for MN|4.2 output.
std::string mn42ShowOrtWarning();

}  // namespace kursolin
