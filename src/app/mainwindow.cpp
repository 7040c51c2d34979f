#include "app/mainwindow.h"

#include "app/maker.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
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
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/flowlayout.h"
#include "app/numberfield.h"
#include "app/pointgrid.h"
#include "app/printing.h"
#include "app/qtext.h"
#include "app/routepicture.h"
#include "settings/settings.h"
#include "app/textpane.h"
#include "app/windows.h"
#include "core/geotime.h"
#include "core/ranges.h"
#include "track/rules.h"
#include "formats/registry.h"
#include "workflow/rule_groups.h"
#include "workflow/loading.h"
#include "workflow/output_commands.h"
#include "core/panes.h"
#include "workflow/program.h"
#include "workflow/route_command.h"
#include "workflow/search.h"

namespace kursolin::gui {

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// The window's hooks always run; the questions go to the test's port when one is given.
class WindowPort : public UserPort {
 public:
  WindowPort(QtPort& qt, UserPort* dialogs) : qt_(qt), dialogs_(dialogs) {}

  PromptAnswer prompt(PromptKind kind, PromptButtons buttons, const std::string& text) override {
    return ask().prompt(kind, buttons, text);
  }
  std::optional<std::string> openFile(const FileDialogRequest& request) override {
    return ask().openFile(request);
  }
  std::optional<std::string> saveFile(const FileDialogRequest& request) override {
    return ask().saveFile(request);
  }
  std::optional<std::string> browseFolder(const std::string& title) override {
    return ask().browseFolder(title);
  }
  bool showSplitDialog(SplitDialogView& dialog) override { return ask().showSplitDialog(dialog); }
  void processPendingEvents() override {
    qt_.processPendingEvents();
    if (dialogs_) dialogs_->processPendingEvents();
  }
  void setInputCaption(const std::string& text) override {
    qt_.setInputCaption(text);
    if (dialogs_) dialogs_->setInputCaption(text);
  }
  void setOutputCaption(const std::string& text) override {
    qt_.setOutputCaption(text);
    if (dialogs_) dialogs_->setOutputCaption(text);
  }
  void setStatusText(const std::string& text) override {
    qt_.setStatusText(text);
    if (dialogs_) dialogs_->setStatusText(text);
  }
  void setBusy(bool busy) override {
    qt_.setBusy(busy);
    if (dialogs_) dialogs_->setBusy(busy);
  }
  void focusOutputPane() override {
    qt_.focusOutputPane();
    if (dialogs_) dialogs_->focusOutputPane();
  }
  void stateChanged() override {
    qt_.stateChanged();
    if (dialogs_) dialogs_->stateChanged();
  }

 private:
  UserPort& ask() { return dialogs_ ? *dialogs_ : static_cast<UserPort&>(qt_); }
  QtPort& qt_;
  UserPort* dialogs_;
};

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

// A push button whose caption wraps onto further lines instead of being cut off.
class WrapButton : public QPushButton {
 public:
  WrapButton(const QString& caption, QWidget* parent) : QPushButton(parent) {
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(10, 4, 10, 4);
    label_ = new QLabel(caption, this);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignCenter);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->addWidget(label_);
    QSizePolicy p(QSizePolicy::Expanding, QSizePolicy::Preferred);
    p.setHeightForWidth(true);
    setSizePolicy(p);
    setAccessibleName(caption);
  }
  QLabel* label() const { return label_; }
  QSize sizeHint() const override { return layout()->sizeHint(); }
  QSize minimumSizeHint() const override { return layout()->totalMinimumSize(); }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int w) const override { return layout()->totalHeightForWidth(w); }

 private:
  QLabel* label_;
};

QIcon themedIcon(const QWidget* w, const char* name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(name), w->style()->standardIcon(fallback));
}

// The line edit the edit commands act on inside a focused field, or nullptr.
QLineEdit* lineEditOf(QWidget* w) {
  if (auto* le = qobject_cast<QLineEdit*>(w)) return le;
  if (auto* sb = qobject_cast<QAbstractSpinBox*>(w)) return sb->findChild<QLineEdit*>();
  return nullptr;
}

enum class EditCommand { Undo, Cut, Copy, Paste, Delete, SelectAll };

struct EditState {
  bool undo = false, cut = false, copy = false, paste = false, del = false, all = false;
};

bool clipboardHasText() {
  const QClipboard* c = QGuiApplication::clipboard();
  return c && !c->text().isEmpty();
}

