#pragma once
// The receiver's side of the command protocol: finds the 8-byte "VX" frames in
// the bytes from the PC and builds the 104-byte information block.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/ReceiverProtocol.h"

namespace pelagor {

struct StbIdentity {
  std::string model = "PELAGOR STB-SIM";
  std::string bootVersion = "BOOT 1.00";
  std::string mainVersion = "MAIN 1.00";
};

class StbSimulator {
 public:
  explicit StbSimulator(StbIdentity identity);

  // Takes one byte from the line; returns the frame it completes, if any. Bytes
  // that cannot start or continue a frame are dropped, as the receiver does with
  // line noise.
  std::optional<UartFrame> Feed(uint8_t byte);

  // The answer to UART_CMD_GET_INFO: bytes 0 to 7 a fixed header, then the three
  // texts, each cut to its 32-byte field (a full field has no terminator).
  const ReceiverInfoBlock& InfoBlock() const { return block_; }

 private:
  ReceiverInfoBlock block_{};
  std::vector<uint8_t> frame_;
};

}  // namespace pelagor
