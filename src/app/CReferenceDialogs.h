#pragma once
// The Qt faces of the reference-list dialogs: the options of Apply Order
// from Reference List, the report with copyable lists, and the checkable,
// filterable list of channels to import.

#include <QDialog>

#include "view/ReferenceDlgs.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTableWidget;
class QLabel;

namespace pelagor {

class CApplyOrderDialog : public QDialog {
  Q_OBJECT
 public:
  CApplyOrderDialog(CApplyOrderDlg& model, QWidget* parent = nullptr);
  void accept() override;

 private:
  CApplyOrderDlg& model_;
  QCheckBox* order_ = nullptr;
  QCheckBox* numbers_ = nullptr;
  QCheckBox* favourites_ = nullptr;
  QCheckBox* locks_ = nullptr;
  QCheckBox* names_ = nullptr;
  QRadioButton* keep_ = nullptr;
  QRadioButton* delete_ = nullptr;
};

class CReferenceReportDialog : public QDialog {
  Q_OBJECT
 public:
  CReferenceReportDialog(const CReferenceReportDlg& model, QWidget* parent = nullptr);
  // The clipboard gets the section's lines.
  void CopySection(int section);

 private:
  const CReferenceReportDlg& model_;
};

class CImportChannelsDialog : public QDialog {
  Q_OBJECT
 public:
  CImportChannelsDialog(CImportChannelsDlg& model, QWidget* parent = nullptr);
  void accept() override;

 private:
  void ApplyFilters();
  void UpdateCount();
  CImportChannelsDlg& model_;
  QComboBox* satellite_ = nullptr;
  QComboBox* type_ = nullptr;
  QLineEdit* name_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* count_ = nullptr;
  bool filling_ = false;
};

}  // namespace pelagor
