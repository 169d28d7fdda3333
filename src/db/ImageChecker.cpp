#include "db/ImageChecker.h"

#include <vector>

namespace pelagor {

namespace {
std::string Num(long v) { return std::to_string(v); }
}  // namespace

std::string CheckImage(const DbImage& img) {
  // 1: satellite ring.
  int satsInUse = 0;
  for (int s = 0; s < kMaxSats; ++s) satsInUse += img.SatInUse(s);
  if (img.SatCount() != satsInUse)
    return "satellite count " + Num(img.SatCount()) + " but " + Num(satsInUse) + " in use";
  if (satsInUse == 0) {
    if (img.FirstSat() != kNoSat) return "no satellites but first satellite is " + Num(img.FirstSat());
  } else {
    const int first = img.FirstSat();
    if (!img.SatInUse(first)) return "first satellite " + Num(first) + " not in use";
    int s = first;
    for (int i = 0; i < satsInUse; ++i) {
      const int n = img.SatNext(s);
      if (!img.SatInUse(n)) return "satellite " + Num(s) + " links to free satellite " + Num(n);
      if (img.SatPrev(n) != s) return "satellite " + Num(n) + " previous is not " + Num(s);
      s = n;
      if (s == first && i + 1 != satsInUse) return "satellite ring shorter than the count";
    }
    if (s != first) return "satellite ring does not close";
  }
  // 2: TP rings; 6: TP to satellite.
  std::vector<int> tpsOf(kMaxSats, 0);
  for (int t = 0; t < kMaxTps; ++t) {
    if (!img.TpInUse(t)) continue;
    if (!img.SatInUse(img.TpSat(t))) return "TP " + Num(t) + " on free satellite " + Num(img.TpSat(t));
    ++tpsOf[img.TpSat(t)];
  }
  for (int s = 0; s < kMaxSats; ++s) {
    if (!img.SatInUse(s)) continue;
    const int count = img.SatTpCount(s);
    if (count != tpsOf[s]) return "satellite " + Num(s) + " TP count " + Num(count) + " but " + Num(tpsOf[s]) + " TPs";
    if (count == 0) {
      if (img.SatFirstTp(s) != kNoTp || img.SatLastTp(s) != kNoTp)
        return "satellite " + Num(s) + " without TPs has TP links";
      continue;
    }
    const int first = img.SatFirstTp(s);
    if (!img.TpInUse(first) || img.TpSat(first) != s) return "satellite " + Num(s) + " first TP is not its own";
    // The last TP is read only when it names a TP: a hostile image may hold any value there.
    const int lastTp = img.SatLastTp(s);
    if (!img.TpInUse(lastTp) || img.TpNext(lastTp) != first)
      return "satellite " + Num(s) + " last TP does not lead to the first";
    int t = first;
    for (int i = 0; i < count; ++i) {
      if (i > 0 && t == first) return "TP ring of satellite " + Num(s) + " shorter than its count";
      const int n = img.TpNext(t);
      if (!img.TpInUse(n) || img.TpSat(n) != s) return "TP " + Num(t) + " links outside its satellite";
      if (img.TpPrev(n) != t) return "TP " + Num(n) + " previous is not " + Num(t);
      t = n;
    }
    if (t != first) return "TP ring of satellite " + Num(s) + " does not close";
  }
  // 3: channel rings; 6: channel to TP.
  std::vector<char> visited(kMaxChans, 0);  // a sound ring passes each channel once
  std::vector<int> chansOf(kMaxTps, 0);
  int chansInUse = 0;
  for (int c = 0; c < kMaxChans; ++c) {
    if (!img.ChanInUse(c)) continue;
    ++chansInUse;
    if (!img.TpInUse(img.ChanTp(c))) return "channel " + Num(c) + " on free TP " + Num(img.ChanTp(c));
    ++chansOf[img.ChanTp(c)];
  }
  for (int t = 0; t < kMaxTps; ++t) {
    if (!img.TpInUse(t)) continue;
    const int count = img.TpChanCount(t);
    if (count != chansOf[t])
      return "TP " + Num(t) + " channel count " + Num(count) + " but " + Num(chansOf[t]) + " channels";
    if (count == 0) {
      if (img.TpFirstChan(t) != kNoChan || img.TpLastChan(t) != kNoChan)
        return "TP " + Num(t) + " without channels has links";
      continue;
    }
    const int first = img.TpFirstChan(t);
    const int lastChan = img.TpLastChan(t);
    if (!img.ChanInUse(lastChan) || img.ChanNext(lastChan) != first)
      return "TP " + Num(t) + " last channel does not lead to the first";
    int c = first;
    for (int i = 0; i < count; ++i) {
      if (!img.ChanInUse(c) || img.ChanTp(c) != t) return "channel ring of TP " + Num(t) + " leaves the TP";
      if (visited[size_t(c)]++) return "channel " + Num(c) + " met twice in the ring of TP " + Num(t);
      c = img.ChanNext(c);
    }
    if (c != first) return "channel ring of TP " + Num(t) + " does not close";
  }
  // 7: counters.
  if (img.ChanCount() != chansInUse)
    return "channel count " + Num(img.ChanCount()) + " but " + Num(chansInUse) + " in use";
  if (chansInUse == 0 && img.CurrentChan() != kNoChan) return "no channels but a current channel";
  // 4: order list packed, each channel once.
  std::vector<int> seen(kMaxChans, 0);
  for (int i = 0; i < kMaxChans; ++i) {
    const int e = img.Order(i);
    if (i < chansInUse) {
      if (!img.ChanInUse(e)) return "order entry " + Num(i) + " is not a channel in use";
      if (seen[e]++) return "channel " + Num(e) + " twice in the order list";
    } else if (e != kNoChan) {
      return "order list not packed at entry " + Num(i);
    }
  }
  // 5: favourite lists.
  for (int type = 0; type < 2; ++type) {
    for (int k = 0; k < kFavLists; ++k) {
      const int len = img.FavLength(type, k);
      const std::string list = (type == 0 ? "TV" : "radio") + std::string(" favourite list ") + Num(k);
      if (len > kFavEntries) return list + " too long";
      for (int i = 0; i < kFavEntries; ++i) {
        const int e = img.FavEntry(type, k, i);
        if (i >= len) {
          if (e != kNoChan) return list + " not packed";
          continue;
        }
        if (!img.ChanInUse(e)) return list + " holds free channel " + Num(e);
        if (!((img.ChanWordField(e, chw::kFavMask) >> k) & 1u))
          return list + " holds channel " + Num(e) + " without its mask bit";
      }
    }
  }
  return {};
}

}  // namespace pelagor
