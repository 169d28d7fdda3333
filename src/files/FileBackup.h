#pragma once
// The copy of a file kept before the editor first writes over it.

#include <string>

namespace pelagor {

// NAME.bak beside NAME: the whole name with ".bak" added, so the backups of
// "list.bin" and "list.csv" stay apart.
[[nodiscard]] std::string BackupPathFor(const std::string& path);

// Copies the file at path to BackupPathFor(path), replacing an older backup
// atomically (a temporary file beside it, flushed, renamed over it). False
// when the copy could not be made; path itself is never changed.
[[nodiscard]] bool KeepBackupCopy(const std::string& path);

}  // namespace pelagor
