#include "app/CAddSatDialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "view/CAddSatDlg.h"

namespace pelagor {

CAddSatDialog::CAddSatDialog(CAddSatDlg& model, QWidget* parent)
    : QDialog(parent), model_(model), sink_(ShowFieldMessage) {
  setObjectName("satelliteDialog");
  setWindowTitle(Utf8(CAddSatDlg::kTitle));
  model_.FillTexts();

  using F = CAddSatDlg::Field;
  name_ = MakeFieldEdit(this, CAddSatDlg::Rule(F::kName), std::string(), "satNameEdit");
  name_->setText(QString::fromStdString(model_.Text(F::kName)));
  location_ = MakeFieldEdit(this, CAddSatDlg::Rule(F::kLocation), std::string(), "locationEdit");
  location_->setText(QString::fromStdString(model_.Text(F::kLocation)));

  direction_ = new QButtonGroup(this);
  auto* east = new QRadioButton(Utf8(CAddSatDlg::kEastLabel), this);
  east->setObjectName("eastRadio");
  auto* west = new QRadioButton(Utf8(CAddSatDlg::kWestLabel), this);
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
  form->addRow(Utf8(CAddSatDlg::kNameLabel), name_);
  form->addRow(Utf8(CAddSatDlg::kLocationLabel), where);

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(form);
  outer->addLayout(MakeOkCancel(this));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void CAddSatDialog::accept() {
  using F = CAddSatDlg::Field;
  model_.Text(F::kName) = name_->text().toUtf8().toStdString();
  model_.Text(F::kLocation) = location_->text().toUtf8().toStdString();
  if (auto failure = model_.Validate()) {
    sink_(this, failure->message);
    FocusRefusedField(failure->field == F::kName ? name_ : location_);
    return;
  }
  QDialog::accept();
}

}  // namespace pelagor
