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

}  // namespace pelagor
