#include "db/Sorting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <memory>
#include <random>

using namespace pelagor;

namespace {

// Lays channels straight into the block: enough for the sort keys, which read
// only names, numbers, SIDs and the TP/satellite they hang on.
struct SortFixture : ::testing::Test {
  std::unique_ptr<DbImage> img = std::make_unique<DbImage>();

  void Sat(int s, const char* name) { std::strncpy(reinterpret_cast<char*>(img->SatName(s)), name, 16); }
  void Tp(int t, int s, uint16_t freq, uint32_t pol) {
    img->SetU8(DbImage::TpOffset(t) + tp::kSat, uint8_t(s));
    img->SetTpU16(t, tp::kFrequency, freq);
    img->SetTpWordField(t, tpw::kPolarisation, pol);
  }
  void Chan(int c, int t, uint16_t number, const char* name, uint16_t sid = 0) {
    img->SetChanU16(c, chan::kTp, uint16_t(t));
    img->SetChanU16(c, chan::kNumber, number);
    img->SetChanU16(c, chan::kSid, sid);
    std::memset(img->ChanName(c), 0, chan::kNameSize);
    std::memcpy(img->ChanName(c), name, std::strlen(name));
  }
  std::vector<uint16_t> Run(DbStatus (*sort)(const DbImage&, uint16_t*, int, bool), std::vector<uint16_t> list,
                            bool ascending = true) {
    EXPECT_EQ(sort(*img, list.data(), int(list.size()), ascending), 0);
    return list;
  }
};

constexpr uint16_t N = kNoChan;

}  // namespace

TEST_F(SortFixture, NumberSortHasTheFixedOrderOfEqualKeys) {
  Chan(10, 0, 5, "a");
  Chan(11, 0, 3, "b");
  Chan(12, 0, 5, "c");
  Chan(13, 0, 1, "d");
  // Worked through the partition by hand: the two 5s keep their order here...
  EXPECT_EQ(Run(SortChansByNumber, {10, 11, 12, 13}), (std::vector<uint16_t>{13, 11, 10, 12}));
  // ...and two equal keys alone are exchanged ascending, left descending.
  EXPECT_EQ(Run(SortChansByNumber, {10, 12}), (std::vector<uint16_t>{12, 10}));
  EXPECT_EQ(Run(SortChansByNumber, {10, 12}, false), (std::vector<uint16_t>{10, 12}));
}

TEST_F(SortFixture, NumberSortGathersPastHolesAndPacks) {
  Chan(1, 0, kNoChanNumber, "u");
  Chan(2, 0, 7, "x");
  Chan(3, 0, 2, "y");
  EXPECT_EQ(Run(SortChansByNumber, {N, 1, N, 2, 3, N}), (std::vector<uint16_t>{3, 2, 1, N, N, N}));
  EXPECT_EQ(Run(SortChansByNumber, {N, N, N}), (std::vector<uint16_t>{N, N, N}));
}

TEST_F(SortFixture, NameSortFoldsCaseAndSkipsSelector) {
  Chan(0, 0, 1, "beta");
  Chan(1, 0, 1,
       "\x05"
       "Alpha");
  Chan(2, 0, 1, "ALPHB");
  Chan(3, 0, 1, "Gamma");
  Chan(4, 0, 1, "\xC4z");  // 0xC4 is no selector for sorting: sorts as a high byte
  EXPECT_EQ(Run(SortChansByName, {0, 1, 2, 3, 4}), (std::vector<uint16_t>{1, 2, 0, 3, 4}));
  EXPECT_EQ(Run(SortChansByName, {0, 1, 2, 3, 4}, false), (std::vector<uint16_t>{4, 3, 0, 2, 1}));
}

TEST_F(SortFixture, SatelliteSortByNameThenFrequencyPolarisationSid) {
  Sat(0, "Hotbird");
  Sat(1, "astra");
  Tp(0, 0, 11000, 1);
  Tp(1, 1, 12000, 1);
  Tp(2, 1, 11000, 2);
  Tp(3, 1, 11000, 1);
  Chan(0, 0, 1, "h");        // Hotbird
  Chan(1, 1, 1, "a12000");   // astra 12000
  Chan(2, 2, 1, "a11000V");  // astra 11000 V
  Chan(3, 3, 1, "sid9", 9);  // astra 11000 H sid 9
  Chan(4, 3, 1, "sid2", 2);  // astra 11000 H sid 2
  EXPECT_EQ(Run(SortChansBySatellite, {0, 1, 2, 3, 4}), (std::vector<uint16_t>{4, 3, 2, 1, 0}));
}

