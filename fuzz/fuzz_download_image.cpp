// libFuzzer target for the download-image reader: no input may read past
// the buffer or crash the load step, and whatever is accepted must write a
// file that reads back into the same bytes.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "files/DownloadImage.h"
#include "files/WorkspaceLoad.h"

using namespace pelagor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Workspace ws;
  // Parse and merges, as Open runs them; no side file.
  if (ApplyDownloadImage(ws, data, size) != LoadResult::kLoaded) return 0;
  const std::vector<uint8_t> written = BuildDownloadImage(ws);
  if (written.empty()) return 0;
  Workspace back;
  if (!ParseDownloadImage(back, written.data(), written.size()).accepted) std::abort();
  // Every model, models 4-6 with damaged satellite rings too, gives the
  // same file again.
  if (BuildDownloadImage(back) != written) std::abort();
  return 0;
}
