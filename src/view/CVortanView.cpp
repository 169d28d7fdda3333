#include "view/CVortanView.h"

namespace pelagor {

ViewState::ViewState() {
  for (int i = 0; i < kMaxSats; ++i) catalogueOrder[size_t(i)] = i;
}

CVortanView::CVortanView(ViewUi& ui, LinkTiming timing) : ui_(ui), link_(std::move(timing)) {
  for (int i = 0; i < kMaxChans; ++i) Image().SetOrder(i, kNoChan);
  ResetUndoHistory();
}

DbOps CVortanView::Ops() {
  DbOps ops(Image(), [this](int k) -> const uint8_t* {
    if (!ws_.catalogue.Present() || k < 0 || k >= int(kCatalogueEntries)) return nullptr;
    return ws_.catalogue.entries[size_t(k)].name.data();
  });
  ops.tunerMask = st_.tunerSelection;
  ops.deliveryType = ShownDeliveryType();
  return ops;
}

void CVortanView::OnInitialUpdate() {
  ui_.SetChannelColumns(ChannelList::Columns());
  ui_.FillTpList({{"No", 44}, {"Freq", 60}, {"SR", 60}, {"Pol", 40}, {"Mod", 52}, {"FEC", 48}, {"Pilot", 48}}, {});
  ui_.FillCombo(ComboId::kCas, {"All", "FTA", "CAS"});
  std::vector<std::string> fav{"All"};
  for (const auto& n : list_.FavoriteNames()) fav.push_back(n);
  ui_.FillCombo(ComboId::kFavorite, fav);
  ui_.FillCombo(ComboId::kSatFilter, {"All", "Current"});
  ui_.FillCombo(ComboId::kTpFilter, {"All", "Current"});
  const ChannelFilter& filter = list_.Filter();
  ui_.SelectComboItem(ComboId::kCas, int(filter.cas));
  ui_.SelectComboItem(ComboId::kFavorite, filter.favorite);
  ui_.SelectComboItem(ComboId::kSatFilter, int(filter.satellite));
  ui_.SelectComboItem(ComboId::kTpFilter, int(filter.transponder));
  ui_.SetCheck(ControlId::kTv, filter.service == ServiceType::kTv);
  ui_.SetCheck(ControlId::kRadio, filter.service == ServiceType::kRadio);
  ui_.SetCheck(ControlId::kLocation, st_.satelliteOrder == SatelliteOrder::kLocation);
  ui_.SetCheck(ControlId::kAlphabet, st_.satelliteOrder == SatelliteOrder::kAlphabet);
  for (int tuner = 0; tuner < 2; ++tuner) {
    const int base = tuner == 0 ? int(ControlId::kTuner1DvbS) : int(ControlId::kTuner2DvbS);
    for (int type = 0; type < 3; ++type) ui_.SetCheck(ControlId(base + type), st_.tunerType[size_t(tuner)] == type);
  }
  SetTunerChecks();
  UpdateTitle();
}

int CVortanView::ShownDeliveryType() const { return (st_.tunerSelection & 1) ? st_.tunerType[0] : st_.tunerType[1]; }

int CVortanView::CurrentDeliveryType() {
  if (st_.tunerType[0] != st_.tunerType[1] && st_.tunerSelection != 1 && st_.tunerSelection != 2) {
    // Both tuners can only be shown together when they receive the same.
    st_.tunerSelection = 1;
    SetTunerChecks();
    FillTransponderList(0);
  }
  return ShownDeliveryType();
}

void CVortanView::SetTunerChecks() {
  ui_.SetCheck(ControlId::kTuner1, (st_.tunerSelection & 1) != 0);
  ui_.SetCheck(ControlId::kTuner2, (st_.tunerSelection & 2) != 0);
}

void CVortanView::OnTunerChanged() {
  const int t = CurrentDeliveryType();
  ui_.SetCaption(ControlId::kTransponderGroup, t == kDvbT ? "Channel" : t == kDvbC ? "Frequency" : "Transponder");
  const bool sat = t == kDvbS;
  for (ControlId id :
       {ControlId::kSatelliteGroup, ControlId::kSatelliteCombo, ControlId::kSortGroup, ControlId::kAlphabet,
        ControlId::kLocation, ControlId::kSatAdd, ControlId::kSatDelete, ControlId::kSatEdit}) {
    ui_.Enable(id, sat);
  }
  ui_.Enable(ControlId::kTpList, true);
  FillSatelliteCombo();
  FillTransponderList(0);
  FillChannelList(ChannelFill::SelectRow(1));
}

void CVortanView::LoadWorkspace(Workspace ws) {
  ws_ = std::move(ws);
  ws_.loaded = true;
  AfterLoad();
  UpdateTitle();
}

void CVortanView::AfterLoad() {
  // The catalogue merges have run in the load step (ApplyDownloadImage).
  st_.currentCatalogueEntry = -1;
  FillSatelliteCombo();
  FillTransponderList(1);
  FillFavoriteCombo();
  FillChannelList(ChannelFill::SelectRow(1));
  const bool model8 = ws_.model == 8;
  for (ControlId id : {ControlId::kSatelliteCombo, ControlId::kAlphabet, ControlId::kLocation, ControlId::kSatAdd,
                       ControlId::kSatDelete, ControlId::kSatEdit}) {
    ui_.Enable(id, !model8);
  }
  ui_.Enable(ControlId::kTpList, !model8 && st_.tunerType[0] == kDvbS);
  // Data loaded outside a command (a file opened) start a new history; an
  // upload into the workspace runs inside one and becomes a step.
  if (editDepth_ == 0) ResetUndoHistory();
}

// ---- Notifications ----

void CVortanView::OnDeliveryTypeButton(int tuner, int type) {
  if (tuner < 0 || tuner > 1 || type < kDvbS || type > kDvbC) return;
  st_.tunerType[size_t(tuner)] = type;
  const int base = tuner == 0 ? int(ControlId::kTuner1DvbS) : int(ControlId::kTuner2DvbS);
  for (int i = 0; i < 3; ++i) ui_.SetCheck(ControlId(base + i), i == type);
  OnTunerChanged();
}

void CVortanView::OnTuner1Button() {
  if (st_.tunerType[0] == st_.tunerType[1]) {
    st_.tunerSelection ^= 1;
    if (st_.tunerSelection == 0) st_.tunerSelection = 1;
  } else {
    st_.tunerSelection = (st_.tunerSelection & 1) ? 2 : 1;
  }
  SetTunerChecks();
  OnTunerChanged();
}

void CVortanView::OnTuner2Button() {
  if (st_.tunerType[0] == st_.tunerType[1]) {
    st_.tunerSelection ^= 2;
    if (st_.tunerSelection == 0) st_.tunerSelection = 2;
  } else {
    st_.tunerSelection = (st_.tunerSelection & 2) ? 1 : 2;
  }
  SetTunerChecks();
  OnTunerChanged();
}

void CVortanView::OnServiceTypeButton(ServiceType type) {
  if (type != ServiceType::kTv && type != ServiceType::kRadio) return;
  list_.Filter().service = type;
  ui_.SetCheck(ControlId::kTv, type == ServiceType::kTv);
  ui_.SetCheck(ControlId::kRadio, type == ServiceType::kRadio);
  FillChannelList(ChannelFill::SelectRow(1));
}

void CVortanView::OnCasComboChanged(int selection) {
  if (selection < 0 || selection > 2) return;
  list_.Filter().cas = CasFilter(selection);
  FillChannelList(ChannelFill::SelectRow(1));
}

void CVortanView::OnFavoriteComboChanged(int selection) {
  if (selection < 0 || selection > kFavLists) return;
  list_.Filter().favorite = selection;
  FillChannelList(ChannelFill::SelectRow(1));
}

void CVortanView::OnSatFilterChanged(int selection) {
  if (selection < 0 || selection > 1) return;
  list_.Filter().satellite = PlaceFilter(selection);
  FillChannelList(ChannelFill::SelectRow(1));
}

void CVortanView::OnTpFilterChanged(int selection) {
  if (selection < 0 || selection > 1) return;
  list_.Filter().transponder = PlaceFilter(selection);
  FillChannelList(ChannelFill::SelectRow(1));
}

void CVortanView::OnSatelliteComboChanged(int selection) {
  // Only lines the combo holds can be chosen; anything else is a stale event.
  if (!ws_.catalogue.Present() || selection < 0 || selection >= int(ws_.catalogue.count) || selection >= kMaxSats) {
    return;
  }
  if (ShownDeliveryType() != kDvbS) return;  // the single "DVB-T"/"DVB-C" line
  st_.satComboSelection = selection;
  st_.currentCatalogueEntry = st_.catalogueOrder[size_t(selection)];
  st_.currentTpItem = 0;
  st_.currentTpRow = 0;
  ResolveCurrentTransponder();
  FillTransponderList(1);
  if (list_.Filter().satellite == PlaceFilter::kCurrent) FillChannelList(ChannelFill::SelectRow(1));
}

void CVortanView::OnSatelliteOrderButton(SatelliteOrder order) {
  if (order != SatelliteOrder::kLocation && order != SatelliteOrder::kAlphabet) return;
  st_.satelliteOrder = order;
  ui_.SetCheck(ControlId::kAlphabet, order == SatelliteOrder::kAlphabet);
  ui_.SetCheck(ControlId::kLocation, order == SatelliteOrder::kLocation);
  FillSatelliteCombo();
}

void CVortanView::OnTpListClick() {
  if (list_.Filter().transponder != PlaceFilter::kCurrent) return;
  const std::vector<int> rows = ui_.SelectedRows(ListId::kTransponders);
  const int row = rows.empty() ? -1 : rows.front();
  st_.currentTpRow = row;
  const int item = CatalogueItemOfRow(row);
  if (item == st_.currentTpItem && CurrentDeliveryType() == kDvbS) return;
  st_.currentTpItem = item;
  ResolveCurrentTransponder();
  FillChannelList(ChannelFill::SelectRow(1));
}

}  // namespace pelagor
