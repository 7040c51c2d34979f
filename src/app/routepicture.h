#pragma once
// The window "Routenbild": the loaded input as a thin line and the produced route as numbered
// dots, drawn from the core's picture model with Qt's painter. Wheel zooms at the pointer, a drag
// pans, "Ganze Route" fits; a click on a dot selects its lines in the output pane and the caret
// in the output pane rings its dot. The route's points are edited here: dragged, deleted,
// inserted on a line or on the recorded track; the keyboard pans, zooms and steps through the
// points. Also the dialog and command "Route verringern".

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "picture/picture.h"
#include "session/session.h"

class QAction;
class QMenu;
class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QRubberBand;
class QTableView;
class QToolButton;

namespace kursolin::gui {

class NumberField;

/// The drawing area of the window.
class RoutePictureView : public QWidget {
  Q_OBJECT
 public:
  RoutePictureView(Session& s, QWidget* parent);

  /// Shows the input's positions; the picture is fitted again unless the user zoomed or panned
  /// since the last fit, and always with `refit`.
  void setTrack(std::vector<GeoPosition> track, bool refit);
  /// Shows a route: its dots and the points a reduction removed; fitted as setTrack.
  void setRoute(std::vector<PictureDot> dots, std::vector<GeoPosition> removed, bool refit);
  /// Adds the dots a route being made got since the last look.
  void appendDots(std::vector<PictureDot> dots);
  const RoutePicture& picture() const { return picture_; }
  const PictureView& view() const { return view_; }
  /// The whole picture in the window again.
  void fitWhole();
  /// Rings a dot (-1: none).
  void setHighlighted(int dot);
  int highlighted() const { return highlighted_; }
  /// The picture as it is shown now, at the window's size.
  QImage image() const;
  /// Milliseconds the last paint took.
  double lastPaintMs() const { return lastPaintMs_; }
  /// Draws the picture over the map of the source (nullptr: none); the source must outlive
  /// its use here or be replaced first.
  void setMap(TileSource* map);
  /// New tiles came: the map is drawn again at the next paint.
  void mapChanged();
  /// What the last paint made of the map.
  const MapUnderlay& lastMap() const { return mapDrawn_; }
  /// Whether the points may be dragged, deleted and inserted now.
  void setEditable(bool editable) { editable_ = editable; }
  bool editable() const { return editable_; }
  /// The selected dots, ascending (the ringed one among them).
  std::vector<int> selection() const { return {selected_.begin(), selected_.end()}; }
  /// Selects just this dot (-1: none) and rings it.
  void selectOnly(int dot);
  /// The context menu the view shows at the pixel (built anew each time; the caller owns it).
  QMenu* contextMenuAt(QPointF pixel, bool snap);

 signals:
  void dotClicked(int dot);
  /// A dot was dragged to a new position.
  void dotMoved(int dot, GeoPosition to);
  /// The selected dots are to go.
  void deleteRequested(std::vector<int> dots);
  /// A point is to come after dot `after`, at the position or (snap) at the nearest position of
  /// the input.
  void insertRequested(int after, GeoPosition at, bool snap);
  /// The map under the picture was drawn anew; `drawn` names the tiles still lacking.
  void mapDrawn(const MapUnderlay& drawn);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void fitIfNotMoved(bool refit);
  /// The route line nearest to the pixel, if it passes within a few pixels: the dot it starts
  /// at and the position on it.
  std::optional<std::pair<int, GeoPosition>> lineAt(QPointF pixel) const;
  void stepSelection(bool forward);
  void requestInsert(QPointF pixel, bool snap);
  GeoBounds bounds() const;

