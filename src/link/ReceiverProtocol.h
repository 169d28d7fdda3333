#pragma once
// The receiver command protocol: the 8-byte "VX" frames the PC sends and the
// 104-byte information block the receiver answers with.

#include "link/CSerialPort.h"

#include <array>
#include <cstdint>
#include <string>

namespace pelagor {

inline constexpr uint8_t UART_CMD_GET_INFO = 1;
inline constexpr uint8_t UART_CMD_START_ZMODEM_DOWNLOAD = 2;
inline constexpr uint8_t UART_CMD_START_ZMODEM_UPLOAD = 3;

inline constexpr uint32_t kUartFrameSize = 8;
inline constexpr uint32_t kReceiverInfoSize = 104;

using UartFrame = std::array<uint8_t, kUartFrameSize>;
using ReceiverInfoBlock = std::array<uint8_t, kReceiverInfoSize>;

// "VX", the code, five zero parameter bytes.
[[nodiscard]] UartFrame MakeUartFrame(uint8_t code);

// True only when the whole 104-byte block arrived within the info reply bound.
[[nodiscard]] bool QueryReceiverInfo(CSerialPort& port, ReceiverInfoBlock& reply);

// Announces a transfer; the receiver never answers, so this always succeeds.
bool SendUartCommand(CSerialPort& port, uint8_t code);

struct ReceiverInfo {
  std::string model;
  std::string bootVersion;
  std::string mainVersion;
};

// Each text runs to its first zero byte and never past its 32-byte field.
[[nodiscard]] ReceiverInfo ParseReceiverInfo(const ReceiverInfoBlock& block);

}  // namespace pelagor
