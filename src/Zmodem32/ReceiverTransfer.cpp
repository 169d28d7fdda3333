#include "Zmodem32/ReceiverTransfer.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "Zmodem32/ZmodemResult.h"
#include "Zmodem32/ZmodemTransfer.h"
#include "link/ReceiverProtocol.h"

namespace pelagor {

namespace {

// The value each direction hands to the entry functions.
constexpr uint16_t kSendValue = 0;
constexpr uint16_t kReceiveValue = 16;

constexpr const char* kDownloadSuccessText =
    "Download Success !\n\nDo not power off the receiver until reboot automatically !";

TransferStatus StatusOf(int32_t code) {
  if (code == ZMODEM_OK) return TransferStatus::kSucceeded;
  if (code == ZMODEM_CANCELLED) return TransferStatus::kCancelled;
  return TransferStatus::kFailed;
}

// The receiver never answers the frame, so there is nothing to check; a line
// that fails shows in the session that follows.
void Announce(CSerialPort& port, uint8_t code) { static_cast<void>(SendUartCommand(port, code)); }

}  // namespace

std::optional<TransferOutcome> CheckFileToSend(const std::string& path) {
  std::error_code ec;
  bool opens = !std::filesystem::is_directory(path, ec);
  if (opens) {
    std::ifstream f(path, std::ios::binary);
    opens = f.is_open();
  }
  if (opens) return std::nullopt;
  TransferOutcome refused;
  refused.code = ZMODEM_TX_FILE_OPEN;
  refused.status = TransferStatus::kFailed;
  refused.message = "File Open Failed !";
  return refused;
}

TransferOutcome DownloadToReceiver(CSerialPort& port, bool announce, const std::string& path, TransferUi* ui,
                                   const LinkTiming& timing, const std::function<std::string()>& sessionPath) {
  if (std::optional<TransferOutcome> refused = CheckFileToSend(path)) return std::move(*refused);
  if (announce) Announce(port, UART_CMD_START_ZMODEM_DOWNLOAD);
  const std::string sendPath = sessionPath ? sessionPath() : path;
  ZmodemResult result;
  TransferOutcome outcome;
  outcome.code = ZmodemSendFile(port.Handle(), sendPath, kSendValue, &result, ui, timing);
  port.PurgeAll();
  outcome.status = StatusOf(outcome.code);
  switch (outcome.status) {
    case TransferStatus::kSucceeded: outcome.message = kDownloadSuccessText; break;
    case TransferStatus::kCancelled: outcome.message = "Download Cancelled !"; break;
    case TransferStatus::kFailed: outcome.message = "Download Failed !"; break;
  }
  return outcome;
}

TransferOutcome UploadFromReceiver(CSerialPort& port, bool announce, TransferUi* ui, const LinkTiming& timing) {
  if (announce) Announce(port, UART_CMD_START_ZMODEM_UPLOAD);
  ZmodemResult result;
  TransferOutcome outcome;
  outcome.code = ZmodemReceiveFile(port.Handle(), "", kReceiveValue, &result, ui, timing);
  port.PurgeAll();
  outcome.status = StatusOf(outcome.code);
  switch (outcome.status) {
    case TransferStatus::kSucceeded: outcome.data = std::move(result.data); break;
    case TransferStatus::kCancelled: outcome.message = "Upload Cancelled !"; break;
    case TransferStatus::kFailed: outcome.message = "Upload Error !"; break;
  }
  return outcome;
}

}  // namespace pelagor
