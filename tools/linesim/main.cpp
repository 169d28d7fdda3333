// pelagor-linesim: joins two pseudo-terminals like a serial cable, at a
// chosen baud rate and with optional noise, so the link and ZMODEM code can be
// tried against a real line's pace and faults without hardware.
//
//   pelagor-linesim [--baud N] [--link-a PATH] [--link-b PATH]
//                   [--seed S] [--flip-rate R] [--drop-rate R]
//                   [--corrupt OFFSET:LENGTH] [--noise ab|ba|both]
//
// Prints the two slave paths ("A /dev/pts/3", "B /dev/pts/4") on standard
// output, or makes the given symlinks to them, then forwards until killed.
// Baud 0 (the default) forwards as fast as the ptys allow; otherwise each
// direction carries baud/10 bytes a second and reads no faster than it sends,
// so a writer feels the line's pace through the full pty buffer.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

volatile sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

struct Options {
  long baud = 0;
  std::string linkA, linkB;
  unsigned seed = 1;
  double flipRate = 0, dropRate = 0;
  long corruptAt = -1, corruptLen = 0;
  bool noiseAb = true, noiseBa = true;
};

[[noreturn]] void Usage(const char* msg) {
  std::fprintf(stderr, "pelagor-linesim: %s\n", msg);
  std::fprintf(stderr,
               "usage: pelagor-linesim [--baud N] [--link-a PATH] [--link-b PATH] [--seed S]\n"
               "       [--flip-rate R] [--drop-rate R] [--corrupt OFFSET:LENGTH] [--noise ab|ba|both]\n");
  std::exit(2);
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(("missing value for " + a).c_str());
      return argv[++i];
    };
    if (a == "--baud")
      o.baud = std::stol(value());
    else if (a == "--link-a")
      o.linkA = value();
    else if (a == "--link-b")
      o.linkB = value();
    else if (a == "--seed")
      o.seed = unsigned(std::stoul(value()));
    else if (a == "--flip-rate")
      o.flipRate = std::stod(value());
    else if (a == "--drop-rate")
      o.dropRate = std::stod(value());
    else if (a == "--corrupt") {
      std::string v = value();
      size_t colon = v.find(':');
      if (colon == std::string::npos) Usage("--corrupt takes OFFSET:LENGTH");
      o.corruptAt = std::stol(v.substr(0, colon));
      o.corruptLen = std::stol(v.substr(colon + 1));
    } else if (a == "--noise") {
      std::string v = value();
      o.noiseAb = v == "ab" || v == "both";
      o.noiseBa = v == "ba" || v == "both";
      if (!o.noiseAb && !o.noiseBa) Usage("--noise takes ab, ba or both");
    } else if (a == "-h" || a == "--help")
      Usage("help");
    else
      Usage(("unknown option " + a).c_str());
  }
  if (o.baud < 0) Usage("--baud must not be negative");
  return o;
}

struct Pty {
  int master = -1;
  int slaveKeep = -1;  // held open so the master never sees a hang-up
  std::string slavePath;
};

bool OpenPty(Pty& p) {
  p.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (p.master < 0 || grantpt(p.master) != 0 || unlockpt(p.master) != 0) return false;
  const char* name = ptsname(p.master);
  if (!name) return false;
  p.slavePath = name;
  p.slaveKeep = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (p.slaveKeep < 0) return false;
  termios t{};
  if (tcgetattr(p.slaveKeep, &t) == 0) {
    cfmakeraw(&t);
    tcsetattr(p.slaveKeep, TCSANOW, &t);
  }
  return true;
}

using Clock = std::chrono::steady_clock;

// One direction of the cable.
struct Direction {
  int from = -1, to = -1;
  bool noisy = false;
  long offset = 0;  // bytes of this direction seen so far
  double credit = 0;
  Clock::time_point last = Clock::now();
  unsigned char pending[4096];
  size_t pendingLen = 0, pendingPos = 0;
};

}  // namespace

