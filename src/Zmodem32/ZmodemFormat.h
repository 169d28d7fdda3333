#pragma once
// Small text helpers of the engine: printf into a string and fixed-size cuts.

#include <cstdarg>
#include <cstdio>
#include <string>

namespace pelagor {

// printf into a string, for the engine's fixed status and progress texts.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
inline std::string
ZFormat(const char* fmt, ...) {
  char buf[256];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

// Text fields of fixed size keep at most max characters.
inline std::string ZCut(const std::string& s, size_t max) { return s.size() > max ? s.substr(0, max) : s; }

}  // namespace pelagor
