// The desktop port: German message boxes with the right icons, buttons and answers, the file and
// folder dialogs driven as a user would, the throttled event processing and the window hooks.

#include <QtTest>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <unistd.h>

#include <functional>
#include <memory>
#include <type_traits>

#include "app/qtext.h"
#include "app/qtport.h"
#include "core/cp1252.h"
#include "session/isolated.h"

using namespace kursolin;
using namespace kursolin::gui;

Q_DECLARE_METATYPE(kursolin::PromptKind)
Q_DECLARE_METATYPE(kursolin::PromptButtons)
Q_DECLARE_METATYPE(kursolin::PromptAnswer)

namespace {

using ButtonTexts = QList<QPair<int, QString>>;  // standard button, label

// Acts on the next modal widget of type T once it is shown. An act that returns false is tried
// again at the next tick (the file dialogs fill their views in the background). A watcher whose
// dialog never appears gives up; the owner (one per test) takes all watchers with it, and the
// rescue timer of the test closes a dialog that a failed test left open.
template <class T, class Act>
void whenModal(QObject* owner, Act act, bool* seen = nullptr) {
  auto* timer = new QTimer(owner);
  QElapsedTimer clock;
  clock.start();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, act, seen]() {
    T* w = qobject_cast<T*>(QApplication::activeModalWidget());
    if (w != nullptr && w->isVisible()) {
      timer->stop();
      bool done = true;
      if constexpr (std::is_void_v<decltype(act(w))>) {
        act(w);
      } else {
        done = act(w);
      }
      if (!done) {
        timer->start();
        return;
      }
      if (seen) *seen = true;
      timer->deleteLater();
    } else if (clock.elapsed() > 5000) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start();
}

QAbstractButton* buttonLabelled(QMessageBox* box, const QString& text) {
  for (QAbstractButton* b : box->buttons()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

// Puts the path into the dialog; true once the dialog really holds it (as expected, which is
// the path with the default extension where the dialog adds one).
bool holds(QFileDialog* d, const QString& path, QString expected = {}) {
  if (expected.isEmpty()) expected = path;
  d->selectFile(path);
  return QFileInfo(d->selectedFiles().value(0)).absoluteFilePath() ==
         QFileInfo(expected).absoluteFilePath();
}

// The dialog's accept slot, as its "Öffnen" / "Speichern" button runs it.
void pressAccept(QFileDialog* d) {
  QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
}

void writeFile(const QString& path, const QByteArray& bytes = "x\r\n") {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

FileDialogRequest request(const QString& dir, const std::string& name = {}) {
  FileDialogRequest r;
  r.title = "TomTom Routendatei laden";
  r.filter = "TomTom Routendatei(*.itn)|*.itn";
  r.defaultExt = "itn";
  r.fileName = name;
  r.initialDir = fromQString(dir);
  return r;
}

}  // namespace

class QtPortTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    qRegisterMetaType<PromptKind>();
    qRegisterMetaType<PromptButtons>();
    qRegisterMetaType<PromptAnswer>();
    rescue_.setSingleShot(true);
    rescue_.setInterval(20000);
    connect(&rescue_, &QTimer::timeout, [] {
      qWarning("dialog left open by the test; closing it");
      for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i) {
        QApplication::activeModalWidget()->close();
      }
    });
  }
  void init() {
    scope_ = std::make_unique<QObject>();
    rescue_.start();
  }
  void cleanup() {
    rescue_.stop();
    scope_.reset();  // no watcher of this test may act in the next one
  }

  // ------------------------------------------------------------ message boxes

