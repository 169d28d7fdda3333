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
  StbChannelStore& m_store;
  std::string m_workDir;
  int m_waitTenths;
  const volatile std::sig_atomic_t* m_stop;
};

}  // namespace pelagor
