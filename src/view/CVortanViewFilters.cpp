// The form's filters: delivery type and tuner buttons, service type, CAS,
// favourite, satellite and TP filters, the satellite combo and its order, and
// Find (the name filter above the channel list). Each refills the lists.

#include <algorithm>

#include "view/CVortanView.h"
#include "view/RecordText.h"

namespace pelagor {

void CVortanView::OnFindTextChanged(const std::string& text) {
  ChannelFilter& filter = list_.Filter();
  if (text == filter.name) return;
  filter.name = text;
  filter.nameFolded = FoldCase(text);
  FillChannelList(ChannelFill::SelectRow(1));
}

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
