#include "db/CatalogueMerge.h"
#include "db/DbOps.h"
#include "db/ImageChecker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace pelagor {
namespace {

std::string Text(const uint8_t* p, size_t n = 16) {
  size_t len = 0;
  while (len < n && p[len]) ++len;
  return std::string(reinterpret_cast<const char*>(p), len);
}

// A loaded catalogue of `count` entries ("SAT0", "SAT1", ...) and an image
// built with the operations.
struct MergeFixture : ::testing::Test {
  std::unique_ptr<DbImage> img = std::make_unique<DbImage>();
  DbOps ops{*img};
  SatCatalogue cat;

  void SetUp() override { Catalogue(3); }
  void TearDown() override { EXPECT_EQ(CheckImage(*img), ""); }

  void Catalogue(uint32_t count) {
    SatCatalogue c;
    c.count = count;
    for (uint32_t i = 0; i < count; ++i) {
      const std::string n = "SAT" + std::to_string(i);
      std::memcpy(c.entries[i].name.data(), n.data(), n.size());
      c.entries[i].position = uint16_t(100 + i);
    }
    const std::vector<uint8_t> body = c.Build();
    ASSERT_TRUE(cat.Load(body.data(), body.size()));
  }
  // Save and load again, as a file round trip does to the catalogue.
  void Reload() {
    const std::vector<uint8_t> body = cat.Build();
    ASSERT_TRUE(cat.Load(body.data(), body.size()));
  }
  uint8_t Sat(uint8_t catalogueIndex, int isNew, const char* name = "NEWSAT") {
    uint8_t s = kNoSat;
    EXPECT_EQ(ops.AddSat(s, catalogueIndex, isNew), 0);
    std::memset(img->SatName(s), 0, 16);
    std::memcpy(img->SatName(s), name, std::strlen(name));
    return s;
  }
  uint16_t Tp(int s, int isNew, uint16_t freq, bool excluded = false) {
    uint16_t t = kNoTp;
    EXPECT_EQ(ops.AddTp(s, t, isNew), 0);
    static_cast<void>(ops.SetTpFrequency(t, freq));
    static_cast<void>(ops.SetTpSymbolRate(t, uint16_t(freq / 2)));
    static_cast<void>(ops.SetTpPolarisation(t, freq % 3));
    static_cast<void>(ops.SetTpModFec(t, uint8_t(freq % 256)));
    img->SetTpWordField(t, tpw::kExcluded, excluded ? 1 : 0);
    return t;
  }
  static CatalogueTp Expected(uint16_t freq) {
    return {freq, uint16_t(freq / 2), uint8_t(freq % 3), uint8_t(freq % 256), 0, 0};
  }
  std::vector<uint16_t> Freqs(size_t entry) const {
    std::vector<uint16_t> out;
    for (const CatalogueTp& tp : cat.entries[entry].tps) out.push_back(tp.frequency);
    EXPECT_EQ(cat.entries[entry].tpCount, cat.entries[entry].tps.size());
    return out;
  }
  bool NewBit(int t) const { return img->TpWordField(t, tpw::kNew) != 0; }
};

TEST_F(MergeFixture, NewSatelliteAtTheCountBecomesTheNextEntry) {
  img->SetTpTuner(0, 0);
  const uint8_t s = Sat(3, 1, "MySat");
  const uint16_t a = Tp(s, 1, 11000);
  const uint16_t x = Tp(s, 1, 11100, /*excluded*/ true);
  const uint16_t b = Tp(s, 1, 11200);
  const uint16_t old = Tp(s, 0, 11300);
  MergeNewSatellites(*img, cat);
  EXPECT_EQ(cat.count, 4u);
  EXPECT_EQ(Text(cat.entries[3].name.data()), "MySat");
  EXPECT_EQ(cat.entries[3].position, 0);
  ASSERT_EQ(cat.entries[3].tps.size(), 2u);
  EXPECT_EQ(cat.entries[3].tps[0], Expected(11000));  // pilot and hidden 0
  EXPECT_EQ(cat.entries[3].tps[1], Expected(11200));
  EXPECT_EQ(img->SatLinkField(s, satlink::kNew), 0u);
  EXPECT_FALSE(NewBit(a));
  EXPECT_FALSE(NewBit(b));
  EXPECT_TRUE(NewBit(x));  // excluded: left alone
  EXPECT_FALSE(NewBit(old));
  MergeNewTps(*img, cat);
  EXPECT_EQ(Freqs(3), (std::vector<uint16_t>{11000, 11200}));
  // After a save and load nothing enters twice and the count holds.
  Reload();
  MergeNewSatellites(*img, cat);
  MergeNewTps(*img, cat);
  EXPECT_EQ(cat.count, 4u);
  EXPECT_EQ(Freqs(3), (std::vector<uint16_t>{11000, 11200}));
  EXPECT_EQ(Text(cat.entries[2].name.data()), "SAT2");
}

TEST_F(MergeFixture, CountGrowsOnlyForTheNextEntry) {
  const struct {
    uint8_t index;
    uint32_t countAfter;
  } rows[] = {{3, 4}, {5, 3}, {198, 3}, {199, 3}};
  for (const auto& r : rows) {
    *img = DbImage();
    Catalogue(3);
    const uint8_t s = Sat(r.index, 1, "DVB-C");
    Tp(s, 1, 4740);
    for (int reload = 0; reload < 3; ++reload) {
      MergeNewSatellites(*img, cat);
      MergeNewTps(*img, cat);
      EXPECT_EQ(cat.count, r.countAfter) << int(r.index) << " reload " << reload;
      EXPECT_EQ(Text(cat.entries[r.index].name.data()), "DVB-C") << int(r.index);
      EXPECT_EQ(img->SatLinkField(s, satlink::kNew), 0u);
      Reload();
    }
    // Nothing appears in the entries in use.
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(Text(cat.entries[i].name.data()), "SAT" + std::to_string(i));
  }
}

TEST_F(MergeFixture, PseudoSatelliteTpsEnterItsEntry) {
  const uint8_t s = Sat(198, 1, "DVB-T");
  Tp(s, 1, 5060);
  Tp(s, 1, 5140);
  MergeNewSatellites(*img, cat);
  EXPECT_EQ(Freqs(198), (std::vector<uint16_t>{5060, 5140}));
  EXPECT_EQ(cat.count, 3u);
}

TEST_F(MergeFixture, TpAddedToAnExistingSatelliteIsAppendedOnce) {
  cat.entries[1].tps = {{10000, 1, 1, 0, 0, 1}, {10100, 1, 1, 0, 1, 0}};
  cat.entries[1].tpCount = 2;
  const uint8_t s = Sat(1, 0);
  Tp(s, 0, 10000);
  const uint16_t t = Tp(s, 1, 12000);
  MergeNewSatellites(*img, cat);
  EXPECT_EQ(Freqs(1), (std::vector<uint16_t>{10000, 10100}));
  MergeNewTps(*img, cat);
  EXPECT_EQ(Freqs(1), (std::vector<uint16_t>{10000, 10100, 12000}));
  EXPECT_EQ(cat.entries[1].tps[0].pilot, 1);  // existing entries carried as they were
  EXPECT_EQ(cat.entries[1].tps[1].hidden, 1);
  EXPECT_FALSE(NewBit(t));
  MergeNewTps(*img, cat);
  EXPECT_EQ(Freqs(1), (std::vector<uint16_t>{10000, 10100, 12000}));
  EXPECT_EQ(cat.count, 3u);
}

TEST_F(MergeFixture, ExcludedTpIsNeverMergedWhereverItStands) {
  for (int where = 0; where < 3; ++where) {
    for (bool viaNewSatellite : {true, false}) {
      *img = DbImage();
      Catalogue(3);
      const uint8_t s = viaNewSatellite ? Sat(3, 1) : Sat(0, 0);
      std::vector<uint16_t> tps;
      for (int i = 0; i < 3; ++i) tps.push_back(Tp(s, 1, uint16_t(11000 + 100 * i), i == where));
      MergeNewSatellites(*img, cat);
      MergeNewTps(*img, cat);
      std::vector<uint16_t> want;
      for (int i = 0; i < 3; ++i)
        if (i != where) want.push_back(uint16_t(11000 + 100 * i));
      EXPECT_EQ(Freqs(viaNewSatellite ? 3 : 0), want) << where;
      EXPECT_TRUE(NewBit(tps[size_t(where)]));
    }
  }
}

TEST_F(MergeFixture, EntryAlreadyInUseKeepsNameAndPosition) {
  cat.entries[2].tps = {{9000, 1, 0, 0, 0, 0}};
  cat.entries[2].tpCount = 1;
  const uint8_t s = Sat(2, 1, "Renamed");
  Tp(s, 1, 9100);
  MergeNewSatellites(*img, cat);
  EXPECT_EQ(cat.count, 3u);
  EXPECT_EQ(Text(cat.entries[2].name.data()), "SAT2");
  EXPECT_EQ(cat.entries[2].position, 102);
  EXPECT_EQ(Freqs(2), (std::vector<uint16_t>{9000, 9100}));
  EXPECT_EQ(img->SatLinkField(s, satlink::kNew), 0u);
}

TEST_F(MergeFixture, SkipsWhatCannotBeMerged) {
  const uint8_t beyond = Sat(200, 1);
  const uint16_t tb = Tp(beyond, 1, 11000);
  // A free record with stale new bits is not a satellite.
  const uint8_t gone = Sat(4, 1);
  const uint16_t tg = Tp(gone, 1, 12000);
  static_cast<void>(ops.DeleteSatTps(gone));
  img->SetBit(kSatSlotBitmapOffset, gone, false);
  img->SetSatCount(uint8_t(img->SatCount() - 1));
  img->SetSatLinkField(beyond, satlink::kNext, beyond);
  img->SetSatLinkField(beyond, satlink::kPrev, beyond);
  img->SetFirstSat(beyond);
  img->SetSatU16(gone, sat::kFirstTp, tg);
  img->SetTpWordField(tg, tpw::kNew, 1);
  img->SetTpWordField(tg, tpw::kNext, tg);
  img->SetTpWordField(tg, tpw::kPrev, tg);
  // The stale ring leads to a TP still marked in use on it, so the walk
  // counts it: only the free satellite keeps it out of the merge.
  img->SetU8(DbImage::TpOffset(tg) + tp::kSat, gone);
  img->SetBit(kTpSlotBitmapOffset, tg, true);
  ASSERT_EQ(ops.CountNewTps(gone), 1);
  const SatCatalogue before = cat;
  MergeNewSatellites(*img, cat);
  MergeNewTps(*img, cat);
  EXPECT_EQ(cat.count, before.count);
  EXPECT_TRUE(cat.entries == before.entries);
  EXPECT_EQ(img->SatLinkField(beyond, satlink::kNew), 1u);
  EXPECT_TRUE(NewBit(tb));
  img->SetSatU16(gone, sat::kFirstTp, kNoTp);
  img->SetBit(kTpSlotBitmapOffset, tg, false);
}

TEST_F(MergeFixture, NothingMergesWithoutACatalogue) {
  const uint8_t s = Sat(0, 1);
  const uint16_t t = Tp(s, 1, 11000);
  SatCatalogue none;
  MergeNewSatellites(*img, none);
  MergeNewTps(*img, none);
  EXPECT_EQ(none.count, 0u);
  EXPECT_TRUE(none.entries[0].tps.empty());
  EXPECT_EQ(img->SatLinkField(s, satlink::kNew), 1u);
  EXPECT_TRUE(NewBit(t));
}

TEST_F(MergeFixture, DamagedTpRingsEndTheWalk) {
  const uint8_t s = Sat(0, 0);
  const uint16_t a = Tp(s, 1, 11000), b = Tp(s, 1, 11100), c = Tp(s, 1, 11200);
  const DbImage sound = *img;
  const struct {
    const char* what;
    uint32_t nextOfC;
  } rows[] = {{"loops back to the middle", b}, {"leaves the ring", kNoTp}, {"points past the table", 900}};
  for (const auto& r : rows) {
    *img = sound;
    Catalogue(3);
    img->SetTpWordField(c, tpw::kNext, r.nextOfC);
    MergeNewSatellites(*img, cat);
    MergeNewTps(*img, cat);
    EXPECT_TRUE(cat.entries[0].tps.empty()) << r.what;
    EXPECT_TRUE(NewBit(a) && NewBit(b) && NewBit(c)) << r.what;
  }
  *img = sound;
}

TEST_F(MergeFixture, DeleteEntryZeroOfThree) {
  cat.entries[2].tps = {{12000, 2, 0, 0, 0, 0}};
  cat.entries[2].tpCount = cat.entries[2].tpCountAtLoad = 1;
  const uint8_t s0 = Sat(0, 0), s2 = Sat(2, 0), pseudo = Sat(198, 0);
  cat.entries[198].tps = {{4740, 6900, 0, 2, 0, 0}};
  cat.entries[198].tpCount = 1;
  std::memcpy(cat.entries[198].name.data(), "DVB-C", 5);
  ASSERT_EQ(ops.DeleteSat(s0), 0);  // as the command does, before the entry goes
  ASSERT_EQ(DeleteCatalogueEntry(*img, cat, 0), 0);
  EXPECT_EQ(cat.count, 2u);
  EXPECT_EQ(Text(cat.entries[0].name.data()), "SAT1");
  EXPECT_EQ(Text(cat.entries[1].name.data()), "SAT2");
  EXPECT_EQ(cat.entries[1].position, 102);
  EXPECT_EQ(Freqs(1), (std::vector<uint16_t>{12000}));
  EXPECT_EQ(cat.entries[1].tpCountAtLoad, 1u);
  EXPECT_TRUE(cat.entries[2] == CatalogueEntry{});
  EXPECT_EQ(img->SatCatalogueIndex(s2), 1);
  // The pseudo-satellite past the count keeps its entry and its index.
  EXPECT_EQ(img->SatCatalogueIndex(pseudo), 198);
  EXPECT_EQ(Text(cat.entries[198].name.data()), "DVB-C");
  EXPECT_EQ(Freqs(198), (std::vector<uint16_t>{4740}));
}

TEST_F(MergeFixture, DeleteFromAFullCatalogueMovesTheLastEntries) {
  Catalogue(200);
  const uint8_t s199 = Sat(199, 0), s5 = Sat(5, 0);
  ASSERT_EQ(DeleteCatalogueEntry(*img, cat, 10), 0);
  EXPECT_EQ(cat.count, 199u);
  EXPECT_EQ(Text(cat.entries[198].name.data()), "SAT199");
  EXPECT_TRUE(cat.entries[199] == CatalogueEntry{});
  EXPECT_EQ(img->SatCatalogueIndex(s199), 198);
  EXPECT_EQ(img->SatCatalogueIndex(s5), 5);
  ASSERT_EQ(DeleteCatalogueEntry(*img, cat, 198), 0);
  EXPECT_EQ(cat.count, 198u);
  EXPECT_EQ(img->SatCatalogueIndex(s199), 198);  // its entry is gone; nothing above it moved
}

TEST_F(MergeFixture, DeleteRejected) {
  const uint8_t s = Sat(2, 0);
  const struct { int k; } rows[] = {{-1}, {3}, {199}, {200}, {255}, {1000}};
  const SatCatalogue before = cat;
  for (const auto& r : rows) {
    EXPECT_EQ(DeleteCatalogueEntry(*img, cat, r.k), 1) << r.k;
    EXPECT_EQ(cat.count, 3u);
    EXPECT_TRUE(cat.entries == before.entries);
    EXPECT_EQ(img->SatCatalogueIndex(s), 2);
  }
  SatCatalogue empty;
  EXPECT_EQ(DeleteCatalogueEntry(*img, empty, 0), 1);
}

}  // namespace
}  // namespace pelagor
