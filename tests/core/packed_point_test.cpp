// A route keeps its records packed; what comes back out must be the record that went in.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/coords.h"
#include "core/point.h"
#include "support/hosts.h"

namespace kursolin {
namespace {

TEST(PackedPointRecord, GivesBackEveryFieldAsPacked) {
  PointRecord p;
  p.SentenceId = "$GPGGA";
  p.Time = "235959.99";
  p.Date = "";
  p.LatDec = "-48.117300";
  p.LonDec = "11.516667";
  p.LatGMS = "48\xB0" "07\xB4" "02.28\"";
  p.FixOk = "1";
  p.PointLabel = std::string(300, 'L');  // a length of more than one byte
  p.navi(RtePlaceName) = "M\xFCnchen";
  p.navi(RtePlace16) = std::string(1, '\0') + "x";
  p.LatValue = 1e-4000L;  // beyond double: the packing keeps extended precision
  p.LonValue = -0.0L;
  p.SpeedValue = 123.456789012345678L;
  p.PointValid = true;
  p.ViaStationPoint = true;

  const PointRecord q = PackedPointRecord(p).unpack();
  EXPECT_EQ(q.SentenceId, p.SentenceId);
  EXPECT_EQ(q.Time, p.Time);
  EXPECT_EQ(q.Date, p.Date);
  EXPECT_EQ(q.LatDec, p.LatDec);
  EXPECT_EQ(q.LonDec, p.LonDec);
  EXPECT_EQ(q.LatGMS, p.LatGMS);
  EXPECT_EQ(q.FixOk, p.FixOk);
  EXPECT_EQ(q.PointLabel, p.PointLabel);
  EXPECT_EQ(q.NaviFields, p.NaviFields);
  EXPECT_EQ(q.LatValue, p.LatValue);
  EXPECT_TRUE(std::signbit(q.LonValue));
  EXPECT_EQ(q.SpeedValue, p.SpeedValue);
  EXPECT_TRUE(q.PointValid);
  EXPECT_TRUE(q.ViaStationPoint);
  EXPECT_TRUE(q.LatNmea.empty());

  const PointRecord empty = PackedPointRecord().unpack();
  EXPECT_TRUE(empty.Time.empty());
  EXPECT_FALSE(empty.PointValid);
}

// Records packed into a shared store: each gives back its own fields, whatever was packed after
// it, however large, and after the store itself is gone.
TEST(PackedPointRecord, RecordsOfOneStoreStayApartAndOutliveIt) {
  std::vector<PackedPointRecord> packed;
  std::vector<std::string> times;
  {
    PackedPointStore store;
    for (int i = 0; i < 20000; ++i) {  // several blocks' worth
      PointRecord p;
      p.Time = std::to_string(100000 + i) + ".00";
      p.SpeedValue = i;
      // Now and then a record larger than a block, as an endless line of a route file gives.
      if (i % 5000 == 17) p.navi(RtePlaceName) = std::string((1 << 20) + 3, 'x');
      times.push_back(p.Time);
      packed.emplace_back(p, store);
    }
  }
  for (std::size_t i = 0; i < packed.size(); ++i) {
    const PointRecord q = packed[i].unpack();
    ASSERT_EQ(q.Time, times[i]);
    ASSERT_EQ(q.SpeedValue, static_cast<Real>(i));
    ASSERT_EQ(q.navi(RtePlaceName).size(), i % 5000 == 17 ? (1u << 20) + 3 : 0u);
  }
}

// A record whose position texts are still pending keeps what they are made from, not the texts
// left over from an earlier record: completed after unpacking it gives what completing it
// directly gives.
TEST(PackedPointRecord, PendingTextsAreMadeAfterUnpacking) {
  test::ScriptedPort port;
  for (const HostSettings& host : {HostSettings::german(), HostSettings::english()}) {
    Session s(port, host);
    PointRecord p;
    p.LatNmea = "-3352.1234";
    p.LonNmea = "-15112.5000";
    p.LatValue = 33.868723L;
    p.LonValue = 151.208333L;
    p.LatDec = "stale";
    p.LonGMS = "stale";
    p.LatMer = "stale";
    p.PendingTexts = kPendingLatDecimal | kPendingLonDecimal | kPendingLatOther |
                     kPendingLonOther | kPendingSouth | kPendingWest;
    PointRecord q = PackedPointRecord(p).unpack();
    EXPECT_TRUE(q.LatDec.empty());
    EXPECT_TRUE(q.LonGMS.empty());
    EXPECT_EQ(q.PendingTexts, p.PendingTexts);
    completePositionTexts(s.numbers, p);
    completePositionTexts(s.numbers, q);
    for (auto [a, b] : {std::pair{p.LatDec, q.LatDec}, {p.LonDec, q.LonDec}, {p.LatGMS, q.LatGMS},
                        {p.LonGMS, q.LonGMS}, {p.LatMer, q.LatMer}, {p.LonMer, q.LonMer}})
      EXPECT_EQ(a, b);
    EXPECT_EQ(p.LatDec, "-33.868723");
    EXPECT_EQ(p.LonDec, "-151.208333");
    EXPECT_EQ(p.LatGMS.substr(0, 4), "-33\xB0");
    EXPECT_EQ(p.LatMer[0], '-');
    EXPECT_EQ(p.PendingTexts & ~(kPendingSouth | kPendingWest), 0);
  }
}

}  // namespace
}  // namespace kursolin
