#include "Zmodem32/CTransferDlg.h"

#include "Zmodem32/TransferUi.h"

namespace pelagor {

CTransferDlg::CTransferDlg(TransferUi* ui, LinkTiming timing) : ui_(ui), session_(timing) {}

CTransferDlg::~CTransferDlg() {
  session_.RequestStop();
  session_.Join();
}

void CTransferDlg::OnInitDialog() {
  stopFlag_ = false;
  finished_ = false;
  session_.ClearStop();
  session_.SetUi(ui_);
  if (mode == kModeSend)
    OnCommand(kCmdStartSend);
  else if (mode == kModeReceive)
    OnCommand(kCmdStartReceive);
}

void CTransferDlg::OnCommand(int id) {
  switch (id) {
    case kCmdStartSend:
      if (ui_) ui_->SetCaption("Downloading to STB...");
      session_.StartSend(this, port, sendPath, zmodemArg);
      break;
    case kCmdStartReceive:
      if (ui_) {
        ui_->SetCaption("Uploading to PC...");
        ui_->SetStatusLine("Please Wait a while.");
      }
      session_.StartReceive(this, port, receiveDir, zmodemArg);
      break;
    case kIdStop:
      // The dialog stays until the worker has seen the flag and finished.
      stopFlag_ = true;
      session_.RequestStop();
      break;
    default: break;
  }
}

void CTransferDlg::OnWorkerEnd() {
  finished_ = true;
  if (ui_) ui_->EndDialog();
}

void TransferUi::RunModal(CTransferDlg& dlg) { dlg.WaitForWorker(); }

void CTransferDlg::WaitForWorker() { session_.Join(); }

int CTransferDlg::DoModal() {
  OnInitDialog();
  if (session_.Started()) {
    if (ui_)
      ui_->RunModal(*this);
    else
      WaitForWorker();
    // A modal loop that ended before the worker (keyboard, close box) is a stop: the
    // worker sends its abort sequence and the outcome is a cancel, never a success.
    if (!finished_) Stop();
    session_.Join();
    if (session_.CancelResult() < 0) cancelResult_ = session_.CancelResult();
    data_ = session_.TakeData();
    dataLength_ = static_cast<int32_t>(data_.size());
  }
  return kIdOk;
}

}  // namespace pelagor