EditState editStateOf(QWidget* w) {
  EditState st;
  if (auto* te = qobject_cast<QPlainTextEdit*>(w)) {
    const bool ro = te->isReadOnly() || !te->isEnabled();
    const bool sel = te->textCursor().hasSelection();
    st.undo = !ro && te->document()->isUndoAvailable();
    st.cut = st.del = !ro && sel;
    st.copy = sel;
    st.paste = !ro && te->canPaste();
    st.all = !te->document()->isEmpty();
  } else if (QLineEdit* le = lineEditOf(w)) {
    const bool ro = le->isReadOnly() || !le->isEnabled();
    const bool sel = le->hasSelectedText();
    st.undo = !ro && le->isUndoAvailable();
    st.cut = st.del = !ro && sel;
    st.copy = sel && le->echoMode() == QLineEdit::Normal;
    st.paste = !ro && clipboardHasText();
    st.all = !le->text().isEmpty();
  }
  return st;
}

void applyEdit(QWidget* w, EditCommand c) {
  if (auto* te = qobject_cast<QPlainTextEdit*>(w)) {
    switch (c) {
      case EditCommand::Undo:
        te->undo();
        break;
      case EditCommand::Cut:
        te->cut();
        break;
      case EditCommand::Copy:
        te->copy();
        break;
      case EditCommand::Paste:
        te->paste();
        break;
      case EditCommand::Delete: {
        QTextCursor cur = te->textCursor();
        cur.removeSelectedText();
        te->setTextCursor(cur);
        break;
      }
      case EditCommand::SelectAll:
        te->selectAll();
        break;
    }
  } else if (QLineEdit* le = lineEditOf(w)) {
    switch (c) {
      case EditCommand::Undo:
        le->undo();
        break;
      case EditCommand::Cut:
        le->cut();
        break;
      case EditCommand::Copy:
        le->copy();
        break;
      case EditCommand::Paste:
        le->paste();
        break;
      case EditCommand::Delete:
        le->del();
        break;
      case EditCommand::SelectAll:
        le->selectAll();
        break;
    }
  }
}

// Words of a rule sentence as labels of their own, so the sentence can break between any two.
void addWords(FlowLayout* flow, QWidget* row, const QString& text, const QString& name,
              std::vector<QWidget*>& group) {
  // A token of punctuation only ("(", "=", ")") stays with its word, so no line starts with ")".
  const QStringList tokens = text.split(u' ', Qt::SkipEmptyParts);
  auto bare = [](const QString& t) {
    return std::none_of(t.begin(), t.end(), [](QChar c) { return c.isLetterOrNumber(); });
  };
  QStringList words;
  QString pending;
  for (const QString& t : tokens) {
    if (bare(t) && t != u")" && t != u"." && t != u",") {
      pending += (pending.isEmpty() ? QString() : QStringLiteral(" ")) + t;
      continue;
    }
    if (bare(t) && !words.isEmpty() && pending.isEmpty()) {
      words.back() += u' ' + t;
      continue;
    }
    words.append(pending.isEmpty() ? t : pending + u' ' + t);
    pending.clear();
  }
  if (!pending.isEmpty()) words.append(pending);
  for (const QString& w : words) {
    auto* l = new QLabel(w, row);
    l->setObjectName(name);
    flow->addWidget(l);
    group.push_back(l);
  }
}

constexpr int kProgressIntervalMs = 150;
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
  resize(session_->geometry.SizeW, session_->geometry.SizeH);
  move(session_->geometry.PosH, session_->geometry.PosT);

  buildActions();
  buildMenus();
  buildToolBar();
  buildCentralArea();
  installPortHooks();

  FormCreate(*session_, appDir);
  gridModel_->reset();
  for (std::size_t i = 0; i < session_->PointTable.widths.size(); ++i) {
    tabGrid_->setColumnWidth(static_cast<int>(i), session_->PointTable.widths[i]);
  }
  widenGridColumns();
  createSecondaryWindows();

  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* now) { watchEditor(now); });
  if (QClipboard* c = QGuiApplication::clipboard()) {
    connect(c, &QClipboard::dataChanged, this, &MainWindow::updateEditActions);
  }
  qApp->installEventFilter(this);
  refresh();
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
  qtPort_.busyHandler = nullptr;
  qtPort_.focusOutputPaneHandler = nullptr;
  qtPort_.stateChangedHandler = nullptr;
  qtPort_.splitDialogHandler = nullptr;
  tabGrid_->setModel(nullptr);
  if (nmea_) nmea_->document()->disconnect(this);
}

// ---------------------------------------------------------------------------------------------
// Building the window

QAction* MainWindow::addAction(const std::string& name, const QString& text,
                               const QString& shortcut, bool checkable) {
  auto* a = new QAction(text, this);
  a->setObjectName(QString::fromStdString(name));
  if (!shortcut.isEmpty()) a->setShortcut(QKeySequence(shortcut));
  a->setCheckable(checkable);
  actions_[name] = a;
  commandActions_.push_back(a);
  return a;
}

