// The satellite buttons: add, delete and edit catalogue entries. Delete
// also removes the entry's image satellite with its TPs and channels.

#include <cstdio>

#include "db/CatalogueMerge.h"
#include "view/CAddSatDlg.h"
#include "view/CVortanView.h"
#include "view/RecordText.h"

namespace pelagor {

namespace {

constexpr std::string_view kNoMoreSatText = "No more SAT can be added !";

}  // namespace

void CVortanView::OnSatAdd() {
  EditScope scope(*this);
  SatCatalogue& cat = ws_.catalogue;
  if (!cat.Present() || st_.currentCatalogueEntry < 0) return;
  // Entry n must be free in the image too: at 198 and 199 the terrestrial
  // and cable pseudo-satellites may already point at it, and a satellite
  // entry there would take over (and a later repair delete) their channels.
  uint8_t taken = kNoSat;
  if (cat.count >= kCatalogueEntries || Ops().FindSatByCatalogue(uint8_t(cat.count), taken) == kDbDone) {
    ui_.ShowMessage(std::string(kNoMoreSatText), MessageIcon::kNone, MessageButtons::kOk);
    return;
  }
  CAddSatDlg dlg;
  dlg.name.clear();
  dlg.position = 0;
  if (ui_.RunDialog(&dlg) != DialogAnswer::kOk) return;

  const int n = int(cat.count);
  CatalogueEntry& entry = cat.entries[size_t(n)];
  entry = CatalogueEntry{};
  entry.name = dlg.NameBytes();
  entry.position = uint16_t(dlg.position);
  cat.count = uint32_t(n + 1);

  SortCatalogueOrder();
  st_.currentCatalogueEntry = n;
  for (int i = 0; i <= n; ++i) {
    if (st_.catalogueOrder[size_t(i)] == n) st_.satComboSelection = i;
  }
  st_.currentTpRow = 0;
  st_.currentTpItem = 0;
  FillSatelliteCombo();
  FillTransponderList(1);
  FillChannelList(ChannelFill::SelectRow(1));
}

void CVortanView::OnSatDelete() {
  EditScope scope(*this);
  SatCatalogue& cat = ws_.catalogue;
  const int e = st_.currentCatalogueEntry;
  if (!cat.Present() || e < 0 || e >= int(kCatalogueEntries) || uint32_t(e) >= cat.count) return;
  const CatalogueEntry& entry = cat.entries[size_t(e)];
  char text[160];
  std::snprintf(text, sizeof text, "Do you want to delete Satellite and all TP & channels of it ?\n - %s (%s) -",
                DecodeRecordText(entry.name.data(), entry.name.size()).c_str(),
                FormatOrbitalPosition(false, entry.position, 1).c_str());
  if (ui_.ShowMessage(text, MessageIcon::kNone, MessageButtons::kYesNo) != MessageAnswer::kYes) return;

  // Every image satellite of the entry goes, not only the first: one left
  // behind would point at the entry that moves into this place.
  DbOps ops = Ops();
  uint8_t s = kNoSat;
  while (ops.FindSatByCatalogue(uint8_t(e), s) == kDbDone) {
    if (ops.DeleteSat(s) != kDbDone) break;
  }
  DropDeletedCutChannels();
  // e was checked against the count above: the deletion cannot be refused.
  static_cast<void>(DeleteCatalogueEntry(Image(), cat, e));

  SortCatalogueOrder();
  const int count = int(std::min<uint32_t>(cat.count, kCatalogueEntries));
  if (st_.satComboSelection >= count) st_.satComboSelection = count - 1;
  if (st_.satComboSelection < 0) st_.satComboSelection = 0;
  st_.currentCatalogueEntry = count > 0 ? st_.catalogueOrder[size_t(st_.satComboSelection)] : 0;
  st_.currentTpRow = 0;
  st_.currentTpItem = 0;
  FillSatelliteCombo();
  FillTransponderList(1);
  FillChannelList(ChannelFill::SelectRow(1));
}

void CVortanView::OnSatEdit() {
  EditScope scope(*this);
  SatCatalogue& cat = ws_.catalogue;
  const int e = st_.currentCatalogueEntry;
  if (!cat.Present() || e < 0 || e >= int(kCatalogueEntries) || uint32_t(e) >= cat.count) return;
  CatalogueEntry& entry = cat.entries[size_t(e)];
  CAddSatDlg dlg;
  dlg.name = DecodeRecordText(entry.name.data(), entry.name.size());
  dlg.position = entry.position;
  if (ui_.RunDialog(&dlg) != DialogAnswer::kOk) return;
  entry.name = dlg.NameBytes();
  entry.position = uint16_t(dlg.position);
  // The image satellite keeps its own name; only the catalogue changes.
  FillSatelliteCombo();
}

}  // namespace pelagor
