#include "app/numberfield.h"

namespace kursolin::gui {

namespace {

// Longer digit strings could not be held in a long long; nobody types them into these fields.
constexpr int kMaxDigits = 15;

bool isWholeNumber(const QString& t) {
  int i = 0;
  if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) ++i;
  if (i == t.size()) return false;
  if (t.size() - i > kMaxDigits) return false;
  for (; i < t.size(); ++i) {
    if (t[i] < u'0' || t[i] > u'9') return false;
  }
  return true;
}

}  // namespace

NumberField::NumberField(const IntRange& range, QWidget* parent) : QSpinBox(parent) {
  setRange(range.min, range.max);
  setSingleStep(range.step);
  setValue(range.min);
  setAccelerated(true);
}

QValidator::State NumberField::validate(QString& input, int& /*pos*/) const {
  const QString t = input.trimmed();
  // Out-of-range numbers are acceptable while typing: they are brought into range afterwards,
  // which a plain spin box would refuse instead.
  if (isWholeNumber(t)) return QValidator::Acceptable;
  if (t.isEmpty() || t == u"-" || t == u"+") return QValidator::Intermediate;
  return QValidator::Invalid;
}

int NumberField::valueFromText(const QString& text) const {
  const QString t = text.trimmed();
  if (!isWholeNumber(t)) return minimum();
  const long long v = t.toLongLong();
  return v < minimum() ? minimum() : (v > maximum() ? maximum() : static_cast<int>(v));
}

void NumberField::fixup(QString& input) const {
  if (!isWholeNumber(input.trimmed())) input = textFromValue(minimum());
}

}  // namespace kursolin::gui
