#pragma once
// The outcome of a ZMODEM transfer: its code and the record handed to the caller.

#include <cstdint>
#include <string>
#include <vector>

namespace pelagor {

// Outcome codes of a transfer. The numbers are the receiver's system's, so they stay
// plain int32_t values; the type only makes an ignored outcome a compile error.
enum [[nodiscard]] ZmodemCode : int32_t{
    ZMODEM_OK = 0,
    ZMODEM_NO_PORT = -1,    // no open port: nothing was started
    ZMODEM_CANCELLED = -4,  // stop; sender cancelled; bad end of file
    ZMODEM_RX_FAILED = -5,  // peer abort or error limit while receiving
    ZMODEM_TX_ERROR_LIMIT = -14,
    ZMODEM_TX_PEER_ABORT = -15,
    ZMODEM_TX_FILE_OPEN = -16,
    // Cancel result a worker leaves in its host when it stopped on request.
    ZMODEM_STOPPED = -3,
};

// What a transfer hands back to its caller.
struct ZmodemResult {
  int64_t startTime = 0;  // data-phase start, seconds since 1970
  int64_t endTime = 0;
  std::string receivedNames;  // receiving only, at most 255 characters
  int32_t bytesTransferred = 0;
  int32_t reserved = 0;
  int32_t totalErrors = 0;
  ZmodemCode result = ZMODEM_OK;
  std::vector<uint8_t> data;  // receiving only; empty unless result is 0
  int32_t dataLength = 0;
};

}  // namespace pelagor
