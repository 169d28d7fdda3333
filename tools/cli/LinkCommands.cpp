#include "LinkCommands.h"

#include <iostream>
#include <memory>

#include "link/CComPortDlg.h"
#include "link/CLinkPort.h"
#include "link/CSTBInfoDlg.h"
#include "link/SerialPortList.h"

namespace pelagor::cli {

namespace {

constexpr int kLinkExitFailed = 1;

// Receiver text as UTF-8 (bytes from 0x80 read as ISO 8859-1); control bytes
// become '?' so a receiver's reply cannot drive the terminal.
std::string Printable(const std::string& bytes) {
  std::string out;
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b == 0x7F) {
      out += '?';
    } else if (b < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

}  // namespace

int RunPorts(std::ostream& out) {
  for (const std::string& port : EnumerateSerialPorts()) out << port << '\n';
  return 0;
}

bool ConnectOrReport(CLinkPort& link, const std::string& port, std::ostream& err) {
  // The port dialog's own conversion, fed with the typed name.
  CComPortDlg dlg = link.MakePortDialog({});
  if (dlg.Editable()) {
    dlg.SetPortText(port);
  } else {
    const bool bare = !port.empty() && port.find_first_not_of("0123456789") == std::string::npos;
    dlg.InitPortList({bare ? "COM" + port : port});
  }
  std::string message;
  switch (link.ConnectWith(dlg, &message)) {
    case ConnectResult::kConnected: return true;
    case ConnectResult::kOpenFailed: err << message << '\n'; return false;
    default: err << "Can not open " << port << " !\n"; return false;
  }
}

int RunStbInfo(const std::string& port, std::ostream& out, std::ostream& err, const LinkTiming& timing) {
  CLinkPort link(timing);
  if (!ConnectOrReport(link, port, err)) return kLinkExitFailed;
  CSTBInfoDlg info;
  const bool ok = link.QueryInfo(info);
  link.Disconnect();
  if (!ok) {
    err << kStbNotConnectedText << '\n';
    return kLinkExitFailed;
  }
  out << CSTBInfoDlg::kModelLabel << ": " << Printable(info.model) << '\n'
      << CSTBInfoDlg::kBootLabel << ": " << Printable(info.bootVersion) << '\n'
      << CSTBInfoDlg::kMainLabel << ": " << Printable(info.mainVersion) << '\n';
  return 0;
}

void AddLinkCommands(CLI::App& app) { AddLinkCommands(app, std::cout, std::cerr, LinkTiming{}); }

void AddLinkCommands(CLI::App& app, std::ostream& out, std::ostream& err, LinkTiming timing) {
  auto* ports = app.add_subcommand("ports", "List the serial ports present");
  ports->callback([&out] {
    const int rc = RunPorts(out);
    if (rc != 0) throw CLI::RuntimeError(rc);
  });

  auto* info = app.add_subcommand("stb-info", "Show the receiver's model and software versions");
  auto port = std::make_shared<std::string>();
  info->add_option("--port", *port, "Serial device (COMn on Windows)")->required();
  info->callback([port, &out, &err, timing] {
    const int rc = RunStbInfo(*port, out, err, timing);
    if (rc != 0) throw CLI::RuntimeError(rc);
  });
}

}  // namespace pelagor::cli
