#pragma once
// The database operations: every edit of links, counts, bitmaps, the order
// list and the favourite lists goes through here so the image stays sound.
// Results: every operation returns a DbStatus, kDbDone (0) or kDbRefused (1),
// and a refused call leaves the image as it was, also when the image itself
// is inconsistent; CountNewTps gives a count (-1 for a broken ring) and
// PseudoSatIndex an index. None of them may be ignored.

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

#include "db/DbImage.h"
#include "db/DbStatus.h"

namespace pelagor {

class DbOps {
 public:
  // 16-byte catalogue name of an entry, or nullptr when there is none.
  using SatNameLookup = std::function<const uint8_t*(int catalogueIndex)>;

  explicit DbOps(DbImage& image, SatNameLookup satName = {}) : img_(image), satName_(std::move(satName)) {}

  // Current selections of the editor.
  int tunerMask = 1;     // 1, 2 or 3
  int deliveryType = 0;  // 0 satellite, 1 terrestrial, 2 cable

  DbStatus AllocSlot(int& out, int capacity, size_t bitmapOffset);
  [[nodiscard]] static int PseudoSatIndex(bool tunerIsTwo) { return tunerIsTwo ? 199 : 198; }

  DbStatus AddSat(uint8_t& out, uint8_t catalogueIndex, int newFlag);
  DbStatus DeleteSat(int s);
  DbStatus SyncSatName(int s);
  DbStatus FindSatByCatalogue(uint8_t k, uint8_t& out) const;

  DbStatus AddTp(int s, uint16_t& out, int newFlag);
  DbStatus DeleteTp(int t);
  DbStatus DeleteSatTps(int s);
  DbStatus FindTp(int s, uint16_t& out, uint16_t frequency, uint32_t polarisation) const;
  [[nodiscard]] int CountNewTps(int s) const;

  DbStatus SetTpFrequency(int t, uint16_t v);
  DbStatus SetTpSymbolRate(int t, uint16_t v);
  DbStatus SetTpModFec(int t, uint8_t v);
  DbStatus SetTpPolarisation(int t, uint32_t v);
  DbStatus GetTpPolarisation(int t, uint32_t& out) const;
  DbStatus GetTpNewFlag(int t, uint32_t& out) const;

  DbStatus AddChan(int t, uint16_t& out, int addedByEditor);
  DbStatus DeleteChan(int c);
  DbStatus DeleteTpChans(int t);
  DbStatus SetChanPid(int c, int selector, uint16_t value);
  DbStatus SetServiceType(int c, int type);
  DbStatus SetChanName(int c, std::string_view text);
  DbStatus SetCasFlag(int c, int value);
  DbStatus SetLockFlag(int c, int value);
  DbStatus SetFavourite(int c, int k, int type, int add);
  DbStatus SetFavouriteName(int k, std::string_view text);

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
