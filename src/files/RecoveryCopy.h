#pragma once
// What the editor keeps of unsaved work so that a crash or a kill does not
// lose it: the workspace as a download image, with its model, its file and
// the time it was kept. This is the record and its bytes; where and when it
// is written is the application's business.

#include <cstdint>
#include <string>
#include <vector>

#include "files/ModelTable.h"

namespace pelagor {

struct RecoveryCopy {
  std::vector<uint8_t> image;  // BuildDownloadImage of the workspace
  ModelId model = kNoModel;
  std::string path;     // the workspace file; empty when it had none
  int64_t savedAt = 0;  // seconds since 1970-01-01 UTC
};

[[nodiscard]] std::vector<uint8_t> SerialiseRecoveryCopy(const RecoveryCopy& copy);

// False for anything that is not a whole, intact copy (a torn or foreign
// file): such a copy is not offered.
[[nodiscard]] bool ParseRecoveryCopy(const uint8_t* data, size_t length, RecoveryCopy& out);

// "Recover the unsaved changes of <when> (<file name>)?" for a copy kept at
// the time shown as when; a workspace without a file is the new channel list.
[[nodiscard]] std::string RecoveryQuestion(const RecoveryCopy& copy, const std::string& when);

}  // namespace pelagor
