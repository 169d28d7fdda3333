#pragma once
// The receiver's list of known satellites with their transponders. Numbers are
// held in host order; the satellite section stores them big-endian.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/DbImage.h"

namespace pelagor {

struct CatalogueTp {
  uint16_t frequency = 0;    // MHz
  uint16_t symbolRate = 0;   // kS/s
  uint8_t polarisation = 0;  // 0 auto, 1 H, 2 V
  uint8_t modFec = 0;
  uint8_t hidden = 0;  // 1 = deleted by the user, still written
  uint8_t pilot = 0;   // 0 off, otherwise on
  bool operator==(const CatalogueTp&) const = default;
};

struct CatalogueEntry {
  std::array<uint8_t, 16> name{};
  uint32_t tpCount = 0;
  uint16_t position = 0;  // tenths of a degree; above 1800 is west
  std::vector<CatalogueTp> tps;
  uint32_t tpCountAtLoad = 0;
  bool operator==(const CatalogueEntry&) const = default;
};

// Sizes in the satellite section; the body passed to Load/Build excludes the
// 8-byte prefix, which the file reader carries on its own.
inline constexpr size_t kCatalogueEntries = 200;
inline constexpr size_t kCatalogueTpSize = 8;
inline constexpr size_t kCatalogueBlockSize = 4404;  // count, names, TP numbers, positions
inline constexpr size_t kCatalogueNamesOffset = 4;
inline constexpr size_t kCatalogueTpNumbersOffset = 3204;
inline constexpr size_t kCataloguePositionsOffset = 4004;

class SatCatalogue {
 public:
  // Empty until the first satellite section is loaded; the writer refuses
  // to write without one.
  [[nodiscard]] bool Present() const { return present_; }
  void Clear();

  // body = the section body after its 8-byte prefix. Returns false (and
  // leaves this catalogue unchanged) when the body is too short for the
  // block or for the TP lists it declares, or declares more than 200
  // entries. TP numbers of entries at or past the count are read as 0.
  [[nodiscard]] bool Load(const uint8_t* body, size_t length);
  // Block and TP lists of all 200 entries, each entry's first tpCount TPs.
  [[nodiscard]] std::vector<uint8_t> Build() const;
  // Sum of the 200 TP numbers: the written TP list length in entries.
  [[nodiscard]] size_t TotalTps() const;

  uint32_t count = 0;
  std::array<CatalogueEntry, kCatalogueEntries> entries{};

 private:
  bool present_ = false;
};

}  // namespace pelagor

namespace pelagor {
// "19.2E", "5.0W", "45.0N": value in 10^-decimals degrees, west/south above
// half. Trailing zeros of the fraction go, down to one digit: 1920/2 is 19.2E.
[[nodiscard]] std::string FormatOrbitalPosition(bool isLatitude, int value, int decimals);
}  // namespace pelagor
