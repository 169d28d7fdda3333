#include "files/ChannelSection.h"

#include <cstring>
#include <memory>

namespace pelagor {

void NormaliseFreeSlots(DbImage& img) {
  for (int s = 0; s < kMaxSats; ++s) {
    if (img.SatInUse(s)) continue;
    if (img.SatName(s)[0] == 0 && img.SatTpCount(s) == 0 && img.SatFirstTp(s) == 0 && img.SatLastTp(s) == 0 &&
        img.SatU16(s, sat::kLnbLow) == 0) {
      img.SetSatU16(s, sat::kFirstTp, kNoTp);
      img.SetSatU16(s, sat::kLastTp, kNoTp);
    }
  }
  for (int t = 0; t < kMaxTps; ++t) {
    if (img.TpInUse(t)) continue;
    if (img.TpFrequency(t) == 0 && img.TpSymbolRate(t) == 0) {
      img.SetU8(DbImage::TpOffset(t) + tp::kSat, kNoSat);
      img.SetTpU16(t, tp::kFirstChan, kNoChan);
      img.SetTpU16(t, tp::kLastChan, kNoChan);
    }
  }
  for (int c = 0; c < kMaxChans; ++c) {
    if (img.ChanInUse(c)) continue;
    if (img.ChanTp(c) == 0 && img.ChanSid(c) == 0 && img.ChanU16(c, chan::kVideoPid) == 0 &&
        img.ChanU16(c, chan::kAudioPid) == 0 && img.ChanU16(c, chan::kPidSlot4) == 0) {
      img.SetChanU16(c, chan::kTp, kNoTp);
      img.SetChanU16(c, chan::kNext, kNoChan);
      img.SetChanU16(c, chan::kNumber, kNoChanNumber);
      std::memset(img.ChanName(c), 0xFF, chan::kNameSize);
    }
  }
}

namespace {

void ForceMarkers(DbImage& img, ModelId model) {
  if (model == 7 || model == 8) return;
  const bool clear = model >= 1 && model <= 3;
  if (!clear)
    for (int s = 0; s < kMaxSats; ++s) img.SetSatTuner(s, tuner::kMarker.Set(img.SatTuner(s), 1));
  for (int t = 0; t < kMaxTps; ++t) img.SetTpTuner(t, tuner::kMarker.Set(img.TpTuner(t), clear ? 0 : 1));
  for (int c = 0; c < kMaxChans; ++c)
    img.SetChanTuner(c, uint16_t(tuner::kMarker.Set(img.ChanTuner(c), clear ? 0 : 1)));
}

}  // namespace

std::vector<uint8_t> BuildChannelBody(const DbImage& img, ModelId model) {
  auto copy = std::make_unique<DbImage>(img);
  ForceMarkers(*copy, model);
  NormaliseFreeSlots(*copy);
  std::vector<uint8_t> body(copy->Data(), copy->Data() + kImageSize);
  if (ModelInfoFor(model).form == ChannelForm::kPacked) {
    for (int s = 0; s < kMaxSats; ++s) {
      uint8_t* rec = body.data() + DbImage::SatOffset(s);
      // Link and tuner words move down two bytes; bytes 34-35 keep the
      // memory record's own bytes.
      std::memmove(rec + kPackedSatLinkWord, rec + sat::kLinkWord, 8);
    }
  }
  return body;
}

void ReadChannelBody(const uint8_t* body, ChannelForm form, DbImage& out) {
  std::memcpy(out.Data(), body, kImageSize);
  if (form != ChannelForm::kPacked) return;
  for (int s = 0; s < kMaxSats; ++s) {
    uint8_t* rec = out.Data() + DbImage::SatOffset(s);
    std::memcpy(rec + sat::kLinkWord, body + DbImage::SatOffset(s) + kPackedSatLinkWord, 8);
    rec[26] = 0;
    rec[27] = 0;
  }
}

}  // namespace pelagor
