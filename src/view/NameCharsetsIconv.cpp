#include "view/NameCharsets.h"

#include <iconv.h>

#include <array>
#include <cerrno>

namespace pelagor {

namespace {

constexpr std::array<const char*, 6> kCharsets{"ISO6937",    "ISO-8859-5", "ISO-8859-6",
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
    if (table < 0 || table >= int(kCharsets.size())) table = 0;
    iconv_t& cd = cd_[size_t(table)][toUtf8 ? 1 : 0];
    if (cd == kNone) {
      cd = toUtf8 ? iconv_open("UTF-8", kCharsets[size_t(table)]) : iconv_open(kCharsets[size_t(table)], "UTF-8");
    }
    if (cd != kNone) iconv(cd, nullptr, nullptr, nullptr, nullptr);  // fresh state
    return cd;
  }
  static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

 private:
  std::array<std::array<iconv_t, 2>, 6> cd_{
      {{kNone, kNone}, {kNone, kNone}, {kNone, kNone}, {kNone, kNone}, {kNone, kNone}, {kNone, kNone}}};
};

Converters& ThreadConverters() {
  thread_local Converters c;
  return c;
}

}  // namespace

std::string TableBytesToUtf8(std::string_view bytes, int table) {
  if (table <= 0 || table >= int(kCharsets.size())) return Iso6937ToUtf8(bytes);
  std::string in(bytes);
  iconv_t cd = ThreadConverters().Get(table, true);
  if (cd == Converters::kNone) return in;
  std::string out;
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

bool Utf8CharToTable(std::string_view utf8Char, int table, std::string& out) {
  if (table <= 0 || table >= int(kCharsets.size())) return Utf8CharToIso6937(utf8Char, out);
  iconv_t cd = ThreadConverters().Get(table, false);
  if (cd == Converters::kNone) return false;
  std::string ch(utf8Char);
  char buf[8];
  char* src = ch.data();
  size_t left = ch.size();
  char* dst = buf;
  size_t room = sizeof buf;
  if (iconv(cd, &src, &left, &dst, &room) == size_t(-1) || left != 0 || dst == buf) return false;
  out.assign(buf, size_t(dst - buf));
  return true;
}

}  // namespace pelagor
