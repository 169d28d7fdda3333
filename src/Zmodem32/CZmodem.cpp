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

void CZmodem::StartSend(CTransferDlg* host, SerialHandle port, const std::string& path, uint16_t value) {
  if (port == kNoSerialHandle || started_) return;
  AttachHandle(port);
  host_ = host;
  sendPath_ = ZCut(path, 255);
  mode_ = kModeSend;
  value_ = value;
  started_ = true;
  running_ = true;
  thread_ = std::thread(&CZmodem::SendZmodemThreadProc, this);
}

void CZmodem::StartReceive(CTransferDlg* host, SerialHandle port, const std::string& receiveDir, uint16_t value) {
  if (port == kNoSerialHandle || started_) return;
  AttachHandle(port);
  host_ = host;
  receiveDir_ = ZCut(receiveDir, 255);
  mode_ = kModeReceive;
  value_ = value;
  started_ = true;
  running_ = true;
  thread_ = std::thread(&CZmodem::ReceiveZmodemThreadProc, this);
}

void CZmodem::Join() {
  if (thread_.joinable()) thread_.join();
}

void CZmodem::SendZmodemThreadProc(CZmodem* session) { session->RunSend(); }

void CZmodem::ReceiveZmodemThreadProc(CZmodem* session) { session->RunReceive(); }

void CZmodem::RequestStop() {
  hostStop_ = true;
  stopRequested_ = true;
}

void CZmodem::ClearStop() {
  hostStop_ = false;
  stopRequested_ = false;
}

void CZmodem::AbortSession() {
  ShowStatus("  Send ZABORT...");
  // The whole sequence goes out in one write, so a line that no longer drains costs one
  // write wait, not one per piece; the bytes on the wire are the same.
  const uint8_t zero[4] = {0, 0, 0, 0};
  ClearTx();
  if (mode_ == kModeSend) {
    for (int i = 0; i < 4; ++i) AppendHexHeader(4, ZCAN, zero);
  } else {
    AppendHexHeader(4, ZABORT, zero);
    for (int i = 0; i < 10; ++i) PutRaw(CAN);
    PutRaw(0x0D);
  }
  for (int i = 0; i < 10; ++i) PutRaw(CAN);
  FlushTx();
}

void CZmodem::ShowProgress(int32_t position) {
  const int64_t total = mode_ == kModeSend ? state_.fileLength : state_.announcedSize;
  std::string text;
  int percent = 0;
  if (position != 0) {
    // 64-bit so files above 21 MB do not overflow the percentage.
    percent = total > 0 ? static_cast<int>(int64_t(position) * 100 / total) : 0;
    text = ZFormat("Transferring... : %ld / %ld bytes (%03d%%)", static_cast<long>(position), static_cast<long>(total),
                   percent);
  }
  if (ui_) {
    ui_->SetStatusLine(text);
    ui_->SetProgressPos(percent);
  }
}

void CZmodem::ShowFileName(const std::string& text) {
  if (ui_) ui_->SetFileName(text);
}

void CZmodem::ShowStatus(const std::string& text) {
  // Protocol steps are not shown by the dialog; a UI may trace them.
  if (ui_) ui_->StatusStep(text);
}

std::vector<uint8_t> CZmodem::TakeData() {
  std::vector<uint8_t> out = std::move(data_);
  data_.clear();
  haveData_ = false;
  out.resize(static_cast<size_t>(std::max<int32_t>(dataLength_, 0)));
  return out;
}

bool CZmodem::CountError() {
  ++state_.totalErrors;
  ++state_.errorCount;
  // A lost line ends the session like the error limit: retrying cannot help.
  return state_.errorCount > 100 || LineDown();
}

void CZmodem::SendPosHeader(int type, int32_t pos) {
  uint8_t hdr[4];
  StorePos(hdr, pos);
  SendHexHeader(4, type, hdr);
}

void CZmodem::BeginSession() {
  result_ = ZMODEM_OK;
  cancelResult_ = ZMODEM_OK;
  startTime_ = endTime_ = 0;
  ClearLineFailure();
  stallArmed_ = false;
  progressMark_ = 0;
}

}  // namespace pelagor