QAction* MainWindow::action(const std::string& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::buildActions() {
  Session& s = *session_;
  auto cmd = [this](QAction* a, std::function<void()> f) {
    connect(a, &QAction::triggered, this, [this, f] { run(f); });
  };

  QAction* load = addAction("LoadNMEA", Q("Datei laden"), Q("Ctrl+L"));
  load->setToolTip(Q("Routendaten laden"));
  load->setIcon(themedIcon(this, "document-open", QStyle::SP_DialogOpenButton));
  cmd(load, [&s] { LoadNMEAExecute(s); });

  QAction* save = addAction("SaveNavi", Q("Routendaten speichern"), Q("Ctrl+S"));
  save->setToolTip(Q("Routendaten speichern"));
  save->setIcon(themedIcon(this, "document-save", QStyle::SP_DialogSaveButton));
  cmd(save, [&s] { saveRoute(s); });

  QAction* print = addAction("Print", Q("Drucken"), Q("Ctrl+P"));
  print->setToolTip(Q("Datei Drucken"));
  print->setIcon(themedIcon(this, "document-print", QStyle::SP_FileDialogContentsView));
  cmd(print, [this] { printPane(); });

  // Ctrl+X stays with "Ausschneiden"; ending the program gets the usual Ctrl+Q.
  QAction* quit = addAction("ProgammEnde", Q("Be&enden"), Q("Ctrl+Q"));
  quit->setToolTip(Q("Progamm beenden !"));
  quit->setIcon(themedIcon(this, "application-exit", QStyle::SP_DialogCloseButton));
  connect(quit, &QAction::triggered, this, &QWidget::close);

  auto edit = [this](QAction*& slot, const QString& text, const QString& key, const char* icon,
                     QStyle::StandardPixmap fallback, EditCommand c) {
    slot = new QAction(text, this);
    slot->setObjectName(QStringLiteral("Edit%1").arg(static_cast<int>(c)));
    if (!key.isEmpty()) slot->setShortcut(QKeySequence(key));
    if (icon) slot->setIcon(themedIcon(this, icon, fallback));
    connect(slot, &QAction::triggered, this, [this, c] {
      applyEdit(QApplication::focusWidget(), c);
      updateEditActions();
    });
  };
  edit(undoAction_, Q("&Rückgängig"), Q("Alt+Backspace"), "edit-undo", QStyle::SP_ArrowBack,
       EditCommand::Undo);
  undoAction_->setObjectName(QStringLiteral("EditUndo"));
  edit(cutAction_, Q("&Ausschneiden"), Q("Ctrl+X"), "edit-cut", QStyle::SP_LineEditClearButton,
       EditCommand::Cut);
  cutAction_->setObjectName(QStringLiteral("EditCut"));
  cutAction_->setToolTip(Q("Ausschneiden"));
  edit(copyAction_, Q("&Kopieren"), Q("Ctrl+C"), "edit-copy", QStyle::SP_FileIcon,
       EditCommand::Copy);
  copyAction_->setObjectName(QStringLiteral("EditCopy"));
  copyAction_->setToolTip(Q("Kopieren"));
  edit(pasteAction_, Q("&Einfügen"), Q("Ctrl+V"), "edit-paste", QStyle::SP_FileLinkIcon,
       EditCommand::Paste);
  pasteAction_->setObjectName(QStringLiteral("EditPaste"));
  pasteAction_->setToolTip(Q("Einfügen"));
  edit(deleteAction_, Q("&Löschen"), Q("Del"), "edit-delete", QStyle::SP_TrashIcon,
       EditCommand::Delete);
  deleteAction_->setObjectName(QStringLiteral("EditDelete"));
  edit(selectAllAction_, Q("Alles &markieren"), QString(), "edit-select-all",
       QStyle::SP_FileDialogListView, EditCommand::SelectAll);
  selectAllAction_->setObjectName(QStringLiteral("EditSelectAll"));

  QAction* route = addAction("Route", Q("Routendaten erzeugen"), Q("Ctrl+R"));
  route->setToolTip(Q("Routendaten erzeugen"));
  route->setIcon(themedIcon(this, "media-playback-start", QStyle::SP_MediaPlay));
  cmd(route, [&s] { RouteExecute(s); });

  QAction* reverse = addAction("RouteReversAction", Q("Route umkehren"), Q("Ctrl+U"));
  reverse->setToolTip(Q("Start und Zielpunkt der Route vertauschen"));
  reverse->setIcon(themedIcon(this, "view-refresh", QStyle::SP_BrowserReload));
  cmd(reverse, [&s] { reverseRoute(s); });

  // The route picture and the reduction to a device's point limit (routepicture.h).
  QAction* picture = addAction("RoutenBild", Q("Routenbild anzeigen"), Q("F12"));
  picture->setToolTip(Q("Routenbild anzeigen"));
  picture->setIcon(themedIcon(this, "image-x-generic", QStyle::SP_FileDialogDetailedView));
  connect(picture, &QAction::triggered, this, [this] {
    if (picture_) picture_->showWindow();
  });
  QAction* reduce = addAction("RouteVerringern", Q("Route auf höchstens N Punkte verringern"));
  reduce->setToolTip(Q("Route auf höchstens N Punkte verringern"));
  reduce->setIcon(themedIcon(this, "zoom-out", QStyle::SP_ArrowDown));
  cmd(reduce, [this] { reduceRoute(*session_, this); });

  QAction* rpInfo = addAction("RPInfo", Q("Routepunkte Info ausgeben"), Q("Ctrl+I"), true);
  cmd(rpInfo, [&s] { RPInfoClick(s); });
  QAction* nmeaTime = addAction("NMEATime", Q("NMEA Zeit"), {}, true);
  cmd(nmeaTime, [&s] { NMEATimeClick(s); });
  QAction* summer = addAction("SommerTime", Q("Sommerzeit"), {}, true);
  cmd(summer, [&s] { SommerTimeClick(s); });
  QAction* winter = addAction("WinterTime", Q("Winterzeit"), {}, true);
  cmd(winter, [&s] { WinterTimeClick(s); });
  QAction* settings = addAction("Einstellungen", Q("Einstellungen"), Q("Ctrl+Alt+E"));
  cmd(settings, [this] { showSettings(); });
  QAction* errors = addAction("Fehlermeldung", Q("Fehlermeldungen ausgeben"), {}, true);
  cmd(errors, [&s] { FehlermeldungClick(s); });

  QAction* help = addAction("HelpAktion", Q("Bedienungsanleitung anzeigen"), Q("F1"));
  help->setIcon(themedIcon(this, "help-contents", QStyle::SP_DialogHelpButton));
  cmd(help, [this] { showDialog(helpPage_.get()); });
  QAction* info = addAction("InfoAktion", Q("Info...."), Q("Ctrl+F1"));
  info->setIcon(themedIcon(this, "help-about", QStyle::SP_MessageBoxInformation));
  cmd(info, [this] { showDialog(aboutBox_.get()); });
}

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();

  QMenu* file = bar->addMenu(Q("&Datei"));
  file->setObjectName(QStringLiteral("Datei"));
  file->addAction(action("LoadNMEA"));
  file->addAction(action("SaveNavi"));
  file->addSeparator();
  file->addAction(action("Print"));
  file->addSeparator();
  file->addAction(action("ProgammEnde"));

  QMenu* edit = bar->addMenu(Q("&Bearbeiten"));
  edit->setObjectName(QStringLiteral("Bearbeiten"));
  edit->addAction(undoAction_);
  edit->addSeparator();
  edit->addAction(cutAction_);
  edit->addAction(copyAction_);
  edit->addAction(pasteAction_);
  edit->addAction(deleteAction_);
  edit->addAction(selectAllAction_);
  edit->addSeparator();
  edit->addAction(action("Route"));
  edit->addAction(action("RouteReversAction"));
  edit->addAction(action("RouteVerringern"));
  connect(edit, &QMenu::aboutToShow, this, &MainWindow::updateEditActions);

  QMenu* options = bar->addMenu(Q("&Optionen"));
  options->setObjectName(QStringLiteral("Optionen"));

  // A sub-menu whose own entry carries a check mark and a name of the session's items.
  auto submenu = [this](QMenu* parent, const std::string& name, const QString& caption) {
    QMenu* m = parent->addMenu(caption);
    m->setObjectName(QString::fromStdString(name));
    m->setToolTipsVisible(true);
    QAction* a = m->menuAction();
    a->setObjectName(QString::fromStdString(name));
    a->setCheckable(true);
    actions_[name] = a;
    return m;
  };

  // Input formats, in the order of their table; children gather under their parent's entry.
  QMenu* input = options->addMenu(Q("Eingabeformat"));
  input->setObjectName(QStringLiteral("Eingabeformat"));
  input->setToolTipsVisible(true);
  std::map<std::string, QMenu*> parents;
  std::map<std::string, QString> parentCaptions;
  for (const FormatSubmenu& m : inputSubmenus()) parentCaptions[m.item] = toQString(m.caption);
  bool first = true;
  for (const InputFormatInfo& f : inputFormats()) {
    if (!f.menuEntry) continue;  // reserved codes have no menu item
    QMenu* into = input;
    if (!f.parentItem.empty()) {
      auto it = parents.find(f.parentItem);
      if (it == parents.end()) {
        if (!first) input->addSeparator();
        first = false;
        auto caption = parentCaptions.find(f.parentItem);
        QMenu* m = submenu(input, f.parentItem,
                           caption != parentCaptions.end() ? caption->second
                                                           : QString::fromStdString(f.parentItem));
        it = parents.emplace(f.parentItem, m).first;
      }
      into = it->second;
    } else {
      if (!first) input->addSeparator();
      first = false;
    }
    QAction* a =
        addAction(f.menuItem, toQString(f.caption), QString::fromStdString(f.shortcut), true);
    into->addAction(a);
    inputFormatActions_.emplace_back(a, f.code);
    const int code = f.code;
    connect(a, &QAction::triggered, this,
            [this, code] { run([this, code] { SourceChange(*session_, code); }); });
  }
  textInputMenu_ = parents.count("In_NaviTextTab") ? parents["In_NaviTextTab"] : nullptr;
  if (textInputMenu_) {
    // Each opening of the sub-menu shows the input label again (and reloads after a change of
    // the input separator).
    connect(textInputMenu_, &QMenu::aboutToShow, this,
            [this] { run([this] { In_NaviTextTabClick(*session_); }); });
  }

  options->addSeparator();

  QMenu* output = options->addMenu(Q("Ausgabeformat"));
  output->setObjectName(QStringLiteral("Ausgabeformat"));
  output->setToolTipsVisible(true);
  QMenu* textOutput = nullptr;
  first = true;
  for (const OutputFormatInfo& f : outputFormats()) {
    QMenu* into = output;
    if (f.textSubmenu) {
      if (!textOutput) {
        if (!first) output->addSeparator();
        first = false;
        textOutput = submenu(output, textOutputSubmenu().item,
                             toQString(textOutputSubmenu().caption));
      }
      into = textOutput;
    } else {
      if (!first) output->addSeparator();
      first = false;
    }
    QAction* a =
        addAction(f.menuItem, toQString(f.caption), QString::fromStdString(f.shortcut), true);
    into->addAction(a);
    outputFormatActions_.emplace_back(a, f.code);
    const int code = f.code;
    connect(a, &QAction::triggered, this,
            [this, code] { run([this, code] { NaviArtChange(*session_, code); }); });
  }

  options->addSeparator();
  options->addAction(action("RPInfo"));
  QMenu* time = submenu(options, "Zeitangabe", Q("Zeitangabe"));
  time->menuAction()->setCheckable(false);
  time->addAction(action("NMEATime"));
  time->addAction(action("SommerTime"));
  time->addAction(action("WinterTime"));
  options->addAction(action("RoutenBild"));
  QAction* n5 = options->addSeparator();
  n5->setObjectName(QStringLiteral("N5"));
  actions_["N5"] = n5;
  options->addAction(action("Einstellungen"));
  options->addAction(action("Fehlermeldung"));

  QMenu* help = bar->addMenu(Q("&Hilfe"));
  help->setObjectName(QStringLiteral("Hilfe"));
  help->addAction(action("HelpAktion"));
  help->addAction(action("InfoAktion"));
}

