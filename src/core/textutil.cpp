#include "core/textutil.h"

#include <algorithm>

namespace kursolin {

int pos(std::string_view what, std::string_view s) {
  if (what.empty()) return 0;
  const auto p = s.find(what);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

int pos(char c, std::string_view s) {
  const auto p = s.find(c);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string_view copyView(std::string_view s, long long index, long long count) {
  if (index < 1) {
    count += index - 1;
    index = 1;
  }
  const long long len = static_cast<long long>(s.size());
  if (count <= 0 || index > len) return {};
  const long long n = std::min(count, len - index + 1);
  return s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(n));
}

std::string copy(std::string_view s, long long index, long long count) {
  return std::string(copyView(s, index, count));
}

int countChar(std::string_view s, char c) {
  return static_cast<int>(std::count(s.begin(), s.end(), c));
}

std::vector<std::string> splitAt(std::string_view s, char separator) {
  std::vector<std::string> pieces;
  std::size_t from = 0;
  while (true) {
    const auto at = s.find(separator, from);
    if (at == std::string_view::npos) {
      pieces.emplace_back(s.substr(from));
      return pieces;
    }
    pieces.emplace_back(s.substr(from, at - from));
    from = at + 1;
  }
}

std::string replaceFirst(std::string s, char from, char to) {
  const auto p = s.find(from);
  if (p != std::string::npos) s[p] = to;
  return s;
}

bool sortsAfter(std::string_view s, char c) {
  // Byte comparison as unsigned characters, like the platform's string compare.
  const std::string_view one(&c, 1);
  const auto n = std::min(s.size(), one.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto a = static_cast<unsigned char>(s[i]);
    const auto b = static_cast<unsigned char>(one[i]);
    if (a != b) return a > b;
  }
  return s.size() > one.size();
}

}  // namespace kursolin
