// The channel sorts on a full image (8000 channels), each on the whole
// ChannelOrder as the sort commands call them, plus the cases where the fixed
// partition sort meets many equal keys, the cable ring sort and the
// catalogue TP sort.

#include <benchmark/benchmark.h>

#include <vector>

#include "FullImage.h"
#include "db/Sorting.h"

namespace pelagor::bench {
namespace {

const FullImage& Image() {
  static const FullImage f = MakeFullImage();
  return f;
}

template <class Sort>
void RunOnOrder(benchmark::State& state, const DbImage& img, Sort sort) {
  const std::vector<uint16_t> order = ReadChannelOrder(img);
  std::vector<uint16_t> list;
  for (auto _ : state) {
    list = order;  // 16 KB copy, small beside the sort
    benchmark::DoNotOptimize(sort(list.data(), int(list.size())));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(order.size()));
}

void BM_SortChansByNumber(benchmark::State& state) {
  const DbImage& img = *Image().img;
  RunOnOrder(state, img, [&](uint16_t* l, int n) { return SortChansByNumber(img, l, n, true); });
}
void BM_SortChansByName(benchmark::State& state) {
  const DbImage& img = *Image().img;
  RunOnOrder(state, img, [&](uint16_t* l, int n) { return SortChansByName(img, l, n, true); });
}
void BM_SortChansBySatellite(benchmark::State& state) {
  const DbImage& img = *Image().img;
  RunOnOrder(state, img, [&](uint16_t* l, int n) { return SortChansBySatellite(img, l, n, true); });
}
void BM_SortChansByProvider(benchmark::State& state) {
  const FullImage& f = Image();
  RunOnOrder(state, *f.img, [&](uint16_t* l, int n) { return SortChansByProvider(*f.img, f.providers, l, n, true); });
}

// Every channel unnumbered: equal numbers compare as -1, so each partition
// puts all but the pivot on one side (the receiver's algorithm, kept as is).
void BM_SortChansByNumberAllUnnumbered(benchmark::State& state) {
  static const DbImage img = [] {
    DbImage copy = *Image().img;
    for (int c = 0; c < kMaxChans; ++c) copy.SetChanU16(c, chan::kNumber, kNoChanNumber);
    return copy;
  }();
  RunOnOrder(state, img, [&](uint16_t* l, int n) { return SortChansByNumber(img, l, n, true); });
}

// Sorting an order that is already sorted (the second click on the command).
void BM_SortChansByNameSorted(benchmark::State& state) {
  static const DbImage img = [] {
    DbImage copy = *Image().img;
    std::vector<uint16_t> order = ReadChannelOrder(copy);
    static_cast<void>(SortChansByName(copy, order.data(), int(order.size()), true));
    WriteChannelOrder(copy, order);
    return copy;
  }();
  RunOnOrder(state, img, [&](uint16_t* l, int n) { return SortChansByName(img, l, n, true); });
}

void BM_SortCableTpRing800(benchmark::State& state) {
  int sat = 0;
  const std::unique_ptr<DbImage> start = MakeLongCableRing(sat);
  auto img = std::make_unique<DbImage>();
  for (auto _ : state) {
    state.PauseTiming();
    *img = *start;
    state.ResumeTiming();
    benchmark::DoNotOptimize(SortCableTpRing(*img, sat));
  }
}

void BM_SortCatalogueTps(benchmark::State& state) {
  const SatCatalogue cat = MakeFullCatalogue(int(state.range(0)));
  std::vector<CatalogueTp> list;
  for (auto _ : state) {
    list = cat.entries[0].tps;
    benchmark::DoNotOptimize(SortCatalogueTps(list.data(), int(list.size()), true));
  }
}

BENCHMARK(BM_SortChansByNumber)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortChansByName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortChansBySatellite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortChansByProvider)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortChansByNumberAllUnnumbered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortChansByNameSorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortCableTpRing800)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortCatalogueTps)->Arg(100)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pelagor::bench
