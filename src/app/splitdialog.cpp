#include "app/splitdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "app/qtext.h"
#include "app/textpane.h"
#include "core/cp1252.h"
#include "core/ranges.h"

namespace kursolin::gui {

namespace {

QLabel* label(const std::string& cp1252, QWidget* parent) {
  return new QLabel(toQString(cp1252), parent);
}

void setBold(QWidget* w) {
  QFont f = w->font();
  f.setBold(true);
  w->setFont(f);
}

QCheckBox* bcrBox(const char* name, const std::string& caption, bool& target, QWidget* parent) {
  auto* b = new QCheckBox(toQString(caption), parent);
  b->setObjectName(QString::fromLatin1(name));
  QObject::connect(b, &QCheckBox::toggled, b, [&target](bool on) { target = on; });
  return b;
}

void setBox(QCheckBox* b, bool on) {
  const QSignalBlocker block(b);
  b->setChecked(on);
}

// The memo keeps its lines with CR LF in the session, as the BCR file wants them.
std::string memoText(const QString& plain) {
  std::string out;
  const std::string text = fromQString(plain);
  for (char c : text) {
    if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

SplitDialogWidget::SplitDialogWidget(SplitDialogView& dialog, QWidget* parent)
    : QDialog(parent), model_(dialog), s_(dialog.session()) {
  setObjectName(QStringLiteral("SaveSplit"));
  setModal(true);

  splitPanel_ = buildSplitPanel();
  mtpPanel_ = buildTourenplanerPanel();

  buttonPanel_ = new QFrame(this);
  buttonPanel_->setObjectName(QStringLiteral("ButtonPanel"));
  okBtn_ = new QPushButton(buttonPanel_);
  okBtn_->setObjectName(QStringLiteral("OkBtn"));
  okBtn_->setDefault(true);
  cancelBtn_ = new QPushButton(QStringLiteral("Abbrechen"), buttonPanel_);
  cancelBtn_->setObjectName(QStringLiteral("FlatButton1"));
  for (QPushButton* b : {okBtn_, cancelBtn_}) {
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("Dateien erstellen")) +
                       40);
  }
  connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout(buttonPanel_);
  buttons->addStretch(1);
  buttons->addWidget(okBtn_);
  buttons->addSpacing(24);
  buttons->addWidget(cancelBtn_);
  buttons->addStretch(1);
  buttonPanel_->setFixedHeight(SplitDialog::kBaseHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(splitPanel_);
  layout->addWidget(mtpPanel_);
  layout->addWidget(buttonPanel_);

  // Both panels take their natural height, which is what the model adds for each.
  splitPanel_->setFixedHeight(splitPanel_->sizeHint().height());
  mtpPanel_->setFixedHeight(mtpPanel_->sizeHint().height());
  const int width = std::max({splitPanel_->sizeHint().width(), mtpPanel_->sizeHint().width(),
                              buttonPanel_->sizeHint().width()});
  setFixedSize(width, SplitDialog::kBaseHeight);
  render();
}

QFrame* SplitDialogWidget::buildSplitPanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("SplitPanel"));
  panel->setFrameShape(QFrame::StyledPanel);

  auto* icon = new QLabel(panel);
  icon->setObjectName(QStringLiteral("SplitIcon"));
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop);

  rpInfoLabel_ = new QLabel(panel);
  rpInfoLabel_->setObjectName(QStringLiteral("RpInfoLabel"));
  setBold(rpInfoLabel_);

