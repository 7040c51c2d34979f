#pragma once
// The route point table TabGrid as a table model over the session's PointTable: rows are shown as
// the generator adds them, cells can be edited (nothing reads them back).

#include <QAbstractTableModel>

#include "session/session.h"

namespace kursolin::gui {

class PointGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  PointGridModel(PointTableModel& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  /// Takes in the rows added since the last call; a table that shrank is shown afresh.
  void sync();
  /// Shows the table afresh (a new route is about to fill it).
  void reset();

 private:
  PointTableModel& table_;
  int rows_ = 0;  // rows the views know of
};

}  // namespace kursolin::gui
