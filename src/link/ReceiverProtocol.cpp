#include "link/ReceiverProtocol.h"

#include <algorithm>

namespace pelagor {

namespace {

constexpr size_t kFieldSize = 32;

std::string FieldText(const ReceiverInfoBlock& block, size_t offset) {
  auto first = block.begin() + static_cast<std::ptrdiff_t>(offset);
  auto last = first + static_cast<std::ptrdiff_t>(kFieldSize);
  return std::string(first, std::find(first, last, uint8_t{0}));
}

}  // namespace

UartFrame MakeUartFrame(uint8_t code) { return UartFrame{0x56, 0x58, code, 0, 0, 0, 0, 0}; }

bool QueryReceiverInfo(CSerialPort& port, ReceiverInfoBlock& reply) {
  reply.fill(0);
  // Stale bytes from an earlier exchange would shift the block.
  port.PurgeReceive();
  port.ClearCommErrors();
  const UartFrame frame = MakeUartFrame(UART_CMD_GET_INFO);
  // Without a handle nothing is written and the read below fails as well.
  static_cast<void>(port.WriteCommBlock(frame.data(), kUartFrameSize));
  return port.ReadCommBlockTimed(reply.data(), kReceiverInfoSize, port.Timing().infoReplyWaitMs) == kReceiverInfoSize;
}

bool SendUartCommand(CSerialPort& port, uint8_t code) {
  const UartFrame frame = MakeUartFrame(code);
  // The receiver never answers an announcement, so there is nothing to check here.
  static_cast<void>(port.WriteCommBlock(frame.data(), kUartFrameSize));
  return true;
}

ReceiverInfo ParseReceiverInfo(const ReceiverInfoBlock& block) {
  return ReceiverInfo{FieldText(block, 8), FieldText(block, 40), FieldText(block, 72)};
}

}  // namespace pelagor
