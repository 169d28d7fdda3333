#pragma once
// CRC-32 of IEEE 802.3 (reflected 0xEDB88320, initial all ones, final
// complement), table-driven: the check value of every section body.

#include <cstddef>
#include <cstdint>

namespace pelagor {

// Continues a CRC over more bytes; start with 0 for a new body.
[[nodiscard]] uint32_t Crc32(const uint8_t* data, size_t length, uint32_t crc = 0);

}  // namespace pelagor
