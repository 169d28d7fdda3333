// ZMODEM throughput at the receiver's 115200 baud through the line simulator:
// our sender to rz, sz to our receiver, and sz to rz on the same line, each
// against the line's limit (bytes x 10 / 115200 s). One timed run per case;
// run with `make bench` (it takes a few minutes). Argument 0 moves random
// bytes (about 2.7 % of them need escaping on the line), 1 the demo
// workspace's download image, as the transfer commands move it.
//
// BM_Noisy: 100 KB of random bytes over a noisy line (bit flips at 1e-4 or
// 1e-3 per byte, drops at a quarter of that, both directions), five seeds,
// in three pairings on the same line and seed: ours to rz, sz to ours, sz to
// rz. Each transfer is bounded (kNoisyBoundS); the counters give how many
// succeeded, the median time of those, and how many "succeeded" with other
// bytes (must be 0). --benchmark_filter=Noisy picks these, =To picks the
// clean-line cases.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Zmodem32/ZmodemResult.h"
#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "Zmodem32/ZmodemTransfer.h"
#include "link/CSerialPort.h"
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
    zmtest::PeerProcess sz({"sz", "-q", "payload.bin"}, -1, line.Path(1), dir.Path(), dir.File("sz.log"));
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
    zmtest::PeerProcess sz({"sz", "-q", "payload.bin"}, -1, line.Path(1), dir.Path(), dir.File("sz.log"));
    const int rzStatus = rz.Wait(200000);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    const int szStatus = sz.Wait(30000);
    Report(state, s, rzStatus == 0 && szStatus == 0 && zmtest::ReadFile(dir.File("rx/payload.bin")) == payload);
  }
}

// ---- Noisy line -------------------------------------------------------------

constexpr double kNoisyBoundS = 240;
constexpr int kSeeds = 5;
const double kFlipRates[] = {1e-4, 1e-3};

struct Outcome {
  bool ok = false;     // reported success and the right bytes arrived
  bool wrong = false;  // reported success with other bytes
  double seconds = 0;
};

std::vector<std::string> NoisyOptions(double flip, unsigned seed) {
  auto o = LineOptions();
  o.insert(o.end(), {"--seed", std::to_string(seed), "--flip-rate", std::to_string(flip), "--drop-rate",
                     std::to_string(flip / 4)});
  return o;
}

