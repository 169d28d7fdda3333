#include "db/CatalogueMerge.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "db/DbOps.h"

namespace pelagor {
namespace {

// The first tpCount TPs of an entry: the part of its list that is written.
std::vector<CatalogueTp> ListedTps(const CatalogueEntry& e) {
  const size_t n = std::min<size_t>(e.tpCount, e.tps.size());
  return std::vector<CatalogueTp>(e.tps.begin(), e.tps.begin() + std::ptrdiff_t(n));
}

// Appends the satellite's TPs that are new and not excluded, in ring order
// from its first TP, and notes their indices. The walk ends back at the
// first TP, at a link out of the table, or at a TP met before (a damaged
// ring that loops without returning to its start).
void CollectNewTps(const DbImage& img, int s, std::vector<CatalogueTp>& tps, std::vector<int>& which) {
  const int first = img.SatFirstTp(s);
  if (!DbImage::ValidTp(first)) return;
  std::array<bool, kMaxTps> seen{};
  int t = first;
  while (!seen[size_t(t)]) {
    seen[size_t(t)] = true;
    const uint32_t word = img.TpWord(t);
    if (!tpw::kExcluded.Get(word) && tpw::kNew.Get(word)) {
      tps.push_back({img.TpFrequency(t), img.TpSymbolRate(t), uint8_t(tpw::kPolarisation.Get(word)), img.TpModFec(t),
                     /*hidden*/ 0, /*pilot: the image has none, off*/ 0});
      which.push_back(t);
    }
    t = img.TpNext(t);
    if (!DbImage::ValidTp(t) || t == first) return;
  }
}

// Builds the entry's extended list first, so a failed allocation leaves
// both the entry and the image's new bits as they were.
[[nodiscard]] bool AppendNewTps(DbImage& img, int s, CatalogueEntry& e) {
  std::vector<CatalogueTp> list;
  std::vector<int> which;
  try {
    list = ListedTps(e);
    CollectNewTps(img, s, list, which);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (which.empty()) return true;
  e.tps = std::move(list);
  e.tpCount = uint32_t(e.tps.size());
  for (int t : which) img.SetTpWordField(t, tpw::kNew, 0);
  return true;
}

}  // namespace

void MergeNewSatellites(DbImage& img, SatCatalogue& cat) {
  // Without a catalogue the new bits stay, to be merged once a file brings one.
  if (!cat.Present()) return;
  const DbOps ops(img);
  for (int i = 0; i < kMaxSats; ++i) {
    if (!img.SatInUse(i) || !img.SatLinkField(i, satlink::kNew)) continue;
    const size_t b = img.SatCatalogueIndex(i);
    if (b >= kCatalogueEntries) continue;
    CatalogueEntry& e = cat.entries[b];
    if (ops.CountNewTps(i) > 0 && !AppendNewTps(img, i, e)) continue;
    // An entry already in use keeps its name and position; one past the
    // count is taken over by the satellite.
    if (b >= cat.count) {
      std::memcpy(e.name.data(), img.SatName(i), sat::kNameSize);
      e.position = 0;
      if (b == cat.count) ++cat.count;
    }
    img.SetSatLinkField(i, satlink::kNew, 0);
  }
}

void MergeNewTps(DbImage& img, SatCatalogue& cat) {
  if (!cat.Present()) return;
  const DbOps ops(img);
  for (int i = 0; i < kMaxSats; ++i) {
    if (!img.SatInUse(i) || ops.CountNewTps(i) <= 0) continue;
    const size_t b = img.SatCatalogueIndex(i);
    if (b >= kCatalogueEntries) continue;
    // Without memory for the longer list the TPs keep their new bits and
    // wait for the next merge.
    static_cast<void>(AppendNewTps(img, i, cat.entries[b]));
  }
}

DbStatus DeleteCatalogueEntry(DbImage& img, SatCatalogue& cat, int k) {
  if (k < 0 || size_t(k) >= kCatalogueEntries || cat.count == 0 || uint32_t(k) >= cat.count) return kDbRefused;
  const size_t end = std::min<size_t>(cat.count, kCatalogueEntries);
  for (size_t j = size_t(k); j + 1 < end; ++j) cat.entries[j] = std::move(cat.entries[j + 1]);
  cat.entries[end - 1] = CatalogueEntry{};
  --cat.count;
  for (int s = 0; s < kMaxSats; ++s) {
    if (!img.SatInUse(s)) continue;
    const size_t idx = img.SatCatalogueIndex(s);
    if (idx > size_t(k) && idx < end) img.SetSatLinkField(s, satlink::kCatalogue, uint32_t(idx - 1));
  }
  return kDbDone;
}

}  // namespace pelagor
