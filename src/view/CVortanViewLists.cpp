// The two lists and the combos of the view: which channels and TPs are shown
// and the texts they are shown with.

#include <algorithm>
#include <cstdio>

#include "view/CVortanView.h"
#include "view/DisplayText.h"
#include "view/RecordText.h"

namespace pelagor {

namespace {

constexpr int kRefreshHint = -3;

std::string Format(const char* fmt, int a, const std::string& b) {
  char buf[160];
  std::snprintf(buf, sizeof buf, fmt, a, b.c_str());
  return buf;
}

// TP index a channel stands on for display and filters: a broken index
// reads as TP 0.
int DisplayTp(const DbImage& img, uint16_t c) {
  const uint16_t t = img.ChanTp(c);
  return t >= kMaxTps ? 0 : t;
}

// Delivery system of the satellite a TP hangs on, 0 when it has none.
uint32_t DeliveryOfTp(const DbImage& img, int t) {
  const uint8_t s = img.TpSat(t);
  return DbImage::ValidSat(s) ? img.SatDelivery(s) : 0;
}

// Catalogue names compared as the combo orders them: a-z folded onto A-Z,
// bytes as signed values, a prefix before the longer name.
int CompareCatalogueNames(const std::array<uint8_t, 16>& a, const std::array<uint8_t, 16>& b) {
  for (size_t i = 0; i < a.size(); ++i) {
    auto fold = [](uint8_t ch) { return (ch >= 'a' && ch <= 'z') ? uint8_t(ch - 32) : ch; };
    const int x = int8_t(fold(a[i]));
    const int y = int8_t(fold(b[i]));
    if (a[i] == 0 || b[i] == 0) {
      if (a[i] == b[i]) return 0;
      return a[i] == 0 ? -1 : 1;
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

}  // namespace

int DvbTPlanChannel(int row) { return row < 8 ? 5 + row : 21 + (row - 8); }

int DvbTPlanFrequency(int row) {
  const int ch = DvbTPlanChannel(row);
  return row < 8 ? 7000 * ch + 142500 : 8000 * ch + 306000;
}

const std::vector<ListColumn>& CVortanView::ChannelColumnList() {
  static const std::vector<ListColumn> kColumns{
      {"No.", 50},   {"Chan No.", 50}, {"Chan Name", 160}, {"Satellite", 100}, {"Freq.", 60},
      {"Pol.", 40},  {"CAS", 40},      {"V_PID", 48},      {"A_PID", 48},      {"P_PID", 48},
      {"SID", 48},   {"Favorite", 100}, {"Lock", 40},      {"Provider", 100},
  };
  return kColumns;
}

uint16_t CVortanView::ChannelOfRow(int row) const {
  if (row < 0 || row >= st_.rowCount || row >= kMaxChans) return kNoChan;
  return st_.rowMap[size_t(row)];
}

std::string CVortanView::SatelliteText(uint8_t s, bool refreshForm) const {
  if (!DbImage::ValidSat(s)) return "";
  const DbImage& img = Image();
  if (refreshForm) {
    if (img.SatDelivery(s) == kDeliveryTerrestrial) return "DVB-T";
    if (img.SatDelivery(s) == kDeliveryCable) return "DVB-C";
  }
  return DecodeRecordText(img.SatName(s), sat::kNameSize);
}

std::string CVortanView::ChannelCell(int row, int column) const {
  const uint16_t c = ChannelOfRow(row);
  if (!DbImage::ValidChan(c)) return "";
  const DbImage& img = Image();
  const int t = DisplayTp(img, c);
  const uint32_t delivery = DeliveryOfTp(img, t);
  const bool terrestrialOrCable = delivery == kDeliveryTerrestrial || delivery == kDeliveryCable;
  switch (column) {
    case kColNo: return std::to_string(row + 1);
    case kColChanNo: return std::to_string(img.ChanNumber(c));
    case kColName: return ChannelNameText(img.ChanName(c));
    case kColSatellite: return SatelliteText(img.TpSat(t), refreshTexts_);
    case kColFreq: {
      const unsigned f = img.TpFrequency(t);
      return std::to_string(terrestrialOrCable ? f * 100u : f);
    }
    case kColPol:
      if (refreshTexts_ && terrestrialOrCable) return "-";
      return std::string(ChannelListPolarisation(int(img.TpWordField(t, tpw::kPolarisation))));
    case kColCas: return img.ChanWordField(c, chw::kCas) ? "O" : "X";
    case kColVPid: return std::to_string(img.ChanU16(c, chan::kVideoPid));
    case kColAPid: return std::to_string(img.ChanU16(c, chan::kAudioPid));
    case kColPPid: return std::to_string(img.ChanU16(c, chan::kPcrPid));
    case kColSid: return std::to_string(img.ChanSid(c));
    case kColFavorite: {
      std::string s;
      const uint32_t mask = img.ChanWordField(c, chw::kFavMask);
      for (int k = 0; k < kFavLists; ++k) {
        if (mask & (1u << k)) s += st_.favoriteNames[size_t(k)] + ",";
      }
      if (!s.empty()) s.pop_back();
      return s;
    }
    case kColLock: return img.ChanWordField(c, chw::kLock) ? "O" : "";
    case kColProvider: {
      const uint16_t p = img.ChanProvider(c);
      if (!ws_.providerPresent || p >= kFirstBadProvider) return "N/A";
      return DecodeRecordText(ws_.providers.entries[p].name.data(), kProviderNameSize);
    }
    default: return "";
  }
}

bool CVortanView::ChannelShown(uint16_t c, uint16_t selectedTp) const {
  if (c >= kMaxChans) return false;
  const DbImage& img = Image();
  const uint32_t word = img.ChanWord(c);
  if (int(chw::kServiceType.Get(word)) != st_.serviceType) return false;
  if (st_.favoriteFilter > 0 && !((chw::kFavMask.Get(word) >> (st_.favoriteFilter - 1)) & 1u)) return false;
  const bool cas = chw::kCas.Get(word) != 0;
  if ((st_.casFilter == 1 && cas) || (st_.casFilter == 2 && !cas)) return false;
  if (!NameMatchesFind(c)) return false;
  const int type = ShownDeliveryType();
  const uint16_t rawTp = img.ChanTp(c);
  const int t = DisplayTp(img, c);
  if (type == kDvbT || type == kDvbC) {
    if (st_.satFilter == 1 && DeliveryOfTp(img, t) != uint32_t(type + 1)) return false;
    if (st_.tpFilter == 1 && (selectedTp == kNoTp || selectedTp != rawTp)) return false;
  } else {
    // A broken TP index stands for satellite 0 here.
    const uint8_t s = rawTp >= kMaxTps ? 0 : img.TpSat(rawTp);
    if (st_.satFilter == 1 && s != st_.currentSatellite) return false;
    if (st_.tpFilter == 1 && (st_.currentTransponder == kNoTp || st_.currentTransponder != rawTp)) return false;
  }
  return true;
}

void CVortanView::ReportBrokenRow(uint16_t c, bool checkTp) {
  const DbImage& img = Image();
  if (checkTp && img.ChanTp(c) >= kMaxTps) {
    ui_.ShowMessage(Format("Broken TP information for channel %d [%s]", img.ChanNumber(c), ChannelNameText(img.ChanName(c))),
                    MessageIcon::kStop, MessageButtons::kOk);
  }
  if (ws_.providerPresent && img.ChanProvider(c) >= kFirstBadProvider) {
    ui_.ShowMessage(
        Format("Broken Provider information for channel %d [%s]", img.ChanNumber(c), ChannelNameText(img.ChanName(c))),
        MessageIcon::kStop, MessageButtons::kOk);
  }
}

void CVortanView::FillChannelList(int hint) {
  DbImage& img = Image();
  if (hint == kRefreshHint) {
    refreshTexts_ = true;
    for (int row = 0; row < st_.rowCount; ++row) {
      const uint16_t c = st_.rowMap[size_t(row)];
      if (DbImage::ValidChan(c)) ReportBrokenRow(c, true);
    }
    ui_.RefreshChannelList();
    ui_.SetCaption(ControlId::kChannelsGroup, "Total " + std::to_string(st_.rowCount) + " channels");
    return;
  }

  refreshTexts_ = false;
  st_.rowMap.fill(kNoChan);
  uint16_t selectedTp = kNoTp;
  const int type = ShownDeliveryType();
  if ((type == kDvbT || type == kDvbC) && st_.tpFilter == 1) {
    uint16_t t = kNoTp;
    if (TransponderOfSelectedRow(t) == 0) selectedTp = t;
  }
  int rows = 0;
  auto take = [&](uint16_t c) {
    if (c >= kMaxChans || rows >= kMaxChans || !ChannelShown(c, selectedTp)) return;
    st_.rowMap[size_t(rows++)] = c;
  };
  if (st_.favoriteFilter == 0) {
    for (int i = 0; i < kMaxChans; ++i) take(img.Order(i));
  } else {
    const int type01 = st_.serviceType == 0 ? 0 : 1;
    for (int i = 0; i < kFavEntries; ++i) take(img.FavEntry(type01, st_.favoriteFilter - 1, i));
  }
  st_.rowCount = rows;
  for (int row = 0; row < rows; ++row) ReportBrokenRow(st_.rowMap[size_t(row)], false);
  ui_.ResetChannelList(rows);
  ui_.SetCaption(ControlId::kChannelsGroup, "Total " + std::to_string(rows) + " channels");
  ApplyChannelSelection(hint);
}

void CVortanView::ApplyChannelSelection(int hint) {
  std::vector<int> sel;
  const int n = st_.rowCount;
  if (n > 0) {
    if (hint == -1) {
      sel.push_back(n - 1);
    } else if (hint > 0) {
      sel.push_back(hint > n ? n - 1 : hint - 1);
    } else if (hint == -2) {
      for (int row = 0; row < n; ++row) {
        for (uint16_t c : st_.cutList) {
          if (st_.rowMap[size_t(row)] == c) {
            sel.push_back(row);
            break;
          }
        }
      }
    }
  }
  ui_.SelectRows(ListId::kChannels, sel);
}

int CVortanView::CatalogueItemOfRow(int row) const {
  const SatCatalogue& cat = ws_.catalogue;
  const int e = st_.currentCatalogueEntry;
  if (!cat.Present() || e < 0 || e >= int(kCatalogueEntries) || row < 0) return 0;
  const CatalogueEntry& entry = cat.entries[size_t(e)];
  const size_t n = std::min<size_t>(entry.tpCount, entry.tps.size());
  int shown = 0;
  for (size_t i = 0; i < n; ++i) {
    if (entry.tps[i].hidden == 1) continue;
    if (shown++ == row) return int(i);
  }
  return 0;
}

int CVortanView::TransponderOfSelectedRow(uint16_t& tp) {
  tp = kNoTp;
  uint8_t s = kNoSat;
  if (DbOps(Image()).FindSatByCatalogue(uint8_t(DbOps::PseudoSatIndex(st_.tunerSelection == 2)), s) != 0) {
    return 1;
  }
  const std::vector<int> rows = ui_.SelectedRows(ListId::kTransponders);
  if (rows.empty()) return 1;
  const int wanted = rows.front() + 1;
  const DbImage& img = Image();
  uint16_t t = img.SatFirstTp(s);
  int count = 0;
  for (int step = 0; step < img.SatTpCount(s) && DbImage::ValidTp(t); ++step) {
    if (img.TpWordField(t, tpw::kExcluded) == 0 && ++count == wanted) {
      tp = t;
      return 0;
    }
    t = img.TpNext(t);
  }
  return 1;
}

void CVortanView::FillTransponderList(int hint) {
  const int type = CurrentDeliveryType();
  const DbImage& img = Image();
  const SatCatalogue& cat = ws_.catalogue;
  std::vector<ListColumn> columns;
  std::vector<std::vector<std::string>> rows;
  if (type == kDvbT) {
    columns = {{"No", 44}, {"Ch", 60}, {"Freq", 60}};
    for (int r = 0; r < kDvbTPlanRows; ++r) {
      rows.push_back({std::to_string(r + 1), std::to_string(DvbTPlanChannel(r)), std::to_string(DvbTPlanFrequency(r))});
    }
  } else if (type == kDvbC) {
    columns = {{"No", 44}, {"Freq", 60}, {"SR", 60}, {"QAM Mode", 100}};
    if (cat.Present()) {
      for (int s = 0; s < kMaxSats; ++s) {
        if (!img.SatInUse(s) || img.SatDelivery(s) != kDeliveryCable) continue;
        if ((int(tuner::kMaskB.Get(img.SatTuner(s))) & st_.tunerSelection) == 0) continue;
        uint16_t t = img.SatFirstTp(s);
        for (int step = 0; step < img.SatTpCount(s) && DbImage::ValidTp(t); ++step, t = img.TpNext(t)) {
          if (img.TpWordField(t, tpw::kExcluded)) continue;
          if (int(rows.size()) == st_.currentTpRow) st_.currentTpItem = t;
          rows.push_back({std::to_string(rows.size() + 1), std::to_string(unsigned(img.TpFrequency(t)) * 100u),
                          std::to_string(img.TpSymbolRate(t)), std::string(QamText(img.TpModFec(t)))});
        }
      }
    }
  } else {
    columns = {{"No", 44}, {"Freq", 60}, {"SR", 60}, {"Pol", 40}, {"Mod", 52}, {"FEC", 48}, {"Pilot", 48}};
    st_.currentTpItem = CatalogueItemOfRow(st_.currentTpRow);
    const int e = st_.currentCatalogueEntry;
    if (cat.Present() && e >= 0 && e < int(kCatalogueEntries)) {
      const CatalogueEntry& entry = cat.entries[size_t(e)];
      const size_t n = std::min<size_t>(entry.tpCount, entry.tps.size());
      for (size_t i = 0; i < n; ++i) {
        const CatalogueTp& ct = entry.tps[i];
        if (ct.hidden == 1) continue;
        rows.push_back({std::to_string(rows.size() + 1), std::to_string(ct.frequency), std::to_string(ct.symbolRate),
                        std::string(TpListPolarisation(ct.polarisation)),
                        std::string(ModulationShortName(ModulationOf(ct.modFec))),
                        std::string(FecText(ModulationOf(ct.modFec), FecIndexOf(ct.modFec))),
                        ct.pilot ? "On" : "Off"});
      }
    }
  }
  const int n = int(rows.size());
  ui_.FillTpList(columns, rows);
  int sel = hint <= 0 ? 0 : hint - 1;
  if (n > 0 && sel >= n) {
    sel = n - 1;
    st_.currentTpRow = sel;
    if (type == kDvbS) st_.currentTpItem = CatalogueItemOfRow(sel);
  }
  ui_.SelectRows(ListId::kTransponders, n > 0 ? std::vector<int>{sel} : std::vector<int>{});
  ResolveCurrentTransponder();
}

void CVortanView::ResolveCurrentTransponder() {
  const SatCatalogue& cat = ws_.catalogue;
  if (!cat.Present()) return;
  const int e = st_.currentCatalogueEntry;
  uint8_t s = kNoSat;
  DbOps ops(Image());
  if (e < 0 || e >= int(kCatalogueEntries) || ops.FindSatByCatalogue(uint8_t(e), s) != 0) {
    st_.currentSatellite = kNoSat;
    st_.currentTransponder = kNoTp;
    return;
  }
  st_.currentSatellite = s;
  st_.currentTransponder = kNoTp;
  const CatalogueEntry& entry = cat.entries[size_t(e)];
  const int item = st_.currentTpItem;
  if (item < 0 || item >= int(std::min<size_t>(entry.tpCount, entry.tps.size()))) return;
  const CatalogueTp& ct = entry.tps[size_t(item)];
  uint16_t t = kNoTp;
  if (ops.FindTp(s, t, ct.frequency, ct.polarisation) == 0) st_.currentTransponder = t;
}

void CVortanView::SortCatalogueOrder() {
  const SatCatalogue& cat = ws_.catalogue;
  const int count = int(std::min<uint32_t>(cat.count, kCatalogueEntries));
  for (int i = 0; i < count; ++i) st_.catalogueOrder[size_t(i)] = i;
  // Stable exchange sort: neighbours swap only when strictly out of order.
  auto before = [&](int a, int b) {
    const CatalogueEntry& x = cat.entries[size_t(a)];
    const CatalogueEntry& y = cat.entries[size_t(b)];
    if (st_.satelliteOrder == 0) return x.position < y.position;
    return CompareCatalogueNames(x.name, y.name) < 0;
  };
  for (int pass = 0; pass + 1 < count; ++pass) {
    bool swapped = false;
    for (int i = 0; i + 1 < count - pass; ++i) {
      if (before(st_.catalogueOrder[size_t(i + 1)], st_.catalogueOrder[size_t(i)])) {
        std::swap(st_.catalogueOrder[size_t(i)], st_.catalogueOrder[size_t(i + 1)]);
        swapped = true;
      }
    }
    if (!swapped) break;
  }
}

void CVortanView::FillSatelliteCombo() {
  const int type = ShownDeliveryType();
  if (type == kDvbT || type == kDvbC) {
    ui_.FillCombo(ComboId::kSatellite, {type == kDvbT ? "DVB-T" : "DVB-C"});
    st_.satComboSelection = 0;
    ui_.SelectComboItem(ComboId::kSatellite, 0);
    return;
  }
  SatCatalogue& cat = ws_.catalogue;
  if (!cat.Present()) {
    ui_.FillCombo(ComboId::kSatellite, {});
    ui_.SelectComboItem(ComboId::kSatellite, -1);
    return;
  }
  DbImage& img = Image();
  // The order list may carry garbage past the channel table; drop it.
  for (int i = 0; i < kMaxChans; ++i) {
    const uint16_t c = img.Order(i);
    if (c >= kMaxChans && c != kNoChan) img.SetOrder(i, kNoChan);
  }
  const int count = int(std::min<uint32_t>(cat.count, kCatalogueEntries));
  if (st_.currentCatalogueEntry == -1) {
    st_.currentCatalogueEntry = 0;
    st_.currentSatellite = kNoSat;
    for (int i = 0; i < kMaxChans; ++i) {
      const uint16_t c = img.Order(i);
      if (c == kNoChan) continue;
      const uint8_t s = img.TpSat(DisplayTp(img, c));
      st_.currentSatellite = s;
      const int k = DbImage::ValidSat(s) ? img.SatCatalogueIndex(s) : count;
      st_.currentCatalogueEntry = k < count ? k : 0;
      break;
    }
  }
  SortCatalogueOrder();
  std::vector<std::string> lines;
  int selection = -1;
  for (int i = 0; i < count; ++i) {
    const CatalogueEntry& entry = cat.entries[size_t(st_.catalogueOrder[size_t(i)])];
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d - [%s] %s ", i + 1, FormatOrbitalPosition(false, entry.position, 1).c_str(),
                  DecodeRecordText(entry.name.data(), entry.name.size()).c_str());
    lines.emplace_back(buf);
    if (st_.catalogueOrder[size_t(i)] == st_.currentCatalogueEntry) selection = i;
  }
  ui_.FillCombo(ComboId::kSatellite, lines);
  if (selection >= 0) st_.satComboSelection = selection;
  ui_.SelectComboItem(ComboId::kSatellite, selection);
}

void CVortanView::FillFavoriteCombo() {
  if (!ws_.catalogue.Present()) return;
  std::vector<std::string> items{"All"};
  for (int k = 0; k < kFavLists; ++k) {
    st_.favoriteNames[size_t(k)] = DecodeRecordText(Image().FavName(k), kFavNameFieldSize);
    items.push_back(st_.favoriteNames[size_t(k)]);
  }
  ui_.FillCombo(ComboId::kFavorite, items);
  ui_.SelectComboItem(ComboId::kFavorite, st_.favoriteFilter);
}

}  // namespace pelagor
