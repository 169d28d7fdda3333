#pragma once

#include "Zmodem32/ZmodemResult.h"
#include "link/CSerialPort.h"

#include <cstdint>
#include <string>

namespace pelagor {

class TransferUi;

// Entry functions of the engine: run one session behind a CTransferDlg and return its
// outcome code (also stored in result->result). ui may be null; timing is the system's
// unless a test shrinks it.
int32_t ZmodemSendFile(SerialHandle port, const std::string& path, uint16_t value, ZmodemResult* result,
                       TransferUi* ui = nullptr, const LinkTiming& timing = LinkTiming{});
int32_t ZmodemReceiveFile(SerialHandle port, const std::string& receiveDir, uint16_t value, ZmodemResult* result,
                          TransferUi* ui = nullptr, const LinkTiming& timing = LinkTiming{});

}  // namespace pelagor
