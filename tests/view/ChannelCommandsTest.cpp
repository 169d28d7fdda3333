// The channel commands through the view, as the popup, the keys and the form
// call them, over small workspaces; the image checker runs after each.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include "FakeViewUi.h"
#include "StdWorkspace.h"
#include "db/ImageChecker.h"
#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "view/CAddChanDlg.h"
#include "view/CEditChanDlg.h"
#include "view/CFavNameDlg.h"
#include "view/CProviderSelectDlg.h"
#include "view/RecordText.h"

namespace pelagor::test {
namespace {

using Names = std::vector<std::string>;
using AddField = CAddChanDlg::Field;

// What the user types into the add-channel dialog.
struct AddInput {
  std::string number = "50";
  std::string name = "New";
  std::string video = "200";
  std::string audio = "201";
  std::string pcr = "202";
  std::string sid = "77";
};

class ChannelCommands : public ::testing::Test {
 protected:
  void Load(Workspace ws) {
    view.OnInitialUpdate();
    view.LoadWorkspace(std::move(ws));
  }
  void LoadStd() {
    w = MakeStdWorkspace();
    Load(std::move(w.ws));
  }
  void TearDown() override { EXPECT_EQ(CheckImage(view.Image()), ""); }

  DbImage& Img() { return view.Image(); }
  Names Shown() const { return FakeViewUi::Column(view, kColName); }
  std::string Name(uint16_t c) { return ChannelNameText(Img().ChanName(c)); }
  // ChannelOrder as names, up to its first free entry.
  Names Order() {
    Names out;
    for (int i = 0; i < kMaxChans && Img().Order(i) != kNoChan; ++i) out.push_back(Name(Img().Order(i)));
    return out;
  }
  void Select(std::vector<int> rows) { ui.selection[ListId::kChannels] = std::move(rows); }
  std::vector<int> Selected() { return ui.selection[ListId::kChannels]; }
  void Run(ChanMenuItem item) { view.OnChannelMenuCommand(item); }

  // The dialog answers OK with these texts, having checked that they pass.
  void AnswerAdd(AddInput in, CAddChanDlg* seen = nullptr) {
    ui.dialogAnswers.push_back([in, seen](DialogModel m) {
      CAddChanDlg* d = std::get<CAddChanDlg*>(m);
      d->FillTexts();
      d->Text(AddField::kChannelNumber) = in.number;
      d->Text(AddField::kName) = in.name;
      d->Text(AddField::kVideoPid) = in.video;
      d->Text(AddField::kAudioPid) = in.audio;
      d->Text(AddField::kPcrPid) = in.pcr;
      d->Text(AddField::kServiceId) = in.sid;
      EXPECT_FALSE(d->Validate());
      if (seen) *seen = *d;
      return DialogAnswer::kOk;
    });
  }
  void AnswerCancel() {
    ui.dialogAnswers.push_back([](DialogModel) { return DialogAnswer::kCancel; });
  }
  // The channel an add created: the one channel not in the set before.
  uint16_t NewChannelSince(const std::vector<bool>& before) {
    for (int c = 0; c < kMaxChans; ++c) {
      if (Img().ChanInUse(c) && !before[size_t(c)]) return uint16_t(c);
    }
    return kNoChan;
  }
  std::vector<bool> InUse() {
    std::vector<bool> v(kMaxChans);
    for (int c = 0; c < kMaxChans; ++c) v[size_t(c)] = Img().ChanInUse(c);
    return v;
  }

