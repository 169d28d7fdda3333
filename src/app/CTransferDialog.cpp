#include "app/CTransferDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "Zmodem32/CTransferDlg.h"

namespace pelagor {
namespace {

QLabel* Field(QWidget* parent, const char* name, Qt::Alignment align, bool sunken) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  l->setAlignment(align | Qt::AlignVCenter);
  if (sunken) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setTextFormat(Qt::PlainText);
  return l;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CTransferDialog::CTransferDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("transferDialog");
  setWindowTitle(kTitle);
  setModal(true);

  auto* group = new QGroupBox(this);
  auto* grid = new QGridLayout(group);
  label_ = Field(group, "labelField", Qt::AlignHCenter, true);
  label_->setMinimumWidth(label_->fontMetrics().horizontalAdvance("File Name") + 16);
  fileName_ = Field(group, "fileNameField", Qt::AlignLeft, true);
  fileName_->setMinimumWidth(fileName_->fontMetrics().horizontalAdvance(QString(36, 'x')));
  progress_ = new QProgressBar(group);
  progress_->setObjectName("progressBar");
  progress_->setRange(0, 100);
  progress_->setTextVisible(false);
  status_ = Field(group, "statusField", Qt::AlignHCenter, false);
  grid->addWidget(label_, 0, 0);
  grid->addWidget(fileName_, 0, 1);
  grid->addWidget(progress_, 1, 0, 1, 2);
  grid->addWidget(status_, 2, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setVerticalSpacing(12);

  stop_ = new QPushButton(kStopText, this);
  stop_->setObjectName("stopButton");
  stop_->setAutoDefault(false);
  connect(stop_, &QPushButton::clicked, this, &CTransferDialog::OnStop);

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(group);
  outer->addWidget(stop_, 0, Qt::AlignHCenter);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  Reset();
}

CTransferDialog::~CTransferDialog() = default;

void CTransferDialog::Reset() {
  setWindowTitle(kTitle);
  label_->setText(kLabelText);
  fileName_->clear();
  status_->clear();
  progress_->setRange(0, 100);
  progress_->setValue(0);
}

void CTransferDialog::Post(std::function<void()> fn) {
  // Queued, so the widgets change on their own thread; with the dialog as the
  // context an update never outlives it.
  QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void CTransferDialog::SetCaption(const std::string& text) {
  Post([this, t = Q(text)] { setWindowTitle(t); });
}
void CTransferDialog::SetLabel(const std::string& text) {
  Post([this, t = Q(text)] { label_->setText(t); });
}
void CTransferDialog::SetFileName(const std::string& text) {
  Post([this, t = Q(text)] { fileName_->setText(t); });
}
void CTransferDialog::SetStatusLine(const std::string& text) {
  Post([this, t = Q(text)] { status_->setText(t); });
}
void CTransferDialog::SetProgressRange(int low, int high) {
  Post([this, low, high] { progress_->setRange(low, high); });
}
void CTransferDialog::SetProgressPos(int pos) {
  Post([this, pos] { progress_->setValue(pos); });
}

void CTransferDialog::EndDialog() {
  Post([this] {
    ending_ = true;
    done(QDialog::Accepted);
  });
}

void CTransferDialog::RunModal(CTransferDlg& dlg) {
  // The session's first updates are already queued; they apply over this. The
  // end is the worker's last update and the host joins it before the next
  // session, so nothing of this session is left to reach the next one.
  Reset();
  session_ = &dlg;
  ending_ = false;
  // The worker always posts its end, even when it has finished already, so the
  // loop ends after every update it queued has been applied.
  exec();
  session_ = nullptr;
}

void CTransferDialog::OnStop() {
  if (session_ == nullptr) return;
  session_->Stop();
}

void CTransferDialog::reject() {
  // Esc and the close box: a stop, and the dialog stays until the worker ends.
  if (ending_) {
    QDialog::reject();
    return;
  }
  OnStop();
}

void CTransferDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      OnStop();
      event->accept();
      return;
    default: QDialog::keyPressEvent(event);
  }
}

void CTransferDialog::closeEvent(QCloseEvent* event) {
  if (ending_) {
    QDialog::closeEvent(event);
    return;
  }
  OnStop();
  event->ignore();
}

}  // namespace pelagor
