#pragma once
// The database operations: every edit of links, counts, bitmaps, the order
// list and the favourite lists goes through here so the image stays sound.
// Results: 0 done, 1 rejected (CountNewTps: a count or -1). A rejected call
// leaves the image as it was, also when the image itself is inconsistent.

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

#include "db/DbImage.h"

namespace pelagor {

class DbOps {
 public:
  // 16-byte catalogue name of an entry, or nullptr when there is none.
  using SatNameLookup = std::function<const uint8_t*(int catalogueIndex)>;

  explicit DbOps(DbImage& image, SatNameLookup satName = {}) : img_(image), satName_(std::move(satName)) {}

  // Current selections of the editor.
  int tunerMask = 1;     // 1, 2 or 3
  int deliveryType = 0;  // 0 satellite, 1 terrestrial, 2 cable

  int AllocSlot(int& out, int capacity, size_t bitmapOffset);
  static int PseudoSatIndex(bool tunerIsTwo) { return tunerIsTwo ? 199 : 198; }

  int AddSat(uint8_t& out, uint8_t catalogueIndex, int newFlag);
  int DeleteSat(int s);
  int SyncSatName(int s);
  int FindSatByCatalogue(uint8_t k, uint8_t& out) const;

  int AddTp(int s, uint16_t& out, int newFlag);
  int DeleteTp(int t);
  int DeleteSatTps(int s);
  int FindTp(int s, uint16_t& out, uint16_t frequency, uint32_t polarisation) const;
  int CountNewTps(int s) const;

  int SetTpFrequency(int t, uint16_t v);
  int SetTpSymbolRate(int t, uint16_t v);
  int SetTpModFec(int t, uint8_t v);
  int SetTpPolarisation(int t, uint32_t v);
  int GetTpPolarisation(int t, uint32_t& out) const;
  int GetTpNewFlag(int t, uint32_t& out) const;

  int AddChan(int t, uint16_t& out, int addedByEditor);
  int DeleteChan(int c);
  int DeleteTpChans(int t);
  int SetChanPid(int c, int selector, uint16_t value);
  int SetServiceType(int c, int type);
  int SetChanName(int c, std::string_view text);
  int SetCasFlag(int c, int value);
  int SetLockFlag(int c, int value);
  int SetFavourite(int c, int k, int type, int add);
  int SetFavouriteName(int k, std::string_view text);

 private:
  // Checks of the links an operation is about to follow. An image whose
  // links name free or out-of-range records, or disagree with each other,
  // is refused before anything is written.
  bool SatRingNeighboursSound(int s) const;
  bool TpRingNeighboursSound(int t) const;
  bool TpRingSound(int s) const;    // the satellite's whole TP ring and its channel rings
  bool ChanRingSound(int t) const;  // the TP's whole channel ring
  // The channel before c in its TP's sound ring (c itself when alone), -1
  // when the ring is unsound or does not hold c.
  int ChanPredecessor(int t, int c) const;

  DbImage& img_;
  SatNameLookup satName_;
};

}  // namespace pelagor
