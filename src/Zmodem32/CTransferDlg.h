#pragma once
// The host of one ZMODEM session without the toolkit: starts the worker, waits for it
// and collects the outcome and the received data.

#include "Zmodem32/CZmodem.h"
#include "Zmodem32/ZmodemResult.h"
#include "link/CSerialPort.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace pelagor {

class TransferUi;

// Toolkit-free host of one ZMODEM session: starts the worker, lets the UI run its modal
// loop, and collects the outcome only after the worker has ended. The Qt dialog and the
// CLI are TransferUi implementations around it.
class CTransferDlg {
 public:
  static constexpr int32_t kModeSend = 1000;
  static constexpr int32_t kModeReceive = 1001;
  static constexpr int kIdOk = 1;
  static constexpr int kIdStop = 3;
  static constexpr int kCmdStartSend = 39312;
  static constexpr int kCmdStartReceive = 39313;

  explicit CTransferDlg(TransferUi* ui = nullptr, LinkTiming timing = {});
  ~CTransferDlg();
  CTransferDlg(const CTransferDlg&) = delete;
  CTransferDlg& operator=(const CTransferDlg&) = delete;

  SerialHandle port = kNoSerialHandle;
  std::string receiveDir;
  std::string sendPath;
  int32_t mode = 0;
  uint16_t zmodemArg = 0;

  // Runs the session to its end; returns kIdOk.
  int DoModal();
  void OnInitDialog();
  void OnCommand(int id);
  // Stop button, Esc, Enter or the close box; safe from any thread and from a signal handler.
  void Stop() { OnCommand(kIdStop); }
  // Blocks the calling thread until the worker has ended.
  void WaitForWorker();
  // Called by the worker when it has finished (the posted IDOK).
  void OnWorkerEnd();

  bool StopFlag() const { return stopFlag_.load(); }
  bool Finished() const { return finished_.load(); }
  ZmodemCode CancelResult() const { return cancelResult_; }
  void SetCancelResult(ZmodemCode r) { cancelResult_ = r; }
  // Received data and length, valid after DoModal; the caller takes them.
  std::vector<uint8_t>& Data() { return data_; }
  int32_t DataLength() const { return dataLength_; }
  CZmodem& Session() { return session_; }
  TransferUi* Ui() { return ui_; }

 private:
  TransferUi* ui_;
  CZmodem session_;
  std::atomic<bool> stopFlag_{false};
  std::atomic<bool> finished_{false};
  ZmodemCode cancelResult_ = ZMODEM_OK;
  std::vector<uint8_t> data_;
  int32_t dataLength_ = 0;
};

}  // namespace pelagor
