#include "app/mainwindow.h"

#include "app/maker.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/editcommands.h"
#include "app/icons.h"
#include "app/linesview.h"
#include "app/numberfield.h"
#include "app/pointgrid.h"
#include "app/printing.h"
#include "app/qtext.h"
#include "app/routepicture.h"
#include "app/rulepanel.h"
#include "app/textpane.h"
#include "app/windowport.h"
#include "app/windows.h"
#include "core/cp1252.h"
#include "core/geotime.h"
#include "core/ranges.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "session/progress.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "track/rules.h"
#include "workflow/loading.h"
#include "workflow/menu_state.h"
#include "workflow/output_commands.h"
#include "workflow/program.h"
#include "workflow/recent_open.h"
#include "workflow/route_command.h"
#include "workflow/rule_groups.h"
#include "workflow/search.h"

namespace kursolin::gui {

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// The area below the panes: as high as its rules need at its width, which the splitter and the
// window's minimum size must know.
class LowerArea : public QWidget {
 public:
  using QWidget::QWidget;
  int heightAt(int width) const {
    return layout() ? layout()->totalHeightForWidth(width) : QWidget::minimumSizeHint().height();
  }
  QSize minimumSizeHint() const override {
    if (!layout()) return QWidget::minimumSizeHint();
    const int w = width() > 0 ? width() : layout()->sizeHint().width();
    return {layout()->totalMinimumSize().width(), heightAt(w)};
  }
  QSize sizeHint() const override { return minimumSizeHint(); }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (event->oldSize().width() != event->size().width()) updateGeometry();
  }
};

constexpr int kProgressIntervalMs = 150;
// From this many lines on the input pane is a view over the lines until the user edits it: a
// text document takes about a second per 200,000 lines to fill, and the window must not freeze.
constexpr int kInputViewLines = 20000;
// A long route is finished by changing a few of its lines; more changes show it afresh.
constexpr int kChangedLinesAtMost = 64;
// Lines put into the editable input pane between two rounds of events.
constexpr int kEditorChunkLines = 20000;
constexpr int kMinimumWidth = 760;
constexpr int kMinimumHeight = 580;
constexpr int kStartUpFallbackMs = 1000;

}  // namespace

MainWindow::MainWindow(const std::string& appDir, const HostSettings& host, UserPort* dialogs)
    : qtPort_(this) {
  port_ = std::make_unique<WindowPort>(qtPort_, dialogs);
  session_ = std::make_unique<Session>(*port_, host);

  setObjectName(QStringLiteral("Form1"));
  // The program's name, then the maker and the maker's web address.
  setWindowTitle(Q("Kursolin – Routendaten-Konverter  ©") + QString::fromUtf8(kReleaseYear) +
                 Q(" ") + QString::fromUtf8(kMakerName) + Q("  ") + QString::fromUtf8(kMakerWeb));
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  resize(session_->shell.geometry.SizeW, session_->shell.geometry.SizeH);
  move(session_->shell.geometry.PosH, session_->shell.geometry.PosT);

  buildActions();
  buildMenus();
  buildToolBar();
  buildCentralArea();
  installPortHooks();

  FormCreate(*session_, appDir);
  gridModel_->reset();
  for (std::size_t i = 0; i < session_->doc.PointTable.widths.size(); ++i) {
    tabGrid_->setColumnWidth(static_cast<int>(i), session_->doc.PointTable.widths[i]);
  }
  widenGridColumns();
  createSecondaryWindows();

  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* now) { watchEditor(now); });
  if (QClipboard* c = QGuiApplication::clipboard()) {
    connect(c, &QClipboard::dataChanged, this, &MainWindow::updateEditActions);
  }
  // Files dropped anywhere on the window are loaded; the filter below takes them before any
  // text field would insert their names.
  setAcceptDrops(true);
  qApp->installEventFilter(this);
  offerAxeImport();
}

MainWindow::~MainWindow() {
  // Child widgets die after the session; nothing may reach it while they do.
  qApp->removeEventFilter(this);
  disconnect(qApp, nullptr, this, nullptr);
  if (QClipboard* c = QGuiApplication::clipboard()) disconnect(c, nullptr, this, nullptr);
  for (auto& c : editorConnections_) disconnect(c);
  qtPort_.inputCaptionHandler = nullptr;
  qtPort_.outputCaptionHandler = nullptr;
  qtPort_.statusTextHandler = nullptr;
  qtPort_.progressHandler = nullptr;
  qtPort_.busyHandler = nullptr;
  qtPort_.focusOutputPaneHandler = nullptr;
  qtPort_.stateChangedHandler = nullptr;
  qtPort_.splitDialogHandler = nullptr;
  tabGrid_->setModel(nullptr);
  if (nmea_) nmea_->document()->disconnect(this);
}

// ---------------------------------------------------------------------------------------------
// Building the window