int main(int argc, char** argv) {
  Options opt = Parse(argc, argv);
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGPIPE, SIG_IGN);

  Pty a, b;
  if (!OpenPty(a) || !OpenPty(b)) {
    std::perror("pelagor-linesim: pseudo-terminal");
    return 1;
  }
  auto link = [](const std::string& path, const std::string& target) {
    if (path.empty()) return true;
    unlink(path.c_str());
    return symlink(target.c_str(), path.c_str()) == 0;
  };
  if (!link(opt.linkA, a.slavePath) || !link(opt.linkB, b.slavePath)) {
    std::perror("pelagor-linesim: symlink");
    return 1;
  }
  std::printf("A %s\nB %s\n", a.slavePath.c_str(), b.slavePath.c_str());
  std::fflush(stdout);

  std::mt19937 rng(opt.seed);
  std::uniform_real_distribution<double> uni(0.0, 1.0);
  std::uniform_int_distribution<int> bit(0, 7);
  const double bytesPerSecond = double(opt.baud) / 10.0;

  Direction dirs[2];
  dirs[0].from = a.master;
  dirs[0].to = b.master;
  dirs[0].noisy = opt.noiseAb;
  dirs[1].from = b.master;
  dirs[1].to = a.master;
  dirs[1].noisy = opt.noiseBa;

  while (!gStop) {
    int waitMs = 100;
    pollfd fds[4];
    int n = 0;
    int readSlot[2] = {-1, -1}, writeSlot[2] = {-1, -1};
    const auto now = Clock::now();
    for (int d = 0; d < 2; ++d) {
      Direction& dir = dirs[d];
      if (bytesPerSecond > 0) {
        const double dt = std::chrono::duration<double>(now - dir.last).count();
        dir.last = now;
        // A line idles without saving up credit beyond a few bytes.
        dir.credit = std::min(dir.credit + dt * bytesPerSecond, 16.0);
      }
      if (dir.pendingPos < dir.pendingLen) {
        writeSlot[d] = n;
        fds[n++] = {dir.to, POLLOUT, 0};
      } else if (bytesPerSecond == 0 || dir.credit >= 1.0) {
        readSlot[d] = n;
        fds[n++] = {dir.from, POLLIN, 0};
      } else {
        const int ms = int((1.0 - dir.credit) / bytesPerSecond * 1000.0) + 1;
        waitMs = std::min(waitMs, ms);
      }
    }
    if (poll(fds, nfds_t(n), waitMs) < 0) continue;
    for (int d = 0; d < 2; ++d) {
      Direction& dir = dirs[d];
      if (readSlot[d] >= 0 && (fds[readSlot[d]].revents & POLLIN)) {
        size_t want = sizeof dir.pending;
        if (bytesPerSecond > 0) want = std::min(want, size_t(dir.credit));
        const ssize_t got = read(dir.from, dir.pending, want);
        if (got > 0) {
          if (bytesPerSecond > 0) dir.credit -= double(got);
          size_t out = 0;
          for (ssize_t i = 0; i < got; ++i, ++dir.offset) {
            unsigned char c = dir.pending[i];
            if (d == 0 && opt.corruptAt >= 0 && dir.offset >= opt.corruptAt &&
                dir.offset < opt.corruptAt + opt.corruptLen)
              c ^= static_cast<unsigned char>(1u << bit(rng));
            if (dir.noisy) {
              if (opt.dropRate > 0 && uni(rng) < opt.dropRate) continue;
              if (opt.flipRate > 0 && uni(rng) < opt.flipRate) c ^= static_cast<unsigned char>(1u << bit(rng));
            }
            dir.pending[out++] = c;
          }
          dir.pendingLen = out;
          dir.pendingPos = 0;
        }
      }
      if (writeSlot[d] >= 0 && (fds[writeSlot[d]].revents & POLLOUT)) {
        const ssize_t put = write(dir.to, dir.pending + dir.pendingPos, dir.pendingLen - dir.pendingPos);
        if (put > 0) dir.pendingPos += size_t(put);
      }
    }
  }
  if (!opt.linkA.empty()) unlink(opt.linkA.c_str());
  if (!opt.linkB.empty()) unlink(opt.linkB.c_str());
  return 0;
}
