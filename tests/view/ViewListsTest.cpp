// The channel list, the TP list and the combos of the view, driven through
// the controls' notifications as the form would.

#include <gtest/gtest.h>

#include <functional>

#include "FakeViewUi.h"
#include "StdWorkspace.h"
#include "view/RecordText.h"

namespace pelagor::test {
namespace {

using Names = std::vector<std::string>;

class ViewLists : public ::testing::Test {
 protected:
  void Load(Workspace ws) {
    view.OnInitialUpdate();
    view.LoadWorkspace(std::move(ws));
  }
  Names Shown() const { return FakeViewUi::Column(view, kColName); }
  DbImage& Img() { return view.Image(); }

  FakeViewUi ui;
  CVortanView view{ui};
};

// ---- Rebuild: every skip rule ----

struct FilterCase {
  const char* label;
  std::function<void(CVortanView&, FakeViewUi&, const StdWorkspace&)> act;
  Names expected;
};

class ViewFilters : public ViewLists, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(ViewFilters, ShowsExactlyTheChannelsThatPass) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  GetParam().act(view, ui, w);
  EXPECT_EQ(Shown(), GetParam().expected);
  EXPECT_EQ(ui.channelRows, view.RowCount());
  EXPECT_EQ(ui.captions[ControlId::kChannelsGroup],
            "Total " + std::to_string(GetParam().expected.size()) + " channels");
}

const FilterCase kFilterCases[] = {
    {"AllTv",
     [](CVortanView&, FakeViewUi&, const StdWorkspace&) {},
     {"Das Erste", "ZDF", "Sat1", "Rai", "CableTV", "Cable3"}},
    {"Radio",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace&) { v.OnServiceTypeButton(ServiceType::kRadio); },
     {"Radio1"}},
    {"Fta",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace&) { v.OnCasComboChanged(1); },
     {"Das Erste", "Sat1", "Rai", "CableTV", "Cable3"}},
    {"Cas", [](CVortanView& v, FakeViewUi&, const StdWorkspace&) { v.OnCasComboChanged(2); }, {"ZDF"}},
    {"CurrentSatelliteIsFirstChannels",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace&) { v.OnSatFilterChanged(1); },
     {"Das Erste", "ZDF", "Sat1"}},
    {"OtherSatelliteChosen",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace&) {
       v.OnSatFilterChanged(1);
       v.OnSatelliteComboChanged(0);  // by location: 13.0E Hotbird first
     },
     {"Rai"}},
    {"CurrentTpFirstRow",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace&) { v.OnTpFilterChanged(1); },
     {"Das Erste", "ZDF"}},
    {"CurrentTpSecondShownRowSkipsHiddenEntry",
     [](CVortanView& v, FakeViewUi& ui, const StdWorkspace&) {
       v.OnTpFilterChanged(1);
       ui.selection[ListId::kTransponders] = {1};
       v.OnTpListClick();
     },
     {"Sat1"}},
    {"FavouriteListOrderAndBit",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace& w) {
       DbOps ops(v.Image());
       static_cast<void>(ops.SetFavourite(w.rai, 1, 0, 1));
       static_cast<void>(ops.SetFavourite(w.erste, 1, 0, 1));
       // In the list but without its favourite bit, and a value past the table.
       v.Image().SetFavEntry(0, 1, 2, w.zdf);
       v.Image().SetFavEntry(0, 1, 3, 8500);
       v.OnFavoriteComboChanged(2);
     },
     {"Rai", "Das Erste"}},
    {"RadioFavouriteReadsRadioList",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace& w) {
       static_cast<void>(DbOps(v.Image()).SetFavourite(w.radio1, 2, 1, 1));
       v.OnServiceTypeButton(ServiceType::kRadio);
       v.OnFavoriteComboChanged(3);
     },
     {"Radio1"}},
    {"TvFavouriteDoesNotReadRadioList",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace& w) {
       static_cast<void>(DbOps(v.Image()).SetFavourite(w.radio1, 2, 1, 1));
       v.OnFavoriteComboChanged(3);
     },
     {}},
    {"CableAllShowsEverything",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace&) { v.OnDeliveryTypeButton(0, kDvbC); },
     {"Das Erste", "ZDF", "Sat1", "Rai", "CableTV", "Cable3"}},
    {"CableCurrentSatelliteByDelivery",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace&) {
       v.OnDeliveryTypeButton(0, kDvbC);
       v.OnSatFilterChanged(1);
     },
     {"CableTV", "Cable3"}},
    {"CableCurrentTpIsSelectedRowPastExcluded",
     [](CVortanView& v, FakeViewUi& ui, const StdWorkspace&) {
       v.OnDeliveryTypeButton(0, kDvbC);
       v.OnTpFilterChanged(1);
       ui.selection[ListId::kTransponders] = {1};
       v.OnTpListClick();
     },
     {"Cable3"}},
    {"CableCurrentTpWithoutSelection",
     [](CVortanView& v, FakeViewUi& ui, const StdWorkspace&) {
       v.OnDeliveryTypeButton(0, kDvbC);
       v.OnTpFilterChanged(1);
       ui.selection[ListId::kTransponders] = {};
       v.OnTpListClick();
     },
     {}},
    {"TerrestrialCurrentSatelliteHasNone",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace&) {
       v.OnDeliveryTypeButton(0, kDvbT);
       v.OnSatFilterChanged(1);
     },
     {}},
    {"OrderEntryPastTableDropped",
     [](CVortanView& v, FakeViewUi&, const StdWorkspace&) {
       v.Image().SetOrder(1, 9000);  // replaces ZDF's place
       v.OnTunerChanged();
       EXPECT_EQ(v.Image().Order(1), kNoChan);
     },
     {"Das Erste", "Sat1", "Rai", "CableTV", "Cable3"}},
};

