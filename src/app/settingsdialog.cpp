#include "app/settingsdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>
#include <set>

#include "app/numberfield.h"
#include "app/qtext.h"
#include "core/cp1252.h"
#include "core/ranges.h"
#include "formats/registry.h"

namespace kursolin::gui {

namespace {

// The altitude correction's page stands between the formats' pages of these orders.
constexpr int kAltitudePageOrder = 40;

// A place-name box that reports the release of a key and of a mouse button after Qt has
// toggled it, so the warning sees the state the user just gave it. A key counts only when it
// went down on the box: the Enter or Escape that dismisses the warning comes up on the box too,
// and would open the warning again and again. The Tab key that brought the focus here counts.
class ShowOrtCheckBox : public QCheckBox {
 public:
  ShowOrtCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}
  std::function<void()> keyUp;
  std::function<void(bool left)> mouseUp;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (!e->isAutoRepeat()) downHere_.insert(e->key());
    QCheckBox::keyPressEvent(e);
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    QCheckBox::keyReleaseEvent(e);
    if (e->isAutoRepeat() || downHere_.erase(e->key()) == 0) return;
    if (keyUp) keyUp();
  }
  void focusInEvent(QFocusEvent* e) override {
    downHere_.clear();
    if (e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason) {
      downHere_ = {Qt::Key_Tab, Qt::Key_Backtab};
    }
    QCheckBox::focusInEvent(e);
  }
  void focusOutEvent(QFocusEvent* e) override {
    downHere_.clear();
    QCheckBox::focusOutEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    // Only a release that completes a click on the box counts.
    const bool onBox = hitButton(e->position().toPoint());
    QCheckBox::mouseReleaseEvent(e);
    if (onBox && mouseUp) mouseUp(e->button() == Qt::LeftButton);
  }

 private:
  std::set<int> downHere_;  // keys pressed on the box and not yet released
};

QLabel* heading(const std::string& cp1252, QWidget* parent) {
  auto* l = new QLabel(toQString(cp1252), parent);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  return l;
}

// Sets a radio button's state without signals; a chosen button of an exclusive group can only
// be cleared with its exclusivity lifted for the moment.
void setRadio(QRadioButton* r, bool on) {
  if (r->isChecked() == on) return;
  const QSignalBlocker block(r);
  if (on) {
    r->setChecked(true);
  } else {
    r->setAutoExclusive(false);
    r->setChecked(false);
    r->setAutoExclusive(true);
  }
}

void setSpin(QSpinBox* spin, int value) {
  if (spin->value() == value) return;
  const QSignalBlocker block(spin);
  spin->setValue(value);
}

void setBox(QCheckBox* box, bool on) {
  if (box->isChecked() == on) return;
  const QSignalBlocker block(box);
  box->setChecked(on);
}

}  // namespace

SettingsDialog::SettingsDialog(Session& s, QWidget* parent) : QDialog(parent), s_(s), model_(s) {
  setObjectName(QStringLiteral("Einstellen"));
  setWindowTitle(QStringLiteral("Kursolin - Einstellungen"));
  setModal(true);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl"));
  pages_->setUsesScrollButtons(false);  // every tab stays in sight
  // The formats' pages in their order, the altitude correction of NMEA logs among them.
  bool altitude = false;
  int separatorPages = 0;
  for (const OptionPage* page : model_.pages()) {
    if (!altitude && page->order > kAltitudePageOrder) {
      pages_->addTab(buildAltitudePage(), toQString(" NMEA Höhenkorrektur"_cp));
      altitude = true;
    }
    const bool separators = optionWithRole(*page, FieldRole::Separator) && separatorPages < 2;
    QWidget* w = separators
                     ? buildSeparatorPage(*page, separatorPages++ == 0 ? SeparatorSide::Input
                                                                       : SeparatorSide::Output)
                     : buildFieldsPage(*page);
    pages_->addTab(w, toQString(page->title));
  }
  if (!altitude) pages_->addTab(buildAltitudePage(), toQString(" NMEA Höhenkorrektur"_cp));
  pages_->setCurrentIndex(0);

  okButton_ = new QPushButton(QStringLiteral("OK"), this);
  okButton_->setObjectName(QStringLiteral("OkBtn"));
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okButton_);
  buttons->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  render();
}

