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
#include "formats/registry.h"
#include "workflow/presentation.h"

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

// The route settings panel of a format (the page of its fields that is a panel of this dialog),
// or nullptr.
const OptionPage* routeSettingsPanelOf(const OutputFormatInfo& f) {
  for (const OptionInfo* o : f.options) {
    for (const OptionField& field : o->fields) {
      if (field.page && field.page->splitDialog && !field.page->parent) return field.page;
    }
  }
  return nullptr;
}

// The panel the dialog builds: the chosen format's, else the first there is, hidden then, so the
// dialog has one width for every format.
const OptionPage* routeSettingsPanel(const Session& s) {
  if (const OutputFormatInfo* f = chosenOutputFormat(s)) {
    if (const OptionPage* p = routeSettingsPanelOf(*f)) return p;
  }
  for (const OutputFormatInfo& f : outputFormats()) {
    if (const OptionPage* p = routeSettingsPanelOf(f)) return p;
  }
  return nullptr;
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

  // Sized for the widest texts the formats give, so none is cut off.
  QString widest;
  for (const OutputPresentation& p : outputPresentations()) {
    const QString t = toQString("Die Datei enthält mehr als die 10000"_cp + p.splitInfoTail);
    if (rpInfoLabel_->fontMetrics().horizontalAdvance(t) >
        rpInfoLabel_->fontMetrics().horizontalAdvance(widest))
      widest = t;
  }
  rpInfoLabel_->setText(widest);
  label4_->setText(QStringLiteral("Es werden "));
  dateiAnzahl_->setText(QStringLiteral("10000"));
  label5_->setText(QStringLiteral("Dateien mit je "));
  label6_->setText(toQString(model_.Label6));
  restAnzahl_->setText(QStringLiteral("10000"));
  label7_->setText(toQString(model_.Label7));
  return panel;
}

QCheckBox* SplitDialogWidget::optionBox(const OptionInfo& option, const OptionField& field,
                                        QWidget* parent) {
  auto* b = new QCheckBox(toQString(field.label), parent);
  b->setObjectName(QString::fromLatin1(field.name));
  connect(b, &QCheckBox::toggled, this,
          [this, &option](bool on) { s_.opt.formats.setValue(option, on); });
  boxes_.emplace_back(b, &option);
  return b;
}

