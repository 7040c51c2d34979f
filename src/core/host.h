#pragma once
// The host's regional settings and the number conversions that depend on them. Every conversion
// between number and text goes through here, so a whole session behaves like one German (",")
// or one English (".") desktop, whatever the process locale of the test runner is.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kursolin {

/// Regional settings, read once at start-up.
struct HostSettings {
  char DecimalSep = '.';
  char TimeSep = ':';
  /// strftime-style pattern of the long time format (%H %I %M %S %p %T %R %r understood).
  std::string LongTimeFormat = "%H:%M:%S";
  /// strftime-style pattern of the short date format (%d %m %y %Y %e understood).
  std::string ShortDateFormat = "%d.%m.%Y";

  /// The settings of the process environment (LC_NUMERIC, LC_TIME), without touching the
  /// process-wide locale.
  static HostSettings fromEnvironment();
  /// A German desktop: "," and ":".
  static HostSettings german();
  /// An English desktop with "." and ":".
  static HostSettings english();
};

/// A text that is not a number; the message is the one a user sees.
class ConvertError : public std::runtime_error {
 public:
  explicit ConvertError(const std::string& message)
      : std::runtime_error(message), message_(message) {}
  /// The whole message; what() ends at the first NUL byte that a bad input line may carry.
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

/// The number in s, written with the decimal separator sep (blanks around it allowed, nothing
/// else); nullopt when s is no number.
std::optional<long double> tryStrToFloat(std::string_view s, char sep);

/// As tryStrToFloat, but a text that is no number throws ConvertError.
long double strToFloat(std::string_view s, char sep);

/// The value with exactly `decimals` digits after sep, left-padded with blanks to `width`
/// ("%3.6f"-style). Non-finite values come out as "NAN", "INF" or "-INF".
std::string formatFixed(long double v, int width, int decimals, char sep);

/// The shortest general form: up to 15 significant digits, no trailing zeros, an exponent only
/// for very large or very small values.
std::string floatToStrGeneral(long double v, char sep);

/// The whole number in s (optional blanks before, optional sign, decimal digits, nothing after);
/// nullopt when s is no whole number or does not fit 64 bits.
std::optional<long long> tryStrToInt(std::string_view s);

/// tryStrToInt, or def when s is no whole number.
long long strToIntDef(std::string_view s, long long def);

/// As strToIntDef, restricted to the int range (out of range counts as not a number).
int strToIntDef32(std::string_view s, int def);

/// v rounded to the nearest integer, halves to even; NaN gives 0 and values beyond the 64-bit
/// range saturate, so no rounding can run into undefined behaviour.
long long roundHalfEven(long double v);

/// The decimal text of an integer.
std::string intToStr(long long v);

/// The time of day in the long time format of the host.
std::string formatLongTime(const HostSettings& host, int hours, int minutes, int seconds);

/// The date in the short date format of the host.
std::string formatShortDate(const HostSettings& host, int year, int month, int day);

}  // namespace kursolin
