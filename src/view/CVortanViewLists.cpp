// The two lists and the combos of the view: when the channel list is
// rebuilt (its rows and texts are ChannelList's), and which TPs the TP list
// shows with which texts.

#include <algorithm>
#include <cstdio>

#include "view/CVortanView.h"
#include "view/DisplayText.h"
#include "view/RecordText.h"

namespace pelagor {

namespace {

std::string Format(const char* fmt, int a, const std::string& b) {
  char buf[160];
  std::snprintf(buf, sizeof buf, fmt, a, b.c_str());
  return buf;
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

ChannelPlace CVortanView::CurrentPlace(uint16_t selectedTp) const {
  ChannelPlace place;
  place.deliveryType = ShownDeliveryType();
  place.satellite = st_.currentSatellite;
  const bool satellite = place.deliveryType != kDvbT && place.deliveryType != kDvbC;
  place.transponder = satellite ? st_.currentTransponder : selectedTp;
  return place;
}

void CVortanView::ReportBrokenRow(uint16_t c, bool checkTp) {
  const DbImage& img = Image();
  if (checkTp && img.ChanTp(c) >= kMaxTps) {
    ui_.ShowMessage(
        Format("Broken TP information for channel %d [%s]", img.ChanNumber(c), ChannelNameText(img.ChanName(c))),
        MessageIcon::kStop, MessageButtons::kOk);
  }
  if (ws_.providerPresent && img.ChanProvider(c) >= kFirstBadProvider) {
    ui_.ShowMessage(
        Format("Broken Provider information for channel %d [%s]", img.ChanNumber(c), ChannelNameText(img.ChanName(c))),
        MessageIcon::kStop, MessageButtons::kOk);
  }
}

void CVortanView::FillChannelList(ChannelFill fill) {
  if (fill.kind == ChannelFill::Kind::kRefresh) {
    list_.SetRefreshForm(true);
    for (uint16_t c : list_.Rows()) {
      if (DbImage::ValidChan(c)) ReportBrokenRow(c, true);
    }
    ui_.RefreshChannelList();
    ui_.SetCaption(ControlId::kChannelsGroup, "Total " + std::to_string(list_.RowCount()) + " channels");
    return;
  }

  uint16_t selectedTp = kNoTp;
  const int type = ShownDeliveryType();
  if ((type == kDvbT || type == kDvbC) && list_.Filter().transponder == PlaceFilter::kCurrent) {
    uint16_t t = kNoTp;
    if (TransponderOfSelectedRow(t) == 0) selectedTp = t;
  }
  list_.Rebuild(CurrentPlace(selectedTp));
  const int rows = list_.RowCount();
  for (uint16_t c : list_.Rows()) ReportBrokenRow(c, false);
  ui_.ResetChannelList(rows);
  ui_.SetCaption(ControlId::kChannelsGroup, "Total " + std::to_string(rows) + " channels");
  ApplyChannelSelection(fill);
}

void CVortanView::ApplyChannelSelection(ChannelFill fill) {
  std::vector<int> sel;
  const int n = list_.RowCount();
  if (n > 0) {
    switch (fill.kind) {
      case ChannelFill::Kind::kSelectLast: sel.push_back(n - 1); break;
      case ChannelFill::Kind::kSelectRow:
        if (fill.row > 0) sel.push_back(fill.row > n ? n - 1 : fill.row - 1);
        break;
      case ChannelFill::Kind::kSelectCut:
        for (int row = 0; row < n; ++row) {
          for (uint16_t c : st_.cutList) {
            if (list_.ChannelOfRow(row) == c) {
              sel.push_back(row);
              break;
            }
          }
        }
        break;
      case ChannelFill::Kind::kRefresh: break;
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
                        std::string(FecText(ModulationOf(ct.modFec), FecIndexOf(ct.modFec))), ct.pilot ? "On" : "Off"});
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
  if (e < 0 || e >= int(kCatalogueEntries) || ops.FindSatByCatalogue(uint8_t(e), s) != kDbDone) {
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
  if (ops.FindTp(s, t, ct.frequency, ct.polarisation) == kDbDone) st_.currentTransponder = t;
}

void CVortanView::SortCatalogueOrder() {
  const SatCatalogue& cat = ws_.catalogue;
  const int count = int(std::min<uint32_t>(cat.count, kCatalogueEntries));
  for (int i = 0; i < count; ++i) st_.catalogueOrder[size_t(i)] = i;
  // Stable exchange sort: neighbours swap only when strictly out of order.
  auto before = [&](int a, int b) {
    const CatalogueEntry& x = cat.entries[size_t(a)];
    const CatalogueEntry& y = cat.entries[size_t(b)];
    if (st_.satelliteOrder == SatelliteOrder::kLocation) return x.position < y.position;
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
      const uint8_t s = img.TpSat(ChannelDisplayTp(img, c));
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
  if (!list_.LoadFavoriteNames()) return;
  std::vector<std::string> items{"All"};
  for (const std::string& name : list_.FavoriteNames()) items.push_back(name);
  ui_.FillCombo(ComboId::kFavorite, items);
  ui_.SelectComboItem(ComboId::kFavorite, list_.Filter().favorite);
}

}  // namespace pelagor
