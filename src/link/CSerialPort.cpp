#include "link/CSerialPort.h"

#include "link/SerialBackend.h"

#include <cstring>
#include <utility>

namespace pelagor {

CSerialPort::CSerialPort(LinkTiming timing) : records_(serial_backend::NewRecords()), timing_(std::move(timing)) {}

CSerialPort::~CSerialPort() { ClosePort(); }

void CSerialPort::Pause(uint32_t ms) const {
  if (timing_.pause)
    timing_.pause(ms);
  else
    serial_backend::SleepMs(ms);
}

std::string CSerialPort::DeviceName(int portNumber) {
#ifdef _WIN32
  return "\\\\.\\COM" + std::to_string(portNumber);
#else
  return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

bool CSerialPort::OpenPort(const std::string& device, std::string* message) {
  if (handle_ != kNoSerialHandle) ClosePort();
  handle_ = serial_backend::Open(device);
  ownsHandle_ = handle_ != kNoSerialHandle;
  if (handle_ == kNoSerialHandle) {
    if (message) *message = "Can not open " + device + " !";
    return false;
  }
  return true;
}

bool CSerialPort::OpenPort(int portNumber, std::string* message) {
  bool ok = OpenPort(DeviceName(portNumber), message);
#ifdef _WIN32
  // Windows users know a port by its number, not its device path.
  if (!ok && message) *message = "Can not open COM" + std::to_string(portNumber) + " !";
#endif
  return ok;
}

void CSerialPort::ClosePort() {
  if (handle_ == kNoSerialHandle) return;
  if (ownsHandle_) serial_backend::Close(handle_);
  handle_ = kNoSerialHandle;
  ownsHandle_ = false;
}

void CSerialPort::AttachHandle(SerialHandle h) {
  // An own open device would otherwise leak here.
  ClosePort();
  handle_ = h;
  ownsHandle_ = false;
}

void CSerialPort::DetachHandle() {
  if (!ownsHandle_) handle_ = kNoSerialHandle;
}

int32_t CSerialPort::WriteCommBlock(const void* data, uint32_t length) {
  if (handle_ == kNoSerialHandle) return 0;
  if (length == 0) length = static_cast<uint32_t>(std::strlen(static_cast<const char*>(data)));
  if (length == 0) return 1;
  if (!serial_backend::Write(handle_, *records_, static_cast<const uint8_t*>(data), length, timing_.writeWaitMs)) {
    serial_backend::Trace("Warning : CSerialPort::WriteCommBlock - dwBytesWritten = 0");
    // Bytes that did not leave are not sent: whoever streams over this port must know.
    lineFailed_ = true;
  }
  // The result only says whether the port was open; callers never retry writes.
  return 1;
}

uint32_t CSerialPort::ReadCommBlockTimed(void* buf, uint32_t n, uint32_t timeoutMs) {
  if (handle_ == kNoSerialHandle || n == 0) return 0;
  return serial_backend::Read(handle_, *records_, static_cast<uint8_t*>(buf), n, timeoutMs);
}

uint32_t CSerialPort::ReadCommBlock(void* buf, uint32_t n) {
  if (handle_ == kNoSerialHandle) return 0;
  uint32_t q = serial_backend::QueueCount(handle_);
  uint32_t count = n < q ? n : q;
  if (count == 0) return 0;
  const uint32_t got =
      serial_backend::Read(handle_, *records_, static_cast<uint8_t*>(buf), count, timing_.readBlockWaitMs);
  // The bytes were queued already: not getting them is a device failure.
  if (got == 0) lineFailed_ = true;
  return got;
}

bool CSerialPort::LineFailed() {
  if (handle_ == kNoSerialHandle) return true;
#ifndef _WIN32
  if (!lineFailed_ && serial_backend::DeviceGone(handle_)) lineFailed_ = true;
#endif
  return lineFailed_;
}

int32_t CSerialPort::WaitCommData(uint32_t seconds) {
  if (handle_ == kNoSerialHandle) return 0;
  if (seconds == 0) return static_cast<int32_t>(serial_backend::QueueCount(handle_));
  // Twenty polls per second whatever the poll length, so a shrunk poll shrinks the wait.
  const uint64_t polls = uint64_t{seconds} * 20;
  for (uint64_t i = 0; i < polls; ++i) {
    uint32_t q = serial_backend::QueueCount(handle_);
    if (q != 0) return static_cast<int32_t>(q);
    Pause(timing_.waitDataPollMs);
  }
  return -1;
}

void CSerialPort::PurgeReceive() {
  if (handle_ != kNoSerialHandle) serial_backend::Purge(handle_, true, false);
}

void CSerialPort::PurgeTransmit() {
  if (handle_ != kNoSerialHandle) serial_backend::Purge(handle_, false, true);
}

void CSerialPort::DiscardTransmit() {
#ifndef _WIN32
  if (handle_ != kNoSerialHandle) serial_backend::DiscardOutput(handle_);
#endif
}

void CSerialPort::PurgeAll() {
  if (handle_ != kNoSerialHandle) serial_backend::Purge(handle_, true, true);
}

void CSerialPort::ClearCommErrors() {
  if (handle_ != kNoSerialHandle) serial_backend::ClearErrors(handle_);
}

}  // namespace pelagor
