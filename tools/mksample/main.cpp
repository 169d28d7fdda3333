// pelagor-mksample OUTDIR: writes the demo workspace (demo.bin) and one with
// every table at its limit (full.bin), through the project's own writer, and
// reads each back so a broken sample fails the build instead of a demo.

#include <cstdio>
#include <filesystem>
#include <string>

#include "db/ImageChecker.h"
#include "files/DownloadImage.h"
#include "files/WorkspaceLoad.h"
#include "samples/SampleWorkspaces.h"

namespace {

int WriteAndCheck(const pelagor::Workspace& ws, const std::filesystem::path& path) {
  if (!pelagor::WriteDownloadImage(ws, path.string())) {
    std::fprintf(stderr, "pelagor-mksample: cannot write %s\n", path.string().c_str());
    return 1;
  }
  pelagor::Workspace back;
  if (pelagor::LoadWorkspaceFile(back, path.string()) != pelagor::LoadResult::kLoaded) {
    std::fprintf(stderr, "pelagor-mksample: %s does not read back\n", path.string().c_str());
    return 1;
  }
  const std::string fault = pelagor::CheckImage(*back.image);
  if (!fault.empty()) {
    std::fprintf(stderr, "pelagor-mksample: %s: %s\n", path.string().c_str(), fault.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelagor-mksample OUTDIR\n");
    return 2;
  }
  const std::filesystem::path dir(argv[1]);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  int rc = WriteAndCheck(pelagor::DemoWorkspace(), dir / "demo.bin");
  rc |= WriteAndCheck(pelagor::FullWorkspace(1), dir / "full.bin");
  return rc;
}
