#include "support/route_records.h"

#include <string>
#include <utility>

namespace kursolin::test {

::testing::AssertionResult routeFileDefaults(const PointRecord& p, bool motion) {
  std::string wrong;
  const auto expect = [&](const char* field, const std::string& is, const char* should) {
    if (is != should)
      wrong += std::string(" ") + field + "=\"" + is + "\" (not \"" + should + "\")";
  };
  expect("FixOk", p.FixOk, "1");
  expect("Time", p.Time, "000000.00");
  expect("Date", p.Date, "01.01.00");
  expect("Altitude", p.Altitude, "0");
  expect("SatCount", p.SatCount, "0");
  expect("Hdop", p.Hdop, "0");
  if (motion) {
    expect("SpeedKmh", p.SpeedKmh, "0.00");
    expect("Course", p.Course, "0.00");
  }
  if (!p.PointValid) wrong += " PointValid false";
  if (wrong.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "not the route file's fixed values:" << wrong;
}

}  // namespace kursolin::test