TEST_F(SortFixture, SatelliteSortReadsBrokenTpAsTpZero) {
  Sat(0, "B");
  Sat(1, "A");
  Tp(0, 0, 100, 0);
  Tp(1, 1, 100, 0);
  Chan(0, 1, 1, "on A");
  Chan(1, 900, 1, "broken: TP 0, on B");
  EXPECT_EQ(Run(SortChansBySatellite, {1, 0}), (std::vector<uint16_t>{0, 1}));
}

namespace {

// A cable satellite whose TP ring is laid as the operations lay it.
struct CableRing : ::testing::Test {
  std::unique_ptr<DbImage> img = std::make_unique<DbImage>();
  static constexpr int kSat = 4;

  void Lay(const std::vector<uint16_t>& freqs) {
    const int n = int(freqs.size());
    for (int i = 0; i < n; ++i) {
      const int t = 10 + i;
      img->SetU8(DbImage::TpOffset(t) + tp::kSat, kSat);
      img->SetTpU16(t, tp::kFrequency, freqs[size_t(i)]);
      img->SetTpWordField(t, tpw::kNext, uint32_t(10 + (i + 1) % n));
      img->SetTpWordField(t, tpw::kPrev, uint32_t(10 + (i + n - 1) % n));
    }
    img->SetSatU16(kSat, sat::kTpCount, uint16_t(n));
    img->SetSatU16(kSat, sat::kFirstTp, 10);
    img->SetSatU16(kSat, sat::kLastTp, uint16_t(10 + n - 1));
  }
  // TP indices from the first along next links, checking prev links agree.
  std::vector<int> Walk() {
    std::vector<int> out;
    int t = img->SatFirstTp(kSat);
    for (int i = 0; i < img->SatTpCount(kSat); ++i) {
      out.push_back(t);
      const int next = img->TpNext(t);
      EXPECT_EQ(img->TpPrev(next), t);
      t = next;
    }
    EXPECT_EQ(t, img->SatFirstTp(kSat)) << "ring not closed";
    EXPECT_EQ(img->TpNext(img->SatLastTp(kSat)), img->SatFirstTp(kSat));
    return out;
  }
};

}  // namespace

TEST_F(CableRing, SortsByFrequencyKeepingEqualOnesInOrder) {
  Lay({4740, 3060, 4740, 1220});
  ASSERT_EQ(SortCableTpRing(*img, kSat), 0);
  EXPECT_EQ(Walk(), (std::vector<int>{13, 11, 10, 12}));
}

TEST_F(CableRing, TwoTpsOnlyExchangeFirstAndLast) {
  Lay({5000, 3000});
  const uint32_t w10 = img->TpWord(10), w11 = img->TpWord(11);
  ASSERT_EQ(SortCableTpRing(*img, kSat), 0);
  EXPECT_EQ(img->SatFirstTp(kSat), 11);
  EXPECT_EQ(img->SatLastTp(kSat), 10);
  EXPECT_EQ(img->TpWord(10), w10);
  EXPECT_EQ(img->TpWord(11), w11);
}

TEST_F(CableRing, SortedAndSingleRingsStay) {
  Lay({1000, 2000, 3000});
  ASSERT_EQ(SortCableTpRing(*img, kSat), 0);
  EXPECT_EQ(Walk(), (std::vector<int>{10, 11, 12}));
  EXPECT_EQ(img->SatLastTp(kSat), 12);
  EXPECT_EQ(SortCableTpRing(*img, 200), 1);
}

