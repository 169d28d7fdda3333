#include "view/RecordText.h"

namespace pelagor {

std::string DecodeRecordText(const uint8_t* bytes, size_t maxLength) {
  std::string out;
  out.reserve(maxLength);
  for (size_t i = 0; i < maxLength; ++i) {
    const uint8_t b = bytes[i];
    if (b == 0) break;
    if (b < 0x20 || b == 0x7F || (b >= 0x80 && b < 0xA0)) continue;  // C0/C1 controls
    if (b < 0x80) {
      out.push_back(char(b));
    } else {
      out.push_back(char(0xC0 | (b >> 6)));
      out.push_back(char(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

std::string ChannelNameText(const uint8_t* field25) {
  if (int8_t(field25[0]) < 32) return DecodeRecordText(field25 + 1, 24);
  return DecodeRecordText(field25, 25);
}

}  // namespace pelagor
