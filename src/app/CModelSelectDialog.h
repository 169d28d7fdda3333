#pragma once
// "Select Model ...": the six model radio buttons of Save As over the
// ModelSelectDlg model, which holds the preselected and the chosen position.

#include <QDialog>

class QButtonGroup;

namespace pelagor {

class ModelSelectDlg;

class CModelSelectDialog : public QDialog {
  Q_OBJECT
 public:
  CModelSelectDialog(ModelSelectDlg& model, QWidget* parent = nullptr);

  void accept() override;

 private:
  ModelSelectDlg& model_;
  QButtonGroup* radios_ = nullptr;
};

}  // namespace pelagor
