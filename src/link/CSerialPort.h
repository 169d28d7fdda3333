#pragma once
// The serial port to the receiver: open, close, bounded reads and writes, purges, and
// the handle type the ZMODEM engine borrows.

#include "link/LinkTiming.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pelagor {

namespace serial_backend {
struct IoRecords;
struct IoRecordsDeleter {
  void operator()(IoRecords* r) const;
};
using IoRecordsPtr = std::unique_ptr<IoRecords, IoRecordsDeleter>;
}  // namespace serial_backend

// OS handle as an integer: a file descriptor on POSIX, a HANDLE value on Windows.
using SerialHandle = intptr_t;
inline constexpr SerialHandle kNoSerialHandle = -1;

// The only access to the receiver. Every wait is bounded. Results are counts and flags:
// a count of 0 (or -1 from WaitCommData) and false mean nothing arrived or nothing could
// be done, and a write that did not get out shows in LineFailed, not in a result.
class CSerialPort {
 public:
  explicit CSerialPort(LinkTiming timing = {});
  // Closes a handle this instance opened; a borrowed one stays open for its owner.
  ~CSerialPort();
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  // "\\.\COM<n>" on Windows, e.g. "/dev/ttyUSB0" on POSIX.
  static std::string DeviceName(int portNumber);
  // Opens the device; on failure returns false and fills message with
  // "Can not open <name> !" for the caller to show (this layer has no UI).
  [[nodiscard]] bool OpenPort(const std::string& device, std::string* message = nullptr);
  [[nodiscard]] bool OpenPort(int portNumber, std::string* message = nullptr);
  // Closes an opened handle; a borrowed one is only forgotten.
  void ClosePort();
  // Uses a handle owned by someone else (ZMODEM session borrowing the link port).
  // It is never configured or closed here.
  void AttachHandle(SerialHandle h);
  // Forgets a borrowed handle without closing it.
  void DetachHandle();
  SerialHandle Handle() const { return handle_; }
  bool IsOpen() const { return handle_ != kNoSerialHandle; }

  // length 0: data is zero-terminated text. Returns 0 only without a handle; a write
  // that could not complete within the write wait marks the line as failed instead.
  [[nodiscard]] int32_t WriteCommBlock(const void* data, uint32_t length);
  // Exact-count read: n, or 0 on time-out or error.
  [[nodiscard]] uint32_t ReadCommBlockTimed(void* buf, uint32_t n, uint32_t timeoutMs);
  // Takes at most n and at most what is queued now; 0 at once if queue empty.
  [[nodiscard]] uint32_t ReadCommBlock(void* buf, uint32_t n);
  // Queue count, or -1 if nothing arrived within seconds (0 = no wait).
  [[nodiscard]] int32_t WaitCommData(uint32_t seconds);
  void PurgeReceive();
  void PurgeTransmit();
  // Throws away what is written but not yet on the line (stale data the peer has asked
  // to have again); unlike PurgeTransmit it does not let it out first. POSIX only: on
  // Windows nothing is discarded.
  void DiscardTransmit();
  void PurgeAll();
  void ClearCommErrors();

  // True once a write could not complete, a read failed, or the device is gone (a
  // pulled adapter, a closed pseudo-terminal). Stays set until ClearLineFailure.
  [[nodiscard]] bool LineFailed();
  void ClearLineFailure() { lineFailed_ = false; }

  const LinkTiming& Timing() const { return timing_; }
  void SetTiming(const LinkTiming& t) { timing_ = t; }

 private:
  void Pause(uint32_t ms) const;

  SerialHandle handle_ = kNoSerialHandle;
  serial_backend::IoRecordsPtr records_;
  bool ownsHandle_ = false;
  bool lineFailed_ = false;
  LinkTiming timing_;
};

}  // namespace pelagor
