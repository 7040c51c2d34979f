#include "core/host.h"

#include <langinfo.h>
#include <locale.h>

#include <charconv>
#include <array>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace kursolin {

HostSettings HostSettings::fromEnvironment() {
  HostSettings h;
  // A private locale object: reading the user's settings must not change the process locale.
  locale_t loc = newlocale(LC_NUMERIC_MASK | LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return h;
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  if (radix && radix[0] && !radix[1]) h.DecimalSep = radix[0];
  const char* tfmt = nl_langinfo_l(T_FMT, loc);
  if (tfmt && *tfmt) {
    h.LongTimeFormat = tfmt;
    // The separator is what follows the hour field.
    std::string t = tfmt;
    for (std::size_t i = 0; i + 2 < t.size(); ++i) {
      if (t[i] == '%' && (t[i + 1] == 'H' || t[i + 1] == 'I') && t[i + 2] != '%') {
        h.TimeSep = t[i + 2];
        break;
      }
    }
    if (t == "%T" || t == "%r" || t == "%R") h.TimeSep = ':';
  }
  const char* dfmt = nl_langinfo_l(D_FMT, loc);
  if (dfmt && *dfmt) h.ShortDateFormat = dfmt;
  freelocale(loc);
  return h;
}

HostSettings HostSettings::german() {
  HostSettings h;
  h.DecimalSep = ',';
  h.TimeSep = ':';
  h.LongTimeFormat = "%H:%M:%S";
  h.ShortDateFormat = "%d.%m.%Y";
  return h;
}

HostSettings HostSettings::english() {
  HostSettings h;
  h.DecimalSep = '.';
  h.TimeSep = ':';
  h.LongTimeFormat = "%H:%M:%S";
  h.ShortDateFormat = "%m/%d/%Y";
  return h;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

namespace {

// Binary digits of the long double significand (64 on x86-64, 53 where it is a double).
constexpr int kSignificandBits = std::numeric_limits<long double>::digits;

// The largest k with 5^k below 2^kSignificandBits: 10^k is then exact in a long double
// (27 for the 64-bit significand, 22 for a double's).
constexpr int exactPowerLimit() {
  int k = 0;
  long double five = 1;
  long double limit = 1;
  for (int i = 0; i < kSignificandBits; ++i) limit *= 2;
  while (five * 5 < limit) five *= 5, ++k;
  return k;
}
constexpr int kExactPowers = exactPowerLimit();

constexpr std::array<long double, kExactPowers + 1> makePowers() {
  std::array<long double, kExactPowers + 1> p{};
  long double v = 1;
  for (auto& x : p) x = v, v *= 10;
  return p;
}
constexpr auto kPow10 = makePowers();

// The common shape of a number field, "[sign]digits[sep digits]" with at most 19 significant
// digits: the mantissa and the power of ten are both exact, so one division rounds correctly,
// exactly as the full conversion would. false when the text needs the full conversion.
bool fastDecimal(std::string_view s, char sep, long double& out) {
  std::size_t i = 0;
  const std::size_t e = s.size();
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  std::uint64_t m = 0;
  int significant = 0, fraction = 0;
  std::size_t digits = 0;
  bool afterSep = false;
  for (; i < e; ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      if (m != 0 || c != '0') {
        if (++significant > 19) return false;
        m = m * 10 + static_cast<std::uint64_t>(c - '0');
      }
      ++digits;
      fraction += afterSep;
    } else if (c == sep && !afterSep) {
      afterSep = true;
    } else {
      return false;
    }
  }
  if (digits == 0 || fraction > kExactPowers) return false;
  if (kSignificandBits < 64 && m >> kSignificandBits != 0) return false;
  const long double v = static_cast<long double>(m) / kPow10[static_cast<std::size_t>(fraction)];
  out = negative ? -v : v;
  return true;
}

}  // namespace

std::optional<long double> tryStrToFloat(std::string_view s, char sep) {
  std::size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  if (b == e) return std::nullopt;
  if (long double v; fastDecimal(s.substr(b, e - b), sep, v)) return v;
  // Validate the shape ourselves: only the host separator counts as decimal point.
  std::string norm;
  norm.reserve(e - b);
  std::size_t i = b;
  if (s[i] == '+' || s[i] == '-') {
    if (s[i] == '-') norm.push_back('-');
    ++i;
  }
  std::size_t digits = 0;
  while (i < e && s[i] >= '0' && s[i] <= '9') norm.push_back(s[i++]), ++digits;
  if (i < e && s[i] == sep) {
    norm.push_back('.');
    ++i;
    while (i < e && s[i] >= '0' && s[i] <= '9') norm.push_back(s[i++]), ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < e && (s[i] == 'e' || s[i] == 'E')) {
    norm.push_back('e');
    ++i;
    if (i < e && (s[i] == '+' || s[i] == '-')) norm.push_back(s[i++]);
    std::size_t expDigits = 0;
    while (i < e && s[i] >= '0' && s[i] <= '9') norm.push_back(s[i++]), ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != e) return std::nullopt;
  long double v = 0;
  const char* first = norm.data();
  if (*first == '-') ++first;  // from_chars does not take a sign of its own with fixed shapes
  auto [ptr, ec] = std::from_chars(first, norm.data() + norm.size(), v);
  if (ec == std::errc::result_out_of_range) {
    // Beyond the extended range: the platform reports this as an invalid number too.
    return std::nullopt;
  }
  if (ec != std::errc() || ptr != norm.data() + norm.size()) return std::nullopt;
  return norm[0] == '-' ? -v : v;
}

long double strToFloat(std::string_view s, char sep) {
  if (auto v = tryStrToFloat(s, sep)) return *v;
  throw ConvertError("'" + std::string(s) + "' ist kein gültiger Gleitkommawert");
}

namespace {

// The fixed form of a finite v with `decimals` digits, as the library's fixed conversion writes it
// ("-" for a negative sign bit, the exact binary value rounded to nearest, halves to even), but
// in integer arithmetic instead of the library's multi-precision path. false when v times
// 10^decimals does not fit 128 bits or the significand is not the 64-bit one this relies on.
bool fixedDigits(long double v, int decimals, std::string& out) {
  if (kSignificandBits != 64 || decimals < 0 || decimals > kExactPowers) return false;
  using U128 = unsigned __int128;
  int exponent = 0;
  const long double fraction = std::frexp(std::fabs(v), &exponent);
  // |v| = significand * 2^shift, with the significand exact in 64 bits.
  const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
  U128 five = 1;
  for (int i = 0; i < decimals; ++i) five *= 5;
  const U128 scaled = static_cast<U128>(significand) * five;  // below 2^64 * 5^27 < 2^127
  // |v| * 10^decimals = scaled * 2^shift.
  const int shift = exponent - 64 + decimals;
  U128 q = 0;
  if (significand == 0) {
    q = 0;
  } else if (shift >= 0) {
    if (shift >= 127 || scaled >> (127 - shift) != 0) return false;
    q = scaled << shift;
  } else if (-shift < 128) {
    const int r = -shift;
    q = scaled >> r;
    const U128 rest = scaled & ((static_cast<U128>(1) << r) - 1);
    const U128 half = static_cast<U128>(1) << (r - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  }  // else below half a unit of the last digit: 0
  char digits[48];
  int n = 0;
  while (q > std::numeric_limits<std::uint64_t>::max()) {
    digits[n++] = static_cast<char>('0' + static_cast<int>(q % 10));
    q /= 10;
  }
  // The rest in 64 bits, where division is one instruction.
  for (auto r = static_cast<std::uint64_t>(q); r != 0; r /= 10) {
    digits[n++] = static_cast<char>('0' + static_cast<int>(r % 10));
  }
  while (n <= decimals) digits[n++] = '0';
  out.clear();
  if (std::signbit(v)) out.push_back('-');
  for (int i = n - 1; i >= 0; --i) {
    out.push_back(digits[i]);
    if (i == decimals && decimals > 0) out.push_back('.');
  }
  return true;
}

}  // namespace

std::string formatFixed(long double v, int width, int decimals, char sep) {
  std::string out;
  if (std::isnan(v)) {
    out = "NAN";
  } else if (std::isinf(v)) {
    out = v < 0 ? "-INF" : "INF";
  } else {
    if (!fixedDigits(v, decimals, out)) {
      char buf[128];
      auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
      if (ec != std::errc()) {
        // Too long for the buffer (values near the extended maximum): fall back to general form.
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        ptr = r.ptr;
      }
      out.assign(buf, ptr);
    }
    // "-0.000000" reads oddly and no file format wants it.
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    for (char& c : out) {
      if (c == '.') c = sep;
    }
  }
  if (static_cast<int>(out.size()) < width) out.insert(0, width - out.size(), ' ');
  return out;
}

std::string floatToStrGeneral(long double v, char sep) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  if (v == 0) return "0";
  char buf[128];
  // 15 significant digits in scientific form tell us the decimal exponent after rounding.
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  std::string sci(buf, p);
  const auto epos = sci.find('e');
  const int exp = std::stoi(sci.substr(epos + 1));
  std::string mant = sci.substr(0, epos);
  const bool neg = mant[0] == '-';
  if (neg) mant.erase(0, 1);
  std::string digits;
  for (char c : mant) {
    if (c != '.') digits.push_back(c);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out;
  if (exp < -5 || exp >= 15) {
    out = digits.substr(0, 1);
    if (digits.size() > 1) out += sep + digits.substr(1);
    out += 'E';
    if (exp < 0) out += '-';
    out += std::to_string(std::abs(exp));
  } else if (exp < 0) {
    out = "0";
    out += sep;
    out.append(static_cast<std::size_t>(-exp - 1), '0');
    out += digits;
  } else {
    const std::size_t intLen = static_cast<std::size_t>(exp) + 1;
    if (digits.size() <= intLen) {
      out = digits + std::string(intLen - digits.size(), '0');
    } else {
      out = digits.substr(0, intLen) + sep + digits.substr(intLen);
    }
  }
  return neg ? "-" + out : out;
}

std::optional<long long> tryStrToInt(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  if (i >= s.size()) return std::nullopt;
  unsigned long long acc = 0;
  const unsigned long long limit =
      neg ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1
          : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c < '0' || c > '9') return std::nullopt;
    const unsigned d = static_cast<unsigned>(c - '0');
    if (acc > (limit - d) / 10) return std::nullopt;
    acc = acc * 10 + d;
  }
  if (neg) {
    if (acc == static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1)
      return std::numeric_limits<long long>::min();
    return -static_cast<long long>(acc);
  }
  return static_cast<long long>(acc);
}

