#include "app/CModelSelectDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "view/ModelSelectDlg.h"

namespace pelagor {
namespace {
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), int(s.size())); }
}  // namespace

CModelSelectDialog::CModelSelectDialog(ModelSelectDlg& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("modelSelectDialog");
  setWindowTitle(Q(ModelSelectDlg::kTitle));

  auto* group = new QGroupBox(Q(ModelSelectDlg::kGroup), this);
  auto* column = new QVBoxLayout(group);
  radios_ = new QButtonGroup(this);
  for (int pos = 0; pos < ModelSelectDlg::kPositions; ++pos) {
    auto* radio = new QRadioButton(Q(ModelSelectDlg::Label(pos)), group);
    radio->setObjectName(QString("modelRadio%1").arg(pos));
    radio->setEnabled(ModelSelectDlg::Enabled(pos));
    radios_->addButton(radio, pos);
    column->addWidget(radio);
  }
  int pre = model_.position;
  if (pre < 0 || pre >= ModelSelectDlg::kPositions || !ModelSelectDlg::Enabled(pre)) pre = 0;
  radios_->button(pre)->setChecked(true);

  auto* next = new QPushButton(Q(ModelSelectDlg::kOkText), this);
  next->setObjectName("nextButton");
  next->setDefault(true);
  auto* cancel = new QPushButton(Q(ModelSelectDlg::kCancelText), this);
  cancel->setObjectName("cancelButton");
  connect(next, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(next);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* outer = new QHBoxLayout(this);
  outer->addWidget(group);
  outer->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void CModelSelectDialog::accept() {
  model_.position = radios_->checkedId();
  QDialog::accept();
}

}  // namespace pelagor