INSTANTIATE_TEST_SUITE_P(Rules, ViewFilters, ::testing::ValuesIn(kFilterCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ViewLists, SatelliteChangeRefillsChannelsOnlyWithCurrentSatelliteFilter) {
  Load(MakeStdWorkspace().ws);
  view.OnTpFilterChanged(1);
  const int resets = ui.channelResets;
  view.OnSatelliteComboChanged(0);
  EXPECT_EQ(ui.channelResets, resets);
  view.OnSatFilterChanged(1);
  view.OnSatelliteComboChanged(1);
  EXPECT_GT(ui.channelResets, resets + 1);
}

TEST_F(ViewLists, TpClickWithTpFilterAllChangesNothing) {
  Load(MakeStdWorkspace().ws);
  const int resets = ui.channelResets;
  const int item = view.State().currentTpItem;
  ui.selection[ListId::kTransponders] = {1};
  view.OnTpListClick();
  EXPECT_EQ(ui.channelResets, resets);
  EXPECT_EQ(view.State().currentTpItem, item);
}

// ---- Selection hints ----

struct HintCase {
  ChannelFill hint;
  int rows;  // channels in the list
  std::vector<int> selected;
};

class ViewHints : public ViewLists, public ::testing::WithParamInterface<HintCase> {};

TEST_P(ViewHints, SelectsTheHintedRow) {
  WorkspaceBuilder b;
  const int e = b.AddEntry("Astra", 192, {{11362, 22000, 1, 0, 0, 0}});
  const uint16_t t = b.AddTp(b.AddSat(e, "Astra"), 11362);
  for (int i = 0; i < GetParam().rows; ++i) b.AddChan(t, {"C" + std::to_string(i), uint16_t(i + 1)});
  Load(b.Finish());
  view.FillChannelList(GetParam().hint);
  EXPECT_EQ(ui.selection[ListId::kChannels], GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(
    Hints, ViewHints,
    ::testing::Values(HintCase{ChannelFill::SelectRow(5), 3, {2}}, HintCase{ChannelFill::SelectRow(2), 3, {1}},
                      HintCase{ChannelFill::SelectRow(1), 3, {0}}, HintCase{ChannelFill::SelectNothing(), 3, {}},
                      HintCase{ChannelFill::SelectLast(), 3, {2}}, HintCase{ChannelFill::SelectLast(), 0, {}},
                      HintCase{ChannelFill::SelectRow(1), 0, {}}));

TEST_F(ViewLists, CutHintSelectsTheRowsOfTheCutChannels) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  ui.selection[ListId::kChannels] = {1, 3};
  view.OnCutChannel();
  EXPECT_EQ(view.State().cutList, (std::vector<uint16_t>{w.zdf, w.rai}));
  view.FillChannelList(ChannelFill::SelectCut());
  EXPECT_EQ(ui.selection[ListId::kChannels], (std::vector<int>{1, 3}));
}

// ---- Cell texts ----

TEST_F(ViewLists, RebuildColumnsOfASatelliteChannel) {
  StdWorkspace w = MakeStdWorkspace();
  DbOps ops(*w.ws.image);
  static_cast<void>(ops.SetFavourite(w.zdf, 0, 0, 1));
  static_cast<void>(ops.SetFavourite(w.zdf, 2, 0, 1));
  static_cast<void>(ops.SetLockFlag(w.zdf, 1));
  static_cast<void>(ops.SetFavouriteName(2, "News"));
  Load(w.ws);
  ASSERT_EQ(view.ChannelOfRow(1), w.zdf);
  // Favourite names come from the image once a catalogue is loaded; list 1's is empty.
  const Names expected{"2", "2", "ZDF", "Astra 1", "11362", "H", "O", "100", "101", "102", "1", ",News", "O", "N/A"};
  Names got;
  for (int c = 0; c < kChannelColumns; ++c) got.push_back(view.ChannelCell(1, c));
  EXPECT_EQ(got, expected);
  EXPECT_EQ(view.ChannelCell(0, kColCas), "X");
  EXPECT_EQ(view.ChannelCell(0, kColLock), "");
  EXPECT_EQ(view.ChannelCell(0, kColFavorite), "");
  EXPECT_EQ(view.ChannelCell(view.RowCount(), kColName), "");
  EXPECT_EQ(view.ChannelCell(0, kChannelColumns), "");
}

TEST_F(ViewLists, CableChannelRebuildVersusRefresh) {
  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  const int row = 4;
  ASSERT_EQ(view.ChannelOfRow(row), w.cableTv);
  EXPECT_EQ(view.ChannelCell(row, kColSatellite), "Kabel");
  EXPECT_EQ(view.ChannelCell(row, kColFreq), "362000");
  EXPECT_EQ(view.ChannelCell(row, kColPol), "AUTO");
  ui.selection[ListId::kChannels] = {2};
  const int resets = ui.channelResets;
  view.FillChannelList(ChannelFill::Refresh());
  EXPECT_EQ(ui.channelResets, resets);
  EXPECT_EQ(ui.channelRefreshes, 1);
  EXPECT_EQ(ui.selection[ListId::kChannels], (std::vector<int>{2}));
  EXPECT_EQ(view.ChannelCell(row, kColSatellite), "DVB-C");
  EXPECT_EQ(view.ChannelCell(row, kColFreq), "362000");
  EXPECT_EQ(view.ChannelCell(row, kColPol), "-");
  EXPECT_EQ(view.ChannelCell(0, kColSatellite), "Astra 1");
  EXPECT_EQ(view.ChannelCell(0, kColPol), "H");
  view.FillChannelList(ChannelFill::SelectRow(1));
  EXPECT_EQ(view.ChannelCell(row, kColSatellite), "Kabel");
}

TEST_F(ViewLists, BrokenTpShowsTpZeroAndIsReportedOnlyByRefresh) {
  StdWorkspace w = MakeStdWorkspace();
  w.ws.image->SetChanU16(w.sat1, chan::kTp, 900);
  Load(w.ws);
  EXPECT_TRUE(ui.messages.empty());
  const int row = 2;
  ASSERT_EQ(view.ChannelOfRow(row), w.sat1);
  EXPECT_EQ(view.ChannelCell(row, kColFreq), "11362");  // TP 0
  view.FillChannelList(ChannelFill::Refresh());
  ASSERT_EQ(ui.MessageTexts(), Names{"Broken TP information for channel 4 [Sat1]"});
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kStop);
  EXPECT_EQ(view.ChannelCell(row, kColSatellite), "Astra 1");
}

TEST_F(ViewLists, ProviderColumnWithAndWithoutProviderData) {
  StdWorkspace w = MakeStdWorkspace();
  w.ws.image->SetChanU16(w.erste, chan::kProvider, 3);
  Load(w.ws);
  EXPECT_EQ(view.ChannelCell(0, kColProvider), "N/A");
  EXPECT_TRUE(ui.messages.empty());  // no provider data: broken indices are not looked at

  Workspace& ws = view.GetWorkspace();
  ws.providerPresent = true;
  std::memcpy(ws.providers.entries[3].name.data(), "ARD-Stern", 9);
  view.FillChannelList(ChannelFill::SelectRow(1));
  EXPECT_EQ(view.ChannelCell(0, kColProvider), "ARD-Stern");
  // Every other channel has provider 0xFFFF: one message per row, and "N/A".
  EXPECT_EQ(ui.messages.size(), 5u);
  EXPECT_EQ(ui.messages[0].text, "Broken Provider information for channel 2 [ZDF]");
  EXPECT_EQ(view.ChannelCell(1, kColProvider), "N/A");
  // The refresh reports them too, and keeps the caption.
  ui.messages.clear();
  view.FillChannelList(ChannelFill::Refresh());
  EXPECT_EQ(ui.messages.size(), 5u);
  EXPECT_EQ(ui.captions[ControlId::kChannelsGroup], "Total 6 channels");
}

TEST_F(ViewLists, FavouriteComboTakesTheImagesNames) {
  StdWorkspace w = MakeStdWorkspace();
  DbOps ops(*w.ws.image);
  for (int k = 0; k < kFavLists; ++k) static_cast<void>(ops.SetFavouriteName(k, "List " + std::to_string(k + 1)));
  Load(w.ws);
  view.OnFavoriteComboChanged(4);
  view.FillFavoriteCombo();
  ASSERT_EQ(ui.combos[ComboId::kFavorite].size(), 9u);
  EXPECT_EQ(ui.combos[ComboId::kFavorite][0], "All");
  EXPECT_EQ(ui.combos[ComboId::kFavorite][8], "List 8");
  EXPECT_EQ(ui.comboSelection[ComboId::kFavorite], 4);
  EXPECT_EQ(view.Channels().FavoriteNames()[2], "List 3");
  EXPECT_EQ(view.ChannelContextMenu().favoriteTexts[0], "List 1");
  // An unnamed list keeps its menu text.
  static_cast<void>(DbOps(view.Image()).SetFavouriteName(1, ""));
  static_cast<void>(DbOps(view.Image()).SetFavouriteName(7, ""));
  view.FillFavoriteCombo();
  EXPECT_EQ(view.ChannelContextMenu().favoriteTexts[1], "FAV-2");
  EXPECT_EQ(view.ChannelContextMenu().favoriteTexts[7], "FAV_8");
  EXPECT_EQ(view.ChannelContextMenu().favoriteTexts[2], "List 3");
}

TEST_F(ViewLists, NameFieldSelectorBytes) {
  StdWorkspace w = MakeStdWorkspace();
  uint8_t* n = w.ws.image->ChanName(w.erste);
  std::memset(n, 0, 25);
  std::memcpy(n,
              "\x05"
              "Erste",
              6);
  n = w.ws.image->ChanName(w.zdf);
  std::memset(n, 0, 25);
  std::memcpy(n,
              "\xC4"
              "ZDF",
              4);
  n = w.ws.image->ChanName(w.sat1);
  std::memset(n, 'A', 25);  // no terminator: all 25 bytes
  n = w.ws.image->ChanName(w.rai);
  std::memset(n, 0, 25);
  std::memcpy(n,
              "Ra\xC8"
              "i",
              4);  // the default table's diaeresis before its letter
  Load(w.ws);
  EXPECT_EQ(view.ChannelCell(0, kColName), "Erste");
  EXPECT_EQ(view.ChannelCell(1, kColName), "ZDF");
  EXPECT_EQ(view.ChannelCell(2, kColName), std::string(25, 'A'));
  EXPECT_EQ(view.ChannelCell(3, kColName), "Ra\xC3\xAF");
}

TEST(RecordText, DecodesLatin1AndDropsControls) {
  const uint8_t bytes[] = {'A', 0x86, 'B', 0x0A, 0xE9, 0, 'X'};
  EXPECT_EQ(DecodeRecordText(bytes, sizeof bytes), "AB\xC3\xA9");
  EXPECT_EQ(DecodeRecordText(bytes, 1), "A");
}

// ---- TP lists ----

TEST_F(ViewLists, TerrestrialPlanHas57RowsWithItsAnchors) {
  Load(MakeStdWorkspace().ws);
  view.OnDeliveryTypeButton(0, kDvbT);
  ASSERT_EQ(ui.tpRows.size(), 57u);
  EXPECT_EQ(ui.tpColumns.size(), 3u);
  EXPECT_EQ(ui.tpColumns[1].heading, "Ch");
  auto freqOfChannel = [&](const std::string& ch) {
    for (const auto& r : ui.tpRows)
      if (r[1] == ch) return r[2];
    return std::string();
  };
  EXPECT_EQ(freqOfChannel("5"), "177500");
  EXPECT_EQ(freqOfChannel("12"), "226500");
  EXPECT_EQ(freqOfChannel("21"), "474000");
  EXPECT_EQ(freqOfChannel("69"), "858000");
  EXPECT_EQ(freqOfChannel("13"), "");
  EXPECT_EQ(ui.tpRows[56][0], "57");
  EXPECT_EQ(ui.captions[ControlId::kTransponderGroup], "Channel");
  EXPECT_EQ(ui.combos[ComboId::kSatellite], Names{"DVB-T"});
  EXPECT_FALSE(ui.enabled[ControlId::kSatAdd]);
}

TEST_F(ViewLists, CableListFollowsTheRingLeavesOutExcludedAndOtherTuner) {
  StdWorkspace w = MakeStdWorkspace();
  WorkspaceBuilder b;
  b.ws = w.ws;
  const uint8_t other = b.AddSat(199, "Kabel2", 2, 2);  // tuner 2 only
  static_cast<void>(b.AddTp(other, 5000, 0, 6900, 2));
  Load(b.ws);
  view.OnDeliveryTypeButton(0, kDvbC);
  EXPECT_EQ(ui.captions[ControlId::kTransponderGroup], "Frequency");
  EXPECT_EQ(ui.TpColumn(1), (Names{"362000", "122000"}));
  EXPECT_EQ(ui.TpColumn(2), (Names{"6900", "6875"}));
  EXPECT_EQ(ui.TpColumn(3), (Names{"QAM-64", "Unknown"}));
  EXPECT_EQ(ui.tpColumns[3].heading, "QAM Mode");
  EXPECT_EQ(ui.selection[ListId::kTransponders], std::vector<int>{0});
  view.OnDeliveryTypeButton(1, kDvbC);
  view.OnTuner2Button();  // same types: both tuners
  EXPECT_EQ(view.State().tunerSelection, 3);
  EXPECT_EQ(ui.TpColumn(1), (Names{"362000", "122000", "500000"}));
}

TEST_F(ViewLists, SatelliteListLeavesOutHiddenEntries) {
  Load(MakeStdWorkspace().ws);
  EXPECT_EQ(view.State().currentCatalogueEntry, 0);  // from the first channel
  EXPECT_EQ(ui.TpColumn(1), (Names{"11362", "12603"}));
  ASSERT_EQ(ui.tpRows.size(), 2u);
  EXPECT_EQ(ui.tpRows[0], (Names{"1", "11362", "22000", "H", "QP", "3/4", "Off"}));
  EXPECT_EQ(ui.tpRows[1], (Names{"2", "12603", "22000", "H", "8P-S2", "5/6", "On"}));
  EXPECT_EQ(view.CatalogueItemOfRow(1), 2);
  EXPECT_EQ(view.CatalogueItemOfRow(2), 0);
  EXPECT_EQ(view.CatalogueItemOfRow(-1), 0);
}

TEST_F(ViewLists, TpHintPastTheEndSelectsAndTakesTheLastRow) {
  Load(MakeStdWorkspace().ws);
  view.FillTransponderList(9);
  EXPECT_EQ(ui.selection[ListId::kTransponders], std::vector<int>{1});
  EXPECT_EQ(view.State().currentTpRow, 1);
  EXPECT_EQ(view.State().currentTpItem, 2);
}

TEST_F(ViewLists, NoCatalogueLeavesSatelliteAndCableListsEmpty) {
  StdWorkspace w = MakeStdWorkspace();
  w.ws.catalogue.Clear();
  Load(w.ws);
  EXPECT_TRUE(ui.combos[ComboId::kSatellite].empty());
  EXPECT_TRUE(ui.tpRows.empty());
  view.OnDeliveryTypeButton(0, kDvbC);
  EXPECT_TRUE(ui.tpRows.empty());
  EXPECT_EQ(ui.combos[ComboId::kFavorite].size(), 9u);  // from the first display
  EXPECT_EQ(ui.combos[ComboId::kFavorite][1], "Favorite-1");
}

// ---- Satellite combo ----

TEST_F(ViewLists, SatelliteComboInBothOrdersWithWestPositions) {
  WorkspaceBuilder b;
  b.AddEntry("Astra", 192);
  b.AddEntry("Thor", 3592);      // 0.8W
  b.AddEntry("hispasat", 3300);  // 30.0W, lower case sorts as upper
  b.AddEntry("Eutelsat", 130);
  b.AddEntry("Nilesat", 1801);    // 179.9W
  b.AddEntry("\xC4rabsat", 260);  // byte above 0x7F: negative, first alphabetically
  b.AddEntry("Eutel", 130);       // prefix of Eutelsat, same position
  Load(b.Finish());
  EXPECT_EQ(ui.combos[ComboId::kSatellite],
            (Names{"1 - [13.0E] Eutelsat ", "2 - [13.0E] Eutel ", "3 - [19.2E] Astra ", "4 - [26.0E] \xC3\x84rabsat ",
                   "5 - [179.9W] Nilesat ", "6 - [30.0W] hispasat ", "7 - [0.8W] Thor "}));
  EXPECT_EQ(ui.comboSelection[ComboId::kSatellite], 2);  // no channel: entry 0
  view.OnSatelliteOrderButton(SatelliteOrder::kAlphabet);
  EXPECT_TRUE(ui.checks[ControlId::kAlphabet]);
  EXPECT_FALSE(ui.checks[ControlId::kLocation]);
  EXPECT_EQ(ui.combos[ComboId::kSatellite],
            (Names{"1 - [26.0E] \xC3\x84rabsat ", "2 - [19.2E] Astra ", "3 - [13.0E] Eutel ", "4 - [13.0E] Eutelsat ",
                   "5 - [30.0W] hispasat ", "6 - [179.9W] Nilesat ", "7 - [0.8W] Thor "}));
  EXPECT_EQ(ui.comboSelection[ComboId::kSatellite], 1);  // the same entry at its new line
  view.OnSatelliteComboChanged(6);
  EXPECT_EQ(view.State().currentCatalogueEntry, 1);
  EXPECT_EQ(view.State().currentSatellite, kNoSat);  // no image satellite
}

// ---- Tuner buttons ----

TEST_F(ViewLists, TunerButtonsToggleWithEqualTypesAndSwitchOtherwise) {
  Load(MakeStdWorkspace().ws);
  view.OnTuner1Button();  // would leave no tuner
  EXPECT_EQ(view.State().tunerSelection, 1);
  view.OnTuner2Button();
  EXPECT_EQ(view.State().tunerSelection, 3);
  EXPECT_TRUE(ui.checks[ControlId::kTuner1]);
  EXPECT_TRUE(ui.checks[ControlId::kTuner2]);
  view.OnTuner1Button();
  EXPECT_EQ(view.State().tunerSelection, 2);
  EXPECT_FALSE(ui.checks[ControlId::kTuner1]);
  view.OnTuner2Button();
  EXPECT_EQ(view.State().tunerSelection, 2);
  view.OnDeliveryTypeButton(1, kDvbT);
  EXPECT_TRUE(ui.checks[ControlId::kTuner2DvbT]);
  EXPECT_FALSE(ui.checks[ControlId::kTuner2DvbS]);
  EXPECT_EQ(ui.tpRows.size(), 57u);  // tuner 2 is shown
  view.OnTuner1Button();             // types differ: switch
  EXPECT_EQ(view.State().tunerSelection, 1);
  EXPECT_EQ(ui.tpRows.size(), 2u);
  view.OnTuner1Button();
  EXPECT_EQ(view.State().tunerSelection, 2);
  view.OnTuner2Button();
  EXPECT_EQ(view.State().tunerSelection, 1);
}

TEST_F(ViewLists, DifferentTypesWithBothTunersAreRepaired) {
  Load(MakeStdWorkspace().ws);
  view.OnTuner2Button();
  ASSERT_EQ(view.State().tunerSelection, 3);
  const int fills = ui.tpFills;
  view.OnDeliveryTypeButton(1, kDvbC);
  EXPECT_EQ(view.State().tunerSelection, 1);
  EXPECT_TRUE(ui.checks[ControlId::kTuner1]);
  EXPECT_FALSE(ui.checks[ControlId::kTuner2]);
  EXPECT_GE(ui.tpFills, fills + 2);  // the repair's fill, then OnTunerChanged's
  EXPECT_EQ(view.CurrentDeliveryType(), kDvbS);
}

TEST_F(ViewLists, FirstDisplaySetsControlsAndTitle) {
  view.OnInitialUpdate();
  EXPECT_EQ(ui.channelColumns.size(), 14u);
  EXPECT_EQ(ui.channelColumns[2].heading, "Chan Name");
  EXPECT_EQ(ui.channelColumns[2].width, 160);
  EXPECT_EQ(ui.combos[ComboId::kCas], (Names{"All", "FTA", "CAS"}));
  EXPECT_EQ(ui.combos[ComboId::kTpFilter], (Names{"All", "Current"}));
  EXPECT_EQ(ui.comboSelection[ComboId::kCas], 0);
  EXPECT_TRUE(ui.checks[ControlId::kTv]);
  EXPECT_TRUE(ui.checks[ControlId::kLocation]);
  EXPECT_TRUE(ui.checks[ControlId::kTuner1DvbS]);
  EXPECT_TRUE(ui.checks[ControlId::kTuner2DvbS]);
  EXPECT_TRUE(ui.checks[ControlId::kTuner1]);
  EXPECT_FALSE(ui.checks[ControlId::kTuner2]);
  EXPECT_EQ(ui.tpColumns.size(), 7u);
  EXPECT_EQ(ui.title, "Pelagor - No File");
  for (int i = 0; i < kMaxChans; ++i) ASSERT_EQ(view.Image().Order(i), kNoChan);
}

TEST_F(ViewLists, Model8DisablesSatelliteEditing) {
  StdWorkspace w = MakeStdWorkspace();
  w.ws.model = 8;
  Load(w.ws);
  EXPECT_FALSE(ui.enabled[ControlId::kSatelliteCombo]);
  EXPECT_FALSE(ui.enabled[ControlId::kTpList]);
  EXPECT_FALSE(ui.enabled[ControlId::kSatEdit]);
  view.GetWorkspace().model = 1;
  view.OnDeliveryTypeButton(0, kDvbT);
  view.AfterLoad();
  EXPECT_TRUE(ui.enabled[ControlId::kSatelliteCombo]);
  EXPECT_FALSE(ui.enabled[ControlId::kTpList]);  // tuner 1 is not DVB-S
}

// ---- Context menus and command enabling ----

TEST_F(ViewLists, ChannelMenuRules) {
  view.OnInitialUpdate();
  ContextMenu m = view.ChannelContextMenu();
  EXPECT_FALSE(m.enabled[size_t(ChanMenuItem::kAddChannel)]);  // no TP row
  EXPECT_FALSE(m.enabled[size_t(ChanMenuItem::kDeleteChannel)]);
  EXPECT_EQ(m.favoriteTexts[7], "Favorite-8");

  StdWorkspace w = MakeStdWorkspace();
  Load(w.ws);
  ui.selection[ListId::kChannels] = {0, 1};
  m = view.ChannelContextMenu();
  EXPECT_TRUE(m.enabled[size_t(ChanMenuItem::kAddChannel)]);
  EXPECT_FALSE(m.enabled[size_t(ChanMenuItem::kEditChannel)]);
  EXPECT_TRUE(m.enabled[size_t(ChanMenuItem::kFav8)]);
  EXPECT_FALSE(m.enabled[size_t(ChanMenuItem::kPasteChannel)]);
  EXPECT_FALSE(m.enabled[size_t(ChanMenuItem::kSortByProvider)]);
  EXPECT_FALSE(m.enabled[size_t(ChanMenuItem::kSetProvider)]);
  EXPECT_TRUE(m.enabled[size_t(ChanMenuItem::kSortByName)]);
  view.OnCutChannel();
  view.GetWorkspace().providerPresent = true;
  ui.selection[ListId::kChannels] = {0};
  m = view.ChannelContextMenu();
  EXPECT_TRUE(m.enabled[size_t(ChanMenuItem::kEditChannel)]);
  EXPECT_TRUE(m.enabled[size_t(ChanMenuItem::kPasteChannel)]);
  EXPECT_TRUE(m.enabled[size_t(ChanMenuItem::kSetProvider)]);
  EXPECT_EQ(ChanMenuText(ChanMenuItem::kFav8), "FAV_8");
}

TEST_F(ViewLists, TpMenuRules) {
  view.OnInitialUpdate();
  ContextMenu m = view.TpContextMenu();
  EXPECT_TRUE(m.shown);
  EXPECT_FALSE(m.enabled[size_t(TpMenuItem::kAddTp)]);
  EXPECT_TRUE(m.enabled[size_t(TpMenuItem::kSortByFrequency)]);
  Load(MakeStdWorkspace().ws);
  ui.selection[ListId::kTransponders] = {0, 1};
  m = view.TpContextMenu();
  EXPECT_TRUE(m.enabled[size_t(TpMenuItem::kAddTp)]);
  EXPECT_FALSE(m.enabled[size_t(TpMenuItem::kEditTp)]);
  EXPECT_TRUE(m.enabled[size_t(TpMenuItem::kDeleteTp)]);
  ui.selection[ListId::kTransponders] = {};
  m = view.TpContextMenu();
  EXPECT_FALSE(m.enabled[size_t(TpMenuItem::kDeleteTp)]);
  view.OnDeliveryTypeButton(0, kDvbT);
  EXPECT_FALSE(view.TpContextMenu().shown);
}

TEST_F(ViewLists, CommandEnabling) {
  EXPECT_TRUE(view.IsCommandEnabled(kIdFileOpen));
  EXPECT_TRUE(view.IsCommandEnabled(kIdFileSaveAs));
  EXPECT_TRUE(view.IsCommandEnabled(kIdLinkConnect));
  EXPECT_FALSE(view.IsCommandEnabled(kIdLinkDisconnect));
  EXPECT_FALSE(view.IsCommandEnabled(kIdDownloadWorkspace));
  EXPECT_FALSE(view.IsCommandEnabled(12345));
}

}  // namespace
}  // namespace pelagor::test
