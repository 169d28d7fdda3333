// Loading and building the satellite section body of a full catalogue
// (200 entries), and the merge of new satellites and TPs after a load.

#include <benchmark/benchmark.h>

#include <vector>

#include "FullImage.h"
#include "db/CatalogueMerge.h"
#include "db/DbOps.h"
#include "db/SatCatalogue.h"

namespace pelagor::bench {
namespace {

void BM_CatalogueLoad(benchmark::State& state) {
  const std::vector<uint8_t> body = MakeFullCatalogue(int(state.range(0))).Build();
  SatCatalogue cat;
  for (auto _ : state) benchmark::DoNotOptimize(cat.Load(body.data(), body.size()));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(body.size()));
}

void BM_CatalogueBuild(benchmark::State& state) {
  const SatCatalogue cat = MakeFullCatalogue(int(state.range(0)));
  for (auto _ : state) {
    std::vector<uint8_t> body = cat.Build();
    benchmark::DoNotOptimize(body.data());
  }
}

// 40 new satellites with 20 new TPs each merged into a catalogue of 100.
void BM_MergeNewSatellitesAndTps(benchmark::State& state) {
  auto start = std::make_unique<DbImage>();
  {
    DbOps ops(*start);
    for (int s = 0; s < 40; ++s) {
      uint8_t sat = 0;
      static_cast<void>(ops.AddSat(sat, uint8_t(100 + s), 1));
      for (int k = 0; k < 20; ++k) {
        uint16_t t = 0;
        static_cast<void>(ops.AddTp(sat, t, 1));
        static_cast<void>(ops.SetTpFrequency(t, uint16_t(10700 + 10 * k)));
      }
    }
  }
  SatCatalogue base = MakeFullCatalogue(20);
  base.count = 100;
  const std::vector<uint8_t> body = base.Build();
  auto img = std::make_unique<DbImage>();
  SatCatalogue cat;
  for (auto _ : state) {
    state.PauseTiming();
    *img = *start;
    static_cast<void>(cat.Load(body.data(), body.size()));
    state.ResumeTiming();
    MergeNewSatellites(*img, cat);
    MergeNewTps(*img, cat);
    benchmark::DoNotOptimize(cat.count);
  }
}

BENCHMARK(BM_CatalogueLoad)->Arg(20)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CatalogueBuild)->Arg(20)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MergeNewSatellitesAndTps)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pelagor::bench
