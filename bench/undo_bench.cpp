// The undo history on a full workspace (8000 channels, every table full):
// fifty heavy commands (sorts, a 1000-row cut and paste, reassigning and
// locking the whole list) and what the fifty steps hold in memory; the time
// is that of undoing and redoing all fifty. Then the worst case: fifty
// uploads that each replace the whole database.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <numeric>

#include "support/NullViewUi.h"
#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "view/CVortanView.h"

namespace pelagor {
namespace {

void RunFiftyCommands(FullView& f) {
  const int rows = f.view.RowCount();
  std::vector<int> all(static_cast<size_t>(rows));
  std::iota(all.begin(), all.end(), 0);
  std::vector<int> spread;
  for (int i = 0; i < 1000; ++i) spread.push_back(i * (rows / 1000));
  const ChanMenuItem sorts[] = {ChanMenuItem::kSortByName, ChanMenuItem::kSortBySatellite,
                                ChanMenuItem::kSortByProvider, ChanMenuItem::kSortByChanNo};
  for (int i = 0; i < 50; ++i) {
    switch (i % 5) {
      case 4:
        f.ui.SelectRows(ListId::kChannels, spread);
        f.view.OnChannelMenuCommand(ChanMenuItem::kCutChannel);
        f.ui.SelectRows(ListId::kChannels, {rows / 2});
        f.view.OnChannelMenuCommand(ChanMenuItem::kPasteChannel);
        break;
      case 3:
        f.view.OnChannelMenuCommand(ChanMenuItem::kReassignChannelNo);
        f.ui.SelectRows(ListId::kChannels, all);
        f.view.OnChannelMenuCommand(i % 2 ? ChanMenuItem::kLock : ChanMenuItem::kUnlock);
        break;
      default: f.view.OnChannelMenuCommand(sorts[(i / 5 + i) % 4]); break;
    }
  }
}

void BM_UndoRedoFiftyLevels(benchmark::State& state) {
  FullView f;
  RunFiftyCommands(f);
  const UndoHistory& h = f.view.History();
  for (auto _ : state) {
    while (f.view.CanUndo()) f.view.OnEditUndo();
    while (f.view.CanRedo()) f.view.OnEditRedo();
  }
  state.counters["levels"] = double(h.Levels());
  state.counters["steps_MB"] = double(h.StepBytes()) / (1 << 20);
  state.counters["total_MB"] = double(h.MemoryBytes()) / (1 << 20);
}

// The worst step there is: an upload into the workspace that replaces every
// table. Fifty of them, alternating between two full images that differ in
// every channel record, fill the history as much as any command can.
void BM_FiftyUploads(benchmark::State& state) {
  FullView f;
  const std::string a = "bench-undo-a.bin";
  const std::string b = "bench-undo-b.bin";
  Workspace other = FullWorkspace(1);
  for (int c = 0; c < kMaxChans; ++c) {
    uint8_t* rec = other.image->Data() + kChanTableOffset + size_t(c) * kChanRecordSize;
    for (size_t i = 0; i < kChanRecordSize; ++i) rec[i] ^= 0x01;  // names, PIDs, flags: all differ
  }
  if (WriteDownloadImage(FullWorkspace(1), a) != 1 || WriteDownloadImage(other, b) != 1) {
    state.SkipWithError("writer refused");
    return;
  }
  auto bytesOf = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  };
  const std::vector<uint8_t> first = bytesOf(a);
  const std::vector<uint8_t> second = bytesOf(b);
  std::remove(a.c_str());
  std::remove(b.c_str());
  for (auto _ : state) {
    for (int i = 0; i < 50; ++i) {
      if (!f.view.LoadReceivedImage(i % 2 ? first : second)) {
        state.SkipWithError("the image was refused");
        break;
      }
    }
  }
  const UndoHistory& h = f.view.History();
  state.counters["levels"] = double(h.Levels());
  state.counters["steps_MB"] = double(h.StepBytes()) / (1 << 20);
  state.counters["total_MB"] = double(h.MemoryBytes()) / (1 << 20);
}

BENCHMARK(BM_UndoRedoFiftyLevels)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FiftyUploads)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace pelagor

BENCHMARK_MAIN();
