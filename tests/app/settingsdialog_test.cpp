// The settings dialog's widgets follow its model: separator radios, the free character, the
// mirrored split fields, the TomTom page, the place-name warnings and the opening steps.

#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <map>
#include <memory>

#include "app/qtext.h"
#include "app/settingsdialog.h"
#include "core/cp1252.h"
#include "find_control.h"
#include "formats/bcr.h"
#include "formats/coordtext.h"
#include "formats/falk.h"
#include "formats/gpx.h"
#include "formats/navigon.h"
#include "formats/tomtom.h"
#include "session/map_options.h"
#include "support/fake_port.h"

using namespace kursolin;
using namespace kursolin::gui;

class SettingsDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::ScriptedPort> port;
  std::unique_ptr<Session> s;
  std::unique_ptr<SettingsDialog> dlg;

  template <class T>
  T* find(const char* name) {
    return test::findControl<T>(dlg.get(), name);
  }
  QRadioButton* radio(const char* name) { return find<QRadioButton>(name); }
  QSpinBox* spin(const char* name) { return find<QSpinBox>(name); }
  QCheckBox* box(const char* name) { return find<QCheckBox>(name); }
  // Clicks a control in the middle of its indicator, as a user would.
  static void click(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
  }
  void showDialog() {
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
  }

 private slots:
  void init() {
    port = std::make_unique<test::ScriptedPort>();
    s = std::make_unique<Session>(*port, HostSettings::german());
    dlg = std::make_unique<SettingsDialog>(*s);
  }
  void cleanup() {
    dlg.reset();
    s.reset();
    port.reset();
  }

  void gpxPageSetsWhatTheFileHolds() {
    showDialog();
    auto* content = find<QComboBox>("GpxInhaltCombo");
    QCOMPARE(content->count(), 3);
    QCOMPARE(content->itemText(1), QStringLiteral("Track aus den Routenpunkten"));
    QCOMPARE(content->currentIndex(), 0);
    content->setCurrentIndex(2);
    emit content->activated(2);
    QCOMPARE(s->opt.get(GpxInhalt), 2);
    QVERIFY(box("GpxViaPunkte")->isChecked());
    click(box("GpxViaPunkte"));
    QVERIFY(!s->opt.get(GpxViaPunkte));
    if (!qEnvironmentVariable("KURSOLIN_SCREENSHOTS").isEmpty()) {
      dlg->pages()->setCurrentIndex(dlg->pages()->count() - 1);
      QTest::qWait(20);
      dlg->grab().save(QDir(qEnvironmentVariable("KURSOLIN_SCREENSHOTS"))
                           .filePath(QStringLiteral("einstellungen-gpx.png")));
    }
  }

  void captionsAndPages() {
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Kursolin - Einstellungen"));
    const QStringList expected = {QStringLiteral(" Koordinaten - Texteingabe "),
                                  QStringLiteral(" Koordinaten - Textausgabe "),
                                  QStringLiteral(" Datei Splitting "),
                                  QString::fromUtf8(" NMEA Höhenkorrektur"),
                                  QStringLiteral("Navigon Mobile Navigator"),
                                  QStringLiteral("TomTom"),
                                  QStringLiteral("GPX"),
                                  QStringLiteral("Karte")};
    QStringList tabs;
    for (int i = 0; i < dlg->pages()->count(); ++i) tabs << dlg->pages()->tabText(i);
    QCOMPARE(tabs, expected);
    QCOMPARE(dlg->pages()->currentIndex(), 0);
    QCOMPARE(radio("TEKommaRadioButton")->text(), QStringLiteral("\",\"  -  Komma"));
    QCOMPARE(radio("TATabulatorRadioButton")->text(), QStringLiteral("\"Tab\"  -  Tabulator"));
    QCOMPARE(radio("TEFreeRadioButton")->text(), QStringLiteral(" Anderes Zeichen"));
    QCOMPARE(radio("TA_ON_RadioButton")->text(), QString::fromUtf8("erst östliche Länge"));
    QCOMPARE(
        box("MN42ShowOrt")->text(),
        QStringLiteral(" Navigon Version    MN|4.2  Ortsangaben in der Ausgabedatei zulassen"));
    QList<QPushButton*> buttons = dlg->findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 2);
    QCOMPARE(dlg->findChild<QPushButton*>(QStringLiteral("OkBtn"))->text(), QStringLiteral("OK"));
    QCOMPARE(dlg->findChild<QPushButton*>(QStringLiteral("MapFileEditButton"))->text(),
             QString::fromUtf8("…"));

    QStringList labels;
    for (QLabel* l : dlg->findChildren<QLabel*>()) labels << l->text();
    for (const char* text :
         {"Vorgaben zum Einlesen von Koordinaten aus einer Textdatei",
          "Vorgaben um Koordinaten in eine Textdatei auszugeben",
          "Angeben nach wieviel Zeilen Ausgabedateien gesplittet werden",
          "Tourenplanner BCR - Dateien ( Map+Guide basierend )  ",
          "Wird vom GPS-Empfänger kein Höhenkorrekturwert geliefert diesen Wert ",
          "Verschieden Einstellungen für Navigon Systeme alle Versionen",
          "Verschieden Einstellungen für TomTom Systeme alle Versionen"}) {
      QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
    }
  }

  void mapPageActsOnTheSession() {
    showDialog();
    auto* source = dlg->findChild<QComboBox*>(QStringLiteral("MapSourceCombo"));
    auto* url = dlg->findChild<QLineEdit*>(QStringLiteral("MapUrlEdit"));
    QVERIFY(source && url);
    QCOMPARE(source->itemText(2), QStringLiteral("Kartendatei"));
    QCOMPARE(url->text(), QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png"));
    QCOMPARE(dlg->findChild<QLineEdit*>(QStringLiteral("MapAttributionEdit"))->text(),
             QString::fromUtf8("© OpenStreetMap-Mitwirkende"));
    source->setCurrentIndex(1);
    emit source->activated(1);
    QCOMPARE(s->opt.get(MapSource), 1);
    url->selectAll();
    QTest::keyClicks(url, QString::fromUtf8("http://karten.local/{z}/{x}/{y}.png"));
    QCOMPARE(s->opt.get(MapUrl), std::string("http://karten.local/{z}/{x}/{y}.png"));
    port->openAnswers.push_back(std::string("/karten/M\xFCnchen.mbtiles"));
    dlg->findChild<QPushButton*>(QStringLiteral("MapFileEditButton"))->click();
    QCOMPARE(dlg->findChild<QLineEdit*>(QStringLiteral("MapFileEdit"))->text(),
             QString::fromUtf8("/karten/München.mbtiles"));
  }

  void fixedSizeWithAllTabsInSight() {
    showDialog();
    QCOMPARE(dlg->minimumSize(), dlg->maximumSize());
    QTabBar* bar = dlg->pages()->tabBar();
    QVERIFY(bar->tabRect(bar->count() - 1).right() <= bar->width());
  }

  void choosingASeparatorRadioChangesTheSession() {
    showDialog();
    QVERIFY(radio("TETabulatorRadioButton")->isChecked());
    click(radio("TESemikolonRadioButton"));
    QCOMPARE(s->opt.get(InputSeparator), std::string(";"));
    QCOMPARE(s->opt.get(InputSeparatorText), std::string(";"));
    QVERIFY(!s->opt.get(InputFreeSeparator));
    QVERIFY(!radio("TETabulatorRadioButton")->isChecked());

    dlg->pages()->setCurrentIndex(1);
    click(radio("TAStrichRadioButton"));
    QCOMPARE(s->opt.get(OutputSeparator), std::string("|"));
    QCOMPARE(s->opt.get(InputSeparator), std::string(";"));
    click(radio("TA_ON_RadioButton"));
    QVERIFY(!s->opt.get(OutputLatFirst));
    QVERIFY(s->opt.get(InputLatFirst));
  }

  void freeCharacterTakesEffectWhenChosenAgain() {
    showDialog();
    QLineEdit* edit = find<QLineEdit>("TEFreeEdit");
    QCOMPARE(edit->text(), QStringLiteral("-"));
    click(radio("TEFreeRadioButton"));
    QCOMPARE(s->opt.get(InputSeparator), std::string("-"));
    QVERIFY(s->opt.get(InputFreeSeparator));

    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("#x"));  // the field takes one character
    QCOMPARE(edit->text(), QStringLiteral("#"));
    QCOMPARE(s->opt.get(TEFreeEdit), std::string("#"));
    QCOMPARE(s->opt.get(InputSeparator), std::string("-"));
    click(radio("TEFreeRadioButton"));  // already chosen
    QCOMPARE(s->opt.get(InputSeparator), std::string("-"));

    click(radio("TEKommaRadioButton"));
    click(radio("TEFreeRadioButton"));
    QCOMPARE(s->opt.get(InputSeparator), std::string("#"));
    QVERIFY(radio("TEFreeRadioButton")->isChecked());
    QVERIFY(!radio("TEKommaRadioButton")->isChecked());
  }

  void openingShowsNoChoiceForAnOddSeparator() {
    s->opt.set(InputSeparator, "xy");
    s->opt.set(InputFreeSeparator, false);
    showDialog();
    for (const char* name : {"TEKommaRadioButton", "TESemikolonRadioButton", "TEStrichRadioButton",
                             "TEPunktRadioButton", "TETabulatorRadioButton", "TEFreeRadioButton"}) {
      QVERIFY2(!radio(name)->isChecked(), name);
    }
    QCOMPARE(s->opt.get(InputSeparator), std::string("xy"));
    // A click still chooses normally from there.
    click(radio("TEPunktRadioButton"));
    QCOMPARE(s->opt.get(InputSeparator), std::string("."));
  }

  void eachShowingRunsTheOpeningStepsAndKeepsThePage() {
    showDialog();
    dlg->pages()->setCurrentIndex(3);
    dlg->accept();
    s->opt.set(InputSeparator, ",");
    s->opt.set(MpMN, 321);
    showDialog();
    QCOMPARE(dlg->pages()->currentIndex(), 3);
    QVERIFY(radio("TEKommaRadioButton")->isChecked());
    QCOMPARE(s->opt.inputOptionsAtSettings, std::string(","));
    QCOMPARE(spin("MpMNEdit")->value(), 321);
    QCOMPARE(spin("MNSpinEdit")->value(), 321);
  }

  void mirroringBetweenTheTwoNavigonFields() {
    showDialog();
    spin("MNSpinEdit")->setValue(250);
    QCOMPARE(spin("MpMNEdit")->value(), 250);
    QCOMPARE(s->opt.get(MpMN), 250);
    spin("MpMNEdit")->setValue(40);
    QCOMPARE(spin("MNSpinEdit")->value(), 40);
    QCOMPARE(s->opt.get(MpMN), 40);
    // Typing goes through the same rule; the range stops at 10000.
    QSpinBox* f = spin("MNSpinEdit");
    f->selectAll();
    QTest::keyClicks(f, QStringLiteral("99999"));
    QCOMPARE(f->value(), 10000);
    QCOMPARE(spin("MpMNEdit")->value(), 10000);
    QCOMPARE(s->opt.get(MpMN), 10000);
  }

  // Every number field: a value outside the range becomes the nearer bound, a field left
  // without a number the minimum; the session takes the value.
  void numberFieldsFollowTheRangeRule_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("shown");
    struct Field {
      const char* name;
      int page, max;
    };
    for (const Field f :
         {Field{"MpMNEdit", 2, 10000}, Field{"MpTTEdit", 2, 10000}, Field{"MpMTPEdit", 2, 10000},
          Field{"MpFalkEdit", 2, 10000}, Field{"MpGPXEdit", 2, 10000}, Field{"HKorEdit", 3, 1000},
          Field{"MNSpinEdit", 4, 10000}, Field{"TTSpinEdit", 5, 10000}}) {
      const QString name = QString::fromLatin1(f.name);
      QTest::addRow("%s in range", f.name) << name << f.page << QStringLiteral("123") << 123;
      QTest::addRow("%s above", f.name) << name << f.page << QStringLiteral("20000") << f.max;
      QTest::addRow("%s below", f.name) << name << f.page << QStringLiteral("-5") << 0;
      QTest::addRow("%s emptied", f.name) << name << f.page << QString() << 0;
      QTest::addRow("%s only a sign", f.name) << name << f.page << QStringLiteral("-") << 0;
    }
  }
  void numberFieldsFollowTheRangeRule() {
    QFETCH(QString, field);
    QFETCH(int, page);
    QFETCH(QString, typed);
    QFETCH(int, shown);
    for (const IntOption* o : {&MpMN, &MpTT3, &MpMTP, &MpFalk, &MpGPX}) s->opt.set(*o, 77);
    s->opt.HKorEdit = 77;
    dlg->pages()->setCurrentIndex(page);
    showDialog();
    dlg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    QSpinBox* f = spin(field.toLatin1().constData());
    f->setFocus();
    QTRY_VERIFY(f->hasFocus());
    f->selectAll();
    QTest::keyClick(f, Qt::Key_Backspace);
    QTest::keyClicks(f, typed);
    QTest::keyClick(f, Qt::Key_Tab);  // leaving the field completes the entry
    QVERIFY(!f->hasFocus());
    QCOMPARE(f->value(), shown);
    QCOMPARE(f->text(), QString::number(shown));
    const std::map<QString, int> held = {{QStringLiteral("MpMNEdit"), s->opt.get(MpMN)},
                                         {QStringLiteral("MNSpinEdit"), s->opt.get(MpMN)},
                                         {QStringLiteral("MpTTEdit"), s->opt.get(MpTT3)},
                                         {QStringLiteral("TTSpinEdit"), s->opt.get(MpTT3)},
                                         {QStringLiteral("MpMTPEdit"), s->opt.get(MpMTP)},
                                         {QStringLiteral("MpFalkEdit"), s->opt.get(MpFalk)},
                                         {QStringLiteral("MpGPXEdit"), s->opt.get(MpGPX)},
                                         {QStringLiteral("HKorEdit"), s->opt.HKorEdit}};
    QCOMPARE(held.at(field), shown);
  }

  void tomTomPage() {
    showDialog();
    QSpinBox* tt = spin("TTSpinEdit");
    QCOMPARE(tt->value(), 15);  // MpTT3's default, not the design's 0
    tt->setValue(30);
    QCOMPARE(s->opt.get(MpTT3), 30);
    QCOMPARE(spin("MpTTEdit")->value(), 30);
    spin("MpTTEdit")->setValue(7);
    QCOMPARE(tt->value(), 7);
    QCheckBox* placeNames = box("TTShowOrt");
    QVERIFY(!placeNames->isEnabled());
    QVERIFY(!placeNames->toolTip().isEmpty());
    QCOMPARE(
        placeNames->text(),
        QString::fromUtf8("für  TomTom alle Versionen Ortsangaben in der Ausgabedatei zulassen"));
  }

  void otherSplitFieldsAndAltitude() {
    showDialog();
    spin("MpMTPEdit")->setValue(60);
    spin("MpFalkEdit")->setValue(0);
    spin("MpGPXEdit")->setValue(250);
    spin("HKorEdit")->setValue(1000);
    box("HoeheNull")->setChecked(false);
    QCOMPARE(s->opt.get(MpMTP), 60);
    QCOMPARE(s->opt.get(MpFalk), 0);
    QCOMPARE(s->opt.get(MpGPX), 250);
    QCOMPARE(s->opt.HKorEdit, 1000);
    QVERIFY(!s->opt.HoeheNull);
    QCOMPARE(spin("HKorEdit")->maximum(), 1000);
  }

  void warningOpensOncePerKeyPressOnTheBox() {
    // The warning closes as Enter or Escape goes down; the key comes up on the box.
    struct KeyDismissedPort : test::ScriptedPort {
      QWidget* box = nullptr;
      Qt::Key key = Qt::Key_Return;
      PromptAnswer prompt(PromptKind kind, PromptButtons buttons,
                          const std::string& text) override {
        const PromptAnswer a = ScriptedPort::prompt(kind, buttons, text);
        // Bounded, so a box that warns at every release fails here instead of recursing on.
        if (box && prompts.size() < 5) QTest::keyRelease(box, key);
        return a;
      }
    } keyPort;
    Session session(keyPort, HostSettings::german());
    SettingsDialog d(session);
    d.pages()->setCurrentIndex(4);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    for (const char* name : {"MN4ShowOrt", "MN42ShowOrt"}) {
      for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        auto* b = test::findControl<QCheckBox>(&d, name);
        b->setChecked(false);
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        keyPort.clearRecords();
        keyPort.box = b;
        keyPort.key = key;
        QTest::keyClick(b, Qt::Key_Space);  // ticks the box: one warning
        QVERIFY(b->isChecked());
        QCOMPARE(keyPort.prompts.size(), size_t(1));
        QTest::keyClick(b, Qt::Key_Space);  // clears it: none
        QVERIFY(!b->isChecked());
        QTest::keyClick(b, Qt::Key_Space);  // ticks it again: one more
        QCOMPARE(keyPort.prompts.size(), size_t(2));
        QCOMPARE(keyPort.prompts[1].kind, PromptKind::Warning);
      }
    }
    keyPort.box = nullptr;
  }

  void placeNameWarnings() {
    showDialog();
    dlg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    dlg->pages()->setCurrentIndex(4);
    QCheckBox* mn4 = box("MN4ShowOrt");
    click(mn4);  // checks it: warns
    QVERIFY(s->opt.get(MN4ShowOrt));
    QCOMPARE(port->prompts.size(), size_t(1));
    QCOMPARE(port->prompts[0].kind, PromptKind::Warning);
    QCOMPARE(port->prompts[0].buttons, PromptButtons::Ok);
    QCOMPARE(port->prompts[0].text, mn4ShowOrtWarning());

    click(mn4);  // unchecks it: silent
    QVERIFY(!s->opt.get(MN4ShowOrt));
    QCOMPARE(port->prompts.size(), size_t(1));

    QCheckBox* mn42 = box("MN42ShowOrt");
    mn42->setChecked(true);  // as the settings load does: silent
    QCOMPARE(port->prompts.size(), size_t(1));
    QVERIFY(s->opt.get(MN42ShowOrt));
    // The Tab key that moved the focus onto the box is released on it.
    mn4->setFocus();
    QTRY_VERIFY(mn4->hasFocus());
    QTest::keyPress(mn4, Qt::Key_Tab);
    QVERIFY(mn42->hasFocus());
    QTest::keyRelease(mn42, Qt::Key_Tab);
    QCOMPARE(port->prompts.size(), size_t(2));
    QCOMPARE(port->prompts[1].text, mn42ShowOrtWarning());

    QTest::mouseClick(mn42, Qt::RightButton, {}, QPoint(8, mn42->height() / 2));
    QCOMPARE(port->prompts.size(), size_t(2));

    click(box("MN5ShowOrt"));  // unchecks MN5 (on by default)
    click(box("MN5ShowOrt"));  // checks it again: MN5 never warns
    QVERIFY(s->opt.get(MN5ShowOrt));
    QCOMPARE(port->prompts.size(), size_t(2));
  }
};

QTEST_MAIN(SettingsDialogTest)
#include "settingsdialog_test.moc"
