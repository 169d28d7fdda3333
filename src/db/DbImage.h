#pragma once
// The receiver's channel database: one fixed-layout 639804-byte block, kept
// byte for byte as the receiver holds it. Fields are reached through
// accessors on byte offsets with explicit little-endian conversion, so every
// byte the editor does not interpret travels through unchanged.

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelagor {

// Sentinels: the values that mean "none".
inline constexpr uint8_t kNoSat = 0xFF;
inline constexpr uint16_t kNoTp = 0x7FF;
inline constexpr uint16_t kNoChan = 0xFFFF;
inline constexpr uint16_t kNoChanNumber = 0xFFFF;
inline constexpr uint16_t kNoPid = 8192;
inline constexpr uint16_t kFirstBadProvider = 2000;  // provider index >= this: none
inline constexpr uint8_t kNoCatalogueEntry = 0xFF;

// Limits.
inline constexpr int kMaxSats = 200;
inline constexpr int kMaxTps = 800;
inline constexpr int kMaxChans = 8000;
inline constexpr int kMaxChansPerTp = 255;
inline constexpr int kFavLists = 8;
inline constexpr int kFavEntries = 2000;
inline constexpr int kSatNameLen = 15;
inline constexpr int kChanNameLen = 24;
inline constexpr int kFavNameLen = 24;

// Layout of the block.
inline constexpr size_t kImageSize = 639804;
inline constexpr size_t kImageHeadOffset = 0;
inline constexpr size_t kImageHeadSize = 8;
inline constexpr size_t kSatTableOffset = 8;
inline constexpr size_t kSatRecordSize = 56;
inline constexpr size_t kTpTableOffset = 11208;
inline constexpr size_t kTpRecordSize = 44;
inline constexpr size_t kChanTableOffset = 46408;
inline constexpr size_t kChanRecordSize = 64;
inline constexpr size_t kChannelOrderOffset = 558408;
inline constexpr size_t kSatSlotBitmapOffset = 574408;
inline constexpr size_t kSatNumberBitmapOffset = 574436;
inline constexpr size_t kTpSlotBitmapOffset = 574464;
inline constexpr size_t kChanSlotBitmapOffset = 574564;
inline constexpr size_t kChanCountOffset = 575564;
inline constexpr size_t kCurrentChanOffset = 575566;
inline constexpr size_t kSatCountOffset = 575568;
inline constexpr size_t kFirstSatOffset = 575569;
inline constexpr size_t kFavNamesOffset = 575572;
inline constexpr size_t kFavNameFieldSize = 25;
inline constexpr size_t kFavLengthsOffset = 575772;
inline constexpr size_t kTvFavListsOffset = 575804;
inline constexpr size_t kRadioFavListsOffset = 607804;
inline constexpr size_t kFavListSize = kFavEntries * 2;

// SatRecord field offsets.
namespace sat {
inline constexpr size_t kName = 0;  // 16 bytes
inline constexpr size_t kTpCount = 16;
inline constexpr size_t kFirstTp = 18;
inline constexpr size_t kLastTp = 20;
inline constexpr size_t kLnbLow = 22;
inline constexpr size_t kLnbHigh = 24;
inline constexpr size_t kLinkWord = 28;
inline constexpr size_t kTunerWord = 32;
inline constexpr size_t kCreatedBytes = 38;  // two bytes set to 1 on creation
inline constexpr size_t kNumber = 48;        // two bytes, same value
inline constexpr size_t kNameSize = 16;
}  // namespace sat

// TpRecord field offsets.
namespace tp {
inline constexpr size_t kSat = 0;
inline constexpr size_t kChanCount = 1;
inline constexpr size_t kFrequency = 2;
inline constexpr size_t kFirstChan = 8;
inline constexpr size_t kLastChan = 10;
inline constexpr size_t kTpWord = 12;
inline constexpr size_t kSymbolRate = 16;
inline constexpr size_t kModFec = 20;
inline constexpr size_t kLabel = 21;  // 19 bytes
inline constexpr size_t kLabelSize = 19;
inline constexpr size_t kTunerWord = 40;
}  // namespace tp

// ChanRecord field offsets.
namespace chan {
inline constexpr size_t kTp = 0;
inline constexpr size_t kSid = 2;
inline constexpr size_t kVideoPid = 4;
inline constexpr size_t kPcrPid = 6;
inline constexpr size_t kPidSlot3 = 8;
inline constexpr size_t kPidSlot4 = 10;
inline constexpr size_t kChanWord = 12;
inline constexpr size_t kNext = 16;
inline constexpr size_t kName = 18;  // 25 bytes
inline constexpr size_t kNameSize = 25;
inline constexpr size_t kNumber = 44;
inline constexpr size_t kPidSlot5 = 46;
inline constexpr size_t kAudioPid = 48;
inline constexpr size_t kTunerWord = 54;  // 16-bit
inline constexpr size_t kProvider = 58;
}  // namespace chan

// Bit fields of the words, as (shift, width).
struct BitField {
  unsigned shift;
  unsigned width;
  [[nodiscard]] constexpr uint32_t Mask() const { return (width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u)) << shift; }
  [[nodiscard]] constexpr uint32_t Get(uint32_t word) const { return (word & Mask()) >> shift; }
  [[nodiscard]] constexpr uint32_t Set(uint32_t word, uint32_t value) const {
    return (word & ~Mask()) | ((value << shift) & Mask());
  }
};

