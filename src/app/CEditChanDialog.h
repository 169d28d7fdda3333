#pragma once
// The Qt face of CEditChanDlg: its fields in on-screen order, checked by the model
// on OK; a refused field keeps the dialog open with the focus in it.

#include <QDialog>
#include <map>

#include "app/DialogFields.h"
#include "view/CEditChanDlg.h"

class QLineEdit;

namespace pelagor {

class CEditChanDialog : public QDialog {
  Q_OBJECT
 public:
  CEditChanDialog(CEditChanDlg& model, QWidget* parent = nullptr, FieldMessageFn message = ShowFieldMessage);

  QLineEdit* Edit(CEditChanDlg::Field field) const { return edits_.at(field); }
  void accept() override;

 private:
  CEditChanDlg& model_;
  FieldMessageFn message_;
  std::map<CEditChanDlg::Field, QLineEdit*> edits_;
};

}  // namespace pelagor
