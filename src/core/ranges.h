#pragma once
// Ranges of the number fields of the windows; a value outside is taken as the nearer bound.

namespace kursolin {

struct IntRange {
  int min;
  int max;
  int step;
  /// v held within the range.
  constexpr int clamp(long long v) const {
    return v < min ? min : (v > max ? max : static_cast<int>(v));
  }
};

// Rule panel of the main window.
inline constexpr IntRange kMeterSpinRange{0, 99000, 1000};
inline constexpr IntRange kMeterSpeedEditRange{0, 300, 10};
inline constexpr IntRange kGradEditRange{0, 90, 5};
inline constexpr IntRange kGradSpeedEditRange{0, 300, 10};
inline constexpr IntRange kPauseEditRange{1, 8400, 1};
inline constexpr IntRange kZeitSpinRange{1, 100000, 10};
inline constexpr IntRange kMinDistEditRange{0, 50000, 10};
inline constexpr IntRange kXRPSpinRange{1, 1000, 1};

// "Route verringern": a route keeps at least its start and end.
inline constexpr IntRange kMaxRoutePointsRange{2, 100000, 1};

// Settings dialog.
inline constexpr IntRange kSplitMaxRange{0, 10000, 1};  // MpMN, MpTT3, MpMTP, MpFalk
inline constexpr IntRange kHKorEditRange{0, 1000, 1};

// Tourenplaner settings of the split dialog.
inline constexpr IntRange kOptimizationRange{30, 95, 5};

}  // namespace kursolin
