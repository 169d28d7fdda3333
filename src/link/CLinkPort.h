#pragma once
// The view's link port: the serial port with its connected flag and chosen port,
// and the work of the three link commands Connect, Disconnect and Receiver
// Information, all without the toolkit. Their ids, enabling and prompts are
// the view's.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "link/CComPortDlg.h"
#include "link/CSTBInfoDlg.h"
#include "link/CSerialPort.h"

namespace pelagor {

inline constexpr std::string_view kStbNotConnectedText = "STB not connected or Version not supported !!!";

enum class [[nodiscard]] ConnectResult{
    kConnected,
    kCancelled,         // dialog not ended with OK: nothing changed
    kNoPortChosen,      // OK on an empty list with nothing typed: nothing changed
    kOpenFailed,        // port chosen but not opened; the message says which
    kAlreadyConnected,  // Connect is disabled while connected
};

class CLinkPort {
 public:
  explicit CLinkPort(LinkTiming timing = {}, PortNaming naming = kHostPortNaming);

  CSerialPort& Port() { return port_; }
  bool Connected() const { return connected_; }
  int PortNumber() const { return portNumber_; }
  // The device the next Connect opens by default: "COMn" or a device path.
  const std::string& PortName() const { return portName_; }

  // Connect, step 1: the port dialog preset with the current port and filled
  // with the given ports (the host's by default).
  CComPortDlg MakePortDialog(std::vector<std::string> ports) const;
  CComPortDlg MakePortDialog() const;
  // Connect, step 3, after the dialog ended with OK: takes its port and opens it.
  // On kOpenFailed, message holds "Can not open ... !" for a modal error box.
  ConnectResult ConnectWith(CComPortDlg& dlg, std::string* message);
  // The whole command: runDialog shows the dialog modally and answers true for OK.
  ConnectResult Connect(const std::function<bool(CComPortDlg&)>& runDialog, std::string* message);
  void Disconnect();

  // Receiver Information: true with dlg filled from the receiver's block; false
  // when no whole block arrived: show kStbNotConnectedText (OK button, no icon).
  [[nodiscard]] bool QueryInfo(CSTBInfoDlg& dlg);

 private:
  CSerialPort port_;
  PortNaming naming_;
  bool connected_ = false;
  int portNumber_ = 1;
  std::string portName_;
};

}  // namespace pelagor
