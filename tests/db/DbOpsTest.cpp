#include "db/DbOps.h"
#include "db/ImageChecker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <memory>
#include <random>
#include <vector>
#include <string>

namespace pelagor {
namespace {

std::string Name(const uint8_t* p) { return std::string(reinterpret_cast<const char*>(p)); }

class DbOpsTest : public ::testing::Test {
 protected:
  std::unique_ptr<DbImage> img = std::make_unique<DbImage>();
  DbOps ops{*img};
  bool checkAtEnd = true;  // off where a test lays down an unsound image on purpose

  void TearDown() override {
    if (checkAtEnd) {
      EXPECT_EQ(CheckImage(*img), "");
    }
  }

  uint8_t Sat() {
    uint8_t s = 0;
    EXPECT_EQ(ops.AddSat(s, 5, 0), 0);
    return s;
  }
  uint16_t Tp(int s) {
    uint16_t t = 0;
    EXPECT_EQ(ops.AddTp(s, t, 0), 0);
    return t;
  }
  uint16_t Chan(int t) {
    uint16_t c = 0;
    EXPECT_EQ(ops.AddChan(t, c, 1), 0);
    return c;
  }
};

TEST_F(DbOpsTest, AllocSlotIgnoresFreeBitsPastCapacity) {
  checkAtEnd = false;
  for (int i = 0; i < 200; ++i) img->SetBit(kSatSlotBitmapOffset, i, true);
  int out = -1;
  EXPECT_EQ(ops.AllocSlot(out, 200, kSatSlotBitmapOffset), 1);
  EXPECT_FALSE(img->Bit(kSatSlotBitmapOffset, 200));
  img->SetBit(kSatSlotBitmapOffset, 77, false);
  EXPECT_EQ(ops.AllocSlot(out, 200, kSatSlotBitmapOffset), 0);
  EXPECT_EQ(out, 77);
}

TEST_F(DbOpsTest, PseudoSatIndex) {
  EXPECT_EQ(DbOps::PseudoSatIndex(true), 199);
  EXPECT_EQ(DbOps::PseudoSatIndex(false), 198);
}

TEST_F(DbOpsTest, LimitsRejectOneMore) {
  for (int i = 0; i < kMaxSats; ++i) Sat();
  uint8_t s = 0;
  EXPECT_EQ(ops.AddSat(s, 1, 0), 1);
  EXPECT_EQ(s, kNoSat);
  EXPECT_EQ(img->SatCount(), kMaxSats);

  for (int i = 0; i < kMaxTps; ++i) Tp(i % kMaxSats);
  uint16_t t = 0;
  EXPECT_EQ(ops.AddTp(0, t, 0), 1);
  EXPECT_EQ(t, kNoTp);

  for (int i = 0; i < kMaxChans; ++i) Chan(i % kMaxTps);
  uint16_t c = 0;
  EXPECT_EQ(ops.AddChan(0, c, 1), 1);
  EXPECT_EQ(c, kNoChan);
  EXPECT_EQ(img->ChanCount(), kMaxChans);
  EXPECT_EQ(img->Order(kMaxChans - 1), kMaxChans - 1);
}

TEST_F(DbOpsTest, TwoHundredFiftySixthChannelOnTpRejected) {
  const int t = Tp(Sat());
  for (int i = 0; i < kMaxChansPerTp; ++i) Chan(t);
  const DbImage before = *img;
  uint16_t c = 0;
  EXPECT_EQ(ops.AddChan(t, c, 1), 1);
  EXPECT_EQ(c, kNoChan);
  EXPECT_TRUE(*img == before);
}

TEST_F(DbOpsTest, AddSatWithFullNumberBitmapLeavesImageUnchanged) {
  checkAtEnd = false;
  for (int i = 0; i < 200; ++i) img->SetBit(kSatNumberBitmapOffset, i, true);
  const DbImage before = *img;
  uint8_t s = 0;
  EXPECT_EQ(ops.AddSat(s, 3, 0), 1);
  EXPECT_EQ(s, kNoSat);
  EXPECT_TRUE(*img == before);
}

TEST_F(DbOpsTest, AddTpOnFreeSatelliteRejected) {
  uint16_t t = 0;
  const DbImage before = *img;
  EXPECT_EQ(ops.AddTp(4, t, 0), 1);
  EXPECT_EQ(ops.AddTp(kNoSat, t, 0), 1);
  EXPECT_EQ(t, kNoTp);
  EXPECT_TRUE(*img == before);
}

TEST_F(DbOpsTest, AddChanOnFreeTpRejected) {
  const int s = Sat();
  const int t = Tp(s);
  ASSERT_EQ(ops.DeleteTp(t), 0);
  img->SetU8(DbImage::TpOffset(t) + tp::kSat, uint8_t(s));
  const DbImage before = *img;
  uint16_t c = 0;
  EXPECT_EQ(ops.AddChan(t, c, 1), 1);
  EXPECT_EQ(ops.AddChan(500, c, 1), 1);
  EXPECT_EQ(c, kNoChan);
  EXPECT_TRUE(*img == before);
}

TEST_F(DbOpsTest, NewSatelliteFields) {
  ops.tunerMask = 2;
  ops.deliveryType = 2;
  uint8_t s = 0;
  ASSERT_EQ(ops.AddSat(s, 42, 1), 0);
  EXPECT_EQ(img->SatDelivery(s), kDeliveryCable);
  EXPECT_EQ(img->SatCatalogueIndex(s), 42);
  EXPECT_EQ(img->SatLinkField(s, satlink::kNew), 1u);
  EXPECT_EQ(img->SatU16(s, sat::kLnbLow), 9750);
  EXPECT_EQ(img->SatU16(s, sat::kLnbHigh), 10600);
  EXPECT_EQ(tuner::kMaskA.Get(img->SatTuner(s)), 2u);
  EXPECT_EQ(tuner::kMaskB.Get(img->SatTuner(s)), 2u);
  EXPECT_EQ(img->SatFirstTp(s), kNoTp);
  EXPECT_TRUE(img->Bit(kSatNumberBitmapOffset, img->U8(DbImage::SatOffset(s) + sat::kNumber)));
}

TEST_F(DbOpsTest, SingleSatelliteRingSelfLinksAndDeletesToEmpty) {
  const int s = Sat();
  EXPECT_EQ(img->FirstSat(), s);
  EXPECT_EQ(img->SatNext(s), s);
  EXPECT_EQ(img->SatPrev(s), s);
  EXPECT_EQ(ops.DeleteSat(s), 0);
  EXPECT_EQ(img->FirstSat(), kNoSat);
  EXPECT_EQ(img->SatCount(), 0);
  EXPECT_FALSE(img->SatInUse(s));
}

TEST_F(DbOpsTest, DeleteFirstOfThreeSatellites) {
  const int a = Sat(), b = Sat(), c = Sat();
  EXPECT_EQ(img->SatNext(a), b);
  EXPECT_EQ(img->SatNext(c), a);
  EXPECT_EQ(img->SatPrev(a), c);
  ASSERT_EQ(ops.DeleteSat(a), 0);
  EXPECT_EQ(img->FirstSat(), b);
  EXPECT_EQ(img->SatCount(), 2);
  EXPECT_EQ(img->SatNext(c), b);
  EXPECT_EQ(img->SatPrev(b), c);
  uint8_t found = 0;
  EXPECT_EQ(ops.FindSatByCatalogue(5, found), 0);
  EXPECT_EQ(found, b);
  EXPECT_EQ(ops.FindSatByCatalogue(9, found), 1);
  EXPECT_EQ(found, kNoSat);
}

TEST_F(DbOpsTest, DeleteSatRemovesTpsAndChannels) {
  const int s = Sat();
  const int t1 = Tp(s), t2 = Tp(s);
  Chan(t1);
  Chan(t2);
  Chan(t2);
  ASSERT_EQ(ops.DeleteSat(s), 0);
  EXPECT_EQ(img->ChanCount(), 0);
  EXPECT_EQ(img->CurrentChan(), kNoChan);
  EXPECT_FALSE(img->TpInUse(t1));
  EXPECT_FALSE(img->TpInUse(t2));
  EXPECT_EQ(img->Order(0), kNoChan);
}

TEST_F(DbOpsTest, TpRingAndDelete) {
  const int s = Sat();
  const int a = Tp(s);
  EXPECT_EQ(img->TpNext(a), a);
  EXPECT_EQ(img->TpPrev(a), a);
  const int b = Tp(s), c = Tp(s);
  EXPECT_EQ(img->SatLastTp(s), c);
  EXPECT_EQ(img->TpNext(c), a);
  EXPECT_EQ(img->TpPrev(a), c);
  ASSERT_EQ(ops.DeleteTp(a), 0);
  EXPECT_EQ(img->SatFirstTp(s), b);
  EXPECT_EQ(img->SatTpCount(s), 2);
  EXPECT_EQ(img->TpNext(c), b);
  EXPECT_EQ(img->TpPrev(b), c);
  ASSERT_EQ(ops.DeleteSatTps(s), 0);
  EXPECT_EQ(img->SatTpCount(s), 0);
  EXPECT_EQ(img->SatFirstTp(s), kNoTp);
  EXPECT_EQ(img->SatLastTp(s), kNoTp);
}

TEST_F(DbOpsTest, FindTpAndCountNew) {
  const int s = Sat();
  EXPECT_EQ(ops.CountNewTps(s), -1);
  uint16_t t1 = 0, t2 = 0, t3 = 0;
  static_cast<void>(ops.AddTp(s, t1, 1));
  static_cast<void>(ops.AddTp(s, t2, 0));
  static_cast<void>(ops.AddTp(s, t3, 1));
  static_cast<void>(ops.SetTpFrequency(t2, 11778));
  static_cast<void>(ops.SetTpPolarisation(t2, 6));  // taken modulo 4
  static_cast<void>(ops.SetTpFrequency(t3, 11778));
  static_cast<void>(ops.SetTpPolarisation(t3, 1));
  uint32_t pol = 0;
  static_cast<void>(ops.GetTpPolarisation(t2, pol));
  EXPECT_EQ(pol, 2u);
  uint16_t found = 0;
  EXPECT_EQ(ops.FindTp(s, found, 11778, 1), 0);
  EXPECT_EQ(found, t3);
  EXPECT_EQ(ops.FindTp(s, found, 11778, 3), 1);
  EXPECT_EQ(found, kNoTp);
  EXPECT_EQ(ops.CountNewTps(s), 2);
  uint32_t isNew = 9;
  static_cast<void>(ops.GetTpNewFlag(t2, isNew));
  EXPECT_EQ(isNew, 0u);
}

TEST_F(DbOpsTest, ChannelRingOrderAndDeleteMovesCurrent) {
  const int t = Tp(Sat());
  const int a = Chan(t), b = Chan(t), c = Chan(t);
  EXPECT_EQ(img->ChanNext(c), a);
  EXPECT_EQ(img->ChanNext(a), b);
  EXPECT_EQ(img->Order(2), c);
  img->SetCurrentChan(uint16_t(b));
  ASSERT_EQ(ops.DeleteChan(b), 0);
  EXPECT_EQ(img->CurrentChan(), c);
  EXPECT_EQ(img->ChanNext(a), c);
  EXPECT_EQ(img->Order(1), c);
  EXPECT_EQ(img->Order(2), kNoChan);
  ASSERT_EQ(ops.DeleteChan(c), 0);
  EXPECT_EQ(img->CurrentChan(), a);
  EXPECT_EQ(img->TpLastChan(t), a);
  EXPECT_EQ(img->ChanNext(a), a);
  ASSERT_EQ(ops.DeleteChan(a), 0);
  EXPECT_EQ(img->CurrentChan(), kNoChan);
  EXPECT_EQ(img->TpFirstChan(t), kNoChan);
  EXPECT_EQ(img->ChanCount(), 0);
}

TEST_F(DbOpsTest, NewChannelFields) {
  const int t = Tp(Sat());
  const int c = Chan(t);
  for (size_t f : {chan::kAudioPid, chan::kVideoPid, chan::kPcrPid, chan::kPidSlot3, chan::kPidSlot4, chan::kPidSlot5})
    EXPECT_EQ(img->ChanU16(c, f), kNoPid);
  EXPECT_EQ(img->ChanNumber(c), kNoChanNumber);
  EXPECT_EQ(img->ChanWordField(c, chw::kAddedByEditor), 1u);
}

TEST_F(DbOpsTest, SetChanPidSelectors) {
  const int c = Chan(Tp(Sat()));
  const struct {
    int selector;
    size_t field;
  } rows[] = {
      {0, chan::kVideoPid}, {1, chan::kAudioPid}, {2, chan::kPcrPid}, {3, chan::kPidSlot3}, {4, chan::kPidSlot4}};
  for (const auto& r : rows) {
    EXPECT_EQ(ops.SetChanPid(c, r.selector, uint16_t(100 + r.selector)), 0);
    EXPECT_EQ(img->ChanU16(c, r.field), 100 + r.selector);
  }
  EXPECT_EQ(ops.SetChanPid(c, 5, 1), 1);
  EXPECT_EQ(ops.SetServiceType(c, 2), 1);
  EXPECT_EQ(ops.SetServiceType(c, 1), 0);
  EXPECT_EQ(img->ChanWordField(c, chw::kServiceType), 1u);
  static_cast<void>(ops.SetCasFlag(c, 3));
  static_cast<void>(ops.SetLockFlag(c, 2));
  EXPECT_EQ(img->ChanWordField(c, chw::kCas), 1u);
  EXPECT_EQ(img->ChanWordField(c, chw::kLock), 0u);
}

TEST_F(DbOpsTest, SetChanNameCleaning) {
  const int c = Chan(Tp(Sat()));
  const struct {
    std::string in;
    std::string stored;
  } rows[] = {
      {"\x03"
       "Das Erste",
       "\x03"
       "Das Erste"},
      {"A\x03"
       "B",
       "AB"},
      {"A\x85"
       "B\xA0",
       "AB\xA0"},
      {"\x85"
       "X",
       "X"},
      {std::string(30, 'x'), std::string(24, 'x')},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(ops.SetChanName(c, r.in), 0);
    EXPECT_EQ(Name(img->ChanName(c)), r.stored) << r.in;
  }
  EXPECT_EQ(ops.SetChanName(c, ""), 0);
  EXPECT_EQ(Name(img->ChanName(c)), std::string(24, 'x'));
}

TEST_F(DbOpsTest, SetChanNameAutomatic) {
  const int s = Sat();
  std::memcpy(img->SatName(s), "ASTRA 19.2E", 12);
  const int t1 = Tp(s), t2 = Tp(s);
  std::memcpy(img->Data() + DbImage::TpOffset(t2) + tp::kLabel, "MUXLABEL", 9);
  for (int i = 0; i < 6; ++i) Chan(t1);
  const int c1 = Chan(t1);
  const int c2 = Chan(t2);  // first on its TP; the image now holds 8
  ASSERT_EQ(ops.SetChanName(c1, ""), 0);
  EXPECT_EQ(Name(img->ChanName(c1)), "ASTRA -008");
  ASSERT_EQ(ops.SetChanName(c2, ""), 0);
  EXPECT_EQ(Name(img->ChanName(c2)), "MUXLAB-001");
}

TEST_F(DbOpsTest, SetFavouriteReAddChangesOnlyMask) {
  const int t = Tp(Sat());
  const int a = Chan(t), b = Chan(t);
  ASSERT_EQ(ops.SetFavourite(a, 2, 0, 1), 0);
  ASSERT_EQ(ops.SetFavourite(b, 2, 0, 1), 0);
  ASSERT_EQ(ops.SetFavourite(a, 2, 0, 0), 0);
  EXPECT_EQ(img->FavLength(0, 2), 1);
  EXPECT_EQ(img->FavEntry(0, 2, 0), b);
  // Clear b's mask bit by hand: re-adding must restore it and touch nothing else.
  img->SetChanWordField(b, chw::kFavMask, 0);
  const DbImage before = *img;
  ASSERT_EQ(ops.SetFavourite(b, 2, 0, 1), 0);
  EXPECT_EQ(img->ChanWordField(b, chw::kFavMask), 1u << 2);
  EXPECT_EQ(img->FavLength(0, 2), 1);
  img->SetChanWordField(b, chw::kFavMask, 0);
  EXPECT_TRUE(*img == before);
  img->SetChanWordField(b, chw::kFavMask, 1u << 2);
  EXPECT_EQ(ops.SetFavourite(b, 8, 0, 1), 1);
}

TEST_F(DbOpsTest, RemoveLastOfFullFavouriteList) {
  checkAtEnd = false;  // entries name channels that do not exist
  for (int i = 0; i < kFavEntries; ++i)
    static_cast<void>(ops.SetFavourite(i, 1, 1, 1));  // the list does not check slots
  EXPECT_EQ(img->FavLength(1, 1), kFavEntries);
  static_cast<void>(ops.SetFavourite(kFavEntries, 1, 1, 1));  // full: only the mask changes
  EXPECT_EQ(img->FavLength(1, 1), kFavEntries);
  ASSERT_EQ(ops.SetFavourite(kFavEntries - 1, 1, 1, 0), 0);
  EXPECT_EQ(img->FavLength(1, 1), kFavEntries - 1);
  EXPECT_EQ(img->FavEntry(1, 1, kFavEntries - 2), kFavEntries - 2);
  EXPECT_EQ(img->FavEntry(1, 1, kFavEntries - 1), kNoChan);
}

TEST_F(DbOpsTest, DeleteChanLeavesFavourites) {
  const int t = Tp(Sat());
  const int a = Chan(t), b = Chan(t);
  static_cast<void>(ops.SetServiceType(a, 1));
  static_cast<void>(ops.SetFavourite(a, 0, 1, 1));
  static_cast<void>(ops.SetFavourite(b, 0, 1, 1));
  ASSERT_EQ(ops.DeleteChan(a), 0);
  EXPECT_EQ(img->FavLength(1, 0), 1);
  EXPECT_EQ(img->FavEntry(1, 0, 0), b);
  EXPECT_EQ(img->FavEntry(1, 0, 1), kNoChan);
}

TEST_F(DbOpsTest, SyncSatNameAndFavouriteName) {
  uint8_t entry[16];
  std::memcpy(entry, "ABCDEFGHIJKLMNOP", 16);  // no NUL: cut to 15
  DbOps withCat(*img, [&](int k) -> const uint8_t* { return k == 5 ? entry : nullptr; });
  uint8_t s = 0;
  ASSERT_EQ(withCat.AddSat(s, 5, 0), 0);
  ASSERT_EQ(withCat.SyncSatName(s), 0);
  EXPECT_EQ(Name(img->SatName(s)), "ABCDEFGHIJKLMNO");
  EXPECT_EQ(ops.SetFavouriteName(3, std::string(25, 'f')), 0);
  EXPECT_EQ(Name(img->FavName(3)), std::string(24, 'f'));
  EXPECT_EQ(ops.SetFavouriteName(8, "x"), 1);
}

TEST_F(DbOpsTest, DeletingAFreeRecordIsRejected) {
  const int s = Sat();
  const int t = Tp(s), t2 = Tp(s);
  const int c = Chan(t);
  Chan(t);
  const int gone = Chan(t2);
  ASSERT_EQ(ops.DeleteChan(gone), 0);
  const int goneTp = Tp(s);
  ASSERT_EQ(ops.DeleteTp(goneTp), 0);
  img->SetU8(DbImage::TpOffset(goneTp) + tp::kSat, uint8_t(s));  // stale bytes of a free record
  const int goneSat = Sat();
  ASSERT_EQ(ops.DeleteSat(goneSat), 0);
  const DbImage before = *img;
  const struct {
    const char* what;
    DbStatus (DbOps::*op)(int);
    int index;
  } rows[] = {
      {"channel deleted before", &DbOps::DeleteChan, gone}, {"channel never used", &DbOps::DeleteChan, 7000},
      {"TP deleted before", &DbOps::DeleteTp, goneTp},      {"satellite deleted before", &DbOps::DeleteSat, goneSat},
      {"satellite never used", &DbOps::DeleteSat, 150},
  };
  for (const auto& r : rows) {
    EXPECT_EQ((ops.*r.op)(r.index), 1) << r.what;
    EXPECT_TRUE(*img == before) << r.what;
  }
  EXPECT_EQ(img->TpChanCount(t), 2);
  EXPECT_EQ(img->ChanCount(), 2);
  EXPECT_EQ(img->SatCount(), 1);
  EXPECT_EQ(img->Order(0), c);
}

TEST_F(DbOpsTest, CheckerCatchesBrokenRing) {
  const int t = Tp(Sat());
  const int a = Chan(t);
  Chan(t);
  img->SetChanU16(a, chan::kNext, uint16_t(a));
  EXPECT_NE(CheckImage(*img), "");
  checkAtEnd = false;
}

// The checker reads a link only after finding that it names a record in
// use, so any value in a hostile image gives a finding, not a stray read.
TEST_F(DbOpsTest, CheckerNamesHostileLastLinks) {
  checkAtEnd = false;
  const int s = Sat();
  const int t = Tp(s);
  Chan(t);
  Chan(t);
  const struct {
    const char* what;
    void (*damage)(DbImage&, int s, int t);
    const char* finding;
  } rows[] = {
      {"last TP none", [](DbImage& i, int s, int) { i.SetSatU16(s, sat::kLastTp, kNoTp); }, "last TP"},
      {"last TP 0xFFFF", [](DbImage& i, int s, int) { i.SetSatU16(s, sat::kLastTp, 0xFFFF); }, "last TP"},
      {"last channel 0xFFFF", [](DbImage& i, int, int t) { i.SetTpU16(t, tp::kLastChan, 0xFFFF); }, "last channel"},
      {"last channel 9000", [](DbImage& i, int, int t) { i.SetTpU16(t, tp::kLastChan, 9000); }, "last channel"},
  };
  const DbImage sound = *img;
  ASSERT_EQ(CheckImage(sound), "");
  for (const auto& r : rows) {
    *img = sound;
    r.damage(*img, s, t);
    EXPECT_NE(CheckImage(*img).find(r.finding), std::string::npos) << r.what << ": " << CheckImage(*img);
  }
}

// A small sound database with every kind of link, for laying single
// faults into: satellites a (TPs ta with channels c1 c2 c3, and tb with c4),
// b (TP tc with c5) and e (no TPs).
struct Linked {
  int a, b, e, ta, tb, tc, c1, c2, c3, c4, c5;
};

Linked BuildLinked(DbOps& ops) {
  Linked l{};
  auto sat = [&] {
    uint8_t s = 0;
    EXPECT_EQ(ops.AddSat(s, 5, 0), 0);
    return int(s);
  };
  auto tp = [&](int s) {
    uint16_t t = 0;
    EXPECT_EQ(ops.AddTp(s, t, 1), 0);
    return int(t);
  };
  auto ch = [&](int t) {
    uint16_t c = 0;
    EXPECT_EQ(ops.AddChan(t, c, 1), 0);
    static_cast<void>(ops.SetFavourite(c, 2, 0, 1));
    return int(c);
  };
  l.a = sat();
  l.b = sat();
  l.e = sat();
  l.ta = tp(l.a);
  l.tb = tp(l.a);
  l.tc = tp(l.b);
  l.c1 = ch(l.ta);
  l.c2 = ch(l.ta);
  l.c3 = ch(l.ta);
  l.c4 = ch(l.tb);
  l.c5 = ch(l.tc);
  return l;
}

void SetSatLinks(DbImage& i, int s, int prev, int next) {
  i.SetSatLinkField(s, satlink::kPrev, uint32_t(prev));
  i.SetSatLinkField(s, satlink::kNext, uint32_t(next));
}

// Every operation that follows a link refuses an image whose link names a
// free or out-of-range record or disagrees with its neighbour, and leaves
// every byte as it was. Each row's operation succeeds on the sound image.
TEST(DbOpsInconsistent, RefusedWithImageUnchanged) {
  using Damage = void (*)(DbImage&, const Linked&);
  using Op = int (*)(DbOps&, const Linked&);
  const Op addSat = [](DbOps& o, const Linked&) {
    uint8_t s = 0;
    const int r = o.AddSat(s, 9, 0);
    return r == 1 && s != kNoSat ? 2 : r;  // a refusal names no satellite
  };
  const Op deleteSatA = [](DbOps& o, const Linked& l) -> int { return o.DeleteSat(l.a); };
  const Op deleteSatB = [](DbOps& o, const Linked& l) -> int { return o.DeleteSat(l.b); };
  const Op addTpA = [](DbOps& o, const Linked& l) {
    uint16_t t = 0;
    const int r = o.AddTp(l.a, t, 0);
    return r == 1 && t != kNoTp ? 2 : r;
  };
  const Op deleteTa = [](DbOps& o, const Linked& l) -> int { return o.DeleteTp(l.ta); };
  const Op deleteSatTpsA = [](DbOps& o, const Linked& l) -> int { return o.DeleteSatTps(l.a); };
  const Op addChanTa = [](DbOps& o, const Linked& l) {
    uint16_t c = 0;
    const int r = o.AddChan(l.ta, c, 1);
    return r == 1 && c != kNoChan ? 2 : r;
  };
  const Op deleteC2 = [](DbOps& o, const Linked& l) -> int { return o.DeleteChan(l.c2); };
  const Op deleteTpChansTa = [](DbOps& o, const Linked& l) -> int { return o.DeleteTpChans(l.ta); };
  const Op autoNameC5 = [](DbOps& o, const Linked& l) -> int { return o.SetChanName(l.c5, ""); };
  const Op syncNameA = [](DbOps& o, const Linked& l) -> int { return o.SyncSatName(l.a); };
  const Op findSat = [](DbOps& o, const Linked&) {
    uint8_t s = 0;
    const int r = o.FindSatByCatalogue(7, s);
    return r == 1 && s != kNoSat ? 2 : r;
  };
  const Op findTp = [](DbOps& o, const Linked& l) {
    uint16_t t = 0;
    const int r = o.FindTp(l.a, t, 11111, 0);
    return r == 1 && t != kNoTp ? 2 : r;
  };
  const Op countNew = [](DbOps& o, const Linked& l) -> int { return o.CountNewTps(l.a) < 0 ? 1 : 0; };

  const struct {
    const char* what;
    Damage damage;
    Op op;
  } rows[] = {
      // AddSat links the new satellite between the first and its previous.
      {"AddSat: satellites counted, first satellite none", [](DbImage& i, const Linked&) { i.SetFirstSat(kNoSat); },
       addSat},
      {"AddSat: first satellite free", [](DbImage& i, const Linked&) { i.SetFirstSat(150); }, addSat},
      {"AddSat: previous of the first free",
       [](DbImage& i, const Linked& l) { i.SetSatLinkField(l.a, satlink::kPrev, 150); }, addSat},
      {"AddSat: previous of the first out of range",
       [](DbImage& i, const Linked& l) { i.SetSatLinkField(l.a, satlink::kPrev, 0xFF); }, addSat},
      {"AddSat: previous does not lead back to the first",
       [](DbImage& i, const Linked& l) { i.SetSatLinkField(l.a, satlink::kPrev, uint32_t(l.b)); }, addSat},
      {"AddSat: satellite count at the limit", [](DbImage& i, const Linked&) { i.SetSatCount(kMaxSats); }, addSat},
      // DeleteSat unlinks it from its neighbours and deletes its TPs.
      {"DeleteSat: next out of range",
       [](DbImage& i, const Linked& l) { i.SetSatLinkField(l.b, satlink::kNext, 0xFF); }, deleteSatB},
      {"DeleteSat: previous free", [](DbImage& i, const Linked& l) { i.SetSatLinkField(l.b, satlink::kPrev, 150); },
       deleteSatB},
      {"DeleteSat: next does not point back",
       [](DbImage& i, const Linked& l) { i.SetSatLinkField(l.e, satlink::kPrev, uint32_t(l.e)); }, deleteSatB},
      {"DeleteSat: alone by its links but counted with others",
       [](DbImage& i, const Linked& l) {
         SetSatLinks(i, l.b, l.b, l.b);
         SetSatLinks(i, l.a, l.e, l.e);
         SetSatLinks(i, l.e, l.a, l.a);
       },
       deleteSatB},
      {"DeleteSat: satellite count 0", [](DbImage& i, const Linked&) { i.SetSatCount(0); }, deleteSatB},
      {"DeleteSat: first TP free", [](DbImage& i, const Linked& l) { i.SetSatU16(l.a, sat::kFirstTp, 700); },
       deleteSatA},
      {"DeleteSat: TP count above the ring", [](DbImage& i, const Linked& l) { i.SetSatU16(l.a, sat::kTpCount, 3); },
       deleteSatA},
      {"DeleteSat: TP of another satellite in the ring",
       [](DbImage& i, const Linked& l) { i.SetTpWordField(l.ta, tpw::kNext, uint32_t(l.tc)); }, deleteSatA},
      {"DeleteSat: channel ring of a TP broken",
       [](DbImage& i, const Linked& l) { i.SetChanU16(l.c4, chan::kNext, 7000); }, deleteSatA},
      // DeleteSatTps walks the same TP ring.
      {"DeleteSatTps: TP ring leaves through a free TP",
       [](DbImage& i, const Linked& l) { i.SetTpWordField(l.ta, tpw::kNext, 700); }, deleteSatTpsA},
      {"DeleteSatTps: last TP not the end of the ring",
       [](DbImage& i, const Linked& l) { i.SetSatU16(l.a, sat::kLastTp, uint16_t(l.ta)); }, deleteSatTpsA},
      // AddTp links the new TP between the first TP and its previous.
      {"AddTp: first TP none with TPs counted",
       [](DbImage& i, const Linked& l) { i.SetSatU16(l.a, sat::kFirstTp, kNoTp); }, addTpA},
      {"AddTp: first TP on another satellite",
       [](DbImage& i, const Linked& l) { i.SetSatU16(l.a, sat::kFirstTp, uint16_t(l.tc)); }, addTpA},
      {"AddTp: previous of the first free",
       [](DbImage& i, const Linked& l) { i.SetTpWordField(l.ta, tpw::kPrev, 700); }, addTpA},
      {"AddTp: previous does not lead back to the first",
       [](DbImage& i, const Linked& l) { i.SetTpWordField(l.ta, tpw::kPrev, uint32_t(l.ta)); }, addTpA},
      // DeleteTp unlinks it from its neighbours and its satellite.
      {"DeleteTp: satellite index none",
       [](DbImage& i, const Linked& l) { i.SetU8(DbImage::TpOffset(l.ta) + tp::kSat, kNoSat); }, deleteTa},
      {"DeleteTp: satellite free", [](DbImage& i, const Linked& l) { i.SetBit(kSatSlotBitmapOffset, l.a, false); },
       deleteTa},
      {"DeleteTp: satellite counts no TPs", [](DbImage& i, const Linked& l) { i.SetSatU16(l.a, sat::kTpCount, 0); },
       deleteTa},
      {"DeleteTp: next out of range", [](DbImage& i, const Linked& l) { i.SetTpWordField(l.ta, tpw::kNext, 1500); },
       deleteTa},
      {"DeleteTp: previous on another satellite",
       [](DbImage& i, const Linked& l) { i.SetTpWordField(l.ta, tpw::kPrev, uint32_t(l.tc)); }, deleteTa},
      {"DeleteTp: alone by its links but counted with another",
       [](DbImage& i, const Linked& l) {
         i.SetTpWordField(l.ta, tpw::kNext, uint32_t(l.ta));
         i.SetTpWordField(l.ta, tpw::kPrev, uint32_t(l.ta));
       },
       deleteTa},
      {"DeleteTp: its channel ring counts one more",
       [](DbImage& i, const Linked& l) { i.SetU8(DbImage::TpOffset(l.ta) + tp::kChanCount, 4); }, deleteTa},
      // AddChan links the new channel after the last and before the first.
      {"AddChan: last channel none with channels counted",
       [](DbImage& i, const Linked& l) { i.SetTpU16(l.ta, tp::kLastChan, kNoChan); }, addChanTa},
      {"AddChan: last channel free", [](DbImage& i, const Linked& l) { i.SetTpU16(l.ta, tp::kLastChan, 7000); },
       addChanTa},
      {"AddChan: last channel on another TP",
       [](DbImage& i, const Linked& l) { i.SetTpU16(l.ta, tp::kLastChan, uint16_t(l.c4)); }, addChanTa},
      {"AddChan: first channel out of range",
       [](DbImage& i, const Linked& l) { i.SetTpU16(l.ta, tp::kFirstChan, 9000); }, addChanTa},
      {"AddChan: last does not lead to the first",
       [](DbImage& i, const Linked& l) { i.SetChanU16(l.c3, chan::kNext, uint16_t(l.c2)); }, addChanTa},
      // DeleteChan finds its predecessor in its TP's ring.
      {"DeleteChan: TP index none", [](DbImage& i, const Linked& l) { i.SetChanU16(l.c2, chan::kTp, kNoTp); },
       deleteC2},
      {"DeleteChan: TP free", [](DbImage& i, const Linked& l) { i.SetBit(kTpSlotBitmapOffset, l.ta, false); },
       deleteC2},
      {"DeleteChan: TP counts no channels",
       [](DbImage& i, const Linked& l) { i.SetU8(DbImage::TpOffset(l.ta) + tp::kChanCount, 0); }, deleteC2},
      {"DeleteChan: ring does not hold the channel",
       [](DbImage& i, const Linked& l) {
         i.SetChanU16(l.c1, chan::kNext, uint16_t(l.c3));
         i.SetU8(DbImage::TpOffset(l.ta) + tp::kChanCount, 2);
       },
       deleteC2},
      {"DeleteChan: ring leaves through a free channel",
       [](DbImage& i, const Linked& l) { i.SetChanU16(l.c1, chan::kNext, 7000); }, deleteC2},
      {"DeleteChan: ring closes before its count",
       [](DbImage& i, const Linked& l) { i.SetChanU16(l.c2, chan::kNext, uint16_t(l.c1)); }, deleteC2},
      // DeleteTpChans walks the same ring.
      {"DeleteTpChans: first channel free", [](DbImage& i, const Linked& l) { i.SetTpU16(l.ta, tp::kFirstChan, 7000); },
       deleteTpChansTa},
      {"DeleteTpChans: TP free", [](DbImage& i, const Linked& l) { i.SetBit(kTpSlotBitmapOffset, l.ta, false); },
       deleteTpChansTa},
      // The automatic name reads the channel's TP and its satellite.
      {"SetChanName: TP free", [](DbImage& i, const Linked& l) { i.SetBit(kTpSlotBitmapOffset, l.tc, false); },
       autoNameC5},
      {"SetChanName: satellite of the TP free",
       [](DbImage& i, const Linked& l) { i.SetBit(kSatSlotBitmapOffset, l.b, false); }, autoNameC5},
      // SyncSatName follows the catalogue index.
      {"SyncSatName: catalogue index none",
       [](DbImage& i, const Linked& l) { i.SetSatLinkField(l.a, satlink::kCatalogue, 0xFF); }, syncNameA},
      {"SyncSatName: catalogue index 200",
       [](DbImage& i, const Linked& l) { i.SetSatLinkField(l.a, satlink::kCatalogue, 200); }, syncNameA},
      // The searches stop at the first link that leads to a free record,
      // whatever that record's stale bytes would match.
      {"FindSatByCatalogue: ring leaves through a free satellite",
       [](DbImage& i, const Linked& l) {
         i.SetSatLinkField(l.b, satlink::kNext, 150);
         i.SetSatLinkField(150, satlink::kCatalogue, 7);
       },
       findSat},
      {"FindTp: ring leaves through a free TP",
       [](DbImage& i, const Linked& l) {
         i.SetTpWordField(l.ta, tpw::kNext, 700);
         i.SetTpU16(700, tp::kFrequency, 11111);
       },
       findTp},
      {"CountNewTps: ring runs through a free TP",
       [](DbImage& i, const Linked& l) {
         i.SetTpWordField(l.ta, tpw::kNext, 700);
         i.SetTpWordField(700, tpw::kNext, uint32_t(l.ta));
       },
       countNew},
      {"CountNewTps: ring runs onto another satellite's TP",
       [](DbImage& i, const Linked& l) {
         i.SetTpWordField(l.ta, tpw::kNext, uint32_t(l.tc));
         i.SetTpWordField(l.tc, tpw::kNext, uint32_t(l.ta));
       },
       countNew},
  };
  uint8_t entry[16] = "Catalogue name";
  auto lookup = [&](int k) -> const uint8_t* { return k < 200 ? entry : nullptr; };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    auto sound = std::make_unique<DbImage>();
    DbOps soundOps(*sound, lookup);
    const Linked l = BuildLinked(soundOps);
    ASSERT_EQ(CheckImage(*sound), "");
    // The searches look for what is not there, so the whole ring is walked.
    if (r.op == findSat || r.op == findTp) {
      EXPECT_EQ(r.op(soundOps, l), 1);
    } else {
      EXPECT_EQ(r.op(soundOps, l), 0);
    }

    auto broken = std::make_unique<DbImage>();
    DbOps ops(*broken, lookup);
    BuildLinked(ops);
    r.damage(*broken, l);
    const DbImage before = *broken;
    EXPECT_EQ(r.op(ops, l), 1);
    EXPECT_TRUE(*broken == before);
  }
}

// What should exist after a sequence of operations, kept from the results
// the operations return and never read back from the image.
struct CountModel {
  std::map<int, std::set<int>> satTps;   // satellite -> its TPs
  std::map<int, int> tpSat;              // TP -> satellite
  std::map<int, std::set<int>> tpChans;  // TP -> its channels
  std::map<int, int> chanTp;             // channel -> TP
  std::map<int, int> chanType;           // channel -> service type
  std::set<int> fav[2][kFavLists];       // service type, list

