// The TP commands (satellite and cable) and the satellite buttons, driven
// through the view's entry points with a scripted screen; the image is
// checked for sound rings and counters after every command.

#include <gtest/gtest.h>

#include <functional>

#include "FakeViewUi.h"
#include "StdWorkspace.h"
#include "db/ImageChecker.h"
#include "view/CAddCableTP.h"
#include "view/CAddSatDlg.h"
#include "view/CAddTPDlg.h"
#include "view/RecordText.h"

namespace pelagor::test {
namespace {

using Rows = std::vector<std::string>;

class TpSatCommands : public ::testing::Test {
 protected:
  void Load(Workspace ws) {
    view.OnInitialUpdate();
    view.LoadWorkspace(std::move(ws));
  }
  DbImage& Img() { return view.Image(); }
  SatCatalogue& Cat() { return view.GetWorkspace().catalogue; }
  const CatalogueEntry& Entry(int k) { return Cat().entries[size_t(k)]; }
  void Run(TpMenuItem item) {
    view.OnTpMenuCommand(item);
    EXPECT_EQ(CheckImage(Img()), "");
  }
  template <class Dlg>
  void Answer(std::function<void(Dlg&)> fill, DialogAnswer answer = DialogAnswer::kOk) {
    ui.dialogAnswers.push_back([fill, answer](DialogModel m) {
      Dlg** d = std::get_if<Dlg*>(&m);
      EXPECT_NE(d, nullptr) << "dialog " << m.index();
      if (d == nullptr) return DialogAnswer::kCancel;
      fill(**d);
      return answer;
    });
  }
  void SelectTps(std::vector<int> rows) { ui.selection[ListId::kTransponders] = std::move(rows); }
  std::vector<int> SelectedTps() { return ui.SelectedRows(ListId::kTransponders); }
  // TPs of a satellite in ring order.
  std::vector<uint16_t> Ring(uint8_t s) {
    std::vector<uint16_t> out;
    uint16_t t = Img().SatFirstTp(s);
    for (int i = 0; i < Img().SatTpCount(s); ++i, t = Img().TpNext(t)) out.push_back(t);
    return out;
  }
  std::string SatNameOf(uint8_t s) { return DecodeRecordText(Img().SatName(s), 16); }
  void ShowCable() { view.OnDeliveryTypeButton(0, kDvbC); }

  FakeViewUi ui;
  CVortanView view{ui};
};

// A catalogue entry with five TPs, each with an image TP carrying one channel.
struct FiveTps {
  Workspace ws;
  uint8_t s = 0;
  std::array<uint16_t, 5> tps{};
  std::array<uint16_t, 5> chans{};
};

FiveTps MakeFiveTps() {
  FiveTps f;
  WorkspaceBuilder b;
  const uint16_t freqs[5] = {10700, 11000, 11300, 11600, 11900};
  std::vector<CatalogueTp> list;
  for (uint16_t fr : freqs) list.push_back({fr, 27500, 1, 0x02, 0, 0});
  const int k = b.AddEntry("Five", 100, list);
  f.s = b.AddSat(k, "Five");
  for (int i = 0; i < 5; ++i) {
    f.tps[size_t(i)] = b.AddTp(f.s, freqs[i], 1);
    f.chans[size_t(i)] = b.AddChan(f.tps[size_t(i)], {"Ch" + std::to_string(i), uint16_t(i + 1)});
  }
  f.ws = b.Finish();
  return f;
}

// ---- Add TP, satellite ----

TEST_F(TpSatCommands, AddSatelliteTpAppendsToCatalogueAndImage) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  ASSERT_EQ(view.State().currentCatalogueEntry, 0);  // Astra: 11362, (11493 hidden), 12603
  Answer<CAddTPDlg>([](CAddTPDlg& d) {
    EXPECT_TRUE(d.addMode);
    EXPECT_EQ(d.Title(), "Add Transponder");
    EXPECT_EQ(d.satelliteText, "Astra");
    EXPECT_EQ(d.frequency, 0u);
    EXPECT_EQ(d.symbolRate, 0u);
    EXPECT_EQ(d.polarity, 0);
    EXPECT_EQ(d.modulation, 0);
    EXPECT_EQ(d.fecIndex, 0);
    EXPECT_EQ(d.pilot, 0);
    d.frequency = 12188;
    d.symbolRate = 27500;
    d.polarity = 2;
    d.modulation = 1;
    d.fecIndex = 4;
    d.pilot = 1;
  });
  Run(TpMenuItem::kAddTp);

