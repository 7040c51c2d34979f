// The desktop program "kursolin": one main window over one session, the settings beside the
// program (or in the folder given with --appdir, or in the user's settings folder when the
// program's folder can't be written), optionally a file loaded at start-up.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QNetworkProxyFactory>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

#include "app/mainwindow.h"
#include "app/translations.h"
#include "core/cp1252.h"
#include "core/host.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kursolin"));
  // Lets the desktop match the window to the installed desktop entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("kursolin"));
  // Map tiles go through the proxy the system names (http_proxy and friends), as a browser's do.
  QNetworkProxyFactory::setUseSystemConfiguration(true);

  // Qt's own texts (file and print dialogs, context menus) in German where they are installed.
  QTranslator qtTranslator;
  kursolin::gui::installQtGerman(qtTranslator);

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
  // For the README's pictures: the route made before the picture is taken, and the window
  // "Routenbild" taken as well.
  QCommandLineOption screenshotRouteOption(QStringLiteral("screenshot-route"));
  screenshotRouteOption.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(screenshotRouteOption);
  QCommandLineOption screenshotPictureOption(QStringLiteral("screenshot-picture"), QString(),
                                             QStringLiteral("FILE"));
  screenshotPictureOption.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(screenshotPictureOption);
  parser.addPositionalArgument(
      QStringLiteral("DATEI"),
      QString::fromUtf8("Datei, die nach dem Start mit dem gewählten Eingabeformat geladen wird."),
      QStringLiteral("[DATEI]"));
  parser.process(app);

  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::fprintf(stderr, "kursolin: Nur eine Datei kann geladen werden.\n");
    return 2;
  }
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
  window.session().ConfigDir =
      kursolin::userSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (!files.isEmpty()) window.loadAtStartUp(QFileInfo(files.first()).absoluteFilePath());
  window.show();

  if (parser.isSet(screenshotOption)) {
    const QString file = parser.value(screenshotOption);
    const bool route = parser.isSet(screenshotRouteOption);
    const QString pictureFile = parser.value(screenshotPictureOption);
    QTimer::singleShot(2000, &window, [&window, file, route, pictureFile] {
      if (route) window.makeRouteForScreenshot();
      if (!pictureFile.isEmpty() && !window.savePictureScreenshot(pictureFile)) {
        QCoreApplication::exit(1);
        return;
      }
      QCoreApplication::exit(window.saveScreenshot(file) ? 0 : 1);
    });
  }
  return app.exec();
}
