#include "app/qtport.h"

#include <signal.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>

#include "app/qtext.h"

namespace kursolin::gui {
namespace {

QMessageBox::Icon iconFor(PromptKind kind) {
  switch (kind) {
    case PromptKind::Error:
      return QMessageBox::Critical;
    case PromptKind::Warning:
      return QMessageBox::Warning;
    case PromptKind::Information:
      return QMessageBox::Information;
    case PromptKind::Confirmation:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

struct ButtonChoice {
  QMessageBox::StandardButton button;
  const char16_t* label;
};

// In the order the user reads them; the first is the default button (Enter), so a user who
// confirms a question or an error without reading gets the usual first choice.
QList<ButtonChoice> buttonsOf(PromptButtons set) {
  switch (set) {
    case PromptButtons::AbortIgnore:
      return {{QMessageBox::Abort, u"Abbrechen"}, {QMessageBox::Ignore, u"Ignorieren"}};
    case PromptButtons::Abort:
      return {{QMessageBox::Abort, u"Abbrechen"}};
    case PromptButtons::Ok:
      return {{QMessageBox::Ok, u"OK"}};
    case PromptButtons::YesNo:
      return {{QMessageBox::Yes, u"Ja"}, {QMessageBox::No, u"Nein"}};
    case PromptButtons::YesCancel:
      return {{QMessageBox::Yes, u"Ja"}, {QMessageBox::Cancel, u"Abbrechen"}};
  }
  return {{QMessageBox::Ok, u"OK"}};
}

QMessageBox::StandardButton standardFor(PromptAnswer a) {
  switch (a) {
    case PromptAnswer::Abort:
      return QMessageBox::Abort;
    case PromptAnswer::Ignore:
      return QMessageBox::Ignore;
    case PromptAnswer::Ok:
      return QMessageBox::Ok;
    case PromptAnswer::Yes:
      return QMessageBox::Yes;
    case PromptAnswer::No:
      return QMessageBox::No;
    case PromptAnswer::Cancel:
      return QMessageBox::Cancel;
  }
  return QMessageBox::NoButton;
}

std::unique_ptr<QMessageBox> buildBox(QWidget* parent, PromptKind kind, PromptButtons buttons,
                                      const QString& text) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromLatin1(kMessageTitle));
  box->setIcon(iconFor(kind));
  // Plain text: a record may contain "<" and must not be read as markup.
  box->setTextFormat(Qt::PlainText);
  box->setText(text);
  const QList<ButtonChoice> choices = buttonsOf(buttons);
  for (const ButtonChoice& choice : choices) {
    QPushButton* b = box->addButton(choice.button);
    b->setText(QString::fromUtf16(choice.label));
  }
  box->setDefaultButton(choices.front().button);
  box->setEscapeButton(box->button(standardFor(cancelAnswer(buttons))));
  return box;
}

PromptAnswer execBox(QMessageBox& box, PromptButtons buttons) {
  if (QCoreApplication::instance() == nullptr) return cancelAnswer(buttons);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == nullptr) return cancelAnswer(buttons);
  return answerForButton(buttons, box.standardButton(clicked));
}

// A question or warning of the dialogs themselves, over the dialog.
PromptAnswer ask(QWidget* parent, PromptKind kind, PromptButtons buttons, const QString& text) {
  auto box = buildBox(parent, kind, buttons, text);
  return execBox(*box, buttons);
}

// The nearest existing folder at or above the given one, or empty.
QString existingFolder(const QString& folder) {
  if (folder.isEmpty()) return {};
  QString path = QDir::cleanPath(QDir(folder).absolutePath());
  for (int guard = 0; guard < 256; ++guard) {
    if (QFileInfo(path).isDir()) return path;
    const QString parent = QFileInfo(path).path();
    if (parent == path) break;
    path = parent;
  }
  return {};
}

void germanLabels(QFileDialog& d, const QString& acceptLabel) {
  d.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
  d.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
  d.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
  d.setLabelText(QFileDialog::Accept, acceptLabel);
  d.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
}

}  // namespace

