#include "files/Crc32.h"

#include <array>

namespace pelagor {

namespace {

using Tables = std::array<std::array<uint32_t, 256>, 8>;

// Table 0 is the classic byte table; table k advances a byte through k more
// zero bytes, so eight bytes are folded in per step (slicing by 8).
constexpr Tables MakeTables() {
  Tables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
    t[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i)
    for (size_t k = 1; k < 8; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
  return t;
}

constexpr Tables kTables = MakeTables();

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t length, uint32_t crc) {
  crc = ~crc;
  size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    const uint32_t lo = crc ^ (uint32_t(data[i]) | uint32_t(data[i + 1]) << 8 | uint32_t(data[i + 2]) << 16 |
                               uint32_t(data[i + 3]) << 24);
    crc = kTables[7][lo & 0xFFu] ^ kTables[6][(lo >> 8) & 0xFFu] ^ kTables[5][(lo >> 16) & 0xFFu] ^
          kTables[4][lo >> 24] ^ kTables[3][data[i + 4]] ^ kTables[2][data[i + 5]] ^ kTables[1][data[i + 6]] ^
          kTables[0][data[i + 7]];
  }
  for (; i < length; ++i) crc = kTables[0][(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}

}  // namespace pelagor
