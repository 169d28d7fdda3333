#include "app/CComPortDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/CComPortDlg.h"

namespace pelagor {
namespace {
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), int(s.size())); }
}  // namespace

CComPortDialog::CComPortDialog(CComPortDlg& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("comPortDialog");
  setWindowTitle(Q(CComPortDlg::kCaption));

  auto* group = new QGroupBox(Q(CComPortDlg::kGroupText), this);
  group->setObjectName("serialSettingGroup");
  auto* grid = new QGridLayout(group);
  auto* label = new QLabel(Q(CComPortDlg::kPortLabel), group);
  combo_ = new QComboBox(group);
  combo_->setObjectName("portCombo");
  combo_->setEditable(model_.Editable());
  // The model has sorted the list already; typed paths are not added to it.
  combo_->setInsertPolicy(QComboBox::NoInsert);
  combo_->setMinimumContentsLength(18);
  combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  for (const std::string& port : model_.Ports()) combo_->addItem(QString::fromStdString(port));
  combo_->setCurrentIndex(model_.Selection());
  if (model_.Editable()) combo_->setEditText(QString::fromStdString(model_.PortText()));
  label->setBuddy(combo_);
  grid->addWidget(label, 0, 0);
  grid->addWidget(combo_, 0, 1);
  grid->setColumnStretch(1, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName("buttons");
  buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
  buttons->setCenterButtons(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(group);
  outer->addWidget(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void CComPortDialog::accept() {
  // The model turns the choice into a port on OK; here it only learns what the
  // combo shows.
  if (model_.Editable())
    model_.SetPortText(combo_->currentText().toStdString());
  else
    model_.Select(combo_->currentIndex());
  QDialog::accept();
}

}  // namespace pelagor
