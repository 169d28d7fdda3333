#include "app/CProviderSelectDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace pelagor {

CProviderSelectDialog::CProviderSelectDialog(CProviderSelectDlg& model, QWidget* parent, FieldMessageFn message)
    : QDialog(parent), model_(model), message_(std::move(message)) {
  setObjectName("providerSelectDialog");
  setWindowTitle(Utf8(CProviderSelectDlg::kTitle));
  model_.Open();

  auto* prompt = new QLabel(Utf8(CProviderSelectDlg::kPrompt), this);
  prompt->setObjectName("promptLabel");
  combo_ = new QComboBox(this);
  combo_->setObjectName("providerCombo");
  combo_->setEditable(true);
  // Enter means OK, not "add this text as a line".
  combo_->setInsertPolicy(QComboBox::NoInsert);
  // No completion: a typed "news" must stay "news" even with "NEWS" listed.
  combo_->setCompleter(nullptr);
  combo_->setMaxVisibleItems(20);
  combo_->setMinimumContentsLength(16);
  for (const CProviderSelectDlg::Line& line : model_.Lines()) combo_->addItem(Utf8(line.name));
  combo_->setCurrentIndex(model_.SelectedLine());
  // Typing stops at the name length; a longer line picked from the list
  // still shows whole.
  auto* limit = new TextLimitValidator(CProviderSelectDlg::kTypedChars, combo_->lineEdit());
  limit->AllowShown([this](const QString& text) { return combo_->findText(text, Qt::MatchExactly) >= 0; });
  combo_->lineEdit()->setValidator(limit);
  // textEdited comes from typing only; a pick rewrites the text without it.
  connect(combo_->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { model_.TypeText(text.toStdString()); });
  connect(combo_, &QComboBox::activated, this, [this](int line) { model_.ChooseLine(line); });

  auto* form = new QFormLayout;
  auto* label = new QLabel(Utf8(CProviderSelectDlg::kLabel), this);
  label->setBuddy(combo_);
  form->addRow(label, combo_);

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(prompt);
  outer->addLayout(form);
  outer->addLayout(MakeOkCancel(this));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  combo_->setFocus(Qt::OtherFocusReason);
}

void CProviderSelectDialog::accept() {
  if (const auto failure = model_.Validate()) {
    message_(this, failure->message);
    combo_->setFocus(Qt::OtherFocusReason);
    combo_->lineEdit()->selectAll();
    return;
  }
  QDialog::accept();
}

}  // namespace pelagor
