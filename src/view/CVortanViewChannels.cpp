// The channel commands of the popup "CHAN": add, edit, delete, favourites,
// lock, renumbering and providers. Moves and sorts are in
// CVortanViewOrder.cpp, the favourite-list rename in CVortanViewFavorites.cpp.

#include <cstdio>
#include <cstring>

#include "db/Sorting.h"
#include "view/CAddChanDlg.h"
#include "view/CEditChanDlg.h"
#include "view/CProviderSelectDlg.h"
#include "view/ChannelNameCodec.h"
#include "view/CVortanView.h"
#include "view/RecordText.h"

namespace pelagor {

namespace {

std::string Printf(const char* fmt, int a, int b = 0) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, a, b);
  return buf;
}

// Tuner word with the two masks of another record's tuner word.
uint32_t WithMasksOf(uint32_t word, uint32_t from) {
  word = tuner::kMaskA.Set(word, tuner::kMaskA.Get(from));
  return tuner::kMaskB.Set(word, tuner::kMaskB.Get(from));
}

}  // namespace

void CVortanView::OnChannelMenuCommand(ChanMenuItem item) {
  EditScope scope(*this);
  switch (item) {
    case ChanMenuItem::kAddChannel: OnAddChannel(); break;
    case ChanMenuItem::kEditChannel: OnEditChannel(); break;
    case ChanMenuItem::kDeleteChannel: OnDeleteChannel(); break;
    case ChanMenuItem::kFav1:
    case ChanMenuItem::kFav2:
    case ChanMenuItem::kFav3:
    case ChanMenuItem::kFav4:
    case ChanMenuItem::kFav5:
    case ChanMenuItem::kFav6:
    case ChanMenuItem::kFav7:
    case ChanMenuItem::kFav8: OnFavoriteItem(int(item) - int(ChanMenuItem::kFav1) + 1); break;
    case ChanMenuItem::kLock: OnLockChannels(true); break;
    case ChanMenuItem::kUnlock: OnLockChannels(false); break;
    case ChanMenuItem::kReassignChannelNo: OnReassignChannelNo(); break;
    case ChanMenuItem::kCutChannel: OnCutChannel(); break;
    case ChanMenuItem::kPasteChannel: OnPasteChannel(); break;
    case ChanMenuItem::kSortByChanNo:
    case ChanMenuItem::kSortByName:
    case ChanMenuItem::kSortBySatellite:
    case ChanMenuItem::kSortByProvider: OnSortChannels(item); break;
    case ChanMenuItem::kSetProvider: OnSetProvider(); break;
  }
}

std::vector<uint16_t> CVortanView::SelectedChannels() const {
  std::vector<uint16_t> out;
  for (int row : ui_.SelectedRows(ListId::kChannels)) {
    const uint16_t c = ChannelOfRow(row);
    if (c != kNoChan) out.push_back(c);
  }
  return out;
}

// ---- Add Channel ----

bool CVortanView::RepairSatellite(int catalogueIndex) {
  // A satellite left over from another delivery type under this catalogue
  // index would take the new channel; it goes, with everything on it.
  DbOps ops = Ops();
  uint8_t s = kNoSat;
  if (ops.FindSatByCatalogue(uint8_t(catalogueIndex), s) != kDbDone) return false;
  if (Image().SatDelivery(s) == uint32_t(ShownDeliveryType() + 1)) return false;
  // A satellite whose rings are broken is refused and stays: nothing changed.
  if (ops.DeleteSat(s) != kDbDone) return false;
  DropDeletedCutChannels();
  return true;
}

void CVortanView::FillNewChannel(uint16_t c, uint16_t t, const CAddChanDlg& dlg) {
  DbOps ops = Ops();
  DbImage& img = Image();
  // c was just added and the selectors and the service type are in range,
  // so none of the operations below can be refused.
  img.SetChanU16(c, chan::kNumber, uint16_t(dlg.channelNumber));
  static_cast<void>(ops.SetChanPid(c, 0, uint16_t(dlg.videoPid)));
  static_cast<void>(ops.SetChanPid(c, 1, uint16_t(dlg.audioPid)));
  img.SetChanWordField(c, chw::kAudioCount, 1);
  static_cast<void>(ops.SetChanPid(c, 2, uint16_t(dlg.pcrPid)));
  img.SetChanTuner(c, uint16_t(WithMasksOf(tuner::kMarker.Set(img.ChanTuner(c), 1), img.TpTuner(t))));
  img.SetChanU16(c, chan::kSid, uint16_t(dlg.serviceId));
  // The dialog has checked that the name fits the default table.
  std::string bytes;
  static_cast<void>(EncodeNameText(dlg.name, kDefaultNameTable, size_t(kChanNameLen), bytes));
  static_cast<void>(ops.SetChanName(c, bytes));
  static_cast<void>(ops.SetServiceType(c, uint16_t(dlg.videoPid) != kNoPid ? 0 : 1));
}

