#include "app/CHelpWindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

static void InitGuideResource() { Q_INIT_RESOURCE(guide); }

namespace pelagor {

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  InitGuideResource();
  setObjectName("helpWindow");
  setWindowTitle("Pelagor User Guide");
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("helpBrowser");
  browser_->setOpenExternalLinks(true);
  browser_->setSearchPaths({":/guide"});
  auto* back = new QPushButton("&Back", this);
  back->setObjectName("helpBack");
  back->setEnabled(false);
  auto* home = new QPushButton("&Contents", this);
  home->setObjectName("helpHome");
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back);
  buttons->addWidget(home);
  buttons->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(buttons);
  column->addWidget(browser_, 1);
  // Esc closes the guide as it closes a dialog.
  auto* close = new QAction(this);
  close->setShortcut(QKeySequence(Qt::Key_Escape));
  connect(close, &QAction::triggered, this, &QWidget::close);
  addAction(close);
  resize(760, 640);
  browser_->setSource(GuideUrl());
}

QUrl CHelpWindow::GuideUrl() { return QUrl("qrc:/guide/index.html"); }

void CHelpWindow::ShowGuide() {
  if (browser_->source() != GuideUrl()) browser_->setSource(GuideUrl());
  show();
  raise();
  activateWindow();
}

}  // namespace pelagor
