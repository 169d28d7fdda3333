#pragma once
// One transfer with the receiver from start to end, as the editor and the CLI
// both run it: the open check of a file to send, the announcement frame, the
// ZMODEM session, the purge of the port, and the outcome with the text the
// user is shown. Showing that text, and everything the caller does around the
// transfer (saving first, folders, loading or writing the received bytes), is
// the caller's.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/CSerialPort.h"
#include "link/LinkTiming.h"

namespace pelagor {

class TransferUi;

enum class TransferStatus {
  kSucceeded,
  kCancelled,  // stopped by the user, or cancelled inside the data
  kFailed,     // refused file, peer abort, error limit, lost line
};

// What a transfer ended with. code is the ZMODEM outcome code of the session
// (ZMODEM_TX_FILE_OPEN when the file to send failed the open check and nothing
// was started). message is the exact text for the user; it is empty after a
// successful receive, whose bytes are for the caller to judge. data holds the
// received bytes (receive only, success only).
struct TransferOutcome {
  int32_t code = 0;
  TransferStatus status = TransferStatus::kFailed;
  std::string message;
  std::vector<uint8_t> data;

  bool Succeeded() const { return status == TransferStatus::kSucceeded; }
};

// The open check a download starts with: nothing when path opens for reading
// (a folder does not), else the "File Open Failed !" outcome. For a caller that
// must refuse the file before it even opens the port.
[[nodiscard]] std::optional<TransferOutcome> CheckFileToSend(const std::string& path);

// A file to the receiver: the open check of path first (a refused file sends
// nothing at all, not even the announcement, and leaves the port untouched);
// then the announcement frame when announce is set; then sessionPath, when
// given, which returns the path the session opens instead of path (the editor
// changes into the file's folder there and sends the name alone); then the
// ZMODEM send and the purge of both directions of the port, whatever the
// outcome. Texts: "Download Success !\n\nDo not power off the receiver until
// reboot automatically !", "Download Cancelled !", "Download Failed !".
[[nodiscard]] TransferOutcome DownloadToReceiver(CSerialPort& port, bool announce, const std::string& path,
                                                 TransferUi* ui, const LinkTiming& timing,
                                                 const std::function<std::string()>& sessionPath = {});

// The receiver's data to us: the announcement frame when announce is set, the
// ZMODEM receive, the purge of the port. Texts: none on success,
// "Upload Cancelled !", "Upload Error !".
[[nodiscard]] TransferOutcome UploadFromReceiver(CSerialPort& port, bool announce, TransferUi* ui,
                                                 const LinkTiming& timing);

}  // namespace pelagor
