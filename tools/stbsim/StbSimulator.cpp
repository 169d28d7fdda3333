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
  m_block.fill(0);
  const uint8_t header[8] = {'V', 'X', UART_CMD_GET_INFO, 0, 0, 0, 0, kReceiverInfoSize};
  std::memcpy(m_block.data(), header, sizeof header);
  PutText(m_block, 8, identity.model);
  PutText(m_block, 40, identity.bootVersion);
  PutText(m_block, 72, identity.mainVersion);
}

std::optional<UartFrame> StbSimulator::Feed(uint8_t byte) {
  const size_t at = m_frame.size();
  if ((at == 0 && byte != 0x56) || (at == 1 && byte != 0x58)) {
    m_frame.clear();
    // A lost 0x56 may be followed by the real start.
    if (byte == 0x56) m_frame.push_back(byte);
    return std::nullopt;
  }
  m_frame.push_back(byte);
  if (m_frame.size() < kUartFrameSize) return std::nullopt;
  UartFrame frame{};
  std::copy(m_frame.begin(), m_frame.end(), frame.begin());
  m_frame.clear();
  return frame;
}

}  // namespace pelagor
