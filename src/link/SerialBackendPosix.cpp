// POSIX backend: termios device, poll()-bounded waits, FIONREAD queue count.
#include "link/SerialBackend.h"

#include "link/SerialPortList.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace pelagor::serial_backend {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

// Nothing to keep per instance: poll() waits need no records.
struct IoRecords {};

void IoRecordsDeleter::operator()(IoRecords* r) const { std::unique_ptr<IoRecords> owned(r); }

IoRecordsPtr NewRecords() { return IoRecordsPtr(std::make_unique<IoRecords>().release()); }

SerialHandle Open(const std::string& device) {
  int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return kNoSerialHandle;
  // Exclusive like the Windows open with no sharing.
  if (::ioctl(fd, TIOCEXCL) != 0) {
    ::close(fd);
    return kNoSerialHandle;
  }
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) {
    ::close(fd);
    return kNoSerialHandle;
  }
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, B115200);
  ::cfsetospeed(&tio, B115200);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    return kNoSerialHandle;
  }
  // The receiver expects DTR and RTS inactive; a pseudo-terminal refuses this, harmlessly.
  int lines = TIOCM_DTR | TIOCM_RTS;
  (void)::ioctl(fd, TIOCMBIC, &lines);
  // Stale input only: on a pseudo-terminal, an output flush would take from the other
  // side what an earlier user of the line wrote and it has not read yet.
  ::tcflush(fd, TCIFLUSH);
  return fd;
}

void Close(SerialHandle h) {
  const int fd = static_cast<int>(h);
  // What we wrote still goes out: the device gets a bounded time to send it, and only what
  // a stalled line still holds then is dropped, so a close never hangs. A pseudo-terminal
  // counts nothing as pending here, and an output flush there would drop what the other
  // side has not read yet (the abort sequence after a Stop, the final "OO" of a session).
  const auto deadline = Clock::now() + std::chrono::milliseconds(2000);
  int pending = 0;
  while (::ioctl(fd, TIOCOUTQ, &pending) == 0 && pending > 0 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ::tcflush(fd, pending > 0 ? TCIOFLUSH : TCIFLUSH);
  // The exclusive flag outlives this descriptor while anyone else holds the tty open
  // (a pseudo-terminal's other users, a line simulator): drop it or no one could reopen.
  ::ioctl(fd, TIOCNXCL);
  ::close(fd);
}

bool Write(SerialHandle h, IoRecords&, const uint8_t* data, uint32_t len, uint32_t waitMs) {
  const int fd = static_cast<int>(h);
  const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  uint32_t done = 0;
  while (done < len) {
    ssize_t w = ::write(fd, data + done, len - done);
    if (w > 0) {
      done += static_cast<uint32_t>(w);
      continue;
    }
    if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
    pollfd p{fd, POLLOUT, 0};
    int left = RemainingMs(deadline);
    if (left == 0) return false;
    int rc = ::poll(&p, 1, left);
    if (rc == 0 || (rc < 0 && errno != EINTR)) return false;
  }
  return true;
}

uint32_t Read(SerialHandle h, IoRecords&, uint8_t* buf, uint32_t n, uint32_t waitMs) {
  const int fd = static_cast<int>(h);
  const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  uint32_t got = 0;
  while (got < n) {
    ssize_t r = ::read(fd, buf + got, n - got);
    if (r > 0) {
      got += static_cast<uint32_t>(r);
      continue;
    }
    if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return 0;
    pollfd p{fd, POLLIN, 0};
    int left = RemainingMs(deadline);
    if (left == 0) return 0;
    int rc = ::poll(&p, 1, left);
    if (rc == 0 || (rc < 0 && errno != EINTR)) return 0;
    // A hung-up peer without data would spin; treat it as an error.
    if (rc > 0 && !(p.revents & POLLIN)) return 0;
  }
  return got;
}

uint32_t QueueCount(SerialHandle h) {
  int n = 0;
  if (::ioctl(static_cast<int>(h), FIONREAD, &n) != 0 || n < 0) return 0;
  return static_cast<uint32_t>(n);
}

void Purge(SerialHandle h, bool rx, bool tx) {
  // Output is let out rather than thrown away: a purge comes right after the
  // announcement frame, the final ZFIN or "OO", and discarding those before
  // the receiver has taken them breaks the exchange (a pseudo-terminal drops
  // whatever the other side has not read yet).
  if (tx) ::tcdrain(static_cast<int>(h));
  if (rx) ::tcflush(static_cast<int>(h), TCIFLUSH);
}

bool DeviceGone(SerialHandle h) {
  pollfd p{static_cast<int>(h), POLLIN, 0};
  if (::poll(&p, 1, 0) < 0) return errno != EINTR;
  return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void DiscardOutput(SerialHandle h) { ::tcflush(static_cast<int>(h), TCOFLUSH); }

void ClearErrors(SerialHandle) {}  // termios keeps no sticky error flags to clear

void Trace(const char* line) { std::fprintf(stderr, "%s\n", line); }

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::vector<std::string> EnumeratePorts() { return ListTtyPorts("/sys/class/tty", "/dev"); }

}  // namespace pelagor::serial_backend