  ASSERT_EQ(Entry(0).tpCount, 4u);
  EXPECT_EQ(Entry(0).tps.back(), (CatalogueTp{12188, 27500, 2, 0x14, 0, 1}));
  EXPECT_EQ(ui.TpColumn(1), (Rows{"11362", "12603", "12188"}));
  EXPECT_EQ(ui.TpColumn(4), (Rows{"QP", "8P-S2", "QP-S2"}));
  EXPECT_EQ(SelectedTps(), (std::vector<int>{2}));
  uint16_t t = kNoTp;
  ASSERT_EQ(DbOps(Img()).FindTp(w.astra, t, 12188, 2), 0);
  EXPECT_EQ(Img().TpSymbolRate(t), 27500);
  EXPECT_EQ(Img().TpModFec(t), 0x14);
  EXPECT_EQ(Img().TpWordField(t, tpw::kExcluded), 0u);
  EXPECT_EQ(Img().TpWordField(t, tpw::kNew), 0u);
  EXPECT_TRUE(view.Modified());
  EXPECT_NE(ui.title.find('*'), std::string::npos) << ui.title;
}

TEST_F(TpSatCommands, AddSatelliteTpMatchingAnImageTpStillAddsASecond) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  Answer<CAddTPDlg>([](CAddTPDlg& d) {
    d.frequency = 11362;
    d.symbolRate = 22000;
    d.polarity = 1;
  });
  Run(TpMenuItem::kAddTp);
  const std::vector<uint16_t> ring = Ring(w.astra);
  ASSERT_EQ(ring.size(), 3u);
  EXPECT_EQ(ring[0], w.t11362);
  EXPECT_EQ(Img().TpFrequency(ring[2]), 11362);
  EXPECT_EQ(Img().TpWordField(ring[2], tpw::kPolarisation), 1u);
  EXPECT_EQ(Img().TpChanCount(ring[2]), 0);
}

TEST_F(TpSatCommands, AddSatelliteTpCreatesTheImageSatelliteOfTheEntry) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  view.OnSatelliteComboChanged(2);  // by location: Hotbird 13.0E, Astra 19.2E, Intelsat 30.0W
  ASSERT_EQ(view.State().currentCatalogueEntry, 2);
  Answer<CAddTPDlg>([](CAddTPDlg& d) { d.frequency = 11000; });
  Run(TpMenuItem::kAddTp);
  uint8_t s = kNoSat;
  ASSERT_EQ(DbOps(Img()).FindSatByCatalogue(2, s), 0);
  EXPECT_EQ(SatNameOf(s), "Intelsat");
  EXPECT_EQ(Img().SatDelivery(s), kDeliverySatellite);
  EXPECT_EQ(Img().SatLinkField(s, satlink::kNew), 0u);
  EXPECT_EQ(Img().SatTpCount(s), 1);
  EXPECT_EQ(view.State().currentSatellite, s);  // the lists see the new satellite
  EXPECT_EQ(ui.TpColumn(1), (Rows{"11000"}));
}

TEST_F(TpSatCommands, AddSatelliteTpReplacesASatelliteOfAnotherSystem) {
  WorkspaceBuilder b;
  const int k = b.AddEntry("Mixed", 192, {{11362, 22000, 1, 0, 0, 0}});
  const uint8_t wrong = b.AddSat(k, "Mixed", 2);  // cable record for a satellite entry
  const uint16_t ct = b.AddTp(wrong, 3620, 0);
  b.AddChan(ct, {"Gone", 1});
  Load(b.Finish());
  Answer<CAddTPDlg>([](CAddTPDlg& d) { d.frequency = 12000; });
  Run(TpMenuItem::kAddTp);
  uint8_t s = kNoSat;
  ASSERT_EQ(DbOps(Img()).FindSatByCatalogue(uint8_t(k), s), 0);
  EXPECT_EQ(Img().SatDelivery(s), kDeliverySatellite);
  EXPECT_EQ(Img().U16(kChanCountOffset), 0);
  EXPECT_EQ(Img().Order(0), kNoChan);
  EXPECT_EQ(view.RowCount(), 0);
}

TEST_F(TpSatCommands, AddSatelliteTpWithoutRoomForTheSatelliteKeepsOnlyTheCatalogueTp) {
  WorkspaceBuilder b;
  b.AddEntry("Full", 192);
  const int k = b.AddEntry("NoRoom", 300);
  for (int i = 0; i < kMaxSats; ++i) b.AddSat(0, "S");  // every satellite slot taken
  Load(b.Finish());
  view.OnSatelliteComboChanged(1);
  ASSERT_EQ(view.State().currentCatalogueEntry, k);
  const DbImage before = Img();
  Answer<CAddTPDlg>([](CAddTPDlg& d) { d.frequency = 11000; });
  Run(TpMenuItem::kAddTp);
  EXPECT_EQ(Img(), before);
  EXPECT_EQ(Entry(k).tpCount, 1u);
  EXPECT_EQ(ui.TpColumn(1), (Rows{"11000"}));
}

