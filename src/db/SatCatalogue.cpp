#include "db/SatCatalogue.h"

#include <algorithm>
#include <cstring>

namespace pelagor {
namespace {

uint32_t Be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
void PutBe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}
void PutBe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

}  // namespace

void SatCatalogue::Clear() { *this = SatCatalogue{}; }

bool SatCatalogue::Load(const uint8_t* body, size_t length) {
  if (body == nullptr || length < kCatalogueBlockSize) return false;
  SatCatalogue next;
  next.present_ = true;
  next.count = Be32(body);
  // The block has room for 200 entries; a larger count would send every
  // reader of the entries past the table.
  if (next.count > kCatalogueEntries) return false;
  size_t at = kCatalogueBlockSize;
  for (size_t i = 0; i < kCatalogueEntries; ++i) {
    CatalogueEntry& e = next.entries[i];
    std::memcpy(e.name.data(), body + kCatalogueNamesOffset + 16 * i, 16);
    e.position = Be16(body + kCataloguePositionsOffset + 2 * i);
    // Entries past the count hold no list in the file, whatever their number says.
    e.tpCount = i < next.count ? Be32(body + kCatalogueTpNumbersOffset + 4 * i) : 0;
    e.tpCountAtLoad = e.tpCount;
    if (e.tpCount > (length - at) / kCatalogueTpSize) return false;
    e.tps.resize(e.tpCount);
    for (CatalogueTp& tp : e.tps) {
      const uint8_t* p = body + at;
      tp = {Be16(p), Be16(p + 2), p[4], p[5], p[6], p[7]};
      at += kCatalogueTpSize;
    }
  }
  *this = std::move(next);
  return true;
}

size_t SatCatalogue::TotalTps() const {
  size_t n = 0;
  for (const CatalogueEntry& e : entries) n += e.tpCount;
  return n;
}

std::vector<uint8_t> SatCatalogue::Build() const {
  std::vector<uint8_t> out(kCatalogueBlockSize + kCatalogueTpSize * TotalTps());
  PutBe32(out.data(), count);
  size_t at = kCatalogueBlockSize;
  for (size_t i = 0; i < kCatalogueEntries; ++i) {
    const CatalogueEntry& e = entries[i];
    std::memcpy(out.data() + kCatalogueNamesOffset + 16 * i, e.name.data(), 16);
    PutBe32(out.data() + kCatalogueTpNumbersOffset + 4 * i, e.tpCount);
    PutBe16(out.data() + kCataloguePositionsOffset + 2 * i, e.position);
    // A TP number larger than the list (never made by the editor) is padded
    // with zero entries so the section length stays 4412 + 8 n.
    size_t have = std::min<size_t>(e.tpCount, e.tps.size());
    for (size_t k = 0; k < have; ++k) {
      const CatalogueTp& tp = e.tps[k];
      uint8_t* p = out.data() + at + kCatalogueTpSize * k;
      PutBe16(p, tp.frequency);
      PutBe16(p + 2, tp.symbolRate);
      p[4] = tp.polarisation;
      p[5] = tp.modFec;
      p[6] = tp.hidden;
      p[7] = tp.pilot;
    }
    at += kCatalogueTpSize * e.tpCount;
  }
  return out;
}

}  // namespace pelagor

namespace pelagor {
std::string FormatOrbitalPosition(bool isLatitude, int value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 6) decimals = 6;
  int scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const int half = (isLatitude ? 90 : 180) * scale;
  const char* hemisphere = isLatitude ? "N" : "E";
  if (value > half) {
    value = 2 * half - value;
    hemisphere = isLatitude ? "S" : "W";
  }
  const bool negative = value < 0;
  if (negative) value = -value;
  // The fraction keeps its leading zeros (19.05, not 19.5) and loses its
  // trailing ones, down to a single digit.
  std::string frac = std::to_string(value % scale);
  if (int(frac.size()) < decimals) frac.insert(0, size_t(decimals) - frac.size(), '0');
  while (frac.size() > 1 && frac.back() == '0') frac.pop_back();
  return (negative ? "-" : "") + std::to_string(value / scale) + "." + frac + hemisphere;
}
}  // namespace pelagor
