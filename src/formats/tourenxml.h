#pragma once
// Tourenplaner route files in XML and TEF form (".xml", ".tef"): a sequence of "Item" elements,
// one per route instruction. At load every kept item becomes one line of twelve values, each
// followed by "|"; the route generation reads those lines.

#include <string>

#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// Every UTF-8 sequence C3 xx of a German umlaut or ß as its cp1252 character; any other C3 xx
/// as "?"; all other bytes unchanged.
std::string UTF8_Umlaute_umwandeln(const std::string& text);

/// Which items of a file become points.
enum class TourenItems {
  Stations,  // via stations, start and destination
  All,       // every item
};

/// Replaces InputLines by one line per kept item of the file text.
void TourenXML(Session& s, const std::string& text, TourenItems items);

/// The load of the two XML inputs: reads the whole file and runs TourenXML; false after a
/// message when the file cannot be read.
bool loadTourenXML(Session& s, const std::string& path, TourenItems items);

/// Detection: the beginning of the file holds an "Item" element and a coordinate x="...".
bool tourenXmlFound(const Session& s, const FileSample& file);

/// Reads one line made by TourenXML into CurrentPoint (name, via station mark, position); 1 for
/// a usable point, 0 after the reader's OK box. A coordinate that is no number throws
/// ConvertError naming the line.
int GetXML(Session& s, const std::string& line, int index);

}  // namespace kursolin
