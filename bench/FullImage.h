#pragma once
// A full database for the benchmarks, built with the operations: 40
// satellites of 20 TPs with 10 channels each (8000 channels), names, numbers,
// SIDs and providers drawn from a fixed seed.

#include <memory>

#include "db/DbImage.h"
#include "db/ProviderTable.h"
#include "db/SatCatalogue.h"

namespace pelagor::bench {

struct FullImage {
  std::unique_ptr<DbImage> img = std::make_unique<DbImage>();
  ProviderTable providers;
};

FullImage MakeFullImage();

// A cable satellite alone with 800 TPs in random frequency order.
std::unique_ptr<DbImage> MakeLongCableRing(int& sat);

// 200 entries with `tpsPerEntry` TPs each.
SatCatalogue MakeFullCatalogue(int tpsPerEntry);

}  // namespace pelagor::bench
