#include "app/CFavNameDialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace pelagor {

CFavNameDialog::CFavNameDialog(CFavNameDlg& model, QWidget* parent, FieldMessageFn message)
    : QDialog(parent), model_(model), message_(std::move(message)) {
  setObjectName("favNameDialog");
  setWindowTitle(Utf8(CFavNameDlg::kTitle));
  model_.FillTexts();

  auto* prompt = new QLabel(Utf8(CFavNameDlg::kPrompt), this);
  prompt->setObjectName("promptLabel");
  const FieldRule& rule = CFavNameDlg::Rule(CFavNameDlg::Field::kName);
  edit_ = MakeFieldEdit(this, rule, model_.Text(), "nameEdit");
  auto* form = new QFormLayout;
  auto* label = new QLabel(Utf8(rule.label), this);
  label->setBuddy(edit_);
  form->addRow(label, edit_);

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(prompt);
  outer->addLayout(form);
  outer->addLayout(MakeOkCancel(this));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  FocusRefusedField(edit_);
}

void CFavNameDialog::accept() {
  model_.Text() = edit_->text().toStdString();
  if (const auto failure = model_.Validate()) {
    message_(this, failure->message);
    FocusRefusedField(edit_);
    return;
  }
  QDialog::accept();
}

}  // namespace pelagor
