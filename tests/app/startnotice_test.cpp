// The start notice: its texts, a title bar without buttons, and the rule that decides whether
// it comes back at the next start.

#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "app/startnotice.h"
#include "find_control.h"
#include "support/fake_port.h"

using namespace kursolin;
using namespace kursolin::gui;

class StartNoticeTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::ScriptedPort> port;
  std::unique_ptr<Session> s;
  std::unique_ptr<StartNotice> dlg;

  template <class T>
  T* find(const char* name) {
    return test::findControl<T>(dlg.get(), name);
  }
  void showDialog() {
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
  }

 private slots:
  void init() {
    port = std::make_unique<test::ScriptedPort>();
    s = std::make_unique<Session>(*port, HostSettings::german());
    dlg = std::make_unique<StartNotice>(*s);
  }
  void cleanup() {
    dlg.reset();
    s.reset();
    port.reset();
  }

  void textsAndWindow() {
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Kursolin Hinweis"));
    const Qt::WindowFlags f = dlg->windowFlags();
    QVERIFY(f.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(!f.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!f.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!f.testFlag(Qt::WindowMaximizeButtonHint));
    QLabel* first = find<QLabel>("Label1");
    QLabel* second = find<QLabel>("Label2");
    QCOMPARE(first->text(), QStringLiteral("Das Ein und Ausgabeformat der Routen bitte"));
    QCOMPARE(second->text(), QString::fromUtf8("in dem Menue  OPTIONEN  auswählen !"));
    for (QLabel* l : {first, second}) {
      QVERIFY(l->font().bold());
      QVERIFY(l->alignment() & Qt::AlignHCenter);
    }
    QVERIFY(!find<QLabel>("Image1")->pixmap().isNull());
    QCOMPARE(find<QCheckBox>("HideStartDialog")->text(),
             QStringLiteral("Diesen Hinweis beim Start nicht mehr anzeigen."));
    QCOMPARE(find<QPushButton>("OkBtn")->text(), QStringLiteral("OK"));
    showDialog();
    QCOMPARE(dlg->minimumSize(), dlg->maximumSize());
    for (QLabel* l : {first, second}) QVERIFY(l->width() >= l->sizeHint().width());
  }

  // How the notice is left decides ShowStartNotice, which the settings file stores.
  void okRule_data() {
    QTest::addColumn<bool>("tick");
    QTest::addColumn<QString>("leaveBy");
    QTest::addColumn<bool>("showNextTime");
    for (const char* how : {"ok", "firstLine", "escape"}) {
      QTest::addRow("untouched, %s", how) << false << QString::fromLatin1(how) << true;
      QTest::addRow("ticked, %s", how) << true << QString::fromLatin1(how) << false;
    }
  }
  void okRule() {
    QFETCH(bool, tick);
    QFETCH(QString, leaveBy);
    QFETCH(bool, showNextTime);
    s->shell.ShowStartNotice = true;
    s->shell.HideStartDialog = false;  // as the settings load leaves it when the notice is shown
    showDialog();
    QCheckBox* box = find<QCheckBox>("HideStartDialog");
    QVERIFY(!box->isChecked());
    if (tick) QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    QCOMPARE(s->shell.HideStartDialog, tick);
    if (leaveBy == QLatin1String("ok")) {
      QTest::mouseClick(find<QPushButton>("OkBtn"), Qt::LeftButton);
    } else if (leaveBy == QLatin1String("firstLine")) {
      QTest::mouseClick(find<QLabel>("Label1"), Qt::LeftButton);
    } else {
      QTest::keyClick(dlg.get(), Qt::Key_Escape);
    }
    QVERIFY(!dlg->isVisible());
    QCOMPARE(s->shell.ShowStartNotice, showNextTime);
  }

  void boxShowsTheSessionEachTime() {
    s->shell.HideStartDialog = true;
    showDialog();
    QVERIFY(find<QCheckBox>("HideStartDialog")->isChecked());
    dlg->OkBtnClick();
    QVERIFY(!s->shell.ShowStartNotice);
    s->shell.HideStartDialog = false;
    showDialog();
    QVERIFY(!find<QCheckBox>("HideStartDialog")->isChecked());
  }

  void secondLineDoesNotClose() {
    showDialog();
    QTest::mouseClick(find<QLabel>("Label2"), Qt::LeftButton);
    QVERIFY(dlg->isVisible());
  }
};

QTEST_MAIN(StartNoticeTest)
#include "startnotice_test.moc"