void MainWindow::buildToolBar() {
  QToolBar* tb = addToolBar(Q("Werkzeuge"));
  tb->setObjectName(QStringLiteral("ToolBar"));
  tb->setMovable(false);
  tb->setFloatable(false);
  tb->setContextMenuPolicy(Qt::PreventContextMenu);
  tb->addAction(action("LoadNMEA"));
  tb->addAction(action("SaveNavi"));
  tb->addAction(action("Print"));
  tb->addSeparator();
  tb->addAction(cutAction_);
  tb->addAction(copyAction_);
  tb->addAction(pasteAction_);
  tb->addAction(deleteAction_);
  tb->addSeparator();
  tb->addAction(action("Route"));
  tb->addAction(action("RouteReversAction"));
  tb->addAction(action("RouteVerringern"));
  tb->addAction(action("RoutenBild"));
}

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
  nmea_ = new TextPane(nmeaBox_);
  nmea_->setObjectName(QStringLiteral("NMEADaten"));
  nmea_->setFont(paneFont);
  nmea_->setMinimumWidth(120);
  nmeaLayout->addWidget(nmea_, 1);
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
  gridModel_ = new PointGridModel(s.PointTable, this);
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
  paneSplitter_->setSizes({s.geometry.NMW, std::max(1, width() - s.geometry.NMW)});

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
  lower->addWidget(buildRulePanel());

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
}

