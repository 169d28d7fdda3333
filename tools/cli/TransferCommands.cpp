#include "TransferCommands.h"

#include <unistd.h>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <signal.h>
#endif

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>

#include "CliSupport.h"
#include "LinkCommands.h"
#include "Zmodem32/CTransferDlg.h"
#include "Zmodem32/TransferUi.h"
#include "Zmodem32/ZmodemResult.h"
#include "Zmodem32/ZmodemTransfer.h"
#include "link/CLinkPort.h"
#include "link/ReceiverProtocol.h"

namespace pelagor::cli {

namespace {

constexpr const char* kDownloadSuccessText =
    "Download Success !\n\nDo not power off the receiver until reboot automatically !";

// The session Ctrl+C stops; set only while one runs.
std::atomic<CTransferDlg*> gRunning{nullptr};

void OnInterrupt(int) {
  // Stop only stores atomics: safe here.
  if (CTransferDlg* dlg = gRunning.load()) dlg->Stop();
}

#ifdef _WIN32
// Windows has no SIGINT handler worth the name: Ctrl+C and Ctrl+Break come to a
// console handler, on a thread of their own.
BOOL WINAPI OnConsoleCtrl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  OnInterrupt(0);
  return TRUE;
}
#endif

// The transfer dialog of a terminal: one line, rewritten in place, on
// standard error when that is a terminal; nothing otherwise.
class TerminalTransferUi : public TransferUi {
 public:
  TerminalTransferUi() : m_shown(::isatty(STDERR_FILENO) == 1) {}
  ~TerminalTransferUi() override {
    if (m_shown && m_written) std::fputs("\n", stderr);
  }
  void SetCaption(const std::string& text) override { Line(text); }
  void SetLabel(const std::string&) override {}
  void SetFileName(const std::string&) override {}
  void SetStatusLine(const std::string& text) override {
    if (!text.empty()) Line(text);
  }
  void SetProgressRange(int, int) override {}
  void SetProgressPos(int) override {}
  void EndDialog() override {}
  void RunModal(CTransferDlg& dlg) override {
    gRunning = &dlg;
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleCtrl, TRUE);
    dlg.WaitForWorker();
    SetConsoleCtrlHandler(OnConsoleCtrl, FALSE);
#else
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    struct sigaction old {};
    ::sigaction(SIGINT, &sa, &old);
    dlg.WaitForWorker();
    ::sigaction(SIGINT, &old, nullptr);
#endif
    gRunning = nullptr;
  }

 private:
  void Line(const std::string& text) {
    if (!m_shown) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    // Clear to the end of the line: a shorter text replaces a longer one.
    std::fprintf(stderr, "\r%s\x1b[K", text.c_str());
    std::fflush(stderr);
    m_written = true;
  }

  bool m_shown;
  bool m_written = false;
  std::mutex m_mutex;
};

struct TransferOptions {
  std::string port;
  std::string file;
  bool noAnnounce = false;
  long byteWaitMs = 14000;
};

LinkTiming TimingFor(const TransferOptions& o) {
  LinkTiming t;
  const long poll = long(t.zmodemBytePollMs);
  if (o.byteWaitMs < poll) t.zmodemBytePollMs = uint32_t(std::max(1L, o.byteWaitMs));
  t.zmodemBytePollCount = uint32_t(std::max(1L, o.byteWaitMs / long(t.zmodemBytePollMs)));
  return t;
}

bool CanOpenForReading(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  std::ifstream f(path, std::ios::binary);
  return f.is_open();
}

int RunDownload(const TransferOptions& o) {
  // Checked first: a file that cannot be read sends nothing, not even the frame.
  if (!CanOpenForReading(o.file)) {
    std::cerr << "File Open Failed !\n";
    return kExitFailed;
  }
  const LinkTiming timing = TimingFor(o);
  CLinkPort link(timing);
  if (!ConnectOrReport(link, o.port, std::cerr)) return kExitFailed;
  CSerialPort& port = link.Port();
  SendUartCommand(port, UART_CMD_START_ZMODEM_DOWNLOAD);
  ZmodemResult result;
  int32_t code = 0;
  {
    TerminalTransferUi ui;
    code = ZmodemSendFile(port.Handle(), o.file, 0, &result, &ui, timing);
  }
  port.PurgeAll();
  link.Disconnect();
  if (code == ZMODEM_OK) {
    std::cout << kDownloadSuccessText << '\n';
    return 0;
  }
  std::cerr << (code == ZMODEM_CANCELLED ? "Download Cancelled !" : "Download Failed !") << '\n';
  return kExitFailed;
}

int RunUpload(const TransferOptions& o) {
  const LinkTiming timing = TimingFor(o);
  CLinkPort link(timing);
  if (!ConnectOrReport(link, o.port, std::cerr)) return kExitFailed;
  CSerialPort& port = link.Port();
  if (!o.noAnnounce) SendUartCommand(port, UART_CMD_START_ZMODEM_UPLOAD);
  ZmodemResult result;
  int32_t code = 0;
  {
    TerminalTransferUi ui;
    code = ZmodemReceiveFile(port.Handle(), "", 16, &result, &ui, timing);
  }
  port.PurgeAll();
  link.Disconnect();
  if (code != ZMODEM_OK) {
    std::cerr << (code == ZMODEM_CANCELLED ? "Upload Cancelled !" : "Upload Error !") << '\n';
    return kExitFailed;
  }
  // Whole or nothing: a failed write leaves no half file under the name.
  const std::string temp = o.file + ".part";
  bool written = false;
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    if (f) {
      f.write(reinterpret_cast<const char*>(result.data.data()), std::streamsize(result.data.size()));
      written = bool(f.flush());
    }
  }
  std::error_code ec;
  if (written) std::filesystem::rename(temp, o.file, ec);
  if (!written || ec) {
    std::filesystem::remove(temp, ec);
    std::cerr << kFileWriteErrorText << '\n';
    return kExitFailed;
  }
  return 0;
}

void AddCommon(CLI::App* cmd, TransferOptions& o) {
  cmd->add_option("--port", o.port, "Serial device (COMn on Windows)")->required();
  cmd->add_option("--byte-wait-ms", o.byteWaitMs, "Wait for a byte on a silent line, in ms")
      ->check(CLI::Range(1L, 14000L));
}

}  // namespace

void AddTransferCommands(CLI::App& app) {
  auto download = app.add_subcommand("download", "Send a file to the receiver by ZMODEM");
  auto dOpts = std::make_shared<TransferOptions>();
  AddCommon(download, *dOpts);
  download->add_option("FILE", dOpts->file, "File to send")->required();
  download->callback([dOpts] {
    const int rc = RunDownload(*dOpts);
    if (rc != 0) throw CLI::RuntimeError(rc);
  });

  auto upload = app.add_subcommand("upload", "Receive the receiver's data into a file by ZMODEM");
  auto uOpts = std::make_shared<TransferOptions>();
  AddCommon(upload, *uOpts);
  upload->add_option("OUT", uOpts->file, "File to write")->required();
  upload->add_flag("--no-announce", uOpts->noAnnounce, "Send no announcement frame (the receiver sends at once)");
  upload->callback([uOpts] {
    const int rc = RunUpload(*uOpts);
    if (rc != 0) throw CLI::RuntimeError(rc);
  });
}

}  // namespace pelagor::cli
