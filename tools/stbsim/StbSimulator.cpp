#include "StbSimulator.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pelagor {

namespace {

void PutText(ReceiverInfoBlock& block, size_t offset, const std::string& text) {
  const size_t n = std::min<size_t>(text.size(), 32);
  std::memcpy(block.data() + offset, text.data(), n);
}

}  // namespace

StbSimulator::StbSimulator(StbIdentity identity) {
  block_.fill(0);
  const uint8_t header[8] = {'V', 'X', UART_CMD_GET_INFO, 0, 0, 0, 0, kReceiverInfoSize};
  std::memcpy(block_.data(), header, sizeof header);
  PutText(block_, 8, identity.model);
  PutText(block_, 40, identity.bootVersion);
  PutText(block_, 72, identity.mainVersion);
}

std::optional<UartFrame> StbSimulator::Feed(uint8_t byte) {
  const size_t at = frame_.size();
  if ((at == 0 && byte != 0x56) || (at == 1 && byte != 0x58)) {
    frame_.clear();
    // A lost 0x56 may be followed by the real start.
    if (byte == 0x56) frame_.push_back(byte);
    return std::nullopt;
  }
  frame_.push_back(byte);
  if (frame_.size() < kUartFrameSize) return std::nullopt;
  UartFrame frame{};
  std::copy(frame_.begin(), frame_.end(), frame.begin());
  frame_.clear();
  return frame;
}

}  // namespace pelagor
