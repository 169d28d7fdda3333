#pragma once
// "Add Transponder" / "Edit Transponder" over the CAddTPDlg model: the
// satellite, frequency, symbol rate, polarity, modulation with its FEC
// list, and pilot.

#include <QDialog>

#include "app/DialogFields.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;

namespace pelagor {

class CAddTPDlg;

class CAddTPDialog : public QDialog {
  Q_OBJECT
 public:
  CAddTPDialog(CAddTPDlg& model, QWidget* parent = nullptr);

  void SetMessageSink(FieldMessageFn sink) { sink_ = std::move(sink); }
  void accept() override;

 private:
  void FillFecList();

  CAddTPDlg& model_;
  QLineEdit* frequency_ = nullptr;
  QLineEdit* symbolRate_ = nullptr;
  QComboBox* fec_ = nullptr;
  QButtonGroup* polarity_ = nullptr;
  QButtonGroup* modulation_ = nullptr;
  QButtonGroup* pilot_ = nullptr;
  FieldMessageFn sink_;
};

}  // namespace pelagor
