// The about box: its texts as they stand, the link styles, and that only the web address and
// "OK" react to clicks.

#include <QtTest>

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "app/aboutbox.h"
#include "app/maker.h"

using namespace kursolin::gui;

// Receives what the box hands to the system's browser.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened << url; }
};

class AboutBoxTest : public QObject {
  Q_OBJECT

  UrlCatcher catcher;

  QLabel* label(AboutBox& box, const char* name) {
    QLabel* l = box.findChild<QLabel*>(QString::fromLatin1(name));
    if (!l) qFatal("no label %s", name);
    return l;
  }

 private slots:
  void initTestCase() {
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
  }
  void cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
  }
  void init() { catcher.opened.clear(); }

  void texts() {
    AboutBox box;
    QCOMPARE(box.windowTitle(), QStringLiteral("Info"));
    struct Expected {
      const char* name;
      const char* text;
    };
    const Expected expected[] = {
        {"ProductName", "Kursolin"},
        {"Version", "Version 2"},
        {"CopyrightSign", "©"},
        {"Label2", "EMail          "},
        {"Label3", kMakerEmail},
        {"Label5", "Homepage  "},
        {"Label4", kMakerWeb},
        {"Comments",
         "Dieses Tool konvertiert die Routendaten verschiedener Tourenplaner und  "
         "Navigationssyteme."},
        {"Label1", " Alle verwendeten Markenamen gehören dem jeweiligen Markeninhaber"},
        {"Label6",
         "Hinweis : Der  Autor des Programmes übernimmt keinerlei Haftung für Schäden die aus der "
         "Installation oder der Nutzung des Programmes entstehen !"},
    };
    for (const Expected& e : expected) {
      QCOMPARE(label(box, e.name)->text(), QString::fromUtf8(e.text));
    }
    const QString maker = label(box, "Copyright")->text();
    QVERIFY(maker.contains(QLatin1String(kMakerName)));
    QVERIFY(maker.contains(QLatin1String(kReleaseYear)));
    QVERIFY(!label(box, "ProgramIcon")->pixmap().isNull());
  }

  void styles() {
    AboutBox box;
    QLabel* product = label(box, "ProductName");
    QVERIFY(product->font().bold());
    QVERIFY(product->font().pointSizeF() > box.font().pointSizeF() * 1.5);
    QVERIFY(label(box, "Version")->font().bold());
    QVERIFY(label(box, "CopyrightSign")->font().pointSizeF() > box.font().pointSizeF());
    for (const char* link : {"Label3", "Label4"}) {
      QLabel* l = label(box, link);
      QVERIFY(l->font().underline());
      QCOMPARE(l->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }
    QCOMPARE(label(box, "Label4")->cursor().shape(), Qt::PointingHandCursor);
    QLabel* disclaimer = label(box, "Label6");
    QCOMPARE(disclaimer->palette().color(QPalette::WindowText), QColor(Qt::red));
    for (const char* centred : {"Comments", "Label1", "Label6"}) {
      QVERIFY(label(box, centred)->alignment() & Qt::AlignHCenter);
    }
    QVERIFY(label(box, "Comments")->wordWrap());
    QVERIFY(disclaimer->wordWrap());
    QPushButton* ok = box.findChild<QPushButton*>();
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
  }

  void onlyTheWebAddressOpens() {
    AboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    for (const char* passive : {"Label3", "Label5", "ProductName", "Label6"}) {
      QTest::mouseClick(label(box, passive), Qt::LeftButton);
    }
    QVERIFY(catcher.opened.isEmpty());
    QTest::mouseClick(box.webLabel(), Qt::LeftButton);
    QCOMPARE(catcher.opened.size(), 1);
    QCOMPARE(catcher.opened[0], QUrl(QString::fromLatin1(kMakerWeb)));
    QVERIFY(box.isVisible());

    QTest::mouseClick(box.findChild<QPushButton*>(), Qt::LeftButton);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
  }

  void nothingCutOff() {
    AboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    for (QLabel* l : box.findChildren<QLabel*>()) {
      if (l->wordWrap()) {
        QVERIFY2(l->height() >= l->heightForWidth(l->width()), qPrintable(l->text()));
      } else {
        QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
      }
    }
  }
};

QTEST_MAIN(AboutBoxTest)
#include "aboutbox_test.moc"
