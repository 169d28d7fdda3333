#include "app/CAddCableTPDialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "view/CAddCableTP.h"

namespace pelagor {

CAddCableTPDialog::CAddCableTPDialog(CAddCableTP& model, QWidget* parent)
    : QDialog(parent), model_(model), sink_(ShowFieldMessage) {
  setObjectName("cableTpDialog");
  setWindowTitle(Utf8(model_.Title()));
  model_.FillTexts();

  using F = CAddCableTP::Field;
  frequency_ = MakeFieldEdit(this, CAddCableTP::Rule(F::kFrequency), std::string(), "frequencyEdit");
  frequency_->setText(QString::fromStdString(model_.Text(F::kFrequency)));
  symbolRate_ = MakeFieldEdit(this, CAddCableTP::Rule(F::kSymbolRate), std::string(), "symbolRateEdit");
  symbolRate_->setText(QString::fromStdString(model_.Text(F::kSymbolRate)));
  auto* form = new QFormLayout;
  form->addRow(Utf8(CAddCableTP::Rule(F::kFrequency).label), frequency_);
  form->addRow(Utf8(CAddCableTP::Rule(F::kSymbolRate).label), symbolRate_);

  auto* box = new QGroupBox(Utf8(CAddCableTP::kQamLabel), this);
  auto* grid = new QGridLayout(box);
  qam_ = new QButtonGroup(box);
  for (int i = 0; i < int(CAddCableTP::kQamTexts.size()); ++i) {
    auto* b = new QRadioButton(Utf8(CAddCableTP::kQamTexts[size_t(i)]), box);
    b->setObjectName(QString("qam%1").arg(i));
    qam_->addButton(b, i);
    grid->addWidget(b, i / 3, i % 3);
  }
  qam_->button(model_.qamMode)->setChecked(true);
  connect(qam_, &QButtonGroup::idClicked, this, [this](int mode) {
    model_.OnQamMode(mode);
    qam_->button(model_.qamMode)->setChecked(true);
  });

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(form);
  outer->addWidget(box);
  outer->addLayout(MakeOkCancel(this));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  frequency_->setFocus();
}

void CAddCableTPDialog::accept() {
  using F = CAddCableTP::Field;
  model_.Text(F::kFrequency) = frequency_->text().toUtf8().toStdString();
  model_.Text(F::kSymbolRate) = symbolRate_->text().toUtf8().toStdString();
  if (auto failure = model_.Validate()) {
    sink_(this, failure->message);
    FocusRefusedField(failure->field == F::kSymbolRate ? symbolRate_ : frequency_);
    return;
  }
  QDialog::accept();
}

}  // namespace pelagor
