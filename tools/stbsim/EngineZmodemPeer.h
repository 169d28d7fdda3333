#pragma once
// The receiver's ZMODEM half on the project's own engine: a CZmodem session on
// the simulator's line, receiving the PC's file or sending the channel data.

#include <csignal>
#include <string>

#include "StbChannelStore.h"
#include "ZmodemPeer.h"
#include "link/LinkTiming.h"

namespace pelagor {

class EngineZmodemPeer : public ZmodemPeer {
 public:
  // workDir: a folder of the simulator's own, for the file it sends.
  // stop: the simulator is shutting down; a running session is stopped.
  // trace: the protocol steps go to standard error.
  EngineZmodemPeer(StbChannelStore& store, LinkTiming timing, std::string workDir,
                   const volatile std::sig_atomic_t* stop, bool trace = false);

  int ReceiveFromPc(int fd) override;
  int SendToPc(int fd) override;

 private:
  StbChannelStore& store_;
  LinkTiming timing_;
  std::string workDir_;
  const volatile std::sig_atomic_t* stop_;
  bool trace_;
};

// Name under which the simulator offers its channel data.
inline constexpr const char* kStbChannelFileName = "stb_channels.bin";

// Writes the channel data to dir/kStbChannelFileName; the path, or empty on failure.
std::string WriteChannelFile(const StbChannelStore& store, const std::string& dir);

}  // namespace pelagor
