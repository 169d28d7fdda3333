// The view's list work on workspaces of 800 and 8000 channels: a channel
// list rebuild, a refresh, a filter change, and Open through the view
// (read, parse, merge, the four fills).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "samples/WorkspaceBuilder.h"
#include "support/NullViewUi.h"
#include "view/CVortanView.h"

namespace pelagor {
namespace {

// 8000: every table full; 800: ten satellites of ten TPs with eight channels each.
Workspace MakeWorkspace(int channels) {
  if (channels >= kMaxChans) return FullWorkspace(1);
  WorkspaceBuilder b(1, true);
  const int provider = b.AddProvider("Bench");
  int made = 0;
  for (int s = 0; made < channels; ++s) {
    const int sat = b.AddSatellite("Sat " + std::to_string(s), uint16_t(10 * s));
    for (int k = 0; k < 10 && made < channels; ++k) {
      const int tp = b.AddTp(sat, uint16_t(10700 + 20 * k), 27500, 1 + k % 2, 0x03);
      for (int c = 0; c < 8 && made < channels; ++c, ++made) {
        const std::string name = "Channel " + std::to_string(made);
        ChannelFields fields;
        fields.name = name;
        fields.type = made % 5 == 0 ? 1 : 0;
        fields.videoPid = 100;
        fields.audioPid = 101;
        fields.scrambled = made % 3 == 0;
        fields.provider = uint16_t(provider);
        fields.number = uint16_t(made + 1);
        static_cast<void>(b.AddChannel(tp, fields));
      }
    }
  }
  return b.Take();
}

struct Loaded : LoadedView {
  explicit Loaded(int channels) : LoadedView(MakeWorkspace(channels)) {}
};

void BM_Rebuild(benchmark::State& state) {
  Loaded l(int(state.range(0)));
  for (auto _ : state) l.view.FillChannelList(ChannelFill::SelectRow(1));
  state.counters["rows"] = l.view.RowCount();
}

void BM_Refresh(benchmark::State& state) {
  Loaded l(int(state.range(0)));
  for (auto _ : state) l.view.FillChannelList(ChannelFill::Refresh());
  state.counters["rows"] = l.view.RowCount();
}

void BM_FilterChange(benchmark::State& state) {
  Loaded l(int(state.range(0)));
  int cas = 0;
  for (auto _ : state) l.view.OnCasComboChanged(cas = (cas + 1) % 3);
}

// Reading every cell once, as a screen showing all rows would.
void BM_AllCells(benchmark::State& state) {
  Loaded l(int(state.range(0)));
  for (auto _ : state) {
    size_t n = 0;
    for (int r = 0; r < l.view.RowCount(); ++r)
      for (int c = 0; c < kChannelColumns; ++c) n += l.view.ChannelCell(r, c).size();
    benchmark::DoNotOptimize(n);
  }
}

void BM_Open(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("pelagor-bench-view-" + std::to_string(state.range(0)) + ".bin"))
          .string();
  if (WriteDownloadImage(MakeWorkspace(int(state.range(0))), path) != 1) {
    state.SkipWithError("cannot write the workspace");
    return;
  }
  NullViewUi ui;
  ui.path = path;
  CVortanView view(ui);
  view.SetSideFileFolder(std::filesystem::temp_directory_path().string());
  view.OnInitialUpdate();
  for (auto _ : state) view.OnFileOpen();
  state.counters["rows"] = view.RowCount();
  std::filesystem::remove(path);
}

BENCHMARK(BM_Rebuild)->Arg(800)->Arg(8000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Refresh)->Arg(800)->Arg(8000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FilterChange)->Arg(800)->Arg(8000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AllCells)->Arg(800)->Arg(8000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Open)->Arg(800)->Arg(8000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pelagor

BENCHMARK_MAIN();
