#pragma once
// The fuzz target of the manual's rich text reader, shared by the libFuzzer entry and the replay
// of its saved corpus (tests/data/fuzz/rtf/): any bytes read, written back and read again give
// the same text. Control characters have no form in rich text: the reader drops them, and so does
// the writer when a plain text file held some.

#include <QByteArray>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/rtf.h"

namespace kursolin::test {

inline void fuzzRtf(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QTextDocument doc;
  gui::loadRichOrPlainText(bytes, doc);
  QTextDocument again;
  gui::readRtf(gui::writeRtf(doc), again);
  QString expected = doc.toPlainText();
  expected.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n'; });
  if (again.toPlainText() != expected) {
    std::fprintf(stderr, "rtf fuzz target: the text changed on writing and reading it again\n");
    std::abort();
  }
}

}  // namespace kursolin::test
