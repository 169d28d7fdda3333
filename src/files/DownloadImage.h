#pragma once
// Reading and writing download images: a run of sections, each a 40-byte
// header and a body, with no file header.

#include <cstdint>
#include <string>
#include <vector>

#include "files/Workspace.h"

namespace pelagor {

struct ParseResult {
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
std::vector<uint8_t> BuildDownloadImage(const Workspace& ws);

// Writes BuildDownloadImage to path, replacing the file atomically (a
// temporary file beside it, flushed, renamed over it). Returns 1 written,
// 0 not written (the old file is left as it was).
int WriteDownloadImage(const Workspace& ws, const std::string& path);

// Which satellite record form a channel body of the given kind is read in.
ChannelForm DetectChannelForm(const uint8_t* body, int kind);

}  // namespace pelagor