void MainWindow::buildCentralArea() {
  Session& s = *session_;
  areaSplitter_ = new QSplitter(Qt::Vertical, this);
  areaSplitter_->setObjectName(QStringLiteral("Splitter2"));
  areaSplitter_->setHandleWidth(5);
  areaSplitter_->setChildrenCollapsible(false);

  paneSplitter_ = new QSplitter(Qt::Horizontal, areaSplitter_);
  paneSplitter_->setObjectName(QStringLiteral("FlatPanel1"));
  paneSplitter_->setHandleWidth(5);
  paneSplitter_->setChildrenCollapsible(false);

  QFont titleFont = font();
  titleFont.setBold(true);
  titleFont.setPixelSize(13);
  const QFont paneFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);

  nmeaBox_ = new QWidget(paneSplitter_);
  nmeaBox_->setObjectName(QStringLiteral("NMEABox"));
  auto* nmeaLayout = new QVBoxLayout(nmeaBox_);
  nmeaLayout->setContentsMargins(0, 0, 0, 0);
  nmeaLayout->setSpacing(2);
  inFileLabel_ = new QLabel(Q("Track - Zeilen := "), nmeaBox_);
  inFileLabel_->setObjectName(QStringLiteral("InFileLabel"));
  inFileLabel_->setFont(titleFont);
  inFileLabel_->setAlignment(Qt::AlignCenter);
  inFileLabel_->setMinimumWidth(1);
  nmeaLayout->addWidget(inFileLabel_);
  auto* inputHost = new QWidget(nmeaBox_);
  inputStack_ = new QStackedLayout(inputHost);
  nmea_ = new TextPane(inputHost);
  nmea_->setObjectName(QStringLiteral("NMEADaten"));
  nmea_->setFont(paneFont);
  nmea_->setMinimumWidth(120);
  inputStack_->addWidget(nmea_);
  nmeaView_ = new LinesView(inputHost);
  nmeaView_->setObjectName(QStringLiteral("NMEADatenView"));
  nmeaView_->setFont(paneFont);
  nmeaView_->setMinimumWidth(120);
  inputStack_->addWidget(nmeaView_);
  connect(nmeaView_, &LinesView::editRequested, this,
          [this](QKeyCombination key, const QString& text) {
            // Later, so the key that asked is not handled inside the switch.
            QTimer::singleShot(0, this, [this, key, text] {
              run([this, key, text] { openInputEditor(key, text); });
            });
          });
  nmeaLayout->addWidget(inputHost, 1);
  connect(nmea_->document(), &QTextDocument::contentsChange, this,
          [this](int, int removed, int added) {
            if (settingText_ || (removed == 0 && added == 0)) return;
            inputEdited();
          });

  naviBox_ = new QWidget(paneSplitter_);
  naviBox_->setObjectName(QStringLiteral("NaviBox"));
  auto* naviLayout = new QVBoxLayout(naviBox_);
  naviLayout->setContentsMargins(0, 0, 0, 0);
  naviLayout->setSpacing(2);
  outFileLabel_ = new QLabel(Q("Routenpunkte = 0"), naviBox_);
  outFileLabel_->setObjectName(QStringLiteral("OutFileLabel"));
  outFileLabel_->setFont(titleFont);
  outFileLabel_->setAlignment(Qt::AlignCenter);
  outFileLabel_->setMinimumWidth(1);
  naviLayout->addWidget(outFileLabel_);
  auto* stackHost = new QWidget(naviBox_);
  outputStack_ = new QStackedLayout(stackHost);
  navi_ = new TextPane(stackHost);
  navi_->setObjectName(QStringLiteral("Navi"));
  navi_->setReadOnly(true);
  navi_->setFont(paneFont);
  navi_->setMinimumWidth(120);
  // A read-only pane still shows its caret, so a selection for the search can be made by keys.
  navi_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  outputStack_->addWidget(navi_);
  tabGrid_ = new QTableView(stackHost);
  tabGrid_->setObjectName(QStringLiteral("TabGrid"));
  gridModel_ = new PointGridModel(s.doc.PointTable, this);
  tabGrid_->setModel(gridModel_);
  tabGrid_->horizontalHeader()->setSectionsMovable(true);
  tabGrid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  tabGrid_->horizontalHeader()->setHighlightSections(false);
  tabGrid_->verticalHeader()->hide();
  tabGrid_->verticalHeader()->setDefaultSectionSize(tabGrid_->fontMetrics().height() + 6);
  outputStack_->addWidget(tabGrid_);
  naviLayout->addWidget(stackHost, 1);

  paneSplitter_->addWidget(nmeaBox_);
  paneSplitter_->addWidget(naviBox_);
  paneSplitter_->setStretchFactor(0, 0);
  paneSplitter_->setStretchFactor(1, 1);
  paneSplitter_->setSizes({s.shell.geometry.NMW, std::max(1, width() - s.shell.geometry.NMW)});

  lowerArea_ = new LowerArea(areaSplitter_);
  lowerArea_->setObjectName(QStringLiteral("LowerArea"));
  auto* lower = new QVBoxLayout(lowerArea_);
  lower->setContentsMargins(0, 0, 0, 0);
  lower->setSpacing(0);
  auto* heading = new QLabel(
      Q("Die Routenpunkte werden nach den unten stehenden Vorgaben erzeugt."), lowerArea_);
  heading->setObjectName(QStringLiteral("SetupHeading"));
  QFont headingFont = font();
  headingFont.setBold(true);
  heading->setFont(headingFont);
  heading->setAlignment(Qt::AlignCenter);
  heading->setFrameShape(QFrame::StyledPanel);
  heading->setFrameShadow(QFrame::Raised);
  heading->setMargin(3);
  heading->setWordWrap(true);
  lower->addWidget(heading);
  rulePanel_ = new RulePanel(s, lowerArea_);
  connect(rulePanel_, &RulePanel::changed, this, &MainWindow::refresh);
  connect(rulePanel_, &RulePanel::routeRequested, this, [this] { action("Route")->trigger(); });
  connect(rulePanel_, &RulePanel::findRequested, this,
          [this] { run([this] { findInInput(); }); });
  lower->addWidget(rulePanel_);

  areaSplitter_->addWidget(paneSplitter_);
  areaSplitter_->addWidget(lowerArea_);
  areaSplitter_->setStretchFactor(0, 1);
  areaSplitter_->setStretchFactor(1, 0);
  setCentralWidget(areaSplitter_);

  statusLabel_ = new QLabel(this);
  statusLabel_->setObjectName(QStringLiteral("StatusBar"));
  statusLabel_->setMinimumWidth(1);
  statusBar()->setObjectName(QStringLiteral("StatusBarArea"));
  statusBar()->addWidget(statusLabel_, 1);
  // Offered once a route takes long enough to show its progress; Esc does the same.
  cancelButton_ = new QPushButton(Q("Abbrechen"), this);
  cancelButton_->setObjectName(QStringLiteral("RouteAbbrechen"));
  cancelButton_->setToolTip(Q("Das Erzeugen der Routendaten abbrechen (Esc)"));
  cancelButton_->setFocusPolicy(Qt::NoFocus);
  cancelButton_->hide();
  statusBar()->addPermanentWidget(cancelButton_);
  // A shortcut of the button itself would click it only after its animation, and a short route
  // may be over by then; this one is there exactly while the button can be clicked, also from the
  // window "Routenbild" that shows the route growing.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), cancelButton_);
  escape->setContext(Qt::ApplicationShortcut);
  connect(escape, &QShortcut::activated, cancelButton_, &QPushButton::click);
  connect(cancelButton_, &QPushButton::clicked, this, [this] {
    session_->cancelRequested = true;
    cancelButton_->setEnabled(false);
  });
}

void MainWindow::installPortHooks() {
  qtPort_.setParentWidget(this);
  qtPort_.inputCaptionHandler = [this](const QString& t) { inFileLabel_->setText(t); };
  qtPort_.outputCaptionHandler = [this](const QString& t) {
    if (busy_) {
      showProgress();
    } else {
      outFileLabel_->setText(t);
    }
  };
  qtPort_.statusTextHandler = [this](const QString& t) { statusLabel_->setText(t); };
  qtPort_.progressHandler = [this](const QString& t) { showStepProgress(t); };
  qtPort_.busyHandler = [this](bool on) { setBusy(on); };
  qtPort_.focusOutputPaneHandler = [this] { focusOutputPane(); };
  qtPort_.stateChangedHandler = [this] { refresh(); };
  qtPort_.splitDialogHandler = [this](SplitDialogView& d) { return showSplitDialog(d, this); };
}

void MainWindow::createSecondaryWindows() {
  Session& s = *session_;
  // In the order of the start-up; all exist before the settings are read.
  startNotice_ = makeStartNotice(s, this);
  helpPage_ = makeHelpPage(s, this);
  aboutBox_ = makeAboutBox(this);
  settingsDialog_ = makeSettingsDialog(s, this);
  picture_ = std::make_unique<RoutePictureWindow>(s, navi_, tabGrid_, this);
  picture_->setRouteChange([this](const std::string& label, const std::function<void()>& change) {
    runRouteChange(label, change);
  });
  // Ctrl+Z and Ctrl+Y take edits back where they are made, in the picture window as well.
  picture_->addAction(undoAction_);
  picture_->addAction(redoAction_);
  auto offer = [](QAction* a, bool available) {
    if (!available) a->setToolTip(notAvailableText());
  };
  offer(action("HelpAktion"), helpPage_ != nullptr);
  offer(action("InfoAktion"), aboutBox_ != nullptr);
  offer(action("Einstellungen"), settingsDialog_ != nullptr);
}

