#pragma once
// The workspace most view tests share: two satellites with a catalogue of
// three entries, and a cable pseudo-satellite for tuner 1.

#include "ViewFixture.h"

namespace pelagor::test {

struct StdWorkspace {
  Workspace ws;
  uint8_t astra = 0, hotbird = 0, cable = 0;
  uint16_t t11362 = 0, t12603 = 0, t10971 = 0, c3620 = 0, c4740 = 0, c1220 = 0;
  uint16_t erste = 0, zdf = 0, radio1 = 0, sat1 = 0, rai = 0, cableTv = 0, cableThree = 0;
};

inline StdWorkspace MakeStdWorkspace() {
  StdWorkspace w;
  WorkspaceBuilder b;
  const int astra = b.AddEntry(
      "Astra", 192, {{11362, 22000, 1, 0x03, 0, 0}, {11493, 22000, 2, 0x00, 1, 0}, {12603, 22000, 1, 0x24, 0, 1}});
  const int hotbird = b.AddEntry("Hotbird", 130, {{10971, 27500, 1, 0x00, 0, 0}});
  b.AddEntry("Intelsat", 3300);
  w.astra = b.AddSat(astra, "Astra 1");
  w.hotbird = b.AddSat(hotbird, "Hotbird 13");
  w.cable = b.AddSat(198, "Kabel", 2, 1);
  w.t11362 = b.AddTp(w.astra, 11362, 1);
  w.t12603 = b.AddTp(w.astra, 12603, 1);
  w.t10971 = b.AddTp(w.hotbird, 10971, 1);
  w.c3620 = b.AddTp(w.cable, 3620, 0, 6900, 2);
  w.c4740 = b.AddTp(w.cable, 4740, 0, 6900, 4, true);
  w.c1220 = b.AddTp(w.cable, 1220, 0, 6875, 9);
  w.erste = b.AddChan(w.t11362, {"Das Erste", 1});
  w.zdf = b.AddChan(w.t11362, {"ZDF", 2, 0, true});
  w.radio1 = b.AddChan(w.t11362, {"Radio1", 3, 1});
  w.sat1 = b.AddChan(w.t12603, {"Sat1", 4});
  w.rai = b.AddChan(w.t10971, {"Rai", 5});
  w.cableTv = b.AddChan(w.c3620, {"CableTV", 6});
  w.cableThree = b.AddChan(w.c1220, {"Cable3", 7});
  w.ws = b.Finish();
  return w;
}

}  // namespace pelagor::test