namespace satlink {  // satellite link word
inline constexpr BitField kPrev{0, 8};
inline constexpr BitField kNext{8, 8};
inline constexpr BitField kCatalogue{16, 8};
inline constexpr BitField kNew{26, 1};
inline constexpr BitField kDelivery{27, 5};
}  // namespace satlink

namespace tuner {  // tuner word of satellites, TPs and channels
inline constexpr BitField kMarker{0, 1};
inline constexpr BitField kMaskA{1, 4};
inline constexpr BitField kMaskB{5, 4};
}  // namespace tuner

namespace tpw {  // TP word
inline constexpr BitField kPolarisation{0, 2};
inline constexpr BitField kExcluded{7, 1};
inline constexpr BitField kNew{9, 1};
inline constexpr BitField kPrev{10, 11};
inline constexpr BitField kNext{21, 11};
}  // namespace tpw

namespace chw {  // channel word
inline constexpr BitField kAddedByEditor{10, 1};
inline constexpr BitField kLock{11, 1};
inline constexpr BitField kCas{14, 1};
inline constexpr BitField kFavMask{15, 8};
inline constexpr BitField kServiceType{23, 2};
inline constexpr BitField kAudioCount{25, 6};
}  // namespace chw

// Delivery systems stored in the satellite link word.
inline constexpr uint32_t kDeliverySatellite = 1;
inline constexpr uint32_t kDeliveryTerrestrial = 2;
inline constexpr uint32_t kDeliveryCable = 3;

class DbImage {
 public:
  // A clean empty database: every slot free, free records carrying the
  // sentinels the writer normalises them to, order and favourite lists empty.
  DbImage();

  [[nodiscard]] static DbImage Zeroed();  // all bytes 0, for loading

  [[nodiscard]] uint8_t* Data() { return bytes_.data(); }
  [[nodiscard]] const uint8_t* Data() const { return bytes_.data(); }
  [[nodiscard]] static constexpr size_t Size() { return kImageSize; }

  bool operator==(const DbImage& other) const { return bytes_ == other.bytes_; }

  // Raw little-endian access at an absolute offset.
  [[nodiscard]] uint8_t U8(size_t off) const { return bytes_[off]; }
  void SetU8(size_t off, uint8_t v) { bytes_[off] = v; }
  [[nodiscard]] uint16_t U16(size_t off) const { return uint16_t(bytes_[off] | (bytes_[off + 1] << 8)); }
  void SetU16(size_t off, uint16_t v) {
    bytes_[off] = uint8_t(v);
    bytes_[off + 1] = uint8_t(v >> 8);
  }
  [[nodiscard]] uint32_t U32(size_t off) const {
    return uint32_t(bytes_[off]) | (uint32_t(bytes_[off + 1]) << 8) | (uint32_t(bytes_[off + 2]) << 16) |
           (uint32_t(bytes_[off + 3]) << 24);
  }
  void SetU32(size_t off, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[off + i] = uint8_t(v >> (8 * i));
  }

  // Record addresses; callers validate the index first.
  [[nodiscard]] static constexpr size_t SatOffset(int s) { return kSatTableOffset + kSatRecordSize * size_t(s); }
  [[nodiscard]] static constexpr size_t TpOffset(int t) { return kTpTableOffset + kTpRecordSize * size_t(t); }
  [[nodiscard]] static constexpr size_t ChanOffset(int c) { return kChanTableOffset + kChanRecordSize * size_t(c); }

  [[nodiscard]] static constexpr bool ValidSat(int s) { return s >= 0 && s < kMaxSats; }
  [[nodiscard]] static constexpr bool ValidTp(int t) { return t >= 0 && t < kMaxTps; }
  [[nodiscard]] static constexpr bool ValidChan(int c) { return c >= 0 && c < kMaxChans; }