QWidget* MainWindow::buildRulePanel() {
  auto* box = new QFrame(lowerArea_);
  box->setObjectName(QStringLiteral("SetupBox"));
  box->setFrameShape(QFrame::StyledPanel);
  setupBox_ = box;
  auto* outer = new QVBoxLayout(box);
  outer->setContentsMargins(8, 6, 20, 6);
  outer->setSpacing(6);
  auto* top = new QHBoxLayout();
  top->setSpacing(16);
  outer->addLayout(top);
  auto* rows = new QVBoxLayout();
  rows->setSpacing(3);
  top->addLayout(rows, 1);

  // Labels bring a little room of their own; together with it the gaps look like blanks.
  const int blank = std::max(2, fontMetrics().horizontalAdvance(QLatin1Char(' ')) / 2);
  auto newRow = [&](const char* name) {
    auto* row = new QWidget(box);
    row->setObjectName(QString::fromLatin1(name));
    auto* flow = new FlowLayout(row, blank, blank + 4, 1);
    QSizePolicy p(QSizePolicy::Preferred, QSizePolicy::Preferred);
    p.setHeightForWidth(true);
    row->setSizePolicy(p);
    rows->addWidget(row);
    return std::make_pair(row, flow);
  };
  auto group = [this](const char* name) -> std::vector<QWidget*>& { return ruleWidgets_[name]; };
  auto check = [&](QWidget* row, FlowLayout* flow, const char* name, const QString& caption) {
    auto* c = new QCheckBox(caption, row);
    c->setObjectName(QString::fromLatin1(name));
    flow->addWidget(c);
    group(name).push_back(c);
    return c;
  };
  auto field = [&](QWidget* row, FlowLayout* flow, const char* name, const IntRange& range) {
    auto* f = new NumberField(range, row);
    f->setObjectName(QString::fromLatin1(name));
    flow->addWidget(f);
    group(name).push_back(f);
    return f;
  };
  auto words = [&](QWidget* row, FlowLayout* flow, const char* name, const QString& text) {
    addWords(flow, row, text, QString::fromLatin1(name), group(name));
  };

  {
    auto [row, flow] = newRow("Row1");
    meterCheck_ = check(row, flow, "MeterCheck", Q(" Alle "));
    meterSpin_ = field(row, flow, "MeterSpin", kMeterSpinRange);
    meterSpin_->setToolTip(Q("Alle x Meter einen Routenpunkt erzeugen"));
    words(row, flow, "Label1",
          Q("Meter einen Routenpunkt erzeugen wenn, die Geschwindigkeit weniger als "));
    meterSpeedEdit_ = field(row, flow, "MeterSpeedEdit", kMeterSpeedEditRange);
    words(row, flow, "Label4", Q("KmH beträgt"));
  }
  {
    auto [row, flow] = newRow("Row2");
    gradCheck_ = check(row, flow, "GradCheck", Q("Bei einem Richtungswechsel ab "));
    gradEdit_ = field(row, flow, "GradEdit", kGradEditRange);
    words(row, flow, "Label5",
          Q("Grad einen Routenpunkt erzeugen wenn, die Geschwindigkeit mehr als "));
    gradSpeedEdit_ = field(row, flow, "GradSpeedEdit", kGradSpeedEditRange);
    words(row, flow, "Label6", Q("KmH beträgt"));
  }
  {
    auto [row, flow] = newRow("Row3");
    pauseCheck_ = check(row, flow, "PauseCheck", Q("Bei einem Stopp ab"));
    pauseEdit_ = field(row, flow, "PauseEdit", kPauseEditRange);
    words(row, flow, "Label7", Q("Minuten einen Routenpunkt erzeugen. ( = Pausen erfassen )"));
  }
  {
    auto [row, flow] = newRow("Row4");
    zeitCheck_ = check(row, flow, "ZeitCheck", Q("Alle "));
    zeitSpin_ = field(row, flow, "ZeitSpin", kZeitSpinRange);
    words(row, flow, "Label2", Q("Sekunden einen Routenpunkt erzeugen"));
  }
  {
    auto [row, flow] = newRow("Row5");
    words(row, flow, "Label3", Q("Einen Mindestabstand von"));
    minDistEdit_ = field(row, flow, "MinDistEdit", kMinDistEditRange);
    words(row, flow, "Label8", Q("Metern zwischen benachbarten Routenpunkten einhalten "));
  }
  {
    auto [row, flow] = newRow("Row6");
    allGgaCheck_ = check(row, flow, "AllGGACheck", Q("Aus jedem"));
    xrpSpin_ = field(row, flow, "XRPSpin", kXRPSpinRange);
    words(row, flow, "XRPLabel", Q("gültigen Positionsdatensatz einen Routenpunkt erzeugen"));
  }

  routeButton_ = new QPushButton(Q("Routendaten erzeugen"), box);
  routeButton_->setObjectName(QStringLiteral("RouteBerechnenBtn"));
  QFont big = font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.15);
  routeButton_->setFont(big);
  routeButton_->setIcon(themedIcon(this, "media-playback-start", QStyle::SP_MediaPlay));
  routeButton_->setIconSize(QSize(28, 28));
  routeButton_->setMinimumHeight(64);
  routeButton_->setToolTip(Q("Routendaten erzeugen"));
  routeButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(routeButton_, &QPushButton::clicked, this, [this] { action("Route")->trigger(); });
  top->addWidget(routeButton_, 0, Qt::AlignVCenter | Qt::AlignRight);

  auto* find = new WrapButton(
      Q(" GGA Datensatz in der  NMEA Datei finden =  bei den Routenpunkten die Zeit markieren "
        "und diesen Button drücken"),
      box);
  find->setObjectName(QStringLiteral("FindButton"));
  find->setToolTip(
      Q("Um den entsprechenden GGA Datensatz in der  NMEA Datei zu finden bei den Routenpunkten "
        "die Zeit markieren und diesen Button drücken"));
  find->label()->setStyleSheet(QStringLiteral("color: #cc0000;"));
  QFont findFont = find->label()->font();
  findFont.setBold(true);
  find->label()->setFont(findFont);
  find->hide();
  findButton_ = find;
  connect(find, &QPushButton::clicked, this, [this] { run([this] { findInInput(); }); });
  outer->addWidget(find);

  // The check boxes: a click by the user sets the box and lets the rules clear the others.
  auto ruleBox = [this](QCheckBox* c, RuleBox box) {
    connect(c, &QCheckBox::clicked, this, [this, box](bool on) {
      setRuleCheck(*session_, box, on);
      refresh();
    });
  };
  ruleBox(meterCheck_, RuleBox::MeterCheck);
  ruleBox(gradCheck_, RuleBox::GradCheck);
  ruleBox(pauseCheck_, RuleBox::PauseCheck);
  ruleBox(zeitCheck_, RuleBox::ZeitCheck);
  connect(allGgaCheck_, &QCheckBox::clicked, this, [this](bool on) {
    setAllGGACheck(*session_, on);
    refresh();
  });
  auto spin = [this](NumberField* f, int RuleSettings::*field) {
    connect(f, &QSpinBox::valueChanged, this, [this, field](int v) {
      if (!refreshing_) session_->rules.*field = v;
    });
  };
  spin(meterSpin_, &RuleSettings::MeterSpin);
  spin(meterSpeedEdit_, &RuleSettings::MeterSpeedEdit);
  spin(gradEdit_, &RuleSettings::GradEdit);
  spin(gradSpeedEdit_, &RuleSettings::GradSpeedEdit);
  spin(pauseEdit_, &RuleSettings::PauseEdit);
  spin(zeitSpin_, &RuleSettings::ZeitSpin);
  spin(minDistEdit_, &RuleSettings::MinDistEdit);
  spin(xrpSpin_, &RuleSettings::XRPSpin);
  return box;
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
  applyGeometry();
  refresh();
  if (notice) QTimer::singleShot(0, this, &MainWindow::showStartNotice);
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
  if (busy_) {
    // The route being made finishes first; the window closes right after it.
    closePending_ = true;
    event->ignore();
    return;
  }
  // Settings that were never read are not written over the file's own.
  if (startedUp_ && !settingsWritten_) {
    settingsWritten_ = true;
    storeGeometry();
    saveSettings(*session_);
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
  const WindowGeometry& g = session_->geometry;
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
  WindowGeometry& g = session_->geometry;
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
  g.STH = setupBox_->height();
  g.STW = setupBox_->width();
}

