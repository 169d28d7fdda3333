// Channel moves and sorts through the view on a full workspace (8000
// channels, every table full), each with the list rebuild that ends it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "support/NullViewUi.h"
#include "db/Sorting.h"
#include "samples/SampleWorkspaces.h"
#include "view/CVortanView.h"

namespace pelagor {
namespace {

// Cut 1000 rows spread over the list, paste them near the middle.
void BM_CutAndPaste1000(benchmark::State& state) {
  FullView f;
  const int rows = f.view.RowCount();
  if (rows < 2000) {
    state.SkipWithError("too few rows");
    return;
  }
  std::vector<int> cut;
  for (int i = 0; i < 1000; ++i) cut.push_back(i * (rows / 1000));
  for (auto _ : state) {
    f.ui.SelectRows(ListId::kChannels, cut);
    f.view.OnChannelMenuCommand(ChanMenuItem::kCutChannel);
    f.ui.SelectRows(ListId::kChannels, {rows / 2 + 1});
    f.view.OnChannelMenuCommand(ChanMenuItem::kPasteChannel);
  }
  state.counters["rows"] = rows;
}

// One drag of 1000 rows dropped at the end.
void BM_Drag1000ToEnd(benchmark::State& state) {
  FullView f;
  const int rows = f.view.RowCount();
  std::vector<int> dragged(1000);
  for (int i = 0; i < 1000; ++i) dragged[size_t(i)] = i;
  for (auto _ : state) {
    f.ui.SelectRows(ListId::kChannels, dragged);
    f.view.OnListBeginDrag(ListId::kChannels);
    f.view.OnListDrop(ListId::kChannels, rows);
  }
}

// Each sort starts from the same shuffled order.
void BM_Sort(benchmark::State& state) {
  FullView f;
  const auto item = ChanMenuItem(state.range(0));
  std::vector<uint16_t> order = ReadChannelOrder(f.view.Image());
  const size_t used = size_t(std::find(order.begin(), order.end(), kNoChan) - order.begin());
  std::mt19937 rng(7);
  std::shuffle(order.begin(), order.begin() + std::ptrdiff_t(used), rng);
  for (auto _ : state) {
    state.PauseTiming();
    WriteChannelOrder(f.view.Image(), order);
    state.ResumeTiming();
    f.view.OnChannelMenuCommand(item);
  }
  state.counters["rows"] = f.view.RowCount();
}

BENCHMARK(BM_CutAndPaste1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Drag1000ToEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort)
    ->ArgName("item")
    ->Arg(int(ChanMenuItem::kSortByChanNo))
    ->Arg(int(ChanMenuItem::kSortByName))
    ->Arg(int(ChanMenuItem::kSortBySatellite))
    ->Arg(int(ChanMenuItem::kSortByProvider))
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelagor

BENCHMARK_MAIN();
