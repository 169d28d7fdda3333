#pragma once
// "Add Cable TP" / "Edit Cable TP" over the CAddCableTP model: frequency in
// kHz, symbol rate and the six QAM buttons.

#include <QDialog>

#include "app/DialogFields.h"

class QButtonGroup;
class QLineEdit;

namespace pelagor {

class CAddCableTP;

class CAddCableTPDialog : public QDialog {
  Q_OBJECT
 public:
  CAddCableTPDialog(CAddCableTP& model, QWidget* parent = nullptr);

  void SetMessageSink(FieldMessageFn sink) { sink_ = std::move(sink); }
  void accept() override;

 private:
  CAddCableTP& model_;
  QLineEdit* frequency_ = nullptr;
  QLineEdit* symbolRate_ = nullptr;
  QButtonGroup* qam_ = nullptr;
  FieldMessageFn sink_;
};

}  // namespace pelagor