bool MainWindow::saveScreenshot(const QString& path) {
  return grab().save(path, "PNG");
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
  try {
    syncInputLines();
    command();
  } catch (const std::exception& e) {
    if (busy_) setBusy(false);
    session_->port().prompt(PromptKind::Error, PromptButtons::Ok, e.what());
  }
  commandRunning_ = false;
  refresh();
}

MainWindow::Pane MainWindow::paneToPrint() const {
  const QWidget* f = QApplication::focusWidget();
  if (f == nmea_) return Pane::Input;
  if (f && (f == navi_ || f == tabGrid_ || tabGrid_->isAncestorOf(f))) return Pane::Output;
  return lastPane_;
}

void MainWindow::printPane() {
  Session& s = *session_;
  const bool input = paneToPrint() == Pane::Input;
  const TextLines& lines = input ? s.InputLines : s.OutputLines;
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
  if (s.PointTable.visible) {
    selection = fromQString(tabGrid_->currentIndex().data().toString());
  } else {
    selection = navi_->selectedText();
  }
  const auto m = GetNMEATime(s, selection);
  if (!m || !nmea_->isEnabled()) return;
  nmea_->setFocus();
  nmea_->selectInLine(m->line, m->column, m->length);
}

void MainWindow::showSettings() {
  Session& s = *session_;
  if (!settingsDialog_) return;
  settingsDialog_->exec();
  // A new input separator asks to load the file again with it.
  if (s.SeparatorAtSettings != s.InputSeparator) SourceChange(s, s.InputFormat);
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
  session_->InputLines.setText(nmea_->text());
  shownInputRevision_ = session_->InputLines.revision();
}