// Takes the line away once the bound has passed, so a session of ours that is still
// trying ends as a lost line (a child peer is killed by its own wait bound).
class LineWatchdog {
 public:
  explicit LineWatchdog(zmtest::LineSimProcess& line)
      : thread_([this, &line] {
          std::unique_lock<std::mutex> l(m_);
          if (!cv_.wait_for(l, std::chrono::duration<double>(kNoisyBoundS), [this] { return done_; })) line.Stop();
        }) {}
  ~LineWatchdog() {
    {
      std::lock_guard<std::mutex> l(m_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

Outcome NoisyOursToRz(const zmtest::Bytes& payload, double flip, unsigned seed) {
  Outcome out;
  zmtest::TempDir dir;
  const std::string src = dir.File("payload.bin");
  zmtest::WriteFile(src, payload);
  std::filesystem::create_directory(dir.File("rx"));
  zmtest::LineSimProcess line(NoisyOptions(flip, seed));
  CSerialPort port;
  if (!line.Ok() || !port.OpenPort(line.Path(0))) return out;
  zmtest::PeerProcess rz({"rz", "-q", "-y"}, -1, line.Path(1), dir.File("rx"), dir.File("rz.log"));
  ZmodemResult r;
  const auto t0 = Clock::now();
  int32_t code;
  {
    LineWatchdog watch(line);
    code = ZmodemSendFile(port.Handle(), src, 0, &r);
  }
  const double left = kNoisyBoundS - std::chrono::duration<double>(Clock::now() - t0).count();
  const int status = rz.Wait(int(std::max(left, 5.0) * 1000));
  out.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  const bool same = zmtest::ReadFile(dir.File("rx/payload.bin")) == payload;
  // The file counts as delivered when both ends say so; a success either end reports
  // with other bytes on disk is the fault this benchmark must never see.
  out.ok = code == ZMODEM_OK && status == 0 && same;
  out.wrong = (code == ZMODEM_OK || status == 0) && std::filesystem::exists(dir.File("rx/payload.bin")) && !same;
  return out;
}

Outcome NoisySzToOurs(const zmtest::Bytes& payload, double flip, unsigned seed) {
  Outcome out;
  zmtest::TempDir dir;
  zmtest::WriteFile(dir.File("payload.bin"), payload);
  zmtest::LineSimProcess line(NoisyOptions(flip, seed));
  CSerialPort port;
  if (!line.Ok() || !port.OpenPort(line.Path(0))) return out;
  const auto t0 = Clock::now();
  zmtest::PeerProcess sz({"sz", "-q", "payload.bin"}, -1, line.Path(1), dir.Path(), dir.File("sz.log"));
  ZmodemResult r;
  int32_t code;
  {
    LineWatchdog watch(line);
    code = ZmodemReceiveFile(port.Handle(), "", 16, &r);
  }
  out.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  sz.Wait(5000);
  out.ok = code == ZMODEM_OK && r.data == payload;
  out.wrong = code == ZMODEM_OK && r.data != payload;
  return out;
}

Outcome NoisySzToRz(const zmtest::Bytes& payload, double flip, unsigned seed) {
  Outcome out;
  zmtest::TempDir dir;
  zmtest::WriteFile(dir.File("payload.bin"), payload);
  std::filesystem::create_directory(dir.File("rx"));
  zmtest::LineSimProcess line(NoisyOptions(flip, seed));
  if (!line.Ok()) return out;
  const auto t0 = Clock::now();
  zmtest::PeerProcess rz({"rz", "-q", "-y"}, -1, line.Path(0), dir.File("rx"), dir.File("rz.log"));
  zmtest::PeerProcess sz({"sz", "-q", "payload.bin"}, -1, line.Path(1), dir.Path(), dir.File("sz.log"));
  const int rzStatus = rz.Wait(int(kNoisyBoundS * 1000));
  out.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  const int szStatus = sz.Wait(5000);
  const bool same = zmtest::ReadFile(dir.File("rx/payload.bin")) == payload;
  out.ok = rzStatus == 0 && szStatus == 0 && same;
  out.wrong = rzStatus == 0 && std::filesystem::exists(dir.File("rx/payload.bin")) && !same;
  return out;
}

// range(0): 0 ours to rz, 1 sz to ours, 2 sz to rz; range(1): index into kFlipRates.
void BM_Noisy(benchmark::State& state) {
  static const zmtest::Bytes payload = zmtest::RandomBytes(100 * 1024, 77);
  const double flip = kFlipRates[state.range(1)];
  for (auto _ : state) {
    std::vector<double> times;
    int wrong = 0;
    for (int seed = 1; seed <= kSeeds; ++seed) {
      Outcome o = state.range(0) == 0   ? NoisyOursToRz(payload, flip, unsigned(seed))
                  : state.range(0) == 1 ? NoisySzToOurs(payload, flip, unsigned(seed))
                                        : NoisySzToRz(payload, flip, unsigned(seed));
      if (o.ok) times.push_back(o.seconds);
      wrong += o.wrong ? 1 : 0;
    }
    std::sort(times.begin(), times.end());
    const double median = times.empty() ? kNoisyBoundS : times[times.size() / 2];
    state.SetIterationTime(median);
    state.counters["flip_rate"] = flip;
    state.counters["succeeded"] = double(times.size());
    state.counters["of"] = kSeeds;
    state.counters["median_s"] = median;
    state.counters["wrong_bytes"] = wrong;
  }
  state.SetLabel(state.range(0) == 0 ? "ours to rz" : state.range(0) == 1 ? "sz to ours" : "sz to rz");
}

BENCHMARK(BM_OursToRz)->Arg(0)->Arg(1)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SzToOurs)->Arg(0)->Arg(1)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SzToRz)->Arg(0)->Arg(1)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_Noisy)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"pairing", "rate"})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
