#include "app/routepicture.h"

#include <QActionGroup>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRubberBand>
#include <QShortcut>
#include <QTableView>
#include <QTextBlock>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/numberfield.h"
#include "app/onlinetiles.h"
#include "app/qtext.h"
#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/ranges.h"
#include "picture/mbtiles.h"
#include "session/map_options.h"
#include "session/prompt.h"
#include "workflow/reduce.h"
#include "workflow/route_edit.h"
#include "workflow/saving.h"

namespace kursolin::gui {

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QColor qcolour(Rgba c) {
  return QColor(c.r, c.g, c.b, c.a);
}

// The core's drawing on Qt's painter.
class PainterCanvas : public Canvas {
 public:
  PainterCanvas(QPainter& p, int width, int height) : p_(p), width_(width), height_(height) {
    p_.setRenderHint(QPainter::Antialiasing);
  }
  int width() const override { return width_; }
  int height() const override { return height_; }
  void fillRect(double x, double y, double w, double h, Rgba c) override {
    p_.fillRect(QRectF(x, y, w, h), qcolour(c));
  }
  void polyline(const std::vector<CanvasPoint>& points, double lineWidth, Rgba c) override {
    QPen pen(qcolour(c), lineWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p_.setPen(pen);
    p_.setBrush(Qt::NoBrush);
    // Zoomed in, most of a long track lies far outside; the painter gets only what is near.
    const QRectF near(-width_, -height_, 3.0 * width_, 3.0 * height_);
    QPolygonF run;
    const auto flush = [&] {
      if (run.size() > 1) p_.drawPolyline(run);
      run.clear();
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
      QPointF a(points[i - 1].x, points[i - 1].y), b(points[i].x, points[i].y);
      if (!clip(a, b, near)) {
        flush();
        continue;
      }
      if (run.isEmpty() || run.back() != a) {
        flush();
        run << a;
      }
      run << b;
    }
    flush();
  }
  void disc(CanvasPoint centre, double radius, Rgba fill, Rgba outline) override {
    p_.setPen(outline.a ? QPen(qcolour(outline), 1.2) : QPen(Qt::NoPen));
    p_.setBrush(qcolour(fill));
    p_.drawEllipse(QPointF(centre.x, centre.y), radius, radius);
  }
  void text(CanvasPoint topLeft, const std::string& t, Rgba c) override {
    p_.setPen(qcolour(c));
    p_.drawText(QPointF(topLeft.x, topLeft.y + p_.fontMetrics().ascent()), toQString(t));
  }
  int textWidth(const std::string& t) const override {
    return p_.fontMetrics().horizontalAdvance(toQString(t));
  }
  int textHeight() const override { return p_.fontMetrics().ascent() + p_.fontMetrics().descent(); }
  void image(const RgbaPixels& px, PixelRect from, PixelRect to, double opacity) override {
    if (!px.data || px.width <= 0 || px.height <= 0) return;
    // Borrows the pixels for this one call; the painter copies what it draws.
    const QImage img(px.data, px.width, px.height, px.width * 4, QImage::Format_RGBA8888);
    const double before = p_.opacity();
    p_.setOpacity(before * std::clamp(opacity, 0.0, 1.0));
    p_.setRenderHint(QPainter::SmoothPixmapTransform);
    p_.drawImage(QRectF(to.x, to.y, to.w, to.h), img, QRectF(from.x, from.y, from.w, from.h));
    p_.setOpacity(before);
  }

 private:
  // Liang-Barsky: the part of a-b inside r; false when none.
  static bool clip(QPointF& a, QPointF& b, const QRectF& r) {
    double t0 = 0, t1 = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0) {
        if (q[i] < 0) return false;
        continue;
      }
      const double t = q[i] / p[i];
      if (p[i] < 0) {
        t0 = std::max(t0, t);
      } else {
        t1 = std::min(t1, t);
      }
      if (t0 > t1) return false;
    }
    const QPointF from = a;
    if (t1 < 1) b = from + QPointF(dx * t1, dy * t1);
    if (t0 > 0) a = from + QPointF(dx * t0, dy * t0);
    return true;
  }
  QPainter& p_;
  int width_, height_;
};

constexpr double kWheelStep = 1.25;  // zoom of one notch
constexpr double kHitRadius = kDotRadius + 3;
constexpr double kLineHitPixels = 6;    // how near a double click or menu must be to a line
constexpr double kKeyZoomStep = 1.5;    // zoom of one press of + or -
constexpr double kKeyPanShare = 0.125;  // share of the picture an arrow key moves it by
// Least time between two pictures of a route being made, and how many times the cost of one
// (bringing the dots up to date and painting them) must pass before the next: the picture may
// add only a small part to the time the route takes.
constexpr qint64 kGrowIntervalMs = 300;
constexpr double kGrowCostFactor = 12;

}  // namespace

