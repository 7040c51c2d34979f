#include "app/pointgrid.h"

#include "app/qtext.h"

namespace kursolin::gui {

PointGridModel::PointGridModel(PointTableModel& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int PointGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int PointGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.headers.size());
}

QVariant PointGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  const auto r = static_cast<std::size_t>(index.row());
  const auto c = static_cast<std::size_t>(index.column());
  if (r >= table_.rows.size() || c >= table_.rows[r].size()) return QString();
  return toQString(table_.rows[r][c]);
}

QVariant PointGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || static_cast<std::size_t>(section) >= table_.headers.size()) return {};
  return toQString(table_.headers[static_cast<std::size_t>(section)]);
}

bool PointGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const auto r = static_cast<std::size_t>(index.row());
  const auto c = static_cast<std::size_t>(index.column());
  if (r >= table_.rows.size()) return false;
  TableRow& row = table_.rows[r];
  if (c >= row.size()) row.resize(c + 1);
  row[c] = fromQString(value.toString());
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

Qt::ItemFlags PointGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void PointGridModel::sync() {
  const int now = static_cast<int>(table_.rows.size());
  if (now == rows_) return;
  if (now < rows_) {
    reset();
    return;
  }
  beginInsertRows({}, rows_, now - 1);
  rows_ = now;
  endInsertRows();
}

void PointGridModel::reset() {
  beginResetModel();
  rows_ = static_cast<int>(table_.rows.size());
  endResetModel();
}

}  // namespace kursolin::gui
