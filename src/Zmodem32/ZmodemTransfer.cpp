#include "Zmodem32/ZmodemTransfer.h"

#include "Zmodem32/CTransferDlg.h"

namespace pelagor {

namespace {

ZmodemCode RunTransfer(bool sending, SerialHandle port, const std::string& path, uint16_t value, ZmodemResult* out,
                       TransferUi* ui, const LinkTiming& timing) {
  CTransferDlg dlg(ui, timing);
  dlg.port = port;
  dlg.mode = sending ? CTransferDlg::kModeSend : CTransferDlg::kModeReceive;
  dlg.zmodemArg = value;
  if (sending)
    dlg.sendPath = path;
  else
    dlg.receiveDir = path;
  dlg.SetCancelResult(ZMODEM_OK);
  dlg.DoModal();

  CZmodem& s = dlg.Session();
  ZmodemResult r;
  if (!sending) r.receivedNames = s.ReceivedNames();
  r.startTime = s.StartTime();
  r.endTime = s.EndTime();
  r.bytesTransferred = s.State().bytesTransferred;
  r.totalErrors = s.State().totalErrors;
  // Without a port nothing ran; that must not read as a success.
  r.result = s.Started() ? s.Result() : ZMODEM_NO_PORT;
  if (dlg.CancelResult() < 0) r.result = ZMODEM_CANCELLED;
  if (!sending && r.result == ZMODEM_OK) {
    r.data = std::move(dlg.Data());
    r.dataLength = static_cast<int32_t>(r.data.size());
  }
  const ZmodemCode code = r.result;
  if (out) *out = std::move(r);
  return code;
}

}  // namespace

ZmodemCode ZmodemSendFile(SerialHandle port, const std::string& path, uint16_t value, ZmodemResult* result,
                          TransferUi* ui, const LinkTiming& timing) {
  return RunTransfer(true, port, path, value, result, ui, timing);
}

ZmodemCode ZmodemReceiveFile(SerialHandle port, const std::string& receiveDir, uint16_t value, ZmodemResult* result,
                             TransferUi* ui, const LinkTiming& timing) {
  return RunTransfer(false, port, receiveDir, value, result, ui, timing);
}

}  // namespace pelagor