  Session& s_;
  RoutePicture picture_;
  GeoBounds trackBounds_;  // a long track is walked once, not at every new dot
  PictureView view_;
  // Background, grid and track as last drawn: a growing route paints only its own part anew.
  QImage base_;
  PictureView baseView_;
  bool baseValid_ = false;
  TileSource* map_ = nullptr;
  MapUnderlay mapDrawn_;
  double lastPaintMs_ = 0;
  int highlighted_ = -1;
  bool userMoved_ = false;
  bool dragging_ = false;
  bool dragged_ = false;
  QPointF dragFrom_;
  bool editable_ = false;
  std::set<int> selected_;
  int draggedDot_ = -1;  // a dot being dragged, -1 none
  QRubberBand* band_ = nullptr;  // Ctrl+drag from beside the dots: the frame that selects
  GeoPosition draggedFrom_;
};

/// The window "Routenbild", created once with the main window and kept until the program ends.
class RoutePictureWindow : public QWidget {
  Q_OBJECT
 public:
  /// outputPane and grid are the main window's output pane and route point table.
  RoutePictureWindow(Session& s, QPlainTextEdit* outputPane, QTableView* grid, QWidget* mainWindow);

  /// Brings the picture up to the session (after a generation, reversal, load, or while a
  /// route grows); cheap when nothing changed, and deferred while the window is hidden.
  void sessionChanged();
  /// Shows the window at its stored place, or raises it.
  void showWindow();
  /// "Bild speichern": asks for a file and writes the picture as PNG; false when not written.
  bool savePicture();
  RoutePictureView* pictureView() const { return view_; }
  /// Takes the map settings in force (source, address, credits, cache, map file); nothing
  /// happens when they are those the picture already uses.
  void applyMapSettings();
  /// The map source in use (nullptr: none).
  TileSource* mapSource() const { return map_.get(); }
  /// The note in the window's status line ("" none).
  QString mapNote() const;
  /// How an edit of the route's points is run: as one step that can be taken back. Without
  /// one the edit runs as it is.
  using RouteChange = std::function<void(const std::string& label, const std::function<void()>&)>;
  void setRouteChange(RouteChange run) { routeChange_ = std::move(run); }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void refreshPicture(bool force);
  void selectLinesOf(int dot);
  void caretMoved();
  void storeGeometry();
  void chooseMap(int kind);
  void showMapNote(const QString& text);
  void mapWasDrawn(const MapUnderlay& drawn);
  void editRoute(const std::string& label, const std::function<bool()>& edit, int select);

  Session& s_;
  RouteChange routeChange_;
  QPlainTextEdit* output_;
  QTableView* grid_;
  RoutePictureView* view_;
  QLabel* info_;
  QToolButton* mapButton_ = nullptr;
  std::vector<QAction*> mapChoices_;  // in the order of MapSourceKind
  QLabel* status_ = nullptr;          // the window's status line: notes on the map
  std::unique_ptr<TileSource> map_;
  std::string mapKey_;  // the settings map_ was made from
  bool placed_ = false;
  bool selecting_ = false;
  bool editing_ = false;  // an edit of the points is under way: the view stays
  std::uint64_t inputRevision_ = ~0ull;
  int inputFormat_ = -1;
  std::uint64_t outputRevision_ = ~0ull;
  std::size_t points_ = 0, removed_ = 0;
  // The last refresh saw a route being made: the next one of the same run only adds dots.
  bool growing_ = false;
  // While a route is made the picture grows at most a few times a second.
  QElapsedTimer sinceRefresh_;
  QTimer refreshTimer_;
  double lastRefreshMs_ = 0;
};

/// The dialog "Route verringern": device presets and a free number.
class ReduceDialog : public QDialog {
  Q_OBJECT
 public:
  /// Starts at the session's last choice.
  ReduceDialog(const Session& s, QWidget* parent);
  /// The limit chosen.
  int chosen() const;

 private:
  std::vector<std::pair<QRadioButton*, int>> presets_;
  QRadioButton* free_;
  NumberField* count_;
};

/// The command "Route auf höchstens N Punkte verringern": asks for N (remembered in the session)
/// and reduces the route.
void reduceRoute(Session& s, QWidget* parent);

}  // namespace kursolin::gui
