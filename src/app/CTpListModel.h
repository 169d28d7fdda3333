#pragma once
// The TP list: the view hands over all its texts at each fill (a few
// hundred rows at most), and the model shows them as they are.

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "view/ViewUi.h"

namespace pelagor {

class CTpListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void Fill(const std::vector<ListColumn>& columns, const std::vector<std::vector<std::string>>& rows);
  const std::vector<ListColumn>& Columns() const { return columns_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<ListColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace pelagor
