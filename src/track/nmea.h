#pragma once
// The three NMEA 0183 sentences a track log is read from: GGA (position, fix, altitude),
// VTG (course and speed, paired with the GGA before it) and RMC (all of it in one line).
// A sentence is "$", a talker of two upper-case letters (GP for GPS, GN for combined systems,
// GL, GA, GB, BD, GQ, QZ, GI) and its id; one log is read with one talker per kind.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "session/session.h"

namespace kursolin {

/// The kinds of position sentence a log is read from.
enum class SentenceKind { GGA, VTG, RMC };

/// The talker of a line that is a sentence of the kind ("$GNRMC" gives "GN"); "" for any other
/// line. Proprietary sentences ("$P...") have no talker.
std::string_view talkerOf(std::string_view line, SentenceKind kind);

/// The talkers of a log: per kind, that of its first well-formed sentence of the kind.
NmeaLogState talkersOf(const TextLines& lines);

/// The talkers InputLines is read with, found once per change of the lines.
const NmeaLogState& logTalkers(const Document& doc);

/// true when the line is a sentence of the kind from the talker the log is read with (any talker
/// when the log has no well-formed sentence of the kind). Sentences of other talkers are foreign.
bool isLogSentence(const Session& s, std::string_view line, SentenceKind kind);

/// true when the line ends in the right checksum of its body.
bool checksumOk(std::string_view line);

/// Reads a GGA sentence into CurrentPoint; true when the line is a well-formed GGA sentence.
bool GetGGA(Session& s, const std::string& line, int position);

/// Reads an RMC sentence into CurrentPoint; true when the line is a well-formed RMC sentence.
bool GetRMC(Session& s, const std::string& line, int position);

/// Reads a VTG sentence into CurrentPoint; true when the line is a well-formed VTG sentence.
bool GetVTG(Session& s, const std::string& line, int position);

/// GetGGA for a log without VTG sentences: speed and course are worked out from the fix before
/// it in InputLines (distance over time, initial bearing; standing still keeps the course).
/// `position` must be the line's index in InputLines.
bool readGgaWithoutVtg(Session& s, const std::string& line, int position);

/// The exclusive-or of all bytes of the text (0 for an empty text).
std::uint8_t pruefsumme(const std::string& text);

/// Two upper-case hexadecimal digits of the checksum of a sentence body.
std::string checksumText(const std::string& body);

}  // namespace kursolin
