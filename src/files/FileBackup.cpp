#include "files/FileBackup.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "files/WorkspaceLoad.h"

namespace pelagor {

namespace {

bool Flush(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

}  // namespace

std::string BackupPathFor(const std::string& path) { return path + ".bak"; }

bool KeepBackupCopy(const std::string& path) {
  namespace fs = std::filesystem;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  const fs::path backup(BackupPathFor(path));
  fs::path temp = backup;
  temp += ".pelagor-tmp";
  std::FILE* f = std::fopen(temp.string().c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = Flush(f) && ok;
  ok = std::fclose(f) == 0 && ok;
  std::error_code ec;
  // Only a file is replaced: a folder of that name stays, and the save fails.
  if (ok && fs::exists(backup, ec) && !fs::is_regular_file(backup, ec)) ok = false;
  if (ok) fs::rename(temp, backup, ec);
  if (!ok || ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace pelagor