// ---------------------------------------------------------------------------------------------
// The drawing area

RoutePictureView::RoutePictureView(Session& s, QWidget* parent) : QWidget(parent), s_(s) {
  setObjectName(QStringLiteral("RoutenbildFlaeche"));
  setMouseTracking(true);
  setMinimumSize(200, 150);
  setFocusPolicy(Qt::StrongFocus);
  view_.setSize(width(), height());
}

GeoBounds RoutePictureView::bounds() const {
  GeoBounds b = trackBounds_;
  for (const auto& d : picture_.dots) b.include(d.pos);
  for (const auto& p : picture_.removed) b.include(p);
  return b;
}

void RoutePictureView::fitIfNotMoved(bool refit) {
  if (refit || !userMoved_) {
    view_.fit(bounds(), fitMargin(width(), height()));
    userMoved_ = false;
  }
}

void RoutePictureView::setTrack(std::vector<GeoPosition> track, bool refit) {
  picture_.track = std::move(track);
  trackBounds_ = GeoBounds{};
  for (const auto& p : picture_.track) trackBounds_.include(p);
  baseValid_ = false;
  fitIfNotMoved(refit);
  update();
}

void RoutePictureView::setRoute(std::vector<PictureDot> dots, std::vector<GeoPosition> removed,
                                bool refit) {
  picture_.dots = std::move(dots);
  picture_.removed = std::move(removed);
  if (highlighted_ >= static_cast<int>(picture_.dots.size())) highlighted_ = -1;
  const int count = static_cast<int>(picture_.dots.size());
  std::erase_if(selected_, [count](int d) { return d >= count; });
  draggedDot_ = -1;
  fitIfNotMoved(refit);
  update();
}

void RoutePictureView::appendDots(std::vector<PictureDot> dots) {
  if (dots.empty()) return;
  picture_.dots.insert(picture_.dots.end(), std::make_move_iterator(dots.begin()),
                       std::make_move_iterator(dots.end()));
  fitIfNotMoved(false);
  update();
}

void RoutePictureView::fitWhole() {
  view_.fit(bounds(), fitMargin(width(), height()));
  userMoved_ = false;
  update();
}

void RoutePictureView::setHighlighted(int dot) {
  if (dot == highlighted_) return;
  highlighted_ = dot;
  // The ring follows the output pane's caret; a selection of several stays until changed here.
  if (selected_.size() <= 1) {
    selected_.clear();
    if (dot >= 0) selected_.insert(dot);
  }
  update();
}

void RoutePictureView::selectOnly(int dot) {
  selected_.clear();
  if (dot >= 0 && dot < static_cast<int>(picture_.dots.size())) selected_.insert(dot);
  highlighted_ = selected_.empty() ? -1 : dot;
  update();
}

void RoutePictureView::setMap(TileSource* map) {
  map_ = map;
  mapDrawn_ = {};
  mapChanged();
}

void RoutePictureView::mapChanged() {
  baseValid_ = false;
  update();
}

QImage RoutePictureView::image() const {
  QImage img(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  QPainter p(&img);
  p.setFont(font());
  PainterCanvas canvas(p, img.width(), img.height());
  drawPicture(picture_, view_, canvas, highlighted_, s_.numbers.DecimalSep, map_);
  return img;
}

void RoutePictureView::paintEvent(QPaintEvent*) {
  QElapsedTimer took;
  took.start();
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = size() * ratio;
  // The input track of a day-long log takes long to draw, and so does the map; they change only
  // with the view and when tiles come.
  bool baseDrawn = false;
  if (!baseValid_ || !(baseView_ == view_) || base_.size() != pixels ||
      base_.devicePixelRatio() != ratio) {
    base_ = QImage(pixels, QImage::Format_RGB32);
    base_.setDevicePixelRatio(ratio);
    QPainter bp(&base_);
    bp.setFont(font());
    PainterCanvas canvas(bp, width(), height());
    mapDrawn_ = drawBase(picture_, view_, canvas, s_.numbers.DecimalSep, map_);
    baseView_ = view_;
    baseValid_ = true;
    baseDrawn = true;
  }
  {
    QPainter p(this);
    p.drawImage(QPointF(0, 0), base_);
    PainterCanvas canvas(p, width(), height());
    drawRoute(picture_, view_, canvas, highlighted_, mapDrawn_);
    // The other selected dots get a ring of their own.
    p.setPen(QPen(qcolour(PictureColours::highlight), 2.5));
    p.setBrush(Qt::NoBrush);
    for (const int d : selected_) {
      if (d == highlighted_ || d >= static_cast<int>(picture_.dots.size())) continue;
      const CanvasPoint c = view_.toScreen(picture_.dots[static_cast<std::size_t>(d)].pos);
      p.drawEllipse(QPointF(c.x, c.y), kDotRadius + 3, kDotRadius + 3);
    }
  }
  lastPaintMs_ = took.nsecsElapsed() / 1e6;
  // Only now the source hears what is missing: the picture never waits for a tile.
  if (baseDrawn && map_) emit mapDrawn(mapDrawn_);
}

void RoutePictureView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  view_.setSize(width(), height());
  fitIfNotMoved(false);
}

void RoutePictureView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  view_.zoomAt({event->position().x(), event->position().y()}, std::pow(kWheelStep, notches));
  userMoved_ = true;
  update();
  event->accept();
}

void RoutePictureView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  dragging_ = true;
  dragged_ = false;
  dragFrom_ = event->position();
  draggedDot_ = -1;
  const QPointF at = event->position();
  const int dot = dotAt(picture_, view_, {at.x(), at.y()}, kHitRadius);
  // Ctrl beside the dots draws a frame that selects the dots in it.
  if ((event->modifiers() & Qt::ControlModifier) && dot < 0) {
    if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, this);
    band_->setGeometry(QRect(at.toPoint(), QSize()));
    band_->show();
    return;
  }
  // A plain press on a dot of a route that may be edited grabs the dot; elsewhere the picture.
  if (editable_ && dot >= 0 && !(event->modifiers() & Qt::ShiftModifier)) {
    draggedDot_ = dot;
    draggedFrom_ = picture_.dots[static_cast<std::size_t>(dot)].pos;
  }
}

void RoutePictureView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (dragging_ && band_ && band_->isVisible()) {
    band_->setGeometry(QRect(dragFrom_.toPoint(), at.toPoint()).normalized());
    return;
  }
  if (dragging_ && (dragged_ || (at - dragFrom_).manhattanLength() > 3)) {
    dragged_ = true;
    if (draggedDot_ >= 0) {
      // The dot follows the pointer; the route is made anew when it is let go.
      picture_.dots[static_cast<std::size_t>(draggedDot_)].pos = view_.toGeo({at.x(), at.y()});
      setCursor(Qt::SizeAllCursor);
      QToolTip::hideText();
      update();
      return;
    }
    view_.panBy(at.x() - dragFrom_.x(), at.y() - dragFrom_.y());
    dragFrom_ = at;
    userMoved_ = true;
    setCursor(Qt::ClosedHandCursor);
    update();
    return;
  }
  const int dot = dotAt(picture_, view_, {at.x(), at.y()}, kHitRadius);
  if (dot < 0) {
    QToolTip::hideText();
    unsetCursor();
    return;
  }
  setCursor(editable_ ? Qt::SizeAllCursor : Qt::PointingHandCursor);
  QToolTip::showText(event->globalPosition().toPoint(),
                     promptText(dotDescription(picture_.dots[static_cast<std::size_t>(dot)],
                                               s_.numbers.DecimalSep)),
                     this);
}

void RoutePictureView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  unsetCursor();
  const int moved = draggedDot_;
  draggedDot_ = -1;
  if (band_ && band_->isVisible()) {
    band_->hide();
    const QRectF frame = QRectF(dragFrom_, event->position()).normalized();
    int first = -1;
    for (std::size_t i = 0; i < picture_.dots.size(); ++i) {
      const CanvasPoint c = view_.toScreen(picture_.dots[i].pos);
      if (!frame.contains(QPointF(c.x, c.y))) continue;
      selected_.insert(static_cast<int>(i));
      if (first < 0) first = static_cast<int>(i);
    }
    if (first >= 0) {
      highlighted_ = first;
      emit dotClicked(first);
    }
    update();
    return;
  }
  if (dragged_) {
    if (moved >= 0) {
      const QPointF at = event->position();
      // The dot goes back until the route says where it is.
      picture_.dots[static_cast<std::size_t>(moved)].pos = draggedFrom_;
      selectOnly(moved);
      emit dotMoved(moved, view_.toGeo({at.x(), at.y()}));
    }
    return;
  }
  const QPointF at = event->position();
  const int dot = dotAt(picture_, view_, {at.x(), at.y()}, kHitRadius);
  if (dot < 0) return;
  if (event->modifiers() & Qt::ControlModifier) {
    // Ctrl+click adds a dot to the selection or takes it out.
    if (!selected_.erase(dot)) selected_.insert(dot);
    highlighted_ = selected_.count(dot) ? dot : (selected_.empty() ? -1 : *selected_.begin());
    update();
    if (highlighted_ >= 0) emit dotClicked(highlighted_);
    return;
  }
  selectOnly(dot);
  emit dotClicked(dot);
}

std::optional<std::pair<int, GeoPosition>> RoutePictureView::lineAt(QPointF pixel) const {
  const auto& dots = picture_.dots;
  std::optional<std::pair<int, GeoPosition>> best;
  double bestDistance = kLineHitPixels;
  for (std::size_t i = 0; i + 1 < dots.size(); ++i) {
    const CanvasPoint a = view_.toScreen(dots[i].pos), b = view_.toScreen(dots[i + 1].pos);
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double t =
        len2 > 0 ? std::clamp(((pixel.x() - a.x) * dx + (pixel.y() - a.y) * dy) / len2, 0.0, 1.0)
                 : 0.0;
    const double fx = a.x + t * dx, fy = a.y + t * dy;
    const double d = std::hypot(pixel.x() - fx, pixel.y() - fy);
    if (d <= bestDistance) {
      bestDistance = d;
      best = std::make_pair(static_cast<int>(i), view_.toGeo({fx, fy}));
    }
  }
  return best;
}

void RoutePictureView::requestInsert(QPointF pixel, bool snap) {
  if (!editable_ || picture_.dots.size() < 2) return;
  if (auto hit = lineAt(pixel)) {
    emit insertRequested(hit->first, snap ? view_.toGeo({pixel.x(), pixel.y()}) : hit->second,
                         snap);
    return;
  }
  // Away from the route the point goes on the route's nearest line, at the place nearest to
  // the pointer; snapped, on the nearest position of the recording.
  const GeoPosition at = view_.toGeo({pixel.x(), pixel.y()});
  if (auto line = nearestRouteLine(s_, at))
    emit insertRequested(static_cast<int>(line->after), snap ? at : line->at, snap);
}

void RoutePictureView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !editable_) return;
  const QPointF at = event->position();
  if (dotAt(picture_, view_, {at.x(), at.y()}, kHitRadius) >= 0) return;
  // Only a double click on a line inserts: one beside the route is a slip.
  if (auto hit = lineAt(at)) {
    const bool snap = event->modifiers() & Qt::ShiftModifier;
    emit insertRequested(hit->first, snap ? view_.toGeo({at.x(), at.y()}) : hit->second, snap);
  }
}

QMenu* RoutePictureView::contextMenuAt(QPointF pixel, bool snap) {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("RoutenbildMenue"));
  const int dot = dotAt(picture_, view_, {pixel.x(), pixel.y()}, kHitRadius);
  if (dot >= 0 && !selected_.count(dot)) selectOnly(dot);
  const std::vector<int> chosen = selection();
  QAction* remove = menu->addAction(chosen.size() > 1 ? Q("Punkte löschen") : Q("Punkt löschen"));
  remove->setObjectName(QStringLiteral("PunktLoeschen"));
  remove->setShortcut(QKeySequence(Qt::Key_Delete));
  remove->setEnabled(editable_ && !chosen.empty());
  connect(remove, &QAction::triggered, this, [this, chosen] { emit deleteRequested(chosen); });
  QAction* insert = menu->addAction(Q("Punkt einfügen"));
  insert->setObjectName(QStringLiteral("PunktEinfuegen"));
  QAction* onTrack = menu->addAction(Q("Punkt auf der Aufzeichnung einfügen"));
  onTrack->setObjectName(QStringLiteral("PunktAufAufzeichnung"));
  const bool canInsert = editable_ && picture_.dots.size() >= 2;
  insert->setEnabled(canInsert);
  onTrack->setEnabled(canInsert && !picture_.track.empty());
  // Shift held when the item is chosen snaps as the second item does.
  connect(insert, &QAction::triggered, this, [this, pixel, snap] {
    requestInsert(pixel, snap || (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier));
  });
  connect(onTrack, &QAction::triggered, this, [this, pixel] { requestInsert(pixel, true); });
  return menu;
}

void RoutePictureView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = contextMenuAt(event->pos(), event->modifiers() & Qt::ShiftModifier);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
  event->accept();
}

bool RoutePictureView::focusNextPrevChild(bool next) {
  // Tab steps through the route's points here; the window's buttons have their keys (Pos1,
  // Ctrl+S) and the mouse. Without points Tab moves on as anywhere.
  if (picture_.dots.empty()) return QWidget::focusNextPrevChild(next);
  return false;
}

void RoutePictureView::stepSelection(bool forward) {
  const int n = static_cast<int>(picture_.dots.size());
  if (n == 0) return;
  int at = highlighted_;
  at = at < 0 ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
  selectOnly(at);
  emit dotClicked(at);
}

void RoutePictureView::keyPressEvent(QKeyEvent* event) {
  const double stepX = width() * kKeyPanShare, stepY = height() * kKeyPanShare;
  const CanvasPoint middle{width() / 2.0, height() / 2.0};
  switch (event->key()) {
    case Qt::Key_Left:
      view_.panBy(stepX, 0);
      break;
    case Qt::Key_Right:
      view_.panBy(-stepX, 0);
      break;
    case Qt::Key_Up:
      view_.panBy(0, stepY);
      break;
    case Qt::Key_Down:
      view_.panBy(0, -stepY);
      break;
    case Qt::Key_Plus:
      view_.zoomAt(middle, kKeyZoomStep);
      break;
    case Qt::Key_Minus:
      view_.zoomAt(middle, 1 / kKeyZoomStep);
      break;
    case Qt::Key_Tab:
      stepSelection(true);
      return;
    case Qt::Key_Backtab:
      stepSelection(false);
      return;
    case Qt::Key_Delete:
      if (editable_ && !selected_.empty()) emit deleteRequested(selection());
      return;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  userMoved_ = true;
  update();
}

// ---------------------------------------------------------------------------------------------
// The window

RoutePictureWindow::RoutePictureWindow(Session& s, QPlainTextEdit* outputPane, QTableView* grid,
                                       QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), s_(s), output_(outputPane), grid_(grid) {
  setObjectName(QStringLiteral("Routenbild"));
  setWindowTitle(Q("Routenbild"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  auto* bar = new QHBoxLayout();
  auto* fit = new QPushButton(Q("Ganze Route"), this);
  fit->setObjectName(QStringLiteral("GanzeRoute"));
  fit->setToolTip(Q("Die ganze Route zeigen (Pos1)"));
  auto* save = new QPushButton(Q("Bild speichern"), this);
  save->setObjectName(QStringLiteral("BildSpeichern"));
  save->setToolTip(Q("Das Routenbild als PNG-Datei speichern"));
  info_ = new QLabel(this);
  info_->setObjectName(QStringLiteral("RoutenbildInfo"));
  mapButton_ = new QToolButton(this);
  mapButton_->setObjectName(QStringLiteral("KarteWahl"));
  mapButton_->setPopupMode(QToolButton::InstantPopup);
  mapButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  mapButton_->setToolTip(
      Q("Karte unter dem Routenbild: keine, vom Kartenserver (online) oder "
        "aus einer MBTiles-Kartendatei"));
  auto* mapMenu = new QMenu(mapButton_);
  auto* mapGroup = new QActionGroup(mapMenu);
  const char* const kMapChoices[] = {"keine", "online", "Kartendatei \u2026"};
  const char* const kMapNames[] = {"KarteKeine", "KarteOnline", "KarteDatei"};
  for (int kind = 0; kind < 3; ++kind) {
    QAction* a = mapMenu->addAction(Q(kMapChoices[kind]));
    a->setObjectName(QString::fromLatin1(kMapNames[kind]));
    a->setCheckable(true);
    mapGroup->addAction(a);
    mapChoices_.push_back(a);
    connect(a, &QAction::triggered, this, [this, kind] { chooseMap(kind); });
  }
  mapButton_->setMenu(mapMenu);
  bar->addWidget(fit);
  bar->addWidget(save);
  bar->addWidget(mapButton_);
  bar->addWidget(info_, 1);
  layout->addLayout(bar);
  view_ = new RoutePictureView(s, this);
  layout->addWidget(view_, 1);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("RoutenbildStatus"));
  status_->setTextFormat(Qt::PlainText);
  status_->setWordWrap(true);
  status_->setVisible(false);
  layout->addWidget(status_);
  connect(view_, &RoutePictureView::mapDrawn, this, &RoutePictureWindow::mapWasDrawn);

  connect(fit, &QPushButton::clicked, view_, &RoutePictureView::fitWhole);
  connect(save, &QPushButton::clicked, this, [this] { savePicture(); });
  auto* home = new QShortcut(QKeySequence(Qt::Key_Home), this);
  connect(home, &QShortcut::activated, view_, &RoutePictureView::fitWhole);
  auto* keySave = new QShortcut(QKeySequence(QKeySequence::Save), this);
  connect(keySave, &QShortcut::activated, this, [this] { savePicture(); });
  connect(view_, &RoutePictureView::dotClicked, this, &RoutePictureWindow::selectLinesOf);
  connect(view_, &RoutePictureView::dotMoved, this, [this](int dot, GeoPosition to) {
    editRoute(
        "Punkt verschieben",
        [this, dot, to] { return movePoint(s_, static_cast<std::size_t>(dot), to); }, dot);
  });
  connect(view_, &RoutePictureView::deleteRequested, this, [this](std::vector<int> dots) {
    if (dots.empty()) return;
    std::vector<std::size_t> indices(dots.begin(), dots.end());
    // The point before the first one deleted is selected afterwards.
    const int next = std::max(0, dots.front() - 1);
    editRoute(
        dots.size() > 1 ? "Punkte löschen"_cp : "Punkt löschen"_cp,
        [this, indices] { return deletePoints(s_, indices); }, next);
  });
  connect(view_, &RoutePictureView::insertRequested, this,
          [this](int after, GeoPosition at, bool snap) {
            editRoute(
                "Punkt einfügen"_cp,
                [this, after, at, snap] {
                  const auto i = static_cast<std::size_t>(after);
                  return snap ? insertTrackPoint(s_, i, at) : insertPoint(s_, i, at);
                },
                after + 1);
          });
  if (output_) {
    connect(output_, &QPlainTextEdit::cursorPositionChanged, this, &RoutePictureWindow::caretMoved);
  }
  if (grid_ && grid_->selectionModel()) {
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) {
              if (!selecting_ && now.isValid()) view_->setHighlighted(now.row());
            });
  }
  refreshTimer_.setSingleShot(true);
  connect(&refreshTimer_, &QTimer::timeout, this, [this] {
    if (isVisible()) refreshPicture(false);
  });
  resize(s.shell.pictureGeometry.W, s.shell.pictureGeometry.H);
  applyMapSettings();
}

