#include "formats/coordtext.h"

namespace kursolin {

namespace {

const std::string q = "\"";

std::string labelTail() { return " " + q + " getr."; }
std::string failureTail(const Session& s) {
  return s.InputSeparatorText + " " + q + " getrennt Fehler!";
}
std::string messageHead(const Session& s) {
  return "Keine verwertbaren Informationen erkannt oder keine " + q + " " + s.InputSeparatorText +
         " " + q;
}

}  // namespace

std::string textGmsLabel(const Session& s) {
  return "Textdatei im Format Gr\xB0 Min\xB4 Sek" + q + " " + q + " " + s.InputSeparatorText +
         labelTail();
}
std::string textGmLabel(const Session& s) {
  return "Textdatei im Format Gr\xB0 Min\xB4 " + s.InputSeparatorText + labelTail();
}
std::string textDgLabel(const Session& s) {
  return "Textdatei im Dezimalgrad Format " + s.InputSeparatorText + labelTail();
}
std::string textMerLabel(const Session& s) {
  return "Textdatei im Mercator Format " + s.InputSeparatorText + labelTail();
}

std::string textGmsFailureCaption(const Session& s) {
  return "Koordinaten aus Textdatei im Format Gr\xB0 Min\xB4 Sek" + q + " " + q + " " +
         failureTail(s);
}
std::string textGmFailureCaption(const Session& s) {
  return "Koordinaten aus Textdatei im Format Gr\xB0 Min\xB4 " + q + " " + failureTail(s);
}
std::string textDgFailureCaption(const Session& s) {
  return "Koordinaten aus Textdatei im Dezimalgrad Format " + q + " " + failureTail(s);
}
std::string textMerFailureCaption(const Session& s) {
  return "Koordinaten aus Textdatei im Mercator Format " + q + " " + failureTail(s);
}

std::string textGmsMessage(const Session& s) {
  return messageHead(s) + " getrennte Textdatei im Format Gr\xB0 Min\xB4 Sek" + q;
}
std::string textGmMessage(const Session& s) {
  return messageHead(s) + " getrennte Textdatei im Format Gr\xB0 Min\xB4 ";
}
std::string textDgMessage(const Session& s) {
  return messageHead(s) + " getrennte Textdatei im Dezimalgrad Format";
}
std::string textMerMessage(const Session& s) {
  return messageHead(s) + " getrennte Textdatei im Mercator Format";
}

}  // namespace kursolin
