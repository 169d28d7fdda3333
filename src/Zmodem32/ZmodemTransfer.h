#pragma once
// The engine's entry functions: send or receive one file behind a CTransferDlg.

#include "Zmodem32/ZmodemResult.h"
#include "link/CSerialPort.h"

#include <cstdint>
#include <string>

namespace pelagor {

class TransferUi;

// Entry functions of the engine: run one session behind a CTransferDlg and return its
// outcome code (also stored in result->result). ui may be null; timing is the system's
// unless a test shrinks it.
// Results of this layer: a transfer ends in one ZmodemCode, ZMODEM_OK (0) for done and a
// negative code for how it failed; the framing calls return bytes, frame types or the
// negative codes of ZmodemProtocol.h.
ZmodemCode ZmodemSendFile(SerialHandle port, const std::string& path, uint16_t value, ZmodemResult* result,
                          TransferUi* ui = nullptr, const LinkTiming& timing = LinkTiming{});
ZmodemCode ZmodemReceiveFile(SerialHandle port, const std::string& receiveDir, uint16_t value, ZmodemResult* result,
                             TransferUi* ui = nullptr, const LinkTiming& timing = LinkTiming{});

}  // namespace pelagor