TEST_F(SortFixture, ReassignNumbersListedChannelsOnly) {
  Chan(5, 0, 40, "x");
  Chan(6, 0, 41, "y");
  Chan(7, 0, 42, "not listed");
  const uint16_t rows[] = {6, N, 5};
  ReassignChannelNumbers(*img, rows, 3);
  EXPECT_EQ(img->ChanNumber(6), 1);
  EXPECT_EQ(img->ChanNumber(5), 2);
  EXPECT_EQ(img->ChanNumber(7), 42);
}

TEST_F(CableRing, DamagedCountIsRejected) {
  Lay({3000, 1000, 2000});
  img->SetSatU16(kSat, sat::kTpCount, 60000);
  EXPECT_EQ(SortCableTpRing(*img, kSat), 1);
}

namespace {

struct ProviderSort : SortFixture {
  ProviderTable providers;

  void Provider(size_t i, const char* name, size_t n = 0) {
    std::memcpy(providers.entries[i].name.data(), name, n ? n : std::strlen(name));
  }
  void Chan(int c, uint16_t provider, const char* name) {
    SortFixture::Chan(c, 0, 1, name);
    img->SetChanU16(c, chan::kProvider, provider);
  }
  std::vector<uint16_t> Run(std::vector<uint16_t> list, bool ascending = true) {
    EXPECT_EQ(SortChansByProvider(*img, providers, list.data(), int(list.size()), ascending), 0);
    return list;
  }
};

}  // namespace

TEST_F(ProviderSort, UnknownFirstAndNoProviderReadAsEntryZero) {
  Provider(0, "Sky");
  Provider(1, "unKNOWN");
  Provider(2, "ARD");
  Chan(0, 2, "ARD one");
  Chan(1, 1, "Zulu");
  Chan(2, 2500, "Beta");  // no provider: sorts under entry 0, "Sky"
  Chan(3, 0, "Alpha");
  Chan(4, 2000, "Gamma");
  EXPECT_EQ(Run({0, 1, 2, 3, 4}), (std::vector<uint16_t>{1, 0, 3, 2, 4}));
  EXPECT_EQ(Run({0, 1, 2, 3, 4}, false), (std::vector<uint16_t>{4, 2, 3, 0, 1}));
}

TEST_F(ProviderSort, TwoUnknownProvidersGoByChannelName) {
  Provider(3, "Unknown");
  Provider(4, "UNKNOWN");
  Provider(5, "Canal");
  Chan(0, 3, "delta");
  Chan(1, 4, "Charlie");
  Chan(2, 5, "alpha");
  Chan(3, 3, "Bravo");
  EXPECT_EQ(Run({0, 1, 2, 3}), (std::vector<uint16_t>{3, 1, 0, 2}));
}

TEST_F(ProviderSort, ChannelNamesSkipSelectorsAndHighFirstBytes) {
  Provider(0, "Prov");
  Chan(0, 0, "Bravo");
  Chan(1, 0,
       "\x86"
       "Alpha");
  Chan(2, 0,
       "\x05"
       "Charlie");
  Chan(3, 0, "bravo");  // equal to "Bravo" ignoring case
  const std::vector<uint16_t> got = Run({0, 1, 2, 3});
  EXPECT_EQ(got[0], 1);
  EXPECT_EQ(got[3], 2);
  // The name sort takes 0x86 as a plain high byte.
  EXPECT_EQ(SortFixture::Run(SortChansByName, {0, 1, 2, 3}).back(), 1);
}

TEST_F(ProviderSort, FullSixteenByteProviderNamesNeverTie) {
  Provider(0, "ABCDEFGHIJKLMNOP", 16);
  Provider(1, "abcdefghijklmnop", 16);
  Provider(2, "Short");
  Chan(0, 0, "Zed");
  Chan(1, 1, "Abc");
  Chan(2, 2, "Zed");
  Chan(3, 2, "Abc");
  // Equal in all 16 bytes compares as 1: the pair is left as given, either way round.
  EXPECT_EQ(Run({0, 1}), (std::vector<uint16_t>{0, 1}));
  EXPECT_EQ(Run({1, 0}), (std::vector<uint16_t>{1, 0}));
  // A name ending in a NUL ties and falls through to the channel names.
  EXPECT_EQ(Run({2, 3}), (std::vector<uint16_t>{3, 2}));
}

