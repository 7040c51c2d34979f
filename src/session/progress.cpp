#include "session/progress.h"

namespace kursolin {

std::string groupedCount(long long n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  std::string out;
  const std::size_t len = digits.size();
  for (std::size_t i = 0; i < len; ++i) {
    if (i > 0 && (len - i) % 3 == 0) out += '.';
    out += digits[i];
  }
  return n < 0 ? "-" + out : out;
}

ProgressTicker::ProgressTicker(UserPort& port, std::string what, long long total)
    : port_(port),
      what_(std::move(what)),
      total_(total),
      start_(std::chrono::steady_clock::now()) {}

ProgressTicker::~ProgressTicker() {
  if (shown_) port_.showProgress({});
}

void ProgressTicker::update(long long done) {
  const auto now = std::chrono::steady_clock::now();
  const bool due = shown_ ? now - lastShown_ >= kShowInterval
                          : done >= kFirstShownAt || now - start_ >= kShowInterval;
  if (!due) {
    port_.processPendingEvents();
    return;
  }
  lastShown_ = now;
  shown_ = true;
  std::string text = what_ + groupedCount(done);
  if (total_ > 0) text += " von " + groupedCount(total_);
  // The window paints the text with the events it handles now.
  port_.showProgress(text);
  port_.processPendingEvents();
}

}  // namespace kursolin
