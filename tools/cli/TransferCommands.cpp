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
#include <optional>
#include <string>
#include <system_error>

#include "CliSupport.h"
#include "LinkCommands.h"
#include "Zmodem32/CTransferDlg.h"
#include "Zmodem32/ReceiverTransfer.h"
#include "Zmodem32/TransferUi.h"
#include "link/CLinkPort.h"

namespace pelagor::cli {

namespace {

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
  TerminalTransferUi() : shown_(::isatty(STDERR_FILENO) == 1) {}
  ~TerminalTransferUi() override {
    if (shown_ && written_) std::fputs("\n", stderr);
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
    if (!shown_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    // Clear to the end of the line: a shorter text replaces a longer one.
    std::fprintf(stderr, "\r%s\x1b[K", text.c_str());
    std::fflush(stderr);
    written_ = true;
  }

  bool shown_;
  bool written_ = false;
  std::mutex mutex_;
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

// A failure's text on standard error with status 1; a success's text, if it
// has one, on standard output.
int Report(const TransferOutcome& outcome) {
  if (!outcome.Succeeded()) {
    std::cerr << outcome.message << '\n';
    return kExitFailed;
  }
  if (!outcome.message.empty()) std::cout << outcome.message << '\n';
  return 0;
}

int RunDownload(const TransferOptions& o) {
  // Checked before the port is opened too: a file that cannot be read sends
  // nothing, and its message comes first whatever the port.
  if (std::optional<TransferOutcome> refused = CheckFileToSend(o.file)) return Report(*refused);
  const LinkTiming timing = TimingFor(o);
  CLinkPort link(timing);
  if (!ConnectOrReport(link, o.port, std::cerr)) return kExitFailed;
  TransferOutcome outcome;
  {
    // Its last line ends before the outcome is printed.
    TerminalTransferUi ui;
    outcome = DownloadToReceiver(link.Port(), true, o.file, &ui, timing);
  }
  link.Disconnect();
  return Report(outcome);
}

int RunUpload(const TransferOptions& o) {
  const LinkTiming timing = TimingFor(o);
  CLinkPort link(timing);
  if (!ConnectOrReport(link, o.port, std::cerr)) return kExitFailed;
  TransferOutcome outcome;
  {
    TerminalTransferUi ui;
    outcome = UploadFromReceiver(link.Port(), !o.noAnnounce, &ui, timing);
  }
  link.Disconnect();
  if (!outcome.Succeeded()) return Report(outcome);
  // Whole or nothing: a failed write leaves no half file under the name.
  const std::string temp = o.file + ".part";
  bool written = false;
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    if (f) {
      f.write(reinterpret_cast<const char*>(outcome.data.data()), std::streamsize(outcome.data.size()));
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