  // Allocation bitmaps: bit i is bit (i mod 32) of little-endian word (i / 32).
  [[nodiscard]] bool Bit(size_t bitmapOff, int i) const {
    return (U32(bitmapOff + 4 * size_t(i / 32)) >> (i % 32)) & 1u;
  }
  void SetBit(size_t bitmapOff, int i, bool on);
  [[nodiscard]] bool SatInUse(int s) const { return ValidSat(s) && Bit(kSatSlotBitmapOffset, s); }
  [[nodiscard]] bool TpInUse(int t) const { return ValidTp(t) && Bit(kTpSlotBitmapOffset, t); }
  [[nodiscard]] bool ChanInUse(int c) const { return ValidChan(c) && Bit(kChanSlotBitmapOffset, c); }

  // Satellite fields.
  [[nodiscard]] uint16_t SatU16(int s, size_t field) const { return U16(SatOffset(s) + field); }
  void SetSatU16(int s, size_t field, uint16_t v) { SetU16(SatOffset(s) + field, v); }
  [[nodiscard]] uint32_t SatLink(int s) const { return U32(SatOffset(s) + sat::kLinkWord); }
  void SetSatLink(int s, uint32_t v) { SetU32(SatOffset(s) + sat::kLinkWord, v); }
  [[nodiscard]] uint32_t SatTuner(int s) const { return U32(SatOffset(s) + sat::kTunerWord); }
  void SetSatTuner(int s, uint32_t v) { SetU32(SatOffset(s) + sat::kTunerWord, v); }
  [[nodiscard]] uint32_t SatLinkField(int s, BitField f) const { return f.Get(SatLink(s)); }
  void SetSatLinkField(int s, BitField f, uint32_t v) { SetSatLink(s, f.Set(SatLink(s), v)); }
  [[nodiscard]] const uint8_t* SatName(int s) const { return bytes_.data() + SatOffset(s) + sat::kName; }
  [[nodiscard]] uint8_t* SatName(int s) { return bytes_.data() + SatOffset(s) + sat::kName; }
  [[nodiscard]] uint16_t SatTpCount(int s) const { return SatU16(s, sat::kTpCount); }
  [[nodiscard]] uint16_t SatFirstTp(int s) const { return SatU16(s, sat::kFirstTp); }
  [[nodiscard]] uint16_t SatLastTp(int s) const { return SatU16(s, sat::kLastTp); }
  [[nodiscard]] uint8_t SatCatalogueIndex(int s) const { return uint8_t(SatLinkField(s, satlink::kCatalogue)); }
  [[nodiscard]] uint32_t SatDelivery(int s) const { return SatLinkField(s, satlink::kDelivery); }
  [[nodiscard]] uint8_t SatNext(int s) const { return uint8_t(SatLinkField(s, satlink::kNext)); }
  [[nodiscard]] uint8_t SatPrev(int s) const { return uint8_t(SatLinkField(s, satlink::kPrev)); }

  // TP fields.
  [[nodiscard]] uint8_t TpSat(int t) const { return U8(TpOffset(t) + tp::kSat); }
  [[nodiscard]] uint8_t TpChanCount(int t) const { return U8(TpOffset(t) + tp::kChanCount); }
  [[nodiscard]] uint16_t TpU16(int t, size_t field) const { return U16(TpOffset(t) + field); }
  void SetTpU16(int t, size_t field, uint16_t v) { SetU16(TpOffset(t) + field, v); }
  [[nodiscard]] uint32_t TpWord(int t) const { return U32(TpOffset(t) + tp::kTpWord); }
  void SetTpWord(int t, uint32_t v) { SetU32(TpOffset(t) + tp::kTpWord, v); }
  [[nodiscard]] uint32_t TpWordField(int t, BitField f) const { return f.Get(TpWord(t)); }
  void SetTpWordField(int t, BitField f, uint32_t v) { SetTpWord(t, f.Set(TpWord(t), v)); }
  [[nodiscard]] uint32_t TpTuner(int t) const { return U32(TpOffset(t) + tp::kTunerWord); }
  void SetTpTuner(int t, uint32_t v) { SetU32(TpOffset(t) + tp::kTunerWord, v); }
  [[nodiscard]] uint16_t TpFrequency(int t) const { return TpU16(t, tp::kFrequency); }
  [[nodiscard]] uint16_t TpSymbolRate(int t) const { return TpU16(t, tp::kSymbolRate); }
  [[nodiscard]] uint8_t TpModFec(int t) const { return U8(TpOffset(t) + tp::kModFec); }
  [[nodiscard]] uint16_t TpFirstChan(int t) const { return TpU16(t, tp::kFirstChan); }
  [[nodiscard]] uint16_t TpLastChan(int t) const { return TpU16(t, tp::kLastChan); }
  [[nodiscard]] uint16_t TpNext(int t) const { return uint16_t(TpWordField(t, tpw::kNext)); }
  [[nodiscard]] uint16_t TpPrev(int t) const { return uint16_t(TpWordField(t, tpw::kPrev)); }
  [[nodiscard]] const uint8_t* TpLabel(int t) const { return bytes_.data() + TpOffset(t) + tp::kLabel; }