TEST_F(TpSatCommands, CancelAndNoCatalogueChangeNothing) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  const DbImage before = Img();
  for (TpMenuItem item : {TpMenuItem::kAddTp, TpMenuItem::kEditTp}) {
    SelectTps({0});
    Answer<CAddTPDlg>([](CAddTPDlg& d) { d.frequency = 1; }, DialogAnswer::kCancel);
    Run(item);
  }
  EXPECT_EQ(ui.dialogsRun.size(), 2u);
  EXPECT_EQ(Img(), before);
  EXPECT_EQ(Entry(0).tpCount, 3u);
  EXPECT_EQ(Entry(0).tps[0].frequency, 11362);
  EXPECT_FALSE(view.Modified());

  CVortanView bare{ui};
  bare.LoadWorkspace(Workspace(bare.GetWorkspace()));  // the empty one a new view holds
  for (int i = 0; i < kTpMenuItems; ++i) bare.OnTpMenuCommand(TpMenuItem(i));
  EXPECT_EQ(ui.dialogsRun.size(), 2u);
  EXPECT_FALSE(bare.Modified());
}

// ---- Edit TP, satellite ----

TEST_F(TpSatCommands, EditSatelliteTpChangesOnlyTheCatalogue) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  SelectTps({1});  // the second shown row: entry 2 (entry 1 is hidden)
  Answer<CAddTPDlg>([](CAddTPDlg& d) {
    EXPECT_FALSE(d.addMode);
    EXPECT_EQ(d.Title(), "Edit Transponder");
    EXPECT_EQ(d.satelliteText, "Astra");
    EXPECT_EQ(d.frequency, 12603u);
    EXPECT_EQ(d.symbolRate, 22000u);
    EXPECT_EQ(d.polarity, 1);
    EXPECT_EQ(d.modulation, 2);
    EXPECT_EQ(d.fecIndex, 4);
    EXPECT_EQ(d.pilot, 1);
    d.frequency = 12604;
    d.polarity = 2;
    d.modulation = 1;
    d.fecIndex = 0;
    d.pilot = 0;
  });
  Run(TpMenuItem::kEditTp);
  EXPECT_EQ(Entry(0).tps[2], (CatalogueTp{12604, 22000, 2, 0x10, 0, 0}));
  EXPECT_EQ(Entry(0).tps[1].frequency, 11493);  // the hidden one is untouched
  EXPECT_EQ(ui.TpColumn(1), (Rows{"11362", "12604"}));
  EXPECT_EQ(SelectedTps(), (std::vector<int>{1}));
  // Channels keep hanging on the image TP with the old frequency.
  EXPECT_EQ(Img().TpFrequency(w.t12603), 12603);
  EXPECT_EQ(FakeViewUi::Column(view, kColFreq)[2], "12603");
  EXPECT_TRUE(view.Modified());
}

TEST_F(TpSatCommands, EditSatelliteTpNeedsAShownRow) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  for (std::vector<int> rows : {std::vector<int>{}, std::vector<int>{2}}) {
    SelectTps(rows);
    Run(TpMenuItem::kEditTp);
  }
  EXPECT_TRUE(ui.dialogsRun.empty());
  EXPECT_FALSE(view.Modified());
}

// ---- Delete TP, satellite ----

