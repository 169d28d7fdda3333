#include "app/CStbInfoDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/CSTBInfoDlg.h"

namespace pelagor {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), int(s.size())); }

// The receiver's texts are single bytes, Latin-1: every byte from 0x80 is its own
// character, never a UTF-8 fragment.
QLineEdit* ValueField(QWidget* parent, const char* name, const std::string& bytes) {
  auto* f = new QLineEdit(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())), parent);
  f->setObjectName(name);
  f->setReadOnly(true);
  f->setFocusPolicy(Qt::ClickFocus);
  // Room for a whole 32-byte field of ordinary text.
  f->setMinimumWidth(f->fontMetrics().averageCharWidth() * 34);
  f->setCursorPosition(0);
  return f;
}

}  // namespace

CStbInfoDialog::CStbInfoDialog(const CSTBInfoDlg& model, QWidget* parent) : QDialog(parent) {
  setObjectName("stbInfoDialog");
  setWindowTitle(Q(CSTBInfoDlg::kCaption));

  auto* group = new QGroupBox(Q(CSTBInfoDlg::kGroupText), this);
  group->setObjectName("receiverInfoGroup");
  auto* rows = new QFormLayout(group);
  model_ = ValueField(group, "modelField", model.model);
  boot_ = ValueField(group, "bootVerField", model.bootVersion);
  main_ = ValueField(group, "mainVerField", model.mainVersion);
  rows->addRow(Q(CSTBInfoDlg::kModelLabel), model_);
  rows->addRow(Q(CSTBInfoDlg::kBootLabel), boot_);
  rows->addRow(Q(CSTBInfoDlg::kMainLabel), main_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->setCenterButtons(true);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setObjectName("okButton");
  ok->setDefault(true);
  ok->setFocus();
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(group);
  outer->addWidget(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace pelagor