  label4_ = new QLabel(panel);
  label4_->setObjectName(QStringLiteral("Label4"));
  dateiAnzahl_ = new QLabel(panel);
  dateiAnzahl_->setObjectName(QStringLiteral("DateiAnzahl"));
  setBold(dateiAnzahl_);
  label5_ = new QLabel(panel);
  label5_->setObjectName(QStringLiteral("Label5"));
  anzSplitEdit_ = new QSpinBox(panel);
  anzSplitEdit_->setObjectName(QStringLiteral("AnzSplitEdit"));
  anzSplitEdit_->setMinimumWidth(
      anzSplitEdit_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 30);
  label6_ = new QLabel(panel);
  label6_->setObjectName(QStringLiteral("Label6"));
  restAnzahl_ = new QLabel(panel);
  restAnzahl_->setObjectName(QStringLiteral("RestAnzahl"));
  setBold(restAnzahl_);
  label7_ = new QLabel(panel);
  label7_->setObjectName(QStringLiteral("Label7"));
  // The model's texts are shown as they are, never read as rich text.
  for (QLabel* l : {rpInfoLabel_, label4_, label5_, label6_, label7_}) {
    l->setTextFormat(Qt::PlainText);
  }
  connect(anzSplitEdit_, &QSpinBox::valueChanged, this, [this](int v) {
    model_.AnzSplitEditChange(v);
    render();
  });

  auto* sentence = new QHBoxLayout;
  sentence->setSpacing(4);
  sentence->addWidget(label4_);
  sentence->addWidget(dateiAnzahl_);
  sentence->addWidget(label5_);
  sentence->addWidget(anzSplitEdit_);
  sentence->addWidget(label6_);
  sentence->addWidget(restAnzahl_);
  sentence->addWidget(label7_);
  sentence->addStretch(1);

  auto* text = new QVBoxLayout;
  text->addWidget(rpInfoLabel_);
  text->addSpacing(10);
  text->addLayout(sentence);

  auto* layout = new QHBoxLayout(panel);
  layout->setContentsMargins(14, 14, 14, 14);
  layout->addWidget(icon, 0, Qt::AlignTop);
  layout->addSpacing(10);
  layout->addLayout(text, 1);

  // Sized for the longest texts the model gives, so no format cuts them off.
  rpInfoLabel_->setText(toQString(
      "Die Datei enthält mehr als die 10000 vorgegebenen Routenpunkte für die Falk PreviousDestin. Datei "_cp));
  label4_->setText(QStringLiteral("Es werden "));
  dateiAnzahl_->setText(QStringLiteral("10000"));
  label5_->setText(QStringLiteral("Dateien mit je "));
  label6_->setText(toQString(model_.Label6));
  restAnzahl_->setText(QStringLiteral("10000"));
  label7_->setText(toQString(model_.Label7));
  return panel;
}