TEST_F(TpSatCommands, DeletingTheSecondAndThirdOfFiveHidesExactlyThose) {
  FiveTps f = MakeFiveTps();
  Load(f.ws);
  ASSERT_EQ(ui.tpRows.size(), 5u);
  SelectTps({1, 2});
  Run(TpMenuItem::kDeleteTp);
  const CatalogueEntry& e = Entry(0);
  ASSERT_EQ(e.tpCount, 5u);  // hidden entries stay in the list
  const uint8_t hidden[5] = {0, 1, 1, 0, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(e.tps[size_t(i)].hidden, hidden[i]) << i;
  EXPECT_EQ(ui.TpColumn(1), (Rows{"10700", "11600", "11900"}));
  EXPECT_EQ(SelectedTps(), (std::vector<int>{1}));  // the former fourth TP
  EXPECT_EQ(Ring(f.s), (std::vector<uint16_t>{f.tps[0], f.tps[3], f.tps[4]}));
  EXPECT_FALSE(Img().ChanInUse(f.chans[1]));
  EXPECT_FALSE(Img().ChanInUse(f.chans[2]));
  EXPECT_EQ(FakeViewUi::Column(view, kColName), (Rows{"Ch0", "Ch3", "Ch4"}));
  EXPECT_TRUE(view.Modified());

  // A hidden entry can no longer be reached: row 1 now edits the fourth.
  SelectTps({1});
  Answer<CAddTPDlg>([](CAddTPDlg& d) { EXPECT_EQ(d.frequency, 11600u); });
  Run(TpMenuItem::kEditTp);
  EXPECT_EQ(ui.dialogsRun.size(), 1u);
}

TEST_F(TpSatCommands, DeletedChannelsLeaveTheCutList) {
  FiveTps f = MakeFiveTps();
  Load(f.ws);
  ui.selection[ListId::kChannels] = {0, 1};
  view.OnCutChannel();
  ASSERT_EQ(view.State().cutList, (std::vector<uint16_t>{f.chans[0], f.chans[1]}));
  SelectTps({1});
  Run(TpMenuItem::kDeleteTp);
  EXPECT_EQ(view.State().cutList, (std::vector<uint16_t>{f.chans[0]}));
}

TEST_F(TpSatCommands, DeleteWithoutAnImageTpOnlyHides) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  view.OnSatelliteComboChanged(2);  // Intelsat: no image satellite at all
  Cat().entries[2].tps = {{11000, 27500, 1, 0, 0, 0}};
  Cat().entries[2].tpCount = 1;
  view.FillTransponderList(1);
  const DbImage before = Img();
  SelectTps({0});
  Run(TpMenuItem::kDeleteTp);
  EXPECT_EQ(Entry(2).tps[0].hidden, 1);
  EXPECT_EQ(Img(), before);
  EXPECT_TRUE(ui.tpRows.empty());
}

// ---- Sort, satellite ----

TEST_F(TpSatCommands, SortSatelliteTpsSortsTheCatalogueListOnly) {
  WorkspaceBuilder b;
  const int k = b.AddEntry("S", 192, {{12000, 1, 1, 0, 0, 0}, {11000, 2, 1, 0, 1, 0}, {10000, 3, 2, 0, 0, 0}});
  const uint8_t s = b.AddSat(k, "S");
  const uint16_t t12 = b.AddTp(s, 12000);
  const uint16_t t10 = b.AddTp(s, 10000, 2);
  Load(b.Finish());
  Run(TpMenuItem::kSortByFrequency);
  EXPECT_EQ(Entry(k).tps[0].frequency, 10000);
  EXPECT_EQ(Entry(k).tps[1].frequency, 11000);  // hidden entries are sorted with the others
  EXPECT_EQ(Entry(k).tps[1].hidden, 1);
  EXPECT_EQ(Entry(k).tps[2].frequency, 12000);
  EXPECT_EQ(ui.TpColumn(1), (Rows{"10000", "12000"}));
  EXPECT_EQ(Ring(s), (std::vector<uint16_t>{t12, t10}));
  EXPECT_TRUE(view.Modified());
}

// ---- Cable ----

TEST_F(TpSatCommands, CableFrequencyRoundTrip) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  ShowCable();
  ASSERT_EQ(ui.TpColumn(1), (Rows{"362000", "122000"}));  // 474000 is excluded
  Answer<CAddCableTP>([](CAddCableTP& d) {
    EXPECT_TRUE(d.addMode);
    EXPECT_EQ(d.Title(), "Add Cable TP");
    EXPECT_EQ(d.frequency, 0u);
    EXPECT_EQ(d.symbolRate, 0u);
    EXPECT_EQ(d.qamMode, 0);
    d.frequency = 362000;
    d.symbolRate = 6875;
    d.qamMode = 4;
  });
  Run(TpMenuItem::kAddTp);
  const std::vector<uint16_t> ring = Ring(w.cable);
  ASSERT_EQ(ring.size(), 4u);
  const uint16_t t = ring.back();
  EXPECT_EQ(Img().TpFrequency(t), 3620);
  EXPECT_EQ(Img().TpSymbolRate(t), 6875);
  EXPECT_EQ(Img().TpModFec(t), 4);
  EXPECT_EQ(Img().TpWordField(t, tpw::kPolarisation), 0u);
  EXPECT_EQ(tuner::kMaskA.Get(Img().TpTuner(t)), 1u);
  EXPECT_EQ(tuner::kMaskB.Get(Img().TpTuner(t)), 1u);
  EXPECT_EQ(ui.TpColumn(1), (Rows{"362000", "122000", "362000"}));
  EXPECT_EQ(ui.TpColumn(3).back(), "QAM-256");
  EXPECT_EQ(SelectedTps(), (std::vector<int>{2}));  // the new TP's row
  EXPECT_EQ(view.State().currentTpItem, t);
  EXPECT_TRUE(view.Modified());

  Answer<CAddCableTP>([](CAddCableTP& d) {
    EXPECT_FALSE(d.addMode);
    EXPECT_EQ(d.Title(), "Edit Cable TP");
    EXPECT_EQ(d.frequency, 362000u);
    EXPECT_EQ(d.symbolRate, 6875u);
    EXPECT_EQ(d.qamMode, 4);
    d.frequency = 306050;  // stored in units of 100 kHz
    d.qamMode = 5;
  });
  Run(TpMenuItem::kEditTp);
  EXPECT_EQ(Img().TpFrequency(t), 3060);
  EXPECT_EQ(Img().TpModFec(t), 5);
  EXPECT_EQ(ui.TpColumn(1), (Rows{"362000", "122000", "306000"}));
  EXPECT_EQ(SelectedTps(), (std::vector<int>{2}));
}

