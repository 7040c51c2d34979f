#pragma once
// The main window (TForm1): the loaded file in the left pane, the produced route in the right
// pane, the rule panel below them, menus and tool bar above. It owns the program's one Session,
// renders that session's state and hands every user action to the core; it converts nothing.

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/qtport.h"
#include "core/host.h"
#include "session/session.h"
#include "settings/recent_files.h"
#include "workflow/route_history.h"

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QSplitter;
class QStackedLayout;
class QTableView;

namespace kursolin::gui {

class LinesView;
class PointGridModel;
class RoutePictureWindow;
class RulePanel;
class TextPane;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  /// Which text pane a command acts on.
  enum class Pane { Input, Output };

  /// The window of the program whose folder is appDir (cp1252). With `dialogs` given, prompts,
  /// file dialogs and the split dialog are answered by that port instead of Qt dialogs (tests);
  /// the window's own hooks still run. Creation runs FormCreate and creates the secondary windows.
  explicit MainWindow(const std::string& appDir,
                      const HostSettings& host = HostSettings::fromEnvironment(),
                      UserPort* dialogs = nullptr);
  ~MainWindow() override;

  Session& session() { return *session_; }
  const Session& session() const { return *session_; }

  /// The first activation: reads the settings, applies them and the stored formats, places the
  /// window; the start notice follows when the settings ask for it. Later calls do nothing.
  void startUp();
  /// true once startUp has run.
  bool startedUp() const { return startedUp_; }

  /// Renders the session's state: panes, captions, status, menus, tool bar, rule panel, table.
  void refresh();

  /// Loads the file as "Datei laden" loads the one chosen in its dialog, with the chosen input
  /// format: both panes cleared, the format's check, captions, messages and status.
  void loadFile(const QString& path);
  /// Loads the file once the start-up has read the settings and applied the stored formats.
  void loadAtStartUp(const QString& path) { startFile_ = path; }

  /// The pane the print command prints: the focused text pane, else the one focused last
  /// (the output pane before any had the focus).
  Pane paneToPrint() const;

  /// Replaces the print dialog (tests): prepares the printer and returns true to print.
  std::function<bool(QPrinter&)> printDialogHandler;

  /// The undo and redo steps of the route.
  const RouteHistory& history() const { return history_; }
  /// Runs a change of the route as a command that "Rückgängig" can take back, named by label
  /// (the commands of the menus, and edits of the route made in other windows).
  void runRouteChange(const std::string& label, const std::function<void()>& change);
  /// "Zuletzt geöffnet", newest first.
  const RecentFiles& recentFiles() const { return recent_; }

  /// Grabs the window as it looks now into a PNG file; false when it cannot be written.
  bool saveScreenshot(const QString& path);
  /// Makes the route as "Routendaten erzeugen" does (for pictures of the window).
  void makeRouteForScreenshot();
  /// Shows the window "Routenbild" and grabs it into a PNG file; false when it cannot be written.
  bool savePictureScreenshot(const QString& path);

 signals:
  /// The start-up reached the start notice (shown when this build has one).
  void startNoticeRequested();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building the window.
  void buildActions();
  void buildMenus();
  void buildToolBar();
  void buildCentralArea();
  void installPortHooks();
  void createSecondaryWindows();
  QAction* addAction(const std::string& name, const QString& text, const QString& shortcut = {},
                     bool checkable = false);
  QAction* action(const std::string& name) const;

  // Commands.
  void run(const std::function<void()>& command);
  void afterCommand(std::uint64_t loadedBefore);
  void undoOrRedo(bool undo);
  void rebuildRecentMenu();
  bool handleFileDrag(QEvent* event);
  void printPane();
  void findInInput();
  void showSettings();
  void showDialog(QDialog* dialog);
  void showStartNotice();
  void offerAxeImport();

