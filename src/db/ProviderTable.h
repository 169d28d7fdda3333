#pragma once
// Up to 2000 provider names that channels refer to by index. Numbers are in
// host order here; the provider section stores them big-endian for models 7
// and 8 and little-endian otherwise.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pelagor {

inline constexpr size_t kProviderEntries = 2000;
inline constexpr size_t kProviderNameSize = 16;
inline constexpr size_t kProviderEntrySize = 20;
inline constexpr size_t kProviderHeadSize = 12;
inline constexpr size_t kProviderTableSize = kProviderHeadSize + kProviderEntries * kProviderEntrySize;

struct ProviderEntry {
  uint32_t usage = 0;  // channels whose provider index names this entry
  std::array<uint8_t, kProviderNameSize> name{};
};

class ProviderTable {
 public:
  // Bytes up to the first NUL (all 16 when there is none).
  [[nodiscard]] std::string Name(size_t index) const;
  // "Unknown" in any letter case sorts first in provider order.
  [[nodiscard]] bool IsUnknown(size_t index) const;

  // Bodies longer than 40012 bytes are refused; shorter ones fill what they hold.
  [[nodiscard]] bool Load(const uint8_t* body, size_t length, bool bigEndian);
  [[nodiscard]] std::vector<uint8_t> Build(bool bigEndian) const;

  uint32_t head0 = 0;  // carried, not interpreted
  uint32_t head4 = 0;  // carried, not interpreted
  uint32_t count = 0;
  std::array<ProviderEntry, kProviderEntries> entries{};
};

}  // namespace pelagor
