// Writes the seed corpus of the editor fuzzer: command runs in front of
// download images made by the project's writer (the demo and small
// workspaces of every model), and in front of short patch lists over the
// fuzzer's own base workspaces.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "db/DbImage.h"
#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"

using namespace pelagor;

namespace {

// Channel commands: select, add, edit, sort, undo and redo, move, cut and
// paste, drag, delete, favourites, lock, renumber, provider.
const std::vector<uint8_t> kChannelRun = {
    0, 2,  0, 0,    1,  0,                                                 // select rows 0 and 1
    3, 0,  1, 0x3F, 5,  0,  3,  46, 69, 87, 100, 0, 101, 0, 100, 0, 7, 0,  // add a channel
    0, 1,  0, 0,                                                           // select row 0
    3, 1,  1, 0x02, 4,  37, 68, 73, 84,                                    // edit its name
    3, 16, 3, 17,   3,  18, 3,  19,                                        // the four sorts
    7, 7,  8,                                                              // undo, undo, redo
    0, 2,  1, 0,    2,  0,  9,  1,  9,  0,                                 // move up, move down
    3, 14, 0, 1,    0,  0,  3,  15,                                        // cut, paste
    0, 1,  2, 0,    10, 1,  0,                                             // drag to the top
    0, 1,  0, 0,    3,  3,  3,  11, 3,  13,                                // favourite, lock, renumber
    3, 20, 1, 1,    3,  33, 34, 35,                                        // a typed provider
    0, 1,  1, 0,    3,  2,  1,                                             // delete, answered yes
    7, 7,  7, 8,
};

// TP and satellite commands on every delivery type and both tuners.
const std::vector<uint8_t> kTpRun = {
    2,  2, 0,  0,  1,  0,                                           // select TP rows 0 and 1
    5,  0, 1,  1,  2,  1,  0,  1,    0xF8, 0x2A, 1,    0x6C, 0x6B,  // add a satellite TP
    5,  1, 1,  0,  0,  2,  1,  0,    0,                             // edit one
    5,  3, 5,  2,  1,                                               // sort, delete
    7,  8, 11, 2,  14, 3,  0,  1,    0x3F, 9,    0,    2,    40,   41, 0, 32, 1, 32, 0, 32,
    9,  0,                                                                                  // DVB-T: add a channel
    11, 4, 5,  0,  1,  4,  1,  0x10, 0x27, 1,    0xF4, 0x1A,                                // DVB-C: add a cable TP
    2,  1, 0,  0,  3,  0,  1,  0x3F, 3,    0,    1,    50,   1,    2,  2, 2,  1, 2,  3, 0,  // and a channel on it
    12, 1, 12, 0,  13, 2,  1,  13,   0,    13,   5,         // tuners, filters, satellite combo
    6,  0, 1,  19, 2,  0,  5,  40,   41,   42,   43,   44,  // add a satellite
    6,  2, 1,  13, 0,  1,  3,  45,   46,   47,              // edit it
    6,  1, 1,                                               // delete it, answered yes
    15, 1, 1,  4,  50, 51, 52, 53,                          // rename a favourite list
    7,  7, 7,  8,  8,
};

std::vector<uint8_t> Input(const std::vector<uint8_t>& run, const std::vector<uint8_t>& image) {
  std::vector<uint8_t> out;
  out.push_back(uint8_t(run.size()));
  out.insert(out.end(), run.begin(), run.end());
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

// A patch of one image byte (or two) at an offset in the image tail.
std::vector<uint8_t> TailPatch(size_t offset, uint8_t value) {
  const size_t index = offset - kSatSlotBitmapOffset;
  return {4, uint8_t(index), uint8_t(index >> 8), 0, value, 0};
}

bool Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_view_seeds DIR\n");
    return 2;
  }
  const std::filesystem::path dir(argv[1]);
  std::filesystem::create_directories(dir);
  bool ok = true;
  ok &= Write(dir / "seed-demo.bin", Input(kChannelRun, BuildDownloadImage(DemoWorkspace())));
  for (ModelId m = 1; m <= 8; ++m) {
    const std::vector<uint8_t> image = BuildDownloadImage(SmallWorkspace(m, m % 2 == 1));
    ok &= Write(dir / ("seed-small-" + std::to_string(m) + ".bin"), Input(m % 2 ? kChannelRun : kTpRun, image));
  }
  // Patch lists over the fuzzer's base workspaces (first byte: which one).
  for (uint8_t base = 0; base < 6; ++base) {
    ok &= Write(dir / ("seed-base-" + std::to_string(base) + "-channels.bin"), Input(kChannelRun, {base}));
    ok &= Write(dir / ("seed-base-" + std::to_string(base) + "-tps.bin"), Input(kTpRun, {base}));
  }
  // Satellites counted but no first satellite.
  std::vector<uint8_t> noFirst = {1};
  const std::vector<uint8_t> patch = TailPatch(kFirstSatOffset, kNoSat);
  noFirst.insert(noFirst.end(), patch.begin(), patch.end());
  ok &= Write(dir / "seed-no-first-satellite.bin", Input(kTpRun, noFirst));
  return ok ? 0 : 1;
}
