#pragma once
// The one crossing between the core's cp1252 byte strings and Qt's Unicode strings. Every text
// that goes into or comes out of a widget passes here, so no widget ever guesses an encoding.

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

namespace kursolin::gui {

/// The cp1252 bytes as a QString (each byte through the core's cp1252 table).
QString toQString(std::string_view cp1252);

/// The QString as cp1252 bytes; characters cp1252 lacks become '?'.
std::string fromQString(const QString& text);

/// True when every character of the text has a cp1252 byte, so fromQString loses nothing.
bool fitsCp1252(const QString& text);

/// A prompt text for a widget: CR LF, lone CR and lone LF all become "\n".
QString promptText(std::string_view cp1252);

/// The core's "desc|pattern|desc|pattern" filter as Qt name filters "desc (pattern)".
/// A description that already ends in "(pattern)" is kept as it is; ";" between patterns
/// becomes the blank Qt expects; a trailing description without a pattern gets "*".
QStringList toQtNameFilters(std::string_view filter);

}  // namespace kursolin::gui
