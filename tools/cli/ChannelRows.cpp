#include "ChannelRows.h"

#include "CliSupport.h"
#include "view/DisplayText.h"
#include "view/RecordText.h"

namespace pelagor::cli {

std::vector<ChannelRow> ListChannels(const Workspace& ws) {
  const DbImage& img = *ws.image;
  std::vector<ChannelRow> rows;
  for (int i = 0; i < kMaxChans; ++i) {
    const int c = img.Order(i);
    if (c == kNoChan || !img.ChanInUse(c)) continue;
    ChannelRow r;
    r.index = c;
    r.rawNumber = img.ChanNumber(c);
    if (r.rawNumber != kNoChanNumber) r.number = r.rawNumber;
    // As the list shows it: in its character table, without the selector.
    r.name = ChannelNameText(img.ChanName(c));
    const uint32_t word = img.ChanWord(c);
    r.radio = chw::kServiceType.Get(word) != 0;
    r.scrambled = chw::kCas.Get(word) != 0;
    r.locked = chw::kLock.Get(word) != 0;
    // A TP index past the table stands for TP 0, as in the editor's list.
    int t = img.ChanTp(c);
    if (!DbImage::ValidTp(t)) t = 0;
    const int s = img.TpSat(t);
    uint32_t delivery = kDeliverySatellite;
    if (DbImage::ValidSat(s)) {
      r.satellite = RecordText(img.SatName(s), sat::kNameSize);
      delivery = img.SatDelivery(s);
    }
    r.frequency = img.TpFrequency(t);
    if (delivery == kDeliveryTerrestrial || delivery == kDeliveryCable) r.frequency *= 100;
    r.polarisation = std::string(ChannelListPolarisation(int(img.TpWordField(t, tpw::kPolarisation))));
    r.videoPid = img.ChanU16(c, chan::kVideoPid);
    r.audioPid = img.ChanU16(c, chan::kAudioPid);
    r.pcrPid = img.ChanU16(c, chan::kPcrPid);
    r.sid = img.ChanSid(c);
    const uint32_t fav = chw::kFavMask.Get(word);
    for (int k = 0; k < kFavLists; ++k) {
      if (!((fav >> k) & 1u)) continue;
      r.favourites.push_back(k + 1);
      if (!r.favouriteNames.empty()) r.favouriteNames += ',';
      r.favouriteNames += RecordText(img.FavName(k), kFavNameFieldSize);
    }
    const uint16_t p = img.ChanProvider(c);
    if (ws.providerPresent && p < kProviderEntries) r.provider = RecordText(ws.providers.entries[p].name.data(), kProviderNameSize);
    rows.push_back(std::move(r));
  }
  return rows;
}

const std::vector<std::string>& ChannelHeadings() {
  static const std::vector<std::string> kHeadings{"No.",   "Chan No.", "Chan Name", "Satellite", "Freq.",
                                                  "Pol.",  "CAS",      "V_PID",     "A_PID",     "P_PID",
                                                  "SID",   "Favorite", "Lock",      "Provider"};
  return kHeadings;
}

std::vector<std::string> ChannelCells(const ChannelRow& r, int rowNumber) {
  return {std::to_string(rowNumber),
          std::to_string(r.rawNumber),
          r.name,
          r.satellite,
          std::to_string(r.frequency),
          r.polarisation,
          r.scrambled ? "O" : "X",
          std::to_string(r.videoPid),
          std::to_string(r.audioPid),
          std::to_string(r.pcrPid),
          std::to_string(r.sid),
          r.favouriteNames,
          r.locked ? "O" : "",
          r.provider.value_or("N/A")};
}

}  // namespace pelagor::cli
