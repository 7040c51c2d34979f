#include "core/cp1252.h"

namespace kursolin {
namespace {

using detail::kCp1252High;

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

char32_t cp1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kCp1252High[byte - 0x80];
  return byte;
}

char unicodeToCp1252(char32_t cp) { return detail::toCp1252(cp); }

std::string utf8ToCp1252(std::string_view in) {
  std::string out(in.size(), '\0');
  out.resize(detail::utf8ToCp1252Into(in, out.data()));
  return out;
}

std::string cp1252ToUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size() + in.size() / 8);
  for (char ch : in) appendUtf8(out, cp1252ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

namespace {

// UTF-16 code units to cp1252; a lone surrogate or a trailing odd byte becomes '?'.
std::string utf16ToCp1252(std::string_view in, bool bigEndian) {
  std::string out;
  out.reserve(in.size() / 2 + 1);
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(in[i]);
    const auto b = static_cast<unsigned char>(in[i + 1]);
    return bigEndian ? (char32_t{a} << 8 | b) : (char32_t{b} << 8 | a);
  };
  std::size_t i = 0;
  while (i + 1 < in.size()) {
    char32_t u = unit(i);
    i += 2;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < in.size()) {
      const char32_t low = unit(i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        i += 2;
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
      }
    }
    out.push_back((u >= 0xD800 && u <= 0xDFFF) ? '?' : unicodeToCp1252(u));
  }
  if (i < in.size()) out.push_back('?');
  return out;
}

}  // namespace

std::string decodeTextFile(std::string bytes) {
  const std::string_view b(bytes);
  if (b.substr(0, 3) == "\xEF\xBB\xBF") return utf8ToCp1252(b.substr(3));
  if (b.substr(0, 2) == "\xFF\xFE") return utf16ToCp1252(b.substr(2), false);
  if (b.substr(0, 2) == "\xFE\xFF") return utf16ToCp1252(b.substr(2), true);
  return bytes;
}

}  // namespace kursolin
