#pragma once
// Keeps the window alive during a long loop over a day-long log: pending events are handled and
// the status line shows how far the loop got. Both are rate-limited, so the loop stays fast and
// a port without a window pays almost nothing.

#include <chrono>
#include <string>

#include "session/port.h"

namespace kursolin {

class ProgressTicker {
 public:
  /// Progress shows as `what` followed by the count done and, with a total, " von " total.
  ProgressTicker(UserPort& port, std::string what, long long total = 0);
  /// Brings the status text back when progress was shown.
  ~ProgressTicker();
  ProgressTicker(const ProgressTicker&) = delete;
  ProgressTicker& operator=(const ProgressTicker&) = delete;

  /// Once per item of the loop, with the number of items done.
  void tick(long long done) {
    if ((++calls_ & (kStride - 1)) == 0) update(done);
  }
  /// For a loop that reports only every few thousand items itself.
  void update(long long done);

  /// Least time between two progress texts.
  static constexpr std::chrono::milliseconds kShowInterval{100};
  /// A step shows progress from this many items on (or after one interval): a short one
  /// leaves the status line alone.
  static constexpr long long kFirstShownAt = 4096;

 private:
  // Items between two looks at the clock: a few hundred lines take well under a millisecond.
  static constexpr unsigned kStride = 256;

  UserPort& port_;
  std::string what_;
  long long total_;
  unsigned calls_ = 0;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_, lastShown_;
};

/// A count with "." between groups of three digits, as the window shows counts.
std::string groupedCount(long long n);

}  // namespace kursolin
