#include "view/ChannelNameCodec.h"

#include "view/NameCharsets.h"

namespace pelagor {

namespace {

constexpr int kTables = 6;

int ValidTable(int table) { return table >= 0 && table < kTables ? table : kDefaultNameTable; }

// Length of the UTF-8 sequence starting with b, 0 when b cannot start one.
size_t Utf8Length(unsigned char b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return b >= 0xC2 ? 2 : 0;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0 && b <= 0xF4) return 4;
  return 0;
}

}  // namespace

int ChannelNameTable(const uint8_t* field25) {
  return field25[0] >= 0x01 && field25[0] <= 0x05 ? int(field25[0]) : kDefaultNameTable;
}

std::string DecodeNameBytes(const uint8_t* bytes, size_t length, int table) {
  std::string in;
  in.reserve(length);
  for (size_t i = 0; i < length && bytes[i] != 0; ++i) {
    const uint8_t b = bytes[i];
    if (b < 0x20 || b == 0x7F || (b >= 0x80 && b < 0xA0)) continue;  // C0/C1 controls
    in.push_back(char(b));
  }
  return TableBytesToUtf8(in, ValidTable(table));
}

bool EncodeNameText(std::string_view utf8, int table, size_t maxBytes, std::string& out) {
  std::string bytes;
  bool full = false;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = Utf8Length(static_cast<unsigned char>(utf8[i]));
    if (n == 0 || i + n > utf8.size()) return false;
    std::string ch;
    if (!Utf8CharToTable(utf8.substr(i, n), ValidTable(table), ch)) return false;
    const size_t produced = ch.size();
    // Every character is checked, even past the length that is kept.
    if (!full && bytes.size() + produced <= maxBytes) {
      bytes += ch;
    } else {
      full = true;
    }
    i += n;
  }
  out = std::move(bytes);
  return true;
}

}  // namespace pelagor