  FakeViewUi ui;
  CVortanView view{ui};
  StdWorkspace w;
};

// ---- Delete ----

TEST_F(ChannelCommands, DeleteOnRadioFavouriteListThreeOnlyLeavesTheList) {
  LoadStd();
  DbOps ops(Img());
  static_cast<void>(ops.SetFavourite(w.radio1, 2, 1, 1));
  static_cast<void>(ops.SetFavourite(w.erste, 2, 0, 1));  // the TV list 3 is not touched
  view.OnServiceTypeButton(ServiceType::kRadio);
  view.OnFavoriteComboChanged(3);
  ASSERT_EQ(Shown(), Names{"Radio1"});
  Select({0});
  Run(ChanMenuItem::kDeleteChannel);
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(Img().ChanInUse(w.radio1));
  EXPECT_EQ(Img().FavLength(1, 2), 0);
  EXPECT_EQ(Img().FavLength(0, 2), 1);
  EXPECT_EQ(Img().FavEntry(0, 2, 0), w.erste);
  view.OnFavoriteComboChanged(0);
  EXPECT_EQ(Shown(), Names{"Radio1"});
  EXPECT_TRUE(view.Modified());
}

TEST_F(ChannelCommands, DeleteSelectsTheRowThatMovedInOrTheLast) {
  struct Case {
    const char* label;
    std::vector<int> rows;
    Names left;
    std::vector<int> selected;
  };
  const Case cases[] = {
      {"Middle", {1}, {"Das Erste", "Sat1", "Rai", "CableTV", "Cable3"}, {1}},
      {"TwoRows", {0, 2}, {"ZDF", "Rai", "CableTV", "Cable3"}, {0}},
      {"LastRow", {5}, {"Das Erste", "ZDF", "Sat1", "Rai", "CableTV"}, {4}},
      {"LastTwo", {4, 5}, {"Das Erste", "ZDF", "Sat1", "Rai"}, {3}},
      {"Every", {0, 1, 2, 3, 4, 5}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    LoadStd();
    Select(c.rows);
    Run(ChanMenuItem::kDeleteChannel);
    EXPECT_EQ(Shown(), c.left);
    EXPECT_EQ(Selected(), c.selected);
    EXPECT_EQ(CheckImage(Img()), "");
  }
  EXPECT_EQ(Img().ChanCount(), 1);  // the radio channel
}

TEST_F(ChannelCommands, DeleteWithoutSelectionChangesNothing) {
  LoadStd();
  Select({});
  const DbImage before = Img();
  Run(ChanMenuItem::kDeleteChannel);
  EXPECT_TRUE(Img() == before);
  EXPECT_FALSE(view.Modified());
}

// ---- Favourites, lock, renumber ----

TEST_F(ChannelCommands, FavouriteItemsLockAndUnlock) {
  LoadStd();
  static_cast<void>(DbOps(Img()).SetFavouriteName(1, "News"));
  static_cast<void>(DbOps(Img()).SetFavouriteName(7, "Kids"));
  view.FillFavoriteCombo();
  const int resets = ui.channelResets;
  Select({0, 2});
  Run(ChanMenuItem::kFav2);
  EXPECT_EQ(Img().FavLength(0, 1), 2);
  EXPECT_EQ(Img().FavEntry(0, 1, 0), w.erste);
  EXPECT_EQ(Img().FavEntry(0, 1, 1), w.sat1);
  EXPECT_EQ(view.ChannelCell(0, kColFavorite), "News");
  Run(ChanMenuItem::kFav8);
  EXPECT_EQ(view.ChannelCell(2, kColFavorite), "News,Kids");
  EXPECT_EQ(view.ChannelCell(1, kColFavorite), "");
  Run(ChanMenuItem::kLock);
  EXPECT_EQ(FakeViewUi::Column(view, kColLock), (Names{"O", "", "O", "", "", ""}));
  Select({2});
  Run(ChanMenuItem::kUnlock);
  EXPECT_EQ(FakeViewUi::Column(view, kColLock), (Names{"O", "", "", "", "", ""}));
  // All refreshes: the rows and the selection stay.
  EXPECT_EQ(ui.channelResets, resets);
  EXPECT_EQ(Selected(), std::vector<int>{2});
  EXPECT_EQ(view.Channels().Filter().favorite, 0);
  EXPECT_TRUE(view.Modified());
}

TEST_F(ChannelCommands, ReassignNumbersTheShownTvChannelsOnly) {
  LoadStd();
  Img().SetChanU16(w.erste, chan::kNumber, 900);
  Select({0});
  Run(ChanMenuItem::kReassignChannelNo);
  EXPECT_EQ(FakeViewUi::Column(view, kColChanNo), (Names{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(Img().ChanNumber(w.radio1), 3);
  view.OnServiceTypeButton(ServiceType::kRadio);
  Select({0});
  Run(ChanMenuItem::kReassignChannelNo);
  EXPECT_EQ(Img().ChanNumber(w.radio1), 1);
  EXPECT_EQ(Img().ChanNumber(w.rai), 4);
}

// ---- Add ----

TEST_F(ChannelCommands, AddSatelliteRadioChannelIsHiddenByTheTvFilter) {
  LoadStd();
  const std::vector<bool> before = InUse();
  CAddChanDlg seen;
  AnswerAdd({"12", "Klassik", "8192", "301", "302", "70001"}, &seen);
  Run(ChanMenuItem::kAddChannel);
  EXPECT_EQ(seen.satelliteText, "Astra");
  EXPECT_EQ(seen.transponderText, "11362 / 22000");
  const uint16_t c = NewChannelSince(before);
  ASSERT_NE(c, kNoChan);
  EXPECT_EQ(Img().ChanTp(c), w.t11362);
  EXPECT_EQ(Img().ChanNumber(c), 12);
  EXPECT_EQ(Img().ChanU16(c, chan::kVideoPid), 8192);
  EXPECT_EQ(Img().ChanU16(c, chan::kAudioPid), 301);
  EXPECT_EQ(Img().ChanU16(c, chan::kPcrPid), 302);
  EXPECT_EQ(Img().ChanSid(c), uint16_t(70001));
  EXPECT_EQ(Img().ChanWordField(c, chw::kServiceType), 1u);
  EXPECT_EQ(Img().ChanWordField(c, chw::kAudioCount), 1u);
  EXPECT_EQ(Img().ChanWordField(c, chw::kAddedByEditor), 1u);
  EXPECT_EQ(tuner::kMarker.Get(Img().ChanTuner(c)), 1u);
  EXPECT_EQ(tuner::kMaskA.Get(Img().ChanTuner(c)), tuner::kMaskA.Get(Img().TpTuner(w.t11362)));
  EXPECT_EQ(Name(c), "Klassik");
  EXPECT_EQ(Shown(), (Names{"Das Erste", "ZDF", "Sat1", "Rai", "CableTV", "Cable3"}));
  EXPECT_EQ(Selected(), std::vector<int>{5});
  EXPECT_TRUE(view.Modified());
  view.OnServiceTypeButton(ServiceType::kRadio);
  EXPECT_EQ(Shown(), (Names{"Radio1", "Klassik"}));
}

TEST_F(ChannelCommands, AddTvChannelBecomesTheSelectedLastRow) {
  LoadStd();
  AnswerAdd({});
  Run(ChanMenuItem::kAddChannel);
  EXPECT_EQ(Shown().back(), "New");
  EXPECT_EQ(Selected(), std::vector<int>{6});
}

TEST_F(ChannelCommands, AddCancelledOrWithoutCatalogueDoesNothing) {
  LoadStd();
  const DbImage before = Img();
  AnswerCancel();
  Run(ChanMenuItem::kAddChannel);
  EXPECT_EQ(ui.dialogsRun, std::vector<DialogKind>{DialogKind::kAddChannel});
  EXPECT_TRUE(Img() == before);
  EXPECT_FALSE(view.Modified());
  view.GetWorkspace().catalogue = SatCatalogue{};
  Run(ChanMenuItem::kAddChannel);
  EXPECT_EQ(ui.dialogsRun.size(), 1u);
}

TEST_F(ChannelCommands, AddOnACatalogueEntryWithoutImageSatelliteCreatesSatelliteAndTp) {
  WorkspaceBuilder b;
  b.AddEntry("Eutelsat 7", 70, {{10721, 22000, 2, 0x13, 0, 1}});
  Load(b.Finish());
  AnswerAdd({});
  Run(ChanMenuItem::kAddChannel);
  uint8_t s = kNoSat;
  ASSERT_EQ(DbOps(Img()).FindSatByCatalogue(0, s), 0);
  EXPECT_EQ(DecodeRecordText(Img().SatName(s), 16), "Eutelsat 7");
  EXPECT_EQ(Img().SatDelivery(s), kDeliverySatellite);
  ASSERT_EQ(Img().SatTpCount(s), 1);
  const uint16_t t = Img().SatFirstTp(s);
  EXPECT_EQ(Img().TpFrequency(t), 10721);
  EXPECT_EQ(Img().TpSymbolRate(t), 22000);
  EXPECT_EQ(Img().TpWordField(t, tpw::kPolarisation), 2u);
  EXPECT_EQ(Img().TpModFec(t), 0x13);
  EXPECT_EQ(tuner::kMaskA.Get(Img().TpTuner(t)), 1u);
  EXPECT_EQ(Img().TpChanCount(t), 1);
  EXPECT_EQ(tuner::kMaskB.Get(Img().ChanTuner(Img().TpFirstChan(t))), 1u);
  EXPECT_EQ(Shown(), Names{"New"});
  EXPECT_EQ(view.State().currentSatellite, s);
  EXPECT_EQ(view.State().currentTransponder, t);
}

TEST_F(ChannelCommands, AddRepairsASatelliteMadeForCable) {
  WorkspaceBuilder b;
  const int k = b.AddEntry("Turksat", 420, {{11054, 30000, 1, 0x00, 0, 0}});
  const uint8_t wrong = b.AddSat(k, "Wrong", 2, 1);
  const uint16_t wt = b.AddTp(wrong, 11054, 1);
  const uint16_t old = b.AddChan(wt, {"Old", 1});
  Load(b.Finish());
  ASSERT_EQ(Shown(), Names{"Old"});
  AnswerAdd({});
  Run(ChanMenuItem::kAddChannel);
  (void)old;  // its slot may be taken again by the new channel
  for (int c = 0; c < kMaxChans; ++c) {
    if (Img().ChanInUse(c)) {
      EXPECT_NE(Name(uint16_t(c)), "Old");
    }
  }
  uint8_t s = kNoSat;
  ASSERT_EQ(DbOps(Img()).FindSatByCatalogue(uint8_t(k), s), 0);
  EXPECT_EQ(Img().SatDelivery(s), kDeliverySatellite);
  EXPECT_EQ(Img().SatCount(), 1);
  EXPECT_EQ(Shown(), Names{"New"});
}

TEST_F(ChannelCommands, FirstTerrestrialAddMakesThePseudoSatelliteEvenWhenCancelled) {
  LoadStd();
  view.OnDeliveryTypeButton(0, kDvbT);
  ASSERT_EQ(ui.tpRows.size(), 57u);
  AnswerCancel();
  Run(ChanMenuItem::kAddChannel);
  uint8_t s = kNoSat;
  ASSERT_EQ(DbOps(Img()).FindSatByCatalogue(198, s), 0);
  EXPECT_EQ(DecodeRecordText(Img().SatName(s), 16), "DVB-T");
  EXPECT_EQ(Img().SatDelivery(s), kDeliveryTerrestrial);
  ASSERT_EQ(Img().SatTpCount(s), 57);
  std::vector<int> freqs;
  uint16_t t = Img().SatFirstTp(s);
  for (int i = 0; i < 57; ++i, t = Img().TpNext(t)) {
    freqs.push_back(Img().TpFrequency(t));
    EXPECT_EQ(Img().TpSymbolRate(t), 0);
    EXPECT_EQ(tuner::kMaskB.Get(Img().TpTuner(t)), 1u);
  }
  EXPECT_EQ(freqs[0], 1775);
  EXPECT_EQ(freqs[7], 2265);
  EXPECT_EQ(freqs[8], 4740);
  EXPECT_EQ(freqs[56], 8580);
  // The repair step took the cable pseudo-satellite of tuner 1 with its two
  // channels: one tuner has one pseudo-satellite.
  EXPECT_EQ(Img().ChanCount(), 5);
  EXPECT_FALSE(Img().ChanInUse(w.cableTv) && Img().TpSat(Img().ChanTp(w.cableTv)) == w.cable);
  EXPECT_TRUE(view.Modified());
  EXPECT_EQ(CheckImage(Img()), "");

  // The next add finds it and puts the channel on the selected plan row.
  ui.selection[ListId::kTransponders] = {8};
  CAddChanDlg seen;
  AnswerAdd({"3", "Regional"}, &seen);
  Run(ChanMenuItem::kAddChannel);
  EXPECT_EQ(seen.satelliteText, "DVB-T");
  EXPECT_EQ(seen.transponderText, "474000");
  EXPECT_EQ(Img().SatTpCount(s), 57);
  EXPECT_EQ(Img().SatCount(), 3);
  view.OnSatFilterChanged(1);
  ASSERT_EQ(Shown(), Names{"Regional"});
  EXPECT_EQ(Img().TpFrequency(Img().ChanTp(view.ChannelOfRow(0))), 4740);
}

TEST_F(ChannelCommands, AddCableChannelOnTheSelectedCableRow) {
  LoadStd();
  view.OnDeliveryTypeButton(0, kDvbC);
  ASSERT_EQ(ui.tpRows.size(), 2u);  // the excluded TP is not listed
  ui.selection[ListId::kTransponders] = {1};
  CAddChanDlg seen;
  AnswerAdd({"8", "Cable4"}, &seen);
  Run(ChanMenuItem::kAddChannel);
  EXPECT_EQ(seen.satelliteText, "Kabel");
  EXPECT_EQ(seen.transponderText, "122000 / 6875");
  EXPECT_EQ(Img().TpChanCount(w.c1220), 2);
  EXPECT_EQ(Shown().back(), "Cable4");
  // Without a selected TP row nothing is asked or added.
  ui.selection[ListId::kTransponders] = {};
  Run(ChanMenuItem::kAddChannel);
  EXPECT_EQ(ui.dialogsRun.size(), 1u);
}

// Rejected steps end the add silently and take back what it made.
TEST_F(ChannelCommands, AddOnAFullTpKeepsTheImageAndStillRebuilds) {
  WorkspaceBuilder b;
  const int k = b.AddEntry("Full", 100, {{11000, 27500, 1, 0x00, 0, 0}});
  const uint8_t s = b.AddSat(k, "Full");
  const uint16_t t = b.AddTp(s, 11000, 1);
  for (int i = 0; i < kMaxChansPerTp; ++i) b.AddChan(t, {"C" + std::to_string(i), uint16_t(i + 1)});
  Load(b.Finish());
  const DbImage before = Img();
  const int resets = ui.channelResets;
  AnswerAdd({});
  Run(ChanMenuItem::kAddChannel);
  EXPECT_TRUE(Img() == before);
  EXPECT_EQ(ui.channelResets, resets + 1);
  EXPECT_EQ(Selected(), std::vector<int>{kMaxChansPerTp - 1});
}

TEST_F(ChannelCommands, AddWithTheChannelTableFullTakesBackTheNewSatelliteAndTp) {
  WorkspaceBuilder b;
  const int fresh = b.AddEntry("Fresh", 100, {{12000, 27500, 2, 0x00, 0, 0}});
  const int busy = b.AddEntry("Busy", 200);
  const uint8_t s = b.AddSat(busy, "Busy");
  for (int tp = 0; tp < kMaxChans / 250; ++tp) {
    const uint16_t t = b.AddTp(s, uint16_t(10000 + tp), 1);
    for (int i = 0; i < 250; ++i) b.AddChan(t, {"C", 1});
  }
  Load(b.Finish());
  view.OnSatelliteComboChanged(0);  // by location: "Fresh" first
  ASSERT_EQ(view.State().currentCatalogueEntry, fresh);
  AnswerAdd({});
  Run(ChanMenuItem::kAddChannel);
  uint8_t found = kNoSat;
  EXPECT_NE(DbOps(Img()).FindSatByCatalogue(uint8_t(fresh), found), 0);
  EXPECT_EQ(Img().SatCount(), 1);
  EXPECT_EQ(Img().ChanCount(), kMaxChans);
  int tps = 0;
  for (int t = 0; t < kMaxTps; ++t) tps += Img().TpInUse(t);
  EXPECT_EQ(tps, kMaxChans / 250);
  EXPECT_EQ(view.RowCount(), kMaxChans);
  // Only the channel was refused: the add went to its end.
  EXPECT_EQ(ui.dialogsRun.size(), 1u);
  EXPECT_TRUE(view.Modified());
}

TEST_F(ChannelCommands, AddThatGivesUpAfterTheRepairStillMarksTheChange) {
  WorkspaceBuilder b;
  const int k = b.AddEntry("Aaa", 10, {{11000, 27500, 1, 0x00, 0, 0}});
  const int other = b.AddEntry("Other", 20);
  b.AddSat(k, "Wrong", 2, 1);  // made for cable, no TPs
  const uint8_t full = b.AddSat(other, "Other");
  for (int t = 0; t < kMaxTps; ++t) b.AddTp(full, uint16_t(10000 + t), 1);
  Load(b.Finish());
  view.OnSatelliteComboChanged(0);
  ASSERT_EQ(view.State().currentCatalogueEntry, k);
  AnswerAdd({});
  Run(ChanMenuItem::kAddChannel);
  // The repair removed the cable satellite; the new one could get no TP and
  // was taken back. The image differs from the file, and the title says so.
  EXPECT_EQ(Img().SatCount(), 1);
  EXPECT_TRUE(view.Modified());
}

TEST_F(ChannelCommands, ARepairTheOperationsRefuseIsNoChange) {
  WorkspaceBuilder b;
  const int k = b.AddEntry("Aaa", 10, {{11000, 27500, 1, 0x00, 0, 0}});
  const uint8_t wrong = b.AddSat(k, "Wrong", 2, 1);  // made for cable
  // Its TP ring names a free record, so it can be neither deleted nor added to.
  const uint16_t sound[] = {b.ws.image->SatTpCount(wrong), b.ws.image->SatFirstTp(wrong), b.ws.image->SatLastTp(wrong)};
  b.ws.image->SetSatU16(wrong, sat::kTpCount, 1);
  b.ws.image->SetSatU16(wrong, sat::kFirstTp, 5);
  b.ws.image->SetSatU16(wrong, sat::kLastTp, 5);
  Load(b.Finish());
  view.OnSatelliteComboChanged(0);
  ASSERT_EQ(view.State().currentCatalogueEntry, k);
  const std::vector<uint8_t> before(Img().Data(), Img().Data() + DbImage::Size());
  AnswerAdd({});
  Run(ChanMenuItem::kAddChannel);
  // The refused repair removed nothing and the add gave up: nothing changed,
  // so the workspace is not marked modified.
  EXPECT_TRUE(std::equal(before.begin(), before.end(), Img().Data()));
  EXPECT_FALSE(view.Modified());
  // The ring as it was, for the closing check of the image.
  Img().SetSatU16(wrong, sat::kTpCount, sound[0]);
  Img().SetSatU16(wrong, sat::kFirstTp, sound[1]);
  Img().SetSatU16(wrong, sat::kLastTp, sound[2]);
}

TEST_F(ChannelCommands, AddWithTheTpTableFullChangesNothing) {
  Load(FullWorkspace(1));
  // An entry with TPs and no image satellite cannot be had here: every
  // entry has one, so take one whose TP the image lacks.
  const int k = view.State().currentCatalogueEntry;
  CatalogueEntry& e = view.GetWorkspace().catalogue.entries[size_t(k)];
  e.tps.insert(e.tps.begin(), CatalogueTp{3999, 1000, 2, 0x00, 0, 0});
  ++e.tpCount;
  view.FillTransponderList(1);
  const DbImage before = Img();
  AnswerAdd({});
  Run(ChanMenuItem::kAddChannel);
  EXPECT_TRUE(Img() == before);  // the TP table is full: nothing is made
  EXPECT_FALSE(view.Modified());
}

// ---- Edit ----

TEST_F(ChannelCommands, EditStoresTheValuesAsTyped) {
  LoadStd();
  Select({1, 2});  // only the first selected row is edited
  ui.dialogAnswers.push_back([](DialogModel m) {
    CEditChanDlg* d = std::get<CEditChanDlg*>(m);
    EXPECT_EQ(d->Title(), "Edit Channel");
    EXPECT_EQ(d->name, "ZDF");
    EXPECT_EQ(d->channelNumber, 2);
    EXPECT_EQ(d->videoPid, 100u);
    d->FillTexts();
    d->Text(CEditChanDlg::Field::kName) =
        "ZDF\x7f"
        "HD";
    d->Text(CEditChanDlg::Field::kChannelNumber) = "-1";
    d->Text(CEditChanDlg::Field::kVideoPid) = "8192";
    d->Text(CEditChanDlg::Field::kServiceId) = "65537";
    EXPECT_FALSE(d->Validate());
    return DialogAnswer::kOk;
  });
  const int resets = ui.channelResets;
  Run(ChanMenuItem::kEditChannel);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Img().ChanName(w.zdf))),
            "ZDF\x7f"
            "HD");
  EXPECT_EQ(Img().ChanNumber(w.zdf), 0xFFFF);
  EXPECT_EQ(Img().ChanU16(w.zdf, chan::kVideoPid), 8192);
  EXPECT_EQ(Img().ChanSid(w.zdf), 1);
  EXPECT_EQ(Img().ChanWordField(w.zdf, chw::kServiceType), 0u);  // not recomputed
  EXPECT_EQ(ui.channelResets, resets);
  EXPECT_GT(ui.channelRefreshes, 0);
  EXPECT_EQ(view.ChannelCell(0, kColSatellite), "Astra 1");
  EXPECT_TRUE(view.Modified());
}

TEST_F(ChannelCommands, EditKeepsASelectorByteAndAnUntouchedName) {
  LoadStd();
  uint8_t* field = Img().ChanName(w.erste);
  std::memset(field, 0, 25);
  std::memcpy(field,
              "\x05"
              "Kanal\x85X",
              8);  // selector, and a byte the lists do not show
  Select({0});
  ui.dialogAnswers.push_back([](DialogModel m) {
    CEditChanDlg* d = std::get<CEditChanDlg*>(m);
    d->FillTexts();
    EXPECT_EQ(d->name, "KanalX");
    d->Text(CEditChanDlg::Field::kPcrPid) = "77";
    EXPECT_FALSE(d->Validate());
    return DialogAnswer::kOk;
  });
  Run(ChanMenuItem::kEditChannel);
  EXPECT_EQ(std::memcmp(Img().ChanName(w.erste),
                        "\x05"
                        "Kanal\x85X",
                        9),
            0);
  EXPECT_EQ(Img().ChanU16(w.erste, chan::kPcrPid), 77);
  ui.dialogAnswers.push_back([](DialogModel m) {
    CEditChanDlg* d = std::get<CEditChanDlg*>(m);
    d->FillTexts();
    d->Text(CEditChanDlg::Field::kName) = "K\xC3\xA4se";  // Käse
    EXPECT_FALSE(d->Validate());
    return DialogAnswer::kOk;
  });
  Run(ChanMenuItem::kEditChannel);
  EXPECT_EQ(std::memcmp(Img().ChanName(w.erste), "\x05K\xE4se\0", 7), 0);
  EXPECT_EQ(view.ChannelCell(0, kColName), "K\xC3\xA4se");
}

TEST_F(ChannelCommands, EditWithoutSelectionOrCancelledChangesNothing) {
  LoadStd();
  Select({});
  Run(ChanMenuItem::kEditChannel);
  EXPECT_TRUE(ui.dialogsRun.empty());
  Select({0});
  const DbImage before = Img();
  AnswerCancel();
  Run(ChanMenuItem::kEditChannel);
  EXPECT_TRUE(Img() == before);
  EXPECT_FALSE(view.Modified());
}

// ---- Provider ----

class ProviderCommands : public ChannelCommands {
 protected:
  void SetUp() override {
    w = MakeStdWorkspace();
    ProviderTable& p = w.ws.providers;
    auto name = [&p](size_t i, const char* n) {
      p.entries[i].name.fill(0);
      std::memcpy(p.entries[i].name.data(), n, std::strlen(n));
    };
    name(0, "Unknown");
    name(1, "ARD");
    name(2, "ZDFvision");
    p.count = 3;
    // Every channel "Unknown" but Das Erste on ARD.
    for (uint16_t c : {w.erste, w.zdf, w.radio1, w.sat1, w.rai, w.cableTv, w.cableThree}) {
      w.ws.image->SetChanU16(c, chan::kProvider, c == w.erste ? 1 : 0);
    }
    p.entries[0].usage = 6;
    p.entries[1].usage = 1;
    w.ws.providerPresent = true;
    Load(std::move(w.ws));
  }
  ProviderTable& Table() { return view.GetWorkspace().providers; }
};

TEST_F(ProviderCommands, TypedNewNameGoesIntoTheFirstFreeEntry) {
  Select({0, 1});
  ui.dialogAnswers.push_back([](DialogModel m) {
    CProviderSelectDlg* d = std::get<CProviderSelectDlg*>(m);
    EXPECT_EQ(d->Lines().size(), 3u);
    EXPECT_EQ(d->Lines().front().name, "Unknown");
    d->TypeText("Sky");
    EXPECT_FALSE(d->Validate());
    return DialogAnswer::kOk;
  });
  Run(ChanMenuItem::kSetProvider);
  EXPECT_EQ(Table().Name(3), "Sky");
  EXPECT_EQ(Img().ChanProvider(w.erste), 3);
  EXPECT_EQ(Img().ChanProvider(w.zdf), 3);
  EXPECT_EQ(Table().entries[1].usage, 0u);
  EXPECT_EQ(Table().entries[3].usage, 2u);
  EXPECT_EQ(Table().count, 4u);  // the new name is listed next time
  EXPECT_EQ(FakeViewUi::Column(view, kColProvider)[0], "Sky");
  EXPECT_TRUE(view.Modified());
}

TEST_F(ProviderCommands, ChosenLineMovesTheUsage) {
  Select({0});
  ui.dialogAnswers.push_back([](DialogModel m) {
    CProviderSelectDlg* d = std::get<CProviderSelectDlg*>(m);
    d->ChooseLine(2);  // ZDFvision
    EXPECT_FALSE(d->Validate());
    return DialogAnswer::kOk;
  });
  Run(ChanMenuItem::kSetProvider);
  EXPECT_EQ(Img().ChanProvider(w.erste), 2);
  EXPECT_EQ(Table().entries[1].usage, 0u);
  EXPECT_EQ(Table().entries[2].usage, 1u);
  EXPECT_EQ(Table().count, 3u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProviderCommands, UsageNeverWrapsBelowZero) {
  Select({1});  // ZDF, on "Unknown", whose count the file left at 0
  Table().entries[0].usage = 0;
  ui.dialogAnswers.push_back([](DialogModel m) {
    CProviderSelectDlg* d = std::get<CProviderSelectDlg*>(m);
    d->ChooseLine(1);
    EXPECT_FALSE(d->Validate());
    return DialogAnswer::kOk;
  });
  Run(ChanMenuItem::kSetProvider);
  EXPECT_EQ(Table().entries[0].usage, 0u);
  EXPECT_EQ(Table().entries[1].usage, 2u);
  EXPECT_EQ(Img().ChanProvider(w.zdf), 1);
}

TEST_F(ProviderCommands, NewNameWithEveryEntryNamedChangesNothing) {
  for (size_t i = 0; i < kProviderEntries; ++i) {
    if (Table().entries[i].name[0] == 0) Table().entries[i].name[0] = 'P';
  }
  Select({0});
  const ProviderTable before = Table();
  // The face shows the refusal and the user gives up.
  ui.dialogAnswers.push_back([this](DialogModel m) {
    CProviderSelectDlg* d = std::get<CProviderSelectDlg*>(m);
    d->TypeText("Fresh");
    auto failure = d->Validate();
    EXPECT_TRUE(failure);
    if (failure) ui.ShowMessage(failure->message, MessageIcon::kNone, MessageButtons::kOk);
    return DialogAnswer::kCancel;
  });
  Run(ChanMenuItem::kSetProvider);
  EXPECT_EQ(ui.MessageTexts(), Names{"No more provider can be added !"});
  EXPECT_EQ(Img().ChanProvider(w.erste), 1);
  EXPECT_EQ(Table().entries[1].usage, before.entries[1].usage);
  EXPECT_EQ(Table().Name(1999), "P");
  EXPECT_FALSE(view.Modified());
}

TEST_F(ProviderCommands, EditsSurviveASaveAndOpen) {
  AnswerAdd({"40", "Neu"});
  Run(ChanMenuItem::kAddChannel);  // selects the new last row
  ui.dialogAnswers.push_back([](DialogModel m) {
    CProviderSelectDlg* d = std::get<CProviderSelectDlg*>(m);
    d->TypeText("Sky");
    EXPECT_FALSE(d->Validate());
    return DialogAnswer::kOk;
  });
  Run(ChanMenuItem::kSetProvider);
  Run(ChanMenuItem::kFav1);
  view.OnFavoriteComboChanged(1);
  ui.dialogAnswers.push_back([](DialogModel m) {
    CFavNameDlg* d = std::get<CFavNameDlg*>(m);
    d->FillTexts();
    d->Text() = "Mine";
    EXPECT_FALSE(d->Validate());
    return DialogAnswer::kOk;
  });
  view.OnFavoriteButton();
  view.OnFavoriteComboChanged(0);
  Select({4});
  Run(ChanMenuItem::kCutChannel);
  Select({0});
  Run(ChanMenuItem::kPasteChannel);

  ScratchDir dir;
  const std::string path = dir.File("edited.bin");
  ASSERT_EQ(WriteDownloadImage(view.GetWorkspace(), path), 1);
  FakeViewUi ui2;
  CVortanView reopened(ui2);
  reopened.SetSideFileFolder(dir.Path());
  reopened.OnInitialUpdate();
  ASSERT_TRUE(reopened.OpenFile(path));
  EXPECT_EQ(FakeViewUi::Column(reopened, kColName),
            (Names{"CableTV", "Das Erste", "ZDF", "Sat1", "Rai", "Cable3", "Neu"}));
  EXPECT_EQ(FakeViewUi::Column(reopened, kColProvider).back(), "Sky");
  EXPECT_EQ(FakeViewUi::Column(reopened, kColFavorite).back(), "Mine");
  EXPECT_EQ(reopened.GetWorkspace().providers.count, 4u);
  EXPECT_EQ(reopened.GetWorkspace().providers.entries[3].usage, 1u);
  EXPECT_EQ(CheckImage(reopened.Image()), "");
}

// ---- Favorite button ----

TEST_F(ChannelCommands, FavoriteButtonRenamesTheShownList) {
  LoadStd();
  view.OnFavoriteButton();  // "All": nothing
  EXPECT_TRUE(ui.dialogsRun.empty());
  static_cast<void>(DbOps(Img()).SetFavouriteName(1, "Favorite-2"));
  view.FillFavoriteCombo();
  static_cast<void>(DbOps(Img()).SetFavourite(w.zdf, 1, 0, 1));
  view.OnFavoriteComboChanged(2);
  ui.dialogAnswers.push_back([](DialogModel m) {
    CFavNameDlg* d = std::get<CFavNameDlg*>(m);
    EXPECT_EQ(d->name, "Favorite-2");
    d->FillTexts();
    d->Text() = "Sport";
    EXPECT_FALSE(d->Validate());
    return DialogAnswer::kOk;
  });
  view.OnFavoriteButton();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Img().FavName(1))), "Sport");
  EXPECT_EQ(view.Channels().FavoriteNames()[1], "Sport");
  EXPECT_EQ(ui.combos[ComboId::kFavorite][2], "Sport");
  EXPECT_EQ(ui.comboSelection[ComboId::kFavorite], 2);
  EXPECT_EQ(view.ChannelCell(0, kColFavorite), "Sport");
  EXPECT_TRUE(view.Modified());
}

// ---- Cut, paste, drag and drop ----

TEST_F(ChannelCommands, PasteMovesTheCutChannelsBeforeTheFirstSelectedRow) {
  LoadStd();
  Select({2, 3});
  Run(ChanMenuItem::kCutChannel);
  EXPECT_EQ(view.State().cutList, (std::vector<uint16_t>{w.sat1, w.rai}));
  EXPECT_TRUE(Order() == (Names{"Das Erste", "ZDF", "Radio1", "Sat1", "Rai", "CableTV", "Cable3"}));
  Select({0});
  Run(ChanMenuItem::kPasteChannel);
  EXPECT_EQ(Shown(), (Names{"Sat1", "Rai", "Das Erste", "ZDF", "CableTV", "Cable3"}));
  // The hidden radio channel keeps its place in the order.
  EXPECT_EQ(Order(), (Names{"Sat1", "Rai", "Radio1", "Das Erste", "ZDF", "CableTV", "Cable3"}));
  EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
  EXPECT_TRUE(view.State().cutList.empty());
  EXPECT_TRUE(view.Modified());
}

TEST_F(ChannelCommands, PasteOntoTheFirstCutChannelChangesNothing) {
  LoadStd();
  Select({1, 3});
  Run(ChanMenuItem::kCutChannel);
  Select({1});
  Run(ChanMenuItem::kPasteChannel);
  EXPECT_EQ(Order(), (Names{"Das Erste", "ZDF", "Radio1", "Sat1", "Rai", "CableTV", "Cable3"}));
  EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
  EXPECT_TRUE(view.State().cutList.empty());
}

TEST_F(ChannelCommands, PasteWithCurrentSatelliteKeepsOtherSatellitesInPlace) {
  LoadStd();
  view.OnSatFilterChanged(1);
  ASSERT_EQ(Shown(), (Names{"Das Erste", "ZDF", "Sat1"}));
  Select({2});
  Run(ChanMenuItem::kCutChannel);
  Select({0});
  Run(ChanMenuItem::kPasteChannel);
  EXPECT_EQ(Shown(), (Names{"Sat1", "Das Erste", "ZDF"}));
  EXPECT_EQ(Order(), (Names{"Sat1", "Das Erste", "Radio1", "ZDF", "Rai", "CableTV", "Cable3"}));
}

TEST_F(ChannelCommands, PasteMovesOnlyCutChannelsTheFiltersStillShow) {
  LoadStd();
  Select({2, 3});  // Sat1 (Astra) and Rai (Hotbird)
  Run(ChanMenuItem::kCutChannel);
  view.OnSatFilterChanged(1);  // Astra only: Rai is no longer shown
  Select({0});
  Run(ChanMenuItem::kPasteChannel);
  EXPECT_EQ(Shown(), (Names{"Sat1", "Das Erste", "ZDF"}));
  EXPECT_EQ(Order(), (Names{"Sat1", "Das Erste", "Radio1", "ZDF", "Rai", "CableTV", "Cable3"}));
  view.OnSatFilterChanged(0);
  EXPECT_EQ(Shown().size(), 6u);
}

TEST_F(ChannelCommands, PasteOfADeletedCutChannelLosesNothing) {
  LoadStd();
  Select({1, 3});  // ZDF, Rai
  Run(ChanMenuItem::kCutChannel);
  Select({1});
  Run(ChanMenuItem::kDeleteChannel);  // ZDF goes
  Select({0});
  Run(ChanMenuItem::kPasteChannel);
  EXPECT_EQ(Order(), (Names{"Rai", "Radio1", "Das Erste", "Sat1", "CableTV", "Cable3"}));
}

TEST_F(ChannelCommands, ADeletedCutChannelsSlotTakenByANewChannelDoesNotMove) {
  LoadStd();
  Select({1});
  Run(ChanMenuItem::kCutChannel);
  Run(ChanMenuItem::kDeleteChannel);  // ZDF goes; its slot is free
  EXPECT_TRUE(view.State().cutList.empty());
  AnswerAdd({"9", "Reused"});
  Run(ChanMenuItem::kAddChannel);
  ASSERT_TRUE(Img().ChanInUse(w.zdf));  // the new channel took the slot
  Select({0});
  Run(ChanMenuItem::kPasteChannel);
  EXPECT_EQ(Order(), (Names{"Das Erste", "Radio1", "Sat1", "Rai", "CableTV", "Cable3", "Reused"}));
}

TEST_F(ChannelCommands, PasteInAFavouriteListReordersThatList) {
  LoadStd();
  DbOps ops(Img());
  for (uint16_t c : {w.erste, w.zdf, w.sat1}) static_cast<void>(ops.SetFavourite(c, 0, 0, 1));
  view.OnFavoriteComboChanged(1);
  Select({2});
  Run(ChanMenuItem::kCutChannel);
  Select({0});
  Run(ChanMenuItem::kPasteChannel);
  EXPECT_EQ(Shown(), (Names{"Sat1", "Das Erste", "ZDF"}));
  EXPECT_EQ(Img().FavEntry(0, 0, 0), w.sat1);
  EXPECT_EQ(Order(), (Names{"Das Erste", "ZDF", "Radio1", "Sat1", "Rai", "CableTV", "Cable3"}));
}

TEST_F(ChannelCommands, DragAndDrop) {
  struct Case {
    const char* label;
    std::vector<int> dragged;
    int dropPosition;  // as the list control reports it
    Names shown;
    std::vector<int> selected;
  };
  const Case cases[] = {
      {"OntoARowMovesBeforeIt", {4}, 2, {"Das Erste", "CableTV", "ZDF", "Sat1", "Rai", "Cable3"}, {1}},
      {"OntoTheLastRowMovesBeforeIt", {0}, 6, {"ZDF", "Sat1", "Rai", "CableTV", "Das Erste", "Cable3"}, {4}},
      {"OntoADraggedRowOtherThanTheFirstGoesToTheEnd",
       {1, 2},
       3,
       {"Das Erste", "Rai", "CableTV", "Cable3", "ZDF", "Sat1"},
       {4, 5}},
      {"OntoTheFirstDraggedRowStays", {1, 2}, 2, {"Das Erste", "ZDF", "Sat1", "Rai", "CableTV", "Cable3"}, {1, 2}},
      {"NoRowTouchedOnTheFirstDragGoesToTheEnd", {0}, 0, {"ZDF", "Sat1", "Rai", "CableTV", "Cable3", "Das Erste"}, {5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    LoadStd();
    Select(c.dragged);
    view.OnListBeginDrag(ListId::kChannels);
    view.OnListDrop(ListId::kChannels, c.dropPosition);
    EXPECT_EQ(Shown(), c.shown);
    EXPECT_EQ(Selected(), c.selected);
    EXPECT_TRUE(view.State().cutList.empty());
    EXPECT_EQ(CheckImage(Img()), "");
  }
}

TEST_F(ChannelCommands, DragOnTheTpListAndTinyListsMoveNothing) {
  LoadStd();
  Select({0});
  view.OnListBeginDrag(ListId::kTransponders);
  EXPECT_TRUE(view.State().cutList.empty());
  view.OnListBeginDrag(ListId::kChannels);
  view.OnListDrop(ListId::kTransponders, 3);
  EXPECT_EQ(view.State().cutList.size(), 1u);
  EXPECT_FALSE(view.Modified());
  // One row: nothing to move.
  view.OnCasComboChanged(2);
  ASSERT_EQ(Shown(), Names{"ZDF"});
  Select({0});
  view.OnListBeginDrag(ListId::kChannels);
  view.MoveCutChannels(1);
  EXPECT_EQ(Order(), (Names{"Das Erste", "ZDF", "Radio1", "Sat1", "Rai", "CableTV", "Cable3"}));
}

// ---- Sorts ----

TEST_F(ChannelCommands, SortsReorderTheWholeChannelOrder) {
  struct Case {
    ChanMenuItem item;
    Names order;
  };
  const Case cases[] = {
      {ChanMenuItem::kSortByChanNo, {"Rai", "Sat1", "Radio1", "ZDF", "Das Erste", "CableTV", "Cable3"}},
      {ChanMenuItem::kSortByName, {"Cable3", "CableTV", "Das Erste", "Radio1", "Rai", "Sat1", "ZDF"}},
  };
  for (const Case& c : cases) {
    LoadStd();
    // Numbers from 5 down to 1 on the first five; the cable ones stay 6, 7.
    const uint16_t chans[] = {w.erste, w.zdf, w.radio1, w.sat1, w.rai};
    for (int i = 0; i < 5; ++i) Img().SetChanU16(chans[i], chan::kNumber, uint16_t(5 - i));
    static_cast<void>(DbOps(Img()).SetFavourite(w.zdf, 0, 0, 1));
    static_cast<void>(DbOps(Img()).SetFavourite(w.erste, 0, 0, 1));
    Select({3});
    Run(c.item);
    EXPECT_EQ(Order(), c.order);
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(Img().FavEntry(0, 0, 0), w.zdf);  // favourite lists are not sorted
    EXPECT_TRUE(view.Modified());
    EXPECT_EQ(CheckImage(Img()), "");
  }
}

TEST_F(ChannelCommands, SortBySatelliteGroupsTheSatellites) {
  LoadStd();
  Run(ChanMenuItem::kSortBySatellite);
  const Names order = Order();
  ASSERT_EQ(order.size(), 7u);
  // Every satellite's channels stand together.
  std::vector<std::string> sats;
  for (int i = 0; i < 7; ++i) {
    const uint16_t c = Img().Order(i);
    const std::string s = DecodeRecordText(Img().SatName(Img().TpSat(Img().ChanTp(c))), 16);
    if (sats.empty() || sats.back() != s) sats.push_back(s);
  }
  std::vector<std::string> unique = sats;
  std::sort(unique.begin(), unique.end());
  EXPECT_EQ(std::unique(unique.begin(), unique.end()) - unique.begin(), std::ptrdiff_t(sats.size()));
}

TEST_F(ChannelCommands, ProviderCommandsNeedProviderData) {
  LoadStd();
  const DbImage before = Img();
  Run(ChanMenuItem::kSortByProvider);
  Run(ChanMenuItem::kSetProvider);
  EXPECT_TRUE(ui.dialogsRun.empty());
  EXPECT_TRUE(Img() == before);
  EXPECT_FALSE(view.Modified());
  view.GetWorkspace().providerPresent = true;
  Run(ChanMenuItem::kSortByProvider);
  EXPECT_TRUE(view.Modified());
}

// ---- Names in their character tables ----

TEST_F(ChannelCommands, EditWritesTheNameInTheChannelsTableAndRefusesWhatItCannotHold) {
  LoadStd();
  uint8_t* field = Img().ChanName(w.erste);
  std::memset(field, 0, 25);
  std::memcpy(field,
              "\x01"
              "\xC0\xD0\xD9 1",
              6);  // ISO 8859-5: "Рай 1"
  view.FillChannelList(ChannelFill::SelectRow(1));
  EXPECT_EQ(view.ChannelCell(0, kColName), "\xD0\xA0\xD0\xB0\xD0\xB9 1");
  Select({0});
  auto typeName = [this](std::string expectShown, std::string typed) {
    ui.dialogAnswers.push_back([=](DialogModel m) {
      CEditChanDlg* d = std::get<CEditChanDlg*>(m);
      EXPECT_EQ(d->name, expectShown);
      d->FillTexts();
      d->Text(CEditChanDlg::Field::kName) = typed;
      EXPECT_FALSE(d->Validate());
      return DialogAnswer::kOk;
    });
  };
  // é has no place in ISO 8859-5: the dialog comes back with the text typed.
  typeName("\xD0\xA0\xD0\xB0\xD0\xB9 1", "Caf\xC3\xA9");
  typeName("Caf\xC3\xA9", "\xD0\x9C\xD0\x98\xD0\xA0");  // МИР
  Run(ChanMenuItem::kEditChannel);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"The name contains characters this channel cannot store."});
  EXPECT_EQ(ui.dialogsRun.size(), 2u);
  EXPECT_EQ(std::memcmp(Img().ChanName(w.erste), "\x01\xBC\xB8\xC0\0", 5), 0);
  EXPECT_EQ(view.ChannelCell(0, kColName), "\xD0\x9C\xD0\x98\xD0\xA0");

  // Refused, then cancelled: nothing changes.
  const DbImage before = Img();
  typeName("\xD0\x9C\xD0\x98\xD0\xA0", "\xE2\x82\xAC");
  AnswerCancel();
  Run(ChanMenuItem::kEditChannel);
  EXPECT_TRUE(Img() == before);
}

TEST_F(ChannelCommands, AddWritesTheDefaultTableAndRefusesWhatItCannotHold) {
  LoadStd();
  const std::vector<bool> before = InUse();
  AnswerAdd({"9", "\xD0\x96"});  // Ж: not in ISO 6937
  AnswerCancel();
  Run(ChanMenuItem::kAddChannel);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"The name contains characters this channel cannot store."});
  EXPECT_EQ(NewChannelSince(before), kNoChan);
  EXPECT_FALSE(view.Modified());

  AnswerAdd({"9", "Caf\xC3\xA9"});
  Run(ChanMenuItem::kAddChannel);
  const uint16_t c = NewChannelSince(before);
  ASSERT_NE(c, kNoChan);
  EXPECT_EQ(std::memcmp(Img().ChanName(c),
                        "Caf\xC2"
                        "e\0",
                        6),
            0);
  EXPECT_EQ(Shown().back(), "Caf\xC3\xA9");
}

