#include "db/DbOps.h"

#include <cstdio>
#include <cstring>

namespace pelagor {

namespace {
size_t CStrLen(const uint8_t* p, size_t max) {
  size_t n = 0;
  while (n < max && p[n] != 0) ++n;
  return n;
}
}  // namespace

bool DbOps::SatRingNeighboursSound(int s) const {
  if (!img_.SatInUse(s) || img_.SatCount() == 0) return false;
  const int p = img_.SatPrev(s);
  const int n = img_.SatNext(s);
  if (!img_.SatInUse(p) || !img_.SatInUse(n)) return false;
  if (img_.SatNext(p) != s || img_.SatPrev(n) != s) return false;
  // A satellite is its own neighbour when it is alone, and only then.
  return (img_.SatCount() == 1) == (n == s);
}

bool DbOps::TpRingNeighboursSound(int t) const {
  if (!img_.TpInUse(t)) return false;
  const int s = img_.TpSat(t);
  if (!img_.SatInUse(s) || img_.SatTpCount(s) == 0) return false;
  const int p = img_.TpPrev(t);
  const int n = img_.TpNext(t);
  if (!img_.TpInUse(p) || !img_.TpInUse(n) || img_.TpSat(p) != s || img_.TpSat(n) != s) return false;
  if (img_.TpNext(p) != t || img_.TpPrev(n) != t) return false;
  return (img_.SatTpCount(s) == 1) == (n == t);
}

bool DbOps::ChanRingSound(int t) const {
  const int count = img_.TpChanCount(t);
  if (count == 0) return true;
  const int first = img_.TpFirstChan(t);
  int c = first;
  int last = -1;
  for (int i = 0; i < count; ++i) {
    if (!img_.ChanInUse(c) || img_.ChanTp(c) != t) return false;
    // Back at the first too early: the ring is shorter than the count (and
    // a ring that only closes after count steps has no channel twice).
    if (i > 0 && c == first) return false;
    last = c;
    c = img_.ChanNext(c);
  }
  return c == first && img_.TpLastChan(t) == last;
}

int DbOps::ChanPredecessor(int t, int c) const {
  if (img_.TpChanCount(t) == 0 || !ChanRingSound(t)) return -1;
  int p = img_.TpFirstChan(t);
  for (int i = 0; i < img_.TpChanCount(t); ++i) {
    if (img_.ChanNext(p) == c) return p;
    p = img_.ChanNext(p);
  }
  return -1;
}

bool DbOps::TpRingSound(int s) const {
  if (!img_.SatInUse(s)) return false;
  const int count = img_.SatTpCount(s);
  if (count == 0) return true;
  if (count > kMaxTps) return false;
  const int first = img_.SatFirstTp(s);
  int t = first;
  for (int i = 0; i < count; ++i) {
    if (!img_.TpInUse(t) || img_.TpSat(t) != s) return false;
    if (i > 0 && t == first) return false;
    if (!ChanRingSound(t)) return false;
    const int n = img_.TpNext(t);
    if (!img_.TpInUse(n) || img_.TpPrev(n) != t) return false;
    t = n;
  }
  return t == first && img_.SatLastTp(s) == img_.TpPrev(first);
}

DbStatus DbOps::AllocSlot(int& out, int capacity, size_t bitmapOffset) {
  const int words = (capacity + 31) / 32;
  for (int w = 0; w < words; ++w) {
    const uint32_t word = img_.U32(bitmapOffset + 4 * size_t(w));
    if (word == 0xFFFFFFFFu) continue;
    for (int j = 0; j < 32; ++j) {
      if ((word >> j) & 1u) continue;
      const int idx = 32 * w + j;
      // Bits past the table are never handed out, even when free.
      if (idx >= capacity) return kDbRefused;
      out = idx;
      img_.SetBit(bitmapOffset, idx, true);
      return kDbDone;
    }
  }
  return kDbRefused;
}

DbStatus DbOps::AddSat(uint8_t& out, uint8_t catalogueIndex, int newFlag) {
  out = kNoSat;
  if (img_.SatCount() != 0) {
    // The new satellite goes between the last satellite and the first.
    if (img_.SatCount() >= kMaxSats) return kDbRefused;
    const int f = img_.FirstSat();
    if (!img_.SatInUse(f)) return kDbRefused;
    const int l = img_.SatPrev(f);
    if (!img_.SatInUse(l) || img_.SatNext(l) != f) return kDbRefused;
  }
  int s = 0;
  if (AllocSlot(s, kMaxSats, kSatSlotBitmapOffset)) return kDbRefused;
  // Take the number before touching the record: if the number bitmap is full
  // (an inconsistent image) we give the slot back and leave the image as it was.
  int number = 0;
  if (AllocSlot(number, kMaxSats, kSatNumberBitmapOffset)) {
    img_.SetBit(kSatSlotBitmapOffset, s, false);
    return kDbRefused;
  }
  out = uint8_t(s);
  const size_t off = DbImage::SatOffset(s);
  std::memset(img_.Data() + off, 0, kSatRecordSize);
  uint32_t delivery = kDeliverySatellite;
  if (deliveryType == 1) delivery = kDeliveryTerrestrial;
  if (deliveryType == 2) delivery = kDeliveryCable;
  uint32_t link = 0;
  link = satlink::kDelivery.Set(link, delivery);
  link = satlink::kPrev.Set(link, 0xFF);
  link = satlink::kNext.Set(link, 0xFF);
  link = satlink::kCatalogue.Set(link, catalogueIndex);
  link = satlink::kNew.Set(link, newFlag ? 1 : 0);
  img_.SetSatLink(s, link);
  img_.SetSatU16(s, sat::kFirstTp, kNoTp);
  img_.SetSatU16(s, sat::kLastTp, kNoTp);
  img_.SetU8(off + sat::kCreatedBytes, 1);
  img_.SetU8(off + sat::kCreatedBytes + 1, 1);
  img_.SetSatU16(s, sat::kLnbHigh, 10600);
  img_.SetSatU16(s, sat::kLnbLow, 9750);
  img_.SetU8(off + sat::kNumber, uint8_t(number));
  img_.SetU8(off + sat::kNumber + 1, uint8_t(number));
  const uint32_t mask = uint32_t(tunerMask) & 0xF;
  img_.SetSatTuner(s, tuner::kMaskB.Set(tuner::kMaskA.Set(0, mask), mask));
  if (img_.SatCount() == 0) {
    img_.SetSatCount(1);
    img_.SetFirstSat(uint8_t(s));
    img_.SetSatLinkField(s, satlink::kPrev, uint32_t(s));
    img_.SetSatLinkField(s, satlink::kNext, uint32_t(s));
  } else {
    img_.SetSatCount(uint8_t(img_.SatCount() + 1));
    const int f = img_.FirstSat();
    const int l = img_.SatPrev(f);
    img_.SetSatLinkField(s, satlink::kPrev, uint32_t(l));
    img_.SetSatLinkField(s, satlink::kNext, uint32_t(f));
    img_.SetSatLinkField(f, satlink::kPrev, uint32_t(s));
    img_.SetSatLinkField(l, satlink::kNext, uint32_t(s));
  }
  return kDbDone;
}

DbStatus DbOps::DeleteSat(int s) {
  // A free record is no satellite: deleting it again would lower the count
  // and unlink its stale neighbours. Everything the deletion walks is
  // checked first, so a refusal comes before the first TP is gone.
  if (!SatRingNeighboursSound(s)) return kDbRefused;
  if (img_.SatTpCount(s) != 0 && !TpRingSound(s)) return kDbRefused;
  while (img_.SatTpCount(s) != 0 && img_.SatFirstTp(s) != kNoTp) {
    const int first = img_.SatFirstTp(s);
    if (DeleteTp(first) && img_.SatFirstTp(s) == first) break;
  }
  img_.SetSatCount(uint8_t(img_.SatCount() - 1));
  img_.SetBit(kSatSlotBitmapOffset, s, false);
  const int number = img_.U8(DbImage::SatOffset(s) + sat::kNumber);
  if (DbImage::ValidSat(number)) img_.SetBit(kSatNumberBitmapOffset, number, false);
  const int p = img_.SatPrev(s);
  const int n = img_.SatNext(s);
  if (img_.SatCount() == 0) {
    img_.SetFirstSat(kNoSat);
  } else {
    img_.SetSatLinkField(n, satlink::kPrev, uint32_t(p));
    img_.SetSatLinkField(p, satlink::kNext, uint32_t(n));
    if (img_.FirstSat() == s) img_.SetFirstSat(uint8_t(n));
  }
  img_.SetSatU16(s, sat::kTpCount, 0);
  img_.SetSatLinkField(s, satlink::kCatalogue, kNoCatalogueEntry);
  img_.SetSatU16(s, sat::kFirstTp, kNoTp);
  img_.SetSatU16(s, sat::kLastTp, kNoTp);
  img_.SetSatLinkField(s, satlink::kPrev, 0xFF);
  img_.SetSatLinkField(s, satlink::kNext, 0xFF);
  return kDbDone;
}

DbStatus DbOps::SyncSatName(int s) {
  if (!DbImage::ValidSat(s)) return kDbRefused;
  if (img_.SatLinkField(s, satlink::kNew)) return kDbDone;
  const int k = img_.SatCatalogueIndex(s);
  if (k >= kMaxSats) return kDbRefused;  // 0xFF and 200 name no entry
  const uint8_t* name = satName_ ? satName_(k) : nullptr;
  if (!name) return kDbRefused;  // no catalogue entry to copy from
  const size_t n = CStrLen(name, sat::kNameSize);
  uint8_t* dst = img_.SatName(s);
  if (n < sat::kNameSize) {
    std::memcpy(dst, name, n + 1);
  } else {
    std::memcpy(dst, name, kSatNameLen);
    dst[kSatNameLen] = 0;
  }
  return kDbDone;
}

DbStatus DbOps::FindSatByCatalogue(uint8_t k, uint8_t& out) const {
  out = kNoSat;
  const int first = img_.FirstSat();
  if (!img_.SatInUse(first)) return kDbRefused;
  int s = first;
  // Bounded so a corrupt ring cannot loop forever.
  for (int steps = 0; steps <= kMaxSats; ++steps) {
    if (img_.SatCatalogueIndex(s) == k) {
      out = uint8_t(s);
      return kDbDone;
    }
    s = img_.SatNext(s);
    if (!img_.SatInUse(s) || s == first) return kDbRefused;
  }
  return kDbRefused;
}

DbStatus DbOps::AddTp(int s, uint16_t& out, int newFlag) {
  out = kNoTp;
  if (!DbImage::ValidSat(s)) return kDbRefused;
  // A TP on a free satellite slot would be orphaned: nothing reaches it.
  if (!img_.SatInUse(s)) return kDbRefused;
  const int count = img_.SatTpCount(s);
  if (count != 0) {
    // The new TP goes between the last TP of the ring and the first.
    if (count >= kMaxTps) return kDbRefused;
    const int f = img_.SatFirstTp(s);
    if (!img_.TpInUse(f) || img_.TpSat(f) != s) return kDbRefused;
    const int l = img_.TpPrev(f);
    if (!img_.TpInUse(l) || img_.TpSat(l) != s || img_.TpNext(l) != f) return kDbRefused;
  }
  int t = 0;
  if (AllocSlot(t, kMaxTps, kTpSlotBitmapOffset)) return kDbRefused;
  out = uint16_t(t);
  const size_t off = DbImage::TpOffset(t);
  std::memset(img_.Data() + off, 0, kTpRecordSize);
  img_.SetU8(off + tp::kSat, uint8_t(s));
  img_.SetTpU16(t, tp::kFirstChan, kNoChan);
  img_.SetTpU16(t, tp::kLastChan, kNoChan);
  uint32_t word = 0;
  word = tpw::kPrev.Set(word, kNoTp);
  word = tpw::kNext.Set(word, kNoTp);
  word = tpw::kNew.Set(word, newFlag ? 1 : 0);
  img_.SetTpWord(t, word);
  img_.SetTpTuner(t, tuner::kMarker.Set(0, tuner::kMarker.Get(img_.SatTuner(s))));
  if (count == 0) {
    img_.SetSatU16(s, sat::kTpCount, 1);
    img_.SetSatU16(s, sat::kFirstTp, uint16_t(t));
    img_.SetSatU16(s, sat::kLastTp, uint16_t(t));
    img_.SetTpWordField(t, tpw::kPrev, uint32_t(t));
    img_.SetTpWordField(t, tpw::kNext, uint32_t(t));
  } else {
    img_.SetSatU16(s, sat::kTpCount, uint16_t(count + 1));
    const int f = img_.SatFirstTp(s);
    const int l = img_.TpPrev(f);
    img_.SetTpWordField(t, tpw::kNext, uint32_t(f));
    img_.SetTpWordField(t, tpw::kPrev, uint32_t(l));
    img_.SetTpWordField(f, tpw::kPrev, uint32_t(t));
    img_.SetTpWordField(l, tpw::kNext, uint32_t(t));
    img_.SetSatU16(s, sat::kLastTp, uint16_t(t));
  }
  return kDbDone;
}

DbStatus DbOps::DeleteTp(int t) {
  // A free record still names its old satellite; its stale links, like the
  // links of an inconsistent image, are refused before a channel is deleted.
  if (!TpRingNeighboursSound(t) || !ChanRingSound(t)) return kDbRefused;
  const int s = img_.TpSat(t);
  // Cannot be refused: the TP is in use and its channel ring sound.
  static_cast<void>(DeleteTpChans(t));
  const int count = img_.SatTpCount(s);
  img_.SetSatU16(s, sat::kTpCount, uint16_t(count - 1));
  img_.SetBit(kTpSlotBitmapOffset, t, false);
  img_.SetU8(DbImage::TpOffset(t) + tp::kSat, kNoSat);
  const int n = img_.TpNext(t);
  const int p = img_.TpPrev(t);
  if (count - 1 == 0) {
    img_.SetSatU16(s, sat::kFirstTp, kNoTp);
    img_.SetSatU16(s, sat::kLastTp, kNoTp);
  } else {
    img_.SetTpWordField(n, tpw::kPrev, uint32_t(p));
    img_.SetTpWordField(p, tpw::kNext, uint32_t(n));
    if (img_.SatFirstTp(s) == t) img_.SetSatU16(s, sat::kFirstTp, uint16_t(n));
    if (img_.SatLastTp(s) == t) img_.SetSatU16(s, sat::kLastTp, uint16_t(p));
  }
  img_.SetTpWordField(t, tpw::kPrev, kNoTp);
  img_.SetTpWordField(t, tpw::kNext, kNoTp);
  return kDbDone;
}

DbStatus DbOps::DeleteSatTps(int s) {
  if (!DbImage::ValidSat(s)) return kDbRefused;
  if (img_.SatTpCount(s) == 0) return kDbDone;
  if (!TpRingSound(s)) return kDbRefused;
  while (img_.SatFirstTp(s) != kNoTp) {
    const int first = img_.SatFirstTp(s);
    if (DeleteTp(first) && img_.SatFirstTp(s) == first) break;
  }
  return kDbDone;
}

DbStatus DbOps::FindTp(int s, uint16_t& out, uint16_t frequency, uint32_t polarisation) const {
  out = kNoTp;
  if (!DbImage::ValidSat(s)) return kDbRefused;
  const int first = img_.SatFirstTp(s);
  if (!img_.TpInUse(first) || img_.TpSat(first) != s) return kDbRefused;
  int t = first;
  for (int steps = 0; steps <= kMaxTps; ++steps) {
    if (img_.TpFrequency(t) == frequency && img_.TpWordField(t, tpw::kPolarisation) == polarisation) {
      out = uint16_t(t);
      return kDbDone;
    }
    t = img_.TpNext(t);
    if (!img_.TpInUse(t) || img_.TpSat(t) != s || t == first) return kDbRefused;
  }
  return kDbRefused;
}

int DbOps::CountNewTps(int s) const {
  if (!DbImage::ValidSat(s)) return -1;
  const int first = img_.SatFirstTp(s);
  if (!img_.TpInUse(first) || img_.TpSat(first) != s) return -1;
  int count = 0;
  int t = first;
  for (int steps = 0; steps <= kMaxTps; ++steps) {
    if (img_.TpWordField(t, tpw::kNew)) ++count;
    t = img_.TpNext(t);
    if (!img_.TpInUse(t) || img_.TpSat(t) != s) return -1;
    if (t == first) return count;
  }
  return -1;
}

DbStatus DbOps::SetTpFrequency(int t, uint16_t v) {
  if (!DbImage::ValidTp(t)) return kDbRefused;
  img_.SetTpU16(t, tp::kFrequency, v);
  return kDbDone;
}
DbStatus DbOps::SetTpSymbolRate(int t, uint16_t v) {
  if (!DbImage::ValidTp(t)) return kDbRefused;
  img_.SetTpU16(t, tp::kSymbolRate, v);
  return kDbDone;
}
DbStatus DbOps::SetTpModFec(int t, uint8_t v) {
  if (!DbImage::ValidTp(t)) return kDbRefused;
  img_.SetU8(DbImage::TpOffset(t) + tp::kModFec, v);
  return kDbDone;
}
DbStatus DbOps::SetTpPolarisation(int t, uint32_t v) {
  if (!DbImage::ValidTp(t)) return kDbRefused;
  img_.SetTpWordField(t, tpw::kPolarisation, v % 4);
  return kDbDone;
}
DbStatus DbOps::GetTpPolarisation(int t, uint32_t& out) const {
  if (!DbImage::ValidTp(t)) return kDbRefused;
  out = img_.TpWordField(t, tpw::kPolarisation);
  return kDbDone;
}
DbStatus DbOps::GetTpNewFlag(int t, uint32_t& out) const {
  if (!DbImage::ValidTp(t)) return kDbRefused;
  out = img_.TpWordField(t, tpw::kNew);
  return kDbDone;
}

DbStatus DbOps::AddChan(int t, uint16_t& out, int addedByEditor) {
  out = kNoChan;
  if (!DbImage::ValidTp(t)) return kDbRefused;
  // A channel on a free TP slot would hang on a TP that does not exist.
  if (!img_.TpInUse(t)) return kDbRefused;
  // The per-TP count is a byte: a 256th channel would wrap it to 0.
  if (img_.TpChanCount(t) >= kMaxChansPerTp) return kDbRefused;
  if (img_.TpChanCount(t) != 0) {
    // The new channel goes after the last one and leads to the first.
    const int first = img_.TpFirstChan(t);
    const int last = img_.TpLastChan(t);
    if (!img_.ChanInUse(first) || img_.ChanTp(first) != t) return kDbRefused;
    if (!img_.ChanInUse(last) || img_.ChanTp(last) != t || img_.ChanNext(last) != first) return kDbRefused;
  }
  int c = 0;
  if (AllocSlot(c, kMaxChans, kChanSlotBitmapOffset)) return kDbRefused;
  out = uint16_t(c);
  std::memset(img_.Data() + DbImage::ChanOffset(c), 0, kChanRecordSize);
  img_.SetChanU16(c, chan::kTp, uint16_t(t));
  for (size_t f : {chan::kAudioPid, chan::kVideoPid, chan::kPcrPid, chan::kPidSlot3, chan::kPidSlot4, chan::kPidSlot5})
    img_.SetChanU16(c, f, kNoPid);
  img_.SetChanU16(c, chan::kNext, kNoChan);
  img_.SetChanWordField(c, chw::kAddedByEditor, addedByEditor ? 1 : 0);
  img_.SetChanU16(c, chan::kNumber, kNoChanNumber);
  img_.SetChanCount(uint16_t(img_.ChanCount() + 1));
  img_.SetChanTuner(c, uint16_t(tuner::kMarker.Set(0, tuner::kMarker.Get(img_.TpTuner(t)))));
  const size_t toff = DbImage::TpOffset(t);
  const int count = img_.TpChanCount(t);
  if (count == 0) {
    img_.SetU8(toff + tp::kChanCount, 1);
    img_.SetTpU16(t, tp::kFirstChan, uint16_t(c));
    img_.SetTpU16(t, tp::kLastChan, uint16_t(c));
    img_.SetChanU16(c, chan::kNext, uint16_t(c));
  } else {
    img_.SetU8(toff + tp::kChanCount, uint8_t(count + 1));
    img_.SetChanU16(img_.TpLastChan(t), chan::kNext, uint16_t(c));
    img_.SetChanU16(c, chan::kNext, img_.TpFirstChan(t));
    img_.SetTpU16(t, tp::kLastChan, uint16_t(c));
  }
  for (int i = 0; i < kMaxChans; ++i) {
    const uint16_t e = img_.Order(i);
    if (e == c) break;
    if (e == kNoChan) {
      img_.SetOrder(i, uint16_t(c));
      break;
    }
  }
  return kDbDone;
}

DbStatus DbOps::DeleteChan(int c) {
  // A deleted channel keeps its TP index; deleting it again would lower the
  // counts of channels that are still there.
  if (!img_.ChanInUse(c)) return kDbRefused;
  const int t = img_.ChanTp(c);
  if (!img_.TpInUse(t)) return kDbRefused;
  // Found before anything changes: a channel its TP's ring does not hold
  // cannot be unlinked.
  const int p = ChanPredecessor(t, c);
  if (p < 0) return kDbRefused;
  if (img_.CurrentChan() == c) img_.SetCurrentChan(img_.ChanNext(c));
  const int count = img_.TpChanCount(t);
  img_.SetBit(kChanSlotBitmapOffset, c, false);
  const uint32_t favMask = img_.ChanWordField(c, chw::kFavMask);
  img_.SetU8(DbImage::TpOffset(t) + tp::kChanCount, uint8_t(count - 1));
  if (img_.ChanCount() != 0) img_.SetChanCount(uint16_t(img_.ChanCount() - 1));
  if (img_.ChanCount() == 0) img_.SetCurrentChan(kNoChan);

  int i = 0;
  while (i < kMaxChans && img_.Order(i) != c && img_.Order(i) != kNoChan) ++i;
  for (; i + 1 < kMaxChans; ++i) {
    const uint16_t moved = img_.Order(i + 1);
    img_.SetOrder(i, moved);
    if (moved == kNoChan) break;
  }
  if (i + 1 >= kMaxChans) img_.SetOrder(kMaxChans - 1, kNoChan);

  const int type = int(img_.ChanWordField(c, chw::kServiceType));
  for (int k = 0; k < kFavLists; ++k)
    if ((favMask >> k) & 1u) static_cast<void>(SetFavourite(c, k, type, 0));  // k and c are in range

  if (count - 1 == 0) {
    img_.SetTpU16(t, tp::kFirstChan, kNoChan);
    img_.SetTpU16(t, tp::kLastChan, kNoChan);
    img_.SetChanU16(c, chan::kNext, kNoChan);
    return kDbDone;
  }
  if (img_.TpFirstChan(t) == c) img_.SetTpU16(t, tp::kFirstChan, img_.ChanNext(c));
  if (img_.TpLastChan(t) == c) img_.SetTpU16(t, tp::kLastChan, uint16_t(p));
  img_.SetChanU16(p, chan::kNext, img_.ChanNext(c));
  img_.SetChanU16(c, chan::kNext, kNoChan);
  return kDbDone;
}

DbStatus DbOps::DeleteTpChans(int t) {
  if (!DbImage::ValidTp(t)) return kDbRefused;
  if (img_.TpChanCount(t) == 0) return kDbDone;
  if (!img_.TpInUse(t) || !ChanRingSound(t)) return kDbRefused;
  DbStatus result = kDbDone;
  while (img_.TpChanCount(t) != 0) {
    const int before = img_.TpChanCount(t);
    const DbStatus r = DeleteChan(img_.TpFirstChan(t));
    if (r == kDbRefused) result = kDbRefused;
    if (r == kDbRefused && img_.TpChanCount(t) == before) break;
  }
  return result;
}

DbStatus DbOps::SetChanPid(int c, int selector, uint16_t value) {
  if (!DbImage::ValidChan(c)) return kDbRefused;
  static constexpr size_t kFields[] = {chan::kVideoPid, chan::kAudioPid, chan::kPcrPid, chan::kPidSlot3,
                                       chan::kPidSlot4};
  if (selector < 0 || selector > 4) return kDbRefused;
  img_.SetChanU16(c, kFields[selector], value);
  return kDbDone;
}

DbStatus DbOps::SetServiceType(int c, int type) {
  if (!DbImage::ValidChan(c) || (type != 0 && type != 1)) return kDbRefused;
  img_.SetChanWordField(c, chw::kServiceType, uint32_t(type));
  return kDbDone;
}

DbStatus DbOps::SetChanName(int c, std::string_view text) {
  if (!DbImage::ValidChan(c)) return kDbRefused;
  size_t n = text.size();
  if (n > size_t(kChanNameLen)) n = kChanNameLen;
  uint8_t* dst = img_.ChanName(c);
  if (n == 0) {
    if (dst[0] != 0) return kDbDone;
    const int t = img_.ChanTp(c);
    if (!img_.TpInUse(t)) return kDbRefused;
    char base[7] = {};
    int count = 0;
    if (img_.TpLabel(t)[0] != 0) {
      std::memcpy(base, img_.TpLabel(t), CStrLen(img_.TpLabel(t), 6));
      count = img_.TpChanCount(t);
    } else {
      const int s = img_.TpSat(t);
      if (!img_.SatInUse(s)) return kDbRefused;
      std::memcpy(base, img_.SatName(s), CStrLen(img_.SatName(s), 6));
      count = img_.ChanCount();
    }
    char name[chan::kNameSize] = {};
    std::snprintf(name, sizeof name, "%s-%03d", base, count);
    std::memcpy(dst, name, sizeof name);
    return kDbDone;
  }
  size_t out = 0;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = uint8_t(text[i]);
    const bool keep = (b >= 0x20 && b <= 0x7F) || b >= 0xA0 || (i == 0 && b <= 0x05);
    if (keep) dst[out++] = b;
  }
  dst[out] = 0;
  return kDbDone;
}

