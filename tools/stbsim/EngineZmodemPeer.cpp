#include "EngineZmodemPeer.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>
#include <utility>

#include "Zmodem32/CTransferDlg.h"
#include "Zmodem32/TransferUi.h"
#include "Zmodem32/ZmodemResult.h"
#include "Zmodem32/ZmodemTransfer.h"

namespace pelagor {

namespace {

// No screen: the session only has to notice the simulator's own stop.
class StopWatchUi : public TransferUi {
 public:
  StopWatchUi(const volatile std::sig_atomic_t* stop, bool trace) : stop_(stop), trace_(trace) {}
  void SetCaption(const std::string&) override {}
  void SetLabel(const std::string&) override {}
  void SetFileName(const std::string&) override {}
  void SetStatusLine(const std::string&) override {}
  void SetProgressRange(int, int) override {}
  void SetProgressPos(int) override {}
  void EndDialog() override {}
  void StatusStep(const std::string& t) override {
    if (trace_) std::fprintf(stderr, "pelagor-stbsim: %s\n", t.c_str());
  }
  void RunModal(CTransferDlg& dlg) override {
    while (!dlg.Finished()) {
      if (stop_ && *stop_) {
        dlg.Stop();
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

 private:
  const volatile std::sig_atomic_t* stop_;
  bool trace_;
};

}  // namespace

std::string WriteChannelFile(const StbChannelStore& store, const std::string& dir) {
  const std::string path = dir + "/" + kStbChannelFileName;
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  const auto& bytes = store.ChannelData();
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return f.flush() ? path : std::string();
}

EngineZmodemPeer::EngineZmodemPeer(StbChannelStore& store, LinkTiming timing, std::string workDir,
                                   const volatile std::sig_atomic_t* stop, bool trace)
    : store_(store), timing_(std::move(timing)), workDir_(std::move(workDir)), stop_(stop), trace_(trace) {}

int EngineZmodemPeer::ReceiveFromPc(int fd) {
  StopWatchUi ui(stop_, trace_);
  ZmodemResult r;
  // No receive directory: the PC's file name never touches our disk.
  const int32_t code = ZmodemReceiveFile(fd, "", 16, &r, &ui, timing_);
  if (code == ZMODEM_OK) store_.TakeReceived(r.data);
  return code;
}

int EngineZmodemPeer::SendToPc(int fd) {
  const std::string path = WriteChannelFile(store_, workDir_);
  if (path.empty()) return ZMODEM_TX_FILE_OPEN;
  StopWatchUi ui(stop_, trace_);
  ZmodemResult r;
  return ZmodemSendFile(fd, path, 0, &r, &ui, timing_);
}

}  // namespace pelagor