// A file may hold links that name nothing (the reader takes it as the
// receiver wrote it); the commands then end without touching a byte.
TEST_F(ChannelCommands, CommandsOnInconsistentLinksLeaveTheImageAlone) {
  struct Row {
    const char* what;
    std::function<void()> damage;
    std::function<void()> command;
  };
  const Row rows[] = {
      {"terrestrial add with satellites counted but no first satellite", [this] { Img().SetFirstSat(kNoSat); },
       [this] {
         view.OnDeliveryTypeButton(0, kDvbT);
         AnswerAdd({"3", "Regional"});
         Run(ChanMenuItem::kAddChannel);
       }},
      {"delete of a channel whose ring leads to a free record",
       [this] { Img().SetChanU16(w.erste, chan::kNext, 7000); },
       [this] {
         const Names shown = Shown();
         const auto it = std::find(shown.begin(), shown.end(), "ZDF");
         ASSERT_NE(it, shown.end());
         Select({int(it - shown.begin())});
         Run(ChanMenuItem::kDeleteChannel);
       }},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    LoadStd();
    const auto sound = std::make_unique<DbImage>(Img());
    r.damage();
    const auto before = std::make_unique<DbImage>(Img());
    r.command();
    EXPECT_TRUE(Img() == *before);
    Img() = *sound;
  }
}

}  // namespace
}  // namespace pelagor::test
