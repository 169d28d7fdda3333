// The ZMODEM checksums of the Windows build against their bitwise definitions.
#include "Zmodem32/ZmodemCrc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// The register form ZMODEM uses: message bits shift in at the bottom, so two
// zero bytes after the data leave the CRC in the register.
uint16_t Crc16Bitwise(uint16_t crc, uint8_t b) {
  for (int i = 7; i >= 0; --i) {
    const bool top = crc & 0x8000;
    crc = static_cast<uint16_t>((crc << 1) | ((b >> i) & 1));
    if (top) crc ^= 0x1021;
  }
  return crc;
}

uint32_t Crc32Bitwise(uint32_t crc, uint8_t b) {
  crc ^= b;
  for (int i = 0; i < 8; ++i) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  return crc;
}

TEST(ZmodemCrcTables, EveryByteFromEveryTopValueMatchesTheDefinition) {
  for (uint32_t start : {0x0000u, 0x1234u, 0x8000u, 0xFFFFu}) {
    for (int b = 0; b < 256; ++b) {
      ASSERT_EQ(pelagor::Crc16Update(static_cast<uint16_t>(start), uint8_t(b)),
                Crc16Bitwise(static_cast<uint16_t>(start), uint8_t(b)))
          << start << " " << b;
      const uint32_t start32 = start * 0x10001u;
      ASSERT_EQ(pelagor::Crc32Update(start32, uint8_t(b)), Crc32Bitwise(start32, uint8_t(b))) << start32 << " " << b;
    }
  }
}

TEST(ZmodemCrcTables, WholeBlocksAndTheirCheckValues) {
  std::mt19937 rng(7);
  std::vector<uint8_t> data(4096);
  for (auto& b : data) b = static_cast<uint8_t>(rng());
  uint16_t c16 = 0;
  uint32_t c32 = 0xFFFFFFFFu;
  for (uint8_t b : data) {
    c16 = Crc16Bitwise(c16, b);
    c32 = Crc32Bitwise(c32, b);
  }
  c16 = Crc16Bitwise(Crc16Bitwise(c16, 0), 0);  // as sent: two zero bytes follow
  EXPECT_EQ(pelagor::Crc16Of(data.data(), data.size()), c16);
  EXPECT_EQ(pelagor::Crc32Of(data.data(), data.size()), ~c32);

  const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(pelagor::Crc16Of(check, sizeof check), 0x31C3);
  EXPECT_EQ(pelagor::Crc32Of(check, sizeof check), 0xCBF43926u);
}

}  // namespace