QWidget* SettingsDialog::buildSeparatorPage(const OptionPage& option, SeparatorSide side) {
  const bool in = side == SeparatorSide::Input;
  // The controls are named after the separator's field ("TE": TEKommaRadioButton, ...).
  QString prefix;
  for (const OptionFieldRef& f : fieldsOn(option)) {
    if (f.field->role == FieldRole::Separator) prefix = QString::fromLatin1(f.field->name);
  }
  SeparatorPage& p = separatorPages_[in ? 0 : 1];
  auto* page = new QWidget;

  auto* order = new QGroupBox(toQString(" Reihenfolge der Koordinaten "_cp), page);
  p.latFirst = new QRadioButton(toQString("erst nördliche Breite"_cp), order);
  p.latFirst->setObjectName(QStringLiteral("%1_NO_RadioButton").arg(prefix));
  p.lonFirst = new QRadioButton(toQString("erst östliche Länge"_cp), order);
  p.lonFirst->setObjectName(QStringLiteral("%1_ON_RadioButton").arg(prefix));
  auto* orderLayout = new QVBoxLayout(order);
  orderLayout->addWidget(p.latFirst);
  orderLayout->addWidget(p.lonFirst);
  orderLayout->addStretch(1);
  connect(p.latFirst, &QRadioButton::clicked, this, [this, side] {
    model_.LatFirstClick(side, true);
    render();
  });
  connect(p.lonFirst, &QRadioButton::clicked, this, [this, side] {
    model_.LatFirstClick(side, false);
    render();
  });

  auto* group = new QGroupBox(toQString(" Koordinaten - Trennzeichen "_cp), page);
  static const char* const kNames[] = {"KommaRadioButton",     "SemikolonRadioButton",
                                       "StrichRadioButton",    "PunktRadioButton",
                                       "TabulatorRadioButton", "FreeRadioButton"};
  auto* groupLayout = new QGridLayout(group);
  for (int i = 0; i < 6; ++i) {
    const auto choice = static_cast<SeparatorChoice>(i);
    auto* r = new QRadioButton(toQString(separatorChoiceCaption(choice)), group);
    r->setObjectName(QStringLiteral("%1%2").arg(prefix, kNames[i]));
    p.choices[i] = r;
    groupLayout->addWidget(r, i, 0);
    connect(r, &QRadioButton::clicked, this, [this, side, choice] {
      model_.SeparatorClick(side, choice);
      render();
    });
  }
  p.freeEdit = new QLineEdit(group);
  p.freeEdit->setObjectName(QStringLiteral("%1FreeEdit").arg(prefix));
  p.freeEdit->setMaxLength(1);
  p.freeEdit->setFixedWidth(p.freeEdit->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 3);
  p.freeEdit->setAlignment(Qt::AlignCenter);
  groupLayout->addWidget(p.freeEdit, 5, 1, Qt::AlignLeft);
  groupLayout->setColumnStretch(2, 1);
  connect(p.freeEdit, &QLineEdit::textEdited, this,
          [this, side](const QString& text) { model_.FreeEditChange(side, fromQString(text)); });

  auto* row = new QHBoxLayout;
  row->addWidget(order, 1);
  row->addWidget(group, 1);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(option.heading, page));
  layout->addLayout(row);
  layout->addStretch(1);
  return page;
}

QSpinBox* SettingsDialog::numberField(const OptionInfo& option, const OptionField& field) {
  auto* spin = new NumberField(option.range);
  spin->setObjectName(QString::fromLatin1(field.name));
  spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 30);
  numberFields_.emplace_back(spin, &option);
  connect(spin, &QSpinBox::valueChanged, this, [this, &option](int v) {
    model_.NumberFieldChange(option, v);
    render();
  });
  return spin;
}

