#include "LrzszZmodemPeer.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "EngineZmodemPeer.h"
#include "files/WorkspaceLoad.h"

namespace pelagor {

namespace fs = std::filesystem;

LrzszZmodemPeer::LrzszZmodemPeer(StbChannelStore& store, std::string workDir, int waitTenths,
                                 const volatile std::sig_atomic_t* stop)
    : store_(store), workDir_(std::move(workDir)), waitTenths_(waitTenths), stop_(stop) {}

int LrzszZmodemPeer::ReceiveFromPc(int fd) {
  // A fresh folder per download, so the file found there is this one.
  const fs::path dir = fs::path(workDir_) / "rx";
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir, ec);
  const std::string command =
      "cd '" + dir.string() + "' && exec rz -q -y -t " + std::to_string(waitTenths_) + " 2>/dev/null";
  CommandZmodemPeer rz(command, "", stop_);
  const int status = rz.ReceiveFromPc(fd);
  if (status != 0) return status;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (!entry.is_regular_file()) continue;
    std::vector<uint8_t> bytes;
    if (ReadWholeFile(entry.path().string(), bytes)) store_.TakeReceived(bytes);
    break;
  }
  return status;
}

int LrzszZmodemPeer::SendToPc(int fd) {
  if (WriteChannelFile(store_, workDir_).empty()) return -1;
  const std::string command = "cd '" + workDir_ + "' && exec sz -q -t " + std::to_string(waitTenths_) + " " +
                              kStbChannelFileName + " 2>/dev/null";
  CommandZmodemPeer sz("", command, stop_);
  return sz.SendToPc(fd);
}

}  // namespace pelagor
