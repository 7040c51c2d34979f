#pragma once
// What every route-file reader gives a point beside its position.

#include <gtest/gtest.h>

#include "core/point.h"

namespace kursolin::test {

/// Whether the record holds the fixed values a route file leaves a point: a fix, time
/// "000000.00", date "01.01.00", altitude, satellites and HDOP "0", and is valid; with `motion`
/// also speed and course "0.00" (files that record them are checked on their own).
::testing::AssertionResult routeFileDefaults(const PointRecord& p, bool motion = true);

}  // namespace kursolin::test
