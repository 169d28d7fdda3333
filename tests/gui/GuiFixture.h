#pragma once
// A small workspace for the GUI tests, written through the project's own
// download-image writer: three satellites, their TPs, TV and radio channels.

#include <string>

#include "files/Workspace.h"

namespace pelagor::guitest {

struct FixtureCounts {
  static constexpr int kSatellites = 3;
  static constexpr int kTv = 7;        // TV channels in ChannelOrder
  static constexpr int kRadio = 2;     // radio channels
  static constexpr int kCas = 3;       // scrambled TV channels
  static constexpr int kAstraTps = 3;  // catalogue TPs of the first satellite
};

Workspace MakeFixtureWorkspace(int model);
// Writes the workspace to path; false when the writer refused.
bool WriteFixture(const std::string& path, int model = 1);

}  // namespace pelagor::guitest
