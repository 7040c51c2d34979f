#include "app/settingsdialog.h"

#include <QCheckBox>
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

namespace kursolin::gui {

namespace {

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
  pages_->addTab(buildSeparatorPage(SeparatorSide::Input),
                 toQString(" Koordinaten - Texteingabe "_cp));
  pages_->addTab(buildSeparatorPage(SeparatorSide::Output),
                 toQString(" Koordinaten - Textausgabe "_cp));
  pages_->addTab(buildSplitPage(), toQString(" Datei Splitting "_cp));
  pages_->addTab(buildAltitudePage(), toQString(" NMEA Höhenkorrektur"_cp));
  pages_->addTab(buildNavigonPage(), toQString("Navigon Mobile Navigator"_cp));
  pages_->addTab(buildTomTomPage(), toQString("TomTom"_cp));
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

QWidget* SettingsDialog::buildSeparatorPage(SeparatorSide side) {
  const bool in = side == SeparatorSide::Input;
  const char* prefix = in ? "TE" : "TA";
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
  layout->addWidget(heading(in ? "Vorgaben zum Einlesen von Koordinaten aus einer Textdatei"_cp
                               : "Vorgaben um Koordinaten in eine Textdatei auszugeben"_cp,
                            page));
  layout->addLayout(row);
  layout->addStretch(1);
  return page;
}

QSpinBox* SettingsDialog::splitSpin(SplitField field, const char* name) {
  auto* spin = new NumberField(kSplitMaxRange);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 30);
  splitSpins_[static_cast<int>(field)] = spin;
  connect(spin, &QSpinBox::valueChanged, this, [this, field](int v) {
    model_.SplitFieldChange(field, v);
    render();
  });
  return spin;
}

QWidget* SettingsDialog::buildSplitPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout;
  struct Row {
    SplitField field;
    const char* name;
    std::string label;
  };
  const Row rows[] = {
      {SplitField::MpMNEdit, "MpMNEdit", "Navigon Routendateien alle Versionen"_cp},
      {SplitField::MpTTEdit, "MpTTEdit", "TomTom Routendateien"_cp},
      {SplitField::MpMTPEdit, "MpMTPEdit",
       "Tourenplanner BCR - Dateien ( Map+Guide basierend )  "_cp},
      {SplitField::MpFalkEdit, "MpFalkEdit", "Falk Previousdestination Datei"_cp},
  };
  int r = 0;
  for (const Row& row : rows) {
    grid->addWidget(splitSpin(row.field, row.name), r, 0);
    grid->addWidget(new QLabel(toQString(row.label), page), r, 1);
    ++r;
  }
  grid->setColumnStretch(2, 1);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(
      heading("Angeben nach wieviel Zeilen Ausgabedateien gesplittet werden"_cp, page));
  layout->addSpacing(8);
  layout->addLayout(grid);
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

QCheckBox* SettingsDialog::showOrtBox(ShowOrtBox box, const char* name, const char* caption) {
  auto* b = new ShowOrtCheckBox(toQString(utf8ToCp1252(caption)), nullptr);
  b->setObjectName(QString::fromLatin1(name));
  connect(b, &QCheckBox::toggled, this, [this, box](bool on) { model_.ShowOrtChange(box, on); });
  b->keyUp = [this, box] { model_.ShowOrtKeyUp(box); };
  b->mouseUp = [this, box](bool left) { model_.ShowOrtMouseUp(box, left); };
  showOrt_[static_cast<int>(box)] = b;
  return b;
}

QWidget* SettingsDialog::buildNavigonPage() {
  auto* page = new QWidget;
  auto* row = new QHBoxLayout;
  row->addWidget(
      new QLabel(toQString("Navigon Routendateien alle Versionen splitten, ab"_cp), page));
  row->addWidget(splitSpin(SplitField::MNSpinEdit, "MNSpinEdit"));
  row->addWidget(new QLabel(toQString("Routenpunkten"_cp), page));
  row->addStretch(1);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(
      heading("Verschieden Einstellungen für Navigon Systeme alle Versionen"_cp, page));
  layout->addSpacing(8);
  layout->addLayout(row);
  layout->addSpacing(8);
  layout->addWidget(
      showOrtBox(ShowOrtBox::MN4ShowOrt, "MN4ShowOrt",
                 " Navigon Version    MN|4     Ortsangaben in der Ausgabedatei zulassen"));
  layout->addWidget(
      showOrtBox(ShowOrtBox::MN42ShowOrt, "MN42ShowOrt",
                 " Navigon Version    MN|4.2  Ortsangaben in der Ausgabedatei zulassen"));
  layout->addWidget(
      showOrtBox(ShowOrtBox::MN5ShowOrt, "MN5ShowOrt",
                 " Navigon Version    MN|5     Ortsangaben in der Ausgabedatei zulassen"));
  layout->addStretch(1);
  return page;
}

QWidget* SettingsDialog::buildTomTomPage() {
  auto* page = new QWidget;
  auto* row = new QHBoxLayout;
  row->addWidget(
      new QLabel(toQString("TomTom Routendateien alle Versionen splitten, ab"_cp), page));
  row->addWidget(splitSpin(SplitField::TTSpinEdit, "TTSpinEdit"));
  row->addWidget(new QLabel(toQString("Routenpunkten"_cp), page));
  row->addStretch(1);

  // TomTom route files hold a name per point but no place details, so there is nothing to allow.
  ttShowOrt_ = new QCheckBox(
      toQString("für  TomTom alle Versionen Ortsangaben in der Ausgabedatei zulassen"_cp), page);
  ttShowOrt_->setObjectName(QStringLiteral("TTShowOrt"));
  ttShowOrt_->setEnabled(false);
  ttShowOrt_->setToolTip(toQString("TomTom Routendateien enthalten keine Ortsangaben"_cp));

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(
      heading("Verschieden Einstellungen für TomTom Systeme alle Versionen"_cp, page));
  layout->addSpacing(8);
  layout->addLayout(row);
  layout->addSpacing(8);
  layout->addWidget(ttShowOrt_);
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
  for (int i = 0; i < kSplitFieldCount; ++i) {
    setSpin(splitSpins_[i], model_.fieldValue(static_cast<SplitField>(i)));
  }
  setSpin(hKorEdit_, s_.opt.HKorEdit);
  setBox(hoeheNull_, s_.opt.HoeheNull);
  for (int i = 0; i < 3; ++i) setBox(showOrt_[i], model_.showOrt(static_cast<ShowOrtBox>(i)));
}

void SettingsDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    model_.FormShow();
    render();
  }
  QDialog::showEvent(event);
}

}  // namespace kursolin::gui
