// Every channel sort over random images built with the operations: the image
// stays sound, the list comes back packed with the same channels, and the
// keys come out in order (the sort is not stable, so only the key sequence
// is compared with a reference sort).

#include "db/DbOps.h"
#include "db/ImageChecker.h"
#include "db/Sorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace pelagor {
namespace {

std::string Folded(const uint8_t* p, size_t n) {
  std::string s;
  for (size_t i = 0; i < n && p[i]; ++i) s += char((p[i] >= 'a' && p[i] <= 'z') ? p[i] - 32 : p[i]);
  return s;
}

std::string SortName(const uint8_t* name, bool skipHigh) {
  const bool skip = name[0] < 0x20 || (skipHigh && name[0] >= 0x80);
  return skip ? Folded(name + 1, chan::kNameSize - 1) : Folded(name, chan::kNameSize);
}

// Few distinct values so that ties are common; case variants, selector bytes
// and high first bytes included.
const char* const kNames[] = {"news",
                              "NEWS",
                              "\x05News",
                              "\x86"
                              "Arte",
                              "arte",
                              "Zdf",
                              "\x01zdf",
                              "B",
                              "",
                              "Sport 1",
                              "sport 1",
                              "\xC4rger"};
const char* const kProviders[] = {"Unknown",          "UNKNOWN",          "ARD", "ard", "Sky",
                                  "ABCDEFGHIJKLMNOP", "abcdefghijklmnop", ""};

struct RandomImage {
  std::unique_ptr<DbImage> img = std::make_unique<DbImage>();
  ProviderTable providers;

