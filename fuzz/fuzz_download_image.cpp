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
  // Models 4-6 are read in whichever form their satellites make sense in;
  // a damaged ring may read back in the other form, so only the models with
  // one fixed form must give the same file again.
  const bool fixedForm = back.model <= 3 || back.model >= 7;
  if (fixedForm && BuildDownloadImage(back) != written) std::abort();
  return 0;
}