QFrame* SplitDialogWidget::buildTourenplanerPanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("MTPPanel"));
  panel->setFrameShape(QFrame::StyledPanel);

  auto* title = label("Tourenplaner - Einstellungen"_cp, panel);
  setBold(title);

  routeName_ = new QLineEdit(panel);
  routeName_->setObjectName(QStringLiteral("ROUTENAME_E"));
  connect(routeName_, &QLineEdit::textChanged, this,
          [this](const QString& t) { model_.ROUTENAME_E = fromQString(t); });
  deskripToFN_ =
      bcrBox("RDeskripToFN", "auch als Dateiname verwenden"_cp, s_.opt.bcr.RDeskripToFN, panel);

  beschreibung_ = new TextOnlyEdit<QPlainTextEdit>(panel);
  beschreibung_->setObjectName(QStringLiteral("Beschreibung"));
  beschreibung_->setFixedHeight(beschreibung_->fontMetrics().lineSpacing() * 4 + 12);
  connect(beschreibung_, &QPlainTextEdit::textChanged, this,
          [this] { s_.opt.bcr.Beschreibung = memoText(beschreibung_->toPlainText()); });

  profile_ = new QComboBox(panel);
  profile_->setObjectName(QStringLiteral("PROFILE_Combo"));
  for (const std::string& name : vehicleProfiles()) profile_->addItem(toQString(name));
  connect(profile_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0) s_.opt.bcr.PIndex = i;
  });

  auto* route = new QGroupBox(toQString("Streckeneinstellungen"_cp), panel);
  optimization_ = new QSpinBox(route);
  optimization_->setObjectName(QStringLiteral("OPTIMIZATION"));
  optimization_->setRange(kOptimizationRange.min, kOptimizationRange.max);
  optimization_->setSingleStep(kOptimizationRange.step);
  connect(optimization_, &QSpinBox::valueChanged, this,
          [this](int v) { s_.opt.bcr.OPTIMIZATION = kOptimizationRange.clamp(v); });
  preferNice_ = bcrBox("PREFERNICE_C", "landschaflich schöne Strecken bevorzugen"_cp,
                       s_.opt.bcr.PREFERNICE_C, route);
  altRoute_ =
      bcrBox("ALTROUTE_C", "eine alternative Strecke berechnen"_cp, s_.opt.bcr.ALTROUTE_C, route);
  corrUsed_ = bcrBox("CORRUSED_C", "Korridorobjekte einfügen"_cp, s_.opt.bcr.CORRUSED_C, route);
  trafficUsed_ =
      bcrBox("TRAFFICUSED_C", "Verkehrsinformationen einfügen"_cp, s_.opt.bcr.TRAFFICUSED_C, route);
  preferMaut_ = bcrBox("PREFERMAUT_C", "Mautstrecken vermeiden"_cp, s_.opt.bcr.PREFERMAUT_C, route);
  preferVign_ =
      bcrBox("PREFERVIGN_C", "Strecken mit Vignietten vermeiden"_cp, s_.opt.bcr.PREFERVIGN_C, route);
  auto* optimRow = new QHBoxLayout;
  optimRow->addWidget(label("Streckenoptimierung "_cp, route));
  optimRow->addWidget(optimization_);
  optimRow->addWidget(label("% auf Zeit"_cp, route));
  optimRow->addStretch(1);
  auto* routeGrid = new QGridLayout(route);
  routeGrid->addLayout(optimRow, 0, 0, 1, 2);
  routeGrid->addWidget(preferNice_, 1, 0);
  routeGrid->addWidget(altRoute_, 1, 1);
  routeGrid->addWidget(corrUsed_, 2, 0);
  routeGrid->addWidget(trafficUsed_, 2, 1);
  routeGrid->addWidget(preferMaut_, 3, 0);
  routeGrid->addWidget(preferVign_, 3, 1);

  bcrDir_ = new QLineEdit(panel);
  bcrDir_->setObjectName(QStringLiteral("BCRDir_E"));
  connect(bcrDir_, &QLineEdit::textChanged, this,
          [this](const QString& t) { model_.BCRDir_EChange(fromQString(t)); });
  auto* browse = new QToolButton(panel);
  browse->setObjectName(QStringLiteral("BCRDirButton"));
  browse->setText(QStringLiteral("..."));
  browse->setToolTip(toQString("BCR Verzeichnis auswählen"_cp));
  connect(browse, &QToolButton::clicked, this, &SplitDialogWidget::browseBcrDirectory);
  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(bcrDir_, 1);
  dirRow->addWidget(browse);

  auto* grid = new QGridLayout;
  grid->addWidget(label("Routenbezeichnung"_cp, panel), 0, 0);
  grid->addWidget(routeName_, 0, 1);
  grid->addWidget(deskripToFN_, 0, 2);
  grid->addWidget(label("Routenbeschreibung"_cp, panel), 1, 0, Qt::AlignTop);
  grid->addWidget(beschreibung_, 1, 1, 1, 2);
  grid->addWidget(label("Fahrzeugprofil"_cp, panel), 2, 0);
  grid->addWidget(profile_, 2, 1);
  grid->addWidget(route, 3, 0, 1, 3);
  grid->addWidget(label("BCR Verzeichnis"_cp, panel), 4, 0);
  grid->addLayout(dirRow, 4, 1, 1, 2);
  grid->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(14, 10, 14, 10);
  layout->addWidget(title, 0, Qt::AlignHCenter);
  layout->addSpacing(6);
  layout->addLayout(grid);
  return panel;
}

