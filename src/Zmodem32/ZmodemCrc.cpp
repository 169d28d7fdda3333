#include "Zmodem32/ZmodemCrc.h"

#include <array>

namespace pelagor {

namespace {

constexpr std::array<uint16_t, 256> MakeCrc16Table() {
  std::array<uint16_t, 256> t{};
  for (int i = 0; i < 256; ++i) {
    uint16_t c = static_cast<uint16_t>(i << 8);
    for (int k = 0; k < 8; ++k) c = static_cast<uint16_t>((c & 0x8000) ? (c << 1) ^ 0x1021 : (c << 1));
    t[static_cast<size_t>(i)] = c;
  }
  return t;
}

constexpr std::array<uint32_t, 256> MakeCrc32Table() {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
    t[i] = c;
  }
  return t;
}

constexpr auto kCrc16Table = MakeCrc16Table();
constexpr auto kCrc32Table = MakeCrc32Table();

}  // namespace

uint16_t Crc16Update(uint16_t crc, uint8_t b) {
  return static_cast<uint16_t>(kCrc16Table[crc >> 8] ^ static_cast<uint16_t>(crc << 8) ^ b);
}

uint32_t Crc32Update(uint32_t crc, uint8_t b) { return kCrc32Table[(crc ^ b) & 0xFF] ^ (crc >> 8); }

uint16_t Crc16Of(const uint8_t* data, size_t n) {
  uint16_t crc = 0;
  for (size_t i = 0; i < n; ++i) crc = Crc16Update(crc, data[i]);
  crc = Crc16Update(crc, 0);
  return Crc16Update(crc, 0);
}

uint32_t Crc32Of(const uint8_t* data, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) crc = Crc32Update(crc, data[i]);
  return ~crc;
}

}  // namespace pelagor
