#include "link/CLinkPort.h"

#include <utility>

#include "link/SerialPortList.h"

namespace pelagor {

CLinkPort::CLinkPort(LinkTiming timing, PortNaming naming) : m_port(std::move(timing)), m_naming(naming) {
  m_portName = m_naming == PortNaming::kComNumber ? "COM1" : ::CSerialPort::DeviceName(1);
}

CComPortDlg CLinkPort::MakePortDialog(std::vector<std::string> ports) const {
  CComPortDlg dlg(m_naming);
  dlg.m_nPort = m_portNumber;
  dlg.m_strPort = m_portName;
  dlg.InitPortList(std::move(ports));
  return dlg;
}

CComPortDlg CLinkPort::MakePortDialog() const { return MakePortDialog(EnumerateSerialPorts()); }

ConnectResult CLinkPort::ConnectWith(CComPortDlg& dlg, std::string* message) {
  if (m_connected) return ConnectResult::kAlreadyConnected;
  if (!dlg.OnOK()) return ConnectResult::kNoPortChosen;
  m_portNumber = dlg.m_nPort;
  m_portName = dlg.m_strPort;
  const bool opened = m_naming == PortNaming::kComNumber ? m_port.OpenPort(m_portNumber, message)
                                                         : m_port.OpenPort(m_portName, message);
  m_connected = opened && m_port.IsOpen();
  return m_connected ? ConnectResult::kConnected : ConnectResult::kOpenFailed;
}

ConnectResult CLinkPort::Connect(const std::function<bool(CComPortDlg&)>& runDialog, std::string* message) {
  if (m_connected) return ConnectResult::kAlreadyConnected;
  CComPortDlg dlg = MakePortDialog();
  if (!runDialog || !runDialog(dlg)) return ConnectResult::kCancelled;
  return ConnectWith(dlg, message);
}

void CLinkPort::Disconnect() {
  m_connected = false;
  m_port.ClosePort();
}

bool CLinkPort::QueryInfo(CSTBInfoDlg& dlg) {
  ReceiverInfoBlock block{};
  if (!QueryReceiverInfo(m_port, block)) return false;
  dlg.SetFromBlock(block);
  return true;
}

}  // namespace pelagor
