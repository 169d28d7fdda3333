#include "files/WorkspaceLoad.h"

#include <cstdio>
#include <vector>

#include "db/CatalogueMerge.h"
#include "files/DownloadImage.h"

namespace pelagor {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  out.clear();
  uint8_t chunk[65536];
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, f);
    out.insert(out.end(), chunk, chunk + n);
    if (n < sizeof chunk) {
      // A folder opens on some systems but fails on the first read.
      ok = std::ferror(f) == 0;
      break;
    }
  }
  std::fclose(f);
  return ok;
}

LoadResult ApplyDownloadImage(Workspace& ws, const uint8_t* data, size_t length, const LoadOptions& options) {
  ParseResult parsed = ParseDownloadImage(ws, data, length);
  if (!parsed.accepted) return LoadResult::kInvalidFormat;
  if (!parsed.satelliteDump.empty() && !options.satelliteDumpPath.empty())
    // The side file is a courtesy: failing to write it does not fail the load.
    static_cast<void>(WriteSatelliteDump(parsed.satelliteDump, options.satelliteDumpPath));
  // Without any catalogue there is nothing to merge into (the writer
  // refuses such a workspace anyway); an empty file changes no data.
  if (length != 0 && ws.catalogue.Present()) {
    MergeNewSatellites(*ws.image, ws.catalogue);
    MergeNewTps(*ws.image, ws.catalogue);
  }
  ws.loaded = true;
  return LoadResult::kLoaded;
}

LoadResult LoadWorkspaceFile(Workspace& ws, const std::string& path, const LoadOptions& options) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return LoadResult::kOpenError;
  return ApplyDownloadImage(ws, bytes.data(), bytes.size(), options);
}

std::string_view LoadResultText(LoadResult r) {
  switch (r) {
    case LoadResult::kOpenError: return kFileOpenErrorText;
    case LoadResult::kInvalidFormat: return kInvalidFileFormatText;
    case LoadResult::kLoaded: break;
  }
  return {};
}

bool WriteSatelliteDump(const std::vector<uint8_t>& dump, const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(dump.data(), 1, dump.size(), f) == dump.size();
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace pelagor