QCheckBox* SettingsDialog::checkBox(const OptionInfo& option, const OptionField& field) {
  QCheckBox* box = nullptr;
  if (*option.fixedHint) {
    // Shown for what it says, never changed.
    box = new QCheckBox(toQString(field.label));
    box->setEnabled(false);
    box->setToolTip(toQString(option.fixedHint));
  } else {
    auto* b = new ShowOrtCheckBox(toQString(field.label), nullptr);
    connect(b, &QCheckBox::toggled, this,
            [this, &option](bool on) { model_.BoxChange(option, on); });
    b->keyUp = [this, &option] { model_.BoxKeyUp(option); };
    b->mouseUp = [this, &option](bool left) { model_.BoxMouseUp(option, left); };
    box = b;
  }
  box->setObjectName(QString::fromLatin1(field.name));
  checkBoxes_.emplace_back(box, &option);
  return box;
}

QWidget* SettingsDialog::formField(const OptionInfo& option, const OptionField& field) {
  if (option.type == OptionType::Integer) {
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(field.name));
    for (const std::string& name : option.choices()) combo->addItem(toQString(name));
    choiceFields_.emplace_back(combo, &option);
    connect(combo, &QComboBox::activated, this, [this, &option](int index) {
      model_.ChoiceChange(option, index);
      render();
    });
    return combo;
  }
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(field.name));
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
  textFields_.emplace_back(edit, &option);
  connect(edit, &QLineEdit::textEdited, this, [this, &option](const QString& text) {
    model_.TextFieldChange(option, fromQString(text));
  });
  if (field.role != FieldRole::File) return edit;
  auto* row = new QWidget;
  auto* rowLayout = new QHBoxLayout(row);
  rowLayout->setContentsMargins(0, 0, 0, 0);
  rowLayout->addWidget(edit, 1);
  auto* browse = new QPushButton(toQString("\x85"), row);
  browse->setObjectName(QString::fromLatin1(field.name) + QStringLiteral("Button"));
  browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("MMM")) + 12);
  browse->setToolTip(toQString(std::string(field.label) + " ausw\xE4hlen"));
  rowLayout->addWidget(browse);
  connect(browse, &QPushButton::clicked, this, [this, &option, &field] {
    model_.BrowseFile(option, field);
    render();
  });
  return row;
}

QWidget* SettingsDialog::buildFieldsPage(const OptionPage& option) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  if (*option.heading) layout->addWidget(heading(option.heading, page));
  // Fields of one kind stand together: number fields with the text after them in a grid, those
  // with a text before and after in a row each, check boxes one under the other.
  // Lists and text fields stand in a form, their labels before them.
  enum class Kind { None, Grid, Row, Box, Form };
  Kind last = Kind::None;
  QGridLayout* grid = nullptr;
  int gridRow = 0;
  QGridLayout* form = nullptr;
  int formRow = 0;
  for (const OptionFieldRef& f : fieldsOn(option)) {
    const bool number = f.option->type == OptionType::Integer;
    const bool listOrText = (number && f.option->choices) || f.option->type == OptionType::Text;
    const Kind kind = listOrText ? Kind::Form
                      : !number  ? Kind::Box
                                 : (*f.field->tail ? Kind::Row : Kind::Grid);
    if (kind != last) layout->addSpacing(8);
    switch (kind) {
      case Kind::Grid:
        if (last != Kind::Grid) {
          grid = new QGridLayout;
          gridRow = 0;
          layout->addLayout(grid);
        }
        grid->addWidget(numberField(*f.option, *f.field), gridRow, 0);
        grid->addWidget(new QLabel(toQString(f.field->label), page), gridRow, 1);
        grid->setColumnStretch(2, 1);
        ++gridRow;
        break;
      case Kind::Row: {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(toQString(f.field->label), page));
        row->addWidget(numberField(*f.option, *f.field));
        row->addWidget(new QLabel(toQString(f.field->tail), page));
        row->addStretch(1);
        layout->addLayout(row);
        break;
      }
      case Kind::Box:
        layout->addWidget(checkBox(*f.option, *f.field));
        break;
      case Kind::Form:
        if (last != Kind::Form) {
          form = new QGridLayout;
          formRow = 0;
          layout->addLayout(form);
        }
        form->addWidget(new QLabel(toQString(f.field->label), page), formRow, 0);
        form->addWidget(formField(*f.option, *f.field), formRow, 1);
        form->setColumnStretch(1, 1);
        ++formRow;
        break;
      case Kind::None:
        break;
    }
    last = kind;
  }
  layout->addStretch(1);
  return page;
}

QWidget* SettingsDialog::buildAltitudePage() {
  auto* page = new QWidget;
  hKorEdit_ = new NumberField(kHKorEditRange, page);
  hKorEdit_->setObjectName(QStringLiteral("HKorEdit"));
  connect(hKorEdit_, &QSpinBox::valueChanged, this, [this](int v) {
    model_.HKorEditChange(v);
    render();
  });
  hoeheNull_ = new QCheckBox(
      toQString(
          "Wenn die Höhe nach der Höhenkorrektur kleiner 0 ist, die Höhe gleich 0 anzeigen"_cp),
      page);
  hoeheNull_->setObjectName(QStringLiteral("HoeheNull"));
  connect(hoeheNull_, &QCheckBox::toggled, this, [this](bool on) { model_.HoeheNullClick(on); });

  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(
      toQString("Wird vom GPS-Empfänger kein Höhenkorrekturwert geliefert diesen Wert "_cp), page));
  row->addWidget(hKorEdit_);
  row->addWidget(new QLabel(toQString("in Metern verwenden"_cp), page));
  row->addStretch(1);

  auto* layout = new QVBoxLayout(page);
  layout->addSpacing(8);
  layout->addLayout(row);
  layout->addSpacing(8);
  layout->addWidget(hoeheNull_);
  layout->addStretch(1);
  return page;
}

void SettingsDialog::render() {
  for (SeparatorSide side : {SeparatorSide::Input, SeparatorSide::Output}) {
    SeparatorPage& p = separatorPages_[side == SeparatorSide::Input ? 0 : 1];
    const bool latFirst = model_.latFirst(side);
    setRadio(latFirst ? p.latFirst : p.lonFirst, true);
    const SeparatorChoice chosen = model_.chosen(side);
    for (int i = 0; i < 6; ++i) {
      if (static_cast<SeparatorChoice>(i) == chosen) setRadio(p.choices[i], true);
    }
    for (int i = 0; i < 6; ++i) {
      if (static_cast<SeparatorChoice>(i) != chosen) setRadio(p.choices[i], false);
    }
    const QString free = toQString(model_.freeText(side));
    if (p.freeEdit->text() != free.left(1)) {
      const QSignalBlocker block(p.freeEdit);
      p.freeEdit->setText(free);
    }
  }
  for (const auto& [spin, option] : numberFields_) setSpin(spin, model_.fieldValue(*option));
  for (const auto& [combo, option] : choiceFields_) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(static_cast<int>(model_.fieldValue(*option)));
  }
  setSpin(hKorEdit_, s_.opt.HKorEdit);
  setBox(hoeheNull_, s_.opt.HoeheNull);
  for (const auto& [box, option] : checkBoxes_) setBox(box, model_.boxChecked(*option));
  for (const auto& [combo, option] : choiceFields_) {
    if (combo->currentIndex() != model_.fieldValue(*option)) {
      const QSignalBlocker block(combo);
      combo->setCurrentIndex(model_.fieldValue(*option));
    }
  }
  for (const auto& [edit, option] : textFields_) {
    const QString text = toQString(model_.fieldText(*option));
    if (edit->text() != text) {
      const QSignalBlocker block(edit);
      edit->setText(text);
    }
  }
}

void SettingsDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    model_.FormShow();
    render();
  }
  QDialog::showEvent(event);
}

}  // namespace kursolin::gui
