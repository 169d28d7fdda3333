// Download images of a full workspace (every table at its limit): parse,
// build the bytes, and the atomic file write Save does.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"

namespace pelagor {
namespace {

void BM_ParseFull(benchmark::State& state) {
  const std::vector<uint8_t> bytes = BuildDownloadImage(FullWorkspace(ModelId(state.range(0))));
  Workspace ws;
  bool accepted = true;
  for (auto _ : state) {
    ParseResult r = ParseDownloadImage(ws, bytes.data(), bytes.size());
    accepted = accepted && r.accepted;
    benchmark::DoNotOptimize(r.accepted);
  }
  if (!accepted) state.SkipWithError("full workspace not accepted");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
// Model 1 packed satellites, model 4 unpacked (the form detection runs), model 7 its own tag set.
BENCHMARK(BM_ParseFull)->Arg(1)->Arg(4)->Arg(7)->Unit(benchmark::kMicrosecond);

void BM_BuildFull(benchmark::State& state) {
  const Workspace ws = FullWorkspace(ModelId(state.range(0)));
  size_t size = 0;
  for (auto _ : state) {
    std::vector<uint8_t> bytes = BuildDownloadImage(ws);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
BENCHMARK(BM_BuildFull)->Arg(1)->Arg(4)->Arg(7)->Unit(benchmark::kMicrosecond);

// Build, temporary file, flush to disk, rename: what Save costs end to end.
void BM_WriteFull(benchmark::State& state) {
  const Workspace ws = FullWorkspace(ModelId(1));
  const std::string path = (std::filesystem::temp_directory_path() / "pelagor-bench-full.bin").string();
  for (auto _ : state) {
    if (WriteDownloadImage(ws, path) != 1) state.SkipWithError("write failed");
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteFull)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelagor
