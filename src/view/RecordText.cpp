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

std::string EncodeRecordText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out.push_back(char(b));
      ++i;
      continue;
    }
    // Length of the sequence from its lead byte; a stray continuation byte
    // stands alone.
    const size_t len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
    size_t n = 1;
    while (n < len && i + n < utf8.size() && (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80) ++n;
    if (len == 2 && n == 2) {
      const unsigned cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
      out.push_back(cp >= 0x80 && cp <= 0xFF ? char(cp) : '?');  // past Latin-1, or overlong
    } else {
      out.push_back('?');
    }
    i += n;
  }
  return out;
}

}  // namespace pelagor
