#include "app/rulepanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "app/flowlayout.h"
#include "app/icons.h"
#include "app/numberfield.h"
#include "core/ranges.h"
#include "track/rules.h"

namespace kursolin::gui {

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// A push button whose caption wraps onto further lines instead of being cut off.
class WrapButton : public QPushButton {
 public:
  WrapButton(const QString& caption, QWidget* parent) : QPushButton(parent) {
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(10, 4, 10, 4);
    label_ = new QLabel(caption, this);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignCenter);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->addWidget(label_);
    QSizePolicy p(QSizePolicy::Expanding, QSizePolicy::Preferred);
    p.setHeightForWidth(true);
    setSizePolicy(p);
    setAccessibleName(caption);
  }
  QLabel* label() const { return label_; }
  QSize sizeHint() const override { return layout()->sizeHint(); }
  QSize minimumSizeHint() const override { return layout()->totalMinimumSize(); }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int w) const override { return layout()->totalHeightForWidth(w); }

 private:
  QLabel* label_;
};

// Words of a rule sentence as labels of their own, so the sentence can break between any two.
void addWords(FlowLayout* flow, QWidget* row, const QString& text, const QString& name,
              std::vector<QWidget*>& group) {
  // A token of punctuation only ("(", "=", ")") stays with its word, so no line starts with ")".
  const QStringList tokens = text.split(u' ', Qt::SkipEmptyParts);
  auto bare = [](const QString& t) {
    return std::none_of(t.begin(), t.end(), [](QChar c) { return c.isLetterOrNumber(); });
  };
  QStringList words;
  QString pending;
  for (const QString& t : tokens) {
    if (bare(t) && t != u")" && t != u"." && t != u",") {
      pending += (pending.isEmpty() ? QString() : QStringLiteral(" ")) + t;
      continue;
    }
    if (bare(t) && !words.isEmpty() && pending.isEmpty()) {
      words.back() += u' ' + t;
      continue;
    }
    words.append(pending.isEmpty() ? t : pending + u' ' + t);
    pending.clear();
  }
  if (!pending.isEmpty()) words.append(pending);
  for (const QString& w : words) {
    auto* l = new QLabel(w, row);
    l->setObjectName(name);
    flow->addWidget(l);
    group.push_back(l);
  }
}

}  // namespace