  void RemoveChan(int c) {
    tpChans[chanTp[c]].erase(c);
    for (auto& list : fav[chanType[c]]) list.erase(c);
    chanTp.erase(c);
    chanType.erase(c);
  }
  void RemoveTp(int t) {
    for (int c : std::set<int>(tpChans[t])) RemoveChan(c);
    tpChans.erase(t);
    satTps[tpSat[t]].erase(t);
    tpSat.erase(t);
  }
  void RemoveSat(int s) {
    for (int t : std::set<int>(satTps[s])) RemoveTp(t);
    satTps.erase(s);
  }
};

// Compares the image's counters, bitmaps and fields with the model; empty when they agree.
std::string CompareWithModel(const DbImage& img, const CountModel& m) {
  std::ostringstream out;
  if (img.SatCount() != m.satTps.size()) out << "satellite count " << int(img.SatCount()) << " vs " << m.satTps.size();
  if (img.ChanCount() != m.chanTp.size()) out << " channel count " << img.ChanCount() << " vs " << m.chanTp.size();
  size_t sats = 0, tps = 0, chans = 0;
  for (int i = 0; i < kMaxSats; ++i) sats += img.SatInUse(i);
  for (int i = 0; i < kMaxTps; ++i) tps += img.TpInUse(i);
  for (int i = 0; i < kMaxChans; ++i) chans += img.ChanInUse(i);
  if (sats != m.satTps.size()) out << " satellites in use " << sats << " vs " << m.satTps.size();
  if (tps != m.tpSat.size()) out << " TPs in use " << tps << " vs " << m.tpSat.size();
  if (chans != m.chanTp.size()) out << " channels in use " << chans << " vs " << m.chanTp.size();
  for (const auto& [s, set] : m.satTps)
    if (!img.SatInUse(s) || img.SatTpCount(s) != set.size())
      out << " satellite " << s << " has " << img.SatTpCount(s) << " TPs, want " << set.size();
  for (const auto& [t, s] : m.tpSat)
    if (!img.TpInUse(t) || img.TpSat(t) != s || img.TpChanCount(t) != m.tpChans.at(t).size())
      out << " TP " << t << " has " << int(img.TpChanCount(t)) << " channels, want " << m.tpChans.at(t).size();
  for (const auto& [c, t] : m.chanTp)
    if (!img.ChanInUse(c) || img.ChanTp(c) != t) out << " channel " << c << " not on TP " << t;
  for (int type = 0; type < 2; ++type)
    for (int k = 0; k < kFavLists; ++k)
      if (img.FavLength(type, k) != m.fav[type][k].size())
        out << " favourite list " << type << "/" << k << " length " << img.FavLength(type, k) << " vs "
            << m.fav[type][k].size();
  return out.str();
}

TEST_F(DbOpsTest, RandomSequencesKeepImageSound) {
  for (unsigned seed : {1u, 2u, 3u}) {
    *img = DbImage();
    CountModel m;
    std::mt19937 rng(seed);
    // Mostly an index that exists, now and then any index, free or not.
    auto pick = [&](const auto& map, int capacity) {
      if (map.empty() || rng() % 8 == 0) return int(rng() % unsigned(capacity));
      auto it = map.begin();
      std::advance(it, rng() % map.size());
      return it->first;
    };
    for (int step = 0; step < 1500; ++step) {
      const unsigned op = rng() % 10;
      std::string what;
      if (op == 0 || m.satTps.empty()) {
        uint8_t s = 0;
        what = "AddSat";
        if (ops.AddSat(s, uint8_t(rng() % 200), 0) == 0) {
          ASSERT_FALSE(m.satTps.count(s)) << "slot handed out twice";
          m.satTps[s];
        } else {
          ASSERT_EQ(m.satTps.size(), size_t(kMaxSats));
        }
      } else if (op == 1 && m.satTps.size() > 1) {
        const int s = pick(m.satTps, kMaxSats);
        what = "DeleteSat " + std::to_string(s);
        const int r = ops.DeleteSat(s);
        ASSERT_EQ(r, m.satTps.count(s) ? 0 : 1) << what;
        if (r == 0) m.RemoveSat(s);
      } else if (op <= 3) {
        const int s = pick(m.satTps, kMaxSats);
        uint16_t t = 0;
        what = "AddTp on " + std::to_string(s);
        const int r = ops.AddTp(s, t, int(rng() % 2));
        ASSERT_EQ(r, m.satTps.count(s) && m.tpSat.size() < size_t(kMaxTps) ? 0 : 1) << what;
        if (r == 0) {
          m.satTps[s].insert(t);
          m.tpSat[t] = s;
          m.tpChans[t];
        }
      } else if (op == 4) {
        const int t = pick(m.tpSat, kMaxTps);
        what = "DeleteTp " + std::to_string(t);
        const int r = ops.DeleteTp(t);
        ASSERT_EQ(r, m.tpSat.count(t) ? 0 : 1) << what;
        if (r == 0) m.RemoveTp(t);
      } else if (op <= 6) {
        const int t = pick(m.tpSat, kMaxTps);
        uint16_t c = 0;
        what = "AddChan on " + std::to_string(t);
        const int r = ops.AddChan(t, c, 1);
        const bool room = m.tpSat.count(t) && m.tpChans[t].size() < size_t(kMaxChansPerTp);
        ASSERT_EQ(r, room ? 0 : 1) << what;
        if (r == 0) {
          const int type = int(rng() % 2);
          static_cast<void>(ops.SetServiceType(c, type));
          m.chanTp[c] = t;
          m.chanType[c] = type;
          m.tpChans[t].insert(c);
        }
        if (!m.tpSat.count(t)) m.tpChans.erase(t);
      } else if (op == 7) {
        const int c = pick(m.chanTp, kMaxChans);
        what = "DeleteChan " + std::to_string(c);
        const int r = ops.DeleteChan(c);
        ASSERT_EQ(r, m.chanTp.count(c) ? 0 : 1) << what;
        if (r == 0) m.RemoveChan(c);
      } else if (op == 8 && !m.chanTp.empty()) {
        const int c = pick(m.chanTp, kMaxChans);
        if (!m.chanTp.count(c)) continue;
        const int k = int(rng() % 8), add = int(rng() % 2), type = m.chanType[c];
        what = "SetFavourite " + std::to_string(c);
        ASSERT_EQ(ops.SetFavourite(c, k, type, add), 0);
        if (add)
          m.fav[type][k].insert(c);
        else
          m.fav[type][k].erase(c);
      } else if (!m.chanTp.empty()) {
        const int c = pick(m.chanTp, kMaxChans);
        what = "SetChanName";
        static_cast<void>(ops.SetChanName(c, rng() % 2 ? "" : "News"));
      }
      ASSERT_EQ(CheckImage(*img), "") << "seed " << seed << " step " << step << " " << what;
      ASSERT_EQ(CompareWithModel(*img, m), "") << "seed " << seed << " step " << step << " " << what;
    }
    EXPECT_GT(m.chanTp.size(), 0u);
  }
}

}  // namespace
}  // namespace pelagor
