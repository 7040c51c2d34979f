#include "core/lines.h"

#include <cstring>

namespace kursolin {

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

namespace {

// Number of lines splitLines would give, so the offsets are allocated once: every LF ends a
// line (also the LF of a CR LF), so does every CR without an LF after it, and so does the end of
// a text without a final break. Searched in bulk, it costs little beside the split.
std::size_t countLines(std::string_view text) {
  const char* const first = text.data();
  const char* const end = first + text.size();
  std::size_t count = 0;
  for (const char* q = first; q < end; ++q) {
    q = static_cast<const char*>(std::memchr(q, '\n', static_cast<std::size_t>(end - q)));
    if (!q) break;
    ++count;
  }
  for (const char* q = first; q < end; ++q) {
    q = static_cast<const char*>(std::memchr(q, '\r', static_cast<std::size_t>(end - q)));
    if (!q) break;
    if (q + 1 == end || q[1] != '\n') ++count;
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') ++count;
  return count;
}

}  // namespace

std::string TextLines::at(long long index) const {
  std::string out;
  readInto(index, out);
  return out;
}

void TextLines::readInto(long long index, std::string& into) const {
  const std::string_view l = full(index);
  into.assign(l.substr(0, kMaxLineRead));
}

std::string_view TextLines::full(long long index) const {
  if (index < 0 || index >= static_cast<long long>(ends_.size())) return {};
  const auto i = static_cast<std::size_t>(index);
  const std::size_t b = begin(i);
  return std::string_view(bytes_).substr(b, ends_[i] - b);
}

void TextLines::add(std::string_view line) {
  bytes_.append(line);
  ends_.push_back(bytes_.size());
  ++revision_;
}

void TextLines::clear() {
  // Release the memory too: a pane emptied before a new file keeps nothing of the old one.
  std::string().swap(bytes_);
  std::vector<std::size_t>().swap(ends_);
  ++revision_;
}

void TextLines::setText(std::string_view text) { adoptText(std::string(text)); }

void TextLines::setText(std::string_view text, const std::function<void(long long)>& progress) {
  adoptText(std::string(text), progress);
}

void TextLines::adoptText(std::string&& text, const std::function<void(long long)>& progress) {
  std::vector<std::size_t> ends;
  ends.reserve(countLines(text));
  // The line ends are squeezed out in place: the lines move down over them, so the text's own
  // buffer becomes the store and no second copy of a large log is ever held.
  char* p = text.data();
  const std::size_t n = text.size();
  // The next CR and the next LF, each searched in bulk and again only once passed.
  std::size_t nextCr = 0, nextLf = 0;
  const auto find = [&](char c, std::size_t from) {
    const void* hit = std::memchr(p + from, c, n - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - p) : n;
  };
  nextCr = find('\r', 0);
  nextLf = find('\n', 0);
  std::size_t read = 0, write = 0;
  while (read < n) {
    if (nextCr < read) nextCr = find('\r', read);
    if (nextLf < read) nextLf = find('\n', read);
    const std::size_t e = nextCr < nextLf ? nextCr : nextLf;
    const std::size_t len = e - read;
    if (write != read && len > 0) std::memmove(p + write, p + read, len);
    write += len;
    ends.push_back(write);
    if (progress && (ends.size() & 4095) == 0) progress(static_cast<long long>(ends.size()));
    read = e;
    if (read < n) read += (p[read] == '\r' && read + 1 < n && p[read + 1] == '\n') ? 2 : 1;
  }
  text.resize(write);
  bytes_ = std::move(text);
  ends_ = std::move(ends);
  ++revision_;
}

void TextLines::replaceLine(long long index, std::string_view text) {
  if (index < 0 || index >= static_cast<long long>(ends_.size())) return;
  const auto i = static_cast<std::size_t>(index);
  const std::size_t b = begin(i), oldSize = ends_[i] - b;
  bytes_.replace(b, oldSize, text);
  // The lines after it move by the difference; offsets wrap consistently when it shrinks.
  const std::size_t delta = text.size() - oldSize;
  for (std::size_t k = i; k < ends_.size(); ++k) ends_[k] += delta;
  ++revision_;
}

void TextLines::assign(const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const auto& l : lines) total += l.size();
  std::string bytes;
  bytes.reserve(total);
  std::vector<std::size_t> ends;
  ends.reserve(lines.size());
  for (const auto& l : lines) {
    bytes += l;
    ends.push_back(bytes.size());
  }
  bytes_ = std::move(bytes);
  ends_ = std::move(ends);
  ++revision_;
}

std::string TextLines::text() const {
  std::string out;
  out.reserve(bytes_.size() + 2 * ends_.size());
  std::size_t b = 0;
  for (std::size_t e : ends_) {
    out.append(bytes_, b, e - b);
    out += "\r\n";
    b = e;
  }
  return out;
}

std::vector<std::string> TextLines::lines() const {
  std::vector<std::string> out;
  out.reserve(ends_.size());
  std::size_t b = 0;
  for (std::size_t e : ends_) {
    out.emplace_back(bytes_, b, e - b);
    b = e;
  }
  return out;
}

}  // namespace kursolin
