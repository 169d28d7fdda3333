#include "db/ProviderTable.h"

#include <cstring>

namespace pelagor {
namespace {

uint32_t Get32(const uint8_t* p, bool be) {
  return be ? uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]
            : uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}
void Put32(uint8_t* p, uint32_t v, bool be) {
  for (int i = 0; i < 4; ++i) p[be ? 3 - i : i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::string ProviderTable::Name(size_t index) const {
  if (index >= kProviderEntries) return {};
  const auto& n = entries[index].name;
  size_t len = 0;
  while (len < n.size() && n[len] != 0) ++len;
  return std::string(reinterpret_cast<const char*>(n.data()), len);
}

bool ProviderTable::IsUnknown(size_t index) const {
  const std::string n = Name(index);
  static const char kUnknown[] = "unknown";
  if (n.size() != sizeof kUnknown - 1) return false;
  for (size_t i = 0; i < n.size(); ++i) {
    char c = n[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kUnknown[i]) return false;
  }
  return true;
}

bool ProviderTable::Load(const uint8_t* body, size_t length, bool bigEndian) {
  if (length > kProviderTableSize || (body == nullptr && length != 0)) return false;
  // Work on a full-size copy so a short body reads as zeros past its end.
  std::vector<uint8_t> raw(kProviderTableSize, 0);
  if (length != 0) std::memcpy(raw.data(), body, length);
  ProviderTable next;
  next.head0 = Get32(raw.data(), bigEndian);
  next.head4 = Get32(raw.data() + 4, bigEndian);
  next.count = Get32(raw.data() + 8, bigEndian);
  for (size_t i = 0; i < kProviderEntries; ++i) {
    const uint8_t* p = raw.data() + kProviderHeadSize + i * kProviderEntrySize;
    // Only entries in use have their number in the file's order; the rest
    // are carried as they sit, which is little-endian.
    next.entries[i].usage = Get32(p, bigEndian && i < next.count);
    std::memcpy(next.entries[i].name.data(), p + 4, kProviderNameSize);
  }
  *this = next;
  return true;
}

std::vector<uint8_t> ProviderTable::Build(bool bigEndian) const {
  std::vector<uint8_t> out(kProviderTableSize, 0);
  Put32(out.data(), head0, bigEndian);
  Put32(out.data() + 4, head4, bigEndian);
  Put32(out.data() + 8, count, bigEndian);
  for (size_t i = 0; i < kProviderEntries; ++i) {
    uint8_t* p = out.data() + kProviderHeadSize + i * kProviderEntrySize;
    Put32(p, entries[i].usage, bigEndian && i < count);
    std::memcpy(p + 4, entries[i].name.data(), kProviderNameSize);
  }
  return out;
}

}  // namespace pelagor
