#pragma once
// A layout that sets its widgets side by side like words of a sentence and continues on the next
// line when the width runs out, so a rule of the rule panel stays readable in a narrow window.

#include <QLayout>
#include <QList>

namespace kursolin::gui {

class FlowLayout : public QLayout {
 public:
  /// A layout with `wordSpacing` pixels between two neighbouring labels on a line,
  /// `widgetSpacing` beside any other widget and `lineSpacing` between lines.
  explicit FlowLayout(QWidget* parent = nullptr, int wordSpacing = 4, int widgetSpacing = 6,
                      int lineSpacing = 2);
  ~FlowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override;
  int heightForWidth(int width) const override;
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

 private:
  /// Places the items in rect (only measures when apply is false); gives the height used.
  int arrange(const QRect& rect, bool apply) const;
  /// The gap between two neighbours.
  int gap(const QLayoutItem* left, const QLayoutItem* right) const;

  QList<QLayoutItem*> items_;
  int wordSpacing_;
  int widgetSpacing_;
  int lineSpacing_;
};

}  // namespace kursolin::gui
