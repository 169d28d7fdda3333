#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelagor {

// Outcome codes of a transfer.
inline constexpr int32_t ZMODEM_OK = 0;
inline constexpr int32_t ZMODEM_NO_PORT = -1;    // no open port: nothing was started
inline constexpr int32_t ZMODEM_CANCELLED = -4;  // stop; sender cancelled; bad end of file
inline constexpr int32_t ZMODEM_RX_FAILED = -5;  // peer abort or error limit while receiving
inline constexpr int32_t ZMODEM_TX_ERROR_LIMIT = -14;
inline constexpr int32_t ZMODEM_TX_PEER_ABORT = -15;
inline constexpr int32_t ZMODEM_TX_FILE_OPEN = -16;
// Cancel result a worker leaves in its host when it stopped on request.
inline constexpr int32_t ZMODEM_STOPPED = -3;

// What a transfer hands back to its caller.
struct ZmodemResult {
  int64_t startTime = 0;  // data-phase start, seconds since 1970
  int64_t endTime = 0;
  std::string receivedNames;  // receiving only, at most 255 characters
  int32_t bytesTransferred = 0;
  int32_t reserved = 0;
  int32_t totalErrors = 0;
  int32_t result = 0;
  std::vector<uint8_t> data;  // receiving only; empty unless result is 0
  int32_t dataLength = 0;
};

}  // namespace pelagor