DbStatus DbOps::SetCasFlag(int c, int value) {
  if (!DbImage::ValidChan(c)) return kDbRefused;
  img_.SetChanWordField(c, chw::kCas, uint32_t(value) & 1u);
  return kDbDone;
}

DbStatus DbOps::SetLockFlag(int c, int value) {
  if (!DbImage::ValidChan(c)) return kDbRefused;
  img_.SetChanWordField(c, chw::kLock, uint32_t(value) & 1u);
  return kDbDone;
}

DbStatus DbOps::SetFavourite(int c, int k, int type, int add) {
  if (k < 0 || k >= kFavLists || !DbImage::ValidChan(c)) return kDbRefused;
  uint32_t mask = img_.ChanWordField(c, chw::kFavMask);
  mask = add ? (mask | (1u << k)) : (mask & ~(1u << k));
  img_.SetChanWordField(c, chw::kFavMask, mask);
  const int lt = type == 0 ? 0 : 1;
  if (add) {
    for (int i = 0; i < kFavEntries; ++i) {
      const uint16_t e = img_.FavEntry(lt, k, i);
      if (e == c) break;
      if (e == kNoChan) {
        img_.SetFavEntry(lt, k, i, uint16_t(c));
        img_.SetFavLength(lt, k, uint16_t(img_.FavLength(lt, k) + 1));
        break;
      }
    }
    return kDbDone;
  }
  const int len = img_.FavLength(lt, k);
  int i = 0;
  while (i < len && i < kFavEntries && img_.FavEntry(lt, k, i) != c && img_.FavEntry(lt, k, i) != kNoChan) ++i;
  // Only a found entry is removed; otherwise the list is left alone.
  if (i >= len || i >= kFavEntries || img_.FavEntry(lt, k, i) != c) return kDbDone;
  img_.SetFavLength(lt, k, uint16_t(len - 1));
  for (; i + 1 < kFavEntries; ++i) {
    const uint16_t moved = img_.FavEntry(lt, k, i + 1);
    img_.SetFavEntry(lt, k, i, moved);
    if (moved == kNoChan) break;
  }
  if (i + 1 >= kFavEntries) img_.SetFavEntry(lt, k, kFavEntries - 1, kNoChan);
  return kDbDone;
}

DbStatus DbOps::SetFavouriteName(int k, std::string_view text) {
  if (k < 0 || k >= kFavLists) return kDbRefused;
  size_t n = text.size();
  if (n > size_t(kFavNameLen)) n = kFavNameLen;
  uint8_t* dst = img_.FavName(k);
  std::memcpy(dst, text.data(), n);
  dst[n] = 0;
  return kDbDone;
}

}  // namespace pelagor
