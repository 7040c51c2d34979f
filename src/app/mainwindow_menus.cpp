#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <map>

#include "app/editcommands.h"
#include "app/icons.h"
#include "app/mainwindow.h"
#include "app/qtext.h"
#include "app/routepicture.h"
#include "app/windows.h"
#include "core/geotime.h"
#include "formats/registry.h"
#include "session/time_mode.h"
#include "workflow/axe_import.h"
#include "workflow/devices.h"
#include "workflow/loading.h"
#include "workflow/output_commands.h"
#include "workflow/presentation.h"
#include "workflow/recent_open.h"
#include "workflow/route_command.h"

// The window's actions, its menus (the format menus built from the registry) and its tool bar.

namespace kursolin::gui {

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

}  // namespace

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
  load->setStatusTip(Q("Datei mit Trackdaten laden"));
  load->setIcon(themedIcon(this, "document-open", QStyle::SP_DialogOpenButton));
  cmd(load, [&s] { LoadNMEAExecute(s); });

  QAction* axe = addAction("AxeImport", Q("Autoroute Express Routendatei laden"));
  cmd(axe, [&s] { FlatSpeedButton3Click(s); });

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
      applyEdit(editTarget(), c);
      updateEditActions();
    });
  };
  // Undo and redo act on the text being edited while it has something to take back, else on
  // the route (undoOrRedo).
  undoAction_ = new QAction(Q("&Rückgängig"), this);
  undoAction_->setObjectName(QStringLiteral("EditUndo"));
  undoAction_->setShortcuts({QKeySequence(Q("Ctrl+Z")), QKeySequence(Q("Alt+Backspace"))});
  undoAction_->setIcon(themedIcon(this, "edit-undo", QStyle::SP_ArrowBack));
  connect(undoAction_, &QAction::triggered, this, [this] { undoOrRedo(true); });
  redoAction_ = new QAction(Q("&Wiederherstellen"), this);
  redoAction_->setObjectName(QStringLiteral("EditRedo"));
  redoAction_->setShortcuts({QKeySequence(Q("Ctrl+Y")), QKeySequence(Q("Ctrl+Shift+Z"))});
  redoAction_->setIcon(themedIcon(this, "edit-redo", QStyle::SP_ArrowForward));
  connect(redoAction_, &QAction::triggered, this, [this] { undoOrRedo(false); });
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
  connect(route, &QAction::triggered, this,
          [this, &s] { runRouteChange("Routendaten erzeugen", [&s] { RouteExecute(s); }); });

  QAction* reverse = addAction("RouteReversAction", Q("Route umkehren"), Q("Ctrl+U"));
  reverse->setToolTip(Q("Start und Zielpunkt der Route vertauschen"));
  reverse->setIcon(themedIcon(this, "view-refresh", QStyle::SP_BrowserReload));
  connect(reverse, &QAction::triggered, this,
          [this, &s] { runRouteChange("Route umkehren", [&s] { reverseRoute(s); }); });

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
  connect(reduce, &QAction::triggered, this,
          [this] { runRouteChange("Route verringern", [this] { reduceRoute(*session_, this); }); });

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
  file->addAction(action("AxeImport"));
  // A converter put beside the program while it runs is offered at the next opening.
  file->setToolTipsVisible(true);
  connect(file, &QMenu::aboutToShow, this, &MainWindow::offerAxeImport);
  recentMenu_ = file->addMenu(Q("Zuletzt geöffnet"));
  recentMenu_->setObjectName(QStringLiteral("ZuletztGeoeffnet"));
  recentMenu_->setToolTipsVisible(true);
  rebuildRecentMenu();
  file->addAction(action("SaveNavi"));
  file->addSeparator();
  file->addAction(action("Print"));
  file->addSeparator();
  file->addAction(action("ProgammEnde"));

  QMenu* edit = bar->addMenu(Q("&Bearbeiten"));
  edit->setObjectName(QStringLiteral("Bearbeiten"));
  edit->addAction(undoAction_);
  edit->addAction(redoAction_);
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
  for (const InputPresentation& f : inputPresentations()) {
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
  for (const OutputPresentation& f : outputPresentations()) {
    QMenu* into = output;
    if (f.textSubmenu) {
      if (!textOutput) {
        if (!first) output->addSeparator();
        first = false;
        textOutput =
            submenu(output, textOutputSubmenu().item, toQString(textOutputSubmenu().caption));
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
    // Made again in the new format, the route can go back to the old one.
    connect(a, &QAction::triggered, this, [this, code] {
      runRouteChange("Ausgabeformat wechseln", [this, code] { NaviArtChange(*session_, code); });
    });
  }

  // The profiles come from the settings file, read after the menus are built: the sub-menu is
  // filled each time it opens.
  QMenu* device = options->addMenu(Q("Zielgerät"));
  device->setObjectName(QStringLiteral("Zielgeraet"));
  connect(device, &QMenu::aboutToShow, this, [this, device] {
    device->clear();
    auto* group = new QActionGroup(device);
    const auto entry = [&](const QString& caption, const std::string& id) {
      QAction* a = device->addAction(caption);
      a->setObjectName(QStringLiteral("Zielgeraet_") + QString::fromStdString(id));
      a->setCheckable(true);
      a->setChecked(session_->opt.Device == id);
      group->addAction(a);
      connect(a, &QAction::triggered, this, [this, id] {
        runRouteChange("Zielger\xE4t w\xE4hlen", [this, id] { chooseDevice(*session_, id); });
      });
    };
    entry(Q("Kein Profil"), "");
    device->addSeparator();
    for (const DeviceProfile& d : session_->opt.devices) entry(toQString(d.name), d.id);
  });

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
  // The import's button exists in the tool bar but is never shown; the menu offers the import.
  auto* axeButton = new QToolButton(tb);
  axeButton->setObjectName(QStringLiteral("FlatSpeedButton3"));
  axeButton->setDefaultAction(action("AxeImport"));
  tb->addWidget(axeButton)->setVisible(false);
  tb->addAction(action("SaveNavi"));
  tb->addAction(action("Print"));
  tb->addSeparator();
  tb->addAction(undoAction_);
  tb->addAction(redoAction_);
  tb->addSeparator();
  tb->addAction(cutAction_);
  tb->addAction(copyAction_);
  tb->addAction(pasteAction_);
  tb->addAction(deleteAction_);
  deleteButton_ = tb->widgetForAction(deleteAction_);
  tb->addSeparator();
  tb->addAction(action("Route"));
  tb->addAction(action("RouteReversAction"));
  tb->addAction(action("RouteVerringern"));
  tb->addAction(action("RoutenBild"));
}

void MainWindow::offerAxeImport() {
  Session& s = *session_;
  updateAxeImportAvailability(s);
  const auto obstacle = axeImportObstacle(s);
  action("AxeImport")->setToolTip(obstacle ? promptText(*obstacle) : action("AxeImport")->text());
  refresh();
}

}  // namespace kursolin::gui

namespace kursolin::gui {

void MainWindow::rebuildRecentMenu() {
  if (!recentMenu_) return;
  // An entry may be rebuilt from within its own click: it goes once that click is over.
  for (QAction* a : recentMenu_->actions()) {
    recentMenu_->removeAction(a);
    a->setParent(nullptr);
    a->deleteLater();
  }
  const auto& entries = recent_.entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    // "&1" opens the first with Alt+1; an '&' of the name itself stays a character.
    QString text = toQString(recentFileCaption(*session_, i, entries[i]));
    text.replace(u'&', QStringLiteral("&&"));
    if (i < 9) text.insert(0, u'&');
    QAction* a = recentMenu_->addAction(text);
    a->setObjectName(QStringLiteral("Zuletzt%1").arg(i + 1));
    a->setToolTip(toQString(entries[i].path));
    a->setStatusTip(toQString(entries[i].path));
    connect(a, &QAction::triggered, this, [this, i] {
      run([this, i] { openRecentFile(*session_, recent_, i); });
      rebuildRecentMenu();
    });
  }
  recentMenu_->addSeparator();
  QAction* clear = recentMenu_->addAction(Q("Liste leeren"));
  clear->setObjectName(QStringLiteral("ZuletztLeeren"));
  connect(clear, &QAction::triggered, this, [this] {
    recent_.clear();
    rebuildRecentMenu();
  });
  recentMenu_->setEnabled(!recent_.empty());
}

}  // namespace kursolin::gui
