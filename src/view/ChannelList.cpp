#include "view/ChannelList.h"

#include <algorithm>

#include "view/DisplayText.h"
#include "view/RecordText.h"

namespace pelagor {

namespace {

// Delivery system of the satellite a TP hangs on, 0 when it has none.
uint32_t DeliveryOfTp(const DbImage& img, int t) {
  const uint8_t s = img.TpSat(t);
  return DbImage::ValidSat(s) ? img.SatDelivery(s) : 0;
}

bool TerrestrialOrCable(uint32_t delivery) { return delivery == kDeliveryTerrestrial || delivery == kDeliveryCable; }

}  // namespace

int ChannelDisplayTp(const DbImage& img, uint16_t c) {
  const uint16_t t = img.ChanTp(c);
  return t >= kMaxTps ? 0 : t;
}

ChannelList::ChannelList(const Workspace& ws) : ws_(ws) {
  rowMap_.fill(kNoChan);
  for (int k = 0; k < kFavLists; ++k) favoriteNames_[size_t(k)] = "Favorite-" + std::to_string(k + 1);
}

const std::vector<ListColumn>& ChannelList::Columns() {
  static const std::vector<ListColumn> kColumns{
      {"No.", 50},  {"Chan No.", 50},  {"Chan Name", 160}, {"Satellite", 100}, {"Freq.", 60},
      {"Pol.", 40}, {"CAS", 40},       {"V_PID", 48},      {"A_PID", 48},      {"P_PID", 48},
      {"SID", 48},  {"Favorite", 100}, {"Lock", 40},       {"Provider", 100},
  };
  return kColumns;
}

// ---- Filter and rows ----

bool ChannelList::Shown(uint16_t c, const ChannelPlace& place) const {
  if (c >= kMaxChans) return false;
  const DbImage& img = Image();
  const uint32_t word = img.ChanWord(c);
  if (int(chw::kServiceType.Get(word)) != int(filter_.service)) return false;
  if (filter_.favorite > 0 && !((chw::kFavMask.Get(word) >> (filter_.favorite - 1)) & 1u)) return false;
  const bool cas = chw::kCas.Get(word) != 0;
  if ((filter_.cas == CasFilter::kFreeToAir && cas) || (filter_.cas == CasFilter::kScrambled && !cas)) return false;
  if (!filter_.nameFolded.empty() &&
      FoldCase(ChannelNameText(img.ChanName(c))).find(filter_.nameFolded) == std::string::npos) {
    return false;
  }
  const bool currentSat = filter_.satellite == PlaceFilter::kCurrent;
  const bool currentTp = filter_.transponder == PlaceFilter::kCurrent;
  const uint16_t rawTp = img.ChanTp(c);
  if (currentTp && (place.transponder == kNoTp || place.transponder != rawTp)) return false;
  const int type = place.deliveryType;
  if (type == kDvbT || type == kDvbC) {
    if (currentSat && DeliveryOfTp(img, ChannelDisplayTp(img, c)) != uint32_t(type + 1)) return false;
  } else {
    // A broken TP index stands for satellite 0 here.
    const uint8_t s = rawTp >= kMaxTps ? 0 : img.TpSat(rawTp);
    if (currentSat && s != place.satellite) return false;
  }
  return true;
}

void ChannelList::Rebuild(const ChannelPlace& place) {
  const DbImage& img = Image();
  refreshForm_ = false;
  rowMap_.fill(kNoChan);
  int rows = 0;
  auto take = [&](uint16_t c) {
    if (c >= kMaxChans || rows >= kMaxChans || !Shown(c, place)) return;
    rowMap_[size_t(rows++)] = c;
  };
  if (filter_.favorite == 0) {
    for (int i = 0; i < kMaxChans; ++i) take(img.Order(i));
  } else {
    const int type01 = filter_.service == ServiceType::kTv ? 0 : 1;
    for (int i = 0; i < kFavEntries; ++i) take(img.FavEntry(type01, filter_.favorite - 1, i));
  }
  rowCount_ = rows;
}

void ChannelList::ShowAll() {
  const DbImage& img = Image();
  refreshForm_ = false;
  rowMap_.fill(kNoChan);
  int rows = 0;
  for (int i = 0; i < kMaxChans; ++i) {
    const uint16_t c = img.Order(i);
    if (c == kNoChan || !img.ChanInUse(c)) continue;
    rowMap_[size_t(rows++)] = c;
  }
  rowCount_ = rows;
}

void ChannelList::SetRows(const std::vector<uint16_t>& channels) {
  const size_t n = std::min(channels.size(), rowMap_.size());
  std::copy_n(channels.begin(), n, rowMap_.begin());
  std::fill(rowMap_.begin() + std::ptrdiff_t(n), rowMap_.end(), kNoChan);
  rowCount_ = int(n);
}

uint16_t ChannelList::ChannelOfRow(int row) const {
  if (row < 0 || row >= rowCount_ || row >= kMaxChans) return kNoChan;
  return rowMap_[size_t(row)];
}

// ---- Texts ----

bool ChannelList::LoadFavoriteNames() {
  if (!ws_.catalogue.Present()) return false;
  for (int k = 0; k < kFavLists; ++k) {
    favoriteNames_[size_t(k)] = DecodeRecordText(Image().FavName(k), kFavNameFieldSize);
  }
  return true;
}

std::string ChannelList::SatelliteName(uint16_t c) const {
  const DbImage& img = Image();
  const uint8_t s = img.TpSat(ChannelDisplayTp(img, c));
  if (!DbImage::ValidSat(s)) return "";
  if (refreshForm_) {
    if (img.SatDelivery(s) == kDeliveryTerrestrial) return "DVB-T";
    if (img.SatDelivery(s) == kDeliveryCable) return "DVB-C";
  }
  return DecodeRecordText(img.SatName(s), sat::kNameSize);
}

int ChannelList::Frequency(uint16_t c) const {
  const DbImage& img = Image();
  const int t = ChannelDisplayTp(img, c);
  const int f = img.TpFrequency(t);
  return TerrestrialOrCable(DeliveryOfTp(img, t)) ? f * 100 : f;
}

std::string ChannelList::Polarisation(uint16_t c) const {
  const DbImage& img = Image();
  const int t = ChannelDisplayTp(img, c);
  if (refreshForm_ && TerrestrialOrCable(DeliveryOfTp(img, t))) return "-";
  return std::string(ChannelListPolarisation(int(img.TpWordField(t, tpw::kPolarisation))));
}

std::vector<int> ChannelList::FavoriteLists(uint16_t c) const {
  std::vector<int> lists;
  const uint32_t mask = Image().ChanWordField(c, chw::kFavMask);
  for (int k = 0; k < kFavLists; ++k) {
    if (mask & (1u << k)) lists.push_back(k + 1);
  }
  return lists;
}

std::optional<std::string> ChannelList::ProviderName(uint16_t c) const {
  const uint16_t p = Image().ChanProvider(c);
  if (!ws_.providerPresent || p >= kFirstBadProvider) return std::nullopt;
  return DecodeRecordText(ws_.providers.entries[p].name.data(), kProviderNameSize);
}

std::string ChannelList::Cell(int row, int column) const {
  const uint16_t c = ChannelOfRow(row);
  if (!DbImage::ValidChan(c)) return "";
  const DbImage& img = Image();
  switch (column) {
    case kColNo: return std::to_string(row + 1);
    case kColChanNo: return std::to_string(img.ChanNumber(c));
    case kColName: return ChannelNameText(img.ChanName(c));
    case kColSatellite: return SatelliteName(c);
    case kColFreq: return std::to_string(Frequency(c));
    case kColPol: return Polarisation(c);
    case kColCas: return img.ChanWordField(c, chw::kCas) ? "O" : "X";
    case kColVPid: return std::to_string(img.ChanU16(c, chan::kVideoPid));
    case kColAPid: return std::to_string(img.ChanU16(c, chan::kAudioPid));
    case kColPPid: return std::to_string(img.ChanU16(c, chan::kPcrPid));
    case kColSid: return std::to_string(img.ChanSid(c));
    case kColFavorite: {
      std::string s;
      for (int k : FavoriteLists(c)) s += favoriteNames_[size_t(k - 1)] + ",";
      if (!s.empty()) s.pop_back();
      return s;
    }
    case kColLock: return img.ChanWordField(c, chw::kLock) ? "O" : "";
    case kColProvider: return ProviderName(c).value_or("N/A");
    default: return "";
  }
}

std::vector<std::vector<std::string>> ChannelList::Table() const {
  std::vector<std::vector<std::string>> table;
  std::vector<std::string> headings;
  for (const ListColumn& c : Columns()) headings.push_back(c.heading);
  table.push_back(std::move(headings));
  for (int row = 0; row < rowCount_; ++row) {
    std::vector<std::string> cells;
    for (int col = 0; col < kChannelColumns; ++col) cells.push_back(Cell(row, col));
    table.push_back(std::move(cells));
  }
  return table;
}

}  // namespace pelagor
