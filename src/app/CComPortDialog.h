#pragma once
// "Select COM Port...": the port combo of Connect over the CComPortDlg model.
// Where ports are device paths the combo is editable, so a path can be typed.

#include <QDialog>

class QComboBox;

namespace pelagor {

class CComPortDlg;

class CComPortDialog : public QDialog {
  Q_OBJECT
 public:
  CComPortDialog(CComPortDlg& model, QWidget* parent = nullptr);

  QComboBox* PortCombo() const { return combo_; }
  void accept() override;

 private:
  CComPortDlg& model_;
  QComboBox* combo_ = nullptr;
};

}  // namespace pelagor
