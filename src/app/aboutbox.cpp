#include "app/aboutbox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
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
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "app/maker.h"
#include "app/qtext.h"
#include "core/cp1252.h"

namespace kursolin::gui {

namespace {

QLabel* textLabel(const std::string& cp1252, QWidget* parent, const char* name) {
  auto* l = new QLabel(toQString(cp1252), parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextFormat(Qt::PlainText);  // keeps the texts' double blanks
  return l;
}

QFont scaled(QFont f, qreal factor, bool bold) {
  f.setPointSizeF(f.pointSizeF() * factor);
  f.setBold(bold);
  return f;
}

void linkStyle(QLabel* l) {
  QFont f = l->font();
  f.setUnderline(true);
  l->setFont(f);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, Qt::blue);
  l->setPalette(p);
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("Info"));
  setModal(true);

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);

  auto* icon = new QLabel(panel);
  icon->setObjectName(QStringLiteral("ProgramIcon"));
  QIcon programIcon = QApplication::windowIcon();
  if (programIcon.isNull()) programIcon = style()->standardIcon(QStyle::SP_ComputerIcon);
  icon->setPixmap(programIcon.pixmap(48, 48));

  QLabel* product = textLabel("Kursolin"_cp, panel, "ProductName");
  product->setFont(scaled(product->font(), 2.0, true));
  QLabel* version = textLabel("Version 2"_cp, panel, "Version");
  version->setFont(scaled(version->font(), 1.0, true));

  QLabel* copyrightSign = textLabel("©"_cp, panel, "CopyrightSign");
  copyrightSign->setFont(scaled(copyrightSign->font(), 2.2, false));
  QLabel* copyright = textLabel(std::string(kMakerName) + "  " + kReleaseYear, panel, "Copyright");

  QLabel* mailCaption = textLabel("EMail          "_cp, panel, "Label2");
  QLabel* mail = textLabel(kMakerEmail, panel, "Label3");
  linkStyle(mail);
  QLabel* webCaption = textLabel("Homepage  "_cp, panel, "Label5");
  web_ = textLabel(kMakerWeb, panel, "Label4");
  linkStyle(web_);
  web_->setCursor(Qt::PointingHandCursor);
  web_->installEventFilter(this);

  QLabel* comments = textLabel(
      "Dieses Tool konvertiert die Routendaten verschiedener Tourenplaner und  Navigationssyteme."_cp,
      panel, "Comments");
  comments->setWordWrap(true);
  comments->setAlignment(Qt::AlignCenter);
  QLabel* brands = textLabel(" Alle verwendeten Markenamen gehören dem jeweiligen Markeninhaber"_cp,
                             panel, "Label1");
  brands->setAlignment(Qt::AlignCenter);
  QLabel* disclaimer = textLabel(
      "Hinweis : Der  Autor des Programmes übernimmt keinerlei Haftung für Schäden die aus der "
      "Installation oder der Nutzung des Programmes entstehen !"_cp,
      panel, "Label6");
  disclaimer->setWordWrap(true);
  disclaimer->setAlignment(Qt::AlignCenter);
  QPalette red = disclaimer->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  disclaimer->setPalette(red);

  auto* head = new QGridLayout;
  head->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
  head->setColumnMinimumWidth(1, 12);
  head->addWidget(product, 0, 2);
  head->addWidget(version, 1, 2);
  head->setColumnStretch(2, 1);

  auto* maker = new QHBoxLayout;
  maker->addWidget(copyrightSign);
  maker->addWidget(copyright);
  maker->addStretch(1);

  auto* addresses = new QGridLayout;
  addresses->addWidget(mailCaption, 0, 0);
  addresses->addWidget(mail, 0, 1);
  addresses->addWidget(webCaption, 1, 0);
  addresses->addWidget(web_, 1, 1);
  addresses->setColumnStretch(2, 1);

  auto* inside = new QVBoxLayout(panel);
  inside->setContentsMargins(16, 14, 16, 14);
  inside->addLayout(head);
  inside->addSpacing(8);
  inside->addLayout(maker);
  inside->addLayout(addresses);
  inside->addSpacing(12);
  inside->addWidget(comments);
  inside->addWidget(brands);
  inside->addSpacing(10);
  inside->addWidget(disclaimer);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  ok->setMinimumWidth(90);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  // As wide as the widest single line needs; the long texts wrap inside that.
  panel->setMinimumWidth(440);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::Label4Click() {
  QDesktopServices::openUrl(QUrl(web_->text()));
}

void AboutBox::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    if (QScreen* screen = this->screen()) {
      const QRect r = screen->availableGeometry();
      move(r.center() - QPoint(width() / 2, height() / 2));
    }
  }
  QDialog::showEvent(event);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == web_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
      web_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
    Label4Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kursolin::gui
