#include "app/CAboutDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppIcon.h"

namespace pelagor {

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("aboutDialog");
  setWindowTitle("About Corvane");

  auto* icon = new QLabel(this);
  icon->setPixmap(MakeAppIcon().pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop);

  auto* lines = new QVBoxLayout;
  lines->addWidget(new QLabel("Kelvane ", this));
  lines->addWidget(new QLabel("Corvane Version 5.00", this));

  auto* models = new QGroupBox("Supported Models", this);
  models->setObjectName("supportedModels");
  auto* modelLines = new QVBoxLayout(models);
  modelLines->addWidget(new QLabel("LINUX : VR39.20HD/V39.20HD/VM39.20HD", models));
  modelLines->addWidget(new QLabel("LINUX : VR39.40HD/V39.40HD/VM39.40HD", models));
  lines->addWidget(models);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addLayout(lines, 1);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(top);
  outer->addWidget(buttons);
  // A fixed-size box, like the rest of the program's dialogs.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace pelagor
