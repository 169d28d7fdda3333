#pragma once
// The receiver's ZMODEM half played by lrzsz's rz and sz on the simulator's
// line, so the program meets an independent ZMODEM implementation end to end.
// What rz receives goes to the channel store as the engine peer's files do.

#include <csignal>
#include <string>

#include "CommandZmodemPeer.h"
#include "StbChannelStore.h"
#include "ZmodemPeer.h"

namespace pelagor {

class LrzszZmodemPeer : public ZmodemPeer {
 public:
  // workDir: a folder of the simulator's own; waitTenths: rz/sz time-out (-t).
  LrzszZmodemPeer(StbChannelStore& store, std::string workDir, int waitTenths, const volatile std::sig_atomic_t* stop);

  int ReceiveFromPc(int fd) override;
  int SendToPc(int fd) override;

 private:
  StbChannelStore& store_;
  std::string workDir_;
  int waitTenths_;
  const volatile std::sig_atomic_t* stop_;
};

}  // namespace pelagor
