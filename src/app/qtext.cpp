#include "app/qtext.h"

#include <QList>

#include "core/cp1252.h"

namespace kursolin::gui {

QString toQString(std::string_view cp1252) {
  QString out;
  out.reserve(static_cast<qsizetype>(cp1252.size()));
  for (char c : cp1252) {
    // Every cp1252 byte maps into the Basic Multilingual Plane, so one QChar each.
    out.append(QChar(static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(c)))));
  }
  return out;
}

std::string fromQString(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  // toUcs4 joins surrogate pairs, so a character beyond the BMP becomes one '?', not two.
  for (char32_t cp : text.toUcs4()) out.push_back(unicodeToCp1252(cp));
  return out;
}

bool fitsCp1252(const QString& text) {
  for (char32_t cp : text.toUcs4()) {
    if (cp != U'?' && unicodeToCp1252(cp) == '?') return false;
  }
  return true;
}

QString promptText(std::string_view cp1252) {
  QString raw = toQString(cp1252);
  raw.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  raw.replace(QChar(u'\r'), QChar(u'\n'));
  return raw;
}

namespace {

// "*.txt;*.csv" (the Windows form) as "*.txt *.csv" (the Qt form), without empty entries.
QString qtPatterns(const QString& pattern) {
  QStringList parts = pattern.split(QChar(u';'), Qt::SkipEmptyParts);
  QStringList clean;
  for (QString& p : parts) {
    p = p.trimmed();
    if (!p.isEmpty()) clean.append(p);
  }
  return clean.join(QChar(u' '));
}

// "a b" and "a;b" and "a  b" name the same patterns.
QString normalisedPatterns(const QString& patterns) {
  QString s = patterns;
  s.replace(QChar(u';'), QChar(u' '));
  return s.simplified();
}

}  // namespace

QStringList toQtNameFilters(std::string_view filter) {
  QStringList result;
  if (filter.empty()) return result;
  const QStringList fields = toQString(filter).split(QChar(u'|'));
  for (qsizetype i = 0; i < fields.size(); i += 2) {
    const QString desc = fields[i].trimmed();
    QString patterns = i + 1 < fields.size() ? qtPatterns(fields[i + 1]) : QString();
    if (patterns.isEmpty()) patterns = QStringLiteral("*");
    if (desc.isEmpty()) {
      result.append(patterns);
      continue;
    }
    // Qt takes the last "(...)" of an entry as its patterns; keep the description when that
    // already names the same patterns, otherwise append ours so ours win.
    if (desc.endsWith(QChar(u')'))) {
      const qsizetype open = desc.lastIndexOf(QChar(u'('));
      if (open >= 0) {
        const QString inner = desc.mid(open + 1, desc.size() - open - 2);
        if (normalisedPatterns(inner) == normalisedPatterns(patterns)) {
          // Same patterns; Qt needs them separated by blanks, not by ";".
          result.append(inner == patterns ? desc : desc.left(open + 1) + patterns + QChar(u')'));
          continue;
        }
      }
    }
    result.append(desc + QStringLiteral(" (") + patterns + QChar(u')'));
  }
  return result;
}

}  // namespace kursolin::gui