  // Keeping the panes and the session in step.
  void inputEdited();
  void syncInputLines();
  void openInputEditor(QKeyCombination key, const QString& text);
  void showStepProgress(const QString& text);
  bool locked() const { return busy_ || stepRunning_; }
  void updatePanes();
  void showProgress();
  void setBusy(bool busy);
  void focusOutputPane();
  void widenGridColumns();
  void updateEditActions();
  void watchEditor(QWidget* now);
  QWidget* editTarget() const;  // the field the edit commands act on, or nullptr

  // Geometry.
  void applyGeometry();
  void storeGeometry();
  void fitLowerArea();

  QtPort qtPort_;
  std::unique_ptr<UserPort> port_;
  std::unique_ptr<Session> session_;
  RouteHistory history_;
  RecentFiles recent_;

  std::map<std::string, QAction*> actions_;  // by the session's item names
  std::vector<QAction*> commandActions_;     // locked while a route is being made
  std::vector<std::pair<QAction*, int>> inputFormatActions_;
  std::vector<std::pair<QAction*, int>> outputFormatActions_;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QAction* cutAction_ = nullptr;
  QAction* copyAction_ = nullptr;
  QAction* pasteAction_ = nullptr;
  QAction* deleteAction_ = nullptr;
  QAction* selectAllAction_ = nullptr;
  QWidget* deleteButton_ = nullptr;  // the tool bar's button for deleteAction_
  QMenu* textInputMenu_ = nullptr;
  QMenu* recentMenu_ = nullptr;  // "Zuletzt geöffnet"

  TextPane* nmea_ = nullptr;  // NMEADaten
  LinesView* nmeaView_ = nullptr;  // shows a long input instead of NMEADaten until edited
  QStackedLayout* inputStack_ = nullptr;
  TextPane* navi_ = nullptr;  // Navi
  QTableView* tabGrid_ = nullptr;
  PointGridModel* gridModel_ = nullptr;
  QStackedLayout* outputStack_ = nullptr;
  QLabel* inFileLabel_ = nullptr;
  QLabel* outFileLabel_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QPushButton* cancelButton_ = nullptr;  // "Abbrechen" of a long route, in the status line
  QSplitter* paneSplitter_ = nullptr;  // the vertical splitter between the panes
  QSplitter* areaSplitter_ = nullptr;  // the horizontal splitter above the rule panel
  QWidget* nmeaBox_ = nullptr;
  QWidget* naviBox_ = nullptr;
  QWidget* lowerArea_ = nullptr;
  RulePanel* rulePanel_ = nullptr;  // SetupBox

  std::unique_ptr<QDialog> startNotice_;
  std::unique_ptr<QDialog> helpPage_;
  std::unique_ptr<QDialog> aboutBox_;
  std::unique_ptr<QDialog> settingsDialog_;
  std::unique_ptr<RoutePictureWindow> picture_;  // "Routenbild"

  std::uint64_t shownInputRevision_ = ~0ull;
  std::uint64_t shownOutputRevision_ = ~0ull;
  int shownOutputCount_ = 0;
  bool inputDirty_ = false;  // the input pane was edited since InputLines last took its text
  bool settingText_ = false;
  bool refreshing_ = false;
  bool commandRunning_ = false;
  bool busy_ = false;
  bool stepRunning_ = false;
  bool gridWidened_ = false;  // the table being filled had its columns fitted to its first rows  // a long step lets events through; nothing may change its data
  bool closePending_ = false;
  bool settingsWritten_ = false;
  bool closeAccepted_ = false;  // the user let unsaved work go; a second close asks no more
  bool startedUp_ = false;
  bool startUpFallbackArmed_ = false;
  Pane lastPane_ = Pane::Output;
  QString startFile_;  // loaded at the end of the start-up
  QElapsedTimer sinceProgress_;
  QPointer<QWidget> watchedEditor_;
  QPointer<QWidget> lastFocus_;  // the window's last focus outside its menus
  std::vector<QMetaObject::Connection> editorConnections_;
};

}  // namespace kursolin::gui
