#pragma once

// Shared helpers of the ZMODEM tests: a raw pseudo-terminal line with both ends open,
// shrunk timing, temporary folders, file contents and a recording TransferUi.
#include "Zmodem32/TransferUi.h"
#include "link/LinkTiming.h"

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

// Both ends of a kernel pseudo-terminal, raw, so each end can be a port or a peer.
class PtyLine {
 public:
  PtyLine() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return;
    const char* name = ::ptsname(m_master);
    if (!name) return;
    m_path = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slave < 0) return;
    MakeRaw(m_slave);
    MakeRaw(m_master);
  }
  ~PtyLine() {
    if (m_slave >= 0) ::close(m_slave);
    if (m_master >= 0) ::close(m_master);
  }
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  static void MakeRaw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
      ::cfmakeraw(&tio);
      tio.c_cc[VMIN] = 1;
      tio.c_cc[VTIME] = 0;
      ::tcsetattr(fd, TCSANOW, &tio);
    }
  }

  bool Ok() const { return m_master >= 0 && m_slave >= 0; }
  // The far end goes away, as a pulled adapter or a closed simulator does.
  void CloseMaster() {
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
  }
  int Master() const { return m_master; }
  int Slave() const { return m_slave; }
  const std::string& SlavePath() const { return m_path; }

  // Writes to the master end (what the port on the slave end will read).
  bool Send(const Bytes& b) { return WriteAll(m_master, b.data(), b.size()); }
  bool Send(const std::string& s) { return WriteAll(m_master, reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
  // Collects what the slave end wrote, waiting waitMs for the first byte and quietMs after.
  Bytes Receive(int waitMs = 500, int quietMs = 50) { return ReadFrom(m_master, waitMs, quietMs); }

  static bool WriteAll(int fd, const uint8_t* p, size_t n) {
    while (n) {
      ssize_t w = ::write(fd, p, n);
      if (w > 0) {
        p += w;
        n -= size_t(w);
        continue;
      }
      pollfd pf{fd, POLLOUT, 0};
      if (::poll(&pf, 1, 2000) <= 0) return false;
    }
    return true;
  }
  static Bytes ReadFrom(int fd, int waitMs, int quietMs) {
    Bytes out;
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, out.empty() ? waitMs : quietMs) > 0) {
      uint8_t buf[4096];
      ssize_t r = ::read(fd, buf, sizeof buf);
      if (r <= 0) break;
      out.insert(out.end(), buf, buf + r);
    }
    return out;
  }

 private:
  int m_master = -1;
  int m_slave = -1;
  std::string m_path;
};

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pelagor-zm-XXXXXX").string();
    if (::mkdtemp(tmpl.data())) m_path = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  const std::filesystem::path& Path() const { return m_path; }
  std::string File(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

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

inline bool WriteFile(const std::string& path, const Bytes& b) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
  return bool(f);
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
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