TEST_F(TpSatCommands, FirstCableTpCreatesTheDvbCSatellite) {
  WorkspaceBuilder b;
  b.AddEntry("Astra", 192);
  Load(b.Finish());
  view.OnDeliveryTypeButton(1, kDvbC);
  view.OnTuner2Button();  // types differ: tuner 2 alone
  ASSERT_EQ(view.State().tunerSelection, 2);
  Answer<CAddCableTP>([](CAddCableTP& d) {
    d.frequency = 474000;
    d.symbolRate = 6900;
    d.qamMode = 2;
  });
  Run(TpMenuItem::kAddTp);
  uint8_t s = kNoSat;
  ASSERT_EQ(DbOps(Img()).FindSatByCatalogue(199, s), 0);
  EXPECT_EQ(SatNameOf(s), "DVB-C");
  EXPECT_EQ(Img().SatDelivery(s), kDeliveryCable);
  EXPECT_EQ(Img().SatLinkField(s, satlink::kNew), 1u);  // 199 is past the catalogue
  EXPECT_EQ(tuner::kMaskB.Get(Img().SatTuner(s)), 2u);
  EXPECT_EQ(ui.TpColumn(1), (Rows{"474000"}));
  EXPECT_EQ(ui.TpColumn(3), (Rows{"QAM-64"}));
  EXPECT_EQ(SelectedTps(), (std::vector<int>{0}));
}

TEST_F(TpSatCommands, DeleteCableTpsSkipsExcludedOnes) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  ShowCable();
  SelectTps({0, 1});  // 362000 and 122000; the excluded 474000 sits between them
  Run(TpMenuItem::kDeleteTp);
  EXPECT_EQ(Ring(w.cable), (std::vector<uint16_t>{w.c4740}));
  EXPECT_FALSE(Img().ChanInUse(w.cableTv));
  EXPECT_FALSE(Img().ChanInUse(w.cableThree));
  EXPECT_TRUE(ui.tpRows.empty());
  EXPECT_TRUE(view.Modified());
}

struct CableSortCase {
  const char* label;
  std::vector<uint16_t> frequencies;  // stored, in ring order
  std::vector<int> sortedPositions;   // the original ring positions after the sort
};

class CableSort : public TpSatCommands, public ::testing::WithParamInterface<CableSortCase> {};

TEST_P(CableSort, RingSortIsAscendingAndKeepsEqualOnesInOrder) {
  WorkspaceBuilder b;
  b.AddEntry("Astra", 192);
  const uint8_t s = b.AddSat(198, "Kabel", 2);
  std::vector<uint16_t> tps;
  for (uint16_t f : GetParam().frequencies) tps.push_back(b.AddTp(s, f, 0, 6900, 2));
  Load(b.Finish());
  ShowCable();
  Run(TpMenuItem::kSortByFrequency);
  std::vector<uint16_t> expected;
  Rows shown;
  for (int p : GetParam().sortedPositions) {
    expected.push_back(tps[size_t(p)]);
    shown.push_back(std::to_string(GetParam().frequencies[size_t(p)] * 100));
  }
  EXPECT_EQ(Ring(s), expected);
  EXPECT_EQ(Img().SatFirstTp(s), expected.front());
  EXPECT_EQ(Img().SatLastTp(s), expected.back());
  EXPECT_EQ(ui.TpColumn(1), shown);
  EXPECT_EQ(SelectedTps(), (std::vector<int>{0}));
  EXPECT_TRUE(view.Modified());
}