std::unique_ptr<QMessageBox> buildPromptBox(QWidget* parent, PromptKind kind, PromptButtons buttons,
                                            const std::string& text) {
  return buildBox(parent, kind, buttons, promptText(text));
}

PromptAnswer cancelAnswer(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::AbortIgnore:
    case PromptButtons::Abort:
      return PromptAnswer::Abort;
    case PromptButtons::Ok:
      return PromptAnswer::Ok;
    case PromptButtons::YesNo:
      return PromptAnswer::No;
    case PromptButtons::YesCancel:
      return PromptAnswer::Cancel;
  }
  return PromptAnswer::Ok;
}

PromptAnswer answerForButton(PromptButtons buttons, QMessageBox::StandardButton clicked) {
  for (const ButtonChoice& choice : buttonsOf(buttons)) {
    if (choice.button != clicked) continue;
    switch (clicked) {
      case QMessageBox::Abort:
        return PromptAnswer::Abort;
      case QMessageBox::Ignore:
        return PromptAnswer::Ignore;
      case QMessageBox::Ok:
        return PromptAnswer::Ok;
      case QMessageBox::Yes:
        return PromptAnswer::Yes;
      case QMessageBox::No:
        return PromptAnswer::No;
      case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
      default:
        break;
    }
  }
  return cancelAnswer(buttons);
}

QString unusablePathText(const QString& path) {
  return QStringLiteral(
             "Der Pfad %1 enthält Zeichen, die Kursolin nicht verarbeiten kann.\n"
             "Bitte einen anderen Namen oder Ordner wählen.")
      .arg(QDir::toNativeSeparators(path));
}

QStringList dialogNameFilters(const FileDialogRequest& request, bool save) {
  QStringList filters = toQtNameFilters(request.filter);
  filters += toQtNameFilters(request.moreFilters);
  const QString all = QString::fromUtf16(kAllFilesFilter);
  // A filter list that already ends in an entry for every file needs no second one.
  const bool endsWithAll = !filters.isEmpty() && filters.last().endsWith(QStringLiteral("(*)"));
  if (!save && !endsWithAll) filters.append(all);
  return filters;
}

// --- FileDialog ---

FileDialog::FileDialog(QWidget* parent, const FileDialogRequest& request, bool save)
    : QFileDialog(parent) {
  // Qt's own dialog: it behaves the same on every desktop and offscreen.
  setOption(QFileDialog::DontUseNativeDialog, true);
  // We ask ourselves, in German.
  setOption(QFileDialog::DontConfirmOverwrite, true);
  setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  setWindowTitle(toQString(request.title));
  germanLabels(*this, save ? QStringLiteral("Speichern") : QStringLiteral("Öffnen"));
  const QStringList filters = dialogNameFilters(request, save);
  if (!filters.isEmpty()) setNameFilters(filters);
  // Files come from Windows programs and devices: "route.bcr" is as much a BCR file as
  // "ROUTE.BCR", whatever the file system thinks of letter case.
  setFilter(filter() & ~QDir::CaseSensitive);
  if (!request.defaultExt.empty()) setDefaultSuffix(toQString(request.defaultExt));
  const QString start = existingFolder(toQString(request.initialDir));
  if (!start.isEmpty()) setDirectory(start);
  // A proposed name with a folder opens that folder, one without keeps the initial folder.
  if (!request.fileName.empty()) selectFile(toQString(request.fileName));
}

std::optional<std::string> FileDialog::chosenFile() const {
  if (result() != QDialog::Accepted) return std::nullopt;
  const QStringList files = selectedFiles();
  if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
  return fromQString(files.first());
}