// ---------------------------------------------------------------------------------------------
// Start-up and closing

void MainWindow::startUp() {
  if (startedUp_) return;
  startedUp_ = true;
  bool notice = false;
  try {
    notice = FormActivate(*session_);
  } catch (const std::exception& e) {
    session_->port().prompt(PromptKind::Error, PromptButtons::Ok, e.what());
  }
  // "Zuletzt geöffnet" is the window's own section of the settings file.
  Profile profile;
  Profile::readFile(nativePath(settingsPath(*session_)), profile);
  recent_.read(profile);
  rebuildRecentMenu();
  history_.follow(*session_);
  applyGeometry();
  offerAxeImport();
  // After the activation has finished, as a load may show its error box; the notice comes
  // first and is closed before the load, so the two never lie on top of each other.
  if (!notice && startFile_.isEmpty()) return;
  QTimer::singleShot(0, this, [this, notice, file = startFile_] {
    const QPointer<MainWindow> alive(this);
    if (notice) showStartNotice();
    if (alive && !file.isEmpty()) loadFile(file);
  });
}

void MainWindow::showStartNotice() {
  emit startNoticeRequested();
  if (startNotice_) showDialog(startNotice_.get());
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Some desktops never activate a window they did not expect (focus stealing prevention);
  // the settings are read all the same once the window has been shown for a moment.
  if (!startedUp_ && !startUpFallbackArmed_) {
    startUpFallbackArmed_ = true;
    QTimer::singleShot(kStartUpFallbackMs, this, [this] {
      if (!startedUp_ && isVisible()) startUp();
    });
  }
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !startedUp_) startUp();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy_ || commandRunning_) {
    // The route being made or the file being loaded finishes first; the window closes right
    // after it.
    closePending_ = true;
    event->ignore();
    return;
  }
  // Edits still in the input pane count as unsaved work, too.
  syncInputLines();
  if (!closeAccepted_ && !mayDiscardWork(*session_)) {
    event->ignore();
    return;
  }
  closeAccepted_ = true;
  // Settings that were never read are not written over the file's own.
  if (startedUp_ && !settingsWritten_) {
    settingsWritten_ = true;
    storeGeometry();
    saveSettings(*session_, [this](Profile& p) { recent_.write(p); });
  }
  event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  fitLowerArea();
}

void MainWindow::fitLowerArea() {
  if (!areaSplitter_ || !lowerArea_) return;
  const int total = areaSplitter_->height() - areaSplitter_->handleWidth();
  const int need = static_cast<LowerArea*>(lowerArea_)->heightAt(areaSplitter_->width());
  if (total <= 0 || need <= 0) return;
  areaSplitter_->setSizes({std::max(1, total - need), need});
}

void MainWindow::applyGeometry() {
  const WindowGeometry& g = session_->shell.geometry;
  const QRect frame = frameGeometry();
  const QRect inner = geometry();
  const int fw = frame.width() - inner.width();
  const int fh = frame.height() - inner.height();
  // The smallest size is that of the whole window, frame included, as the stored size is.
  setMinimumSize(kMinimumWidth - fw, kMinimumHeight - fh);
  resize(std::max(g.SizeW - fw, minimumWidth()), std::max(g.SizeH - fh, minimumHeight()));
  // A position on no screen (a monitor that is gone) would hide the window.
  QPoint pos(g.PosH, g.PosT);
  const QRect wanted(pos, frameGeometry().size());
  bool onScreen = false;
  for (const QScreen* sc : QGuiApplication::screens()) {
    if (sc->availableGeometry().intersects(wanted)) onScreen = true;
  }
  if (!onScreen && !QGuiApplication::screens().isEmpty()) pos = QPoint(20, 20);
  move(pos);
  const int rest = std::max(1, paneSplitter_->width() - g.NMW - paneSplitter_->handleWidth());
  paneSplitter_->setSizes({std::max(1, g.NMW), rest});
  fitLowerArea();
}

void MainWindow::storeGeometry() {
  WindowGeometry& g = session_->shell.geometry;
  QRect frame = frameGeometry();
  if (isMaximized() || isFullScreen()) {
    const QRect normal = normalGeometry();
    const QRect inner = geometry();
    frame = normal.adjusted(frame.left() - inner.left(), frame.top() - inner.top(),
                            frame.right() - inner.right(), frame.bottom() - inner.bottom());
  }
  g.SizeH = frame.height();
  g.SizeW = frame.width();
  g.PosT = frame.y();
  g.PosH = frame.x();
  const QList<int> sizes = paneSplitter_->sizes();
  if (!sizes.isEmpty()) g.NMW = sizes.front();
  g.NMH = nmeaBox_->height();
  g.NAH = naviBox_->height();
  g.NAW = naviBox_->width();
  g.STH = rulePanel_->height();
  g.STW = rulePanel_->width();
}

