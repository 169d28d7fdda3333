#include "app/CAddChanDialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace pelagor {

CAddChanDialog::CAddChanDialog(CAddChanDlg& model, QWidget* parent, FieldMessageFn message)
    : QDialog(parent), model_(model), message_(std::move(message)) {
  setObjectName("addChanDialog");
  setWindowTitle(Utf8(CAddChanDlg::kTitle));
  model_.FillTexts();

  auto* form = new QFormLayout;
  // Where the channel goes: shown, not editable.
  auto addShown = [&](std::string_view label, const std::string& text, const char* name) {
    auto* shown = new QLineEdit(Utf8(text), this);
    shown->setObjectName(name);
    shown->setReadOnly(true);
    shown->setFocusPolicy(Qt::NoFocus);
    form->addRow(Utf8(label), shown);
  };
  addShown(CAddChanDlg::kSatelliteLabel, model_.satelliteText, "satelliteText");
  addShown(CAddChanDlg::kTransponderLabel, model_.transponderText, "transponderText");
  edits_ = AddChannelFields(form, this, model_);

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(form);
  outer->addLayout(MakeOkCancel(this));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  FocusRefusedField(edits_.at(CAddChanDlg::kScreenOrder.front()));
}

void CAddChanDialog::accept() {
  if (TakeChannelFields(this, model_, edits_, message_)) QDialog::accept();
}

}  // namespace pelagor
