#pragma once
// The receiver's own channel data, as the simulator keeps it: the download
// image it sends on an upload, replaced by any download image the PC sends it
// that the reader accepts. Other files (software images) are only reported.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelagor {

class StbChannelStore {
 public:
  using Say = std::function<void(const std::string&)>;

  // saveReceivedPath: where each received file is also written (empty: nowhere).
  StbChannelStore(std::vector<uint8_t> channelData, std::string saveReceivedPath, Say say);

  const std::vector<uint8_t>& ChannelData() const { return channelData_; }

  // A file the PC sent. Reports "RECEIVED <bytes> CHANNELS <channel count>"
  // when it became the channel data, "RECEIVED <bytes> FILE" otherwise, after
  // it has been saved. True when it became the channel data.
  bool TakeReceived(const std::vector<uint8_t>& bytes);

 private:
  std::vector<uint8_t> channelData_;
  std::string saveReceivedPath_;
  Say say_;
};

}  // namespace pelagor
