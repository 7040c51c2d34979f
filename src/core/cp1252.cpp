#include "core/cp1252.h"

namespace kursolin {
namespace {

// 0x80..0x9F are the only bytes where cp1252 differs from Latin-1.
constexpr char32_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

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
  if (byte >= 0x80 && byte <= 0x9F) return kHighTable[byte - 0x80];
  return byte;
}

char unicodeToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHighTable[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

std::string utf8ToCp1252(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    const auto c = static_cast<unsigned char>(in[i]);
    int extra = 0;
    char32_t cp = 0;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      out.push_back('?');  // stray continuation or invalid lead byte
      ++i;
      continue;
    }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= in.size()) {
        ok = false;
        break;
      }
      const auto cc = static_cast<unsigned char>(in[i + k]);
      if ((cc & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(unicodeToCp1252(cp));
    i += extra + 1;
  }
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