bool MainWindow::saveScreenshot(const QString& path) {
  return grab().save(path, "PNG");
}

void MainWindow::makeRouteForScreenshot() {
  if (QAction* a = action("Route")) a->trigger();
}

bool MainWindow::savePictureScreenshot(const QString& path) {
  if (QAction* a = action("RoutenBild")) a->trigger();
  if (!picture_) return false;
  // Let the window be laid out and painted at its size first.
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return picture_->grab().save(path, "PNG");
}

// ---------------------------------------------------------------------------------------------
// Commands

void MainWindow::run(const std::function<void()>& command) {
  // One command at a time: a route being made lets events through, and a second command must
  // not start inside it.
  if (busy_ || commandRunning_) {
    refresh();
    return;
  }
  commandRunning_ = true;
  const std::uint64_t loadedBefore = session_->doc.loadedInputRevision;
  try {
    syncInputLines();
    command();
  } catch (const ConvertError& e) {
    if (busy_) setBusy(false);
    session_->port().prompt(PromptKind::Error, PromptButtons::Ok, e.message());
  } catch (const std::exception& e) {
    if (busy_) setBusy(false);
    session_->port().prompt(PromptKind::Error, PromptButtons::Ok, e.what());
  }
  afterCommand(loadedBefore);
  commandRunning_ = false;
  stepRunning_ = false;
  refresh();
  if (closePending_ && !busy_) {
    closePending_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

void MainWindow::runRouteChange(const std::string& label, const std::function<void()>& change) {
  run([this, &label, &change] { history_.record(*session_, label, change); });
}

void MainWindow::afterCommand(std::uint64_t loadedBefore) {
  // Every way of loading a file (menu, format choice, drop, command line, the list itself) ends
  // here; a new file enters the list and starts the history afresh.
  if (session_->doc.loadedInputRevision != loadedBefore) {
    noteLoadedFile(*session_, recent_);
    rebuildRecentMenu();
  }
  history_.follow(*session_);
}

void MainWindow::undoOrRedo(bool undo) {
  // Text being edited takes its own edits back first; once it has none, the keys reach the route.
  QWidget* w = editTarget();
  const EditState st = w ? editStateOf(w) : EditState{};
  if (undo ? st.undo : st.redo) {
    applyEdit(w, undo ? EditCommand::Undo : EditCommand::Redo);
    updateEditActions();
    return;
  }
  run([this, undo] {
    const bool changed = undo ? history_.undo(*session_) : history_.redo(*session_);
    // Rows put back may be as many as those shown and still others.
    if (changed) gridModel_->reset();
  });
}

MainWindow::Pane MainWindow::paneToPrint() const {
  const QWidget* f = QApplication::focusWidget();
  if (f == nmea_ || f == nmeaView_) return Pane::Input;
  if (f && (f == navi_ || f == tabGrid_ || tabGrid_->isAncestorOf(f))) return Pane::Output;
  return lastPane_;
}

void MainWindow::printPane() {
  Session& s = *session_;
  const bool input = paneToPrint() == Pane::Input;
  const TextLines& lines = input ? s.doc.InputLines : s.doc.OutputLines;
  if (lines.empty()) {
    s.port().prompt(PromptKind::Warning, PromptButtons::Ok, kNothingToPrint);
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(Q("Kursolin"));
  bool go = false;
  if (printDialogHandler) {
    go = printDialogHandler(printer);
  } else {
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setWindowTitle(Q("Drucken"));
    go = dialog.exec() == QDialog::Accepted;
  }
  if (!go) return;
  const QFont font = (input ? nmea_ : navi_)->font();
  if (!printLines(lines.lines(), font, printer)) {
    s.port().prompt(PromptKind::Error, PromptButtons::Ok,
                    fromQString(Q("Der Druckauftrag konnte nicht gestartet werden.")));
  }
}

void MainWindow::findInInput() {
  Session& s = *session_;
  // With the table over the output pane, the selected cell holds the time.
  std::string selection;
  if (s.doc.PointTable.visible) {
    selection = fromQString(tabGrid_->currentIndex().data().toString());
  } else {
    selection = navi_->selectedText();
  }
  const auto m = GetNMEATime(s.doc, selection);
  if (!m || !nmea_->isEnabled()) return;
  if (inputStack_->currentWidget() == nmeaView_) {
    nmeaView_->setFocus();
    nmeaView_->selectInLine(m->line, m->column, m->length);
    return;
  }
  nmea_->setFocus();
  nmea_->selectInLine(m->line, m->column, m->length);
}

void MainWindow::loadFile(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  // The session holds paths in cp1252; a name beyond it would be loaded under a wrong name.
  if (!fitsCp1252(full)) {
    session_->port().prompt(PromptKind::Warning, PromptButtons::Ok,
                            fromQString(unusablePathText(full)));
    return;
  }
  run([this, file = fromQString(full)] {
    if (mayDiscardWork(*session_)) loadInputFile(*session_, file);
  });
}

namespace {

// The one local file, not a folder, that dragged data names; empty for anything else (text,
// several files, a web address), which the window leaves to the widget below the mouse.
QString draggedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QString path = urls.front().toLocalFile();
  return QFileInfo(path).isDir() ? QString() : path;
}

}  // namespace

bool MainWindow::handleFileDrag(QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  const QString path = draggedFile(drop->mimeData());
  if (path.isEmpty()) return false;
  // Nothing is loaded while a route is being made or a command runs.
  if (busy_ || commandRunning_) {
    drop->ignore();
    return true;
  }
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (type == QEvent::Drop) {
    // Loading may ask the user; the drag must be finished before a message box opens.
    QTimer::singleShot(0, this, [this, path] { loadFile(path); });
  }
  return true;
}

void MainWindow::showSettings() {
  Session& s = *session_;
  if (!settingsDialog_) return;
  settingsDialog_->exec();
  if (picture_) picture_->applyMapSettings();
  // A new input separator asks to load the file again with it.
  if (inputOptionsChanged(s)) SourceChange(s, chosenInputFormat(s));
}

void MainWindow::showDialog(QDialog* dialog) {
  if (dialog) dialog->exec();
}

// ---------------------------------------------------------------------------------------------
// Panes and session in step

void MainWindow::inputEdited() {
  inputDirty_ = true;
  NMEADatenChange(*session_, nmea_->lineCount(), nmea_->head());
}

void MainWindow::syncInputLines() {
  if (!inputDirty_) return;
  inputDirty_ = false;
  session_->doc.InputLines.setText(nmea_->text());
  shownInputRevision_ = session_->doc.InputLines.revision();
}

void MainWindow::openInputEditor(QKeyCombination key, const QString& text) {
  if (inputStack_->currentWidget() != nmeaView_) return;
  Session& s = *session_;
  const LinesView::Place caret = nmeaView_->caret();
  stepRunning_ = true;
  refresh();
  {
    ProgressTicker ticker(s.port(),
                          "Zeilen zum Bearbeiten \xFC"
                          "bernommen: ",
                          s.doc.InputLines.Count());
    settingText_ = true;
    nmea_->setLines(TextLines{});
    const int count = s.doc.InputLines.Count();
    for (int first = 0; first < count; first += kEditorChunkLines) {
      nmea_->appendLines(s.doc.InputLines, first, std::min(count, first + kEditorChunkLines));
      ticker.update(std::min(count, first + kEditorChunkLines));
      s.port().processPendingEvents();
    }
    settingText_ = false;
  }
  nmeaView_->setLines(nullptr);
  inputStack_->setCurrentWidget(nmea_);
  nmea_->setFocus();
  QTextCursor c(nmea_->document()->findBlockByNumber(static_cast<int>(caret.line)));
  c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, static_cast<int>(caret.column));
  nmea_->setTextCursor(c);
  nmea_->ensureCursorVisible();
  if (key.key() != Qt::Key_unknown && key.key() != 0) {
    // The key that asked for the editor does its work there; the pane is editable again first.
    stepRunning_ = false;
    refresh();
    QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers(), text);
    QApplication::sendEvent(nmea_, &press);
  }
}

