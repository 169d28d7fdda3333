// Win32 backend: overlapped I/O with bounded event waits.
#include "link/SerialBackend.h"

#include <windows.h>

namespace serial_backend {

namespace {

HANDLE H(SerialHandle h) { return reinterpret_cast<HANDLE>(h); }

// One overlapped operation with its own event. A wait that times out cancels the
// operation, so no record is ever reused while still pending.
DWORD Finish(HANDLE h, OVERLAPPED& ov, BOOL started, DWORD doneAtOnce, DWORD waitMs,
             bool& timedOut)
{
    timedOut = false;
    if (started)
        return doneAtOnce;
    if (GetLastError() != ERROR_IO_PENDING)
        return 0;
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

}  // namespace

SerialHandle Open(const std::string& device)
{
    HANDLE h = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return kNoSerialHandle;
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
    return reinterpret_cast<SerialHandle>(h);
}

void Close(SerialHandle h)
{
    SetCommMask(H(h), 0);
    CloseHandle(H(h));
}

bool Write(SerialHandle h, const uint8_t* data, uint32_t len, uint32_t waitMs)
{
    OVERLAPPED ov{};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD written = 0;
    BOOL ok = WriteFile(H(h), data, len, &written, &ov);
    bool timedOut = false;
    Finish(H(h), ov, ok, written, waitMs, timedOut);
    CloseHandle(ov.hEvent);
    return !timedOut;
}

uint32_t Read(SerialHandle h, uint8_t* buf, uint32_t n, uint32_t waitMs)
{
    // With the device time-outs left alone a read completes only when all n bytes came.
    OVERLAPPED ov{};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD got = 0;
    BOOL ok = ReadFile(H(h), buf, n, &got, &ov);
    bool timedOut = false;
    DWORD count = Finish(H(h), ov, ok, got, waitMs, timedOut);
    CloseHandle(ov.hEvent);
    return count;
}

uint32_t QueueCount(SerialHandle h)
{
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(H(h), &errors, &stat))
        return 0;
    return stat.cbInQue;
}

void Purge(SerialHandle h, bool rx, bool tx)
{
    DWORD flags = 0;
    if (rx)
        flags |= PURGE_RXABORT | PURGE_RXCLEAR;
    if (tx)
        flags |= PURGE_TXABORT | PURGE_TXCLEAR;
    PurgeComm(H(h), flags);
}

void ClearErrors(SerialHandle h)
{
    DWORD errors = 0;
    COMSTAT stat{};
    ClearCommError(H(h), &errors, &stat);
}

void SleepMs(uint32_t ms) { Sleep(ms); }

}  // namespace serial_backend
