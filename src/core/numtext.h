#pragma once
// Number texts: files carry ".", the host may use ","; these utilities move texts between them.

#include <optional>
#include <string>
#include <string_view>

#include "core/session.h"

namespace kursolin {

/// s with its first "." replaced by the session's decimal separator.
std::string PZD(const Session& s, std::string text);
/// tryStrToFloat of PZD(text) without making the text: the number a field written with "."
/// stands for on this host.
std::optional<long double> tryPZDNumber(const Session& s, std::string_view text);
/// s with its first "." replaced by ",".
std::string PunktZuKomma(std::string text);
/// s with its first "," replaced by ".".
std::string KommaZuPunkt(std::string text);
/// Only the digits of s, in order.
std::string DelCharInNr(std::string_view text);
/// s with every character other than digits, "," and "." replaced by c; ends at the first NUL.
std::string ChangeCharInNr(std::string_view text, char c);
/// s unchanged when it holds only digits, "," and "."; otherwise "" after the user was asked
/// (whatever ShowErrors says) whether to abort.
std::string isDigit(Session& s, const std::string& text);

}  // namespace kursolin
