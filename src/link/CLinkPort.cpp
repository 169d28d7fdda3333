#include "link/CLinkPort.h"

#include <utility>

#include "link/SerialPortList.h"

namespace pelagor {

CLinkPort::CLinkPort(LinkTiming timing, PortNaming naming) : port_(std::move(timing)), naming_(naming) {
  portName_ = naming_ == PortNaming::kComNumber ? "COM1" : CSerialPort::DeviceName(1);
}

CComPortDlg CLinkPort::MakePortDialog(std::vector<std::string> ports) const {
  CComPortDlg dlg(naming_);
  dlg.portNumber = portNumber_;
  dlg.portName = portName_;
  dlg.InitPortList(std::move(ports));
  return dlg;
}

CComPortDlg CLinkPort::MakePortDialog() const { return MakePortDialog(EnumerateSerialPorts()); }

ConnectResult CLinkPort::ConnectWith(CComPortDlg& dlg, std::string* message) {
  if (connected_) return ConnectResult::kAlreadyConnected;
  if (!dlg.OnOK()) return ConnectResult::kNoPortChosen;
  portNumber_ = dlg.portNumber;
  portName_ = dlg.portName;
  const bool opened =
      naming_ == PortNaming::kComNumber ? port_.OpenPort(portNumber_, message) : port_.OpenPort(portName_, message);
  connected_ = opened && port_.IsOpen();
  return connected_ ? ConnectResult::kConnected : ConnectResult::kOpenFailed;
}

ConnectResult CLinkPort::Connect(const std::function<bool(CComPortDlg&)>& runDialog, std::string* message) {
  if (connected_) return ConnectResult::kAlreadyConnected;
  CComPortDlg dlg = MakePortDialog();
  if (!runDialog || !runDialog(dlg)) return ConnectResult::kCancelled;
  return ConnectWith(dlg, message);
}

void CLinkPort::Disconnect() {
  connected_ = false;
  port_.ClosePort();
}

bool CLinkPort::QueryInfo(CSTBInfoDlg& dlg) {
  ReceiverInfoBlock block{};
  if (!QueryReceiverInfo(port_, block)) return false;
  dlg.SetFromBlock(block);
  return true;
}

}  // namespace pelagor
