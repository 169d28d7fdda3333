#include "db/DbImage.h"

#include <cstring>

namespace pelagor {

DbImage DbImage::Zeroed() { return DbImage(ZeroTag{}); }

DbImage::DbImage() : bytes_{} {
  for (int s = 0; s < kMaxSats; ++s) {
    SetSatU16(s, sat::kFirstTp, kNoTp);
    SetSatU16(s, sat::kLastTp, kNoTp);
  }
  for (int t = 0; t < kMaxTps; ++t) {
    SetU8(TpOffset(t) + tp::kSat, kNoSat);
    SetTpU16(t, tp::kFirstChan, kNoChan);
    SetTpU16(t, tp::kLastChan, kNoChan);
  }
  for (int c = 0; c < kMaxChans; ++c) {
    SetChanU16(c, chan::kTp, kNoTp);
    SetChanU16(c, chan::kNext, kNoChan);
    SetChanU16(c, chan::kNumber, kNoChanNumber);
    std::memset(ChanName(c), 0xFF, chan::kNameSize);
    SetOrder(c, kNoChan);
  }
  std::memset(bytes_.data() + kTvFavListsOffset, 0xFF, 2 * kFavLists * kFavListSize);
  SetCurrentChan(kNoChan);
  SetFirstSat(kNoSat);
}

void DbImage::SetBit(size_t bitmapOff, int i, bool on) {
  const size_t off = bitmapOff + 4 * size_t(i / 32);
  const uint32_t bit = 1u << (i % 32);
  const uint32_t w = U32(off);
  SetU32(off, on ? (w | bit) : (w & ~bit));
}

}  // namespace pelagor
