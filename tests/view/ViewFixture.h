#pragma once
// Small workspaces for the view tests, built through the database operations
// (and, for file tests, the project's own writer).

#include <cstring>
#include <string>
#include <vector>

#include "db/DbOps.h"
#include "files/DownloadImage.h"
#include "files/Workspace.h"
#include "support/FileBytes.h"
#include "support/ScratchDir.h"

namespace pelagor::test {

struct ChanFields {
  std::string name;
  uint16_t number = 1;
  int serviceType = 0;  // 0 TV, 1 radio
  bool cas = false;
  uint16_t videoPid = 100;
  uint16_t audioPid = 101;
  uint16_t pcrPid = 102;
  uint16_t sid = 1;
};

class WorkspaceBuilder {
 public:
  WorkspaceBuilder() { ws.model = 1; }

  // A catalogue entry; the catalogue becomes present on Finish.
  int AddEntry(const std::string& name, uint16_t position, std::vector<CatalogueTp> tps = {}) {
    const int k = int(cat_.count++);
    CatalogueEntry& e = cat_.entries[size_t(k)];
    std::memcpy(e.name.data(), name.data(), std::min<size_t>(name.size(), 15));
    e.position = position;
    e.tps = std::move(tps);
    e.tpCount = uint32_t(e.tps.size());
    e.tpCountAtLoad = e.tpCount;
    return k;
  }
  // An image satellite for catalogue index k with the given delivery type
  // (0 S, 1 T, 2 C) and tuner mask.
  uint8_t AddSat(int k, const std::string& name, int deliveryType = 0, int tunerMask = 1) {
    DbOps ops = Ops(deliveryType, tunerMask);
    uint8_t s = kNoSat;
    static_cast<void>(ops.AddSat(s, uint8_t(k), 0));
    std::memset(ws.image->SatName(s), 0, 16);
    std::memcpy(ws.image->SatName(s), name.data(), std::min<size_t>(name.size(), 15));
    return s;
  }
  uint16_t AddTp(uint8_t s, uint16_t frequency, uint32_t pol = 1, uint16_t symbolRate = 27500, uint8_t modFec = 0,
                 bool excluded = false) {
    DbOps ops = Ops(0, 1);
    uint16_t t = kNoTp;
    static_cast<void>(ops.AddTp(s, t, 0));
    static_cast<void>(ops.SetTpFrequency(t, frequency));
    static_cast<void>(ops.SetTpSymbolRate(t, symbolRate));
    static_cast<void>(ops.SetTpPolarisation(t, pol));
    static_cast<void>(ops.SetTpModFec(t, modFec));
    ws.image->SetTpWordField(t, tpw::kExcluded, excluded ? 1 : 0);
    const uint32_t st = ws.image->SatTuner(s);
    ws.image->SetTpTuner(
        t, tuner::kMaskB.Set(tuner::kMaskA.Set(ws.image->TpTuner(t), tuner::kMaskA.Get(st)), tuner::kMaskB.Get(st)));
    return t;
  }
  uint16_t AddChan(uint16_t t, const ChanFields& c) {
    DbOps ops = Ops(0, 1);
    uint16_t ch = kNoChan;
    static_cast<void>(ops.AddChan(t, ch, 0));
    static_cast<void>(ops.SetChanPid(ch, 0, c.videoPid));
    static_cast<void>(ops.SetChanPid(ch, 1, c.audioPid));
    static_cast<void>(ops.SetChanPid(ch, 2, c.pcrPid));
    ws.image->SetChanU16(ch, chan::kNumber, c.number);
    ws.image->SetChanU16(ch, chan::kSid, c.sid);
    static_cast<void>(ops.SetChanName(ch, c.name));
    static_cast<void>(ops.SetServiceType(ch, c.serviceType));
    static_cast<void>(ops.SetCasFlag(ch, c.cas ? 1 : 0));
    ws.image->SetChanU16(ch, chan::kProvider, 0xFFFF);
    return ch;
  }
  DbOps Ops(int deliveryType, int tunerMask) {
    DbOps ops(*ws.image);
    ops.deliveryType = deliveryType;
    ops.tunerMask = tunerMask;
    return ops;
  }

  // Makes the catalogue present (as a load does) and returns the workspace.
  Workspace Finish() {
    const std::vector<uint8_t> body = cat_.Build();
    static_cast<void>(ws.catalogue.Load(body.data(), body.size()));
    return ws;
  }

  Workspace ws;

 private:
  SatCatalogue cat_;
};

}  // namespace pelagor::test
