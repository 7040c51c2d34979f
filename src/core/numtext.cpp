#include "core/numtext.h"

#include "core/cp1252.h"
#include "core/prompt.h"
#include "core/textutil.h"

namespace kursolin {

namespace {
bool isNumberChar(char c) { return (c >= '0' && c <= '9') || c == ',' || c == '.'; }
}  // namespace

std::string PZD(const Session& s, std::string text) {
  return replaceFirst(std::move(text), '.', s.DecimalSep);
}

std::optional<long double> tryPZDNumber(const Session& s, std::string_view text) {
  char buf[64];
  if (text.size() > sizeof buf) return tryStrToFloat(PZD(s, std::string(text)), s.DecimalSep);
  text.copy(buf, text.size());
  std::string_view t(buf, text.size());
  if (const auto dot = t.find('.'); dot != std::string_view::npos) buf[dot] = s.DecimalSep;
  return tryStrToFloat(t, s.DecimalSep);
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

std::string isDigit(Session& s, const std::string& text) {
  for (char ch : text) {
    if (isNumberChar(ch)) continue;
    std::string msg = "Ein unzulässiges Zeichen "_cp;
    msg += '"';
    msg += ' ';
    msg += ch;
    msg += ' ';
    msg += '"';
    msg += " bei der Auswertung von Zahlenwerten erkannt"_cp;
    msg += kCR;
    msg += " Auswertung abbrechen ? Oder Zeichen ignorieren dann wird der Zahlenwert auf 0 gesetzt !"_cp;
    abortIgnorePrompt(s, msg);
    return {};
  }
  return text;
}

}  // namespace kursolin
