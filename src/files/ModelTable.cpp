#include "files/ModelTable.h"

#include <array>
#include <cstring>

namespace pelagor {

namespace {

struct TagKind {
  const char* tag;
  int kind;
};

// In the order the receiver's editor compares them.
constexpr std::array<TagKind, 22> kTags{{
    {"HDMAINSW", 0},  {"V_3920CH", 2},  {"VR3920CH", 3},  {"VM3920CH", 4},  {"M_3920CH", 5},  {"V4406HCH", 6},
    {"M4406HCH", 7},  {"HDCHNINF", 8},  {"KV55SSCH", 9},  {"V_3920ST", 11}, {"VR3920ST", 12}, {"VM3920ST", 13},
    {"M_3920ST", 14}, {"V4406HST", 15}, {"M4406HST", 16}, {"HDSATINF", 17}, {"KV55SSST", 18}, {"HDPCHINF", 19},
    {"HDBOOTLD", 20}, {"HDRAWBIN", 22}, {"HDTXTKEY", 23}, {"HDPRVINF", 25},
}};

// Indexed by ModelId; entry 0 is "no model", written unpacked like 4-6.
constexpr std::array<ModelInfo, 9> kModels{{
    {"", "", "", ChannelForm::kUnpacked, false},
    {"V_3920ST", "V_3920CH", "[V3920HD] ", ChannelForm::kPacked, false},
    {"VR3920ST", "VR3920CH", "[VR3920HD] ", ChannelForm::kPacked, false},
    {"VM3920ST", "VM3920CH", "[VM3920HD] ", ChannelForm::kPacked, false},
    {"", "", "", ChannelForm::kUnpacked, false},
    {"HDSATINF", "HDCHNINF", "[V5506HD] ", ChannelForm::kUnpacked, false},
    {"KV55SSST", "KV55SSCH", "[V6606HD] ", ChannelForm::kUnpacked, false},
    {"V4406HST", "V4406HCH", "[V4406HD] ", ChannelForm::kUnpacked, true},
    {"M4406HST", "M4406HCH", "[M4406HD] ", ChannelForm::kUnpacked, true},
}};

}  // namespace

int ClassifySectionTag(const uint8_t* tag8) {
  for (const TagKind& t : kTags)
    if (std::memcmp(tag8, t.tag, 8) == 0) return t.kind;
  return kKindUnknown;
}

ModelId ModelOfChannelKind(int kind) {
  switch (kind) {
    case 2: return 1;
    case 3: return 2;
    case 4: return 3;
    case 5: return 4;
    case 6: return 7;
    case 7: return 8;
    case 8: return 5;
    case 9: return 6;
    default: return kNoModel;
  }
}

const ModelInfo& ModelInfoFor(ModelId model) {
  if (model < 0 || model >= int(kModels.size())) return kModels[0];
  return kModels[size_t(model)];
}

}  // namespace pelagor