void RoutePictureWindow::applyMapSettings() {
  const int kind = std::clamp(s_.opt.get(MapSource), 0, 2);
  const std::string file = s_.opt.get(MapFile);
  std::string key = std::to_string(kind);
  if (kind == static_cast<int>(MapSourceKind::Online)) {
    key += '\n' + s_.opt.get(MapUrl) + '\n' + s_.opt.get(MapAttribution) + '\n' +
           std::to_string(s_.opt.get(MapCacheMB));
  } else if (kind == static_cast<int>(MapSourceKind::File)) {
    key += '\n' + file;
  }
  for (int i = 0; i < static_cast<int>(mapChoices_.size()); ++i) {
    mapChoices_[static_cast<std::size_t>(i)]->setChecked(i == kind);
  }
  mapButton_->setText(Q("Karte: ") + toQString(mapSourceNames()[static_cast<std::size_t>(kind)]));
  mapButton_->setToolTip(kind == static_cast<int>(MapSourceKind::File) ? toQString(file)
                                                                       : QString());
  if (key == mapKey_) return;
  mapKey_ = key;
  // The picture lets go of the old source before it goes.
  view_->setMap(nullptr);
  map_.reset();
  showMapNote({});
  if (kind == static_cast<int>(MapSourceKind::Online)) {
    OnlineTileOptions o;
    o.urlTemplate = s_.opt.get(MapUrl);
    o.attribution = s_.opt.get(MapAttribution);
    o.cacheBytes = static_cast<qint64>(s_.opt.get(MapCacheMB)) * 1024 * 1024;
    auto online = std::make_unique<OnlineTiles>(std::move(o));
    connect(online.get(), &OnlineTiles::tilesArrived, view_, &RoutePictureView::mapChanged);
    // Tiles coming again end a note about trouble with the server.
    connect(online.get(), &OnlineTiles::tilesArrived, this, [this] { showMapNote({}); });
    connect(online.get(), &OnlineTiles::note, this, &RoutePictureWindow::showMapNote);
    map_ = std::move(online);
  } else if (kind == static_cast<int>(MapSourceKind::File)) {
    std::string why;
    if (file.empty()) {
      showMapNote(Q("Keine Kartendatei gew\u00e4hlt (Karte: Kartendatei \u2026)."));
    } else if (auto mbtiles = MbTiles::open(file, &why)) {
      map_ = std::move(mbtiles);
    } else {
      showMapNote(toQString(why));
    }
  }
  view_->setMap(map_.get());
}

void RoutePictureWindow::chooseMap(int kind) {
  if (kind == static_cast<int>(MapSourceKind::File)) {
    FileDialogRequest req;
    req.title =
        "Kartendatei \xF6"
        "ffnen";
    req.filter = MapFile.info.fields[0].filter;
    const std::string& now = s_.opt.get(MapFile);
    if (const auto slash = now.find_last_of('/'); slash != std::string::npos) {
      req.initialDir = now.substr(0, slash + 1);
      req.fileName = now.substr(slash + 1);
    } else {
      req.initialDir = initialFolder(s_, s_.opt.OpenDir);
    }
    const auto chosen = s_.port().openFile(req);
    if (!chosen) {
      applyMapSettings();  // the check mark goes back to the source in use
      return;
    }
    s_.opt.set(MapFile, *chosen);
    // A file chosen again is opened again (it may have been replaced meanwhile).
    mapKey_.clear();
  }
  s_.opt.set(MapSource, kind);
  applyMapSettings();
}

void RoutePictureWindow::showMapNote(const QString& text) {
  status_->setText(text);
  status_->setVisible(!text.isEmpty());
}

