#pragma once
// A ZMODEM half played by an outside program with the line as its standard input
// and output, such as "rz" or "sz channels.bin" from lrzsz.

#include <csignal>
#include <string>

#include "ZmodemPeer.h"

namespace pelagor {

class CommandZmodemPeer : public ZmodemPeer {
 public:
  // Either command may be empty: that announcement is then only reported.
  // stop ends a running command early (the simulator is shutting down).
  CommandZmodemPeer(std::string receiveCommand, std::string sendCommand, const volatile std::sig_atomic_t* stop);

  int ReceiveFromPc(int fd) override;
  int SendToPc(int fd) override;

 private:
  int Run(const std::string& command, int fd);
  int Wait(const std::string& command, int fd);

  std::string receiveCommand_;
  std::string sendCommand_;
  const volatile std::sig_atomic_t* stop_;
};

}  // namespace pelagor
