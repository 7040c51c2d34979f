#include "core/lines.h"

namespace kursolin {

namespace {
const std::string kEmpty;
}

std::vector<std::string> splitLines(std::string_view text) { return splitLines(text, {}); }

std::vector<std::string> splitLines(std::string_view text,
                                    const std::function<void(long long)>& progress) {
  std::vector<std::string> out;
  std::size_t start = 0;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out.emplace_back(text.substr(start, i - start));
      if (progress && (out.size() & 4095) == 0) progress(static_cast<long long>(out.size()));
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) out.emplace_back(text.substr(start));
  return out;
}

std::string TextLines::at(long long index) const {
  if (index < 0 || index >= static_cast<long long>(lines_.size())) return {};
  const std::string& l = lines_[static_cast<std::size_t>(index)];
  if (l.size() <= kMaxLineRead) return l;
  return l.substr(0, kMaxLineRead);
}

const std::string& TextLines::full(long long index) const {
  if (index < 0 || index >= static_cast<long long>(lines_.size())) return kEmpty;
  return lines_[static_cast<std::size_t>(index)];
}

void TextLines::add(std::string line) {
  lines_.push_back(std::move(line));
  ++revision_;
}

void TextLines::clear() {
  lines_.clear();
  ++revision_;
}

void TextLines::setText(std::string_view text) {
  lines_ = splitLines(text);
  ++revision_;
}

void TextLines::setText(std::string_view text, const std::function<void(long long)>& progress) {
  lines_ = splitLines(text, progress);
  ++revision_;
}

void TextLines::assign(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  ++revision_;
}

std::string TextLines::text() const {
  std::size_t total = 0;
  for (const auto& l : lines_) total += l.size() + 2;
  std::string out;
  out.reserve(total);
  for (const auto& l : lines_) {
    out += l;
    out += "\r\n";
  }
  return out;
}

}  // namespace kursolin
