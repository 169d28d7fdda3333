// Reference lists at full size: applying an 8000-channel reference (the same
// services in name order) to an 8000-channel workspace, and importing the
// 4000 channels a half-empty workspace lacks.

#include <benchmark/benchmark.h>

#include "db/DbOps.h"
#include "db/Sorting.h"
#include "samples/SampleWorkspaces.h"
#include "view/ReferenceList.h"

namespace pelagor {
namespace {

const Workspace& Full() {
  static const Workspace ws = FullWorkspace(1);
  return ws;
}

void BM_ApplyOrderFullReference(benchmark::State& state) {
  Workspace reference = Full();
  std::vector<uint16_t> order(kMaxChans);
  for (int i = 0; i < kMaxChans; ++i) order[size_t(i)] = reference.image->Order(i);
  static_cast<void>(SortChansByName(*reference.image, order.data(), kMaxChans, true));
  for (int i = 0; i < kMaxChans; ++i) reference.image->SetOrder(i, order[size_t(i)]);
  Workspace ws;
  for (auto _ : state) {
    state.PauseTiming();
    ws = Full();
    state.ResumeTiming();
    const ReferenceList ref = ListFromWorkspace(reference);
    const ApplyReport report = ApplyReference(ws, ref, ApplyOptions{});
    benchmark::DoNotOptimize(report.matched);
    if (report.matched[0] != kMaxChans) state.SkipWithError("not every channel matched");
  }
}
BENCHMARK(BM_ApplyOrderFullReference)->Unit(benchmark::kMillisecond);

void BM_Import4000Channels(benchmark::State& state) {
  // Every second channel of each TP gone: 4000 channels to bring back.
  Workspace half = Full();
  DbOps ops(*half.image);
  for (int c = 0; c < kMaxChans; c += 2) static_cast<void>(ops.DeleteChan(c));
  Workspace ws;
  for (auto _ : state) {
    state.PauseTiming();
    ws = half;
    state.ResumeTiming();
    std::vector<int> chosen;
    for (const ImportCandidate& c : ImportCandidates(ws, Full())) chosen.push_back(c.index);
    const ImportReport report = ImportChannels(ws, Full(), chosen);
    benchmark::DoNotOptimize(report.imported);
    if (report.imported != kMaxChans / 2) state.SkipWithError("not every channel imported");
  }
}
BENCHMARK(BM_Import4000Channels)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelagor
