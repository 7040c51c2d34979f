#include "core/numtext.h"

#include "core/cp1252.h"
#include "core/host.h"
#include "core/textutil.h"

namespace kursolin {

namespace {
bool isNumberChar(char c) { return (c >= '0' && c <= '9') || c == ',' || c == '.'; }
}  // namespace

std::string PZD(const NumberStyle& st, std::string text) {
  return replaceFirst(std::move(text), '.', st.DecimalSep);
}

std::optional<long double> tryPZDNumber(const NumberStyle& st, std::string_view text) {
  char buf[64];
  if (text.size() > sizeof buf) return tryStrToFloat(PZD(st, std::string(text)), st.DecimalSep);
  text.copy(buf, text.size());
  std::string_view t(buf, text.size());
  if (const auto dot = t.find('.'); dot != std::string_view::npos) buf[dot] = st.DecimalSep;
  return tryStrToFloat(t, st.DecimalSep);
}

std::string PunktZuKomma(std::string text) { return replaceFirst(std::move(text), '.', ','); }

std::string KommaZuPunkt(std::string text) { return replaceFirst(std::move(text), ',', '.'); }

std::string DelCharInNr(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c >= '0' && c <= '9') out.push_back(c);
  }
  return out;
}

std::string ChangeCharInNr(std::string_view text, char c) {
  const auto nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::string out(text);
  for (char& ch : out) {
    if (!isNumberChar(ch)) ch = c;
  }
  return out;
}

std::optional<char> firstNonNumberChar(std::string_view text) {
  for (char ch : text) {
    if (!isNumberChar(ch)) return ch;
  }
  return std::nullopt;
}

std::string invalidCharacterText(char ch) {
  std::string msg = "Ein unzulässiges Zeichen "_cp;
  msg += '"';
  msg += ' ';
  msg += ch;
  msg += ' ';
  msg += '"';
  msg += " bei der Auswertung von Zahlenwerten erkannt"_cp;
  msg += '\r';
  msg +=
      " Auswertung abbrechen ? Oder Zeichen ignorieren dann wird der Zahlenwert auf 0 gesetzt !"_cp;
  return msg;
}

}  // namespace kursolin
