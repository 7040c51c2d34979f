#pragma once
// Number texts: files carry ".", the host may use ","; these utilities move texts between them.

#include <optional>
#include <string>
#include <string_view>

namespace kursolin {

/// How the host writes numbers and times. Its decimal separator decides which texts the
/// platform's float parser accepts; a text written with the other separator is no number there.
struct NumberStyle {
  char DecimalSep = '.';
  char TimeSep = ':';
};

/// s with its first "." replaced by the style's decimal separator.
std::string PZD(const NumberStyle& st, std::string text);
/// tryStrToFloat of PZD(text) without making the text: the number a field written with "."
/// stands for on this host.
std::optional<long double> tryPZDNumber(const NumberStyle& st, std::string_view text);
/// s with its first "." replaced by ",".
std::string PunktZuKomma(std::string text);
/// s with its first "," replaced by ".".
std::string KommaZuPunkt(std::string text);
/// Only the digits of s, in order.
std::string DelCharInNr(std::string_view text);
/// s with every character other than digits, "," and "." replaced by c; ends at the first NUL.
std::string ChangeCharInNr(std::string_view text, char c);
/// The first character of the text that is no digit, "," or "." (nullopt: there is none).
std::optional<char> firstNonNumberChar(std::string_view text);
/// The question of the digit filter isDigit about the character ch.
std::string invalidCharacterText(char ch);

}  // namespace kursolin