  void promptBox_data() {
    QTest::addColumn<PromptKind>("kind");
    QTest::addColumn<PromptButtons>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<ButtonTexts>("texts");
    QTest::addColumn<int>("escape");
    QTest::addColumn<int>("defaultButton");
    QTest::newRow("error abort ignore")
        << PromptKind::Error << PromptButtons::AbortIgnore << int(QMessageBox::Critical)
        << ButtonTexts{{QMessageBox::Abort, "Abbrechen"}, {QMessageBox::Ignore, "Ignorieren"}}
        << int(QMessageBox::Abort) << int(QMessageBox::Abort);
    QTest::newRow("error abort") << PromptKind::Error << PromptButtons::Abort
                                 << int(QMessageBox::Critical)
                                 << ButtonTexts{{QMessageBox::Abort, "Abbrechen"}}
                                 << int(QMessageBox::Abort) << int(QMessageBox::Abort);
    QTest::newRow("information abort")
        << PromptKind::Information << PromptButtons::Abort << int(QMessageBox::Information)
        << ButtonTexts{{QMessageBox::Abort, "Abbrechen"}} << int(QMessageBox::Abort)
        << int(QMessageBox::Abort);
    QTest::newRow("warning ok") << PromptKind::Warning << PromptButtons::Ok
                                << int(QMessageBox::Warning) << ButtonTexts{{QMessageBox::Ok, "OK"}}
                                << int(QMessageBox::Ok) << int(QMessageBox::Ok);
    QTest::newRow("confirmation yes no")
        << PromptKind::Confirmation << PromptButtons::YesNo << int(QMessageBox::Question)
        << ButtonTexts{{QMessageBox::Yes, "Ja"}, {QMessageBox::No, "Nein"}} << int(QMessageBox::No)
        << int(QMessageBox::Yes);
    QTest::newRow("confirmation yes cancel")
        << PromptKind::Confirmation << PromptButtons::YesCancel << int(QMessageBox::Question)
        << ButtonTexts{{QMessageBox::Yes, "Ja"}, {QMessageBox::Cancel, "Abbrechen"}}
        << int(QMessageBox::Cancel) << int(QMessageBox::Yes);
  }
  void promptBox() {
    QFETCH(PromptKind, kind);
    QFETCH(PromptButtons, buttons);
    QFETCH(int, icon);
    QFETCH(ButtonTexts, texts);
    QFETCH(int, escape);
    QFETCH(int, defaultButton);
    const std::string text =
        "Pr\xFC"
        "fsummenfehler in Zeile 12\rDatensatz <ung\xFCltig>";
    auto box = buildPromptBox(nullptr, kind, buttons, text);
    QCOMPARE(box->windowTitle(), QStringLiteral("Kursolin"));
    QCOMPARE(int(box->icon()), icon);
    QCOMPARE(box->text(), QString::fromUtf8("Prüfsummenfehler in Zeile 12\nDatensatz <ungültig>"));
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->buttons().size(), texts.size());
    for (const auto& [standard, label] : texts) {
      QAbstractButton* b = box->button(QMessageBox::StandardButton(standard));
      QVERIFY2(b != nullptr, qPrintable(label));
      QCOMPARE(b->text(), label);
    }
    QCOMPARE(box->escapeButton(), box->button(QMessageBox::StandardButton(escape)));
    QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()),
             box->button(QMessageBox::StandardButton(defaultButton)));
  }

  void answerMapping() {
    struct Case {
      PromptButtons set;
      QMessageBox::StandardButton clicked;
      PromptAnswer answer;
    };
    const Case cases[] = {
        {PromptButtons::AbortIgnore, QMessageBox::Abort, PromptAnswer::Abort},
        {PromptButtons::AbortIgnore, QMessageBox::Ignore, PromptAnswer::Ignore},
        {PromptButtons::AbortIgnore, QMessageBox::NoButton, PromptAnswer::Abort},
        {PromptButtons::AbortIgnore, QMessageBox::Yes, PromptAnswer::Abort},
        {PromptButtons::Abort, QMessageBox::Abort, PromptAnswer::Abort},
        {PromptButtons::Abort, QMessageBox::Ok, PromptAnswer::Abort},
        {PromptButtons::Ok, QMessageBox::Ok, PromptAnswer::Ok},
        {PromptButtons::Ok, QMessageBox::NoButton, PromptAnswer::Ok},
        {PromptButtons::YesNo, QMessageBox::Yes, PromptAnswer::Yes},
        {PromptButtons::YesNo, QMessageBox::No, PromptAnswer::No},
        {PromptButtons::YesNo, QMessageBox::Cancel, PromptAnswer::No},
        {PromptButtons::YesCancel, QMessageBox::Yes, PromptAnswer::Yes},
        {PromptButtons::YesCancel, QMessageBox::Cancel, PromptAnswer::Cancel},
        {PromptButtons::YesCancel, QMessageBox::No, PromptAnswer::Cancel},
    };
    for (const Case& c : cases) {
      QCOMPARE(answerForButton(c.set, c.clicked), c.answer);
    }
  }

  void promptAnswersTheButtonClicked_data() {
    QTest::addColumn<PromptButtons>("buttons");
    QTest::addColumn<QString>("click");  // a label, or "Escape" / "close"
    QTest::addColumn<PromptAnswer>("answer");
    QTest::newRow("Ignorieren") << PromptButtons::AbortIgnore << "Ignorieren"
                                << PromptAnswer::Ignore;
    QTest::newRow("Abbrechen") << PromptButtons::AbortIgnore << "Abbrechen" << PromptAnswer::Abort;
    QTest::newRow("Escape on abort ignore")
        << PromptButtons::AbortIgnore << "Escape" << PromptAnswer::Abort;
    QTest::newRow("close on abort ignore")
        << PromptButtons::AbortIgnore << "close" << PromptAnswer::Abort;
    QTest::newRow("single abort") << PromptButtons::Abort << "Abbrechen" << PromptAnswer::Abort;
    QTest::newRow("OK") << PromptButtons::Ok << "OK" << PromptAnswer::Ok;
    QTest::newRow("Escape on OK") << PromptButtons::Ok << "Escape" << PromptAnswer::Ok;
    QTest::newRow("Ja") << PromptButtons::YesNo << "Ja" << PromptAnswer::Yes;
    QTest::newRow("Nein") << PromptButtons::YesNo << "Nein" << PromptAnswer::No;
    QTest::newRow("Escape on yes no") << PromptButtons::YesNo << "Escape" << PromptAnswer::No;
    QTest::newRow("close on yes no") << PromptButtons::YesNo << "close" << PromptAnswer::No;
    QTest::newRow("Ja of yes cancel") << PromptButtons::YesCancel << "Ja" << PromptAnswer::Yes;
    QTest::newRow("Abbrechen of yes cancel")
        << PromptButtons::YesCancel << "Abbrechen" << PromptAnswer::Cancel;
    QTest::newRow("Escape on yes cancel")
        << PromptButtons::YesCancel << "Escape" << PromptAnswer::Cancel;
  }
  void promptAnswersTheButtonClicked() {
    QFETCH(PromptButtons, buttons);
    QFETCH(QString, click);
    QFETCH(PromptAnswer, answer);
    bool seen = false;
    whenModal<QMessageBox>(
        scope(),
        [click](QMessageBox* box) {
          if (click == "Escape") {
            QTest::keyClick(box, Qt::Key_Escape);
          } else if (click == "close") {
            box->close();
          } else if (QAbstractButton* b = buttonLabelled(box, click)) {
            b->click();
          } else {
            box->close();
          }
        },
        &seen);
    QtPort port;
    QCOMPARE(port.prompt(PromptKind::Error, buttons, "Frage"), answer);
    QVERIFY(seen);
  }

  // ------------------------------------------------------------ file dialogs

  void openDialogIsPrepared() {
    QTemporaryDir dir;
    FileDialog d(nullptr, request(dir.path()), false);
    QCOMPARE(d.windowTitle(), QStringLiteral("TomTom Routendatei laden"));
    QCOMPARE(d.nameFilters(), (QStringList{"TomTom Routendatei(*.itn)", "Alle Dateien (*)"}));
    QCOMPARE(d.defaultSuffix(), QStringLiteral("itn"));
    QCOMPARE(QDir(d.directory()).absolutePath(), QDir(dir.path()).absolutePath());
    QCOMPARE(d.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(d.acceptMode(), QFileDialog::AcceptOpen);
    QVERIFY(d.testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(d.labelText(QFileDialog::Accept), QString::fromUtf8("Öffnen"));
    QCOMPARE(d.labelText(QFileDialog::Reject), QStringLiteral("Abbrechen"));
    QCOMPARE(d.labelText(QFileDialog::FileName), QStringLiteral("Dateiname:"));
  }

  void saveDialogIsPrepared() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("F"));
    FileDialogRequest r = request(dir.path(), fromQString(dir.path() + "/F/Alpen.itn"));
    FileDialog d(nullptr, r, true);
    QCOMPARE(d.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(d.labelText(QFileDialog::Accept), QStringLiteral("Speichern"));
    // A proposed name with a folder opens in that folder.
    QCOMPARE(QDir(d.directory()).absolutePath(), QDir(dir.path() + "/F").absolutePath());
    QVERIFY(d.selectedFiles().value(0).endsWith("/F/Alpen.itn"));
  }

  void missingInitialFolderFallsBackToItsParent() {
    QTemporaryDir dir;
    FileDialog d(nullptr, request(dir.path() + "/weg/auch weg"), false);
    QCOMPARE(QDir(d.directory()).absolutePath(), QDir(dir.path()).absolutePath());
  }

  void openReturnsTheChosenFile() {
    QTemporaryDir dir;
    const QString path = dir.path() + QString::fromUtf8("/Zürich.itn");
    writeFile(path);
    whenModal<FileDialog>(scope(), [path](FileDialog* d) {
      if (!holds(d, path)) return false;
      pressAccept(d);
      return true;
    });
    QtPort port;
    const auto chosen = port.openFile(request(dir.path()));
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, fromQString(path));
    QVERIFY(chosen->find("Z\xFCrich.itn") != std::string::npos);
  }

  void openRefusesAMissingFileAndStaysOpen() {
    QTemporaryDir dir;
    QString warning;
    bool stillOpen = false;
    whenModal<FileDialog>(scope(), [&](FileDialog* d) {
      if (!holds(d, dir.path() + "/fehlt.itn")) return false;
      whenModal<QMessageBox>(scope(), [&](QMessageBox* box) {
        warning = box->text();
        whenModal<FileDialog>(scope(), [&](FileDialog* again) {
          stillOpen = true;
          again->reject();
        });
        buttonLabelled(box, "OK")->click();
      });
      pressAccept(d);
      return true;
    });
    QtPort port;
    QCOMPARE(port.openFile(request(dir.path())), std::nullopt);
    QVERIFY2(warning.startsWith("Die Datei ") && warning.contains("fehlt.itn") &&
                 warning.contains("nicht gefunden"),
             qPrintable(warning));
    QVERIFY(stillOpen);
  }

  void cancelledOpenGivesNothing() {
    QTemporaryDir dir;
    writeFile(dir.path() + "/a.itn");
    whenModal<FileDialog>(scope(), [&](FileDialog* d) {
      d->selectFile(dir.path() + "/a.itn");
      d->reject();
    });
    QtPort port;
    QCOMPARE(port.openFile(request(dir.path())), std::nullopt);
  }

  void saveAddsTheDefaultExtension() {
    QTemporaryDir dir;
    whenModal<FileDialog>(scope(), [&](FileDialog* d) {
      if (!holds(d, dir.path() + "/Alpen", dir.path() + "/Alpen.itn")) return false;
      pressAccept(d);
      return true;
    });
    QtPort port;
    const auto chosen = port.saveFile(request(dir.path(), "Alpen"));
    QVERIFY(chosen.has_value());
    QCOMPARE(QString::fromStdString(*chosen), QDir(dir.path()).absoluteFilePath("Alpen.itn"));
  }

  void saveAsksBeforeReplacing_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("Ja") << "Ja";
    QTest::newRow("Nein") << "Nein";
  }
  void saveAsksBeforeReplacing() {
    QFETCH(QString, answer);
    QTemporaryDir dir;
    const QString path = dir.path() + "/Alpen.itn";
    writeFile(path, "alt\r\n");
    QString question;
    int icon = -1;
    bool reopened = false;
    whenModal<FileDialog>(scope(), [&](FileDialog* d) {
      if (!holds(d, path)) return false;
      whenModal<QMessageBox>(scope(), [&](QMessageBox* box) {
        question = box->text();
        icon = box->icon();
        if (answer == "Nein") {
          whenModal<FileDialog>(scope(), [&](FileDialog* again) {
            reopened = true;
            again->reject();
          });
        }
        buttonLabelled(box, answer)->click();
      });
      pressAccept(d);
      return true;
    });
    QtPort port;
    const auto chosen = port.saveFile(request(dir.path(), "Alpen.itn"));
    QVERIFY2(question.contains("Alpen.itn") && question.contains("existiert bereits") &&
                 question.contains("ersetzt"),
             qPrintable(question));
    QCOMPARE(icon, int(QMessageBox::Question));
    if (answer == "Ja") {
      QCOMPARE(chosen, std::optional<std::string>(fromQString(path)));
    } else {
      QCOMPARE(chosen, std::nullopt);
      QVERIFY(reopened);
    }
    // Asking changes nothing on disk; the caller writes.
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("alt\r\n"));
  }

  void pathsBeyondCp1252AreRefused() {
    QTemporaryDir dir;
    const QString folder = dir.path() + QString::fromUtf8("/東京");
    QVERIFY(QDir().mkpath(folder));
    writeFile(folder + "/a.itn");
    QString warning;
    whenModal<FileDialog>(scope(), [&](FileDialog* d) {
      if (!holds(d, folder + "/a.itn")) return false;
      whenModal<QMessageBox>(scope(), [&](QMessageBox* box) {
        warning = box->text();
        whenModal<FileDialog>(scope(), [](FileDialog* again) { again->reject(); });
        buttonLabelled(box, "OK")->click();
      });
      pressAccept(d);
      return true;
    });
    QtPort port;
    QCOMPARE(port.openFile(request(dir.path())), std::nullopt);
    QVERIFY2(warning.contains("nicht verarbeiten"), qPrintable(warning));
  }

  void folderBrowser() {
    QTemporaryDir dir;
    const QString folder = dir.path() + QString::fromUtf8("/BCR Ausgabe ä");
    QVERIFY(QDir().mkpath(folder));
    QString title;
    bool dirsOnly = false;
    whenModal<FolderDialog>(scope(), [&](FolderDialog* d) {
      title = d->windowTitle();
      dirsOnly = d->testOption(QFileDialog::ShowDirsOnly);
      // With nothing typed the folder shown is the one chosen.
      d->setDirectory(folder);
      if (auto* edit = d->findChild<QLineEdit*>()) edit->clear();
      if (QFileInfo(d->selectedFiles().value(0)).absoluteFilePath() != QDir(folder).absolutePath())
        return false;
      pressAccept(d);
      return true;
    });
    QtPort port;
    const auto chosen = port.browseFolder("BCR Verzeichnis ausw\xE4hlen");
    QCOMPARE(title, QString::fromUtf8("BCR Verzeichnis auswählen"));
    QVERIFY(dirsOnly);
    QVERIFY(chosen.has_value());
    QCOMPARE(QDir(toQString(*chosen)).absolutePath(), QDir(folder).absolutePath());

    whenModal<FolderDialog>(scope(), [](FolderDialog* d) { d->reject(); });
    QCOMPARE(port.browseFolder("x"), std::nullopt);
  }

  // ------------------------------------------------------------ waiting for a child process

  // A read that takes long shows a modal wait with its text and "Abbrechen"; a click on
  // "Abbrechen" ends the child at once, long before its time limit.
  void abbrechenEndsAWaitedChild() {
    QtPort port;
    QObject owner;
    QString shownText;
    bool seen = false;
    whenModal<QProgressDialog>(
        &owner,
        [&](QProgressDialog* d) {
          shownText = d->labelText();
          for (QPushButton* b : d->findChildren<QPushButton*>()) {
            if (b->text() == QStringLiteral("Abbrechen")) b->click();
          }
        },
        &seen);
    ChildLimits limits;
    limits.time = std::chrono::minutes(10);
    QElapsedTimer clock;
    clock.start();
    const ChildOutcome out =
        runInChild(port, "Die Datenbank d.qu3 wird gelesen ...", limits, [](ChildResultWriter&) {
          while (true) ::pause();
          return 0;
        });
    QVERIFY(seen);
    QCOMPARE(out.end, ChildEnd::Cancelled);
    QCOMPARE(shownText, QStringLiteral("Die Datenbank d.qu3 wird gelesen ..."));
    QVERIFY(clock.elapsed() < 30000);
  }

  // ------------------------------------------------------------ events and hooks

  void pendingEventsAreThrottled() {
    struct Counter : QObject {
      int events = 0;
      bool event(QEvent* e) override {
        if (e->type() == QEvent::User) ++events;
        return QObject::event(e);
      }
    } counter;
    QtPort port;
    port.setEventInterval(0);
    for (int i = 1; i <= 3; ++i) {
      QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
      port.processPendingEvents();
      QCOMPARE(counter.events, i);
    }
    // An hour between rounds: the first call handles the queue, the next ones leave it.
    QtPort slow;
    slow.setEventInterval(3600 * 1000);
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    slow.processPendingEvents();
    QCOMPARE(counter.events, 4);
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    for (int i = 0; i < 1000; ++i) slow.processPendingEvents();
    QCOMPARE(counter.events, 4);
    QCoreApplication::sendPostedEvents(&counter);
    QCOMPARE(counter.events, 5);
  }

  void hooksReceiveUnicodeText() {
    QtPort port;
    // Without hooks nothing happens.
    port.setInputCaption("a");
    port.setBusy(true);
    port.focusOutputPane();
    port.stateChanged();

    QStringList seen;
    port.inputCaptionHandler = [&](const QString& t) { seen << "in:" + t; };
    port.outputCaptionHandler = [&](const QString& t) { seen << "out:" + t; };
    port.statusTextHandler = [&](const QString& t) { seen << "status:" + t; };
    port.busyHandler = [&](bool b) { seen << (b ? "busy" : "idle"); };
    port.focusOutputPaneHandler = [&] { seen << "focus"; };
    port.stateChangedHandler = [&] { seen << "state"; };
    port.setInputCaption("NEMA Log \"GGA + VTG\" - Zeilen = 5");
    port.setOutputCaption("Routenpunkte := 3");
    port.setStatusText("Koordinaten Gr\xB0 Min\xB4");
    port.setBusy(true);
    port.setBusy(false);
    port.focusOutputPane();
    port.stateChanged();
    QCOMPARE(seen, (QStringList{"in:NEMA Log \"GGA + VTG\" - Zeilen = 5", "out:Routenpunkte := 3",
                                QString::fromUtf8("status:Koordinaten Gr° Min´"), "busy", "idle",
                                "focus", "state"}));
  }

 private:
  QObject* scope() { return scope_.get(); }
  QTimer rescue_;
  std::unique_ptr<QObject> scope_;
};

QTEST_MAIN(QtPortTest)
#include "qtport_test.moc"