long long strToIntDef(std::string_view s, long long def) {
  if (auto v = tryStrToInt(s)) return *v;
  return def;
}

int strToIntDef32(std::string_view s, int def) {
  auto v = tryStrToInt(s);
  if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
    return def;
  return static_cast<int>(*v);
}

long long roundHalfEven(long double v) {
  if (std::isnan(v)) return 0;
  constexpr long double kMax = 9.2233720368547758e18L;
  if (v >= kMax) return std::numeric_limits<long long>::max();
  if (v <= -kMax) return std::numeric_limits<long long>::min();
  // The machine's own rounding: nearest, halves to even, as long as nobody changes the rounding
  // mode (this program never does). One instruction instead of floor and a mode switch per call.
  if (std::fegetround() == FE_TONEAREST) return std::llrint(v);
  const long double fl = std::floor(v);
  const long double diff = v - fl;
  long double r;
  if (diff > 0.5L) {
    r = fl + 1;
  } else if (diff < 0.5L) {
    r = fl;
  } else {
    r = std::fmod(fl, 2.0L) == 0 ? fl : fl + 1;
  }
  return static_cast<long long>(r);
}

std::string intToStr(long long v) { return std::to_string(v); }

namespace {

std::string two(int v) {
  // Times and dates are nearly always two digits; printf only for anything else.
  if (v >= 0 && v < 100) return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

}  // namespace

std::string formatLongTime(const HostSettings& host, int h, int m, int s) {
  std::string out;
  const std::string& f = host.LongTimeFormat;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%' || i + 1 >= f.size()) {
      out.push_back(f[i]);
      continue;
    }
    const char c = f[++i];
    const int h12 = h % 12 == 0 ? 12 : h % 12;
    switch (c) {
      case 'H': out += two(h); break;
      case 'I': out += two(h12); break;
      case 'M': out += two(m); break;
      case 'S': out += two(s); break;
      case 'p': out += h < 12 ? "AM" : "PM"; break;
      case 'T': out += two(h) + host.TimeSep + two(m) + host.TimeSep + two(s); break;
      case 'R': out += two(h) + host.TimeSep + two(m); break;
      case 'r':
        out += two(h12) + host.TimeSep + two(m) + host.TimeSep + two(s) + (h < 12 ? " AM" : " PM");
        break;
      case '%': out.push_back('%'); break;
      default: out.push_back('%'), out.push_back(c); break;
    }
  }
  return out;
}

std::string formatShortDate(const HostSettings& host, int y, int mo, int d) {
  std::string out;
  const std::string& f = host.ShortDateFormat;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%' || i + 1 >= f.size()) {
      out.push_back(f[i]);
      continue;
    }
    const char c = f[++i];
    switch (c) {
      case 'd': out += two(d); break;
      case 'e': out += std::to_string(d); break;
      case 'm': out += two(mo); break;
      case 'y': out += two(((y % 100) + 100) % 100); break;
      case 'Y': out += std::to_string(y); break;
      case 'D': out += two(mo) + "/" + two(d) + "/" + two(((y % 100) + 100) % 100); break;
      case 'F': out += std::to_string(y) + "-" + two(mo) + "-" + two(d); break;
      case '%': out.push_back('%'); break;
      default: out.push_back('%'), out.push_back(c); break;
    }
  }
  return out;
}

}  // namespace kursolin
