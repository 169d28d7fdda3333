// A kernel pseudo-terminal standing in for a serial line (POSIX only): the port
// under test opens the subordinate end by path while the test plays the far side
// on the main end, or the test holds both ends, each raw so bytes pass untouched.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace pelagor::test {

class PtyLine {
 public:
  using Bytes = std::vector<uint8_t>;
  // kMainEndOnly: the subordinate end stays closed until the port opens it, so
  // the port alone holds it (its close is the line's close).
  enum Ends { kBothEnds, kMainEndOnly };

  explicit PtyLine(Ends ends = kBothEnds) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    const char* name = ::ptsname(master_);
    if (!name) return;
    path_ = name;
    if (ends == kBothEnds) {
      slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
      if (slave_ < 0) return;
      MakeRaw(slave_);
    }
    MakeRaw(master_);
    ok_ = true;
  }
  ~PtyLine() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
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

  bool Ok() const { return ok_ && master_ >= 0; }
  // The far end goes away, as a pulled adapter or a closed simulator does.
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  int Master() const { return master_; }
  int Slave() const { return slave_; }
  // The subordinate end's device path, for the port to open.
  const std::string& Path() const { return path_; }

  // Writes to the main end (what the port on the subordinate end will read).
  bool Send(const Bytes& b) { return WriteAll(master_, b.data(), b.size()); }
  bool Send(std::initializer_list<uint8_t> b) { return WriteAll(master_, b.begin(), b.size()); }
  bool Send(const std::string& s) { return WriteAll(master_, reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
  // Collects what the subordinate end wrote, waiting waitMs for the first byte and quietMs after.
  Bytes Receive(int waitMs = 500, int quietMs = 50) { return ReadFrom(master_, waitMs, quietMs); }
  // Collects what the subordinate end wrote until count bytes came or waitMs passed in all.
  Bytes ReceiveCount(size_t count, int waitMs) {
    Bytes out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (out.size() < count) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd p{master_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      uint8_t buf[4096];
      const ssize_t r = ::read(master_, buf, sizeof buf);
      if (r <= 0) break;
      out.insert(out.end(), buf, buf + r);
    }
    return out;
  }

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
  int master_ = -1;
  int slave_ = -1;
  bool ok_ = false;
  std::string path_;
};

}  // namespace pelagor::test