bool CVortanView::RunChannelDialog(DialogModel dlg, const std::string& name, const std::string& unchanged, int table) {
  while (ui_.RunDialog(dlg) == DialogAnswer::kOk) {
    std::string bytes;
    if (name == unchanged || EncodeNameText(name, table, size_t(-1), bytes)) return true;
    // Back to the dialog with what was typed, so it can be mended.
    ui_.ShowMessage(std::string(kNameNotStorableText), MessageIcon::kStop, MessageButtons::kOk);
  }
  return false;
}

void CVortanView::EndAddChannel() {
  ResolveCurrentTransponder();
  FillChannelList(ChannelFill::SelectLast());
  MarkModified();
}

void CVortanView::OnAddChannel() {
  if (!ws_.catalogue.Present()) return;
  switch (CurrentDeliveryType()) {
    case kDvbS: AddSatelliteChannel(); break;
    case kDvbT: AddTerrestrialChannel(); break;
    case kDvbC: AddCableChannel(); break;
    default: break;
  }
}

void CVortanView::AddSatelliteChannel() {
  const SatCatalogue& cat = ws_.catalogue;
  const int k = st_.currentCatalogueEntry;
  if (k < 0 || k >= int(kCatalogueEntries)) return;
  const CatalogueEntry& entry = cat.entries[size_t(k)];
  const int item = st_.currentTpItem;
  if (item < 0 || item >= int(std::min<size_t>(entry.tpCount, entry.tps.size()))) return;
  const CatalogueTp ct = entry.tps[size_t(item)];

  CAddChanDlg dlg;
  dlg.satelliteText = DecodeRecordText(entry.name.data(), entry.name.size());
  dlg.transponderText = Printf("%d / %d", ct.frequency, ct.symbolRate);
  if (!RunChannelDialog(&dlg, dlg.name, "", kDefaultNameTable)) return;

  // Whatever the repair removed must reach the list and the title even when
  // a later step gives up.
  const bool repaired = RepairSatellite(k);
  auto giveUp = [&] {
    if (repaired) EndAddChannel();
  };
  DbOps ops = Ops();
  DbImage& img = Image();
  uint8_t s = kNoSat;
  bool newSat = false;
  if (ops.FindSatByCatalogue(uint8_t(k), s) != kDbDone) {
    if (k < int(cat.count)) {
      if (ops.AddSat(s, uint8_t(k), 0) != kDbDone) return giveUp();
      // The entry exists (k is below the count), so its name is there to copy.
      static_cast<void>(ops.SyncSatName(s));
    } else if (ops.AddSat(s, uint8_t(k), 1) != kDbDone) {
      return giveUp();
    }
    newSat = true;
  }
  uint16_t t = kNoTp;
  bool newTp = false;
  if (ops.FindTp(s, t, ct.frequency, ct.polarisation) != kDbDone) {
    const bool added = ops.AddTp(s, t, 0) == kDbDone;
    newTp = added;
    const bool filled =
        added && ops.SetTpFrequency(t, ct.frequency) == kDbDone && ops.SetTpSymbolRate(t, ct.symbolRate) == kDbDone &&
        ops.SetTpPolarisation(t, ct.polarisation) == kDbDone && ops.SetTpModFec(t, ct.modFec) == kDbDone;
    if (!filled) {
      // Undoing what was just added: its rings are the ones just made.
      if (added) static_cast<void>(ops.DeleteTp(t));
      if (newSat) static_cast<void>(ops.DeleteSat(s));
      return giveUp();
    }
    // Terrestrial and cable TPs carry the satellite's tuners; a satellite TP
    // made here does the same so its channels belong to a tuner.
    img.SetTpTuner(t, WithMasksOf(img.TpTuner(t), img.SatTuner(s)));
  }
  uint16_t c = kNoChan;
  if (ops.AddChan(t, c, 1) != kDbDone) {
    // Undoing what was just added: its rings are the ones just made.
    if (newTp) static_cast<void>(ops.DeleteTp(t));
    if (newSat) static_cast<void>(ops.DeleteSat(s));
  } else {
    FillNewChannel(c, t, dlg);
  }
  EndAddChannel();
}

