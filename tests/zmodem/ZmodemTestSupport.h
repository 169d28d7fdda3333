#pragma once

// Shared helpers of the ZMODEM tests: shrunk timing, generated file contents and a
// recording TransferUi, beside the pseudo-terminal line and scratch folders of tests/support.
#include "Zmodem32/TransferUi.h"
#include "link/LinkTiming.h"
#include "support/ChildProcess.h"
#include "support/FileBytes.h"
#include "support/PtyLine.h"
#include "support/ScratchDir.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace zmtest {

using Bytes = std::vector<uint8_t>;

// Byte waits of a few milliseconds: a silent line times out in pollCount * pollMs.
inline pelagor::LinkTiming FastTiming(uint32_t pollMs = 2, uint32_t pollCount = 250) {
  pelagor::LinkTiming t;
  t.writeWaitMs = 2000;
  t.readBlockWaitMs = 500;
  t.waitDataPollMs = 1;
  t.zmodemBytePollMs = pollMs;
  t.zmodemBytePollCount = pollCount;
  t.pauseLongMs = 0;
  t.pauseMediumMs = 0;
  t.pauseShortMs = 0;
  return t;
}

// The shared pseudo-terminal line, child processes (sz and rz as peers, the line
// simulator), scratch folder and file helpers, under the names the ZMODEM tests use.
using PeerProcess = pelagor::test::ChildProcess;
using pelagor::test::LineSimProcess;
using pelagor::test::PtyLine;
using pelagor::test::ReadFile;
using pelagor::test::WriteFile;
using TempDir = pelagor::test::ScratchDir;

inline Bytes RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& c : b) c = static_cast<uint8_t>(rng());
  return b;
}

// Every byte the escaping treats specially, many times over.
inline Bytes ControlHeavyBytes(size_t n) {
  static const uint8_t special[] = {0x18, 0x10, 0x11, 0x13, 0x90, 0x91, 0x93, 0x0D, 0x8D,
                                    0x40, 0x0D, 0xC0, 0x8D, 0x98, 0x00, 0x7F, 0xFF, 0x2A};
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = special[i % sizeof special];
  return b;
}

// Records what a session shows; can stop the session once progress passes a mark.
class FakeTransferUi : public pelagor::TransferUi {
 public:
  void SetCaption(const std::string& t) override {
    Lock l(m);
    caption = t;
  }
  void SetLabel(const std::string& t) override {
    Lock l(m);
    label = t;
  }
  void SetFileName(const std::string& t) override {
    Lock l(m);
    fileName = t;
  }
  void SetStatusLine(const std::string& t) override {
    Lock l(m);
    statusLines.push_back(t);
  }
  void SetProgressRange(int lo, int hi) override {
    Lock l(m);
    rangeLow = lo;
    rangeHigh = hi;
  }
  void SetProgressPos(int pos) override {
    {
      Lock l(m);
      positions.push_back(pos);
    }
    if (stopAtPercent >= 0 && pos >= stopAtPercent && onStop) onStop();
  }
  void EndDialog() override { ++endCalls; }
  void StatusStep(const std::string& t) override {
    Lock l(m);
    steps.push_back(t);
  }

  bool HasStep(const std::string& prefix) {
    Lock l(m);
    for (auto& s : steps)
      if (s.rfind(prefix, 0) == 0) return true;
    return false;
  }

  using Lock = std::lock_guard<std::mutex>;
  std::mutex m;
  std::string caption, label, fileName;
  std::vector<std::string> statusLines, steps;
  std::vector<int> positions;
  int rangeLow = -1, rangeHigh = -1;
  std::atomic<int> endCalls{0};
  int stopAtPercent = -1;
  std::function<void()> onStop;
};

}  // namespace zmtest