  // Channel fields.
  [[nodiscard]] uint16_t ChanU16(int c, size_t field) const { return U16(ChanOffset(c) + field); }
  void SetChanU16(int c, size_t field, uint16_t v) { SetU16(ChanOffset(c) + field, v); }
  [[nodiscard]] uint32_t ChanWord(int c) const { return U32(ChanOffset(c) + chan::kChanWord); }
  void SetChanWord(int c, uint32_t v) { SetU32(ChanOffset(c) + chan::kChanWord, v); }
  [[nodiscard]] uint32_t ChanWordField(int c, BitField f) const { return f.Get(ChanWord(c)); }
  void SetChanWordField(int c, BitField f, uint32_t v) { SetChanWord(c, f.Set(ChanWord(c), v)); }
  [[nodiscard]] uint16_t ChanTuner(int c) const { return ChanU16(c, chan::kTunerWord); }
  void SetChanTuner(int c, uint16_t v) { SetChanU16(c, chan::kTunerWord, v); }
  [[nodiscard]] uint16_t ChanTp(int c) const { return ChanU16(c, chan::kTp); }
  [[nodiscard]] uint16_t ChanNext(int c) const { return ChanU16(c, chan::kNext); }
  [[nodiscard]] uint16_t ChanNumber(int c) const { return ChanU16(c, chan::kNumber); }
  [[nodiscard]] uint16_t ChanSid(int c) const { return ChanU16(c, chan::kSid); }
  [[nodiscard]] uint16_t ChanProvider(int c) const { return ChanU16(c, chan::kProvider); }
  [[nodiscard]] const uint8_t* ChanName(int c) const { return bytes_.data() + ChanOffset(c) + chan::kName; }
  [[nodiscard]] uint8_t* ChanName(int c) { return bytes_.data() + ChanOffset(c) + chan::kName; }

  // Counters.
  [[nodiscard]] uint16_t ChanCount() const { return U16(kChanCountOffset); }
  void SetChanCount(uint16_t v) { SetU16(kChanCountOffset, v); }
  [[nodiscard]] uint16_t CurrentChan() const { return U16(kCurrentChanOffset); }
  void SetCurrentChan(uint16_t v) { SetU16(kCurrentChanOffset, v); }
  [[nodiscard]] uint8_t SatCount() const { return U8(kSatCountOffset); }
  void SetSatCount(uint8_t v) { SetU8(kSatCountOffset, v); }
  [[nodiscard]] uint8_t FirstSat() const { return U8(kFirstSatOffset); }
  void SetFirstSat(uint8_t v) { SetU8(kFirstSatOffset, v); }

  // Channel order: 8000 16-bit channel indices.
  [[nodiscard]] uint16_t Order(int i) const { return U16(kChannelOrderOffset + 2 * size_t(i)); }
  void SetOrder(int i, uint16_t v) { SetU16(kChannelOrderOffset + 2 * size_t(i), v); }

  // Favourite lists: service type 0 TV, anything else radio; k = 0..7.
  [[nodiscard]] static constexpr size_t FavListOffset(int type, int k) {
    return (type == 0 ? kTvFavListsOffset : kRadioFavListsOffset) + kFavListSize * size_t(k);
  }
  [[nodiscard]] static constexpr size_t FavLengthOffset(int type, int k) {
    return kFavLengthsOffset + 2 * size_t((type == 0 ? 0 : 8) + k);
  }
  [[nodiscard]] uint16_t FavEntry(int type, int k, int i) const { return U16(FavListOffset(type, k) + 2 * size_t(i)); }
  void SetFavEntry(int type, int k, int i, uint16_t v) { SetU16(FavListOffset(type, k) + 2 * size_t(i), v); }
  [[nodiscard]] uint16_t FavLength(int type, int k) const { return U16(FavLengthOffset(type, k)); }
  void SetFavLength(int type, int k, uint16_t v) { SetU16(FavLengthOffset(type, k), v); }
  [[nodiscard]] const uint8_t* FavName(int k) const {
    return bytes_.data() + kFavNamesOffset + kFavNameFieldSize * size_t(k);
  }
  [[nodiscard]] uint8_t* FavName(int k) { return bytes_.data() + kFavNamesOffset + kFavNameFieldSize * size_t(k); }

 private:
  struct ZeroTag {};
  explicit DbImage(ZeroTag) : bytes_{} {}
  std::array<uint8_t, kImageSize> bytes_;
};

}  // namespace pelagor
