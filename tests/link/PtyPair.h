#pragma once

// A kernel pseudo-terminal pair: the port under test opens the subordinate side by path,
// the test plays the receiver on the main side.
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

class PtyPair {
 public:
  PtyPair() {
    m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0) return;
    const char* name = ::ptsname(m_fd);
    if (name) m_path = name;
    // Keep the line raw from this side too, so bytes pass untouched.
    termios tio{};
    if (::tcgetattr(m_fd, &tio) == 0) {
      ::cfmakeraw(&tio);
      ::tcsetattr(m_fd, TCSANOW, &tio);
    }
  }
  ~PtyPair() {
    if (m_fd >= 0) ::close(m_fd);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool Ok() const { return m_fd >= 0 && !m_path.empty(); }
  const std::string& Path() const { return m_path; }

  bool Send(const std::vector<unsigned char>& bytes) {
    return ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

  // Collects what the port wrote, waiting at most waitMs for the first byte.
  std::vector<unsigned char> Receive(int waitMs = 500) {
    std::vector<unsigned char> out;
    pollfd p{m_fd, POLLIN, 0};
    while (::poll(&p, 1, out.empty() ? waitMs : 50) > 0) {
      unsigned char buf[512];
      ssize_t r = ::read(m_fd, buf, sizeof buf);
      if (r <= 0) break;
      out.insert(out.end(), buf, buf + r);
    }
    return out;
  }

  // Collects what the port wrote until count bytes came or waitMs passed in all.
  std::vector<unsigned char> ReceiveCount(size_t count, int waitMs) {
    std::vector<unsigned char> out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (out.size() < count) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd p{m_fd, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      unsigned char buf[4096];
      ssize_t r = ::read(m_fd, buf, sizeof buf);
      if (r <= 0) break;
      out.insert(out.end(), buf, buf + r);
    }
    return out;
  }

 private:
  int m_fd = -1;
  std::string m_path;
};
