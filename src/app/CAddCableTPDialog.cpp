#include "app/CAddCableTPDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "view/CAddCableTP.h"

namespace pelagor {

CAddCableTPDialog::CAddCableTPDialog(CAddCableTP& model, QWidget* parent)
    : QDialog(parent), model_(model), sink_(MessageBoxSink(this)) {
  setObjectName("cableTpDialog");
  setWindowTitle(QtText(model_.Title()));
  model_.FillTexts();

  using F = CAddCableTP::Field;
  frequency_ = MakeRuleEdit(CAddCableTP::Rule(F::kFrequency), this, "frequencyEdit");
  frequency_->setText(QString::fromStdString(model_.Text(F::kFrequency)));
  symbolRate_ = MakeRuleEdit(CAddCableTP::Rule(F::kSymbolRate), this, "symbolRateEdit");
  symbolRate_->setText(QString::fromStdString(model_.Text(F::kSymbolRate)));
  auto* form = new QFormLayout;
  form->addRow(QtText(CAddCableTP::Rule(F::kFrequency).label), frequency_);
  form->addRow(QtText(CAddCableTP::Rule(F::kSymbolRate).label), symbolRate_);

  auto* box = new QGroupBox(QtText(CAddCableTP::kQamLabel), this);
  auto* grid = new QGridLayout(box);
  qam_ = new QButtonGroup(box);
  for (int i = 0; i < int(CAddCableTP::kQamTexts.size()); ++i) {
    auto* b = new QRadioButton(QtText(CAddCableTP::kQamTexts[size_t(i)]), box);
    b->setObjectName(QString("qam%1").arg(i));
    qam_->addButton(b, i);
    grid->addWidget(b, i / 3, i % 3);
  }
  qam_->button(model_.qamMode)->setChecked(true);
  connect(qam_, &QButtonGroup::idClicked, this, [this](int mode) {
    model_.OnQamMode(mode);
    qam_->button(model_.qamMode)->setChecked(true);
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(form);
  outer->addWidget(box);
  outer->addWidget(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  frequency_->setFocus();
}

void CAddCableTPDialog::accept() {
  using F = CAddCableTP::Field;
  model_.Text(F::kFrequency) = StdText(frequency_->text());
  model_.Text(F::kSymbolRate) = StdText(symbolRate_->text());
  if (auto failure = model_.Validate()) {
    sink_(QString::fromStdString(failure->message));
    FocusField(failure->field == F::kSymbolRate ? symbolRate_ : frequency_);
    return;
  }
  QDialog::accept();
}

}  // namespace pelagor
