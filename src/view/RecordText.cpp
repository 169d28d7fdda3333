#include "view/RecordText.h"

#include "view/ChannelNameCodec.h"

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
  if (int8_t(field25[0]) < 32) return DecodeNameBytes(field25 + 1, 24, ChannelNameTable(field25));
  return DecodeNameBytes(field25, 25, kDefaultNameTable);
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

namespace pelagor {

namespace {

char32_t FoldCodePoint(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return c + 32;   // Latin-1
  if (c >= 0x100 && c <= 0x137) return c | 1;  // Latin Extended-A, pairs
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return c | 1;
  if (c == 0x178) return 0xFF;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
  if (c == 0x386) return 0x3AC;  // Greek with tonos
  if (c >= 0x388 && c <= 0x38A) return c + 37;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 63;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;  // Greek
  if (c >= 0x400 && c <= 0x40F) return c + 80;                // Cyrillic
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  return c;
}

void PutUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(char(c));
  } else if (c < 0x800) {
    out.push_back(char(0xC0 | (c >> 6)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (c >> 18)));
    out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string FoldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    const size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
    if (len == 1 || i + len > utf8.size()) {
      out.push_back(b < 0x80 ? char(FoldCodePoint(b)) : char(b));
      ++i;
      continue;
    }
    char32_t c = len == 2 ? (b & 0x1Fu) : len == 3 ? (b & 0x0Fu) : (b & 0x07u);
    bool ok = true;
    for (size_t k = 1; k < len; ++k) {
      const unsigned char n = static_cast<unsigned char>(utf8[i + k]);
      if ((n & 0xC0) != 0x80) ok = false;
      c = (c << 6) | (n & 0x3Fu);
    }
    if (!ok) {
      out.push_back(char(b));
      ++i;
      continue;
    }
    PutUtf8(out, FoldCodePoint(c));
    i += len;
  }
  return out;
}

}  // namespace pelagor
