#pragma once
// The protocol record of one ZMODEM session.

#include <cstdint>
#include <string>

namespace pelagor {

// Protocol record of one session, cleared at the start of every transfer.
struct ZmodemState {
  int32_t errorCount = 0;        // errors since the last progress; the limit is 100
  int32_t totalErrors = 0;       // all errors of the session
  int32_t bytesTransferred = 0;  // data bytes moved; re-sent bytes count again
  std::string receiveDir;        // prefix of a received file name (at most 79 characters)
  int32_t fileCount = 0;
  int32_t dataBytes = 0;  // bytes held (receiving) or sent (sending)
  int32_t filesRemaining = 0;
  int32_t bytesRemaining = 0;
  int32_t fileLength = 0;  // length of the file being sent
  int32_t rxFlags = 0;     // ZF0 of the last ZRINIT received
  int32_t useVarHeaders = 0;
  int32_t wantCrc32 = 0;
  int32_t escapeControls = 0;
  int32_t zdataNulls = 0;
  int32_t txCrc32 = 0;
  int32_t frameCrc = 0;  // CRC kind of the frame being sent (1 = CRC-32)
  int32_t rxCount = 0;   // data bytes of the last subpacket accepted
  int32_t txPos = 0;
  int32_t rxPos = 0;
  int32_t announcedSize = 0;
  std::string fileName;  // at most 79 characters
  int32_t subpacketSize = 0;
  int32_t fileTime = 0;  // received modification time plus 28800
};

// The 80-byte text fields of the record keep at most this many characters.
inline constexpr size_t kZmodemNameMax = 79;

}  // namespace pelagor