INSTANTIATE_TEST_SUITE_P(Rings, CableSort,
                         ::testing::Values(CableSortCase{"FourWithTwoEqual", {4740, 3060, 4740, 1220}, {3, 1, 0, 2}},
                                           CableSortCase{"TwoFalling", {4740, 1220}, {1, 0}},
                                           CableSortCase{"TwoRising", {1220, 4740}, {0, 1}},
                                           CableSortCase{"One", {3620}, {0}}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(TpSatCommands, TwoCableTpsInFallingOrderOnlySwapFirstAndLast) {
  WorkspaceBuilder b;
  b.AddEntry("Astra", 192);
  const uint8_t s = b.AddSat(198, "Kabel", 2);
  const uint16_t hi = b.AddTp(s, 4740, 0);
  const uint16_t lo = b.AddTp(s, 1220, 0);
  Load(b.Finish());
  ShowCable();
  const uint32_t hiWord = Img().TpWord(hi);
  const uint32_t loWord = Img().TpWord(lo);
  Run(TpMenuItem::kSortByFrequency);
  EXPECT_EQ(Img().SatFirstTp(s), lo);
  EXPECT_EQ(Img().SatLastTp(s), hi);
  EXPECT_EQ(Img().TpWord(hi), hiWord);  // the links already describe both orders
  EXPECT_EQ(Img().TpWord(lo), loWord);
}

TEST_F(TpSatCommands, CableCommandsWithoutTheCableSatelliteAndTerrestrialDoNothing) {
  WorkspaceBuilder b;
  b.AddEntry("Astra", 192);
  Load(b.Finish());
  ShowCable();
  const DbImage before = Img();
  SelectTps({0});
  for (TpMenuItem item : {TpMenuItem::kEditTp, TpMenuItem::kDeleteTp, TpMenuItem::kSortByFrequency}) Run(item);
  view.OnDeliveryTypeButton(0, kDvbT);
  SelectTps({3});
  for (int i = 0; i < kTpMenuItems; ++i) Run(TpMenuItem(i));
  EXPECT_TRUE(ui.dialogsRun.empty());
  EXPECT_EQ(Img(), before);
  EXPECT_FALSE(view.Modified());
}

// ---- Satellite buttons ----

TEST_F(TpSatCommands, AddSatelliteGoesToItsPlaceByLocation) {
  WorkspaceBuilder b;
  b.AddEntry("Astra 2", 282);
  b.AddEntry("Hotbird", 130);
  Load(b.Finish());
  Answer<CAddSatDlg>([](CAddSatDlg& d) {
    EXPECT_EQ(d.name, "");
    EXPECT_EQ(d.position, 0);
    d.name = "Astra 1";
    d.position = 192;
  });
  view.OnSatAdd();
  EXPECT_EQ(CheckImage(Img()), "");
  ASSERT_EQ(Cat().count, 3u);
  EXPECT_EQ(DecodeRecordText(Entry(2).name.data(), 16), "Astra 1");
  EXPECT_EQ(Entry(2).position, 192);
  EXPECT_EQ(Entry(2).tpCount, 0u);
  EXPECT_EQ(ui.combos[ComboId::kSatellite],
            (Rows{"1 - [13.0E] Hotbird ", "2 - [19.2E] Astra 1 ", "3 - [28.2E] Astra 2 "}));
  EXPECT_EQ(ui.comboSelection[ComboId::kSatellite], 1);
  EXPECT_EQ(view.State().currentCatalogueEntry, 2);
  EXPECT_EQ(view.State().satComboSelection, 1);
  EXPECT_TRUE(ui.tpRows.empty());
  EXPECT_EQ(view.State().currentSatellite, kNoSat);  // no image satellite yet
  EXPECT_FALSE(view.Modified());
}

TEST_F(TpSatCommands, AddSatelliteToAFullCatalogueSaysSo) {
  WorkspaceBuilder b;
  for (int i = 0; i < 200; ++i) b.AddEntry("S" + std::to_string(i), uint16_t(i));
  Load(b.Finish());
  view.OnSatAdd();
  ASSERT_EQ(ui.MessageTexts(), (Rows{"No more SAT can be added !"}));
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kNone);
  EXPECT_TRUE(ui.dialogsRun.empty());
  EXPECT_EQ(Cat().count, 200u);
}

TEST_F(TpSatCommands, AddSatelliteDoesNotTakeAnEntryAPseudoSatelliteUses) {
  WorkspaceBuilder b;
  for (int i = 0; i < 198; ++i) b.AddEntry("S" + std::to_string(i), uint16_t(i));
  const uint8_t cable = b.AddSat(198, "DVB-C", 2);
  b.AddChan(b.AddTp(cable, 3620, 0), {"Kabel1", 1});
  Load(b.Finish());
  view.OnSatAdd();
  EXPECT_EQ(ui.MessageTexts(), (Rows{"No more SAT can be added !"}));
  EXPECT_TRUE(ui.dialogsRun.empty());
  EXPECT_EQ(Cat().count, 198u);

  // Without the pseudo-satellite entry 198 is an ordinary one.
  ui.messages.clear();
  static_cast<void>(DbOps(Img()).DeleteSat(cable));
  Answer<CAddSatDlg>([](CAddSatDlg& d) { d.name = "S198"; });
  view.OnSatAdd();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Cat().count, 199u);
}

