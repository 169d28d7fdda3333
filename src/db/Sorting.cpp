#include "db/Sorting.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pelagor {

namespace {

uint8_t Fold(uint8_t c) { return (c >= 'a' && c <= 'z') ? uint8_t(c - 'a' + 'A') : c; }

// Gathers the channel indices that are not 0xFFFF, in order.
std::vector<uint16_t> Gather(const uint16_t* list, int length) {
  std::vector<uint16_t> out;
  out.reserve(size_t(length));
  for (int i = 0; i < length; ++i)
    if (list[i] != kNoChan) out.push_back(list[i]);
  return out;
}

template <class Key>
void WriteBack(uint16_t* list, int length, const std::vector<const Key*>& refs) {
  int i = 0;
  for (const Key* k : refs) list[i++] = k->index;
  for (; i < length; ++i) list[i] = kNoChan;
}

// Name bytes of a channel, starting after a character-table selector.
struct NameView {
  const uint8_t* p;
  size_t n;
};

NameView ChannelNameForSort(const uint8_t* name25) {
  if (name25[0] < 0x20) return {name25 + 1, chan::kNameSize - 1};
  return {name25, chan::kNameSize};
}

// Compares within each side's own field: past its end a side reads as NUL,
// so a skipped selector never makes the comparison run off the name.
int CompareNames(NameView a, NameView b) {
  const size_t n = std::max(a.n, b.n);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t ca = i < a.n ? Fold(a.p[i]) : 0;
    const uint8_t cb = i < b.n ? Fold(b.p[i]) : 0;
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
  return 0;
}

// The sort keys hold their text folded and cut at the first NUL, padded
// with zeros to the field size: comparing two such fields as unsigned bytes
// (memcmp) gives the same answer as the byte-by-byte text comparison, with
// the folding done once per channel instead of once per comparison.
void FoldInto(uint8_t* out, size_t outSize, NameView in) {
  size_t i = 0;
  for (; i < in.n && i < outSize && in.p[i] != 0; ++i) out[i] = Fold(in.p[i]);
  std::memset(out + i, 0, outSize - i);
}

int CompareFolded(const uint8_t* a, const uint8_t* b, size_t n) {
  const int r = std::memcmp(a, b, n);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

template <class Key, class Build, class Cmp>
DbStatus SortWith(const DbImage& img, uint16_t* list, int length, bool ascending, Build build, Cmp cmp) {
  try {
    std::vector<uint16_t> idx = Gather(list, length);
    if (idx.empty()) return kDbDone;
    std::vector<Key> keys;
    keys.reserve(idx.size());
    for (uint16_t c : idx) keys.push_back(build(img, c));
    std::vector<const Key*> refs;
    refs.reserve(keys.size());
    for (const Key& k : keys) refs.push_back(&k);
    QuickSortRefs(
        refs, [&](const Key* a, const Key* b) { return cmp(*a, *b); }, ascending);
    WriteBack(list, length, refs);
    return kDbDone;
  } catch (const std::bad_alloc&) {
    return kDbRefused;
  }
}

// A channel index may be out of the table in a damaged list; such a channel
// is keyed on record 0 rather than read past the table.
int SafeChan(uint16_t c) { return c < kMaxChans ? c : 0; }
int SafeTp(uint16_t t) { return t < kMaxTps ? t : 0; }

}  // namespace

int CompareFoldedText(const uint8_t* a, const uint8_t* b, size_t n) { return CompareNames({a, n}, {b, n}); }

DbStatus SortChansByNumber(const DbImage& img, uint16_t* list, int length, bool ascending) {
  struct Key {
    uint16_t number;
    uint16_t index;
  };
  return SortWith<Key>(
      img, list, length, ascending,
      [](const DbImage& im, uint16_t c) {
        return Key{im.ChanNumber(SafeChan(c)), c};
      },
      [](const Key& a, const Key& b) { return a.number > b.number ? 1 : -1; });
}

DbStatus SortChansByName(const DbImage& img, uint16_t* list, int length, bool ascending) {
  struct Key {
    uint8_t name[chan::kNameSize];
    uint16_t index;
  };
  return SortWith<Key>(
      img, list, length, ascending,
      [](const DbImage& im, uint16_t c) {
        Key k{};
        FoldInto(k.name, chan::kNameSize, ChannelNameForSort(im.ChanName(SafeChan(c))));
        k.index = c;
        return k;
      },
      [](const Key& a, const Key& b) { return CompareFolded(a.name, b.name, chan::kNameSize); });
}

DbStatus SortChansBySatellite(const DbImage& img, uint16_t* list, int length, bool ascending) {
  struct Key {
    uint8_t satName[sat::kNameSize];
    uint16_t frequency;
    uint32_t sid;
    uint8_t polarisation;
    uint16_t index;
  };
  return SortWith<Key>(
      img, list, length, ascending,
      [](const DbImage& im, uint16_t c) {
        Key k{};
        const int ch = SafeChan(c);
        const int t = SafeTp(im.ChanTp(ch));
        const int s = im.TpSat(t);
        if (DbImage::ValidSat(s)) FoldInto(k.satName, sat::kNameSize, {im.SatName(s), sat::kNameSize});
        k.frequency = im.TpFrequency(t);
        k.sid = im.ChanSid(ch);
        k.polarisation = uint8_t(im.TpWordField(t, tpw::kPolarisation));
        k.index = c;
        return k;
      },
      [](const Key& a, const Key& b) {
        if (int r = CompareFolded(a.satName, b.satName, sat::kNameSize)) return r;
        if (a.frequency != b.frequency) return a.frequency > b.frequency ? 1 : -1;
        if (a.polarisation != b.polarisation) return a.polarisation > b.polarisation ? 1 : -1;
        if (a.sid != b.sid) return a.sid > b.sid ? 1 : -1;
        return 1;
      });
}

namespace {

// In provider order a first byte of 0x80 or above is skipped like a
// character-table selector.
NameView ChannelNameForProviderSort(const uint8_t* name25) {
  if (name25[0] < 0x20 || name25[0] >= 0x80) return {name25 + 1, chan::kNameSize - 1};
  return {name25, chan::kNameSize};
}

}  // namespace

DbStatus SortChansByProvider(const DbImage& img, const ProviderTable& providers, uint16_t* list, int length,
                             bool ascending) {
  struct Key {
    uint16_t provider;
    uint16_t index;
    bool unknown;
    bool fullName;  // 16 bytes without a NUL
    uint8_t providerName[kProviderNameSize];
    uint8_t name[chan::kNameSize];
  };
  return SortWith<Key>(
      img, list, length, ascending,
      [&providers](const DbImage& im, uint16_t c) {
        Key k{};
        const int ch = SafeChan(c);
        const uint16_t p = im.ChanProvider(ch);
        k.provider = p < kFirstBadProvider ? p : 0;
        k.index = c;
        k.unknown = providers.IsUnknown(k.provider);
        const auto& pn = providers.entries[k.provider].name;
        k.fullName = std::find(pn.begin(), pn.end(), 0) == pn.end();
        FoldInto(k.providerName, kProviderNameSize, {pn.data(), kProviderNameSize});
        FoldInto(k.name, chan::kNameSize, ChannelNameForProviderSort(im.ChanName(ch)));
        return k;
      },
      [](const Key& a, const Key& b) {
        if (a.unknown != b.unknown) return a.unknown ? -1 : 1;
        if (!a.unknown) {
          if (int r = CompareFolded(a.providerName, b.providerName, kProviderNameSize)) return r;
          // Two names equal in all 16 bytes compare as 1, as the receiver's
          // comparison runs off the end without meeting a NUL.
          if (a.fullName) return 1;
        }
        return CompareFolded(a.name, b.name, chan::kNameSize);
      });
}

DbStatus SortCatalogueTps(CatalogueTp* list, int n, bool ascending) {
  if (n <= 0) return kDbDone;
  if (list == nullptr) return kDbRefused;
  struct Key {
    uint32_t frequency;
    int position;
  };
  try {
    std::vector<CatalogueTp> copy(list, list + n);
    std::vector<Key> keys(static_cast<size_t>(n));
    std::vector<const Key*> refs(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      keys[size_t(i)] = {copy[size_t(i)].frequency, i};
      refs[size_t(i)] = &keys[size_t(i)];
    }
    QuickSortRefs(
        refs,
        [](const Key* a, const Key* b) {
          return a->frequency > b->frequency ? 1 : a->frequency < b->frequency ? -1 : 0;
        },
        ascending);
    for (int i = 0; i < n; ++i) list[i] = copy[size_t(refs[size_t(i)]->position)];
    return kDbDone;
  } catch (const std::bad_alloc&) {
    return kDbRefused;
  }
}

namespace {

void SetTpNext(DbImage& img, int t, uint16_t v) { img.SetTpWordField(t, tpw::kNext, v); }
void SetTpPrev(DbImage& img, int t, uint16_t v) { img.SetTpWordField(t, tpw::kPrev, v); }

// Exchanges TP a with its ring successor b; the satellite's first and last
// follow. With two TPs the links already describe both orders.
void ExchangeWithSuccessor(DbImage& img, int s, uint16_t a, uint16_t b) {
  if (img.SatTpCount(s) != 2) {
    const uint16_t p = img.TpPrev(a);
    const uint16_t n = img.TpNext(b);
    if (!DbImage::ValidTp(p) || !DbImage::ValidTp(n)) return;
    SetTpNext(img, a, n);
    SetTpPrev(img, a, b);
    SetTpNext(img, b, a);
    SetTpPrev(img, b, p);
    SetTpNext(img, p, b);
    SetTpPrev(img, n, a);
  }
  const uint16_t first = img.SatFirstTp(s);
  const uint16_t last = img.SatLastTp(s);
  if (first == a) img.SetSatU16(s, sat::kFirstTp, b);
  if (last == b) img.SetSatU16(s, sat::kLastTp, a);
}

}  // namespace

DbStatus SortCableTpRing(DbImage& img, int s) {
  if (!DbImage::ValidSat(s)) return kDbRefused;
  const int count = img.SatTpCount(s);
  // No sound ring is longer than the TP table; a damaged count must not
  // turn the passes into billions of steps.
  if (count > kMaxTps) return kDbRefused;
  for (int pass = 0; pass < count - 1; ++pass) {
    uint16_t cur = img.SatFirstTp(s);
    for (int j = 0; j < count - 1; ++j) {
      if (!DbImage::ValidTp(cur)) return kDbRefused;
      const uint16_t next = img.TpNext(cur);
      if (!DbImage::ValidTp(next)) return kDbRefused;
      if (img.TpFrequency(next) < img.TpFrequency(cur))
        ExchangeWithSuccessor(img, s, cur, next);  // cur moved one place on
      else
        cur = next;
    }
  }
  return kDbDone;
}

void ReassignChannelNumbers(DbImage& img, const uint16_t* channels, int count) {
  uint16_t number = 1;
  for (int i = 0; i < count; ++i) {
    const uint16_t c = channels[i];
    if (!DbImage::ValidChan(c)) continue;
    img.SetChanU16(c, chan::kNumber, number++);
  }
}

std::vector<uint16_t> ReadChannelOrder(const DbImage& img) {
  std::vector<uint16_t> order(kMaxChans);
  for (int i = 0; i < kMaxChans; ++i) order[size_t(i)] = img.Order(i);
  return order;
}

void WriteChannelOrder(DbImage& img, const std::vector<uint16_t>& order) {
  for (int i = 0; i < kMaxChans && i < int(order.size()); ++i) img.SetOrder(i, order[size_t(i)]);
}

}  // namespace pelagor