void FileDialog::accept() {
  const QStringList files = selectedFiles();
  if (files.isEmpty()) return;
  const QFileInfo info(files.first());
  // A folder typed or chosen is entered by the base dialog, not returned.
  if (info.isDir()) {
    QFileDialog::accept();
    return;
  }
  if (!fitsCp1252(info.absoluteFilePath())) {
    ask(this, PromptKind::Warning, PromptButtons::Ok, unusablePathText(info.absoluteFilePath()));
    return;
  }
  const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
  if (acceptMode() == QFileDialog::AcceptOpen) {
    if (!info.exists()) {
      ask(this, PromptKind::Warning, PromptButtons::Ok,
          QStringLiteral("Die Datei %1 wurde nicht gefunden.\nBitte den Dateinamen prüfen.")
              .arg(shown));
      return;
    }
  } else {
    if (!info.absoluteDir().exists()) {
      ask(this, PromptKind::Warning, PromptButtons::Ok,
          QStringLiteral("Der Ordner %1 existiert nicht.")
              .arg(QDir::toNativeSeparators(info.absolutePath())));
      return;
    }
    if (info.exists() &&
        ask(this, PromptKind::Confirmation, PromptButtons::YesNo,
            QStringLiteral("Die Datei %1 existiert bereits.\nSoll sie ersetzt werden?")
                .arg(shown)) != PromptAnswer::Yes) {
      return;
    }
  }
  QFileDialog::accept();
}

// --- FolderDialog ---

FolderDialog::FolderDialog(QWidget* parent, const QString& title) : QFileDialog(parent) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  setOption(QFileDialog::ShowDirsOnly, true);
  setFileMode(QFileDialog::Directory);
  setAcceptMode(QFileDialog::AcceptOpen);
  setWindowTitle(title);
  germanLabels(*this, QStringLiteral("Auswählen"));
  setLabelText(QFileDialog::FileName, QStringLiteral("Ordner:"));
  setDirectory(QDir::homePath());
}

std::optional<std::string> FolderDialog::chosenFolder() const {
  if (result() != QDialog::Accepted) return std::nullopt;
  const QStringList files = selectedFiles();
  if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
  return fromQString(files.first());
}

void FolderDialog::accept() {
  const QStringList files = selectedFiles();
  if (files.isEmpty()) return;
  const QFileInfo info(files.first());
  if (!info.isDir()) {
    ask(this, PromptKind::Warning, PromptButtons::Ok,
        QStringLiteral("Der Ordner %1 wurde nicht gefunden.")
            .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
    return;
  }
  if (!fitsCp1252(info.absoluteFilePath())) {
    ask(this, PromptKind::Warning, PromptButtons::Ok, unusablePathText(info.absoluteFilePath()));
    return;
  }
  QFileDialog::accept();
}

// --- QtPort ---

QtPort::QtPort(QWidget* parent) : parent_(parent) {}

PromptAnswer QtPort::prompt(PromptKind kind, PromptButtons buttons, const std::string& text) {
  auto box = buildPromptBox(parent_, kind, buttons, text);
  return execBox(*box, buttons);
}

std::optional<std::string> QtPort::openFile(const FileDialogRequest& request) {
  if (QCoreApplication::instance() == nullptr) return std::nullopt;
  FileDialog dialog(parent_, request, false);
  dialog.exec();
  return dialog.chosenFile();
}

std::optional<std::string> QtPort::saveFile(const FileDialogRequest& request) {
  if (QCoreApplication::instance() == nullptr) return std::nullopt;
  FileDialog dialog(parent_, request, true);
  dialog.exec();
  return dialog.chosenFile();
}

std::optional<std::string> QtPort::browseFolder(const std::string& title) {
  if (QCoreApplication::instance() == nullptr) return std::nullopt;
  FolderDialog dialog(parent_, toQString(title));
  dialog.exec();
  return dialog.chosenFolder();
}

bool QtPort::showSplitDialog(SplitDialogView& dialog) {
  return splitDialogHandler ? splitDialogHandler(dialog) : false;
}

ProcessOutcome QtPort::runProcess(const ProcessRequest& request) {
  if (QCoreApplication::instance() == nullptr) return UserPort::runProcess(request);
  QProcess process;
  process.setProgram(toQString(request.program));
  QStringList arguments;
  for (const std::string& a : request.arguments) arguments << toQString(a);
  process.setArguments(arguments);
  process.setWorkingDirectory(toQString(request.workingDir));
  process.setStandardInputFile(QProcess::nullDevice());
  // Its messages go where ours go; a pipe nobody reads could fill up and stall it.
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  // A group of its own, so a cancel also ends what it started (wine starts several processes).
  process.setChildProcessModifier([] { ::setpgid(0, 0); });
  process.start();
  if (!process.waitForStarted(-1)) {
    return {ProcessEnd::NotStarted, 0, fromQString(process.errorString())};
  }
  const auto group = static_cast<pid_t>(process.processId());

  QProgressDialog dialog(toQString(request.waitText), QStringLiteral("Abbrechen"), 0, 0, parent_);
  dialog.setObjectName(QStringLiteral("ProcessWait"));
  dialog.setWindowTitle(QString::fromLatin1(kMessageTitle));
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  // A quick run shows no dialog at all.
  dialog.setMinimumDuration(kProcessDialogDelayMs);

  QEventLoop loop;
  bool cancelled = false;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
    cancelled = true;
    loop.quit();
  });
  if (process.state() != QProcess::NotRunning) loop.exec();
  if (cancelled) {
    if (process.state() != QProcess::NotRunning) {
      ::kill(-group, SIGKILL);
      process.waitForFinished(-1);
    }
    return {ProcessEnd::Cancelled, 0, {}};
  }
  if (process.exitStatus() == QProcess::CrashExit) return {ProcessEnd::Crashed, 0, {}};
  return {ProcessEnd::Finished, process.exitCode(), {}};
}

