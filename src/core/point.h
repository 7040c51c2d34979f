#pragma once
// The one record every reader fills and every writer reads.

#include <array>
#include <cstdint>
#include <string>

namespace kursolin {

/// Index names of the 17 Navigon fields, by their position in the MN5 layout.
enum NaviField : int {
  RteLabel = 0,
  RtePlace1 = 1,
  RtePlace2 = 2,
  RtePlace3 = 3,
  RtePlace4 = 4,
  RtePlaceName = 5,
  RtePlace6 = 6,
  RtePlace7 = 7,
  RtePlace8 = 8,
  RtePlace9 = 9,
  RtePlace10 = 10,
  RteLon = 11,
  RteLat = 12,
  RtePlace13 = 13,
  RtePlace14 = 14,
  RtePlace15 = 15,
  RtePlace16 = 16,
};
inline constexpr int kNaviFieldCount = 17;

/// Extended precision where the machine has it (80-bit on x86-64).
using Real = long double;

struct PointRecord {
  std::string SentenceId;
  std::string Time;
  std::string Date;
  std::string LatDec, LonDec;
  std::string LatGrMin, LonGrMin;
  std::string LatNmea, LonNmea;
  std::string LatGMS, LonGMS;
  std::string LatMer, LonMer;
  std::string FixOk;
  std::string Course;
  std::string SpeedKmh;
  std::string SpeedKnots;
  std::string Altitude;
  std::string SatCount;
  std::string Hdop;
  std::array<std::string, kNaviFieldCount> NaviFields{};
  std::string PointLabel;

  /// Numeric position in decimal degrees; the NMEA parsers store the magnitude only.
  Real LatValue = 0;
  Real LonValue = 0;
  /// Result of the last degree-minute conversion.
  Real ConvValue = 0;
  /// Speed in km/h.
  Real SpeedValue = 0;
  bool PointValid = false;
  bool ViaStationPoint = false;
  /// Position texts the NMEA readers leave to be made when the record is emitted (the
  /// `PendingText` bits of core/coords.h); 0 when every text is in place.
  std::uint8_t PendingTexts = 0;

  std::string& navi(NaviField f) { return NaviFields[static_cast<std::size_t>(f)]; }
  const std::string& navi(NaviField f) const { return NaviFields[static_cast<std::size_t>(f)]; }
};

/// A PointRecord kept beside a route: every field in one buffer, about a fifth of the size of
/// the record, so a route of every record of a long log stays small.
class PackedPointRecord {
 public:
  PackedPointRecord() = default;
  explicit PackedPointRecord(const PointRecord& p);
  /// The record as it was packed.
  PointRecord unpack() const;

 private:
  std::string bytes_;
};

}  // namespace kursolin
