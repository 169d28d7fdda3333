#pragma once
// "Add Satellite" (also for editing an entry) over the CAddSatDlg model:
// name, location in degrees and East/West.

#include <QDialog>

#include "app/DialogFields.h"

class QButtonGroup;
class QLineEdit;

namespace pelagor {

class CAddSatDlg;

class CAddSatDialog : public QDialog {
  Q_OBJECT
 public:
  CAddSatDialog(CAddSatDlg& model, QWidget* parent = nullptr);

  void SetMessageSink(FieldMessageFn sink) { sink_ = std::move(sink); }
  // OK: the model checks the fields; a refused one keeps the dialog open
  // with the focus in it.
  void accept() override;

 private:
  CAddSatDlg& model_;
  QLineEdit* name_ = nullptr;
  QLineEdit* location_ = nullptr;
  QButtonGroup* direction_ = nullptr;
  FieldMessageFn sink_;
};

}  // namespace pelagor
