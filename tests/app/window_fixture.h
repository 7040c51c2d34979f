#pragma once
// A main window started as the program starts it, in a scratch program folder, with its questions
// answered by a scripted port; and small readers of what its widgets show.

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/mainwindow.h"
#include "app/qtext.h"
#include "core/cp1252.h"
#include "core/host.h"
#include "support/fake_port.h"
#include "support/nmea_writer.h"

namespace kursolin::test {

inline HostSettings hostFor(char sep) {
  return sep == ',' ? HostSettings::german() : HostSettings::english();
}

/// A program folder of its own, with a help file so no start-up message asks for one.
class ProgramFolder {
 public:
  ProgramFolder() {
    if (!dir_.isValid()) qFatal("no temporary folder");
    write("KSHelp.hlp", "{\\rtf1\\ansi Bedienungsanleitung}");
  }
  /// AppDir as the session holds it (cp1252, ending in '/').
  std::string appDir() const { return sessionPath(dir_.path().toStdString()) + "/"; }
  QString path(const QString& name) const { return dir_.filePath(name); }
  /// The session's (cp1252) form of a file path in the folder.
  std::string sessionFile(const QString& name) const {
    return sessionPath(path(name).toStdString());
  }
  void write(const QString& name, const std::string& bytes) const {
    QFile f(path(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  std::string read(const QString& name) const {
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
  }
  /// Settings lines (CR LF added), written as Kursolin.Ini.
  void settings(const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    write(QStringLiteral("Kursolin.Ini"), bytes);
  }

 private:
  QTemporaryDir dir_;
};

/// Closes any modal window that a secondary window of the program opens during a test (the start
/// notice, once it is part of the build), counting them.
class ModalCloser : public QObject {
 public:
  ModalCloser() {
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (!enabled) return;
      if (QWidget* w = QApplication::activeModalWidget()) {
        ++closed;
        w->close();
      }
    });
    timer_.start();
  }
  int closed = 0;
  bool enabled = true;  // off while a test handles a window itself

 private:
  QTimer timer_;
};

/// The window, shown and through its first activation.
struct StartedWindow {
  explicit StartedWindow(const ProgramFolder& folder, char sep = ',')
      : window(std::make_unique<gui::MainWindow>(folder.appDir(), hostFor(sep), &port)) {
    QObject::connect(window.get(), &gui::MainWindow::startNoticeRequested,
                     [this] { ++startNotices; });
    window->show();
    window->activateWindow();  // a display without a window manager activates nothing itself
    if (!QTest::qWaitForWindowActive(window.get(), 2000)) window->startUp();
    QTest::qWait(1);  // the deferred start notice
  }
  gui::MainWindow& operator*() { return *window; }
  gui::MainWindow* operator->() { return window.get(); }
  Session& s() { return window->session(); }

  template <class T>
  T* find(const char* name) {
    T* w = window->findChild<T*>(QString::fromLatin1(name));
    if (!w) qWarning("no widget %s", name);
    return w;
  }
  QAction* action(const char* name) { return find<QAction>(name); }
  QPlainTextEdit* input() { return find<QPlainTextEdit>("NMEADaten"); }
  QPlainTextEdit* output() { return find<QPlainTextEdit>("Navi"); }
  QString label(const char* name) { return find<QLabel>(name)->text(); }

  /// Loads the file through "Datei laden" with the open dialog answered by the path.
  void load(const std::string& path) {
    port.openAnswers.push_back(path);
    action("LoadNMEA")->trigger();
  }

  ScriptedPort port;
  ModalCloser modals;
  int startNotices = 0;
  std::unique_ptr<gui::MainWindow> window;
};

/// Runs `act` on the modal window of class T once it shows (tests acting in a dialog); gives up
/// after five seconds.
template <class T, class Act>
void whenModal(QObject* owner, Act act) {
  auto* timer = new QTimer(owner);
  auto* clock = new QElapsedTimer;
  clock->start();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, act] {
    T* w = qobject_cast<T*>(QApplication::activeModalWidget());
    if ((w && w->isVisible()) || clock->elapsed() > 5000) {
      timer->stop();
      if (w) act(w);
      delete clock;
      timer->deleteLater();
    }
  });
  timer->start();
}

/// A drive with turns and a stop: GGA and VTG lines as a receiver logs them.
inline std::vector<std::string> sampleDrive() {
  TrackBuilder t(48.137, 11.575, 12 * 3600);
  t.drive(90, 40, 240, 2).drive(0, 45, 240, 2).stand(420, 0.3, 5).drive(180, 30, 300, 2);
  return t.ggaVtgLines();
}

/// The sample drive written as a log file of the folder; its session path.
inline std::string logIn(const ProgramFolder& folder, const QString& name) {
  folder.write(name, joinCrLf(sampleDrive()));
  return folder.sessionFile(name);
}

/// What a row of the rule panel reads: check box captions, field values and label words in
/// layout order, joined by single blanks.
inline QString sentenceOf(QWidget* row) {
  QStringList parts;
  QLayout* l = row->layout();
  for (int i = 0; l && i < l->count(); ++i) {
    QWidget* w = l->itemAt(i)->widget();
    if (auto* c = qobject_cast<QCheckBox*>(w)) {
      parts << c->text().trimmed();
    } else if (auto* f = qobject_cast<QSpinBox*>(w)) {
      parts << QString::number(f->value());
    } else if (auto* lab = qobject_cast<QLabel*>(w)) {
      parts << lab->text();
    }
  }
  return parts.join(u' ');
}

}  // namespace kursolin::test
