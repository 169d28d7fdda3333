#include "CliSupport.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "files/DownloadImage.h"
#include "files/WorkspaceLoad.h"

namespace pelagor::cli {

void Fail(std::string_view message) {
  std::cerr << message << '\n';
  throw CLI::RuntimeError(kExitFailed);
}

void LoadOrFail(const std::string& path, Workspace& ws, std::vector<uint8_t>* bytes) {
  std::vector<uint8_t> own;
  std::vector<uint8_t>& data = bytes ? *bytes : own;
  if (!ReadWholeFile(path, data)) Fail(kFileOpenErrorText);
  const LoadResult r = ApplyDownloadImage(ws, data.data(), data.size());
  if (r != LoadResult::kLoaded) Fail(LoadResultText(r));
}

void WriteOrFail(const Workspace& ws, const std::string& path) {
  if (!WriteDownloadImage(ws, path)) Fail(kFileWriteErrorText);
}

std::string RecordText(const uint8_t* p, size_t n) {
  std::string out;
  for (size_t i = 0; i < n && p[i] != 0; ++i) {
    const uint8_t b = p[i];
    if (b < 0x80) {
      out += char(b);
    } else {
      out += char(0xC0 | (b >> 6));
      out += char(0x80 | (b & 0x3F));
    }
  }
  return out;
}

}  // namespace pelagor::cli
