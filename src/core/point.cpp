#include "core/point.h"

#include <cstring>
#include <limits>

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
static_assert(sizeof(PointRecord) == (kTextFields * sizeof(std::string) + 3 * sizeof(Real) + 3 +
                                      alignof(PointRecord) - 1) /
                                         alignof(PointRecord) * alignof(PointRecord),
              "PointRecord changed: update forEachText and the numbers packed below");

}  // namespace

std::pair<std::shared_ptr<PackedPointStore::Block>, std::size_t> PackedPointStore::allocate(
    std::size_t n) {
  constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  if (!current_ || current_->size - current_->used < n) {
    // A record larger than a block (a route file with an endless line) gets a block of its own.
    auto block = std::make_shared<Block>();
    block->size = n > kBlockSize ? n : kBlockSize;
    block->bytes = std::make_unique_for_overwrite<char[]>(block->size);
    if (n > kBlockSize) return {std::move(block), 0};
    current_ = std::move(block);
  }
  const std::size_t at = current_->used;
  current_->used += n;
  return {current_, at};
}

namespace {

// The numbers are kept with the bytes that carry their value: 10 of the 16 of an x87 extended
// number, all of them elsewhere.
constexpr std::size_t kRealBytes =
    std::numeric_limits<Real>::digits == 64 && sizeof(Real) >= 10 ? 10 : sizeof(Real);
constexpr std::size_t kFixedBytes = 3 * kRealBytes + 4;

// Texts a reader left pending are made again after unpacking; what the record holds for them
// until then is left over from an earlier record and not worth keeping.
bool kept(const PointRecord& p, const std::string& t) {
  const std::uint8_t pending = p.PendingTexts;
  if (pending == 0) return true;
  if (&t == &p.LatDec) return !(pending & kPendingLatDecimal);
  if (&t == &p.LonDec) return !(pending & kPendingLonDecimal);
  if (&t == &p.LatGMS || &t == &p.LatMer) return !(pending & kPendingLatOther);
  if (&t == &p.LonGMS || &t == &p.LonMer) return !(pending & kPendingLonOther);
  return true;
}

std::size_t packedSize(const PointRecord& p) {
  std::size_t size = kFixedBytes;
  forEachText(p, [&](const std::string& t) {
    const std::size_t length = kept(p, t) ? t.size() : 0;
    size += length + 1;
    for (std::size_t n = length; n >= 0x80; n >>= 7) ++size;
  });
  return size;
}

void putLength(char*& out, std::size_t n) {
  // Seven bits a byte, the high bit set while more follow: short texts cost one byte.
  while (n >= 0x80) {
    *out++ = static_cast<char>(0x80 | (n & 0x7F));
    n >>= 7;
  }
  *out++ = static_cast<char>(n);
}

std::size_t getLength(const char*& in) {
  std::size_t n = 0;
  int shift = 0;
  while (true) {
    const auto b = static_cast<unsigned char>(*in++);
    n |= static_cast<std::size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return n;
    shift += 7;
  }
}

void pack(const PointRecord& p, char* out) {
  for (Real v : {p.LatValue, p.LonValue, p.SpeedValue}) {
    std::memcpy(out, &v, kRealBytes);
    out += kRealBytes;
  }
  *out++ = p.PointValid ? 1 : 0;
  *out++ = p.ViaStationPoint ? 1 : 0;
  *out++ = static_cast<char>(p.Role);
  *out++ = static_cast<char>(p.PendingTexts);
  forEachText(p, [&](const std::string& t) {
    const std::size_t length = kept(p, t) ? t.size() : 0;
    putLength(out, length);
    std::memcpy(out, t.data(), length);
    out += length;
  });
}

}  // namespace

PackedPointRecord::PackedPointRecord(const PointRecord& p) {
  auto block = std::make_shared<PackedPointStore::Block>();
  block->size = block->used = packedSize(p);
  block->bytes = std::make_unique_for_overwrite<char[]>(block->size);
  pack(p, block->bytes.get());
  block_ = std::move(block);
}

PackedPointRecord::PackedPointRecord(const PointRecord& p, PackedPointStore& store) {
  const std::size_t n = packedSize(p);
  auto [block, at] = store.allocate(n);
  pack(p, block->bytes.get() + at);
  block_ = std::move(block);
  offset_ = static_cast<std::uint32_t>(at);
}

PointRecord PackedPointRecord::unpack() const {
  PointRecord p;
  if (!block_) return p;
  const char* in = block_->bytes.get() + offset_;
  for (Real* v : {&p.LatValue, &p.LonValue, &p.SpeedValue}) {
    Real value = 0;
    std::memcpy(&value, in, kRealBytes);
    *v = value;
    in += kRealBytes;
  }
  p.PointValid = *in++ != 0;
  p.ViaStationPoint = *in++ != 0;
  p.Role = static_cast<RouteRole>(*in++);
  p.PendingTexts = static_cast<std::uint8_t>(*in++);
  forEachText(p, [&](std::string& t) {
    const std::size_t n = getLength(in);
    t.assign(in, n);
    in += n;
  });
  return p;
}

}  // namespace kursolin