bool SplitDialogWidget::showModal(SplitDialogView& dialog, QWidget* mainWindow) {
  SplitDialogWidget w(dialog, mainWindow);
  if (mainWindow) {
    const QPoint corner = mainWindow->window()->frameGeometry().topLeft();
    w.move(corner + QPoint(SplitDialog::kOffsetLeft, SplitDialog::kOffsetTop));
  }
  return w.exec() == QDialog::Accepted;
}

void SplitDialogWidget::browseBcrDirectory() {
  model_.BCRDirButtonClick();
  const QString folder = toQString(model_.BCRDir_E);
  if (bcrDir_->text() != folder) {
    const QSignalBlocker block(bcrDir_);
    bcrDir_->setText(folder);
  }
}

void SplitDialogWidget::render() {
  setWindowTitle(toQString(model_.caption));
  rpInfoLabel_->setText(toQString(model_.RpInfoLabel));
  label4_->setText(toQString(model_.Label4));
  dateiAnzahl_->setText(QString::number(model_.DateiAnzahl));
  label5_->setText(toQString(model_.Label5));
  label6_->setText(toQString(model_.Label6));
  restAnzahl_->setText(QString::number(model_.RestAnzahl));
  label7_->setText(toQString(model_.Label7));
  okBtn_->setText(toQString(model_.OkBtn));
  {
    const QSignalBlocker block(anzSplitEdit_);
    anzSplitEdit_->setRange(model_.spinMin, std::max(model_.spinMin, model_.spinMax));
    anzSplitEdit_->setValue(model_.spinValue);
  }
  splitPanel_->setVisible(model_.showSplitRow);
  mtpPanel_->setVisible(model_.showTourenplaner);
}

void SplitDialogWidget::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    model_.splitRowHeight = splitPanel_->height();
    model_.tourenplanerHeight = mtpPanel_->height();
    model_.FormActivate();
    if (model_.showTourenplaner) {
      // A profile index from a hand-edited settings file that names no profile shows the first.
      if (s_.opt.bcr.PIndex < 0 || s_.opt.bcr.PIndex >= profile_->count()) s_.opt.bcr.PIndex = 0;
      {
        const QSignalBlocker blockName(routeName_);
        const QSignalBlocker blockDir(bcrDir_);
        routeName_->setText(toQString(model_.ROUTENAME_E));
        bcrDir_->setText(toQString(model_.BCRDir_E));
      }
      setBox(deskripToFN_, s_.opt.bcr.RDeskripToFN);
      {
        const QSignalBlocker block(beschreibung_);
        beschreibung_->setPlainText(promptText(s_.opt.bcr.Beschreibung));
      }
      profile_->setCurrentIndex(s_.opt.bcr.PIndex);
      {
        const QSignalBlocker block(optimization_);
        optimization_->setValue(s_.opt.bcr.OPTIMIZATION);
      }
      s_.opt.bcr.OPTIMIZATION = optimization_->value();
      setBox(preferNice_, s_.opt.bcr.PREFERNICE_C);
      setBox(altRoute_, s_.opt.bcr.ALTROUTE_C);
      setBox(corrUsed_, s_.opt.bcr.CORRUSED_C);
      setBox(trafficUsed_, s_.opt.bcr.TRAFFICUSED_C);
      setBox(preferMaut_, s_.opt.bcr.PREFERMAUT_C);
      setBox(preferVign_, s_.opt.bcr.PREFERVIGN_C);
    }
    render();
    setFixedHeight(model_.height);
  }
  QDialog::showEvent(event);
}

void SplitDialogWidget::done(int result) {
  model_.close();
  setFixedHeight(model_.height);
  QDialog::done(result);
}

}  // namespace kursolin::gui
