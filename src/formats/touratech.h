#pragma once
// Touratech QV route databases (".qu3", Access 97). At load the database's track table or its
// waypoint table becomes one line per record in InputLines, seven fields joined by "|":
//   track:    trp_idx|lat|lon|speed|course|-|-
//   waypoint: wp_idx|lat|lon|0|0|name|description
// GetTTQV then reads these lines like any other route file.

#include <string>

#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// true for a track table: the name ends with "trp" (case counts).
bool isTrackTableName(const std::string& name);
/// true for a waypoint table: the name begins with "Waypoi" or "waypoi".
bool isWaypointTableName(const std::string& name);

/// Appends one line per record of the database's track or waypoint table to InputLines, after
/// the messages about the tables found. The library reads in a child process within
/// s.opt.databaseReadLimits, so a damaged file that makes it crash or loop ends only that process.
/// false when the file cannot be read as a database (an error box names the file and the
/// reason) or the user cancelled the wait; InputLines is then left as it was.
bool LoadTQVFile(Session& s, const std::string& path);

/// Reads one line that LoadTQVFile made (0-based index) into CurrentPoint; 1 for a usable point,
/// 0 otherwise (after the reader's messages).
int GetTTQV(Session& s, const std::string& line, int index);

/// The check at load of input code 24: LoadTQVFile has already said what the file holds, so the
/// route command is offered whatever the lines are (an empty list simply yields no route).
bool touratechUsable(Session& s);

/// Detection: the file is a Microsoft Access (Jet or ACE) database.
bool touratechFound(const Session& s, const FileSample& file);

}  // namespace kursolin