void CVortanView::AddTerrestrialChannel() {
  const int k = DbOps::PseudoSatIndex(st_.tunerSelection == 2);
  bool changed = RepairSatellite(k);
  DbOps ops = Ops();
  DbImage& img = Image();
  uint8_t s = kNoSat;
  bool newSat = false;
  if (ops.FindSatByCatalogue(uint8_t(k), s) != kDbDone) {
    if (ops.AddSat(s, uint8_t(k), 1) != kDbDone) {
      if (changed) EndAddChannel();
      return;
    }
    newSat = changed = true;
    std::memset(img.SatName(s), 0, sat::kNameSize);
    std::memcpy(img.SatName(s), "DVB-T", 5);
    for (int row = 0; row < kDvbTPlanRows; ++row) {
      uint16_t t = kNoTp;
      if (ops.AddTp(s, t, 0) != kDbDone) break;
      // t was just added: setting its fields cannot be refused.
      static_cast<void>(ops.SetTpFrequency(t, uint16_t(DvbTPlanFrequency(row) / 100)));
      static_cast<void>(ops.SetTpSymbolRate(t, 0));
      static_cast<void>(ops.SetTpPolarisation(t, 0));
      img.SetTpTuner(t, WithMasksOf(img.TpTuner(t), img.SatTuner(s)));
    }
  }
  uint16_t t = kNoTp;
  CAddChanDlg dlg;
  if (TransponderOfSelectedRow(t) == 0) {
    dlg.satelliteText = DecodeRecordText(img.SatName(s), sat::kNameSize);
    dlg.transponderText = Printf("%d", int(img.TpFrequency(t)) * 100);
  }
  // A satellite made above stays even when no channel is added; it is part
  // of the image now, so the list and the title follow.
  if (t == kNoTp || !RunChannelDialog(&dlg, dlg.name, "", kDefaultNameTable)) {
    if (changed) EndAddChannel();
    return;
  }
  uint16_t c = kNoChan;
  if (ops.AddChan(t, c, 1) != kDbDone) {
    if (newSat) {
      // Undoing what was just added: its rings are the ones just made.
      static_cast<void>(ops.DeleteTp(t));
      static_cast<void>(ops.DeleteSat(s));
    }
  } else {
    FillNewChannel(c, t, dlg);
  }
  EndAddChannel();
}

void CVortanView::AddCableChannel() {
  DbOps ops = Ops();
  const DbImage& img = Image();
  uint8_t s = kNoSat;
  uint16_t t = kNoTp;
  if (ops.FindSatByCatalogue(uint8_t(DbOps::PseudoSatIndex(st_.tunerSelection == 2)), s) != kDbDone) return;
  if (TransponderOfSelectedRow(t) != 0) return;
  CAddChanDlg dlg;
  dlg.satelliteText = DecodeRecordText(img.SatName(s), sat::kNameSize);
  dlg.transponderText = Printf("%d / %d", int(img.TpFrequency(t)) * 100, img.TpSymbolRate(t));
  if (!RunChannelDialog(&dlg, dlg.name, "", kDefaultNameTable)) return;
  uint16_t c = kNoChan;
  if (ops.AddChan(t, c, 1) == kDbDone) FillNewChannel(c, t, dlg);
  EndAddChannel();
}

// ---- Edit Channel ----

