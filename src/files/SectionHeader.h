#pragma once
// The 40-byte header before every section body; numbers big-endian. Bytes
// 8-11 and 16-35 are not interpreted and travel with the header unchanged.

#include <array>
#include <cstdint>
#include <string_view>

namespace pelagor {

inline constexpr size_t kSectionHeaderSize = 40;

class SectionHeader {
 public:
  SectionHeader() : bytes_{} {}
  explicit SectionHeader(const uint8_t* raw40);

  [[nodiscard]] const uint8_t* Data() const { return bytes_.data(); }
  [[nodiscard]] std::string_view Tag() const { return {reinterpret_cast<const char*>(bytes_.data()), 8}; }
  void SetTag(std::string_view tag8);
  [[nodiscard]] uint32_t Crc() const { return Be32(12); }
  void SetCrc(uint32_t v) { SetBe32(12, v); }
  [[nodiscard]] uint32_t Length() const { return Be32(36); }
  void SetLength(uint32_t v) { SetBe32(36, v); }

  bool operator==(const SectionHeader&) const = default;

 private:
  uint32_t Be32(size_t off) const;
  void SetBe32(size_t off, uint32_t v);
  std::array<uint8_t, kSectionHeaderSize> bytes_;
};

}  // namespace pelagor
