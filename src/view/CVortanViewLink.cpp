// The link commands: connect (the port dialog), disconnect and the
// receiver-information query.

#include "view/CVortanView.h"

namespace pelagor {

void CVortanView::OnLinkConnect() {
  std::string message;
  const ConnectResult r =
      link_.Connect([this](CComPortDlg& dlg) { return ui_.RunDialog(&dlg) == DialogAnswer::kOk; }, &message);
  if (r == ConnectResult::kOpenFailed) ui_.ShowMessage(message, MessageIcon::kStop, MessageButtons::kOk);
}

void CVortanView::OnLinkDisconnect() { link_.Disconnect(); }

void CVortanView::OnReceiverInfo() {
  CSTBInfoDlg dlg;
  if (!link_.QueryInfo(dlg)) {
    ui_.ShowMessage(std::string(kStbNotConnectedText), MessageIcon::kNone, MessageButtons::kOk);
    return;
  }
  // An information window with OK alone: its answer carries nothing.
  static_cast<void>(ui_.RunDialog(&dlg));
}

}  // namespace pelagor
