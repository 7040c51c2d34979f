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

inline namespace literals {
/// "Prüfsumme"_cp: a UTF-8 source literal as cp1252 bytes.
inline std::string operator""_cp(const char* s, std::size_t n) {
  return utf8ToCp1252(std::string_view(s, n));
}
}  // namespace literals

}  // namespace kursolin
