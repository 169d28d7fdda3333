// Writes the seed corpus of the download-image fuzzer: the demo workspace
// and small workspaces of every model, all through the project's writer.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "support/SectionBytes.h"

using namespace pelagor;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds DIR\n");
    return 2;
  }
  const std::filesystem::path dir(argv[1]);
  std::filesystem::create_directories(dir);
  int rc = 0;
  rc |= !WriteDownloadImage(DemoWorkspace(), (dir / "seed-demo.bin").string());
  for (ModelId m = 1; m <= 8; ++m)
    rc |= !WriteDownloadImage(SmallWorkspace(m, m % 2 == 1),
                              (dir / ("seed-small-" + std::to_string(m) + ".bin")).string());
  const std::vector<uint8_t> sections =
      Concat({SectionBytes("KV55SSST", SatelliteBodyBytes(3, 2)), SectionBytes("HDRAWBIN", {1, 2, 3, 4}),
              SectionBytes("HDPRVINF", std::vector<uint8_t>(64, 0))});
  std::ofstream(dir / "seed-sections.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(sections.data()), std::streamsize(sections.size()));
  // Small inputs without a channel body run fast and reach the header and
  // satellite and provider bounds.
  const std::vector<uint8_t> small[] = {
      SectionBytes("V_3920ST", SatelliteBodyBytes(2, 1)),
      SectionBytes("HDPRVINF", std::vector<uint8_t>(300, 0)),
      Concat({SectionBytes("HDRAWBIN", {}), SectionBytes("M4406HST", SatelliteBodyBytes(1, 3))}),
  };
  int n = 0;
  for (const std::vector<uint8_t>& b : small)
    std::ofstream(dir / ("seed-tiny-" + std::to_string(++n) + ".bin"), std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
  return rc;
}
