#pragma once
// The two checksums of ZMODEM frames: CRC-16/XMODEM and CRC-32.

#include <cstddef>
#include <cstdint>

namespace pelagor {

// Table-driven CRC-16/XMODEM (poly 0x1021, init 0) and IEEE 802.3 CRC-32.
uint16_t Crc16Update(uint16_t crc, uint8_t b);
uint32_t Crc32Update(uint32_t crc, uint8_t b);

// CRC-16 as sent on the wire: the covered bytes followed by two zero bytes.
uint16_t Crc16Of(const uint8_t* data, size_t n);
// CRC-32 as sent on the wire: complemented running value.
uint32_t Crc32Of(const uint8_t* data, size_t n);

// A receiver that feeds the four CRC-32 bytes as well ends on this value.
inline constexpr uint32_t kCrc32Residue = 0xDEBB20E3u;

}  // namespace pelagor
