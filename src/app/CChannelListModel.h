#pragma once
// The channel list over the view's rows: the texts are read from the view
// when a cell is drawn, so nothing is copied and a rebuild is one reset.

#include <QAbstractTableModel>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "view/ViewUi.h"

namespace pelagor {

class CVortanView;

class CChannelListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  CChannelListModel(const CVortanView& view, QObject* parent = nullptr);

  void SetColumns(const std::vector<ListColumn>& columns);
  const std::vector<ListColumn>& Columns() const { return columns_; }
  // The row set changed: rows is the view's new row count.
  void Reset(int rows);
  // Same rows, new texts.
  void Refresh();
  // The row shows a channel of the cut list (waiting to be pasted).
  bool IsCutRow(int row) const;
  // The cut list was replaced: forget what IsCutRow remembers.
  void CutChanged() { lastRow_ = -1; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const CVortanView& view_;
  std::vector<ListColumn> columns_;
  int rows_ = 0;
  // The last row asked about by IsCutRow, and the cut list it was checked against.
  mutable int lastRow_ = -1;
  mutable const uint16_t* lastCut_ = nullptr;
  mutable size_t lastCutSize_ = 0;
  mutable bool lastCutRow_ = false;
};

}  // namespace pelagor
