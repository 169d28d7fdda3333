#include "view/ChannelNameCodec.h"

#include <iconv.h>

#include <array>
#include <cerrno>

namespace pelagor {

namespace {

constexpr std::array<const char*, 6> kCharsets{"ISO6937", "ISO-8859-5", "ISO-8859-6",
                                               "ISO-8859-7", "ISO-8859-8", "ISO-8859-9"};

// One converter per table and direction, opened on first use. Descriptors
// keep shift state, so each thread has its own.
class Converters {
 public:
  ~Converters() {
    for (auto& row : cd_) {
      for (iconv_t cd : row) {
        if (cd != kNone) iconv_close(cd);
      }
    }
  }
  iconv_t Get(int table, bool toUtf8) {
    iconv_t& cd = cd_[size_t(table)][toUtf8 ? 1 : 0];
    if (cd == kNone) {
      cd = toUtf8 ? iconv_open("UTF-8", kCharsets[size_t(table)]) : iconv_open(kCharsets[size_t(table)], "UTF-8");
    }
    if (cd != kNone) iconv(cd, nullptr, nullptr, nullptr, nullptr);  // fresh state
    return cd;
  }

 private:
  static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
  std::array<std::array<iconv_t, 2>, 6> cd_{{{kNone, kNone}, {kNone, kNone}, {kNone, kNone},
                                              {kNone, kNone}, {kNone, kNone}, {kNone, kNone}}};
};

Converters& ThreadConverters() {
  thread_local Converters c;
  return c;
}

int ValidTable(int table) { return table >= 0 && table < int(kCharsets.size()) ? table : kDefaultNameTable; }

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
  std::string out;
  iconv_t cd = ThreadConverters().Get(ValidTable(table), true);
  if (cd == reinterpret_cast<iconv_t>(-1)) return in;
  char buf[8];
  char* src = in.data();
  size_t left = in.size();
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, size_t(dst - buf));
    if (r == size_t(-1) && errno != E2BIG) {
      // An unassigned byte, or a diacritical mark with nothing after it.
      ++src;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

bool EncodeNameText(std::string_view utf8, int table, size_t maxBytes, std::string& out) {
  iconv_t cd = ThreadConverters().Get(ValidTable(table), false);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string bytes;
  bool full = false;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = Utf8Length(static_cast<unsigned char>(utf8[i]));
    if (n == 0 || i + n > utf8.size()) return false;
    std::string ch(utf8.substr(i, n));
    char buf[8];
    char* src = ch.data();
    size_t left = ch.size();
    char* dst = buf;
    size_t room = sizeof buf;
    if (iconv(cd, &src, &left, &dst, &room) == size_t(-1) || left != 0) return false;
    const size_t produced = size_t(dst - buf);
    if (produced == 0) return false;
    // Every character is checked, even past the length that is kept.
    if (!full && bytes.size() + produced <= maxBytes) {
      bytes.append(buf, produced);
    } else {
      full = true;
    }
    i += n;
  }
  out = std::move(bytes);
  return true;
}

}  // namespace pelagor
