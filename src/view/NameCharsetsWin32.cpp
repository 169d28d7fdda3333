#include "view/NameCharsets.h"

#include <windows.h>

#include <array>

namespace pelagor {

namespace {

// ISO 8859-5 to -9 for tables 1 to 5 (table 0, ISO/IEC 6937, is our own).
constexpr std::array<UINT, 6> kCodePages{0, 28595, 28596, 28597, 28598, 28599};

UINT CodePage(int table) { return kCodePages[size_t(table)]; }

std::string WideToUtf8(const wchar_t* w, int n) {
  if (n <= 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, w, n, nullptr, 0, nullptr, nullptr);
  std::string out(size_t(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, w, n, out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

std::string TableBytesToUtf8(std::string_view bytes, int table) {
  if (table <= 0 || table >= int(kCodePages.size())) return Iso6937ToUtf8(bytes);
  if (bytes.empty()) return {};
  const UINT cp = CodePage(table);
  const int n = int(bytes.size());
  std::wstring wide(bytes.size() + 1, L'\0');
  int got = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data(), n, wide.data(), int(wide.size()));
  if (got > 0) return WideToUtf8(wide.data(), got);
  // Some byte is unassigned: convert byte by byte, dropping what does not convert.
  std::string out;
  for (int i = 0; i < n; ++i) {
    wchar_t w[4];
    got = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data() + i, 1, w, 4);
    if (got > 0) out += WideToUtf8(w, got);
  }
  return out;
}

bool Utf8CharToTable(std::string_view utf8Char, int table, std::string& out) {
  if (table <= 0 || table >= int(kCodePages.size())) return Utf8CharToIso6937(utf8Char, out);
  wchar_t w[4];
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Char.data(), int(utf8Char.size()), w, 4);
  if (n <= 0) return false;
  char buf[8];
  BOOL usedDefault = FALSE;
  const int size =
      WideCharToMultiByte(CodePage(table), WC_NO_BEST_FIT_CHARS, w, n, buf, int(sizeof buf), nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return false;
  out.assign(buf, size_t(size));
  return true;
}

}  // namespace pelagor
