#pragma once
// Conversions between the four notations every position is carried in: decimal degrees,
// degree-minutes (NMEA ddmm.mmmm), degree-minute-seconds and spherical Mercator metres.
// Inputs and outputs are file texts with "." as decimal point unless said otherwise. Every
// conversion is a function of its text and the host's number style; what could not be converted
// comes back as the message the caller shows.

#include <optional>
#include <string>
#include <vector>

#include "core/numtext.h"
#include "core/point.h"

namespace kursolin {

/// Radius of the sphere of the Mercator conversions, metres.
inline constexpr Real EarthRadius = 6371014.35683041L;
/// π/180 and π/4 as the conversions use them.
inline constexpr Real kPiDiv180 = 0.017453292519943295769L;
inline constexpr Real kPiDiv4 = 0.78539816339744830963L;
/// π in extended precision.
inline constexpr Real kPi = 3.1415926535897932385L;

/// A converted text and what went wrong on the way.
struct Converted {
  std::string text;
  /// Messages for the user, in the order they arose (a part that did not convert counts as 0).
  std::vector<std::string> errors;
  /// The text held no position: the record counts as one without a fix.
  bool fixLost = false;
};

/// A degree-minute text read as signed decimal degrees.
struct DegreeMinutes {
  /// false for a text too short to hold degrees and minutes: the record has no fix.
  bool usable = false;
  Real value = 0;
  /// The minutes were no number and count as 0 (decimalConversionErrorText names the text).
  bool minutesUnreadable = false;
};

/// The decimal degrees of a degree-minute text (GMToDez without making a text).
DegreeMinutes readDegreeMinutes(const NumberStyle& st, const std::string& text);

/// Degree-minute text to decimal degrees with 6 decimals; "0.0" with fixLost for a text too short.
Converted GMToDez(const NumberStyle& st, const std::string& text);

/// Makes the position texts a reader left pending, exactly as reading the record had made them.
/// Everything that reads LatDec, LatGMS, LatMer or their longitude twins of a record an NMEA
/// reader filled calls this first (RouteOut does); so does a reader before writing them itself.
/// `texts` (kDecimalTexts, kOtherPositionTexts) limits the work to what the caller reads; the rest
/// stays pending.
void completePositionTexts(const NumberStyle& st, PointRecord& p,
                           std::uint8_t texts = kAllPositionTexts);

/// Degree-minute-second text to decimal degrees with 6 decimals; "0.0" with fixLost for a text
/// too short or a position of 0.
Converted GMSToDez(const NumberStyle& st, const std::string& text);

/// GMSToDez of a value that must be a degree-minute-second text (blanks around it allowed): the
/// text, or no text and the one message when it is none.
Converted checkedGMSToDez(const NumberStyle& st, const std::string& text);

/// GMToDez of a value that must be a degree-minute text: degrees, two minute digits, optionally
/// "." and the fraction (blanks around it allowed); the text, or no text and the one message.
Converted checkedGMToDez(const NumberStyle& st, const std::string& text);

/// "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert " + value + " erkannt".
std::string decimalConversionErrorText(const std::string& value);

/// Decimal-degree text to degree-minute text (at least three degree digits); a whole number
/// counts as whole degrees. A fraction that is no number counts as 0, with its message.
Converted GeoDezToGrMin(const NumberStyle& st, const std::string& text);

/// A decimal-degree text as the notations need it: a number written with an exponent, a "+",
/// blanks or without digits on one side of its point ("1.15e1", " 7", ".5") in plain decimal
/// form with "." ("11.5", "7", "0.5"); plain decimals and texts that are no number unchanged.
std::string fixedDecimalText(const NumberStyle& st, const std::string& text);

/// Degree-minute text to degree-minute-second text (seconds with the host separator).
std::string KGrad(const NumberStyle& st, const std::string& text);

/// Latitude in decimal degrees to the Mercator northing in whole metres.
std::string DezToMerN(Real lat);

/// Longitude in decimal degrees to the Mercator easting in whole metres.
std::string DezToMerO(Real lon);

/// Mercator northing to a latitude text with 6 decimals.
std::string MerToDezN(long long y);

/// Mercator easting to a longitude text with 6 decimals.
std::string MerToDezO(long long x);

/// A number with 6 decimals and "." whatever the host separator.
std::string dez6(const NumberStyle& st, Real v);

/// The two coordinates of a position.
enum class Axis { Latitude, Longitude };

/// The texts and the number of one coordinate of a record, as a reader made them.
struct CoordinateTexts {
  std::string dec;    // decimal degrees, as the reader writes them into LatDec / LonDec
  std::string grMin;  // degree-minutes: LatGrMin, its NMEA copy and the source of LatGMS
  Real value = 0;     // LatValue / LonValue
  std::string mer;    // Mercator metres
};

/// Sets every position text of one coordinate of the record (decimal, degree-minute with its
/// NMEA copy, degree-minute-second, Mercator) and its number.
void setCoordinate(const NumberStyle& st, PointRecord& p, Axis axis, CoordinateTexts c);

/// The Mercator text of a coordinate in decimal degrees (DezToMerN or DezToMerO).
std::string mercatorOf(Axis axis, Real degrees);

}  // namespace kursolin
