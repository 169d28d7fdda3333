// pelagor-stbsim: plays the set-top receiver on a serial device or on a
// pseudo-terminal it creates, so the link can be tried without hardware.
//
//   pelagor-stbsim [--device PATH | --link PATH] [--model T] [--boot T] [--main T]
//                  [--reply-bytes N] [--late-ms N] [--silent]
//                  [--peer engine|lrzsz] [--workspace FILE] [--save-received PATH]
//                  [--send-now] [--byte-wait-ms N] [--no-pauses] [--trace]
//                  [--on-download CMD] [--on-upload CMD]
//
// Without --device it creates a pseudo-terminal and prints "PORT <path>" (and
// makes --link a symlink to it). It then prints "READY" and answers until killed.
// Each frame it recognises is reported on standard output: "QUERY" when the
// information query arrives and "INFO <bytes sent>" once it is answered,
// "PEER receive" or "PEER send" when an announcement hands the line over and
// "DOWNLOAD <status>" or "UPLOAD <status>" when that ends, "FRAME <code>" for
// other codes.
// After a download announcement the simulator receives the PC's file by ZMODEM
// ("RECEIVED <bytes> CHANNELS <count>" when it read as a download image, which
// then becomes its channel data, "RECEIVED <bytes> FILE" otherwise; each file is
// also written to --save-received). After an upload announcement it sends its
// channel data: the bytes of --workspace FILE as they are, by default the demo
// workspace. --send-now sends them once at start, without a frame (the PC's
// Upload File). The ZMODEM side is the project's engine (--peer engine, waits
// of --byte-wait-ms, default 14000; --no-pauses drops its pauses between
// subpackets and retries, for lines without a baud rate) or lrzsz's rz and sz
// (--peer lrzsz). --trace writes the engine's protocol steps to standard error.
// --on-download and --on-upload instead name programs (e.g. "rz", "sz file")
// that run with the line as standard input and output.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "CommandZmodemPeer.h"
#include "EngineZmodemPeer.h"
#include "LrzszZmodemPeer.h"
#include "StbChannelStore.h"
#include "StbSimulator.h"
#include "files/DownloadImage.h"
#include "files/WorkspaceLoad.h"
#include "link/CSerialPort.h"
#include "samples/SampleWorkspaces.h"

