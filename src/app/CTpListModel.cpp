#include "app/CTpListModel.h"

namespace pelagor {

void CTpListModel::Fill(const std::vector<ListColumn>& columns, const std::vector<std::vector<std::string>>& rows) {
  beginResetModel();
  columns_ = columns;
  rows_ = rows;
  endResetModel();
}

int CTpListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int CTpListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant CTpListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.size())) return {};
  const auto& row = rows_[size_t(index.row())];
  if (role == Qt::DisplayRole)
    return size_t(index.column()) < row.size() ? QString::fromStdString(row[size_t(index.column())]) : QString();
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

QVariant CTpListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_.size())) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(columns_[size_t(section)].heading);
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

}  // namespace pelagor
