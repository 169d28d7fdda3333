#pragma once

// Platform calls behind CSerialPort; one implementation file per OS.
#include "link/CSerialPort.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pelagor::serial_backend {

// Per-instance I/O state (IoRecords, declared with CSerialPort): on Windows the write
// and read OVERLAPPED records with their own events, never shared between instances.
IoRecordsPtr NewRecords();

// Opens and configures the device (raw 115200 8N1, no flow control, DTR/RTS off).
// Returns kNoSerialHandle on failure.
SerialHandle Open(const std::string& device);
// Clears the modem-event mask, purges both ways and closes the device.
void Close(SerialHandle h);
// Writes all bytes within waitMs; false when they were not all written (the wait ran
// out, and the rest is cancelled, or the device failed).
bool Write(SerialHandle h, IoRecords& r, const uint8_t* data, uint32_t len, uint32_t waitMs);
// Reads exactly n bytes within waitMs; returns n, or 0 on time-out or error. A read
// whose wait ran out is cancelled before the record is used again.
uint32_t Read(SerialHandle h, IoRecords& r, uint8_t* buf, uint32_t n, uint32_t waitMs);
// Bytes in the input queue (clears error flags where the OS has them).
uint32_t QueueCount(SerialHandle h);
void Purge(SerialHandle h, bool rx, bool tx);
#ifndef _WIN32
// True when the device reports a hang-up or an error (the other end of a pseudo-terminal
// closed, a USB adapter pulled); a quiet line is not gone.
bool DeviceGone(SerialHandle h);
// Drops output not yet sent.
void DiscardOutput(SerialHandle h);
#endif
void ClearErrors(SerialHandle h);
void SleepMs(uint32_t ms);
// One line of the diagnostic trace (the debugger's output on Windows, stderr here).
void Trace(const char* line);
// The serial ports present, unsorted: tty device paths on POSIX, the "PortName" of
// each present device of the Ports class on Windows.
std::vector<std::string> EnumeratePorts();

}  // namespace pelagor::serial_backend