TEST_F(TpSatCommands, DeleteEntryZeroOfThree) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  // A satellite record for entry 2 as well, to see it follow its entry.
  const uint8_t intelsat = [&] {
    DbOps ops(Img());
    uint8_t s = kNoSat;
    static_cast<void>(ops.AddSat(s, 2, 0));
    return s;
  }();
  view.OnSatelliteComboChanged(1);  // Astra, entry 0
  ASSERT_EQ(view.State().currentCatalogueEntry, 0);
  ui.selection[ListId::kChannels] = {0};
  view.OnCutChannel();
  ui.messageAnswers.push_back(MessageAnswer::kYes);
  view.OnSatDelete();
  EXPECT_EQ(CheckImage(Img()), "");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Do you want to delete Satellite and all TP & channels of it ?\n - Astra (19.2E) -");
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::kYesNo);

  EXPECT_FALSE(Img().SatInUse(w.astra));
  EXPECT_FALSE(Img().ChanInUse(w.erste));
  EXPECT_FALSE(Img().ChanInUse(w.sat1));
  EXPECT_TRUE(view.State().cutList.empty());
  ASSERT_EQ(Cat().count, 2u);
  EXPECT_EQ(DecodeRecordText(Entry(0).name.data(), 16), "Hotbird");
  EXPECT_EQ(DecodeRecordText(Entry(1).name.data(), 16), "Intelsat");
  EXPECT_EQ(Img().SatCatalogueIndex(w.hotbird), 0);
  EXPECT_EQ(Img().SatCatalogueIndex(intelsat), 1);
  EXPECT_EQ(Img().SatCatalogueIndex(w.cable), 198);  // pseudo-satellites stay
  // Combo line 1 stays selected: now the entry that follows in location order.
  EXPECT_EQ(ui.combos[ComboId::kSatellite], (Rows{"1 - [13.0E] Hotbird ", "2 - [30.0W] Intelsat "}));
  EXPECT_EQ(view.State().satComboSelection, 1);
  EXPECT_EQ(view.State().currentCatalogueEntry, 1);
  EXPECT_EQ(view.State().currentSatellite, intelsat);
  EXPECT_EQ(FakeViewUi::Column(view, kColName), (Rows{"Rai", "CableTV", "Cable3"}));
  EXPECT_FALSE(view.Modified());
}

TEST_F(TpSatCommands, DeleteEntryWithoutImageSatelliteKeepsTheChannels) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  view.OnSatelliteComboChanged(2);  // Intelsat, the last line
  const int channels = Img().U16(kChanCountOffset);
  view.OnSatDelete();  // answered Yes
  EXPECT_EQ(CheckImage(Img()), "");
  EXPECT_EQ(Cat().count, 2u);
  EXPECT_EQ(Img().U16(kChanCountOffset), channels);
  EXPECT_TRUE(Img().SatInUse(w.astra));
  EXPECT_TRUE(Img().SatInUse(w.hotbird));
  // The last line was deleted: the new last line is chosen.
  EXPECT_EQ(view.State().satComboSelection, 1);
  EXPECT_EQ(view.State().currentCatalogueEntry, 0);
  EXPECT_EQ(ui.comboSelection[ComboId::kSatellite], 1);
}

TEST_F(TpSatCommands, DeleteAnsweredNoAndEmptyCatalogue) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  const DbImage before = Img();
  ui.messageAnswers.push_back(MessageAnswer::kNo);
  view.OnSatDelete();
  EXPECT_EQ(Img(), before);
  EXPECT_EQ(Cat().count, 3u);

  WorkspaceBuilder b;
  Load(b.Finish());  // a catalogue without entries
  view.OnSatDelete();
  view.OnSatEdit();
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.dialogsRun.empty());
}