RulePanel::RulePanel(Session& s, QWidget* parent) : QFrame(parent), s_(s) {
  QFrame* box = this;
  box->setObjectName(QStringLiteral("SetupBox"));
  box->setFrameShape(QFrame::StyledPanel);
  auto* outer = new QVBoxLayout(box);
  outer->setContentsMargins(8, 6, 20, 6);
  outer->setSpacing(6);
  auto* top = new QHBoxLayout();
  top->setSpacing(16);
  outer->addLayout(top);
  auto* rows = new QVBoxLayout();
  rows->setSpacing(3);
  top->addLayout(rows, 1);

  // Labels bring a little room of their own; together with it the gaps look like blanks.
  const int blank = std::max(2, fontMetrics().horizontalAdvance(QLatin1Char(' ')) / 2);
  auto newRow = [&](const char* name) {
    auto* row = new QWidget(box);
    row->setObjectName(QString::fromLatin1(name));
    auto* flow = new FlowLayout(row, blank, blank + 4, 1);
    QSizePolicy p(QSizePolicy::Preferred, QSizePolicy::Preferred);
    p.setHeightForWidth(true);
    row->setSizePolicy(p);
    rows->addWidget(row);
    return std::make_pair(row, flow);
  };
  auto group = [this](const char* name) -> std::vector<QWidget*>& { return ruleWidgets_[name]; };
  auto check = [&](QWidget* row, FlowLayout* flow, const char* name, const QString& caption) {
    auto* c = new QCheckBox(caption, row);
    c->setObjectName(QString::fromLatin1(name));
    flow->addWidget(c);
    group(name).push_back(c);
    return c;
  };
  auto field = [&](QWidget* row, FlowLayout* flow, const char* name, const IntRange& range) {
    auto* f = new NumberField(range, row);
    f->setObjectName(QString::fromLatin1(name));
    flow->addWidget(f);
    group(name).push_back(f);
    return f;
  };
  auto words = [&](QWidget* row, FlowLayout* flow, const char* name, const QString& text) {
    addWords(flow, row, text, QString::fromLatin1(name), group(name));
  };

  {
    auto [row, flow] = newRow("Row1");
    meterCheck_ = check(row, flow, "MeterCheck", Q(" Alle "));
    meterSpin_ = field(row, flow, "MeterSpin", kMeterSpinRange);
    meterSpin_->setToolTip(Q("Alle x Meter einen Routenpunkt erzeugen"));
    words(row, flow, "Label1",
          Q("Meter einen Routenpunkt erzeugen wenn, die Geschwindigkeit weniger als "));
    meterSpeedEdit_ = field(row, flow, "MeterSpeedEdit", kMeterSpeedEditRange);
    words(row, flow, "Label4", Q("KmH beträgt"));
  }
  {
    auto [row, flow] = newRow("Row2");
    gradCheck_ = check(row, flow, "GradCheck", Q("Bei einem Richtungswechsel ab "));
    gradEdit_ = field(row, flow, "GradEdit", kGradEditRange);
    words(row, flow, "Label5",
          Q("Grad einen Routenpunkt erzeugen wenn, die Geschwindigkeit mehr als "));
    gradSpeedEdit_ = field(row, flow, "GradSpeedEdit", kGradSpeedEditRange);
    words(row, flow, "Label6", Q("KmH beträgt"));
  }
  {
    auto [row, flow] = newRow("Row3");
    pauseCheck_ = check(row, flow, "PauseCheck", Q("Bei einem Stopp ab"));
    pauseEdit_ = field(row, flow, "PauseEdit", kPauseEditRange);
    words(row, flow, "Label7", Q("Minuten einen Routenpunkt erzeugen. ( = Pausen erfassen )"));
  }
  {
    auto [row, flow] = newRow("Row4");
    zeitCheck_ = check(row, flow, "ZeitCheck", Q("Alle "));
    zeitSpin_ = field(row, flow, "ZeitSpin", kZeitSpinRange);
    words(row, flow, "Label2", Q("Sekunden einen Routenpunkt erzeugen"));
  }
  {
    auto [row, flow] = newRow("Row5");
    words(row, flow, "Label3", Q("Einen Mindestabstand von"));
    minDistEdit_ = field(row, flow, "MinDistEdit", kMinDistEditRange);
    words(row, flow, "Label8", Q("Metern zwischen benachbarten Routenpunkten einhalten "));
  }
  {
    auto [row, flow] = newRow("Row6");
    allGgaCheck_ = check(row, flow, "AllGGACheck", Q("Aus jedem"));
    xrpSpin_ = field(row, flow, "XRPSpin", kXRPSpinRange);
    words(row, flow, "XRPLabel", Q("gültigen Positionsdatensatz einen Routenpunkt erzeugen"));
  }
  {
    auto [row, flow] = newRow("Row7");
    allePunkteCheck_ = check(row, flow, "AllePunkteCheck", Q("Alle Punkte der Route übernehmen"));
    allePunkteCheck_->setToolTip(
        Q("Bei Routendateien (jede Eingabe außer NMEA Logs) wird jeder Punkt der Route ein "
          "Routenpunkt, statt der Regeln oben"));
  }

  routeButton_ = new QPushButton(Q("Routendaten erzeugen"), box);
  routeButton_->setObjectName(QStringLiteral("RouteBerechnenBtn"));
  QFont big = font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.15);
  routeButton_->setFont(big);
  routeButton_->setIcon(themedIcon(this, "media-playback-start", QStyle::SP_MediaPlay));
  routeButton_->setIconSize(QSize(28, 28));
  routeButton_->setMinimumHeight(64);
  routeButton_->setToolTip(Q("Routendaten erzeugen"));
  routeButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(routeButton_, &QPushButton::clicked, this, &RulePanel::routeRequested);
  top->addWidget(routeButton_, 0, Qt::AlignVCenter | Qt::AlignRight);

  auto* find = new WrapButton(
      Q(" GGA Datensatz in der  NMEA Datei finden =  bei den Routenpunkten die Zeit markieren "
        "und diesen Button drücken"),
      box);
  find->setObjectName(QStringLiteral("FindButton"));
  find->setToolTip(
      Q("Um den entsprechenden GGA Datensatz in der  NMEA Datei zu finden bei den Routenpunkten "
        "die Zeit markieren und diesen Button drücken"));
  find->label()->setStyleSheet(QStringLiteral("color: #cc0000;"));
  QFont findFont = find->label()->font();
  findFont.setBold(true);
  find->label()->setFont(findFont);
  find->hide();
  findButton_ = find;
  connect(find, &QPushButton::clicked, this, &RulePanel::findRequested);
  outer->addWidget(find);

  // The check boxes: a click by the user sets the box and lets the rules clear the others.
  auto ruleBox = [this](QCheckBox* c, RuleBox box) {
    connect(c, &QCheckBox::clicked, this, [this, box](bool on) {
      setRuleCheck(s_, box, on);
      emit changed();
    });
  };
  ruleBox(meterCheck_, RuleBox::MeterCheck);
  ruleBox(gradCheck_, RuleBox::GradCheck);
  ruleBox(pauseCheck_, RuleBox::PauseCheck);
  ruleBox(zeitCheck_, RuleBox::ZeitCheck);
  connect(allGgaCheck_, &QCheckBox::clicked, this, [this](bool on) {
    setAllGGACheck(s_, on);
    emit changed();
  });
  connect(allePunkteCheck_, &QCheckBox::clicked, this, [this](bool on) {
    s_.opt.rules.AllePunkteCheck = on;
    emit changed();
  });
  auto spin = [this](NumberField* f, int RuleSettings::*field) {
    connect(f, &QSpinBox::valueChanged, this, [this, field](int v) {
      if (!refreshing_) s_.opt.rules.*field = v;
    });
  };
  spin(meterSpin_, &RuleSettings::MeterSpin);
  spin(meterSpeedEdit_, &RuleSettings::MeterSpeedEdit);
  spin(gradEdit_, &RuleSettings::GradEdit);
  spin(gradSpeedEdit_, &RuleSettings::GradSpeedEdit);
  spin(pauseEdit_, &RuleSettings::PauseEdit);
  spin(zeitSpin_, &RuleSettings::ZeitSpin);
  spin(minDistEdit_, &RuleSettings::MinDistEdit);
  spin(xrpSpin_, &RuleSettings::XRPSpin);
}


