#include "link/CSerialPort.h"

#include "link/SerialBackend.h"

#include <cstring>
#include <utility>

CSerialPort::CSerialPort(LinkTiming timing) : m_records(serial_backend::NewRecords()), m_timing(std::move(timing)) {}

CSerialPort::~CSerialPort() { ClosePort(); }

void CSerialPort::Pause(uint32_t ms) const {
  if (m_timing.pause)
    m_timing.pause(ms);
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
  if (m_handle != kNoSerialHandle) ClosePort();
  m_handle = serial_backend::Open(device);
  m_ownsHandle = m_handle != kNoSerialHandle;
  if (m_handle == kNoSerialHandle) {
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
  if (m_handle == kNoSerialHandle) return;
  if (m_ownsHandle) serial_backend::Close(m_handle);
  m_handle = kNoSerialHandle;
  m_ownsHandle = false;
}

void CSerialPort::AttachHandle(SerialHandle h) {
  // An own open device would otherwise leak here.
  ClosePort();
  m_handle = h;
  m_ownsHandle = false;
}

void CSerialPort::DetachHandle() {
  if (!m_ownsHandle) m_handle = kNoSerialHandle;
}

int32_t CSerialPort::WriteCommBlock(const void* data, uint32_t length) {
  if (m_handle == kNoSerialHandle) return 0;
  if (length == 0) length = static_cast<uint32_t>(std::strlen(static_cast<const char*>(data)));
  if (length == 0) return 1;
  if (!serial_backend::Write(m_handle, *m_records, static_cast<const uint8_t*>(data), length, m_timing.writeWaitMs)) {
    serial_backend::Trace("Warning : CSerialPort::WriteCommBlock - dwBytesWritten = 0");
    // Bytes that did not leave are not sent: whoever streams over this port must know.
    m_lineFailed = true;
  }
  // The result only says whether the port was open; callers never retry writes.
  return 1;
}

uint32_t CSerialPort::ReadCommBlockTimed(void* buf, uint32_t n, uint32_t timeoutMs) {
  if (m_handle == kNoSerialHandle || n == 0) return 0;
  return serial_backend::Read(m_handle, *m_records, static_cast<uint8_t*>(buf), n, timeoutMs);
}

uint32_t CSerialPort::ReadCommBlock(void* buf, uint32_t n) {
  if (m_handle == kNoSerialHandle) return 0;
  uint32_t q = serial_backend::QueueCount(m_handle);
  uint32_t count = n < q ? n : q;
  if (count == 0) return 0;
  const uint32_t got =
      serial_backend::Read(m_handle, *m_records, static_cast<uint8_t*>(buf), count, m_timing.readBlockWaitMs);
  // The bytes were queued already: not getting them is a device failure.
  if (got == 0) m_lineFailed = true;
  return got;
}

bool CSerialPort::LineFailed() {
  if (m_handle == kNoSerialHandle) return true;
#ifndef _WIN32
  if (!m_lineFailed && serial_backend::DeviceGone(m_handle)) m_lineFailed = true;
#endif
  return m_lineFailed;
}

int32_t CSerialPort::WaitCommData(uint32_t seconds) {
  if (m_handle == kNoSerialHandle) return 0;
  if (seconds == 0) return static_cast<int32_t>(serial_backend::QueueCount(m_handle));
  // Twenty polls per second whatever the poll length, so a shrunk poll shrinks the wait.
  const uint64_t polls = uint64_t{seconds} * 20;
  for (uint64_t i = 0; i < polls; ++i) {
    uint32_t q = serial_backend::QueueCount(m_handle);
    if (q != 0) return static_cast<int32_t>(q);
    Pause(m_timing.waitDataPollMs);
  }
  return -1;
}

void CSerialPort::PurgeReceive() {
  if (m_handle != kNoSerialHandle) serial_backend::Purge(m_handle, true, false);
}

void CSerialPort::PurgeTransmit() {
  if (m_handle != kNoSerialHandle) serial_backend::Purge(m_handle, false, true);
}

void CSerialPort::DiscardTransmit() {
#ifndef _WIN32
  if (m_handle != kNoSerialHandle) serial_backend::DiscardOutput(m_handle);
#endif
}

void CSerialPort::PurgeAll() {
  if (m_handle != kNoSerialHandle) serial_backend::Purge(m_handle, true, true);
}

void CSerialPort::ClearCommErrors() {
  if (m_handle != kNoSerialHandle) serial_backend::ClearErrors(m_handle);
}