QString RoutePictureWindow::mapNote() const {
  return status_->text();
}

void RoutePictureWindow::mapWasDrawn(const MapUnderlay& drawn) {
  if (!map_) return;
  map_->want(drawn.missing);
  if (auto* file = dynamic_cast<MbTiles*>(map_.get())) {
    if (!file->damageNote().empty()) {
      showMapNote(toQString(file->damageNote()));
    } else if (!drawn.shown) {
      showMapNote(Q("Die Kartendatei enth\u00e4lt f\u00fcr diesen Ausschnitt keine Kacheln."));
    } else {
      showMapNote({});
    }
  }
}

void RoutePictureWindow::showWindow() {
  show();
  raise();
  activateWindow();
}

void RoutePictureWindow::showEvent(QShowEvent* event) {
  applyMapSettings();
  // The settings are read after the window was made; its place is taken when it first shows.
  if (!placed_) {
    placed_ = true;
    const PictureGeometry& g = s_.shell.pictureGeometry;
    resize(std::max(g.W, minimumSizeHint().width()), std::max(g.H, minimumSizeHint().height()));
    move(g.L, g.T);
  }
  QWidget::showEvent(event);
  refreshPicture(false);
}

void RoutePictureWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // What is shown again later is brought up to date as a whole.
  growing_ = false;
  refreshTimer_.stop();
}

void RoutePictureWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  storeGeometry();
}

void RoutePictureWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  storeGeometry();
}

void RoutePictureWindow::storeGeometry() {
  // Only a window the user sees has a place of its own; a hidden one keeps the stored place.
  if (!placed_ || !isVisible()) return;
  const QRect f = frameGeometry();
  PictureGeometry& g = s_.shell.pictureGeometry;
  g.T = f.y();
  g.L = f.x();
  g.W = width();
  g.H = height();
}

void RoutePictureWindow::sessionChanged() {
  if (!isVisible()) return;
  if (!s_.routeInProgress) {
    refreshPicture(false);
    return;
  }
  // A route being made is looked at from the event loop, between two of its records, never while
  // a point is half made. The first look comes at once (the old route goes); then the picture
  // grows at a pace its drawing affords.
  qint64 wait = 0;
  if (growing_ && sinceRefresh_.isValid()) {
    const auto interval = std::max<qint64>(
        kGrowIntervalMs,
        static_cast<qint64>(kGrowCostFactor * (lastRefreshMs_ + view_->lastPaintMs())));
    wait = std::max<qint64>(0, interval - sinceRefresh_.elapsed());
  }
  if (!refreshTimer_.isActive()) refreshTimer_.start(static_cast<int>(wait));
}

void RoutePictureWindow::refreshPicture(bool force) {
  const bool inputChanged =
      s_.doc.InputLines.revision() != inputRevision_ || s_.opt.InputFormat != inputFormat_;
  const std::size_t n = s_.doc.emittedPoints.size();
  const bool routeChanged = s_.doc.OutputLines.revision() != outputRevision_ || n != points_ ||
                            s_.doc.reducedAway.size() != removed_ || s_.routeInProgress != growing_;
  if (!force && !inputChanged && !routeChanged) return;
  QElapsedTimer took;
  took.start();
  refreshTimer_.stop();
  if (inputChanged) {
    view_->setTrack(inputTrack(s_), true);
    inputRevision_ = s_.doc.InputLines.revision();
    inputFormat_ = s_.opt.InputFormat;
  }
  // A route being made only adds points: the dots shown stay and the new ones join them. Once it
  // ends the route is taken as a whole, its last point now its destination.
  const bool appending = growing_ && s_.routeInProgress && !inputChanged && n >= points_ &&
                         view_->picture().dots.size() == points_ &&
                         s_.doc.reducedAway.size() == removed_;
  if (appending) {
    view_->appendDots(routeDots(s_, points_));
  } else {
    // A new route starts small: it is fitted again, while one that grows keeps the view.
    view_->setRoute(routeDots(s_), s_.doc.reducedAway, inputChanged || (n < points_ && !editing_));
  }
  view_->setEditable(canEditRoute(s_));
  outputRevision_ = s_.doc.OutputLines.revision();
  points_ = n;
  removed_ = s_.doc.reducedAway.size();
  growing_ = s_.routeInProgress;
  info_->setText(Q("%1 Routenpunkte, %2 Positionen der Eingabe")
                     .arg(view_->picture().dots.size())
                     .arg(view_->picture().track.size()));
  caretMoved();
  lastRefreshMs_ = took.nsecsElapsed() / 1e6;
  sinceRefresh_.start();
}

