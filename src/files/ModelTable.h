#pragma once
// Receiver models and the section tags of the download image.

#include <cstdint>
#include <string_view>

namespace pelagor {

// Receiver model 1 to 8; 0 when no model is known yet.
using ModelId = int;
inline constexpr ModelId kNoModel = 0;

// Section kinds as ClassifySectionTag reports them.
enum SectionKind : int {
  kKindMainSoftware = 0,
  kKindChannelFirst = 2,  // 2..9 are channel sections
  kKindChannelLast = 9,
  kKindSatelliteFirst = 11,  // 11..18 are satellite sections
  kKindSatelliteLast = 18,
  kKindRawData = 22,
  kKindProvider = 25,
  kKindUnknown = 255,
};

// Kind of the section whose header begins with these 8 tag bytes.
[[nodiscard]] int ClassifySectionTag(const uint8_t* tag8);
[[nodiscard]] inline bool IsChannelKind(int kind) { return kind >= kKindChannelFirst && kind <= kKindChannelLast; }
[[nodiscard]] inline bool IsSatelliteKind(int kind) {
  return kind >= kKindSatelliteFirst && kind <= kKindSatelliteLast;
}

// The model a channel section of this kind belongs to (kNoModel for others).
[[nodiscard]] ModelId ModelOfChannelKind(int kind);

enum class ChannelForm { kPacked, kUnpacked };

struct ModelInfo {
  std::string_view satelliteTag;  // empty: the loaded tag is kept
  std::string_view channelTag;
  std::string_view titlePrefix;
  ChannelForm form;
  bool providerBigEndian;
};

// What a model writes; the no-model entry for 0 and anything out of range.
[[nodiscard]] const ModelInfo& ModelInfoFor(ModelId model);

}  // namespace pelagor
