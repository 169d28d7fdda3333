// The TP commands. Satellite TPs are edited in the catalogue entry the TP
// list shows, with the image brought along where channels hang on it; cable
// TPs exist only in the image, on the cable pseudo-satellite of the tuner.

#include <algorithm>

#include "db/Sorting.h"
#include "view/CAddCableTP.h"
#include "view/CAddTPDlg.h"
#include "view/CVortanView.h"
#include "view/RecordText.h"

namespace pelagor {

namespace {

// The TPs of a catalogue entry that its TP count covers.
size_t ListedTps(const CatalogueEntry& e) { return std::min<size_t>(e.tpCount, e.tps.size()); }

// Rows the DVB-S TP list shows for an entry: its entries not hidden.
int ShownTps(const CatalogueEntry& e) {
  int n = 0;
  for (size_t i = 0; i < ListedTps(e); ++i) n += e.tps[i].hidden == 1 ? 0 : 1;
  return n;
}

uint8_t CableCatalogueIndex(int tunerSelection) { return uint8_t(DbOps::PseudoSatIndex(tunerSelection == 2)); }

}  // namespace

void CVortanView::OnTpMenuCommand(TpMenuItem item) {
  EditScope scope(*this);
  const int type = CurrentDeliveryType();
  if (type == kDvbT) return;  // the terrestrial TP list is a fixed plan
  const bool sat = type == kDvbS;
  switch (item) {
    case TpMenuItem::kAddTp: sat ? AddSatelliteTp() : AddCableTp(); break;
    case TpMenuItem::kEditTp: sat ? EditSatelliteTp() : EditCableTp(); break;
    case TpMenuItem::kDeleteTp: sat ? DeleteSatelliteTps() : DeleteCableTps(); break;
    case TpMenuItem::kSortByFrequency: sat ? SortSatelliteTps() : SortCableTps(); break;
  }
}

void CVortanView::DropDeletedCutChannels() {
  // A deleted channel must not come back into the order list by a paste.
  std::erase_if(st_.cutList, [this](uint16_t c) { return !Image().ChanInUse(c); });
}

uint8_t CVortanView::SatelliteForEntry(int k) {
  // An image satellite of this entry made for another delivery system goes
  // first, with its TPs and channels. Whether one went does not matter here:
  // every TP command marks the workspace modified.
  static_cast<void>(RepairSatellite(k));
  DbOps ops = Ops();
  uint8_t s = kNoSat;
  if (ops.FindSatByCatalogue(uint8_t(k), s) == kDbDone) return s;
  const bool inCatalogue = ws_.catalogue.Present() && uint32_t(k) < ws_.catalogue.count;
  if (ops.AddSat(s, uint8_t(k), inCatalogue ? 0 : 1) != kDbDone) return kNoSat;
  if (inCatalogue) {
    // The entry exists, so its name is there to copy.
    static_cast<void>(ops.SyncSatName(s));
  } else if (ops.deliveryType == kDvbC) {
    uint8_t* name = Image().SatName(s);
    std::fill(name, name + sat::kNameSize, uint8_t(0));
    std::copy_n("DVB-C", 5, name);
  }
  return s;
}

int CVortanView::CableRowOfTp(uint16_t wanted) const {
  // The same walk as the DVB-C TP list.
  const DbImage& img = Image();
  int row = 0;
  for (int s = 0; s < kMaxSats; ++s) {
    if (!img.SatInUse(s) || img.SatDelivery(s) != kDeliveryCable) continue;
    if ((int(tuner::kMaskB.Get(img.SatTuner(s))) & st_.tunerSelection) == 0) continue;
    uint16_t t = img.SatFirstTp(s);
    for (int step = 0; step < img.SatTpCount(s) && DbImage::ValidTp(t); ++step, t = img.TpNext(t)) {
      if (img.TpWordField(t, tpw::kExcluded)) continue;
      ++row;
      if (t == wanted) return row;
    }
  }
  return 0;
}

// ---- Add TP ----

void CVortanView::AddSatelliteTp() {
  SatCatalogue& cat = ws_.catalogue;
  const int e = st_.currentCatalogueEntry;
  if (!cat.Present() || e < 0 || e >= int(kCatalogueEntries)) return;
  CatalogueEntry& entry = cat.entries[size_t(e)];

  CAddTPDlg dlg;
  dlg.addMode = true;
  dlg.satelliteText = DecodeRecordText(entry.name.data(), entry.name.size());
  dlg.frequency = 0;
  dlg.symbolRate = 0;
  dlg.polarity = 0;
  dlg.modulation = 0;
  dlg.fecIndex = 0;
  dlg.pilot = 0;
  if (ui_.RunDialog(&dlg) != DialogAnswer::kOk) return;

  CatalogueTp ct;
  ct.frequency = uint16_t(dlg.frequency);
  ct.symbolRate = uint16_t(dlg.symbolRate);
  ct.polarisation = uint8_t(dlg.polarity);
  ct.modFec = uint8_t(dlg.modulation * 16 + (dlg.fecIndex & 0x0F));
  ct.pilot = uint8_t(dlg.pilot);
  ct.hidden = 0;
  entry.tps.resize(ListedTps(entry));
  entry.tps.push_back(ct);
  entry.tpCount = uint32_t(entry.tps.size());

  // The image TP comes before the lists are rebuilt, so they show the image
  // as it now is (the satellite may have been replaced for another system).
  const uint8_t s = SatelliteForEntry(e);
  uint16_t t = kNoTp;
  DbOps ops = Ops();
  if (s != kNoSat && ops.AddTp(s, t, 0) == kDbDone) {
    // t was just added: setting its fields cannot be refused.
    static_cast<void>(ops.SetTpFrequency(t, ct.frequency));
    static_cast<void>(ops.SetTpSymbolRate(t, ct.symbolRate));
    static_cast<void>(ops.SetTpPolarisation(t, ct.polarisation));
    static_cast<void>(ops.SetTpModFec(t, ct.modFec));
    Image().SetTpWordField(t, tpw::kExcluded, 0);
  }

  FillTransponderList(int(entry.tpCount));
  FillChannelList(ChannelFill::SelectRow(1));
  MarkModified();
}

void CVortanView::AddCableTp() {
  CAddCableTP dlg;
  dlg.addMode = true;
  dlg.frequency = 0;
  dlg.symbolRate = 0;
  dlg.qamMode = 0;
  if (ui_.RunDialog(&dlg) != DialogAnswer::kOk) return;

  const uint8_t s = SatelliteForEntry(CableCatalogueIndex(st_.tunerSelection));
  uint16_t t = kNoTp;
  DbOps ops = Ops();
  int row = 0;
  if (s != kNoSat && ops.AddTp(s, t, 0) == kDbDone) {
    DbImage& img = Image();
    // t was just added: setting its fields cannot be refused.
    static_cast<void>(ops.SetTpFrequency(t, uint16_t(dlg.frequency / 100)));
    static_cast<void>(ops.SetTpSymbolRate(t, uint16_t(dlg.symbolRate)));
    static_cast<void>(ops.SetTpPolarisation(t, 0));
    static_cast<void>(ops.SetTpModFec(t, uint8_t(dlg.qamMode)));
    img.SetTpWordField(t, tpw::kExcluded, 0);
    const uint32_t st = img.SatTuner(s);
    img.SetTpTuner(t,
                   tuner::kMaskB.Set(tuner::kMaskA.Set(img.TpTuner(t), tuner::kMaskA.Get(st)), tuner::kMaskB.Get(st)));
    row = CableRowOfTp(t);
  }
  // The new TP's row is selected, so an Add Channel that follows lands on it.
  if (row > 0) st_.currentTpRow = row - 1;
  FillTransponderList(row > 0 ? row : 1);
  FillChannelList(ChannelFill::SelectRow(1));
  MarkModified();
}

// ---- Edit TP ----

void CVortanView::EditSatelliteTp() {
  SatCatalogue& cat = ws_.catalogue;
  const int e = st_.currentCatalogueEntry;
  if (!cat.Present() || e < 0 || e >= int(kCatalogueEntries)) return;
  CatalogueEntry& entry = cat.entries[size_t(e)];
  const std::vector<int> rows = ui_.SelectedRows(ListId::kTransponders);
  // Only a shown entry can be edited: without a selected row there is none
  // (a hidden entry or one past the list must not be reached).
  if (rows.empty() || rows.front() >= ShownTps(entry)) return;
  const int p = rows.front() + 1;
  const int item = CatalogueItemOfRow(p - 1);
  st_.currentTpItem = item;
  CatalogueTp& ct = entry.tps[size_t(item)];

  CAddTPDlg dlg;
  dlg.addMode = false;
  dlg.satelliteText = DecodeRecordText(entry.name.data(), entry.name.size());
  dlg.frequency = ct.frequency;
  dlg.symbolRate = ct.symbolRate;
  dlg.polarity = ct.polarisation;
  dlg.modulation = ct.modFec >> 4;
  dlg.fecIndex = ct.modFec & 0x0F;
  dlg.pilot = ct.pilot != 0 ? 1 : 0;
  if (ui_.RunDialog(&dlg) != DialogAnswer::kOk) return;

  ct.frequency = uint16_t(dlg.frequency);
  ct.symbolRate = uint16_t(dlg.symbolRate);
  ct.polarisation = uint8_t(dlg.polarity);
  ct.pilot = uint8_t(dlg.pilot);
  ct.modFec = uint8_t(dlg.modulation * 16 + (dlg.fecIndex & 0x0F));
  FillTransponderList(p);
  MarkModified();
}

void CVortanView::EditCableTp() {
  uint16_t t = kNoTp;
  if (TransponderOfSelectedRow(t) != 0) return;
  const int p = ui_.SelectedRows(ListId::kTransponders).front() + 1;
  DbImage& img = Image();

  CAddCableTP dlg;
  dlg.addMode = false;
  dlg.frequency = uint32_t(img.TpFrequency(t)) * 100u;
  dlg.symbolRate = img.TpSymbolRate(t);
  dlg.qamMode = img.TpModFec(t);
  if (ui_.RunDialog(&dlg) != DialogAnswer::kOk) return;

  DbOps ops = Ops();
  // t is the TP of a shown row, a valid index: nothing to refuse.
  static_cast<void>(ops.SetTpFrequency(t, uint16_t(dlg.frequency / 100)));
  static_cast<void>(ops.SetTpSymbolRate(t, uint16_t(dlg.symbolRate)));
  static_cast<void>(ops.SetTpModFec(t, uint8_t(dlg.qamMode)));
  static_cast<void>(ops.SetTpPolarisation(t, 0));
  img.SetTpWordField(t, tpw::kExcluded, 0);
  FillTransponderList(p);
  MarkModified();
}

// ---- Delete TP ----

void CVortanView::DeleteSatelliteTps() {
  SatCatalogue& cat = ws_.catalogue;
  const int e = st_.currentCatalogueEntry;
  if (!cat.Present() || e < 0 || e >= int(kCatalogueEntries)) return;
  CatalogueEntry& entry = cat.entries[size_t(e)];
  const std::vector<int> rows = ui_.SelectedRows(ListId::kTransponders);
  if (rows.empty()) return;  // nothing chosen, nothing changes
  DbOps ops = Ops();
  const size_t n = ListedTps(entry);
  int d = 0;
  for (int row : rows) {
    // Entries hidden by this loop move the later rows up by one each.
    const int wanted = row + 1 - d;
    int shown = 0;
    size_t i = 0;
    for (; i < n; ++i) {
      if (entry.tps[i].hidden == 1) continue;
      if (++shown == wanted) break;
    }
    if (i == n) continue;  // a row past the list
    CatalogueTp& ct = entry.tps[i];
    ct.hidden = 1;
    ++d;
    uint8_t s = kNoSat;
    uint16_t t = kNoTp;
    if (ops.FindSatByCatalogue(uint8_t(e), s) == kDbDone &&
        ops.FindTp(s, t, ct.frequency, ct.polarisation) == kDbDone) {
      // A TP in a broken ring is refused and stays; the entry is hidden anyway.
      static_cast<void>(ops.DeleteTp(t));
    }
  }
  DropDeletedCutChannels();
  FillTransponderList(rows.front() + 1);
  FillChannelList(ChannelFill::SelectRow(1));
  MarkModified();
}

void CVortanView::DeleteCableTps() {
  DbOps ops = Ops();
  uint8_t s = kNoSat;
  if (ops.FindSatByCatalogue(CableCatalogueIndex(st_.tunerSelection), s) != kDbDone) return;
  const std::vector<int> rows = ui_.SelectedRows(ListId::kTransponders);
  if (rows.empty()) return;
  // Collect first: deleting changes the positions of the rows after.
  const DbImage& img = Image();
  std::vector<uint16_t> shown;
  uint16_t t = img.SatFirstTp(s);
  for (int step = 0; step < img.SatTpCount(s) && DbImage::ValidTp(t); ++step, t = img.TpNext(t)) {
    if (img.TpWordField(t, tpw::kExcluded) == 0) shown.push_back(t);
  }
  std::vector<uint16_t> doomed;
  for (int row : rows) {
    if (row >= 0 && size_t(row) < shown.size()) doomed.push_back(shown[size_t(row)]);
  }
  // A TP in a broken ring is refused and stays, silently.
  for (uint16_t tp : doomed) static_cast<void>(ops.DeleteTp(tp));
  DropDeletedCutChannels();
  FillTransponderList(rows.front() + 1);
  FillChannelList(ChannelFill::SelectRow(1));
  MarkModified();
}

// ---- Sort by Frequency ----

void CVortanView::SortSatelliteTps() {
  SatCatalogue& cat = ws_.catalogue;
  const int e = st_.currentCatalogueEntry;
  if (!cat.Present() || e < 0 || e >= int(kCatalogueEntries)) return;
  CatalogueEntry& entry = cat.entries[size_t(e)];
  const size_t n = ListedTps(entry);
  // Only a lack of memory refuses the sort, and it leaves the list as it was.
  if (n > 0) static_cast<void>(SortCatalogueTps(entry.tps.data(), int(n), true));
  FillTransponderList(1);
  MarkModified();
}

void CVortanView::SortCableTps() {
  uint8_t s = kNoSat;
  if (Ops().FindSatByCatalogue(CableCatalogueIndex(st_.tunerSelection), s) != kDbDone) return;
  // A broken ring stops the sort where it breaks; what was sorted stays and
  // is shown.
  static_cast<void>(SortCableTpRing(Image(), s));
  FillTransponderList(1);
  MarkModified();
}

}  // namespace pelagor
