// Distance, heading and time arithmetic, the summer-time rule and the time mode.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <fstream>
#include <random>
#include <vector>

#include "core/cp1252.h"
#include "core/geotime.h"
#include "support/hosts.h"

namespace kursolin {
namespace {

TEST(Distance, WorkedValues) {
  struct Case {
    Real lat1, lon1, lat2, lon2;
    int metres;
  } cases[] = {
      {48.0L, 11.0L, 48.01L, 11.0L, 1111},
      {48.0L, 11.0L, 48.0L, 11.01L, 744},
      {48.0L, 11.0L, 48.0L, 11.0L, 0},
      {0, 0, 48.0L, 11.0L, 0},  // the generators' "no route point yet"
      {48.1173L, 11.516667L, 48.1173L, 11.516667L, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Dist(c.lat1, c.lon1, c.lat2, c.lon2), c.metres)
        << static_cast<double>(c.lat1) << "," << static_cast<double>(c.lon1);
  }
}

TEST(Distance, SouthernAndWesternPositionsHaveTheirTrueDistance) {
  EXPECT_EQ(Dist(-33.0L, 151.0L, -33.1L, 151.0L), 11112);
  EXPECT_EQ(Dist(48.0L, -11.0L, 48.01L, -11.0L), 1111);
  EXPECT_EQ(Dist(0, 10.0L, 0, 10.01L), 1111) << "a point on the equator is no start value";
  EXPECT_EQ(Dist(-33.0L, 151.0L, -33.0L, 151.0L), 0);
}

TEST(Distance, FaultsGiveZero) {
  const Real nan = std::numeric_limits<long double>::quiet_NaN();
  EXPECT_EQ(Dist(nan, 1, 2, 3), 0);
  EXPECT_EQ(Dist(1, 2, nan, 3), 0);
}

// The cache keeps the trigonometry of two latitudes; every pattern of reuse, replacement and
// fault must give what the plain computation gives, to the metre.
TEST(Distance, CachedDistancesEqualThePlainOnes) {
  const Real nan = std::numeric_limits<long double>::quiet_NaN();
  std::vector<std::array<Real, 2>> points = {
      {48.1173L, 11.5167L}, {0, 0},        {48.1173L, 11.5167L}, {-33.8687L, 151.2083L},
      {89.9999L, 0.0L},     {-90, 180},    {0, 10},              {nan, 1},
      {47.0L, 10.0L},       {47.0L, 10.0L}, {1e308L, 5},         {45.0L, -179.9999L},
      {45.0L, 179.9999L},   {-0.0L, 0.0L},
  };
  // A drive north-east in small steps: most latitudes beyond 45 degrees, each one new.
  for (int i = 0; i < 300; ++i)
    points.push_back({47.5L + i * 0.00037L, 9.8L + i * 0.00051L});
  DistCache cached;
  // Reference point kept for a while, then moved to the current one, as the rules do; a third
  // point (the last route point) measured now and then to force replacements.
  std::size_t ref = 0, last = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const auto& r = points[ref];
    const auto& c = points[i];
    const auto& l = points[last];
    ASSERT_EQ(cached(r[0], r[1], c[0], c[1]), Dist(r[0], r[1], c[0], c[1])) << "reference " << i;
    if (i % 3 == 0)
      ASSERT_EQ(cached(l[0], l[1], c[0], c[1]), Dist(l[0], l[1], c[0], c[1])) << "last " << i;
    ASSERT_EQ(cached(c[0], c[1], r[0], r[1]), Dist(c[0], c[1], r[0], r[1])) << "reversed " << i;
    if (i % 7 == 0) ref = i;
    if (i % 11 == 0) last = i;
  }
  EXPECT_EQ(cached(48.0L, 11.0L, 48.01L, 11.0L), 1111) << "a known distance after all that";
}

// The estimate may only ever answer where Dist agrees, and should answer for the common cases of a
// record near its reference point and one well past the rule's distance.
TEST(Distance, ComparedNeverContradictsDist) {
  using C = DistCache::Compared;
  std::mt19937_64 random(20261209);
  std::uniform_real_distribution<double> lat(-89.9, 89.9), lon(-180, 180), unit(0, 1);
  int answered = 0, cases = 0;
  for (int i = 0; i < 20000; ++i) {
    const Real lat1 = lat(random), lon1 = lon(random);
    // Mostly near neighbours at all scales (centimetres to hundreds of kilometres), some far.
    const double scale = std::pow(10.0, -7 + 9 * unit(random));
    Real lat2 = lat1 + (unit(random) - 0.5) * scale, lon2 = lon1 + (unit(random) - 0.5) * scale;
    if (i % 10 == 0) lat2 = lat(random), lon2 = lon(random);
    if (lat2 > 90 || lat2 < -90) continue;
    const int exact = Dist(lat1, lon1, lat2, lon2);
    // Thresholds right at the exact distance, where a wrong answer would show.
    for (int metres : {exact - 1, exact, exact + 1, exact + 2, 0, 1, 50, 500, 5000}) {
      ++cases;
      const C c = DistCache::compare(lat1, lon1, lat2, lon2, metres);
      if (c == C::Unknown) continue;
      ++answered;
      ASSERT_EQ(c == C::Below, exact < metres)
          << static_cast<double>(lat1) << "," << static_cast<double>(lon1) << " "
          << static_cast<double>(lat2) << "," << static_cast<double>(lon2) << " " << metres;
    }
  }
  EXPECT_GT(answered, cases / 2) << "the estimate decides most cases";
  // Across the date line, at Dist's start value (always 0) and at equal points.
  EXPECT_EQ(DistCache::compare(45.0L, 179.9999L, 45.0L, -179.9999L, 50), C::Below);
  EXPECT_EQ(DistCache::compare(0, 0, 1.0L, 1.0L, 500), C::Below);
  EXPECT_EQ(DistCache::compare(0, 0, 1.0L, 1.0L, 0), C::AtLeast);
  EXPECT_EQ(DistCache::compare(48.0L, 11.0L, 48.0L, 11.0L, 0), C::AtLeast);
  EXPECT_EQ(DistCache::compare(48.0L, 11.0L, 48.0L, 11.0L, 1), C::Below);
  EXPECT_EQ(DistCache::compare(48.0L, 11.0L, 48.0045L, 11.0L, 500), C::AtLeast) << "500.04 m";
  EXPECT_EQ(DistCache::compare(48.0L, 11.0L, 48.0L + 499.5L / 111120, 11.0L, 500), C::Unknown)
      << "half a metre short: Dist's rounding decides";
  EXPECT_EQ(DistCache::compare(48.0L, 11.0L, 48.1L, 11.0L, 500), C::AtLeast);
}

TEST(Heading, TurnsAcrossNorthAndThresholds) {
  struct Case {
    int g;
    const char *a, *b;
    bool turned;
  } cases[] = {
      {75, "350.0", "10.0", false},  {75, "100.0", "190.0", true}, {75, "10.0", "85.0", false},
      {75, "10.0", "85.9", false},   {75, "10.0", "86.0", true},   {10, "355.0", "5.0", false},
      {10, "352.0", "3.0", true},    {75, "90", "80.0", true},  // "90" has no "." and counts as 0
      {75, "abc.5", "80.0", true},   {0, "1.0", "1.9", false},     {0, "1.0", "2.0", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GradDif(c.g, c.a, c.b), c.turned) << c.g << ": " << c.a << " -> " << c.b;
    EXPECT_EQ(GradDif(c.g, c.b, c.a), c.turned) << c.g << ": " << c.b << " -> " << c.a;
  }
}

TEST(Times, SecondsOfTheDayAndDifferences) {
  EXPECT_EQ(GetTime("123519.00"), 45319);
  EXPECT_EQ(GetTime("123519"), 45319);
  EXPECT_EQ(GetTime("000000.00"), 0);
  EXPECT_EQ(GetTime("12"), 43200);
  EXPECT_EQ(GetTime("ab3519"), 2119);
  EXPECT_EQ(GetTime(""), 0);
  EXPECT_EQ(ZeitDif("235950", "000010"), -86380);
  EXPECT_EQ(ZeitDif("120000", "120030.50"), 30);
}

TEST(SummerTime, GermanRule) {
  struct Case {
    LocalDateTime dt;
    bool summer;
  } cases[] = {
      {{2002, 3, 31, 1, 59, 0}, false},  {{2002, 3, 31, 2, 0, 0}, true},
      {{2002, 10, 27, 2, 59, 0}, true},  {{2002, 10, 27, 3, 0, 0}, false},
      {{1990, 9, 15, 12, 0, 0}, true},   {{1990, 10, 1, 12, 0, 0}, false},
      {{1980, 7, 1, 12, 0, 0}, false},   {{1995, 9, 24, 2, 59, 59}, true},
      {{1995, 9, 24, 3, 0, 0}, false},   {{1996, 10, 1, 0, 0, 0}, true},
      {{2026, 12, 9, 10, 0, 0}, false},  {{2026, 7, 14, 10, 0, 0}, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckBRDSz(c.dt), c.summer) << c.dt.year << "-" << c.dt.month << "-" << c.dt.day
                                          << " " << c.dt.hour << ":" << c.dt.minute;
  }
}

}  // namespace
}  // namespace kursolin
