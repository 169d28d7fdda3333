#pragma once
// Channel and transponder sorts. The algorithm is fixed (the receiver's order
// of equal keys depends on it), so QuickSortRefs is kept exactly as the
// receiver's editor runs it: middle element swapped to the front, one-sided
// partition, recursion on both sides.

#include <cstdint>
#include <utility>
#include <vector>

#include "db/DbImage.h"
#include "db/DbStatus.h"
#include "db/ProviderTable.h"
#include "db/SatCatalogue.h"

namespace pelagor {

// Compares two key records: negative, zero or positive.
template <class Ref, class Cmp>
void QuickSortRefsRange(std::vector<Ref>& a, int lo, int hi, const Cmp& cmp, int direction) {
  while (lo < hi) {
    std::swap(a[size_t(lo)], a[size_t((lo + hi) / 2)]);
    int last = lo;
    for (int i = lo + 1; i <= hi; ++i) {
      if (direction * cmp(a[size_t(i)], a[size_t(lo)]) < 0) {
        ++last;
        std::swap(a[size_t(last)], a[size_t(i)]);
      }
    }
    std::swap(a[size_t(lo)], a[size_t(last)]);
    // The two sides are disjoint, so the order they are sorted in does not
    // change the result: recurse into the smaller one and loop on the larger,
    // which keeps the stack at log n even when equal keys make every
    // partition lopsided (8000 unnumbered channels, say).
    if (last - lo < hi - last) {
      QuickSortRefsRange(a, lo, last - 1, cmp, direction);
      lo = last + 1;
    } else {
      QuickSortRefsRange(a, last + 1, hi, cmp, direction);
      hi = last - 1;
    }
  }
}

template <class Ref, class Cmp>
void QuickSortRefs(std::vector<Ref>& refs, const Cmp& cmp, bool ascending) {
  if (refs.size() < 2) return;
  QuickSortRefsRange(refs, 0, int(refs.size()) - 1, cmp, ascending ? 1 : -1);
}

// Text comparison of the sorts: byte by byte after folding a-z onto A-Z, as
// unsigned bytes, ending at a NUL or after n bytes.
[[nodiscard]] int CompareFoldedText(const uint8_t* a, const uint8_t* b, size_t n);

// The four channel sorts over a list of channel indices (ChannelOrder or a
// favourite list). Entries that are 0xFFFF are skipped, the result is packed.
// kDbDone, or kDbRefused (list unchanged) when working memory cannot be had.
DbStatus SortChansByNumber(const DbImage& img, uint16_t* list, int length, bool ascending);
DbStatus SortChansByName(const DbImage& img, uint16_t* list, int length, bool ascending);
DbStatus SortChansBySatellite(const DbImage& img, uint16_t* list, int length, bool ascending);
// Providers named "Unknown" (any case) first, then provider names, then
// channel names; a provider index of 2000 or more reads as entry 0.
DbStatus SortChansByProvider(const DbImage& img, const ProviderTable& providers, uint16_t* list, int length,
                             bool ascending);

// A catalogue entry's TP list by frequency (hidden TPs included).
// kDbDone, or kDbRefused (list unchanged) when working memory cannot be had
// or the list is missing.
DbStatus SortCatalogueTps(CatalogueTp* list, int n, bool ascending);

// Sorts the TP ring of a cable satellite by stored frequency, ascending, with
// bubble passes that exchange neighbours in the ring (equal frequencies keep
// their order). kDbDone, or kDbRefused when the satellite index is not
// valid, its TP count is more than the TP table holds (nothing changed), or
// the ring breaks (the passes stop there, the ring may be partly sorted).
DbStatus SortCableTpRing(DbImage& img, int satIndex);

// Numbers the given channels 1, 2, 3 ... in list order ("Reassign Channel
// No."); 0xFFFF entries and indices outside the table are passed over.
void ReassignChannelNumbers(DbImage& img, const uint16_t* channels, int count);

// ChannelOrder of an image as a list the sorts can take and give back.
[[nodiscard]] std::vector<uint16_t> ReadChannelOrder(const DbImage& img);
void WriteChannelOrder(DbImage& img, const std::vector<uint16_t>& order);

}  // namespace pelagor