QFrame* SplitDialogWidget::buildTourenplanerPanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("MTPPanel"));
  panel->setFrameShape(QFrame::StyledPanel);
  const OptionPage* settings = routeSettingsPanel(s_);
  if (!settings) return panel;

  auto* title = label(settings->title, panel);
  setBold(title);

  // The fields of the panel by what they do: the route's name with the boxes beside it, its
  // description, a list to choose from, the groups of route settings, the folder.
  auto* grid = new QGridLayout;
  int row = 0;
  const auto fields = fieldsOn(*settings);
  for (const OptionFieldRef& f : fields) {
    if (f.field->role != FieldRole::RouteName) continue;
    routeName_ = new QLineEdit(panel);
    routeName_->setObjectName(QString::fromLatin1(f.field->name));
    connect(routeName_, &QLineEdit::textChanged, this,
            [this](const QString& t) { model_.ROUTENAME_E = fromQString(t); });
    grid->addWidget(label(f.field->label, panel), row, 0);
    grid->addWidget(routeName_, row, 1);
    int column = 2;
    for (const OptionFieldRef& b : fields) {
      if (b.option->type == OptionType::Boolean && b.field->role == FieldRole::Value)
        grid->addWidget(optionBox(*b.option, *b.field, panel), row, column++);
    }
    ++row;
  }
  for (const OptionFieldRef& f : fields) {
    if (f.field->role != FieldRole::Lines) continue;
    beschreibung_ = new TextOnlyEdit<QPlainTextEdit>(panel);
    beschreibung_->setObjectName(QString::fromLatin1(f.field->name));
    beschreibung_->setFixedHeight(beschreibung_->fontMetrics().lineSpacing() * 4 + 12);
    const OptionInfo* option = f.option;
    linesOption_ = option;
    connect(beschreibung_, &QPlainTextEdit::textChanged, this, [this, option] {
      s_.opt.formats.setValue(*option, memoText(beschreibung_->toPlainText()));
    });
    grid->addWidget(label(f.field->label, panel), row, 0, Qt::AlignTop);
    grid->addWidget(beschreibung_, row++, 1, 1, 2);
  }
  for (const OptionFieldRef& f : fields) {
    if (f.option->type != OptionType::Integer || !f.option->choices) continue;
    profile_ = new QComboBox(panel);
    profile_->setObjectName(QString::fromLatin1(f.field->name));
    for (const std::string& name : f.option->choices()) profile_->addItem(toQString(name));
    const OptionInfo* option = f.option;
    choiceOption_ = option;
    connect(profile_, &QComboBox::currentIndexChanged, this, [this, option](int i) {
      if (i >= 0) s_.opt.formats.setValue(*option, static_cast<long long>(i));
    });
    grid->addWidget(label(f.field->label, panel), row, 0);
    grid->addWidget(profile_, row++, 1);
  }
  for (const OptionPage* group : groupsOf(*settings)) {
    auto* box = new QGroupBox(toQString(group->title), panel);
    auto* groupGrid = new QGridLayout(box);
    int boxes = 0;
    for (const OptionFieldRef& f : fieldsOn(*group)) {
      if (f.option->type == OptionType::Integer) {
        auto* spin = new QSpinBox(box);
        spin->setObjectName(QString::fromLatin1(f.field->name));
        spin->setRange(f.option->range.min, f.option->range.max);
        spin->setSingleStep(f.option->range.step);
        const OptionInfo* option = f.option;
        connect(spin, &QSpinBox::valueChanged, this, [this, option](int v) {
          s_.opt.formats.setValue(*option, static_cast<long long>(option->range.clamp(v)));
        });
        spins_.emplace_back(spin, option);
        auto* spinRow = new QHBoxLayout;
        spinRow->addWidget(label(f.field->label, box));
        spinRow->addWidget(spin);
        spinRow->addWidget(label(f.field->tail, box));
        spinRow->addStretch(1);
        groupGrid->addLayout(spinRow, 0, 0, 1, 2);
      } else if (f.option->type == OptionType::Boolean) {
        // Two boxes a row, under the number.
        groupGrid->addWidget(optionBox(*f.option, *f.field, box), 1 + boxes / 2, boxes % 2);
        ++boxes;
      }
    }
    grid->addWidget(box, row++, 0, 1, 3);
  }
  for (const OptionFieldRef& f : fields) {
    if (f.field->role != FieldRole::Folder) continue;
    bcrDir_ = new QLineEdit(panel);
    bcrDir_->setObjectName(QString::fromLatin1(f.field->name));
    connect(bcrDir_, &QLineEdit::textChanged, this,
            [this](const QString& t) { model_.BCRDir_EChange(fromQString(t)); });
    auto* browse = new QToolButton(panel);
    browse->setObjectName(QStringLiteral("BCRDirButton"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(toQString(std::string(f.field->label) + " ausw\xE4hlen"));
    connect(browse, &QToolButton::clicked, this, &SplitDialogWidget::browseBcrDirectory);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(bcrDir_, 1);
    dirRow->addWidget(browse);
    grid->addWidget(label(f.field->label, panel), row, 0);
    grid->addLayout(dirRow, row++, 1, 1, 2);
  }
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
      if (profile_ && choiceOption_) {
        // A choice from a hand-edited settings file that names no entry shows the first.
        const auto& v = std::get<long long>(s_.opt.formats.value(*choiceOption_));
        if (v < 0 || v >= profile_->count()) s_.opt.formats.setValue(*choiceOption_, 0LL);
      }
      if (routeName_ && bcrDir_) {
        const QSignalBlocker blockName(routeName_);
        const QSignalBlocker blockDir(bcrDir_);
        routeName_->setText(toQString(model_.ROUTENAME_E));
        bcrDir_->setText(toQString(model_.BCRDir_E));
      }
      for (const auto& [box, option] : boxes_) {
        if (option->fields[0].page && !option->fields[0].page->parent)
          setBox(box, std::get<bool>(s_.opt.formats.value(*option)));
      }
      if (beschreibung_ && linesOption_) {
        const QSignalBlocker block(beschreibung_);
        beschreibung_->setPlainText(
            promptText(std::get<std::string>(s_.opt.formats.value(*linesOption_))));
      }
      if (profile_ && choiceOption_)
        profile_->setCurrentIndex(
            static_cast<int>(std::get<long long>(s_.opt.formats.value(*choiceOption_))));
      for (const auto& [spin, option] : spins_) {
        {
          const QSignalBlocker block(spin);
          spin->setValue(static_cast<int>(std::get<long long>(s_.opt.formats.value(*option))));
        }
        // A stored value outside the field's range is what the field shows: the nearer bound.
        s_.opt.formats.setValue(*option, static_cast<long long>(spin->value()));
      }
      for (const auto& [box, option] : boxes_) {
        if (option->fields[0].page && option->fields[0].page->parent)
          setBox(box, std::get<bool>(s_.opt.formats.value(*option)));
      }
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
