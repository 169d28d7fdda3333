// ZMODEM throughput at the receiver's 115200 baud through the line simulator:
// our sender to rz, sz to our receiver, and sz to rz on the same line, each
// against the line's limit (bytes x 10 / 115200 s). One timed run per case;
// run with `make bench` (it takes a few minutes). Argument 0 moves random
// bytes (about 2.7 % of them need escaping on the line), 1 the demo
// workspace's download image, as the transfer commands move it.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "Zmodem32/ZmodemResult.h"
#include "files/DownloadImage.h"
#include "fixtures/SampleWorkspaces.h"
#include "Zmodem32/ZmodemTransfer.h"
#include "link/CSerialPort.h"
#include "zmodem/ZmodemPeerProcess.h"
#include "zmodem/ZmodemTestSupport.h"

namespace {

using namespace pelagor;
using Clock = std::chrono::steady_clock;

constexpr long kBaud = 115200;

const zmtest::Bytes& PayloadOf(int64_t kind) {
  static const zmtest::Bytes random = zmtest::RandomBytes(700 * 1024, 2026);
  static const zmtest::Bytes image = BuildDownloadImage(DemoWorkspace());
  return kind == 0 ? random : image;
}

std::vector<std::string> LineOptions() { return {"--baud", std::to_string(kBaud)}; }

void Report(benchmark::State& state, double seconds, bool ok) {
  const size_t kFileSize = PayloadOf(state.range(0)).size();
  if (!ok) {
    state.SkipWithError("transfer failed or delivered other bytes");
    return;
  }
  state.SetIterationTime(seconds);
  const double limit = double(kFileSize) * 10.0 / double(kBaud);
  state.counters["bytes"] = double(kFileSize);
  state.counters["seconds"] = seconds;
  state.counters["line_limit_s"] = limit;
  state.counters["of_line_limit"] = limit / seconds;
  state.SetBytesProcessed(int64_t(kFileSize));
}

// Our sender on end A, rz on end B.
void BM_OursToRz(benchmark::State& state) {
  const zmtest::Bytes& payload = PayloadOf(state.range(0));
  for (auto _ : state) {
    zmtest::TempDir dir;
    const std::string src = dir.File("payload.bin");
    zmtest::WriteFile(src, payload);
    std::filesystem::create_directory(dir.File("rx"));
    zmtest::LineSimProcess line(LineOptions());
    CSerialPort port;
    if (!line.Ok() || !port.OpenPort(line.Path(0))) return state.SkipWithError("no line");
    zmtest::PeerProcess rz({"rz", "-q", "-y"}, -1, line.Path(1), dir.File("rx"), dir.File("rz.log"));
    ZmodemResult r;
    const auto t0 = Clock::now();
    const int32_t code = ZmodemSendFile(port.Handle(), src, 0, &r);
    const int status = rz.Wait(30000);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    Report(state, s, code == ZMODEM_OK && status == 0 && zmtest::ReadFile(dir.File("rx/payload.bin")) == payload);
  }
}

// sz on end B, our receiver on end A.
void BM_SzToOurs(benchmark::State& state) {
  const zmtest::Bytes& payload = PayloadOf(state.range(0));
  for (auto _ : state) {
    zmtest::TempDir dir;
    zmtest::WriteFile(dir.File("payload.bin"), payload);
    zmtest::LineSimProcess line(LineOptions());
    CSerialPort port;
    if (!line.Ok() || !port.OpenPort(line.Path(0))) return state.SkipWithError("no line");
    const auto t0 = Clock::now();
    zmtest::PeerProcess sz({"sz", "-q", "payload.bin"}, -1, line.Path(1), dir.Path().string(), dir.File("sz.log"));
    ZmodemResult r;
    const int32_t code = ZmodemReceiveFile(port.Handle(), "", 16, &r);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    const int status = sz.Wait(30000);
    Report(state, s, code == ZMODEM_OK && status == 0 && r.data == payload);
  }
}

// The independent pair on the same line: sz on end B, rz on end A.
void BM_SzToRz(benchmark::State& state) {
  const zmtest::Bytes& payload = PayloadOf(state.range(0));
  for (auto _ : state) {
    zmtest::TempDir dir;
    zmtest::WriteFile(dir.File("payload.bin"), payload);
    std::filesystem::create_directory(dir.File("rx"));
    zmtest::LineSimProcess line(LineOptions());
    if (!line.Ok()) return state.SkipWithError("no line");
    const auto t0 = Clock::now();
    zmtest::PeerProcess rz({"rz", "-q", "-y"}, -1, line.Path(0), dir.File("rx"), dir.File("rz.log"));
    zmtest::PeerProcess sz({"sz", "-q", "payload.bin"}, -1, line.Path(1), dir.Path().string(), dir.File("sz.log"));
    const int rzStatus = rz.Wait(200000);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    const int szStatus = sz.Wait(30000);
    Report(state, s, rzStatus == 0 && szStatus == 0 && zmtest::ReadFile(dir.File("rx/payload.bin")) == payload);
  }
}

BENCHMARK(BM_OursToRz)->Arg(0)->Arg(1)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SzToOurs)->Arg(0)->Arg(1)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SzToRz)->Arg(0)->Arg(1)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
