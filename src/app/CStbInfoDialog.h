#pragma once
// "Information": the receiver's model and versions, read-only, over CSTBInfoDlg.

#include <QDialog>

class QLineEdit;

namespace pelagor {

class CSTBInfoDlg;

class CStbInfoDialog : public QDialog {
  Q_OBJECT
 public:
  CStbInfoDialog(const CSTBInfoDlg& model, QWidget* parent = nullptr);

  QLineEdit* ModelField() const { return model_; }
  QLineEdit* BootField() const { return boot_; }
  QLineEdit* MainField() const { return main_; }

 private:
  QLineEdit* model_ = nullptr;
  QLineEdit* boot_ = nullptr;
  QLineEdit* main_ = nullptr;
};

}  // namespace pelagor
