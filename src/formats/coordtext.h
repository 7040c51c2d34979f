#pragma once
// Coordinate pairs in text files, one pair a line, in four notations (degree-minute-second,
// degree-minute, decimal degrees, Mercator), separated by the separator of the settings.

#include <string>

#include "core/lines.h"
#include "core/route_point.h"
#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// The settings dialog's pages of coordinate text files, read and written.
inline constexpr OptionPage kTextInputPage{
    .title = " Koordinaten - Texteingabe ",
    .heading = "Vorgaben zum Einlesen von Koordinaten aus einer Textdatei",
    .order = 10};
inline constexpr OptionPage kTextOutputPage{
    .title = " Koordinaten - Textausgabe ",
    .heading = "Vorgaben um Koordinaten in eine Textdatei auszugeben",
    .order = 20};

/// The input separator as the captions name it ("Tab" for the tab character); the settings file's
/// text as read, and the dialog's choice.
inline constexpr TextOption InputSeparatorText{
    {.defaultText = "Tab",
     .fields = {OptionField{.page = &kTextInputPage, .role = FieldRole::ShownSeparator}}}};
/// The separator between the two values of a line read; a change loads the file again.
inline constexpr TextOption InputSeparator{
    {.section = "Pref",
     .key = "TE_Trenner",
     .defaultText = "\t",
     .tabAsWord = true,
     .reloadsInput = true,
     .fields = {OptionField{.page = &kTextInputPage, .name = "TE", .role = FieldRole::Separator}},
     .asReadInto = &InputSeparatorText.info}};
/// The separator between the two values of a line written.
inline constexpr TextOption OutputSeparator{
    {.section = "Pref",
     .key = "TA_Trenner",
     .defaultText = "\t",
     .tabAsWord = true,
     .fields = {
         OptionField{.page = &kTextOutputPage, .name = "TA", .role = FieldRole::Separator}}}};
/// The latitude comes first in a line read (written).
inline constexpr BoolOption InputLatFirst{
    {.section = "Pref",
     .key = "TE_NO",
     .defaultNumber = 1,
     .fields = {
         OptionField{.page = &kTextInputPage, .name = "TE", .role = FieldRole::LatitudeFirst}}}};
inline constexpr BoolOption OutputLatFirst{
    {.section = "Pref",
     .key = "TA_NO",
     .defaultNumber = 1,
     .fields = {
         OptionField{.page = &kTextOutputPage, .name = "TA", .role = FieldRole::LatitudeFirst}}}};
/// The separator read (written) is the free character.
inline constexpr BoolOption InputFreeSeparator{
    {.section = "Pref",
     .key = "TE_Free",
     .fields = {
         OptionField{.page = &kTextInputPage, .name = "TE", .role = FieldRole::FreeSeparator}}}};
inline constexpr BoolOption OutputFreeSeparator{
    {.section = "Pref",
     .key = "TA_Free",
     .fields = {
         OptionField{.page = &kTextOutputPage, .name = "TA", .role = FieldRole::FreeSeparator}}}};
/// The free character of the page that reads (writes).
inline constexpr TextOption TEFreeEdit{
    {.section = "Pref",
     .key = "TE_FreeTrenner",
     .defaultText = "-",
     .fields = {OptionField{
         .page = &kTextInputPage, .name = "TEFreeEdit", .role = FieldRole::FreeCharacter}}}};
inline constexpr TextOption TAFreeEdit{
    {.section = "Pref",
     .key = "TA_FreeTrenner",
     .defaultText = "-",
     .fields = {OptionField{
         .page = &kTextOutputPage, .name = "TAFreeEdit", .role = FieldRole::FreeCharacter}}}};

/// The character a separator setting stands for: the word "Tab" is the tab character.
std::string separatorCharacter(const std::string& setting);

/// The notations of coordinate text files, by the codes of their formats.
enum class TextNotation { GMS = 20, GM = 21, DG = 22, Mer = 23 };

/// Reads one line of a coordinate text file into CurrentPoint, in the notation, with
/// InputSeparator and InputLatFirst; 1, also at 0/0. A value that is no number of its notation
/// gives 0 and counts the line in skippedRecords (after the prompt while ShowErrors is on); a
/// decimal-degree value that is no number throws ConvertError naming the line. A position off
/// the globe gives 0 after an OK box.
int GetText(Session& s, const std::string& line, int index, TextNotation notation);

/// Recognition at load: the first line contains InputSeparator.
bool textRecognized(const Session& s, const TextLines& lines);

/// Detection: every line with text (of the first hundred) is one pair of values, split by
/// InputSeparator, in the notation: degree-minute-second values carry a degree sign; Mercator
/// values are whole metres, some beyond 180; decimal degrees lie within 90 and 180; degree-minute
/// values have a fraction, minutes below 60 and some a whole degree (100 or more).
bool textGmsFound(const Session& s, const FileSample& file);
bool textGmFound(const Session& s, const FileSample& file);
bool textDgFound(const Session& s, const FileSample& file);
bool textMerFound(const Session& s, const FileSample& file);

/// The text line of the current point in a notation, with OutputSeparator and OutputLatFirst.
std::string textLine(const Session& s, TextNotation notation);

/// Line builders for the route point emitter, one per notation.
void buildTextGMS(Session& s, const RoutePoint& p);
void buildTextGM(Session& s, const RoutePoint& p);
void buildTextDG(Session& s, const RoutePoint& p);
void buildTextMer(Session& s, const RoutePoint& p);

}  // namespace kursolin
