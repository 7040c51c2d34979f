// A route keeps its records packed; what comes back out must be the record that went in.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/point.h"

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
  p.LatValue = 48.1173L;
  p.LonValue = -0.0L;
  p.ConvValue = 1e-4000L;
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
  EXPECT_EQ(q.ConvValue, p.ConvValue);
  EXPECT_EQ(q.SpeedValue, p.SpeedValue);
  EXPECT_TRUE(q.PointValid);
  EXPECT_TRUE(q.ViaStationPoint);
  EXPECT_TRUE(q.LatNmea.empty());

  const PointRecord empty = PackedPointRecord().unpack();
  EXPECT_TRUE(empty.Time.empty());
  EXPECT_FALSE(empty.PointValid);
}

}  // namespace
}  // namespace kursolin
