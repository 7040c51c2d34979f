#pragma once
// The number fields of the windows: whole numbers only, the arrows step by the field's increment,
// a typed value outside the range becomes the nearer bound, and a field left empty counts as
// the minimum.

#include <QSpinBox>

#include "core/ranges.h"

namespace kursolin::gui {

class NumberField : public QSpinBox {
  Q_OBJECT
 public:
  /// A field with the range, increment and (as start value) minimum of `range`.
  explicit NumberField(const IntRange& range, QWidget* parent = nullptr);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  int valueFromText(const QString& text) const override;
  void fixup(QString& input) const override;
};

}  // namespace kursolin::gui