TEST_F(ProviderSort, EmptyListsChangeNothing) {
  std::vector<uint16_t> none(5, N);
  EXPECT_EQ(Run(none), none);
  EXPECT_EQ(SortChansByProvider(*img, providers, nullptr, 0, true), 0);
}

TEST(SortCatalogueTps, FixedOrderOfEqualFrequencies) {
  // The pilot byte tags the entries; worked through the partition by hand.
  const std::vector<CatalogueTp> in = {
      {5, 0, 0, 0, 0, 'a'}, {3, 0, 0, 0, 1, 'b'}, {5, 0, 0, 0, 0, 'c'}, {1, 0, 0, 0, 0, 'd'}};
  const struct {
    bool ascending;
    const char* order;
  } rows[] = {{true, "dbca"}, {false, "cabd"}};
  for (const auto& r : rows) {
    std::vector<CatalogueTp> list = in;
    ASSERT_EQ(SortCatalogueTps(list.data(), int(list.size()), r.ascending), 0);
    std::string got;
    for (const CatalogueTp& tp : list) got += char(tp.pilot);
    EXPECT_EQ(got, r.order);
    EXPECT_EQ(list[1].hidden, r.ascending ? 1 : 0);  // hidden entries sort with the rest
  }
  EXPECT_EQ(SortCatalogueTps(nullptr, 0, true), 0);
  EXPECT_EQ(SortCatalogueTps(nullptr, 3, true), 1);
}

namespace {

// The partition sort written out literally, recursing left then right, to
// hold QuickSortRefs (which loops on one side) to exactly the same result.
template <class Cmp>
void LiteralSort(std::vector<int>& a, int lo, int hi, const Cmp& cmp, int d) {
  if (lo >= hi) return;
  std::swap(a[size_t(lo)], a[size_t((lo + hi) / 2)]);
  int last = lo;
  for (int i = lo + 1; i <= hi; ++i)
    if (d * cmp(a[size_t(i)], a[size_t(lo)]) < 0) std::swap(a[size_t(++last)], a[size_t(i)]);
  std::swap(a[size_t(lo)], a[size_t(last)]);
  LiteralSort(a, lo, last - 1, cmp, d);
  LiteralSort(a, last + 1, hi, cmp, d);
}

}  // namespace

TEST(QuickSortRefs, SameOrderAsTheLiteralRecursiveForm) {
  std::mt19937 rng(3);
  std::vector<int> keys(400);
  // Elements are positions into keys, so equal keys stay distinguishable.
  const struct {
    const char* what;
    int tie;  // what the comparator says for equal keys
  } rows[] = {{"ties -1", -1}, {"ties 0", 0}, {"ties 1", 1}};
  for (const auto& r : rows) {
    const auto cmp = [&](int x, int y) {
      return keys[size_t(x)] > keys[size_t(y)] ? 1 : keys[size_t(x)] < keys[size_t(y)] ? -1 : r.tie;
    };
    for (int round = 0; round < 30; ++round) {
      const size_t n = 1 + rng() % keys.size();
      const unsigned distinct = 1 + rng() % 6;
      for (int& k : keys) k = int(rng() % distinct);
      for (bool ascending : {true, false}) {
        std::vector<int> a(n), b;
        for (size_t i = 0; i < n; ++i) a[i] = int(i);
        b = a;
        QuickSortRefs(a, cmp, ascending);
        LiteralSort(b, 0, int(n) - 1, cmp, ascending ? 1 : -1);
        ASSERT_EQ(a, b) << r.what << " n " << n << (ascending ? " up" : " down");
      }
    }
  }
}

TEST_F(SortFixture, EightThousandUnnumberedChannelsSort) {
  std::vector<uint16_t> list(kMaxChans);
  for (int c = 0; c < kMaxChans; ++c) {
    img->SetChanU16(c, chan::kNumber, kNoChanNumber);
    list[size_t(c)] = uint16_t(c);
  }
  ASSERT_EQ(SortChansByNumber(*img, list.data(), int(list.size()), true), 0);
  std::vector<uint16_t> sorted = list;
  std::sort(sorted.begin(), sorted.end());
  for (int c = 0; c < kMaxChans; ++c) ASSERT_EQ(sorted[size_t(c)], c);
}
