#pragma once

// Platform calls behind CSerialPort; one implementation file per OS.
#include "link/CSerialPort.h"

#include <cstdint>
#include <string>

namespace serial_backend {

// Opens and configures the device (raw 115200 8N1, no flow control, DTR/RTS off).
// Returns kNoSerialHandle on failure.
SerialHandle Open(const std::string& device);
void Close(SerialHandle h);
// Writes all bytes within waitMs; returns false only on a hard error.
bool Write(SerialHandle h, const uint8_t* data, uint32_t len, uint32_t waitMs);
// Reads exactly n bytes within waitMs; returns n, or 0 on time-out or error.
uint32_t Read(SerialHandle h, uint8_t* buf, uint32_t n, uint32_t waitMs);
// Bytes in the input queue (clears error flags where the OS has them).
uint32_t QueueCount(SerialHandle h);
void Purge(SerialHandle h, bool rx, bool tx);
void ClearErrors(SerialHandle h);
void SleepMs(uint32_t ms);

}  // namespace serial_backend
