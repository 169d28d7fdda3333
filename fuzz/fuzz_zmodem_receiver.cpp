// libFuzzer target for the ZMODEM receiver: arbitrary bytes from the "sender"
// arrive on one end of a socket pair that stands in for the serial port. No
// stream may crash the receiver or make it read or write out of bounds, and a
// session that reports success holds exactly the announced bytes.

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Zmodem32/CZmodem.h"
#include "Zmodem32/ZmodemResult.h"

using namespace pelagor;

namespace {

// Every wait and pause costs nothing: a silent line times out at once, so
// the error limits are reached in microseconds.
LinkTiming NoWaitTiming() {
  LinkTiming t;
  t.writeWaitMs = 10;
  t.readBlockWaitMs = 1;
  t.waitDataPollMs = 1;
  t.zmodemBytePollMs = 0;  // one look at the queue, no sleep
  t.zmodemBytePollCount = 1;
  t.pauseLongMs = t.pauseMediumMs = t.pauseShortMs = 0;
  t.pause = [](uint32_t) {};
  return t;
}

struct SocketLine {
  int fd[2] = {-1, -1};
  SocketLine() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fd) != 0) std::abort();
    for (int f : fd) ::fcntl(f, F_SETFL, ::fcntl(f, F_GETFL) | O_NONBLOCK);
    // Room for the receiver's answers: nobody reads them.
    const int size = 1 << 20;
    ::setsockopt(fd[0], SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    ::setsockopt(fd[1], SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    ::setsockopt(fd[1], SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    ::setsockopt(fd[0], SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
  }
  ~SocketLine() {
    for (int f : fd) ::close(f);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SocketLine line;
  // The whole stream is queued before the receiver starts; what does not fit
  // the socket is dropped, as a line overrun would.
  size_t put = 0;
  while (put < size) {
    const ssize_t w = ::write(line.fd[1], data + put, size - put);
    if (w <= 0) break;
    put += size_t(w);
  }
  CZmodem zm(NoWaitTiming());
  zm.AttachHandle(line.fd[0]);
  zm.RunReceive();
  const std::vector<uint8_t> got = zm.TakeData();
  if (zm.Result() == ZMODEM_OK && zm.CancelResult() == 0 &&
      got.size() != size_t(std::max<int32_t>(zm.State().announcedSize, 0)))
    std::abort();
  if (got.size() > size_t(CZmodem::kMaxReceiveSize)) std::abort();
  zm.DetachHandle();
  return 0;
}