bool QtPort::waitWhile(const std::string& text, const std::function<bool()>& step) {
  if (QCoreApplication::instance() == nullptr) return UserPort::waitWhile(text, step);
  QProgressDialog dialog(toQString(text), QStringLiteral("Abbrechen"), 0, 0, parent_);
  dialog.setObjectName(QStringLiteral("StepWait"));
  dialog.setWindowTitle(QString::fromLatin1(kMessageTitle));
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setMinimumDuration(kProcessDialogDelayMs);
  while (step()) {
    if (dialog.wasCanceled()) return false;
    // Until the modal dialog shows, the window takes no input: no second command may start
    // under the running one.
    QCoreApplication::processEvents(dialog.isVisible() ? QEventLoop::AllEvents
                                                       : QEventLoop::ExcludeUserInputEvents);
  }
  return true;
}

void QtPort::processPendingEvents() {
  if (QCoreApplication::instance() == nullptr) return;
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < eventIntervalMs_) return;
  QCoreApplication::processEvents();
  sinceEvents_.start();
}

void QtPort::setInputCaption(const std::string& text) {
  if (inputCaptionHandler) inputCaptionHandler(toQString(text));
}

void QtPort::setOutputCaption(const std::string& text) {
  if (outputCaptionHandler) outputCaptionHandler(toQString(text));
}

void QtPort::setStatusText(const std::string& text) {
  if (statusTextHandler) statusTextHandler(toQString(text));
}

void QtPort::showProgress(const std::string& text) {
  if (progressHandler) progressHandler(toQString(text));
  // Progress comes at most a few times a second; each text is painted when it comes, not with
  // the next round of events the rate limit lets through.
  if (!text.empty() && QCoreApplication::instance() != nullptr) {
    QCoreApplication::processEvents();
    sinceEvents_.start();
  }
}

void QtPort::setBusy(bool busy) {
  if (busyHandler) busyHandler(busy);
}

void QtPort::focusOutputPane() {
  if (focusOutputPaneHandler) focusOutputPaneHandler();
}

void QtPort::stateChanged() {
  if (stateChangedHandler) stateChangedHandler();
}

}  // namespace kursolin::gui
