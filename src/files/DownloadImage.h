#pragma once
// Reading and writing download images: a run of sections, each a 40-byte
// header and a body, with no file header.
// Results: readers say whether the input was accepted (a rejected one changes
// nothing), writers return true when the file was written, and builders the
// bytes; none of them may be ignored.

#include <cstdint>
#include <string>
#include <vector>

#include "files/Workspace.h"

namespace pelagor {

struct [[nodiscard]] ParseResult {
  bool accepted = false;
  // Prefix and catalogue block of the last satellite section, as found in
  // the file, for the side file the load commands write; empty when none.
  std::vector<uint8_t> satelliteDump;
};

// Applies the sections to a copy of the workspace and takes the copy over
// only when the whole buffer is accepted: a rejected file changes nothing.
// An empty buffer is accepted and changes nothing.
ParseResult ParseDownloadImage(Workspace& ws, const uint8_t* data, size_t length);

// The bytes of the file Save writes for the workspace's model; empty when
// the workspace has no catalogue (nothing can be written without one).
[[nodiscard]] std::vector<uint8_t> BuildDownloadImage(const Workspace& ws);

// Writes BuildDownloadImage to path, replacing the file atomically (a
// temporary file beside it, flushed, renamed over it). True when written;
// false leaves the old file as it was.
[[nodiscard]] bool WriteDownloadImage(const Workspace& ws, const std::string& path);

// Which satellite record form a channel body of the given kind is read in.
[[nodiscard]] ChannelForm DetectChannelForm(const uint8_t* body, int kind);

}  // namespace pelagor
