// The desktop program "kursolin": one main window over one session, the settings beside the
// program (or in the folder given with --appdir).

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

#include "app/mainwindow.h"
#include "core/cp1252.h"
#include "core/host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kursolin"));

  // Qt's own texts (dialog buttons, context menus) in German where the translation is installed.
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslator);
  }

  QCommandLineParser parser;
  parser.setApplicationDescription(QString::fromUtf8("Kursolin – Routendaten-Konverter"));
  parser.addHelpOption();
  const QCommandLineOption appDirOption(
      QStringLiteral("appdir"),
      QString::fromUtf8("Ordner mit Kursolin.Ini und KSHelp.hlp (sonst der Ordner des Programms)."),
      QStringLiteral("DIR"));
  parser.addOption(appDirOption);
  // Takes a picture of the window once it has started, then ends without writing the settings.
  QCommandLineOption screenshotOption(QStringLiteral("screenshot"), QString(),
                                      QStringLiteral("FILE"));
  screenshotOption.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(screenshotOption);
  parser.process(app);

  const QString folder = parser.isSet(appDirOption)
                             ? QDir(parser.value(appDirOption)).absolutePath()
                             : QCoreApplication::applicationDirPath();
  if (!QDir(folder).exists()) {
    std::fprintf(stderr, "kursolin: Ordner %s nicht gefunden\n", folder.toLocal8Bit().constData());
    return 2;
  }
  std::string appDir = kursolin::sessionPath(folder.toUtf8().toStdString());
  if (!appDir.empty() && appDir.back() != '/') appDir += '/';

  kursolin::gui::MainWindow window(appDir, kursolin::HostSettings::fromEnvironment());
  window.show();

  if (parser.isSet(screenshotOption)) {
    const QString file = parser.value(screenshotOption);
    QTimer::singleShot(2000, &window, [&window, file] {
      QCoreApplication::exit(window.saveScreenshot(file) ? 0 : 1);
    });
  }
  return app.exec();
}