void MainWindow::updatePanes() {
  Session& s = *session_;
  if (s.InputLines.revision() != shownInputRevision_) {
    settingText_ = true;
    nmea_->setLines(s.InputLines);
    settingText_ = false;
    shownInputRevision_ = s.InputLines.revision();
    inputDirty_ = false;
  }
  const TextLines& out = s.OutputLines;
  if (out.revision() != shownOutputRevision_) {
    // While a route is made the generator only appends, one revision per line; anything else
    // (clearing, the flag fix-ups at the end) shows the whole text afresh.
    const long long added = static_cast<long long>(out.Count()) - shownOutputCount_;
    const bool onlyAppended =
        busy_ && shownOutputRevision_ != ~0ull && added > 0 &&
        out.revision() - shownOutputRevision_ == static_cast<std::uint64_t>(added);
    if (onlyAppended) {
      navi_->appendLines(out, shownOutputCount_);
    } else {
      navi_->setLines(out);
    }
    shownOutputRevision_ = out.revision();
    shownOutputCount_ = out.Count();
  }
  gridModel_->sync();
  outputStack_->setCurrentWidget(s.PointTable.visible ? static_cast<QWidget*>(tabGrid_)
                                                      : static_cast<QWidget*>(navi_));
  if (picture_) picture_->sessionChanged();
}

