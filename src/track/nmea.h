#pragma once
// The three NMEA 0183 sentences a track log is read from: GGA (position, fix, altitude),
// VTG (course and speed, paired with the GGA before it) and RMC (all of it in one line).

#include <cstdint>
#include <string>

#include "core/session.h"

namespace kursolin {

/// Reads a GGA sentence into CurrentPoint; true when the line is a well-formed GGA sentence.
bool GetGGA(Session& s, const std::string& line, int position);

/// Reads an RMC sentence into CurrentPoint; true when the line is a well-formed RMC sentence.
bool GetRMC(Session& s, const std::string& line, int position);

/// Reads a VTG sentence into CurrentPoint; true when the line is a well-formed VTG sentence.
bool GetVTG(Session& s, const std::string& line, int position);

/// The exclusive-or of all bytes of the text (0 for an empty text).
std::uint8_t pruefsumme(const std::string& text);

/// Two upper-case hexadecimal digits of the checksum of a sentence body.
std::string checksumText(const std::string& body);

}  // namespace kursolin