namespace {

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

struct Options {
  std::string device, link;
  pelagor::StbIdentity identity;
  long replyBytes = pelagor::kReceiverInfoSize;
  long lateMs = 0;
  bool silent = false;
  std::string onDownload, onUpload;
  std::string peer = "engine";
  std::string workspace, saveReceived;
  bool sendNow = false;
  long byteWaitMs = 14000;
  bool noPauses = false;
  bool trace = false;
};

[[noreturn]] void Usage(const std::string& msg) {
  std::fprintf(stderr, "pelagor-stbsim: %s\n", msg.c_str());
  std::fprintf(stderr,
               "usage: pelagor-stbsim [--device PATH | --link PATH] [--model T] [--boot T] "
               "[--main T]\n"
               "       [--reply-bytes N] [--late-ms N] [--silent] [--peer engine|lrzsz]\n"
               "       [--workspace FILE] [--save-received PATH] [--send-now] [--byte-wait-ms N]\n"
               "       [--no-pauses] [--trace]"
               "       [--on-download CMD] [--on-upload CMD]\n");
  std::exit(2);
}

long Number(const std::string& option, const std::string& text) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < 0) Usage(option + " takes a number of 0 or more");
  return v;
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage("missing value for " + a);
      return argv[++i];
    };
    if (a == "--device")
      o.device = value();
    else if (a == "--link")
      o.link = value();
    else if (a == "--model")
      o.identity.model = value();
    else if (a == "--boot")
      o.identity.bootVersion = value();
    else if (a == "--main")
      o.identity.mainVersion = value();
    else if (a == "--reply-bytes")
      o.replyBytes = Number(a, value());
    else if (a == "--late-ms")
      o.lateMs = Number(a, value());
    else if (a == "--silent")
      o.silent = true;
    else if (a == "--on-download")
      o.onDownload = value();
    else if (a == "--on-upload")
      o.onUpload = value();
    else if (a == "--peer")
      o.peer = value();
    else if (a == "--workspace")
      o.workspace = value();
    else if (a == "--save-received")
      o.saveReceived = value();
    else if (a == "--send-now")
      o.sendNow = true;
    else if (a == "--no-pauses")
      o.noPauses = true;
    else if (a == "--trace")
      o.trace = true;
    else if (a == "--byte-wait-ms")
      o.byteWaitMs = Number(a, value());
    else if (a == "-h" || a == "--help")
      Usage("help");
    else
      Usage("unknown option " + a);
  }
  if (o.replyBytes > long(pelagor::kReceiverInfoSize)) Usage("--reply-bytes is at most 104");
  if (!o.device.empty() && !o.link.empty()) Usage("--device and --link exclude each other");
  if (o.peer != "engine" && o.peer != "lrzsz") Usage("--peer is engine or lrzsz");
  if (o.byteWaitMs < 10) Usage("--byte-wait-ms is at least 10");
  return o;
}

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// Writes all of it, waiting for room as a line would.
bool WriteAll(int fd, const uint8_t* data, size_t len) {
  size_t done = 0;
  while (done < len && !gStop) {
    const ssize_t w = ::write(fd, data + done, len - done);
    if (w > 0) {
      done += size_t(w);
      continue;
    }
    if (w < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd p{fd, POLLOUT, 0};
    ::poll(&p, 1, 100);
  }
  return done == len;
}

void Pause(long ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!gStop && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

struct Line {
  int fd = -1;
  int keep = -1;  // our own hold on a created pty's other side
  pelagor::CSerialPort device;
};

bool OpenLine(const Options& opt, Line& line) {
  if (!opt.device.empty()) {
    std::string message;
    if (!line.device.OpenPort(opt.device, &message)) {
      std::fprintf(stderr, "pelagor-stbsim: %s\n", message.c_str());
      return false;
    }
    line.fd = int(line.device.Handle());
    Say("DEVICE " + opt.device);
    return true;
  }
  line.fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (line.fd < 0 || ::grantpt(line.fd) != 0 || ::unlockpt(line.fd) != 0) return false;
  const char* name = ::ptsname(line.fd);
  if (!name) return false;
  const std::string path = name;
  // Held open so the line never hangs up between the PC side's opens.
  line.keep = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (line.keep < 0) return false;
  termios t{};
  if (::tcgetattr(line.keep, &t) == 0) {
    ::cfmakeraw(&t);
    ::tcsetattr(line.keep, TCSANOW, &t);
  }
  if (!opt.link.empty()) {
    ::unlink(opt.link.c_str());
    if (::symlink(path.c_str(), opt.link.c_str()) != 0) {
      std::perror("pelagor-stbsim: symlink");
      return false;
    }
  }
  Say("PORT " + path);
  return true;
}

// The channel data the receiver starts with.
bool InitialChannelData(const Options& opt, std::vector<uint8_t>& out) {
  if (!opt.workspace.empty()) {
    if (pelagor::ReadWholeFile(opt.workspace, out)) return true;
    std::fprintf(stderr, "pelagor-stbsim: cannot read %s\n", opt.workspace.c_str());
    return false;
  }
  out = pelagor::BuildDownloadImage(pelagor::DemoWorkspace());
  return !out.empty();
}

pelagor::LinkTiming EngineTiming(const Options& opt) {
  pelagor::LinkTiming t;
  // Same poll as the program's, fewer of them when the wait is shortened.
  t.zmodemBytePollCount = uint32_t(std::max<long>(1, opt.byteWaitMs / long(t.zmodemBytePollMs)));
  if (opt.byteWaitMs < long(t.zmodemBytePollMs)) t.zmodemBytePollMs = uint32_t(opt.byteWaitMs);
  if (opt.noPauses) t.pauseLongMs = t.pauseMediumMs = t.pauseShortMs = 0;
  return t;
}

// A folder of our own for the files the peers move; removed at the end.
struct WorkDir {
  std::string path;
  WorkDir() {
    char tmpl[] = "/tmp/pelagor-stbsim-XXXXXX";
    if (::mkdtemp(tmpl)) path = tmpl;
  }
  ~WorkDir() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
};

}  // namespace

int main(int argc, char** argv) {
  const Options opt = Parse(argc, argv);
  ::signal(SIGINT, OnSignal);
  ::signal(SIGTERM, OnSignal);
  ::signal(SIGPIPE, SIG_IGN);

  Line line;
  if (!OpenLine(opt, line)) {
    if (opt.device.empty()) std::perror("pelagor-stbsim: pseudo-terminal");
    return 1;
  }
  std::vector<uint8_t> channelData;
  if (!InitialChannelData(opt, channelData)) return 1;
  WorkDir work;
  if (work.path.empty()) {
    std::perror("pelagor-stbsim: work folder");
    return 1;
  }
  pelagor::StbSimulator sim(opt.identity);
  pelagor::StbChannelStore store(std::move(channelData), opt.saveReceived, Say);
  std::unique_ptr<pelagor::ZmodemPeer> peerOwner;
  if (!opt.onDownload.empty() || !opt.onUpload.empty())
    peerOwner = std::make_unique<pelagor::CommandZmodemPeer>(opt.onDownload, opt.onUpload, &gStop);
  else if (opt.peer == "lrzsz")
    peerOwner =
        std::make_unique<pelagor::LrzszZmodemPeer>(store, work.path, int(std::max(1L, opt.byteWaitMs / 100)), &gStop);
  else
    peerOwner = std::make_unique<pelagor::EngineZmodemPeer>(store, EngineTiming(opt), work.path, &gStop, opt.trace);
  pelagor::ZmodemPeer& peer = *peerOwner;
  Say("READY");
  if (opt.sendNow) {
    Say("PEER send");
    Say("UPLOAD " + std::to_string(peer.SendToPc(line.fd)));
  }

  while (!gStop) {
    pollfd p{line.fd, POLLIN, 0};
    const int rc = ::poll(&p, 1, 100);
    if (rc <= 0 || !(p.revents & POLLIN)) {
      // A device that went away ends the run; an idle line just loops.
      if (rc > 0 && (p.revents & (POLLERR | POLLNVAL))) break;
      if (rc > 0 && (p.revents & POLLHUP)) Pause(50);
      continue;
    }
    // One byte at a time, so nothing past an announcement frame is taken from the
    // ZMODEM peer that gets the line next.
    uint8_t byte = 0;
    if (::read(line.fd, &byte, 1) != 1) continue;
    const auto frame = sim.Feed(byte);
    if (!frame) continue;
    const uint8_t code = (*frame)[2];
    if (code == pelagor::UART_CMD_GET_INFO) {
      Say("QUERY");
      if (opt.silent) {
        Say("INFO 0");
        continue;
      }
      Pause(opt.lateMs);
      const auto& block = sim.InfoBlock();
      WriteAll(line.fd, block.data(), size_t(opt.replyBytes));
      Say("INFO " + std::to_string(opt.replyBytes));
    } else if (code == pelagor::UART_CMD_START_ZMODEM_DOWNLOAD) {
      Say("PEER receive");
      Say("DOWNLOAD " + std::to_string(peer.ReceiveFromPc(line.fd)));
    } else if (code == pelagor::UART_CMD_START_ZMODEM_UPLOAD) {
      Say("PEER send");
      Say("UPLOAD " + std::to_string(peer.SendToPc(line.fd)));
    } else {
      Say("FRAME " + std::to_string(code));
    }
  }
  if (!opt.link.empty()) ::unlink(opt.link.c_str());
  if (line.keep >= 0) ::close(line.keep);
  if (line.device.IsOpen())
    line.device.ClosePort();
  else if (line.fd >= 0)
    ::close(line.fd);
  return 0;
}