void MainWindow::showProgress() {
  if (sinceProgress_.isValid() && sinceProgress_.elapsed() < kProgressIntervalMs) return;
  sinceProgress_.start();
  outFileLabel_->setText(toQString(session_->outputCaption()));
  updatePanes();
}

void MainWindow::setBusy(bool on) {
  if (busy_ == on) return;
  busy_ = on;
  const QList<QWidget*> busyOver = {navi_->viewport(), tabGrid_->viewport(), routeButton_};
  if (on) {
    for (QWidget* w : busyOver) w->setCursor(Qt::WaitCursor);
    sinceProgress_.invalidate();
    gridModel_->reset();
  } else {
    gridModel_->sync();
    widenGridColumns();
    navi_->viewport()->setCursor(Qt::IBeamCursor);
    tabGrid_->viewport()->unsetCursor();
    routeButton_->unsetCursor();
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
  if (session_->PointTable.visible) {
    tabGrid_->setFocus();
  } else {
    navi_->setFocus();
  }
}

void MainWindow::watchEditor(QWidget* now) {
  if (now == nmea_) lastPane_ = Pane::Input;
  if (now && (now == navi_ || now == tabGrid_ || tabGrid_->isAncestorOf(now))) {
    lastPane_ = Pane::Output;
  }
  for (auto& c : editorConnections_) disconnect(c);
  editorConnections_.clear();
  watchedEditor_ = now;
  if (now && now->window() == this) {
    if (auto* te = qobject_cast<QPlainTextEdit*>(now)) {
      editorConnections_.push_back(
          connect(te, &QPlainTextEdit::selectionChanged, this, &MainWindow::updateEditActions));
      editorConnections_.push_back(
          connect(te, &QPlainTextEdit::undoAvailable, this, &MainWindow::updateEditActions));
      editorConnections_.push_back(
          connect(te, &QPlainTextEdit::textChanged, this, &MainWindow::updateEditActions));
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
  QWidget* w = QApplication::focusWidget();
  const EditState st = (w && w->window() == this) ? editStateOf(w) : EditState{};
  undoAction_->setEnabled(st.undo);
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
    const UiItem& it = s.item(name);
    if (a->isCheckable()) a->setChecked(it.checked);
    bool enabled = it.enabled;
    // While a route is made only ending the program stays offered (it waits for the route).
    if (busy_ && name != "ProgammEnde") enabled = false;
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

  nmea_->setEnabled(s.item("NMEADaten").enabled);
  routeButton_->setEnabled(action("Route")->isEnabled());
  findButton_->setVisible(s.item("FindButton").visible);
  findButton_->setEnabled(!busy_ && s.item("FindButton").enabled);

  refreshRulePanel();
  updateEditActions();
  refreshing_ = false;
}

void MainWindow::refreshRulePanel() {
  Session& s = *session_;
  const RuleSettings& r = s.rules;
  auto box = [](QCheckBox* c, bool on) {
    const QSignalBlocker block(c);
    c->setChecked(on);
  };
  box(meterCheck_, r.MeterCheck);
  box(gradCheck_, r.GradCheck);
  box(pauseCheck_, r.PauseCheck);
  box(zeitCheck_, r.ZeitCheck);
  box(allGgaCheck_, r.AllGGACheck);
  auto value = [](NumberField* f, int v) {
    if (f->value() == v) return;
    const QSignalBlocker block(f);
    f->setValue(v);
  };
  value(meterSpin_, r.MeterSpin);
  value(meterSpeedEdit_, r.MeterSpeedEdit);
  value(gradEdit_, r.GradEdit);
  value(gradSpeedEdit_, r.GradSpeedEdit);
  value(pauseEdit_, r.PauseEdit);
  value(zeitSpin_, r.ZeitSpin);
  value(minDistEdit_, r.MinDistEdit);
  value(xrpSpin_, r.XRPSpin);
  for (const auto& [name, widgets] : ruleWidgets_) {
    const bool enabled = s.item(name).enabled;
    for (QWidget* w : widgets) w->setEnabled(enabled);
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // A text field claims keys such as Ctrl+K or Ctrl+U for its own line editing; in this window
  // the commands bound to them win. The edit commands are left to the field, which does the same.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this) {
      const auto* ke = static_cast<QKeyEvent*>(event);
      const QKeySequence seq(ke->keyCombination());
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
