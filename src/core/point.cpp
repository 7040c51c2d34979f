#include "core/point.h"

#include <cstring>

namespace kursolin {

namespace {

// Every text field of a record, in one fixed order for packing and unpacking.
template <class Record, class F>
void forEachText(Record& p, F&& f) {
  for (auto* t : {&p.SentenceId, &p.Time, &p.Date, &p.LatDec, &p.LonDec, &p.LatGrMin,
                  &p.LonGrMin, &p.LatNmea, &p.LonNmea, &p.LatGMS, &p.LonGMS, &p.LatMer,
                  &p.LonMer, &p.FixOk, &p.Course, &p.SpeedKmh, &p.SpeedKnots, &p.Altitude,
                  &p.SatCount, &p.Hdop, &p.PointLabel})
    f(*t);
  for (auto& t : p.NaviFields) f(t);
}

// A field added to the record must be added to the packing too.
constexpr std::size_t kTextFields = 21 + kNaviFieldCount;
static_assert(sizeof(PointRecord) ==
                  (kTextFields * sizeof(std::string) + 4 * sizeof(Real) + 3 + alignof(PointRecord) -
                   1) / alignof(PointRecord) * alignof(PointRecord),
              "PointRecord changed: update forEachText and the numbers packed below");

void putLength(std::string& out, std::size_t n) {
  // Seven bits a byte, the high bit set while more follow: short texts cost one byte.
  while (n >= 0x80) {
    out.push_back(static_cast<char>(0x80 | (n & 0x7F)));
    n >>= 7;
  }
  out.push_back(static_cast<char>(n));
}

std::size_t getLength(const std::string& in, std::size_t& at) {
  std::size_t n = 0;
  int shift = 0;
  while (true) {
    const auto b = static_cast<unsigned char>(in[at++]);
    n |= static_cast<std::size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return n;
    shift += 7;
  }
}

}  // namespace

PackedPointRecord::PackedPointRecord(const PointRecord& p) {
  std::size_t size = 4 * sizeof(Real) + 3;
  forEachText(p, [&](const std::string& t) {
    size += t.size() + 1;
    for (std::size_t n = t.size(); n >= 0x80; n >>= 7) ++size;
  });
  bytes_.reserve(size);
  for (Real v : {p.LatValue, p.LonValue, p.ConvValue, p.SpeedValue}) {
    char raw[sizeof(Real)];
    std::memcpy(raw, &v, sizeof v);
    bytes_.append(raw, sizeof raw);
  }
  bytes_.push_back(p.PointValid ? 1 : 0);
  bytes_.push_back(p.ViaStationPoint ? 1 : 0);
  bytes_.push_back(static_cast<char>(p.PendingTexts));
  forEachText(p, [&](const std::string& t) {
    putLength(bytes_, t.size());
    bytes_ += t;
  });
}

PointRecord PackedPointRecord::unpack() const {
  PointRecord p;
  if (bytes_.empty()) return p;
  std::size_t at = 0;
  for (Real* v : {&p.LatValue, &p.LonValue, &p.ConvValue, &p.SpeedValue}) {
    std::memcpy(v, bytes_.data() + at, sizeof(Real));
    at += sizeof(Real);
  }
  p.PointValid = bytes_[at++] != 0;
  p.ViaStationPoint = bytes_[at++] != 0;
  p.PendingTexts = static_cast<std::uint8_t>(bytes_[at++]);
  forEachText(p, [&](std::string& t) {
    const std::size_t n = getLength(bytes_, at);
    t.assign(bytes_, at, n);
    at += n;
  });
  return p;
}

}  // namespace kursolin
