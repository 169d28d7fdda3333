#include "Zmodem32/CTransferDlg.h"

#include "Zmodem32/TransferUi.h"

namespace pelagor {

CTransferDlg::CTransferDlg(TransferUi* ui, LinkTiming timing) : m_ui(ui), m_session(timing) {}

CTransferDlg::~CTransferDlg() {
  m_session.RequestStop();
  m_session.Join();
}

void CTransferDlg::OnInitDialog() {
  m_stopFlag = false;
  m_finished = false;
  m_session.ClearStop();
  m_session.SetUi(m_ui);
  if (mode == kModeSend)
    OnCommand(kCmdStartSend);
  else if (mode == kModeReceive)
    OnCommand(kCmdStartReceive);
}

void CTransferDlg::OnCommand(int id) {
  switch (id) {
    case kCmdStartSend:
      if (m_ui) m_ui->SetCaption("Downloading to STB...");
      m_session.StartSend(this, port, sendPath, zmodemArg);
      break;
    case kCmdStartReceive:
      if (m_ui) {
        m_ui->SetCaption("Uploading to PC...");
        m_ui->SetStatusLine("Please Wait a while.");
      }
      m_session.StartReceive(this, port, receiveDir, zmodemArg);
      break;
    case kIdStop:
      // The dialog stays until the worker has seen the flag and finished.
      m_stopFlag = true;
      m_session.RequestStop();
      break;
    default: break;
  }
}

void CTransferDlg::OnWorkerEnd() {
  m_finished = true;
  if (m_ui) m_ui->EndDialog();
}

void TransferUi::RunModal(CTransferDlg& dlg) { dlg.WaitForWorker(); }

void CTransferDlg::WaitForWorker() { m_session.Join(); }

int CTransferDlg::DoModal() {
  OnInitDialog();
  if (m_session.Started()) {
    if (m_ui)
      m_ui->RunModal(*this);
    else
      WaitForWorker();
    // A modal loop that ended before the worker (keyboard, close box) is a stop: the
    // worker sends its abort sequence and the outcome is a cancel, never a success.
    if (!m_finished) Stop();
    m_session.Join();
    if (m_session.CancelResult() < 0) m_cancelResult = m_session.CancelResult();
    m_data = m_session.TakeData();
    m_dataLength = static_cast<int32_t>(m_data.size());
  }
  return kIdOk;
}

}  // namespace pelagor
