#include "app/startnotice.h"

#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "app/qtext.h"
#include "core/cp1252.h"

namespace kursolin::gui {

StartNotice::StartNotice(Session& s, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), s_(s) {
  setObjectName(QStringLiteral("StartDialog"));
  setWindowTitle(QStringLiteral("Kursolin Hinweis"));
  setModal(true);

  auto* frame = new QFrame(this);
  frame->setObjectName(QStringLiteral("HinweisPanel"));
  frame->setFrameShape(QFrame::Box);
  frame->setFrameShadow(QFrame::Sunken);

  auto* picture = new QLabel(frame);
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));

  auto boldLine = [frame](const std::string& cp1252, const char* name) {
    auto* l = new QLabel(toQString(cp1252), frame);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    l->setFont(f);
    return l;
  };
  firstLine_ = boldLine("Das Ein und Ausgabeformat der Routen bitte"_cp, "Label1");
  firstLine_->installEventFilter(this);
  QLabel* second = boldLine("in dem Menue  OPTIONEN  auswählen !"_cp, "Label2");

  auto* grid = new QGridLayout(frame);
  grid->setContentsMargins(12, 12, 24, 16);
  grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop | Qt::AlignLeft);
  grid->setColumnMinimumWidth(1, 8);
  grid->addWidget(firstLine_, 0, 2);
  grid->addWidget(second, 1, 2);
  grid->setColumnStretch(2, 1);

  hide_ = new QCheckBox(toQString("Diesen Hinweis beim Start nicht mehr anzeigen."_cp), this);
  hide_->setObjectName(QStringLiteral("HideStartDialog"));
  connect(hide_, &QCheckBox::toggled, this, [this](bool on) { s_.shell.HideStartDialog = on; });

  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("OkBtn"));
  ok_->setDefault(true);
  ok_->setMinimumWidth(90);
  connect(ok_, &QPushButton::clicked, this, &StartNotice::OkBtnClick);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(hide_);
  bottom->addStretch(1);
  bottom->addWidget(ok_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->addWidget(frame);
  layout->addSpacing(6);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void StartNotice::OkBtnClick() {
  s_.shell.ShowStartNotice = !s_.shell.HideStartDialog;
  QDialog::accept();
}

void StartNotice::reject() {
  OkBtnClick();
}

void StartNotice::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    const QSignalBlocker block(hide_);
    hide_->setChecked(s_.shell.HideStartDialog);
    if (QScreen* screen = this->screen()) {
      const QRect r = screen->availableGeometry();
      move(r.center() - QPoint(width() / 2, height() / 2));
    }
  }
  QDialog::showEvent(event);
}

bool StartNotice::eventFilter(QObject* watched, QEvent* event) {
  if (watched == firstLine_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    OkBtnClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kursolin::gui
