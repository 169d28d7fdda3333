#include "files/SectionHeader.h"

#include <cstring>

namespace pelagor {

SectionHeader::SectionHeader(const uint8_t* raw40) { std::memcpy(bytes_.data(), raw40, kSectionHeaderSize); }

void SectionHeader::SetTag(std::string_view tag8) {
  for (size_t i = 0; i < 8; ++i) bytes_[i] = i < tag8.size() ? uint8_t(tag8[i]) : 0;
}

uint32_t SectionHeader::Be32(size_t off) const {
  return (uint32_t(bytes_[off]) << 24) | (uint32_t(bytes_[off + 1]) << 16) | (uint32_t(bytes_[off + 2]) << 8) |
         uint32_t(bytes_[off + 3]);
}

void SectionHeader::SetBe32(size_t off, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes_[off + size_t(i)] = uint8_t(v >> (24 - 8 * i));
}

}  // namespace pelagor
