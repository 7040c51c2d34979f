// The integer fast paths of the number conversions against the library conversions they stand in
// for: every file byte depends on them, so each must give exactly what the library gives.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/host.h"

namespace kursolin {
namespace {

// What formatFixed wrote before its integer path: the library's fixed conversion, minus a sign
// on an all-zero result, with the separator and the padding.
std::string libraryFixed(long double v, int width, int decimals, char sep) {
  std::string out;
  if (std::isnan(v)) {
    out = "NAN";
  } else if (std::isinf(v)) {
    out = v < 0 ? "-INF" : "INF";
  } else {
    char buf[128];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (ec != std::errc()) ptr = std::to_chars(buf, buf + sizeof buf, v).ptr;
    out.assign(buf, ptr);
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    for (char& c : out) {
      if (c == '.') c = sep;
    }
  }
  if (static_cast<int>(out.size()) < width) out.insert(0, width - out.size(), ' ');
  return out;
}

// What tryStrToFloat gave before its fast path: the text in C form through from_chars.
std::optional<long double> libraryParse(std::string text, char sep) {
  for (char& c : text) {
    if (c == sep) c = '.';
  }
  const char* first = text.data();
  const bool negative = *first == '-';
  if (*first == '-' || *first == '+') ++first;
  long double v = 0;
  auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), v);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return negative ? -v : v;
}

const std::vector<long double> kTrickyValues = {
    0.0L, -0.0L, 0.5L, 1.5L, 2.5L, -2.5L, 0.125L, 0.375L, -0.375L, 1.0625L, 0.005L, 0.015L,
    0.0049999999L, -0.0000004L, -0.0000005L, 0.0000005L, 0.0000015L, 0.0000025L, 48.1173L,
    8.682116666666667L, 50.11090L, 179.9999995L, -179.9999995L, 89.999999L, 40.32L, 99.995L,
    999999.9999995L, 1e-30L, -1e-30L, 1e15L, 123456789012345678.5L, 1e18L + 0.5L, 9.2233720e18L,
    1.8e19L, 3.4e30L, -3.4e30L, 1e38L, 4503599627370496.5L, 0.1L, 0.2L, 0.3L, 1.0L / 3, 2.0L / 3,
    std::numeric_limits<long double>::min(), std::numeric_limits<long double>::denorm_min(),
    std::numeric_limits<long double>::epsilon(), 1e4000L, std::numeric_limits<long double>::max(),
    std::numeric_limits<long double>::infinity(), -std::numeric_limits<long double>::infinity(),
    std::numeric_limits<long double>::quiet_NaN()};

TEST(NumberPaths, FixedFormMatchesTheLibraryOnTrickyValues) {
  for (char sep : {'.', ','}) {
    for (long double v : kTrickyValues) {
      for (int decimals : {0, 1, 2, 3, 5, 6, 10, 27, 30}) {
        for (int width : {0, 3, 12}) {
          ASSERT_EQ(formatFixed(v, width, decimals, sep), libraryFixed(v, width, decimals, sep))
              << static_cast<double>(v) << " decimals " << decimals << " sep " << sep;
        }
      }
    }
  }
}

TEST(NumberPaths, FixedFormMatchesTheLibraryOnExactHalvesAndRandomValues) {
  std::mt19937_64 rnd(15);
  std::vector<long double> values;
  // Exact binary halves at the last printed digit: the rounding must go to the even digit.
  for (int k = 0; k < 2000; ++k) values.push_back(std::ldexp(static_cast<long double>(k), -7));
  std::uniform_real_distribution<double> coordinate(-180.0, 180.0);
  std::uniform_int_distribution<int> exponent(-40, 70);
  for (int k = 0; k < 20000; ++k) {
    values.push_back(static_cast<long double>(coordinate(rnd)) / 3);
    values.push_back(std::ldexp(static_cast<long double>(rnd() >> 1), exponent(rnd)));
  }
  for (long double v : values) {
    for (int decimals : {0, 2, 6}) {
      ASSERT_EQ(formatFixed(v, 0, decimals, ','), libraryFixed(v, 0, decimals, ','))
          << static_cast<double>(v) << " decimals " << decimals;
      ASSERT_EQ(formatFixed(-v, 3, decimals, '.'), libraryFixed(-v, 3, decimals, '.'))
          << static_cast<double>(-v) << " decimals " << decimals;
    }
  }
}

TEST(NumberPaths, ParsingMatchesTheLibrary) {
  const std::vector<std::string> texts = {
      "0",  "-0", "+0", "0.0", "-0.000", "5006.6544", "00840.9270", "-4807.038", "1.5",
      ".5", "5.", "-.25", "0.1", "0.3", "123456789012345678", "1234567890123456789",
      "12345678901234567890", "0.1234567890123456789", "9999999999999999999.5",
      "0.000000000000000000000000001", "0.0000000000000000000000000001", "18446744073709551615",
      "18446744073709551616", "4503599627370496.5", "0.30000000000000000000000001",
      "047.9", "000000.00"};
  for (char sep : {'.', ','}) {
    for (std::string t : texts) {
      for (char& c : t) {
        if (c == '.') c = sep;
      }
      const auto ours = tryStrToFloat(t, sep);
      const auto theirs = libraryParse(t, sep);
      ASSERT_EQ(ours.has_value(), theirs.has_value()) << t;
      if (!ours) continue;
      EXPECT_EQ(*ours, *theirs) << t;
      EXPECT_EQ(std::signbit(*ours), std::signbit(*theirs)) << t;
    }
  }
  std::mt19937_64 rnd(7);
  for (int k = 0; k < 20000; ++k) {
    // Random digit strings of every length up to 25, the decimal point anywhere.
    std::string t = (rnd() & 1) ? "-" : "";
    const int len = 1 + static_cast<int>(rnd() % 25);
    const int point = static_cast<int>(rnd() % (len + 1));
    for (int i = 0; i < len; ++i) {
      if (i == point) t += ',';
      t += static_cast<char>('0' + rnd() % 10);
    }
    const auto ours = tryStrToFloat(t, ',');
    const auto theirs = libraryParse(t, ',');
    ASSERT_EQ(ours.has_value(), theirs.has_value()) << t;
    if (ours) {
      ASSERT_EQ(*ours, *theirs) << t;
    }
  }
}

}  // namespace
}  // namespace kursolin