void MainWindow::showStepProgress(const QString& text) {
  if (text.isEmpty()) {
    statusLabel_->setText(toQString(session_->statusText()));
    return;
  }
  if (!stepRunning_) {
    // From the first progress on nothing may change the data the step works on.
    stepRunning_ = true;
    refresh();
  }
  statusLabel_->setText(text);
  if (busy_ && cancelButton_->isHidden()) cancelButton_->show();
}

void MainWindow::updatePanes() {
  Session& s = *session_;
  if (s.doc.InputLines.revision() != shownInputRevision_) {
    settingText_ = true;
    if (s.doc.InputLines.Count() > kInputViewLines) {
      nmea_->setLines(TextLines{});
      nmeaView_->setLines(&s.doc.InputLines);
      inputStack_->setCurrentWidget(nmeaView_);
    } else {
      nmeaView_->setLines(nullptr);
      nmea_->setLines(s.doc.InputLines);
      inputStack_->setCurrentWidget(nmea_);
    }
    settingText_ = false;
    shownInputRevision_ = s.doc.InputLines.revision();
    inputDirty_ = false;
  }
  const TextLines& out = s.doc.OutputLines;
  // Under the point table the text pane waits until it is shown again: filling a hidden pane
  // with a long route would only hold the window up.
  if (out.revision() != shownOutputRevision_ && !s.doc.PointTable.visible) {
    // While a route is made the generator only appends, one revision per line; anything else
    // (clearing, the flag fix-ups at the end) shows the whole text afresh.
    const long long added = static_cast<long long>(out.Count()) - shownOutputCount_;
    const bool onlyAppended =
        busy_ && shownOutputRevision_ != ~0ull && added > 0 &&
        out.revision() - shownOutputRevision_ == static_cast<std::uint64_t>(added);
    if (onlyAppended) {
      navi_->appendLines(out, shownOutputCount_);
    } else if (out.Count() <= kInputViewLines || !navi_->updateLines(out, kChangedLinesAtMost)) {
      navi_->setLines(out);
    }
    shownOutputRevision_ = out.revision();
    shownOutputCount_ = out.Count();
  }
  gridModel_->sync();
  outputStack_->setCurrentWidget(s.doc.PointTable.visible ? static_cast<QWidget*>(tabGrid_)
                                                          : static_cast<QWidget*>(navi_));
  if (picture_) picture_->sessionChanged();
}

