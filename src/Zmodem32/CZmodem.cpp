// Session control shared by the sender and the receiver: the worker thread, the abort
// sequence, the display hooks and the stop flags.
#include "Zmodem32/CZmodem.h"

#include "Zmodem32/CTransferDlg.h"
#include "Zmodem32/TransferUi.h"
#include "Zmodem32/ZmodemFormat.h"
#include "Zmodem32/ZmodemProtocol.h"

#include <algorithm>

namespace pelagor {

CZmodem::CZmodem(LinkTiming timing) : CSerialPort(timing) {}

CZmodem::~CZmodem() {
  // A worker still running is told to stop and waited for; it never outlives its session.
  RequestStop();
  Join();
  DetachHandle();
}

int CZmodem::StartSend(CTransferDlg* host, SerialHandle port, const std::string& path, uint16_t value) {
  if (port == kNoSerialHandle || m_started) return 1;
  AttachHandle(port);
  m_host = host;
  m_sendPath = ZCut(path, 255);
  m_mode = kModeSend;
  m_value = value;
  m_started = true;
  m_running = true;
  m_thread = std::thread(&CZmodem::SendZmodemThreadProc, this);
  return 1;
}

int CZmodem::StartReceive(CTransferDlg* host, SerialHandle port, const std::string& receiveDir, uint16_t value) {
  if (port == kNoSerialHandle || m_started) return 1;
  AttachHandle(port);
  m_host = host;
  m_receiveDir = ZCut(receiveDir, 255);
  m_mode = kModeReceive;
  m_value = value;
  m_started = true;
  m_running = true;
  m_thread = std::thread(&CZmodem::ReceiveZmodemThreadProc, this);
  return 1;
}

void CZmodem::Join() {
  if (m_thread.joinable()) m_thread.join();
}

void CZmodem::SendZmodemThreadProc(CZmodem* session) { session->RunSend(); }

void CZmodem::ReceiveZmodemThreadProc(CZmodem* session) { session->RunReceive(); }

void CZmodem::RequestStop() {
  m_hostStop = true;
  m_stopRequested = true;
}

void CZmodem::ClearStop() {
  m_hostStop = false;
  m_stopRequested = false;
}

int CZmodem::AbortSession() {
  ShowStatus("  Send ZABORT...");
  // The whole sequence goes out in one write, so a line that no longer drains costs one
  // write wait, not one per piece; the bytes on the wire are the same.
  const uint8_t zero[4] = {0, 0, 0, 0};
  ClearTx();
  if (m_mode == kModeSend) {
    for (int i = 0; i < 4; ++i) AppendHexHeader(4, ZCAN, zero);
  } else {
    AppendHexHeader(4, ZABORT, zero);
    for (int i = 0; i < 10; ++i) PutRaw(CAN);
    PutRaw(0x0D);
  }
  for (int i = 0; i < 10; ++i) PutRaw(CAN);
  FlushTx();
  return 0;
}

void CZmodem::ShowProgress(int32_t position) {
  const int64_t total = m_mode == kModeSend ? m_state.fileLength : m_state.announcedSize;
  std::string text;
  int percent = 0;
  if (position != 0) {
    // 64-bit so files above 21 MB do not overflow the percentage.
    percent = total > 0 ? static_cast<int>(int64_t(position) * 100 / total) : 0;
    text = ZFormat("Transferring... : %ld / %ld bytes (%03d%%)", static_cast<long>(position), static_cast<long>(total),
                   percent);
  }
  if (m_ui) {
    m_ui->SetStatusLine(text);
    m_ui->SetProgressPos(percent);
  }
}

void CZmodem::ShowFileName(const std::string& text) {
  if (m_ui) m_ui->SetFileName(text);
}

void CZmodem::ShowStatus(const std::string& text) {
  // Protocol steps are not shown by the dialog; a UI may trace them.
  if (m_ui) m_ui->StatusStep(text);
}

std::vector<uint8_t> CZmodem::TakeData() {
  std::vector<uint8_t> out = std::move(m_data);
  m_data.clear();
  m_haveData = false;
  out.resize(static_cast<size_t>(std::max<int32_t>(m_dataLength, 0)));
  return out;
}

bool CZmodem::CountError() {
  ++m_state.totalErrors;
  ++m_state.errorCount;
  // A lost line ends the session like the error limit: retrying cannot help.
  return m_state.errorCount > 100 || LineDown();
}

void CZmodem::SendPosHeader(int type, int32_t pos) {
  uint8_t hdr[4];
  StorePos(hdr, pos);
  SendHexHeader(4, type, hdr);
}

}  // namespace pelagor
