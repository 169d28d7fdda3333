#include "app/CEditChanDialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace pelagor {

CEditChanDialog::CEditChanDialog(CEditChanDlg& model, QWidget* parent, FieldMessageFn message)
    : QDialog(parent), model_(model), message_(std::move(message)) {
  setObjectName("editChanDialog");
  setWindowTitle(Utf8(model_.Title()));
  model_.FillTexts();

  auto* form = new QFormLayout;
  edits_ = AddChannelFields(form, this, model_);

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(form);
  outer->addLayout(MakeOkCancel(this));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  FocusRefusedField(edits_.at(CEditChanDlg::kScreenOrder.front()));
}

void CEditChanDialog::accept() {
  if (TakeChannelFields(this, model_, edits_, message_)) QDialog::accept();
}

}  // namespace pelagor
