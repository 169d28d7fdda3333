#pragma once
// The Qt face of CAddChanDlg: its fields in on-screen order, checked by the model
// on OK; a refused field keeps the dialog open with the focus in it.

#include <QDialog>
#include <map>

#include "app/DialogFields.h"
#include "view/CAddChanDlg.h"

class QLineEdit;

namespace pelagor {

class CAddChanDialog : public QDialog {
  Q_OBJECT
 public:
  CAddChanDialog(CAddChanDlg& model, QWidget* parent = nullptr, FieldMessageFn message = ShowFieldMessage);

  QLineEdit* Edit(CAddChanDlg::Field field) const { return edits_.at(field); }
  void accept() override;

 private:
  CAddChanDlg& model_;
  FieldMessageFn message_;
  std::map<CAddChanDlg::Field, QLineEdit*> edits_;
};

}  // namespace pelagor