void MainWindow::showProgress() {
  if (sinceProgress_.isValid() && sinceProgress_.elapsed() < kProgressIntervalMs) return;
  sinceProgress_.start();
  outFileLabel_->setText(toQString(session_->outputCaption()));
  updatePanes();
  // The first rows of a new table show whole, not only once the route is done.
  if (!gridWidened_ && gridModel_->rowCount() > 0) {
    gridWidened_ = true;
    widenGridColumns();
  }
}

void MainWindow::setBusy(bool on) {
  if (busy_ == on) return;
  busy_ = on;
  const QList<QWidget*> busyOver = {navi_->viewport(), tabGrid_->viewport(), rulePanel_->routeButton()};
  if (on) {
    for (QWidget* w : busyOver) w->setCursor(Qt::WaitCursor);
    sinceProgress_.invalidate();
    gridModel_->reset();
    gridWidened_ = false;
  } else {
    gridModel_->sync();
    widenGridColumns();
    navi_->viewport()->setCursor(Qt::IBeamCursor);
    tabGrid_->viewport()->unsetCursor();
    rulePanel_->routeButton()->unsetCursor();
    cancelButton_->hide();
    cancelButton_->setEnabled(true);
  }
  refresh();
  if (!on && closePending_) {
    closePending_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

void MainWindow::widenGridColumns() {
  // The design widths suit a smaller font than most desktops use; a column never stays narrower
  // than its header and cells, and never shrinks below what the user made it.
  QHeaderView* header = tabGrid_->horizontalHeader();
  for (int c = 0; c < gridModel_->columnCount(); ++c) {
    const int need = std::max(header->sectionSizeHint(c),
                              static_cast<QAbstractItemView*>(tabGrid_)->sizeHintForColumn(c));
    if (tabGrid_->columnWidth(c) < need) tabGrid_->setColumnWidth(c, need);
  }
}

void MainWindow::focusOutputPane() {
  navi_->caretToStart();
  if (session_->doc.PointTable.visible) {
    tabGrid_->setFocus();
  } else {
    navi_->setFocus();
  }
}

QWidget* MainWindow::editTarget() const {
  QWidget* w = QApplication::focusWidget();
  // A menu opened from the keyboard takes the focus into the menu bar; its edit commands still
  // act on the field that had the focus before.
  if (qobject_cast<QMenuBar*>(w) || qobject_cast<QMenu*>(w)) w = lastFocus_;
  return w && w->window() == this ? w : nullptr;
}

void MainWindow::watchEditor(QWidget* now) {
  if (now && now->window() == this && !qobject_cast<QMenuBar*>(now) && !qobject_cast<QMenu*>(now)) {
    lastFocus_ = now;
  }
  if (now == nmea_ || now == nmeaView_) lastPane_ = Pane::Input;
  if (now && (now == navi_ || now == tabGrid_ || tabGrid_->isAncestorOf(now))) {
    lastPane_ = Pane::Output;
  }
  for (auto& c : editorConnections_) disconnect(c);
  editorConnections_.clear();
  now = editTarget();
  watchedEditor_ = now;
  if (now) {
    if (auto* te = qobject_cast<QPlainTextEdit*>(now)) {
      editorConnections_.push_back(
          connect(te, &QPlainTextEdit::selectionChanged, this, &MainWindow::updateEditActions));
      editorConnections_.push_back(
          connect(te, &QPlainTextEdit::undoAvailable, this, &MainWindow::updateEditActions));
      editorConnections_.push_back(
          connect(te, &QPlainTextEdit::textChanged, this, &MainWindow::updateEditActions));
    } else if (auto* view = qobject_cast<LinesView*>(now)) {
      editorConnections_.push_back(
          connect(view, &LinesView::selectionChanged, this, &MainWindow::updateEditActions));
    } else if (QLineEdit* le = lineEditOf(now)) {
      editorConnections_.push_back(
          connect(le, &QLineEdit::selectionChanged, this, &MainWindow::updateEditActions));
      editorConnections_.push_back(
          connect(le, &QLineEdit::textChanged, this, &MainWindow::updateEditActions));
    }
  }
  updateEditActions();
}

void MainWindow::updateEditActions() {
  QWidget* w = editTarget();
  const EditState st = w ? editStateOf(w) : EditState{};
  // The text field's own undo comes first, as the keys do (undoOrRedo).
  const auto offer = [this](QAction* a, bool field, bool route, const QString& caption,
                            const std::string& label) {
    const bool onRoute = !field && route && !locked();
    a->setEnabled(field || onRoute);
    a->setText(onRoute ? caption + Q(": ") + toQString(label) : caption);
    a->setToolTip(a->text().remove(u'&') + Q(" (") +
                  a->shortcut().toString(QKeySequence::NativeText) + Q(")"));
  };
  offer(undoAction_, st.undo, history_.canUndo(), Q("&Rückgängig"), history_.undoLabel());
  offer(redoAction_, st.redo, history_.canRedo(), Q("&Wiederherstellen"), history_.redoLabel());
  cutAction_->setEnabled(st.cut);
  copyAction_->setEnabled(st.copy);
  pasteAction_->setEnabled(st.paste);
  deleteAction_->setEnabled(st.del);
  selectAllAction_->setEnabled(st.all);
}

void MainWindow::refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  Session& s = *session_;

  updatePanes();
  inFileLabel_->setText(toQString(s.inputCaption()));
  outFileLabel_->setText(toQString(s.outputCaption()));
  statusLabel_->setText(toQString(s.statusText()));

  for (const auto& [name, a] : actions_) {
    const UiItem& it = s.shell.item(name);
    if (a->isCheckable()) a->setChecked(menuItemChecked(s, name));
    bool enabled = it.enabled;
    // While a route is made only ending the program stays offered (it waits for the route).
    if (locked() && name != "ProgammEnde") enabled = false;
    a->setEnabled(enabled);
    a->setVisible(it.visible);
  }
  for (const auto& [a, code] : inputFormatActions_) {
    if (!inputFormatAvailable(code)) {
      a->setEnabled(false);
      a->setToolTip(notAvailableText());
    }
  }
  for (const auto& [a, code] : outputFormatActions_) {
    if (!outputFormatAvailable(code)) {
      a->setEnabled(false);
      a->setToolTip(notAvailableText());
    }
  }
  if (!helpPage_) action("HelpAktion")->setEnabled(false);
  if (!aboutBox_) action("InfoAktion")->setEnabled(false);
  if (!settingsDialog_) action("Einstellungen")->setEnabled(false);

  nmea_->setEnabled(s.shell.item("NMEADaten").enabled);
  nmeaView_->setEnabled(s.shell.item("NMEADaten").enabled);
  // A long step reads the input lines; the pane shows them, nobody edits them meanwhile.
  nmea_->setReadOnly(locked());
  // Only a long step locks the rules it reads: a short route is over before anyone could click,
  // and disabling moves the focus out of the panel.
  rulePanel_->setEnabled(!stepRunning_);
  rulePanel_->routeButton()->setEnabled(action("Route")->isEnabled());
  rulePanel_->findButton()->setVisible(s.shell.item("FindButton").visible);
  rulePanel_->findButton()->setEnabled(!locked() && s.shell.item("FindButton").enabled);

  rulePanel_->refresh();
  updateEditActions();
  refreshing_ = false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // The delete button has no hint; a tool button would show the action's text instead.
  if (event->type() == QEvent::ToolTip && watched == deleteButton_) return true;
  if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == this) {
    if (handleFileDrag(event)) return true;
  }
  // A text field claims keys such as Ctrl+K or Ctrl+U for its own line editing; in this window
  // the commands bound to them win. The edit commands are left to the field, which does the same.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this) {
      const auto* ke = static_cast<QKeyEvent*>(event);
      const QKeySequence seq(ke->keyCombination());
      // Undo and redo keys stay with a text field while it has edits of its own to take back or
      // make again; then they go to the route.
      for (const bool undo : {true, false}) {
        QAction* a = undo ? undoAction_ : redoAction_;
        const QList<QKeySequence> keys = a->shortcuts();
        const bool matches = std::any_of(keys.begin(), keys.end(), [&](const QKeySequence& k) {
          return k.matches(seq) == QKeySequence::ExactMatch;
        });
        if (!matches) continue;
        QWidget* field = editTarget();
        const EditState st = field ? editStateOf(field) : EditState{};
        if (!(undo ? st.undo : st.redo) && a->isEnabled()) {
          event->ignore();
          return true;
        }
      }
      for (QAction* a : commandActions_) {
        if (a->isEnabled() && a->isVisible() && !a->shortcut().isEmpty() &&
            a->shortcut().matches(seq) == QKeySequence::ExactMatch) {
          event->ignore();
          return true;
        }
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace kursolin::gui
