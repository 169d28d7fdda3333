#include "FullImage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "db/DbOps.h"

namespace pelagor::bench {

FullImage MakeFullImage() {
  FullImage f;
  DbOps ops(*f.img);
  std::mt19937 rng(2024);
  for (size_t p = 0; p < 300; ++p) {
    const std::string name = p % 50 == 0 ? "Unknown" : "Provider " + std::to_string(rng() % 200);
    std::memcpy(f.providers.entries[p].name.data(), name.data(), name.size());
  }
  f.providers.count = 300;
  static const char* const words[] = {"News", "Sport", "Movie", "Kids", "Music", "Info", "Shop", "Doku"};
  for (int s = 0; s < 40; ++s) {
    uint8_t sat = 0;
    static_cast<void>(ops.AddSat(sat, uint8_t(s), 0));
    std::snprintf(reinterpret_cast<char*>(f.img->SatName(sat)), 16, "Sat %02u", unsigned(rng() % 40));
    for (int k = 0; k < 20; ++k) {
      uint16_t t = 0;
      static_cast<void>(ops.AddTp(sat, t, 0));
      static_cast<void>(ops.SetTpFrequency(t, uint16_t(10700 + rng() % 2000)));
      static_cast<void>(ops.SetTpPolarisation(t, 1 + rng() % 2));
      for (int c = 0; c < 10; ++c) {
        uint16_t ch = 0;
        static_cast<void>(ops.AddChan(t, ch, 1));
        const std::string name = std::string(words[rng() % 8]) + " " + std::to_string(rng() % 1000);
        static_cast<void>(ops.SetChanName(ch, name));
        f.img->SetChanU16(ch, chan::kNumber, uint16_t(1 + rng() % 8000));
        f.img->SetChanU16(ch, chan::kSid, uint16_t(rng()));
        f.img->SetChanU16(ch, chan::kProvider, uint16_t(rng() % 10 == 0 ? 0xFFFF : rng() % 300));
      }
    }
  }
  // Shuffle the receiver's order so every sort has work to do.
  std::vector<uint16_t> order;
  for (int i = 0; i < kMaxChans; ++i) order.push_back(f.img->Order(i));
  std::shuffle(order.begin(), order.end(), rng);
  for (int i = 0; i < kMaxChans; ++i) f.img->SetOrder(i, order[size_t(i)]);
  return f;
}

std::unique_ptr<DbImage> MakeLongCableRing(int& sat) {
  auto img = std::make_unique<DbImage>();
  DbOps ops(*img);
  ops.deliveryType = 2;
  std::mt19937 rng(7);
  uint8_t s = 0;
  static_cast<void>(ops.AddSat(s, 198, 0));
  for (int k = 0; k < kMaxTps; ++k) {
    uint16_t t = 0;
    static_cast<void>(ops.AddTp(s, t, 0));
    static_cast<void>(ops.SetTpFrequency(t, uint16_t(1100 + rng() % 7500)));
  }
  sat = s;
  return img;
}

SatCatalogue MakeFullCatalogue(int tpsPerEntry) {
  SatCatalogue c;
  std::mt19937 rng(11);
  c.count = kCatalogueEntries;
  for (size_t i = 0; i < kCatalogueEntries; ++i) {
    CatalogueEntry& e = c.entries[i];
    std::snprintf(reinterpret_cast<char*>(e.name.data()), 16, "Satellite %zu", i);
    e.position = uint16_t(rng() % 3600);
    e.tps.resize(size_t(tpsPerEntry));
    for (CatalogueTp& tp : e.tps)
      tp = {uint16_t(10700 + rng() % 2000), uint16_t(22000 + rng() % 8000), uint8_t(1 + rng() % 2), 0x13, 0, 0};
    e.tpCount = e.tpCountAtLoad = uint32_t(e.tps.size());
  }
  return c;
}

}  // namespace pelagor::bench
