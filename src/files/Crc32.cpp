#include "files/Crc32.h"

#include <array>

namespace pelagor {

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
    t[i] = c;
  }
  return t;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t length, uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < length; ++i) crc = kTable[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}

}  // namespace pelagor