  explicit RandomImage(unsigned seed, int channels) {
    std::mt19937 rng(seed);
    DbOps ops(*img);
    for (size_t i = 0; i < 12; ++i) {
      const char* p = kProviders[rng() % std::size(kProviders)];
      std::memcpy(providers.entries[i].name.data(), p, std::min<size_t>(std::strlen(p), kProviderNameSize));
    }
    const char* const satNames[] = {"Astra", "ASTRA", "Hotbird", "Eutelsat", "astra"};
    std::vector<uint16_t> tps;
    for (int s = 0; s < 5; ++s) {
      uint8_t sat = 0;
      if (ops.AddSat(sat, uint8_t(s), 0) != 0) continue;
      std::strncpy(reinterpret_cast<char*>(img->SatName(sat)), satNames[s], 15);
      for (int k = 0; k < 6; ++k) {
        uint16_t t = 0;
        if (ops.AddTp(sat, t, 0) != 0) continue;
        static_cast<void>(ops.SetTpFrequency(t, uint16_t(10700 + 50 * (rng() % 4))));
        static_cast<void>(ops.SetTpPolarisation(t, rng() % 3));
        tps.push_back(t);
      }
    }
    for (int i = 0; i < channels; ++i) {
      uint16_t c = 0;
      if (ops.AddChan(tps[rng() % tps.size()], c, 1) != 0) continue;
      static_cast<void>(ops.SetChanName(c, kNames[rng() % std::size(kNames)]));
      const unsigned r = rng() % 10;
      img->SetChanU16(c, chan::kNumber, r == 0 ? kNoChanNumber : uint16_t(rng() % 50));
      img->SetChanU16(c, chan::kSid, uint16_t(rng() % 8));
      img->SetChanU16(c, chan::kProvider, r == 1 ? uint16_t(2000 + rng() % 100) : uint16_t(rng() % 12));
    }
    // A few channels deleted so the table has holes and the order list moved.
    for (int i = 0; i < channels / 10; ++i)
      static_cast<void>(ops.DeleteChan(int(rng() % unsigned(channels))));  // a channel deleted twice is refused
  }
};

// Order key of a channel for each sort, as a tuple that compares like the
// sort's comparator (ties where the comparator has no opinion).
using Key = std::tuple<int, std::string, uint32_t, uint32_t, std::string>;

Key NumberKey(const RandomImage& r, uint16_t c) { return {r.img->ChanNumber(c), "", 0, 0, ""}; }
Key NameKey(const RandomImage& r, uint16_t c) { return {0, SortName(r.img->ChanName(c), false), 0, 0, ""}; }
// Satellite name, frequency, then polarisation and SID packed into one number.
Key SatelliteKey(const RandomImage& r, uint16_t c) {
  const DbImage& im = *r.img;
  const int t = im.ChanTp(c);
  return {0, Folded(im.SatName(im.TpSat(t)), sat::kNameSize), im.TpFrequency(t),
          im.TpWordField(t, tpw::kPolarisation) << 16 | im.ChanSid(c), ""};
}
Key ProviderKey(const RandomImage& r, uint16_t c) {
  const uint16_t p0 = r.img->ChanProvider(c);
  const size_t p = p0 < kFirstBadProvider ? p0 : 0;
  const std::string chanName = SortName(r.img->ChanName(c), true);
  if (r.providers.IsUnknown(p)) return {0, "", 0, 0, chanName};
  const auto& n = r.providers.entries[p].name;
  const bool full = std::find(n.begin(), n.end(), 0) == n.end();
  // Names equal in all 16 bytes never tie, so the channel name does not order them.
  return {1, Folded(n.data(), kProviderNameSize), 0, 0, full ? "" : chanName};
}

struct SortCase {
  const char* name;
  Key (*key)(const RandomImage&, uint16_t);
  int which;
};

int RunSort(int which, RandomImage& r, uint16_t* list, int length, bool ascending) {
  switch (which) {
    case 0: return SortChansByNumber(*r.img, list, length, ascending);
    case 1: return SortChansByName(*r.img, list, length, ascending);
    case 2: return SortChansBySatellite(*r.img, list, length, ascending);
    default: return SortChansByProvider(*r.img, r.providers, list, length, ascending);
  }
}

TEST(SortingProperty, RandomImagesSortIntoKeyOrder) {
  const SortCase cases[] = {
      {"number", NumberKey, 0}, {"name", NameKey, 1}, {"satellite", SatelliteKey, 2}, {"provider", ProviderKey, 3}};
  for (unsigned seed = 1; seed <= 6; ++seed) {
    RandomImage r(seed, 300 + int(seed) * 40);
    std::mt19937 rng(seed * 97);
    for (const SortCase& sc : cases) {
      for (bool ascending : {true, false}) {
        for (bool holes : {false, true}) {
          std::vector<uint16_t> list = ReadChannelOrder(*r.img);
          std::vector<uint16_t> channels(list.begin(), std::find(list.begin(), list.end(), kNoChan));
          if (holes) {
            // Spread 0xFFFF entries among the channels, keeping the length.
            std::vector<uint16_t> spread;
            for (uint16_t c : channels) {
              while (rng() % 4 == 0) spread.push_back(kNoChan);
              spread.push_back(c);
            }
            spread.resize(list.size(), kNoChan);
            list = spread;
          }
          ASSERT_EQ(RunSort(sc.which, r, list.data(), int(list.size()), ascending), 0);
          const std::string at = std::string(sc.name) + " seed " + std::to_string(seed) +
                                 (ascending ? " up" : " down") + (holes ? " holes" : "");
          // Packed, and the same channels.
          const size_t n = channels.size();
          ASSERT_TRUE(std::all_of(list.begin() + std::ptrdiff_t(n), list.end(), [](uint16_t v) {
            return v == kNoChan;
          })) << at;
          std::vector<uint16_t> got(list.begin(), list.begin() + std::ptrdiff_t(n));
          std::vector<uint16_t> a = got, b = channels;
          std::sort(a.begin(), a.end());
          std::sort(b.begin(), b.end());
          ASSERT_EQ(a, b) << at;
          // Key order equals the reference sort's.
          std::vector<Key> keys, want;
          for (uint16_t c : got) keys.push_back(sc.key(r, c));
          for (uint16_t c : channels) want.push_back(sc.key(r, c));
          if (ascending)
            std::stable_sort(want.begin(), want.end());
          else
            std::stable_sort(want.begin(), want.end(), [](const Key& x, const Key& y) { return y < x; });
          ASSERT_EQ(keys, want) << at;
          if (!holes) {
            WriteChannelOrder(*r.img, list);
            ASSERT_EQ(CheckImage(*r.img), "") << at;
          }
        }
      }
    }
  }
}

TEST(SortingProperty, CatalogueTpsComeOutByFrequency) {
  std::mt19937 rng(5);
  for (int round = 0; round < 50; ++round) {
    std::vector<CatalogueTp> list(rng() % 40);
    for (size_t i = 0; i < list.size(); ++i)
      list[i] = {uint16_t(rng() % 20), uint16_t(i), uint8_t(rng() % 3), 0, uint8_t(rng() % 2), 0};
    for (bool ascending : {true, false}) {
      std::vector<CatalogueTp> got = list;
      ASSERT_EQ(SortCatalogueTps(got.data(), int(got.size()), ascending), 0);
      std::vector<CatalogueTp> want = list;
      std::stable_sort(want.begin(), want.end(), [&](const CatalogueTp& x, const CatalogueTp& y) {
        return ascending ? x.frequency < y.frequency : x.frequency > y.frequency;
      });
      for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i].frequency, want[i].frequency) << round;
      // A permutation: symbol rates were tagged with the original positions.
      std::vector<uint16_t> tags;
      for (const CatalogueTp& tp : got) tags.push_back(tp.symbolRate);
      std::sort(tags.begin(), tags.end());
      for (size_t i = 0; i < tags.size(); ++i) ASSERT_EQ(tags[i], i);
    }
  }
}

}  // namespace
}  // namespace pelagor
