#include "app/CChannelListModel.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

#include "view/CVortanView.h"

namespace pelagor {

CChannelListModel::CChannelListModel(const CVortanView& view, QObject* parent)
    : QAbstractTableModel(parent), view_(view) {}

void CChannelListModel::SetColumns(const std::vector<ListColumn>& columns) {
  beginResetModel();
  columns_ = columns;
  endResetModel();
}

void CChannelListModel::Reset(int rows) {
  beginResetModel();
  lastRow_ = -1;
  rows_ = rows < 0 ? 0 : rows;
  endResetModel();
}

void CChannelListModel::Refresh() {
  lastRow_ = -1;
  if (rows_ > 0 && !columns_.empty())
    emit dataChanged(index(0, 0), index(rows_ - 1, int(columns_.size()) - 1), {Qt::DisplayRole});
}

int CChannelListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int CChannelListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(columns_.size());
}

// Rows can be dragged to another place in the list (the view moves them).
Qt::ItemFlags CChannelListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.isValid()) f |= Qt::ItemIsDragEnabled;
  return f;
}

QVariant CChannelListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= int(columns_.size())) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(view_.ChannelCell(index.row(), index.column()));
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  // Rows cut and not yet pasted are drawn greyed.
  if (role == Qt::ForegroundRole && IsCutRow(index.row()))
    return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
  return {};
}

bool CChannelListModel::IsCutRow(int row) const {
  const std::vector<uint16_t>& cut = view_.State().cutList;
  if (cut.empty()) return false;
  // A row's cells are drawn one after another: one look-up per row.
  if (row != lastRow_ || cut.data() != lastCut_ || cut.size() != lastCutSize_) {
    const uint16_t c = view_.ChannelOfRow(row);
    lastRow_ = row;
    lastCut_ = cut.data();
    lastCutSize_ = cut.size();
    lastCutRow_ = c != 0xFFFF && std::find(cut.begin(), cut.end(), c) != cut.end();
  }
  return lastCutRow_;
}

QVariant CChannelListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_.size())) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(columns_[size_t(section)].heading);
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

}  // namespace pelagor
