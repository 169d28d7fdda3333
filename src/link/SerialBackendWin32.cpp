// Win32 backend: overlapped I/O with bounded event waits.
#include "link/SerialBackend.h"

#include "link/SerialPortList.h"

#include <windows.h>

#include <setupapi.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace pelagor::serial_backend {

namespace {

HANDLE H(SerialHandle h) { return reinterpret_cast<HANDLE>(h); }

void Reset(OVERLAPPED& ov) {
  HANDLE event = ov.hEvent;
  ov = OVERLAPPED{};
  ov.hEvent = event;
}

// Ends one overlapped operation. A wait that times out cancels the operation and
// waits for the cancel to land, so the record is never reused while still pending.
DWORD Finish(HANDLE h, OVERLAPPED& ov, BOOL started, DWORD doneAtOnce, DWORD waitMs, bool& timedOut) {
  timedOut = false;
  if (started) return doneAtOnce;
  if (GetLastError() != ERROR_IO_PENDING) return 0;
  DWORD count = 0;
  if (WaitForSingleObject(ov.hEvent, waitMs) != WAIT_OBJECT_0) {
    timedOut = true;
    CancelIoEx(h, &ov);
    GetOverlappedResult(h, &ov, &count, TRUE);
    return 0;
  }
  GetOverlappedResult(h, &ov, &count, FALSE);
  return count;
}

// Waits until the output queue is empty, for at most the time a full driver queue
// takes at 115200 baud and a margin. FlushFileBuffers would wait without bound on
// a line that does not drain (flow control held, a device gone).
void DrainOutput(HANDLE h) {
  constexpr DWORD kPollMs = 10;
  constexpr DWORD kBoundMs = 2000;
  for (DWORD waited = 0; waited < kBoundMs; waited += kPollMs) {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(h, &errors, &stat) || stat.cbOutQue == 0) return;
    Sleep(kPollMs);
  }
}

// The COM names among the system's DOS device names (QueryDosDevice).
std::vector<std::string> DosDeviceComPorts() {
  std::vector<char> buf(16384);
  for (;;) {
    const DWORD n = QueryDosDeviceA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n != 0) return ComPortsFromDeviceList(std::string(buf.data(), n));
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || buf.size() >= (1u << 24)) return {};
    buf.resize(buf.size() * 2);
  }
}

// The "PortName" of each present device of the Ports class.
std::vector<std::string> PortsClassNames() {
  std::vector<std::string> names;
  DWORD count = 0;
  SetupDiClassGuidsFromNameA("Ports", nullptr, 0, &count);
  if (count == 0) return names;
  std::vector<GUID> guids(count);
  if (!SetupDiClassGuidsFromNameA("Ports", guids.data(), count, &count) || count == 0) return names;
  HDEVINFO set = SetupDiGetClassDevsA(&guids[0], nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return names;
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof(info);
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
    HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == nullptr || key == INVALID_HANDLE_VALUE) continue;
    char name[256] = {};
    DWORD size = sizeof(name) - 1;  // a stored text need not carry its terminator
    DWORD type = 0;
    if (RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
      std::string text(name, std::min<DWORD>(size, sizeof(name) - 1));
      text = text.c_str();  // up to the first zero
      if (IsComPortName(text)) names.push_back(text);
    }
    RegCloseKey(key);
  }
  SetupDiDestroyDeviceInfoList(set);
  return names;
}

}  // namespace

// The write and read records of one instance, each with its own manual-reset event
// created non-signalled with the instance and closed with it.
struct IoRecords {
  OVERLAPPED write{};
  OVERLAPPED read{};
  IoRecords() {
    write.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    read.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  ~IoRecords() {
    if (write.hEvent) CloseHandle(write.hEvent);
    if (read.hEvent) CloseHandle(read.hEvent);
  }
  IoRecords(const IoRecords&) = delete;
  IoRecords& operator=(const IoRecords&) = delete;
};

void IoRecordsDeleter::operator()(IoRecords* r) const { std::unique_ptr<IoRecords> owned(r); }

IoRecordsPtr NewRecords() { return IoRecordsPtr(std::make_unique<IoRecords>().release()); }

SerialHandle Open(const std::string& device) {
  HANDLE h = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
  if (h == INVALID_HANDLE_VALUE) return kNoSerialHandle;
  SetCommMask(h, EV_RXCHAR);
  SetupComm(h, 10240, 10240);
  PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  GetCommState(h, &dcb);
  // Only these fields; the rest keeps the device's current setting.
  dcb.BaudRate = 115200;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = 1;
  dcb.fNull = 0;
  dcb.fAbortOnError = 0;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  SetCommState(h, &dcb);
  // Explicit time-outs, none of them set: a read completes when all its bytes
  // came and a write when all went out, and every bound is our own event wait.
  // Left alone, the port would keep whatever the previous program set.
  COMMTIMEOUTS timeouts{};
  SetCommTimeouts(h, &timeouts);
  return reinterpret_cast<SerialHandle>(h);
}

void Close(SerialHandle h) {
  SetCommMask(H(h), 0);
  PurgeComm(H(h), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
  CloseHandle(H(h));
}

bool Write(SerialHandle h, IoRecords& r, const uint8_t* data, uint32_t len, uint32_t waitMs) {
  Reset(r.write);
  DWORD written = 0;
  BOOL ok = WriteFile(H(h), data, len, &written, &r.write);
  bool timedOut = false;
  // A write that failed at once (the far end gone), timed out or went out short
  // is a failure.
  const DWORD done = Finish(H(h), r.write, ok, written, waitMs, timedOut);
  return !timedOut && done == len;
}

uint32_t Read(SerialHandle h, IoRecords& r, uint8_t* buf, uint32_t n, uint32_t waitMs) {
  // With the device time-outs left alone a read completes only when all n bytes came.
  Reset(r.read);
  DWORD got = 0;
  BOOL ok = ReadFile(H(h), buf, n, &got, &r.read);
  bool timedOut = false;
  return Finish(H(h), r.read, ok, got, waitMs, timedOut);
}

uint32_t QueueCount(SerialHandle h) {
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(H(h), &errors, &stat)) return 0;
  return stat.cbInQue;
}

void Purge(SerialHandle h, bool rx, bool tx) {
  DWORD flags = 0;
  if (rx) flags |= PURGE_RXABORT | PURGE_RXCLEAR;
  if (tx) {
    // Let written bytes out first: the purge follows the announcement
    // frame and the end of a session, which the receiver must still get.
    DrainOutput(H(h));
    flags |= PURGE_TXABORT | PURGE_TXCLEAR;
  }
  PurgeComm(H(h), flags);
}

void ClearErrors(SerialHandle h) {
  DWORD errors = 0;
  COMSTAT stat{};
  ClearCommError(H(h), &errors, &stat);
}

void SleepMs(uint32_t ms) { Sleep(ms); }

void Trace(const char* line) {
  OutputDebugStringA(line);
  OutputDebugStringA("\n");
}

std::vector<std::string> EnumeratePorts() {
  std::vector<std::string> names = PortsClassNames();
  // No device of the Ports class (Wine has none; some virtual port drivers
  // register none): the COM names the system knows.
  if (names.empty()) names = DosDeviceComPorts();
  return names;
}

}  // namespace pelagor::serial_backend
