#pragma once
// The Qt face of CFavNameDlg: "Set Favorite Name" with one name field.

#include <QDialog>

#include "app/DialogFields.h"
#include "view/CFavNameDlg.h"

class QLineEdit;

namespace pelagor {

class CFavNameDialog : public QDialog {
  Q_OBJECT
 public:
  CFavNameDialog(CFavNameDlg& model, QWidget* parent = nullptr, FieldMessageFn message = ShowFieldMessage);

  QLineEdit* Edit() const { return edit_; }
  void accept() override;

 private:
  CFavNameDlg& model_;
  FieldMessageFn message_;
  QLineEdit* edit_ = nullptr;
};

}  // namespace pelagor
