#pragma once
// The Qt face of CProviderSelectDlg: "Set Provider ID", an editable combo
// of provider names. Typing reports the typed name to the model, picking a
// line reports the line; the model decides the index on OK.

#include <QDialog>

#include "app/DialogFields.h"
#include "view/CProviderSelectDlg.h"

class QComboBox;

namespace pelagor {

class CProviderSelectDialog : public QDialog {
  Q_OBJECT
 public:
  CProviderSelectDialog(CProviderSelectDlg& model, QWidget* parent = nullptr,
                        FieldMessageFn message = ShowFieldMessage);

  QComboBox* Combo() const { return combo_; }
  void accept() override;

 private:
  CProviderSelectDlg& model_;
  FieldMessageFn message_;
  QComboBox* combo_ = nullptr;
};

}  // namespace pelagor