void RoutePictureWindow::editRoute(const std::string& label, const std::function<bool()>& edit,
                                   int select) {
  if (!canEditRoute(s_)) return;
  bool done = false;
  const auto change = [&] { done = edit(); };
  // An edit keeps the view where the user is working.
  editing_ = true;
  if (routeChange_) {
    routeChange_(label, change);
  } else {
    change();
  }
  refreshPicture(false);
  editing_ = false;
  if (done) {
    view_->selectOnly(select);
    selectLinesOf(select);
  }
  view_->setFocus(Qt::OtherFocusReason);
}

void RoutePictureWindow::selectLinesOf(int dot) {
  const auto& dots = view_->picture().dots;
  if (dot < 0 || dot >= static_cast<int>(dots.size())) return;
  const PictureDot& d = dots[static_cast<std::size_t>(dot)];
  view_->setHighlighted(dot);
  selecting_ = true;
  if (s_.doc.PointTable.visible && grid_ && grid_->model() && dot < grid_->model()->rowCount()) {
    grid_->selectRow(dot);
    grid_->scrollTo(grid_->model()->index(dot, 0));
  }
  if (output_ && d.lineCount > 0) {
    QTextDocument* doc = output_->document();
    const QTextBlock first = doc->findBlockByNumber(d.firstLine);
    const QTextBlock last = doc->findBlockByNumber(d.firstLine + d.lineCount - 1);
    if (first.isValid() && last.isValid()) {
      QTextCursor c(doc);
      c.setPosition(first.position());
      c.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
      output_->setTextCursor(c);
      output_->ensureCursorVisible();
    }
  }
  selecting_ = false;
}

void RoutePictureWindow::caretMoved() {
  // A route being made moves the caret with every line; the ring waits for the route.
  if (selecting_ || !output_ || s_.routeInProgress) return;
  // The block of the caret, not of the selection's anchor: the line the user is at.
  view_->setHighlighted(view_->picture().dotOfLine(output_->textCursor().blockNumber()));
}

bool RoutePictureWindow::savePicture() {
  FileDialogRequest req;
  req.title = "Routenbild speichern";
  req.filter = "PNG Bild (*.png)|*.png";
  req.defaultExt = "png";
  req.fileName = "Routenbild.png";
  req.initialDir = initialFolder(s_, s_.opt.SaveDir);
  const auto chosen = s_.port().saveFile(req);
  if (!chosen) return false;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  std::string why = "PNG";
  if (view_->image().save(&buffer, "PNG") &&
      writeFileAtomic(
          *chosen, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())), &why)) {
    return true;
  }
  singleButtonMessage(s_, PromptKind::Error, PromptButtons::Ok,
                      "Das Bild " + *chosen + " kann nicht geschrieben werden: " + why);
  return false;
}

// ---------------------------------------------------------------------------------------------
// "Route verringern"

ReduceDialog::ReduceDialog(const Session& s, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("RouteVerringern"));
  setWindowTitle(Q("Route verringern"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(Q("Route auf höchstens so viele Punkte verringern:"), this));
  const struct {
    int n;
    const char* device;
  } presets[] = {{48, "TomTom"}, {50, "Garmin"}, {100, "Apps"}, {250, "Garmin"}, {255, "TomTom"}};
  bool matched = false;
  for (const auto& p : presets) {
    auto* b = new QRadioButton(QStringLiteral("%1  (%2)").arg(p.n).arg(Q(p.device)), this);
    b->setObjectName(QStringLiteral("Preset%1").arg(p.n));
    layout->addWidget(b);
    presets_.emplace_back(b, p.n);
    if (p.n == s.opt.MaxRoutePoints) {
      b->setChecked(true);
      matched = true;
    }
  }
  auto* row = new QHBoxLayout();
  free_ = new QRadioButton(Q("andere Anzahl:"), this);
  free_->setObjectName(QStringLiteral("FreeCount"));
  count_ = new NumberField(kMaxRoutePointsRange, this);
  count_->setObjectName(QStringLiteral("CountField"));
  count_->setValue(kMaxRoutePointsRange.clamp(s.opt.MaxRoutePoints));
  row->addWidget(free_);
  row->addWidget(count_);
  row->addStretch(1);
  layout->addLayout(row);
  if (!matched) free_->setChecked(true);
  // Typing a number means that number.
  connect(count_, &QSpinBox::valueChanged, free_, [this] { free_->setChecked(true); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Q("Verringern"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Q("Abbrechen"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

int ReduceDialog::chosen() const {
  for (const auto& [b, n] : presets_) {
    if (b->isChecked()) return n;
  }
  return count_->value();
}

void reduceRoute(Session& s, QWidget* parent) {
  ReduceDialog dialog(s, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  s.opt.MaxRoutePoints = dialog.chosen();
  RouteVerringern(s, s.opt.MaxRoutePoints);
}

}  // namespace kursolin::gui
