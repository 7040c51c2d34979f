#pragma once
// A local date and time, as the host's clock and file stamps give it.

namespace kursolin {

/// A local date and time (no time zone attached).
struct LocalDateTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

}  // namespace kursolin