void CVortanView::OnEditChannel() {
  const std::vector<uint16_t> chans = SelectedChannels();
  if (chans.empty()) return;
  const uint16_t c = chans.front();
  DbImage& img = Image();
  CEditChanDlg dlg;
  dlg.name = ChannelNameText(img.ChanName(c));
  dlg.channelNumber = img.ChanNumber(c);
  dlg.audioPid = img.ChanU16(c, chan::kAudioPid);
  dlg.videoPid = img.ChanU16(c, chan::kVideoPid);
  dlg.pcrPid = img.ChanU16(c, chan::kPcrPid);
  dlg.serviceId = img.ChanSid(c);
  const std::string shownName = dlg.name;
  const int table = ChannelNameTable(img.ChanName(c));
  if (!RunChannelDialog(&dlg, dlg.name, shownName, table)) return;

  // The name goes in as typed, without the cleaning of new names. An
  // untouched name keeps its bytes, and a character-table selector in front
  // of the name stays in front of the new one: neither is visible in the
  // field, and the receiver reads the text through it.
  if (dlg.name != shownName) {
    uint8_t* field = img.ChanName(c);
    const bool selector = field[0] >= 0x01 && field[0] < 0x20;
    const uint8_t first = field[0];
    std::memset(field, 0, chan::kNameSize);
    size_t at = 0;
    if (selector) field[at++] = first;
    std::string bytes;
    // The dialog ran until the name fit the table, so it encodes.
    static_cast<void>(EncodeNameText(dlg.name, table, size_t(CEditChanDlg::kNameChars), bytes));
    std::memcpy(field + at, bytes.data(), bytes.size());
  }
  img.SetChanU16(c, chan::kAudioPid, uint16_t(dlg.audioPid));
  img.SetChanU16(c, chan::kVideoPid, uint16_t(dlg.videoPid));
  img.SetChanU16(c, chan::kPcrPid, uint16_t(dlg.pcrPid));
  img.SetChanU16(c, chan::kNumber, uint16_t(dlg.channelNumber));
  img.SetChanU16(c, chan::kSid, uint16_t(dlg.serviceId));
  FillChannelList(ChannelFill::Refresh());
  MarkModified();
}

// ---- Delete, favourites, lock, numbers ----

void CVortanView::OnDeleteChannel() {
  const std::vector<int> rows = ui_.SelectedRows(ListId::kChannels);
  if (rows.empty()) return;
  const std::vector<uint16_t> chans = SelectedChannels();
  DbOps ops = Ops();
  const int k = list_.Filter().favorite;
  // A channel in a broken ring is refused and stays, silently, as every
  // editing command that cannot be carried out ends.
  for (uint16_t c : chans) {
    if (k > 0) {
      static_cast<void>(ops.SetFavourite(c, k - 1, int(list_.Filter().service), 0));
    } else {
      static_cast<void>(ops.DeleteChan(c));
    }
  }
  DropDeletedCutChannels();
  FillChannelList(ChannelFill::SelectRow(rows.front() + 1));
  MarkModified();
}

void CVortanView::OnFavoriteItem(int list) {
  if (list < 1 || list > kFavLists) return;
  DbOps ops = Ops();
  // Shown channels and a list number of the menu: nothing to refuse.
  for (uint16_t c : SelectedChannels())
    static_cast<void>(ops.SetFavourite(c, list - 1, int(list_.Filter().service), 1));
  FillChannelList(ChannelFill::Refresh());
  MarkModified();
}

void CVortanView::OnLockChannels(bool lock) {
  DbOps ops = Ops();
  // Shown channels: nothing to refuse.
  for (uint16_t c : SelectedChannels()) static_cast<void>(ops.SetLockFlag(c, lock ? 1 : 0));
  FillChannelList(ChannelFill::Refresh());
  MarkModified();
}

void CVortanView::OnReassignChannelNo() {
  ReassignChannelNumbers(Image(), list_.Rows().data(), list_.RowCount());
  FillChannelList(ChannelFill::Refresh());
  MarkModified();
}

// ---- Provider ----

void CVortanView::OnSetProvider() {
  if (!ws_.providerPresent) return;  // no table to choose from or to save
  CProviderSelectDlg dlg;
  dlg.table = ws_.providers;
  dlg.Open();
  if (ui_.RunDialog(&dlg) != DialogAnswer::kOk) return;
  const bool newEntry = dlg.chosenIndex >= 0 && dlg.chosenIndex < int(kProviderEntries) &&
                        ws_.providers.entries[size_t(dlg.chosenIndex)].name[0] == 0;
  ws_.providers = dlg.table;
  ProviderTable& table = ws_.providers;
  // The combo and the receiver read the first "in use" entries; a name the
  // user has just added counts among them.
  if (newEntry && table.count < kProviderEntries) ++table.count;
  const uint16_t p = uint16_t(dlg.chosenIndex);
  DbImage& img = Image();
  for (uint16_t c : SelectedChannels()) {
    const uint16_t old = img.ChanProvider(c);
    if (old < kFirstBadProvider && table.entries[old].usage > 0) --table.entries[old].usage;
    img.SetChanU16(c, chan::kProvider, p);
    if (p < kFirstBadProvider) ++table.entries[p].usage;
  }
  FillChannelList(ChannelFill::Refresh());
  MarkModified();
}

}  // namespace pelagor
