// Drives the window offscreen through a long log and prints, per step, how long it took, how
// many event rounds ran and the longest time between two of them (the longest the window went
// without a chance to repaint), then how long the point table takes to show its rows. The route
// is made twice, with the window "Routenbild" closed and open, to show what the picture costs.
//
//   kursolin_window_bench [megabytes=100 | log-file] [every-nth=18] [screenshot-folder]
//
// A log file (bench/make_log.py writes one) is loaded as it is instead of the generated log.
//
// "Aus jedem" counts GGA and VTG lines alike, so every 18th of a 100 MB log fills the table with
// about 100,000 rows.
//
// With a folder, the window is grabbed into it during each step (half a second in) and after it,
// to see what the user sees; run it under xvfb-run for the real platform.

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/mainwindow.h"
#include "app/pointgrid.h"
#include "app/routepicture.h"
#include "support/fake_port.h"
#include "support/nmea_writer.h"

using namespace kursolin;

namespace {

// GGA + VTG at 1 Hz in legs of ten minutes, until the file holds `bytes`.
void writeLog(const std::string& path, long long bytes) {
  std::ofstream out(path, std::ios::binary);
  long long written = 0;
  double lat = 48.0, lon = 11.0;
  int start = 0;
  for (int leg = 0; written < bytes; ++leg) {
    test::TrackBuilder t(lat, lon, start);
    t.drive((leg * 37) % 360, 30 + leg % 70, 600);
    for (const std::string& line : t.ggaVtgLines()) {
      out << line << "\r\n";
      written += static_cast<long long>(line.size()) + 2;
    }
    const test::Fix next = t.current();
    lat = next.lat;
    lon = next.lon;
    start = next.secondsOfDay;
  }
}

// The longest gap between two rounds of the event loop while a step runs.
class GapWatch {
 public:
  GapWatch() {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      maxGap_ = std::max(maxGap_, now - last_);
      last_ = now;
      ++rounds_;
      if (!shots.isEmpty() && !grabbed_ && now > 500'000'000) {
        grabbed_ = true;
        window->saveScreenshot(shots + "/" + fileName() + "-during.png");
        if (picture && picture->isVisible()) {
          picture->grab().save(shots + "/" + fileName() + "-during-routenbild.png");
        }
      }
    });
  }
  /// Where the window is grabbed during and after each step; empty: nowhere.
  QString shots;
  gui::MainWindow* window = nullptr;
  /// The window "Routenbild", grabbed too while it is shown.
  gui::RoutePictureWindow* picture = nullptr;

  /// Wall time of the step in milliseconds.
  template <class Step>
  double run(const char* name, Step step) {
    step_ = name;
    grabbed_ = false;
    rounds_ = 0;
    maxGap_ = 0;
    clock_.start();
    last_ = 0;
    timer_.start();
    step();
    const qint64 total = clock_.nsecsElapsed();
    maxGap_ = std::max(maxGap_, total - last_);
    timer_.stop();
    if (!shots.isEmpty()) window->saveScreenshot(shots + "/" + fileName() + "-after.png");
    std::printf("%-34s %8.0f ms  %6d event rounds  longest gap %6.1f ms\n", name, total / 1e6,
                rounds_, maxGap_ / 1e6);
    return total / 1e6;
  }

 private:
  QString fileName() const {
    QString n = QString::fromUtf8(step_).remove(u'"');
    n.replace(u' ', u'-');
    return n;
  }
  const char* step_ = "";
  bool grabbed_ = false;
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0, maxGap_ = 0;
  int rounds_ = 0;
};

long peakMegabytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString first = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  const bool givenLog = !first.isEmpty() && QFileInfo(first).isFile();
  const long long megabytes = argc > 1 && !givenLog ? std::atoll(argv[1]) : 100;
  const int nth = argc > 2 ? std::atoi(argv[2]) : 18;

  QTemporaryDir dir;
  const std::string appDir = dir.path().toStdString() + "/";
  {
    std::ofstream ini(appDir + "Kursolin.Ini", std::ios::binary);
    ini << "[Pref]\r\nStartDialog=0\r\n[Setup]\r\nXRp=" << nth << "\r\n";
  }
  std::string log = appDir + "tag.txt";
  if (givenLog) {
    log = QFileInfo(first).absoluteFilePath().toStdString();
    std::printf("log: %s (%.1f MB), every %d. record line into the table\n", log.c_str(),
                QFileInfo(first).size() / 1e6, nth);
  } else {
    writeLog(log, megabytes * 1000 * 1000);
    std::printf("log: %lld MB GGA + VTG, every %d. record line into the table\n", megabytes, nth);
  }

  test::ScriptedPort port;
  gui::MainWindow w(appDir, HostSettings::german(), &port);
  w.resize(1200, 800);
  w.show();
  w.startUp();
  QApplication::processEvents();
  auto action = [&w](const char* name) { return w.findChild<QAction*>(QString::fromLatin1(name)); };

  GapWatch watch;
  watch.window = &w;
  if (argc > 3) watch.shots = QString::fromLocal8Bit(argv[3]);
  watch.run("load", [&] {
    port.openAnswers.push_back(log);
    action("LoadNMEA")->trigger();
  });
  std::printf("  %d lines\n", w.session().doc.InputLines.Count());
  // The best of a few runs each: a shared machine makes single runs vary more than the picture.
  constexpr int kRuns = 3;
  double closed = 1e300, open = 1e300;
  for (int run = 0; run < kRuns; ++run) {
    closed =
        std::min(closed, watch.run("route with the rules", [&] { action("Route")->trigger(); }));
  }
  std::printf("  %d route points\n", w.session().doc.OutputLines.Count());
  auto* picture = w.findChild<gui::RoutePictureWindow*>(QStringLiteral("Routenbild"));
  watch.picture = picture;
  watch.run("\"Routenbild\" shown", [&] {
    action("RoutenBild")->trigger();
    QApplication::processEvents();
  });
  for (int run = 0; run < kRuns; ++run) {
    open = std::min(
        open, watch.run("route with the rules, picture open", [&] { action("Route")->trigger(); }));
  }
  std::printf("  %d route points; best of %d: %.0f ms closed, %.0f ms open (%+.0f %%)\n",
              w.session().doc.OutputLines.Count(), kRuns, closed, open, (open / closed - 1) * 100);
  if (!watch.shots.isEmpty()) picture->grab().save(watch.shots + "/routenbild.png");
  picture->hide();
  w.findChild<QCheckBox*>(QStringLiteral("AllGGACheck"))->click();
  port.answer({PromptAnswer::Yes});
  watch.run("route \"Aus jedem\" into the table", [&] { action("CSVData")->trigger(); });
  std::printf("  %zu table rows\n", w.session().doc.PointTable.rows.size());

  // A table of the rows as the window fills it at the end of a route: model reset, columns
  // sized, first screen painted.
  {
    QTableView view;
    gui::PointGridModel model(w.session().doc.PointTable);
    view.setModel(&model);
    view.verticalHeader()->hide();
    view.resize(900, 600);
    view.show();
    QApplication::processEvents();
    QElapsedTimer t;
    t.start();
    model.reset();
    for (int c = 0; c < model.columnCount(); ++c) {
      view.setColumnWidth(c, static_cast<QAbstractItemView&>(view).sizeHintForColumn(c));
    }
    view.repaint();
    QApplication::processEvents();
    std::printf("%-34s %8.1f ms  (%d rows)\n", "table filled and painted", t.nsecsElapsed() / 1e6,
                model.rowCount());
  }
  std::printf("peak memory: %ld MB\n", peakMegabytes());
  return 0;
}
