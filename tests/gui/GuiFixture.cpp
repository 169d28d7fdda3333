#include "gui/GuiFixture.h"

#include <cstring>
#include <vector>

#include "db/DbOps.h"
#include "files/DownloadImage.h"

namespace pelagor::guitest {
namespace {

struct SatDef {
  const char* name;
  uint16_t position;
  std::vector<CatalogueTp> tps;
};

struct ChanDef {
  int sat;  // index into the satellite table
  int tp;   // index into that satellite's TPs
  const char* name;
  int type;  // 0 TV, 1 radio
  bool cas;
  uint16_t number;
};

void SetName(std::array<uint8_t, 16>& dst, const char* name) {
  dst.fill(0);
  std::memcpy(dst.data(), name, std::min<size_t>(std::strlen(name), 15));
}

}  // namespace

Workspace MakeFixtureWorkspace(int model) {
  // Positions: 19.2E, 13.0E and 0.8W, so "Location" and "Alphabet" order differ.
  const std::vector<SatDef> sats = {
      {"ASTRA 1", 192, {{11362, 22000, 1, 0x13, 0, 0}, {11494, 22000, 1, 0x13, 0, 0}, {12188, 27500, 1, 0x13, 0, 0}}},
      {"HOTBIRD", 130, {{10992, 27500, 2, 0x13, 0, 0}, {11034, 27500, 2, 0x13, 0, 0}}},
      {"THOR", 3592, {{10872, 25000, 2, 0x13, 0, 0}}},
  };
  const std::vector<ChanDef> chans = {
      {0, 0, "Alpha One", 0, false, 1}, {0, 0, "Alpha Two", 0, true, 2},    {0, 1, "Bravo", 0, false, 3},
      {0, 2, "Charlie HD", 0, true, 4}, {1, 0, "Delta", 0, false, 5},       {1, 1, "Echo", 0, true, 6},
      {2, 0, "Foxtrot", 0, false, 7},   {0, 0, "Radio Alpha", 1, false, 8}, {1, 0, "Radio Delta", 1, false, 9},
  };

  Workspace ws;
  // An empty catalogue block makes the catalogue present; the entries follow.
  std::vector<uint8_t> block(kCatalogueBlockSize, 0);
  static_cast<void>(ws.catalogue.Load(block.data(), block.size()));
  ws.catalogue.count = uint32_t(sats.size());
  DbImage& img = *ws.image;
  for (int i = 0; i < kMaxChans; ++i) img.SetOrder(i, kNoChan);
  DbOps ops(img, [&ws](int k) -> const uint8_t* {
    return k >= 0 && size_t(k) < kCatalogueEntries ? ws.catalogue.entries[size_t(k)].name.data() : nullptr;
  });

  std::vector<std::vector<uint16_t>> tpIndex(sats.size());
  for (size_t k = 0; k < sats.size(); ++k) {
    CatalogueEntry& e = ws.catalogue.entries[k];
    SetName(e.name, sats[k].name);
    e.position = sats[k].position;
    e.tps = sats[k].tps;
    e.tpCount = uint32_t(e.tps.size());
    e.tpCountAtLoad = e.tpCount;
    uint8_t s = kNoSat;
    static_cast<void>(ops.AddSat(s, uint8_t(k), 0));
    static_cast<void>(ops.SyncSatName(s));
    for (const CatalogueTp& ctp : e.tps) {
      uint16_t t = kNoTp;
      static_cast<void>(ops.AddTp(s, t, 0));
      static_cast<void>(ops.SetTpFrequency(t, ctp.frequency));
      static_cast<void>(ops.SetTpSymbolRate(t, ctp.symbolRate));
      static_cast<void>(ops.SetTpPolarisation(t, ctp.polarisation));
      static_cast<void>(ops.SetTpModFec(t, ctp.modFec));
      tpIndex[k].push_back(t);
    }
  }
  uint16_t sid = 100;
  for (const ChanDef& d : chans) {
    uint16_t c = kNoChan;
    static_cast<void>(ops.AddChan(tpIndex[size_t(d.sat)][size_t(d.tp)], c, 0));
    static_cast<void>(ops.SetChanName(c, d.name));
    static_cast<void>(ops.SetServiceType(c, d.type));
    static_cast<void>(ops.SetCasFlag(c, d.cas ? 1 : 0));
    static_cast<void>(ops.SetChanPid(c, 0, uint16_t(sid + 1)));
    img.SetChanU16(c, chan::kSid, sid);
    img.SetChanU16(c, chan::kNumber, d.number);
    sid = uint16_t(sid + 10);
  }
  ws.model = model;
  ws.loaded = true;
  return ws;
}

bool WriteFixture(const std::string& path, int model) {
  return WriteDownloadImage(MakeFixtureWorkspace(model), path) == 1;
}

}  // namespace pelagor::guitest
