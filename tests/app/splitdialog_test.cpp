// The split dialog's widgets: texts, spin box and height from the model for a split route and
// for the Tourenplaner forms, the BCR settings written into the session, and the buttons.

#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "app/qtext.h"
#include "app/splitdialog.h"
#include "core/cp1252.h"
#include "find_control.h"
#include "formats/bcr.h"
#include "formats/falk.h"
#include "formats/navigon.h"
#include "formats/tomtom.h"
#include "support/fake_port.h"
#include "workflow/saving.h"

using namespace kursolin;
using namespace kursolin::gui;

namespace {

QString q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

}  // namespace

class SplitDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::ScriptedPort> port;
  std::unique_ptr<Session> s;
  std::unique_ptr<SplitDialog> model;
  std::unique_ptr<SplitDialogWidget> dlg;

  template <class T>
  T* find(const char* name) {
    return test::findControl<T>(dlg.get(), name);
  }
  QString text(const char* label) { return find<QLabel>(label)->text(); }
  QSpinBox* spin() { return find<QSpinBox>("AnzSplitEdit"); }
  void showDialog() {
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
  }
  // A route of that many points in the output pane (one line a point, as all but Falk write).
  void prepare(int outputCode, int points) {
    s->opt.OutputFormat = outputCode;
    s->doc.RoutePointCount = points;
    std::vector<std::string> lines;
    for (int i = 1; i <= points; ++i) lines.push_back("p" + std::to_string(i));
    s->doc.OutputLines.assign(lines);
    model = std::make_unique<SplitDialog>(splitDialogFor(*s));
    dlg = std::make_unique<SplitDialogWidget>(*model);
  }
  // Every label of the visible panels shows its whole text.
  void verifyNothingCut() {
    for (QLabel* l : dlg->findChildren<QLabel*>()) {
      if (!l->isVisibleTo(dlg.get()) || l->text().isEmpty()) continue;
      QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
    }
    const int bottom = dlg->findChild<QFrame*>(QStringLiteral("ButtonPanel"))->geometry().bottom();
    QVERIFY(bottom < dlg->height());
  }

 private slots:
  void init() {
    port = std::make_unique<test::ScriptedPort>();
    s = std::make_unique<Session>(*port, HostSettings::german());
  }
  void cleanup() {
    dlg.reset();
    model.reset();
    s.reset();
    port.reset();
  }

  void tomTom47PointsBy15() {
    s->opt.set(MpTT3, 15);
    prepare(3, 47);
    showDialog();
    QCOMPARE(dlg->windowTitle(), q(" Kursolin Ausgabedatei für TomTom vorbereiten"));
    QCOMPARE(text("RpInfoLabel"), q("Die Datei enthält mehr als die 15 vorgegebenen Routenpunkte "
                                    "für die TomTom - ITN Datei "));
    QVERIFY(find<QLabel>("RpInfoLabel")->font().bold());
    QCOMPARE(text("Label4"), q("Es werden "));
    QCOMPARE(text("DateiAnzahl"), q("3"));
    QCOMPARE(text("Label5"), q("Dateien mit je "));
    QCOMPARE(spin()->value(), 15);
    QCOMPARE(spin()->minimum(), 1);
    QCOMPARE(spin()->maximum(), 15);
    QCOMPARE(text("Label6"), q("Routenpunkten und eine Datei mit "));
    QCOMPARE(text("RestAnzahl"), q("2"));
    QCOMPARE(text("Label7"), q("Routenpunkten angelegt ."));
    QCOMPARE(find<QPushButton>("OkBtn")->text(), q("Dateien erstellen"));
    QCOMPARE(find<QPushButton>("FlatButton1")->text(), q("Abbrechen"));
    QCOMPARE(s->doc.split.SplitFiles, 3);
    QCOMPARE(s->doc.split.SplitRest, 2);

    QFrame* splitPanel = find<QFrame>("SplitPanel");
    QVERIFY(splitPanel->isVisible());
    QVERIFY(!find<QFrame>("MTPPanel")->isVisible());
    QCOMPARE(model->height, SplitDialog::kBaseHeight + splitPanel->height());
    QCOMPARE(dlg->height(), model->height);
    QCOMPARE(dlg->minimumHeight(), dlg->maximumHeight());
    verifyNothingCut();
  }

  void spinChangesRecomputeThePlan() {
    s->opt.set(MpTT3, 15);
    prepare(3, 20);
    showDialog();
    QCOMPARE(text("Label4"), q("Es wird "));
    QCOMPARE(text("Label5"), q("Datei mit je"));
    QCOMPARE(find<QPushButton>("OkBtn")->text(), q("Datei erstellen"));
    QCOMPARE(text("RestAnzahl"), q("5"));

    spin()->setValue(4);
    QCOMPARE(text("DateiAnzahl"), q("5"));
    QCOMPARE(text("RestAnzahl"), q("0"));
    QCOMPARE(text("Label4"), q("Es werden "));
    QCOMPARE(find<QPushButton>("OkBtn")->text(), q("Dateien erstellen"));
    QCOMPARE(s->doc.split.SplitSize, 4);
    QVERIFY(!s->doc.split.SplitRestFile);

    // Typing a value and stepping back up gives the plan of the final value.
    spin()->selectAll();
    QTest::keyClicks(spin(), QStringLiteral("7"));
    QCOMPARE(s->doc.split.SplitSize, 7);
    QTest::keyClick(spin(), Qt::Key_Up);
    QCOMPARE(s->doc.split.SplitSize, 8);
    QCOMPARE(text("DateiAnzahl"), q("2"));
    QCOMPARE(text("RestAnzahl"), q("4"));
  }

  void heightReturnsToTheBaseWhenClosed() {
    s->opt.set(MpMN, 10);
    prepare(2, 120);
    showDialog();
    const int open = dlg->height();
    QCOMPARE(dlg->windowTitle(), q(" Kursolin Ausgabedatei für Navigon MN5 vorbereiten"));
    QCOMPARE(text("DateiAnzahl"), q("12"));
    find<QPushButton>("FlatButton1")->click();
    QCOMPARE(dlg->result(), int(QDialog::Rejected));
    QCOMPARE(model->height, SplitDialog::kBaseHeight);
    showDialog();
    QCOMPARE(dlg->height(), open);  // no second growth
    find<QPushButton>("OkBtn")->click();
    QCOMPARE(dlg->result(), int(QDialog::Accepted));
  }

  void showModalPlacesTheDialogBelowTheMainWindowsCorner() {
    s->opt.set(MpMN, 10);
    s->opt.OutputFormat = 1;
    s->doc.OutputLines.assign(std::vector<std::string>(25, "p"));
    SplitDialog d = splitDialogFor(*s);
    QWidget main;
    main.setGeometry(200, 150, 600, 400);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QPoint seenAt;
    QString seenTitle;
    QTimer::singleShot(0, this, [&] {
      auto* w = qobject_cast<SplitDialogWidget*>(QApplication::activeModalWidget());
      if (!w) return;
      seenAt = w->frameGeometry().topLeft() - main.frameGeometry().topLeft();
      seenTitle = w->windowTitle();
      w->findChild<QPushButton*>(QStringLiteral("OkBtn"))->click();
    });
    QVERIFY(SplitDialogWidget::showModal(d, &main));
    QCOMPARE(seenAt, QPoint(SplitDialog::kOffsetLeft, SplitDialog::kOffsetTop));
    QCOMPARE(seenTitle, q(" Kursolin Ausgabedatei für Navigon MN|4.2 vorbereiten"));
    QCOMPARE(s->doc.split.SplitFiles, 2);
    QCOMPARE(d.height, SplitDialog::kBaseHeight);

    QTimer::singleShot(0, this, [&] {
      if (auto* w = QApplication::activeModalWidget()) {
        w->findChild<QPushButton*>(QStringLiteral("FlatButton1"))->click();
      }
    });
    QVERIFY(!SplitDialogWidget::showModal(d, &main));
  }

  void longestTextsFit() {
    s->opt.set(MpFalk, 10000);
    prepare(7, 99999);
    showDialog();
    QCOMPARE(text("RpInfoLabel"),
             q("Die Datei enthält mehr als die 10000 vorgegebenen Routenpunkte für die Falk "
               "PreviousDestin. Datei "));
    verifyNothingCut();
  }

  void tourenplanerFormWithoutSplitRow() {
    s->opt.set(MpMTP, 50);
    s->opt.set(BcrRouteName,
               "Alpen\xFC"
               "bergang");  // cp1252 ü
    s->opt.set(BcrDirectory, "/tmp/bcr/");
    s->opt.set(PIndex, 4);
    s->opt.set(OPTIMIZATION, 70);
    s->opt.set(CORRUSED_C, true);
    s->opt.set(Beschreibung, "Zeile 1\r\nZeile 2");
    prepare(5, 30);
    showDialog();
    QCOMPARE(dlg->windowTitle(), q(" Kursolin Ausgabedatei für den Tourenplaner vorbereiten"));
    QFrame* mtp = find<QFrame>("MTPPanel");
    QVERIFY(mtp->isVisible());
    QVERIFY(!find<QFrame>("SplitPanel")->isVisible());
    QCOMPARE(model->height, SplitDialog::kBaseHeight + mtp->height());
    QCOMPARE(dlg->height(), model->height);

    QStringList labels;
    for (QLabel* l : dlg->findChildren<QLabel*>()) labels << l->text();
    for (const char* t :
         {"Tourenplaner - Einstellungen", "Routenbezeichnung", "Routenbeschreibung",
          "Fahrzeugprofil", "Streckenoptimierung ", "% auf Zeit", "BCR Verzeichnis"}) {
      QVERIFY2(labels.contains(q(t)), t);
    }
    QCOMPARE(find<QLineEdit>("ROUTENAME_E")->text(), q("Alpenübergang"));
    QCOMPARE(find<QLineEdit>("BCRDir_E")->text(), q("/tmp/bcr/"));
    QCOMPARE(find<QCheckBox>("RDeskripToFN")->text(), q("auch als Dateiname verwenden"));
    QCOMPARE(find<QPlainTextEdit>("Beschreibung")->toPlainText(), q("Zeile 1\nZeile 2"));
    QComboBox* profile = find<QComboBox>("PROFILE_Combo");
    QCOMPARE(profile->currentText(), q("Motorrad Anfahrt"));
    QStringList items;
    for (int i = 0; i < profile->count(); ++i) items << profile->itemText(i);
    QCOMPARE(items, (QStringList{q("Auto langsam"), q("Auto mittel"), q("Auto schnell"),
                                 q("Motorrad"), q("Motorrad Anfahrt"), q("Motorrad mittel"),
                                 q("Motorrad Tour"), q("Wohnwagen")}));
    QSpinBox* optim = find<QSpinBox>("OPTIMIZATION");
    QCOMPARE(optim->value(), 70);
    QCOMPARE(optim->minimum(), 30);
    QCOMPARE(optim->maximum(), 95);
    QCOMPARE(optim->singleStep(), 5);
    QVERIFY(find<QCheckBox>("CORRUSED_C")->isChecked());
    QCOMPARE(find<QCheckBox>("PREFERVIGN_C")->text(), q("Strecken mit Vignietten vermeiden"));
    QCOMPARE(find<QCheckBox>("PREFERNICE_C")->text(),
             q("landschaflich schöne Strecken bevorzugen"));
    verifyNothingCut();
  }

  void tourenplanerEditsReachTheSession() {
    s->opt.set(MpMTP, 50);
    s->opt.set(BcrDirectory, "/tmp/bcr/");
    prepare(5, 30);
    showDialog();
    QLineEdit* name = find<QLineEdit>("ROUTENAME_E");
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Tour S"));
    name->insert(q("ü"));  // QTest types ASCII only
    QTest::keyClicks(name, QStringLiteral("d"));
    QCOMPARE(model->ROUTENAME_E, std::string("Tour S\xFC"
                                             "d"));
    QTest::mouseClick(find<QCheckBox>("RDeskripToFN"), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(s->opt.get(RDeskripToFN));
    find<QComboBox>("PROFILE_Combo")->setCurrentIndex(7);
    QCOMPARE(s->opt.get(PIndex), 7);
    QSpinBox* optim = find<QSpinBox>("OPTIMIZATION");
    QTest::keyClick(optim, Qt::Key_Up);
    QCOMPARE(s->opt.get(OPTIMIZATION), 55);
    find<QCheckBox>("TRAFFICUSED_C")->setChecked(true);
    QVERIFY(s->opt.get(TRAFFICUSED_C));
    QPlainTextEdit* memo = find<QPlainTextEdit>("Beschreibung");
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("a"));
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("b"));
    QCOMPARE(s->opt.get(Beschreibung), std::string("a\r\nb"));

    // Every edit of the folder field goes into BcrDirectory at once.
    QLineEdit* dir = find<QLineEdit>("BCRDir_E");
    QTest::keyClick(dir, Qt::Key_End);
    QTest::keyClicks(dir, QStringLiteral("x"));
    QCOMPARE(s->opt.get(BcrDirectory), std::string("/tmp/bcr/x"));
    QCOMPARE(model->BCRDir_E, std::string("/tmp/bcr/x"));

    // The browse button: a chosen folder replaces the text, a cancelled browser keeps it.
    port->folderAnswers.push_back(std::string("/home/tour/Pl\xE4ne"));
    port->folderAnswers.push_back(std::nullopt);
    QToolButton* browse = find<QToolButton>("BCRDirButton");
    browse->click();
    QCOMPARE(dir->text(), q("/home/tour/Pläne"));
    QCOMPARE(s->opt.get(BcrDirectory), std::string("/home/tour/Pl\xE4ne"));
    browse->click();
    QCOMPARE(s->opt.get(BcrDirectory), std::string("/home/tour/Pl\xE4ne"));
    QCOMPARE(port->folderTitles.size(), size_t(2));
    QCOMPARE(port->folderTitles[0], "BCR Verzeichnis auswählen"_cp);
  }

  void tourenplanerFormWithSplitRow() {
    s->opt.set(MpMTP, 50);
    prepare(5, 120);
    showDialog();
    QFrame* split = find<QFrame>("SplitPanel");
    QFrame* mtp = find<QFrame>("MTPPanel");
    QVERIFY(split->isVisible());
    QVERIFY(mtp->isVisible());
    QVERIFY(split->geometry().bottom() < mtp->geometry().top());
    QCOMPARE(model->height, SplitDialog::kBaseHeight + split->height() + mtp->height());
    QCOMPARE(dlg->height(), model->height);
    QCOMPARE(text("RpInfoLabel"), q("Die Datei enthält mehr als die 50 vorgegebenen Routenpunkte "
                                    "für die Tourenplaner - BCR Datei"));
    QCOMPARE(text("DateiAnzahl"), q("2"));
    QCOMPARE(text("RestAnzahl"), q("20"));
    verifyNothingCut();
  }
};

QTEST_MAIN(SplitDialogTest)
#include "splitdialog_test.moc"
