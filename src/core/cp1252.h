#pragma once
// Windows-1252 is the code page of every file and message this program handles. Text travels
// through the core as std::string holding cp1252 bytes; these helpers cross to UTF-8 at the edges
// (Qt widgets, terminal output) and turn the UTF-8 literals of the source into cp1252.

#include <cstddef>
#include <string>
#include <string_view>

namespace kursolin {

/// The Unicode code point of one cp1252 byte (undefined bytes map to the C1 control of that value).
char32_t cp1252ToUnicode(unsigned char byte);

/// The cp1252 byte for a code point, or '?' when cp1252 has no such character.
char unicodeToCp1252(char32_t cp);

/// UTF-8 text converted to cp1252 bytes; characters outside cp1252 become '?'.
std::string utf8ToCp1252(std::string_view utf8);

/// The bytes of a text file as cp1252: a file that starts with a UTF-8, UTF-16 LE or UTF-16 BE
/// byte-order mark is decoded without its mark (characters outside cp1252 become '?'); any other
/// file is taken as cp1252 already and returned unchanged.
std::string decodeTextFile(std::string bytes);

/// cp1252 bytes converted to UTF-8.
std::string cp1252ToUtf8(std::string_view cp1252);

/// A file path held as cp1252 (as every text of the session) in the file system's encoding
/// (UTF-8), ready for open() and stat().
inline std::string nativePath(std::string_view cp1252Path) { return cp1252ToUtf8(cp1252Path); }

/// A file system path (UTF-8 bytes, e.g. from the command line) as cp1252 for the session;
/// nullopt-like empty result is never produced, characters outside cp1252 become '?'.
inline std::string sessionPath(std::string_view nativeUtf8) { return utf8ToCp1252(nativeUtf8); }

namespace detail {

// 0x80..0x9F are the only bytes where cp1252 differs from Latin-1.
inline constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char toCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kCp1252High[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

/// Converts UTF-8 to cp1252 into out (room for in.size() bytes); returns the bytes written.
/// Stray or cut-off sequences and characters outside cp1252 become '?'.
constexpr std::size_t utf8ToCp1252Into(std::string_view in, char* out) {
  std::size_t n = 0, i = 0;
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
      out[n++] = '?';
      ++i;
      continue;
    }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= in.size() || (static_cast<unsigned char>(in[i + k]) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
    }
    if (!ok) {
      out[n++] = '?';
      ++i;
      continue;
    }
    out[n++] = toCp1252(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return n;
}

// A source literal converted while compiling, so a message costs no conversion when it is made.
template <std::size_t N>
struct Cp1252Literal {
  char bytes[N] = {};
  std::size_t size = 0;
  consteval Cp1252Literal(const char (&utf8)[N]) {
    size = utf8ToCp1252Into(std::string_view(utf8, N - 1), bytes);
  }
};

}  // namespace detail

inline namespace literals {
/// "Prüfsumme"_cp: a UTF-8 source literal as cp1252 bytes.
template <detail::Cp1252Literal L>
std::string operator""_cp() {
  return std::string(L.bytes, L.size);
}
}  // namespace literals

}  // namespace kursolin
