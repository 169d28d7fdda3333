#pragma once
// The receiver's ZMODEM half, started after an announcement frame. The simulator
// hands over the line and waits until the session is over. A peer built on the
// project's ZMODEM engine implements this over a CZmodem attached to the fd.

namespace pelagor {

class ZmodemPeer {
 public:
  virtual ~ZmodemPeer() = default;
  // After UART_CMD_START_ZMODEM_DOWNLOAD: act as ZMODEM receiver of the PC's file.
  // Returns 0 when the session ended well.
  virtual int ReceiveFromPc(int fd) = 0;
  // After UART_CMD_START_ZMODEM_UPLOAD: act as ZMODEM sender of the channel data.
  virtual int SendToPc(int fd) = 0;
};

}  // namespace pelagor
