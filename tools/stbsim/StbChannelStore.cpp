#include "StbChannelStore.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "files/Workspace.h"
#include "files/WorkspaceLoad.h"

namespace pelagor {

namespace {

// Whole file beside the target, then renamed: a reader never sees half of it.
bool SaveAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string temp = path + ".part";
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!f.flush()) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  return !ec;
}

}  // namespace

StbChannelStore::StbChannelStore(std::vector<uint8_t> channelData, std::string saveReceivedPath, Say say)
    : channelData_(std::move(channelData)), saveReceivedPath_(std::move(saveReceivedPath)), say_(std::move(say)) {}

bool StbChannelStore::TakeReceived(const std::vector<uint8_t>& bytes) {
  if (!saveReceivedPath_.empty() && !SaveAtomically(saveReceivedPath_, bytes))
    std::fprintf(stderr, "pelagor-stbsim: cannot write %s\n", saveReceivedPath_.c_str());
  // Read as the receiver would: only a whole, valid download image replaces
  // what it holds; no side file is written here.
  Workspace ws;
  const bool channels = !bytes.empty() && ApplyDownloadImage(ws, bytes.data(), bytes.size()) == LoadResult::kLoaded;
  if (channels) channelData_ = bytes;
  if (say_) {
    std::string line = "RECEIVED " + std::to_string(bytes.size());
    line += channels ? " CHANNELS " + std::to_string(ws.image->ChanCount()) : " FILE";
    say_(line);
  }
  return channels;
}

}  // namespace pelagor
