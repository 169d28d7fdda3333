#pragma once
// The load step every face shares (Open, uploads from the receiver, the
// command-line tool): parse into the workspace, bring the satellites and TPs
// created in the editor into the catalogue, and mark the workspace loaded.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/Workspace.h"

namespace pelagor {

inline constexpr std::string_view kFileOpenErrorText = "File Open Error !!!";
inline constexpr std::string_view kInvalidFileFormatText = "Invalid File Format !";
inline constexpr std::string_view kSatelliteDumpName = "dump_sat_info.bin";

// clang-format 14 glues the brace to an enum with an attribute.
// clang-format off
enum class [[nodiscard]] LoadResult { kLoaded, kOpenError, kInvalidFormat };
// clang-format on

struct LoadOptions {
  // Where to leave the prefix and catalogue block of the satellite section,
  // as found in the file (the load commands use kSatelliteDumpName in the
  // current folder). Empty: no side file, as read-only tools want.
  std::string satelliteDumpPath;
};

// A rejected buffer leaves the workspace exactly as it was. An empty one is
// accepted: nothing changes but Loaded.
LoadResult ApplyDownloadImage(Workspace& ws, const uint8_t* data, size_t length, const LoadOptions& options = {});

// Reads the whole file first; kOpenError when it cannot be opened or read.
LoadResult LoadWorkspaceFile(Workspace& ws, const std::string& path, const LoadOptions& options = {});

// The whole file; false when it cannot be opened or read (a folder).
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);

// The message the commands show for a failed load; empty for kLoaded.
[[nodiscard]] std::string_view LoadResultText(LoadResult r);

// Replaces the side file; false when it cannot be written, which does not
// affect the load.
[[nodiscard]] bool WriteSatelliteDump(const std::vector<uint8_t>& dump, const std::string& path);

}  // namespace pelagor