TEST_F(TpSatCommands, EditMovesTheEntryInLocationOrder) {
  WorkspaceBuilder b;
  b.AddEntry("East13", 130);
  b.AddEntry("West5", 3550);
  const int astra = b.AddEntry("Astra", 192);
  b.AddEntry("West179", 1801);
  const uint8_t s = b.AddSat(astra, "Astra 1KR");
  Load(b.Finish());
  view.OnSatelliteComboChanged(1);
  ASSERT_EQ(view.State().currentCatalogueEntry, astra);
  Answer<CAddSatDlg>([](CAddSatDlg& d) {
    EXPECT_EQ(d.name, "Astra");
    EXPECT_EQ(d.position, 192);
    d.name = "Astra W";
    d.position = 3300;  // 30.0 west
  });
  view.OnSatEdit();
  EXPECT_EQ(ui.dialogsRun, (std::vector<DialogKind>{DialogKind::kSatellite}));
  EXPECT_EQ(ui.combos[ComboId::kSatellite],
            (Rows{"1 - [13.0E] East13 ", "2 - [179.9W] West179 ", "3 - [30.0W] Astra W ", "4 - [5.0W] West5 "}));
  EXPECT_EQ(ui.comboSelection[ComboId::kSatellite], 2);
  EXPECT_EQ(view.State().currentCatalogueEntry, astra);
  EXPECT_EQ(SatNameOf(s), "Astra 1KR");  // the image keeps its own name
  EXPECT_FALSE(view.Modified());

  // 180.0 west is stored as 1800 and reads 180.0E.
  Answer<CAddSatDlg>([](CAddSatDlg& d) {
    d.FillTexts();
    d.Text(CAddSatDlg::Field::kLocation) = "180";
    d.OnDirection(1);
    ASSERT_FALSE(d.Validate());
  });
  view.OnSatEdit();
  EXPECT_EQ(Entry(astra).position, 1800);
  EXPECT_EQ(ui.combos[ComboId::kSatellite][1], "2 - [180.0E] Astra W ");
}

// ---- Save and open ----

TEST_F(TpSatCommands, EditsSurviveASaveAndOpen) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  // Satellite: hide Astra's first TP, add another.
  SelectTps({0});
  Run(TpMenuItem::kDeleteTp);
  Answer<CAddTPDlg>([](CAddTPDlg& d) {
    d.frequency = 12345;
    d.symbolRate = 27500;
    d.polarity = 2;
    d.modulation = 2;
    d.fecIndex = 3;
    d.pilot = 1;
  });
  Run(TpMenuItem::kAddTp);
  // Satellites: a new entry, Intelsat moved, Hotbird deleted.
  Answer<CAddSatDlg>([](CAddSatDlg& d) {
    d.name = "Eutelsat";
    d.position = 100;
  });
  view.OnSatAdd();
  view.OnSatelliteComboChanged(3);  // 10.0E, 13.0E, 19.2E, 30.0W
  Answer<CAddSatDlg>([](CAddSatDlg& d) { d.position = 3550; });
  view.OnSatEdit();
  view.OnSatelliteComboChanged(1);
  view.OnSatDelete();
  // Cable: add, edit, sort.
  ShowCable();
  Answer<CAddCableTP>([](CAddCableTP& d) {
    d.frequency = 114000;
    d.symbolRate = 6900;
    d.qamMode = 2;
  });
  Run(TpMenuItem::kAddTp);
  SelectTps({0});
  Answer<CAddCableTP>([](CAddCableTP& d) { d.frequency = 858000; });
  Run(TpMenuItem::kEditTp);
  Run(TpMenuItem::kSortByFrequency);
  ASSERT_EQ(ui.TpColumn(1), (Rows{"114000", "122000", "858000"}));

  ScratchDir dir;
  const std::string path = dir.File("tpsat.bin");
  ASSERT_EQ(WriteDownloadImage(view.GetWorkspace(), path), 1);
  FakeViewUi ui2;
  CVortanView reopened(ui2);
  reopened.SetSideFileFolder(dir.Path());
  reopened.OnInitialUpdate();
  ASSERT_TRUE(reopened.OpenFile(path));
  EXPECT_EQ(CheckImage(reopened.Image()), "");
  EXPECT_EQ(ui2.combos[ComboId::kSatellite],
            (Rows{"1 - [10.0E] Eutelsat ", "2 - [19.2E] Astra ", "3 - [5.0W] Intelsat "}));
  const SatCatalogue& cat = reopened.GetWorkspace().catalogue;
  ASSERT_EQ(cat.count, 3u);
  const CatalogueEntry& astra = cat.entries[0];
  ASSERT_EQ(astra.tpCount, 4u);
  EXPECT_EQ(astra.tps[0].hidden, 1);
  EXPECT_EQ(astra.tps[3], (CatalogueTp{12345, 27500, 2, 0x23, 0, 1}));
  reopened.OnSatelliteComboChanged(1);
  EXPECT_EQ(ui2.TpColumn(1), (Rows{"12603", "12345"}));
  reopened.OnDeliveryTypeButton(0, kDvbC);
  EXPECT_EQ(ui2.TpColumn(1), (Rows{"114000", "122000", "858000"}));
  EXPECT_EQ(ui2.TpColumn(3), (Rows{"QAM-64", "Unknown", "QAM-64"}));
}

}  // namespace
}  // namespace pelagor::test
