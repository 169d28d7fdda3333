#include "app/CAddSatDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "view/CAddSatDlg.h"

namespace pelagor {

CAddSatDialog::CAddSatDialog(CAddSatDlg& model, QWidget* parent)
    : QDialog(parent), model_(model), sink_(MessageBoxSink(this)) {
  setObjectName("satelliteDialog");
  setWindowTitle(QtText(CAddSatDlg::kTitle));
  model_.FillTexts();

  using F = CAddSatDlg::Field;
  name_ = MakeRuleEdit(CAddSatDlg::Rule(F::kName), this, "satNameEdit");
  name_->setText(QString::fromStdString(model_.Text(F::kName)));
  location_ = MakeRuleEdit(CAddSatDlg::Rule(F::kLocation), this, "locationEdit");
  location_->setText(QString::fromStdString(model_.Text(F::kLocation)));

  direction_ = new QButtonGroup(this);
  auto* east = new QRadioButton(QtText(CAddSatDlg::kEastLabel), this);
  east->setObjectName("eastRadio");
  auto* west = new QRadioButton(QtText(CAddSatDlg::kWestLabel), this);
  west->setObjectName("westRadio");
  direction_->addButton(east, 0);
  direction_->addButton(west, 1);
  (model_.westFlag == 1 ? west : east)->setChecked(true);
  connect(direction_, &QButtonGroup::idClicked, this, [this](int id) { model_.OnDirection(id); });

  auto* where = new QHBoxLayout;
  where->addWidget(location_);
  where->addWidget(east);
  where->addWidget(west);

  auto* form = new QFormLayout;
  form->addRow(QtText(CAddSatDlg::kNameLabel), name_);
  form->addRow(QtText(CAddSatDlg::kLocationLabel), where);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(form);
  outer->addWidget(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void CAddSatDialog::accept() {
  using F = CAddSatDlg::Field;
  model_.Text(F::kName) = StdText(name_->text());
  model_.Text(F::kLocation) = StdText(location_->text());
  if (auto failure = model_.Validate()) {
    sink_(QString::fromStdString(failure->message));
    FocusField(failure->field == F::kName ? name_ : location_);
    return;
  }
  QDialog::accept();
}

}  // namespace pelagor