void RulePanel::refresh() {
  refreshing_ = true;
  Session& s = s_;
  const RuleSettings& r = s.opt.rules;
  auto box = [](QCheckBox* c, bool on) {
    const QSignalBlocker block(c);
    c->setChecked(on);
  };
  box(meterCheck_, r.MeterCheck);
  box(gradCheck_, r.GradCheck);
  box(pauseCheck_, r.PauseCheck);
  box(zeitCheck_, r.ZeitCheck);
  box(allGgaCheck_, r.AllGGACheck);
  box(allePunkteCheck_, r.AllePunkteCheck);
  auto value = [](NumberField* f, int v) {
    if (f->value() == v) return;
    const QSignalBlocker block(f);
    f->setValue(v);
  };
  value(meterSpin_, r.MeterSpin);
  value(meterSpeedEdit_, r.MeterSpeedEdit);
  value(gradEdit_, r.GradEdit);
  value(gradSpeedEdit_, r.GradSpeedEdit);
  value(pauseEdit_, r.PauseEdit);
  value(zeitSpin_, r.ZeitSpin);
  value(minDistEdit_, r.MinDistEdit);
  value(xrpSpin_, r.XRPSpin);
  for (const auto& [name, widgets] : ruleWidgets_) {
    const bool enabled = s.shell.item(name).enabled;
    for (QWidget* w : widgets) w->setEnabled(enabled);
  }
  refreshing_ = false;
}

}  // namespace kursolin::gui
