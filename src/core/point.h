#pragma once
// The one record every reader fills and every writer reads.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

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

/// Bits of PointRecord::PendingTexts. The NMEA readers keep the degree-minute texts (LatNmea,
/// LonNmea) and the numbers (LatValue, LonValue, the magnitude or the signed field value) of the
/// last fix and leave the decimal, degree-minute-second and Mercator texts to be made from them
/// when the record is emitted: a log's records are read by the million, its points are few.
enum PendingText : std::uint8_t {
  kPendingLatDecimal = 1,   // LatDec
  kPendingLonDecimal = 2,   // LonDec
  kPendingLatOther = 4,     // LatGMS, LatMer
  kPendingLonOther = 8,     // LonGMS, LonMer
  kPendingSouth = 16,       // the latitude's hemisphere is south: every text gets a "-"
  kPendingWest = 32,        // the longitude's hemisphere is west
};
inline constexpr std::uint8_t kDecimalTexts = kPendingLatDecimal | kPendingLonDecimal;
inline constexpr std::uint8_t kOtherPositionTexts = kPendingLatOther | kPendingLonOther;
inline constexpr std::uint8_t kAllPositionTexts = kDecimalTexts | kOtherPositionTexts;

/// A position in signed decimal degrees (south and west negative).
struct GeoPosition {
  Real lat = 0;
  Real lon = 0;
};

/// What a navigator is told about a route point: an announced stop on the way (via point), a
/// silent point that only keeps the route on its road (shaping point), or nothing yet.
enum class RouteRole : std::uint8_t { Unknown, Via, Shaping };

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
  /// Speed in km/h.
  Real SpeedValue = 0;
  bool PointValid = false;
  bool ViaStationPoint = false;
  /// Via or shaping point, as the input file marks it or the rules decide (see RouteRole).
  RouteRole Role = RouteRole::Unknown;
  /// Position texts the NMEA readers leave to be made when the record is emitted (the
  /// `PendingText` bits above, made by completePositionTexts); 0 when every text is in place.
  std::uint8_t PendingTexts = 0;

  std::string& navi(NaviField f) { return NaviFields[static_cast<std::size_t>(f)]; }
  const std::string& navi(NaviField f) const { return NaviFields[static_cast<std::size_t>(f)]; }
};

/// Blocks the packed records of a route are written into, so a route of every record of a long
/// log costs no allocation a point. A block lives as long as a record packed into it.
class PackedPointStore {
 public:
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t used = 0;
    std::size_t size = 0;
  };
  /// Room for n bytes: the block and the offset where they go.
  std::pair<std::shared_ptr<Block>, std::size_t> allocate(std::size_t n);

 private:
  std::shared_ptr<Block> current_;
};

/// A PointRecord kept beside a route: every field one after another in a store's block, about a
/// sixth of the size of the record.
class PackedPointRecord {
 public:
  PackedPointRecord() = default;
  /// Packs into a block of its own.
  explicit PackedPointRecord(const PointRecord& p);
  /// Packs into the store's current block.
  PackedPointRecord(const PointRecord& p, PackedPointStore& store);
  /// The record as it was packed.
  PointRecord unpack() const;

 private:
  std::shared_ptr<const PackedPointStore::Block> block_;
  std::uint32_t offset_ = 0;
};

}  // namespace kursolin
