#pragma once
// Conversions between the four notations every position is carried in: decimal degrees,
// degree-minutes (NMEA ddmm.mmmm), degree-minute-seconds and spherical Mercator metres.
// Inputs and outputs are file texts with "." as decimal point unless said otherwise.

#include <optional>
#include <string>

#include "core/point.h"
#include "core/session.h"

namespace kursolin {

/// Radius of the sphere of the Mercator conversions, metres.
inline constexpr Real EarthRadius = 6371014.35683041L;
/// π/180 and π/4 as the conversions use them.
inline constexpr Real kPiDiv180 = 0.017453292519943295769L;
inline constexpr Real kPiDiv4 = 0.78539816339744830963L;
/// π in extended precision.
inline constexpr Real kPi = 3.1415926535897932385L;

/// Degree-minute text to decimal degrees with 6 decimals; sets ConvValue, may set FixOk "0".
std::string GMToDez(Session& s, const std::string& text);

/// GMToDez without making the text: sets ConvValue and answers true, or sets FixOk "0" and
/// answers false where GMToDez answers "0.0". Prompts as GMToDez does.
bool GMToValue(Session& s, const std::string& text);

/// Makes the position texts a reader left pending, exactly as reading the record had made them.
/// Everything that reads LatDec, LatGMS, LatMer or their longitude twins of a record an NMEA
/// reader filled calls this first (RouteOut does); so does a reader before writing them itself.
/// `texts` (kDecimalTexts, kOtherPositionTexts) limits the work to what the caller reads; the rest
/// stays pending.
void completePositionTexts(const Session& s, PointRecord& p,
                           std::uint8_t texts = kAllPositionTexts);

/// Degree-minute-second text to decimal degrees with 6 decimals; may set FixOk "0".
std::string GMSToDez(Session& s, const std::string& text);

/// GMSToDez of a value that must be a degree-minute-second text (blanks around it allowed):
/// nullopt, after the conversion's prompt while ShowErrors is on, when it is none.
std::optional<std::string> checkedGMSToDez(Session& s, const std::string& text);

/// GMToDez of a value that must be a degree-minute text: degrees, two minute digits, optionally
/// "." and the fraction (blanks around it allowed); nullopt, after the prompt while ShowErrors is
/// on, when it is none.
std::optional<std::string> checkedGMToDez(Session& s, const std::string& text);

/// "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert " + value + " erkannt".
std::string decimalConversionErrorText(const std::string& value);

/// Decimal-degree text to degree-minute text (at least three degree digits); a whole number
/// counts as whole degrees.
std::string GeoDezToGrMin(Session& s, const std::string& text);

/// A decimal-degree text as the notations need it: a number written with an exponent, a "+",
/// blanks or without digits on one side of its point ("1.15e1", " 7", ".5") in plain decimal
/// form with "." ("11.5", "7", "0.5"); plain decimals and texts that are no number unchanged.
std::string fixedDecimalText(const Session& s, const std::string& text);

/// Degree-minute text to degree-minute-second text (seconds with the host separator).
std::string KGrad(const Session& s, const std::string& text);

/// Latitude in decimal degrees to the Mercator northing in whole metres.
std::string DezToMerN(Real lat);

/// Longitude in decimal degrees to the Mercator easting in whole metres.
std::string DezToMerO(Real lon);

/// Mercator northing to a latitude text with 6 decimals.
std::string MerToDezN(long long y);

/// Mercator easting to a longitude text with 6 decimals.
std::string MerToDezO(long long x);

/// A number with 6 decimals and "." whatever the host separator.
std::string dez6(const Session& s, Real v);

}  // namespace kursolin
